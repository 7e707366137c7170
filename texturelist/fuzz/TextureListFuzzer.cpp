// Loads arbitrary bytes as a texture list and saves it, in memory: a saved
// list must load again to the same entries (only the TABs that a ")" in
// front of the list's first brace puts before the first entry are not
// written back) and saving that again must give the same bytes. A list that
// fails to load must leave nothing behind and save nothing. For a sample of
// the inputs the same bytes also go through the disk, which must give the
// same entries and the same bytes.
#include "texturelist/TextureList.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Scratch files go to memory where the system has a folder for that: the
// saves flush to disk, which on a real disk costs more than all the rest.
std::string ScratchFolder() {
    struct stat info;
    return stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) ? "/dev/shm" : "/tmp";
}

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

bool WriteAll(const std::string& path, std::string_view bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

bool SameEntries(const TextureList& a, const TextureList& b) {
    return std::equal(a.Entries().begin(), a.Entries().end(), b.Entries().begin(),
                      b.Entries().end());
}

// Loads `bytes`, which must load, and returns the bytes saved.
std::string LoadAndResave(TextureList& list, const std::string& bytes) {
    Check(list.LoadBytes(bytes), "a saved list does not load");
    std::string saved;
    Check(list.SaveBytes(&saved), "a loaded list cannot be saved");
    return saved;
}

// The file path: Load and Save through the disk must agree with LoadBytes
// and SaveBytes.
void CompareWithFile(std::string_view bytes, const TextureList& fromMemory) {
    const std::string base = ScratchFolder() + "/texturelist_fuzz_" + std::to_string(getpid());
    const std::string input = base + ".in.txt";
    const std::string saved = base + ".saved.txt";
    if (!WriteAll(input, bytes)) return;
    std::remove(saved.c_str());
    TextureList fromFile;
    Check(fromFile.Load(input.c_str()) == fromMemory.Loaded(), "Load and LoadBytes disagree");
    Check(SameEntries(fromFile, fromMemory), "Load and LoadBytes give other entries");
    std::string memoryBytes;
    Check(fromFile.Save(saved.c_str()) == fromMemory.SaveBytes(&memoryBytes),
          "Save and SaveBytes disagree");
    if (fromFile.Loaded()) {
        Check(ReadAll(saved) == memoryBytes, "Save and SaveBytes write other bytes");
    } else {
        std::FILE* probe = std::fopen(saved.c_str(), "rb");
        Check(probe == nullptr, "a list that failed to load created a file");
    }
    std::remove(input.c_str());
    std::remove(saved.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // About one input in 64, chosen by its bytes so that a run repeats.
    unsigned sum = 0;
    for (unsigned char c : bytes) sum += c;
    const bool throughFile = sum % 64 == 0;

    TextureList first;
    if (!first.LoadBytes(bytes)) {
        Check(!first.Loaded() && first.Entries().empty(), "a failed load keeps entries");
        std::string none = "x";
        Check(!first.SaveBytes(&none) && none.empty(), "a list that failed to load was saved");
        if (throughFile) CompareWithFile(bytes, first);
        return 0;
    }
    if (throughFile) CompareWithFile(bytes, first);
    std::string firstBytes;
    Check(first.SaveBytes(&firstBytes), "a loaded list cannot be saved");
    Check(firstBytes.compare(0, 8, "Basis{\r\n") == 0, "the saved list does not start with Basis{");
    Check(firstBytes.size() >= 11 && firstBytes.compare(firstBytes.size() - 3, 3, "}\r\n") == 0,
          "the saved list does not end with }");

    TextureList second;
    const std::string secondBytes = LoadAndResave(second, firstBytes);
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
    const std::string thirdBytes = LoadAndResave(third, secondBytes);
    Check(SameEntries(third, second), "a canonical list changes when read again");
    Check(thirdBytes == secondBytes, "a canonical list is saved differently");
    return 0;
}
