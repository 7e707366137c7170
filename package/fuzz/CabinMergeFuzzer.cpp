// Merges a package's cabin list into a host's both ways and requires the
// same result: CabinMerge (which takes a host list in Save's layout section
// by section) against the merge of the whole documents (the host list
// loaded, the package's loaded into it, saved). Prepared or not, the bytes
// to write and the named sections' bytes before and after must be the same
// to the byte. A host list that Save gives back unchanged must be taken
// section by section.
//
// Input: one byte, then the bytes of both lists. Bit 0 of the byte: the
// host list is first loaded and saved (so that it is mostly in Save's
// layout); the other bits: where the rest splits into host and package.
// For a sample of the inputs (one in 64) the merge is also written, and the
// file must hold the bytes it said.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unordered_set>

#include <sys/stat.h>
#include <unistd.h>

#include "package/CabinMerge.h"
#include "textfile/IniDocument.h"

namespace {

std::string Scratch(const char* what) {
    struct stat info;
    const std::string folder =
        stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) ? "/dev/shm" : "/tmp";
    return folder + "/pakwerk-cabinfuzz-" + std::to_string(getpid()) + "-" + what;
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The merge of the whole documents, and the named sections' bytes as the
// whole list's Save writes them.
struct DocumentMerge {
    bool prepared = false;
    std::string merged;
    std::string oldSections;
    std::string newSections;
};

std::string SectionBytes(const IniDocument& list,
                         const std::unordered_set<std::string_view>& names) {
    std::string bytes;
    const auto& nodes = list.Nodes();
    for (const auto& node : nodes) {
        if (node->Kind() != NodeKind::Section || names.count(node->Name().Bytes()) == 0) continue;
        if (bytes.empty() && list.Utf8Mark() && node == nodes[0]) bytes = "\xEF\xBB\xBF";
        bytes += list.SavedSectionBytes(node.get());
    }
    return bytes;
}

DocumentMerge MergeDocuments(const std::string& host, const std::string& package) {
    DocumentMerge result;
    IniDocument list(false);
    IniDocument named(false);
    if (list.Load(host.c_str(), 0, 0) < 0 || named.Load(package.c_str(), 0, 0) < 0) return result;
    std::unordered_set<std::string_view> names;
    for (const auto& node : named.Nodes()) {
        if (node->Kind() == NodeKind::Section) names.insert(node->Name().Bytes());
    }
    result.oldSections = SectionBytes(list, names);
    if (list.Load(package.c_str(), 0, 0) < 0) return result;
    result.prepared = true;
    result.merged = list.SavedBytes();
    result.newSections = SectionBytes(list, names);
    return result;
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "cabin merge fuzzer: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const std::string kHost = Scratch("cabins.ini");
    static const std::string kPackage = Scratch("cabin.ini");
    static unsigned long runs = 0;
    const bool normalise = (data[0] & 1) != 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t split = rest.size() * (data[0] >> 1) / 128;
    std::string hostBytes(rest.substr(0, split));
    if (normalise) {
        IniDocument saved(false);
        if (saved.LoadBytes(hostBytes) == 0) hostBytes = saved.SavedBytes();
    }
    WriteBytes(kHost, hostBytes);
    WriteBytes(kPackage, rest.substr(split));

    const DocumentMerge expected = MergeDocuments(kHost, kPackage);
    CabinMerge merge;
    Check(merge.Prepare(kHost, kPackage) == expected.prepared, "prepared differs");
    if (!expected.prepared) return 0;
    Check(merge.MergedBytes() == expected.merged, "merged bytes differ");
    Check(merge.OldSectionBytes() == expected.oldSections, "old section bytes differ");
    Check(merge.NewSectionBytes() == expected.newSections, "new section bytes differ");
    Check(merge.HostBytes() == hostBytes, "host bytes differ");
    IniDocument again(false);
    if (!hostBytes.empty() && again.LoadBytes(hostBytes) == 0 && again.SavedBytes() == hostBytes) {
        Check(merge.Streamed(), "a host list in Save's layout was not streamed");
    }
    if (++runs % 64 == 0) {
        Check(merge.Write(), "the merge was not written");
        Check(ReadBytes(kHost) == expected.merged, "the written list differs");
    }
    return 0;
}
