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

CabinMerge::CabinMerge() : package_(false) {}

bool CabinMerge::Prepare(const std::string& hostList, const std::string& packageList) {
    std::string packageBytes;
    if (prepared_ || !ReadList(hostList, &hostBytes_) || !ReadList(packageList, &packageBytes) ||
        package_.LoadBytes(packageBytes) < 0) {
        return false;
    }
    hostList_ = hostList;
    for (const auto& node : package_.nodes()) {
        if (node->kind() == NodeKind::Section) names_.insert(node->name().bytes());
    }
    streamed_ = PrepareStreamed(packageBytes);
    prepared_ = streamed_ || PrepareWhole(packageBytes);
    return prepared_;
}

bool CabinMerge::PrepareWhole(const std::string& packageBytes) {
    list_ = std::make_unique<IniDocument>(false);
    if (list_->LoadBytes(hostBytes_) < 0) return false;
    utf8Mark_ = list_->utf8Mark();
    firstOnTop_ = true;
    oldSections_ = SectionBytes();
    // The second load merges: the package's sections and keys come in.
    return list_->LoadBytes(packageBytes) >= 0;
}

bool CabinMerge::PrepareStreamed(const std::string& packageBytes) {
    if (!layout_.Read(hostBytes_)) return false;
    const auto& sections = layout_.sections();
    named_.clear();
    for (std::string_view name : names_) {
        const int32_t found = layout_.Find(name);
        if (found >= 0) named_.push_back(static_cast<size_t>(found));
    }
    std::sort(named_.begin(), named_.end());
    // The named sections alone make the same section nodes as in the whole
    // list: each one's own bytes hold all of its entries.
    std::string part;
    for (size_t index : named_) {
        part.append(hostBytes_, sections[index].start, sections[index].end - sections[index].start);
    }
    list_ = std::make_unique<IniDocument>(false);
    if (!part.empty() && (list_->LoadBytes(part) < 0 || list_->nodes().size() != named_.size())) {
        named_.clear();
        return false;
    }
    utf8Mark_ = layout_.utf8Mark();
    // Nothing of the host list before the first named section, or (with no
    // nodes at all) before what the package's list adds.
    const size_t top = utf8Mark_ ? kUtf8Mark.size() : 0;
    firstOnTop_ = layout_.firstHeader() == hostBytes_.size()
                      ? layout_.firstHeader() == top
                      : layout_.firstHeader() == top && !named_.empty() && named_[0] == 0;
    oldSections_ = SectionBytes();
    return list_->LoadBytes(packageBytes) >= 0;
}

std::string CabinMerge::SectionBytes() const {
    std::string bytes;
    const auto& nodes = list_->nodes();
    for (const auto& node : nodes) {
        if (node->kind() != NodeKind::Section || names_.count(node->name().bytes()) == 0) continue;
        if (bytes.empty() && utf8Mark_ && firstOnTop_ && node == nodes[0]) bytes = kUtf8Mark;
        bytes += list_->SavedSectionBytes(node.get());
    }
    return bytes;
}

std::string CabinMerge::NewSectionBytes() const {
    return prepared_ ? SectionBytes() : std::string();
}

void CabinMerge::StreamedPieces() {
    const auto& sections = layout_.sections();
    const auto& nodes = list_->nodes();
    merged_.reserve(named_.size() + 1);
    pieces_.reserve(2 * named_.size() + 2);
    const std::string_view host(hostBytes_);
    size_t copied = 0;  // the host list's bytes before this are in
    for (size_t k = 0; k < named_.size(); ++k) {
        const IniLayout::Section& section = sections[named_[k]];
        if (section.start > copied) pieces_.push_back(host.substr(copied, section.start - copied));
        merged_.push_back(list_->SavedSectionBytes(nodes[k].get()));
        pieces_.emplace_back(merged_.back());
        copied = section.end;
    }
    if (copied < host.size()) pieces_.push_back(host.substr(copied));
    merged_.push_back(list_->SavedBytesFrom(named_.size()));
    if (!merged_.back().empty()) pieces_.emplace_back(merged_.back());
}

const std::vector<std::string_view>& CabinMerge::MergedPieces() {
    if (prepared_ && !mergedKnown_) {
        if (streamed_) {
            StreamedPieces();
        } else {
            merged_.push_back(list_->SavedBytes());
            pieces_.emplace_back(merged_.back());
        }
        mergedKnown_ = true;
    }
    return pieces_;
}

std::string CabinMerge::MergedBytes() {
    std::string bytes;
    for (std::string_view piece : MergedPieces()) bytes += piece;
    return bytes;
}

bool CabinMerge::Write() {
    if (!prepared_) return false;
    if (mergedKnown_ || streamed_) return list_->SavePieces(hostList_.c_str(), MergedPieces()) >= 0;
    return list_->Save(hostList_.c_str()) >= 0;
}
