// The file operations that standard C serves alike on every system.
#include "pakcheck/reading/FileSystem.h"

#include <cstdio>

namespace pakcheck {

namespace files {

bool ReadBytes(const std::string& path, std::string* bytes) {
    if (Probe(path).folder) return false;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) return false;
    bytes->clear();
    char block[64 * 1024];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, in)) > 0) bytes->append(block, got);
    const bool ok = std::ferror(in) == 0;
    std::fclose(in);
    return ok;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    ok = std::fclose(out) == 0 && ok;
    return ok;
}

}  // namespace files

}  // namespace pakcheck
