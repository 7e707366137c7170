// Loads arbitrary bytes as two files merged into one INI document, narrow
// or wide, reads every value, saves the result, and loads and saves that
// again: the second save must give the same bytes as the first. All of it in
// memory; for a sample of the inputs (one in 256: going through the files
// costs as much as a dozen inputs in memory) the same two files also go
// through the files, which must give the same document and the same bytes.
//
// Input: one byte choosing the width (bit 0: wide) and where to split (the
// other bits), then the bytes of both files. The first file starts with a
// section of seventeen keys (one more than a section needs to index its
// keys) and the second with that section's header, so that keys of the
// input that land in it are found through the section's index.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "textfile/IniDocument.h"

namespace {

// Scratch files go to memory where the system has a folder for that: the
// saves flush to disk, which on a real disk costs more than all the rest.
std::string ScratchFolder() {
    struct stat info;
    return stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) ? "/dev/shm" : "/tmp";
}

std::string Scratch(const char* what) {
    return ScratchFolder() + "/pakwerk-inifuzz-" + std::to_string(getpid()) + "-" + what;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Widen(const std::string& text) {
    std::string units = "\xFF\xFE";
    for (char c : text) {
        units.push_back(c);
        units.push_back('\0');
    }
    return units;
}

const std::string& LargeSection(bool wide) {
    static const std::string kNarrow = [] {
        std::string text = "[S]\r\n";
        for (int i = 0; i < 17; ++i)
            text += "a" + std::to_string(i) + " = " + std::to_string(i) + "\r\n";
        return text;
    }();
    static const std::string kWidened = Widen(kNarrow);
    return wide ? kWidened : kNarrow;
}

// The second file goes on in the same section, so that its keys up to its
// first header replace or join those of the first through the index.
const std::string& SectionHeader(bool wide) {
    static const std::string kNarrow = "[S]\r\n";
    static const std::string kWidened = Widen(kNarrow);
    return wide ? kWidened : kNarrow;
}

// Removes every other key of every section: the index must stay whole.
template <typename CharT>
void RemoveSomeKeys(IniDocument& document) {
    std::vector<std::basic_string<CharT>> sections, keys;
    for (const auto& node : document.Nodes()) {
        if (node->Kind() != NodeKind::Section) continue;
        const auto name = node->Name().Bytes();
        const std::basic_string<CharT> section(reinterpret_cast<const CharT*>(name.data()),
                                               name.size() / sizeof(CharT));
        bool remove = false;
        for (const auto& entry : node->Entries()) {
            if (entry->Kind() == NodeKind::Comment || !(remove = !remove)) continue;
            const auto key = entry->Name().Bytes();
            sections.push_back(section);
            keys.emplace_back(reinterpret_cast<const CharT*>(key.data()),
                              key.size() / sizeof(CharT));
        }
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        if (document.RemoveEntry(sections[i].c_str(), keys[i].c_str()) != 0) std::abort();
    }
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

template <typename CharT>
std::basic_string<CharT> NameOf(const IniNode& node) {
    const auto bytes = node.Name().Bytes();
    return std::basic_string<CharT>(reinterpret_cast<const CharT*>(bytes.data()),
                                    bytes.size() / sizeof(CharT));
}

// Every value read, found by its section's and its own name and then taken
// at the cursors, in one of the widths in turn, into a destination exactly
// as large as the value asks for: the sanitizers see any read or write
// beyond it.
template <typename CharT>
void ReadEverything(IniDocument& document) {
    static const int32_t kSizes[] = {4, -1, -2};
    std::vector<uint8_t> room;
    size_t turn = 0;
    for (const auto& node : document.Nodes()) {
        if (node->Kind() != NodeKind::Section) continue;
        if (document.FindSection(NameOf<CharT>(*node).c_str()) < 0) std::abort();
        for (const auto& entry : node->Entries()) {
            if (entry->Kind() == NodeKind::Comment) continue;
            if (document.FindKey(node.get(), NameOf<CharT>(*entry).c_str()) != entry.get())
                std::abort();
            const size_t count = static_cast<size_t>(entry->Count());
            const int32_t size = kSizes[turn++ % 3];
            const size_t element = size < 0 ? static_cast<size_t>(-size) : 4;
            room.assign((count + 1) * element, 0);
            document.GetValue(static_cast<const CharT*>(nullptr),
                              static_cast<const CharT*>(nullptr), room.data(), 0, size);
            if (count > 2) {
                room.assign(3 * element, 0);
                document.GetValue(static_cast<const CharT*>(nullptr),
                                  static_cast<const CharT*>(nullptr), room.data(), 2, size);
            }
        }
    }
}

void Check(bool condition, const char* what, bool wide) {
    if (!condition) {
        std::fprintf(stderr, "ini fuzzer (%s): %s\n", wide ? "wide" : "narrow", what);
        std::abort();
    }
}

bool SameDocument(const IniDocument& a, const IniDocument& b) {
    return a.Nodes().size() == b.Nodes().size() &&
           a.DroppedLines().size() == b.DroppedLines().size() && a.Utf8Mark() == b.Utf8Mark() &&
           a.SavedBytes() == b.SavedBytes();
}

void RoundTrip(bool wide, const std::string& first, const std::string& second) {
    std::string saved;
    {
        IniDocument document(wide);
        document.LoadBytes(first);
        document.LoadBytes(second);
        for (const auto& node : document.Nodes()) {
            if (node->Kind() != NodeKind::Section) continue;
            // Walks the keys through the cursors, as readers of the document do.
            document.FindSection(static_cast<const char*>(nullptr));
            for (const auto& entry : node->Entries()) {
                if (entry->Kind() != NodeKind::Comment)
                    document.FindKey(node.get(), static_cast<const char*>(nullptr));
            }
        }
        if (wide) {
            ReadEverything<char16_t>(document);
            RemoveSomeKeys<char16_t>(document);
        } else {
            ReadEverything<char>(document);
            RemoveSomeKeys<char>(document);
        }
        saved = document.SavedBytes();
    }
    IniDocument reread(wide);
    Check(reread.LoadBytes(saved) == 0, "a saved document does not load", wide);
    Check(reread.SavedBytes() == saved, "saving a saved document changed it", wide);
}

// The file path: Load and Save through the disk must agree with LoadBytes
// and SavedBytes.
void CompareWithFiles(bool wide, const std::string& first, const std::string& second) {
    const std::string firstPath = Scratch("first.ini");
    const std::string secondPath = Scratch("second.ini");
    const std::string savedPath = Scratch("saved.ini");
    WriteBytes(firstPath, first);
    WriteBytes(secondPath, second);
    IniDocument fromFiles(wide);
    IniDocument fromMemory(wide);
    Check(fromFiles.Load(firstPath.c_str(), 0, 0) == fromMemory.LoadBytes(first),
          "Load and LoadBytes disagree on the first file", wide);
    Check(fromFiles.Load(secondPath.c_str(), 0, 0) == fromMemory.LoadBytes(second),
          "Load and LoadBytes disagree on the second file", wide);
    Check(SameDocument(fromFiles, fromMemory), "Load and LoadBytes give other documents", wide);
    Check(fromFiles.Save(savedPath.c_str()) == 0, "a document cannot be saved", wide);
    Check(ReadBytes(savedPath) == fromMemory.SavedBytes(), "Save and SavedBytes disagree", wide);
    std::remove(firstPath.c_str());
    std::remove(secondPath.c_str());
    std::remove(savedPath.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool wide = (data[0] & 1) != 0;
    const size_t split = static_cast<size_t>(data[0] >> 1) * (size - 1) / 127;
    // About one input in 256, chosen by its bytes so that a run repeats.
    unsigned sum = 0;
    for (size_t i = 0; i < size; ++i) sum += data[i];
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::string first = LargeSection(wide) + std::string(bytes + 1, split);
    const std::string second =
        SectionHeader(wide) + std::string(bytes + 1 + split, size - 1 - split);
    RoundTrip(wide, first, second);
    if (sum % 256 == 0) CompareWithFiles(wide, first, second);
    return 0;
}
