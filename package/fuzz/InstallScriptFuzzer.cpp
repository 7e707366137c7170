// Reads every section of an arbitrary script and compares what the buffered
// reader delivers with a plain in-memory walk over the same bytes. Also checks
// that entries never hold whitespace and always have balanced inner braces.
// The reader reads the script from memory (OpenBytes); one input in sixteen
// is also read from a file, which must give the same.
#include "package/InstallScript.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

bool IsWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The script with its whitespace gone, read the simplest possible way.
class Reference {
public:
    explicit Reference(const std::string& bytes) {
        for (char c : bytes) {
            if (!IsWhitespace(c)) text.push_back(c);
        }
    }

    bool FindSection(const std::string& name, std::vector<std::string>& entries) {
        entries.clear();
        at = 0;
        while (NameToken() != name) {
            if (at >= text.size()) return false;
        }
        ++at;  // the body's opening brace
        std::string entry;
        while (NextEntry(entry)) entries.push_back(entry);
        return true;
    }

private:
    std::string NameToken() {
        if (at < text.size() && (text[at] == '{' || text[at] == '}')) {
            long level = 0;
            do {
                level += text[at] == '{' ? 1 : text[at] == '}' ? -1 : 0;
                ++at;
            } while (level > 0 && at < text.size());
        }
        std::string token;
        while (at < text.size() && text[at] != '{' && text[at] != '}') {
            token.push_back(text[at++]);
        }
        return token;
    }

    bool NextEntry(std::string& entry) {
        entry.clear();
        if (at >= text.size() || text[at++] != '{') return false;
        long level = 1;
        while (at < text.size()) {
            char c = text[at++];
            if (c == '{') ++level;
            if (c == '}' && --level == 0) return true;
            entry.push_back(c);
        }
        return false;
    }

    std::string text;
    std::size_t at = 0;
};

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "install script fuzzer: %s\n", what);
        std::abort();
    }
}

std::string ScratchPath() {
    return "/tmp/installscript_fuzz_" + std::to_string(getpid()) + ".txt";
}

// Reads every section named in `names` and checks it against the reference.
void CompareSections(InstallScript& script, const std::string& bytes,
                     const std::vector<std::string>& names) {
    Reference reference(bytes);
    for (const std::string& name : names) {
        std::vector<std::string> expected;
        bool expectedFound = reference.FindSection(name, expected);
        Check(script.FindSection(name.c_str()) == expectedFound, "FindSection disagrees");
        if (!expectedFound) continue;
        std::vector<std::string> entries;
        std::string text;
        while (script.NextEntry(text)) {
            entries.push_back(text);
            long level = 0;
            for (char c : text) {
                Check(!IsWhitespace(c), "whitespace in an entry");
                level += c == '{' ? 1 : c == '}' ? -1 : 0;
                Check(level >= 0, "an entry closes more braces than it opens");
            }
            Check(level == 0, "an entry leaves a brace open");
        }
        Check(text.empty(), "text left after the last entry");
        Check(!script.NextEntry(text), "an entry after the end of the section");
        Check(entries == expected, "entries disagree");
    }
}

// One input in sixteen (by its bytes, so that a finding replays) also goes
// through a file: reading a file costs more than all the rest.
bool ThroughFile(const std::string& bytes) {
    unsigned sum = 0;
    for (char c : bytes) sum += static_cast<unsigned char>(c);
    return sum % 16 == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // Names to look for: the usual ones, and every top-level token of the
    // input itself (text between braces), so that real matches happen.
    std::vector<std::string> names = {"Dateinstallation", "Texturskript", "Bodenskript", ""};
    std::string token;
    for (char c : bytes) {
        if (c == '{' || c == '}') {
            if (!token.empty() && names.size() < 16) names.push_back(token);
            token.clear();
        } else if (!IsWhitespace(c) && c != '\0') {
            token.push_back(c);
        }
    }

    InstallScript inMemory;
    Check(inMemory.OpenBytes(bytes), "OpenBytes failed");
    CompareSections(inMemory, bytes, names);
    if (!ThroughFile(bytes)) return 0;

    const std::string path = ScratchPath();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return 0;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    written = std::fclose(out) == 0 && written;
    if (!written) return 0;
    InstallScript script;
    Check(script.Open(path.c_str()), "Open failed on an existing file");
    CompareSections(script, bytes, names);
    std::remove(path.c_str());
    return 0;
}
