#include "package/CabinMerge.h"

#include <algorithm>
#include <cstring>

#include "textfile/FileTable.h"

namespace {

constexpr size_t kMaxPath = 255;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The whole file, as IniDocument::Load reads it; false for a path Load
// refuses and a file it cannot read (missing, empty, unreadable).
bool ReadList(const std::string& path, std::string* bytes) {
    if (std::strlen(path.c_str()) > kMaxPath) return false;
    const int32_t length = textfile::LenFile(path.c_str());
    if (length < 1) return false;  // missing, unmeasurable or empty
    const int32_t handle = textfile::OpenFile(path.c_str(), "rb");
    if (handle < 0) return false;
    bytes->resize(static_cast<size_t>(length));
    const bool read = textfile::ReadFile(handle, &(*bytes)[0], length, 0) == 0;
    return textfile::CloseFile(handle) == 0 && read;
}

}  // namespace

CabinMerge::CabinMerge() : package(false) {}

bool CabinMerge::Prepare(const std::string& hostList, const std::string& packageList) {
    std::string packageBytes;
    if (prepared || !ReadList(hostList, &hostBytes) || !ReadList(packageList, &packageBytes) ||
        package.LoadBytes(packageBytes) < 0) {
        return false;
    }
    this->hostList = hostList;
    for (const auto& node : package.Nodes()) {
        if (node->Kind() == NodeKind::Section) names.insert(node->Name().Bytes());
    }
    streamed = PrepareStreamed(packageBytes);
    prepared = streamed || PrepareWhole(packageBytes);
    return prepared;
}

bool CabinMerge::PrepareWhole(const std::string& packageBytes) {
    list = std::make_unique<IniDocument>(false);
    if (list->LoadBytes(hostBytes) < 0) return false;
    utf8Mark = list->Utf8Mark();
    firstOnTop = true;
    oldSections = SectionBytes();
    // The second load merges: the package's sections and keys come in.
    return list->LoadBytes(packageBytes) >= 0;
}

bool CabinMerge::PrepareStreamed(const std::string& packageBytes) {
    if (!layout.Read(hostBytes)) return false;
    const auto& sections = layout.Sections();
    named.clear();
    for (std::string_view name : names) {
        const int32_t found = layout.Find(name);
        if (found >= 0) named.push_back(static_cast<size_t>(found));
    }
    std::sort(named.begin(), named.end());
    // The named sections alone make the same section nodes as in the whole
    // list: each one's own bytes hold all of its entries.
    std::string part;
    for (size_t index : named) {
        part.append(hostBytes, sections[index].start, sections[index].end - sections[index].start);
    }
    list = std::make_unique<IniDocument>(false);
    if (!part.empty() && (list->LoadBytes(part) < 0 || list->Nodes().size() != named.size())) {
        named.clear();
        return false;
    }
    utf8Mark = layout.Utf8Mark();
    // Nothing of the host list before the first named section, or (with no
    // nodes at all) before what the package's list adds.
    const size_t top = utf8Mark ? kUtf8Mark.size() : 0;
    firstOnTop = layout.FirstHeader() == hostBytes.size()
                     ? layout.FirstHeader() == top
                     : layout.FirstHeader() == top && !named.empty() && named[0] == 0;
    oldSections = SectionBytes();
    return list->LoadBytes(packageBytes) >= 0;
}

std::string CabinMerge::SectionBytes() const {
    std::string bytes;
    const auto& nodes = list->Nodes();
    for (const auto& node : nodes) {
        if (node->Kind() != NodeKind::Section || names.count(node->Name().Bytes()) == 0) continue;
        if (bytes.empty() && utf8Mark && firstOnTop && node == nodes[0]) bytes = kUtf8Mark;
        bytes += list->SavedSectionBytes(node.get());
    }
    return bytes;
}

std::string CabinMerge::NewSectionBytes() const {
    return prepared ? SectionBytes() : std::string();
}

void CabinMerge::StreamedPieces() {
    const auto& sections = layout.Sections();
    const auto& nodes = list->Nodes();
    merged.reserve(named.size() + 1);
    pieces.reserve(2 * named.size() + 2);
    const std::string_view host(hostBytes);
    size_t copied = 0;  // the host list's bytes before this are in
    for (size_t k = 0; k < named.size(); ++k) {
        const IniLayout::Section& section = sections[named[k]];
        if (section.start > copied) pieces.push_back(host.substr(copied, section.start - copied));
        merged.push_back(list->SavedSectionBytes(nodes[k].get()));
        pieces.emplace_back(merged.back());
        copied = section.end;
    }
    if (copied < host.size()) pieces.push_back(host.substr(copied));
    merged.push_back(list->SavedBytesFrom(named.size()));
    if (!merged.back().empty()) pieces.emplace_back(merged.back());
}

const std::vector<std::string_view>& CabinMerge::MergedPieces() {
    if (prepared && !mergedKnown) {
        if (streamed) {
            StreamedPieces();
        } else {
            merged.push_back(list->SavedBytes());
            pieces.emplace_back(merged.back());
        }
        mergedKnown = true;
    }
    return pieces;
}

std::string CabinMerge::MergedBytes() {
    std::string bytes;
    for (std::string_view piece : MergedPieces()) bytes += piece;
    return bytes;
}

bool CabinMerge::Write() {
    if (!prepared) return false;
    if (mergedKnown || streamed) return list->SavePieces(hostList.c_str(), MergedPieces()) >= 0;
    return list->Save(hostList.c_str()) >= 0;
}
