#include "restore/ContentHash.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ull;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ull;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5ull;

std::uint64_t RotateLeft(std::uint64_t value, int bits) {
    return (value << bits) | (value >> (64 - bits));
}

// The word as little-endian, so that the journal's hashes never depend on
// the machine. On a little-endian machine that is a plain load: assembling it
// byte by byte made the hash the largest part of recording a restore point.
std::uint64_t LoadWord(const unsigned char* bytes) {
    std::uint64_t word = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(&word, bytes, sizeof word);
#else
    for (int i = 7; i >= 0; --i) word = (word << 8) | bytes[i];
#endif
    return word;
}

}  // namespace

void ContentHash::MixWord(std::uint64_t word) {
    word *= kPrime2;
    word = RotateLeft(word, 31) * kPrime1;
    state ^= word;
    state = RotateLeft(state, 27) * kPrime1 + kPrime4;
}

void ContentHash::Add(const void* data, std::size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    length += size;
    while (pendingSize > 0 && pendingSize < 8 && size > 0) {
        pending[pendingSize++] = *bytes++;
        --size;
    }
    if (pendingSize == 8) {
        MixWord(LoadWord(pending));
        pendingSize = 0;
    }
    for (; size >= 8; bytes += 8, size -= 8) MixWord(LoadWord(bytes));
    std::memcpy(pending + pendingSize, bytes, size);
    pendingSize += size;
}

std::uint64_t ContentHash::Value() const {
    std::uint64_t hash = state + length;
    for (std::size_t i = 0; i < pendingSize; ++i) {
        hash ^= pending[i] * kPrime5;
        hash = RotateLeft(hash, 11) * kPrime1;
    }
    hash ^= hash >> 33;
    hash *= kPrime2;
    hash ^= hash >> 29;
    hash *= kPrime3;
    hash ^= hash >> 32;
    return hash;
}

bool SameContent(const Fingerprint& a, const Fingerprint& b) {
    if (!a.exists || !b.exists) return a.exists == b.exists;
    return a.readable && b.readable && a.size == b.size && a.hash == b.hash;
}

std::uint64_t HashBytes(std::string_view bytes) {
    ContentHash hash;
    hash.Add(bytes.data(), bytes.size());
    return hash.Value();
}

Fingerprint FingerprintOf(const std::string& path) {
    Fingerprint print;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return print;
    print.exists = true;
    ContentHash hash;
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
        hash.Add(buffer.data(), got);
        print.size += got;
        if (got < buffer.size()) break;
    }
    print.readable = std::ferror(file) == 0;
    std::fclose(file);
    print.hash = hash.Value();
    return print;
}

Fingerprint FingerprintOfBytes(std::string_view bytes) {
    Fingerprint print;
    print.exists = true;
    print.size = bytes.size();
    print.hash = HashBytes(bytes);
    return print;
}

std::string HexOf(std::uint64_t value) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[value & 15u];
    return text;
}

bool ParseHex(std::string_view text, std::uint64_t& value) {
    value = 0;
    if (text.size() != 16) return false;
    std::uint64_t parsed = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) return false;
        parsed = (parsed << 4) | static_cast<unsigned>(digit);
    }
    value = parsed;
    return true;
}
