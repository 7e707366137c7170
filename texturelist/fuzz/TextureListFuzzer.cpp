// Loads an arbitrary file as a texture list and saves it: a saved list must
// load again to the same entries (only the TABs that a ")" in front of the
// list's first brace puts before the first entry are not written back) and
// saving that again must give the same bytes. A list that fails to load must
// leave nothing behind and save nothing.
#include "texturelist/TextureList.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "texture list fuzzer: %s\n", what);
        std::abort();
    }
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteAll(const std::string& path, const std::string& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

// Loads `path`, which must load, saves it back and returns the bytes saved.
std::string LoadAndResave(TextureList& list, const std::string& path) {
    Check(list.Load(path.c_str()), "a saved list does not load");
    Check(list.Save(path.c_str()), "a loaded list cannot be saved");
    return ReadAll(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string base = "/tmp/texturelist_fuzz_" + std::to_string(getpid());
    const std::string input = base + ".in.txt";
    const std::string saved = base + ".saved.txt";
    if (!WriteAll(input, std::string(reinterpret_cast<const char*>(data), size))) return 0;
    std::remove(saved.c_str());

    TextureList first;
    if (!first.Load(input.c_str())) {
        Check(!first.Loaded() && first.Entries().empty(), "a failed load keeps entries");
        Check(!first.Save(saved.c_str()), "a list that failed to load was saved");
        std::FILE* probe = std::fopen(saved.c_str(), "rb");
        Check(probe == nullptr, "a list that failed to load created a file");
        std::remove(input.c_str());
        return 0;
    }
    Check(first.Save(saved.c_str()), "a loaded list cannot be saved");
    const std::string firstBytes = ReadAll(saved);
    Check(firstBytes.compare(0, 8, "Basis{\r\n") == 0, "the saved list does not start with Basis{");
    Check(firstBytes.size() >= 11 && firstBytes.compare(firstBytes.size() - 3, 3, "}\r\n") == 0,
          "the saved list does not end with }");

    TextureList second;
    const std::string secondBytes = LoadAndResave(second, saved);
    Check(second.Entries().size() == first.Entries().size(), "saving lost or added entries");
    auto a = first.Entries().begin();
    for (auto b = second.Entries().begin(); b != second.Entries().end(); ++a, ++b) {
        Check(a->first == b->first, "an entry changed its id");
        std::size_t lead = a->second.find_first_not_of('\t');
        Check(lead != std::string::npos &&
                  a->second.compare(lead, std::string::npos, b->second) == 0,
              "an entry changed its text");
    }

    TextureList third;
    const std::string thirdBytes = LoadAndResave(third, saved);
    Check(std::equal(third.Entries().begin(), third.Entries().end(), second.Entries().begin(),
                     second.Entries().end()),
          "a canonical list changes when read again");
    Check(thirdBytes == secondBytes, "a canonical list is saved differently");

    std::remove(input.c_str());
    std::remove(saved.c_str());
    return 0;
}
