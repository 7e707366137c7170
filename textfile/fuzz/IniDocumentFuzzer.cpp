// Loads arbitrary bytes as two files merged into one INI document, narrow
// and wide, reads every value, saves the result, and loads and saves that
// again: the second save must give the same bytes as the first.
//
// Input: one byte choosing where to split, then the bytes of both files.
// Each file starts with a section of twenty keys, so that keys of the input
// that land in it are found through the section's index.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "textfile/IniDocument.h"

namespace {

std::string Scratch(const char* what) {
    return "/tmp/pakwerk-inifuzz-" + std::to_string(getpid()) + "-" + what;
}

void WriteBytes(const std::string& path, const std::string& prefix, const uint8_t* data,
                size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << prefix;
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::string LargeSection(bool wide) {
    std::string text = "[S]\r\n";
    for (int i = 0; i < 20; ++i)
        text += "a" + std::to_string(i) + " = " + std::to_string(i) + "\r\n";
    if (!wide) return text;
    std::string units = "\xFF\xFE";
    for (char c : text) {
        units.push_back(c);
        units.push_back('\0');
    }
    return units;
}

// Removes every other key of every section: the index must stay whole.
template <typename CharT>
void RemoveSomeKeys(IniDocument& document) {
    std::vector<std::basic_string<CharT>> sections, keys;
    for (const auto& node : document.nodes()) {
        if (node->kind() != NodeKind::Section) continue;
        const auto name = node->name().bytes();
        const std::basic_string<CharT> section(reinterpret_cast<const CharT*>(name.data()),
                                               name.size() / sizeof(CharT));
        bool remove = false;
        for (const auto& entry : node->entries()) {
            if (entry->kind() == NodeKind::Comment || !(remove = !remove)) continue;
            const auto key = entry->name().bytes();
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

// Every value read in every width, into a destination exactly as large as
// the value asks for: the sanitizers see any read or write beyond it.
void ReadEverything(IniDocument& document) {
    std::vector<uint8_t> room;
    for (const auto& node : document.nodes()) {
        if (node->kind() != NodeKind::Section) continue;
        for (const auto& entry : node->entries()) {
            if (entry->kind() == NodeKind::Comment) continue;
            const size_t count = static_cast<size_t>(entry->count());
            for (int32_t size : {4, -1, -2}) {
                size_t element = size < 0 ? static_cast<size_t>(-size) : 4;
                room.assign((count + 1) * element, 0);
                document.GetValue(static_cast<const char*>(nullptr),
                                  static_cast<const char*>(nullptr), room.data(), 0, size);
                if (count > 2) {
                    room.assign(3 * element, 0);
                    document.GetValue(static_cast<const char*>(nullptr),
                                      static_cast<const char*>(nullptr), room.data(), 2, size);
                }
            }
        }
    }
}

void RoundTrip(bool wide, const std::string& first, const std::string& second) {
    const std::string saved = Scratch("saved.ini");
    const std::string again = Scratch("again.ini");
    {
        IniDocument document(wide);
        document.Load(first.c_str(), 0, 0);
        document.Load(second.c_str(), 0, 0);
        for (const auto& node : document.nodes()) {
            if (node->kind() != NodeKind::Section) continue;
            // Walks the keys through the cursors, as readers of the document do.
            document.FindSection(static_cast<const char*>(nullptr));
            for (const auto& entry : node->entries()) {
                if (entry->kind() != NodeKind::Comment)
                    document.FindKey(node.get(), static_cast<const char*>(nullptr));
            }
        }
        ReadEverything(document);
        if (wide) {
            RemoveSomeKeys<char16_t>(document);
        } else {
            RemoveSomeKeys<char>(document);
        }
        if (document.Save(saved.c_str()) != 0) std::abort();
    }
    IniDocument reread(wide);
    reread.Load(saved.c_str(), 0, 0);
    if (reread.Save(again.c_str()) != 0) std::abort();
    if (ReadBytes(saved) != ReadBytes(again)) {
        std::fprintf(stderr, "saving a saved %s document changed it\n", wide ? "wide" : "narrow");
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t split = static_cast<size_t>(data[0]) * (size - 1) / 255;
    const std::string first = Scratch("first.ini");
    const std::string second = Scratch("second.ini");
    for (bool wide : {false, true}) {
        WriteBytes(first, LargeSection(wide), data + 1, split);
        WriteBytes(second, LargeSection(wide), data + 1 + split, size - 1 - split);
        RoundTrip(wide, first, second);
    }
    return 0;
}
