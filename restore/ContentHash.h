// The fingerprint of a file's content: its size and a 64-bit hash, so that a
// restore can tell whether a file is still as an installation left it.
//
// The hash is a one-lane variant of the xxHash64 mixing, written here: the
// content is read as little-endian 64-bit words (each mixed in with two
// multiplications and a rotation), the last 0..7 bytes one by one, then the
// length and a final avalanche. Not cryptographic: it tells the user's own
// edits and other packages' files apart from what a run wrote, which is all
// a restore asks; it works on words because every installed byte passes
// through it (a byte-wise hash costs too much on a 32-bit processor).
//
//   ContentHash::Add    feeds bytes; pieces may be cut anywhere
//   ContentHash::Value  the hash of everything fed so far (feeding may go on)
//   HashBytes           the hash of `bytes` in one piece
//   FingerprintOf       the file's fingerprint; `exists` false when it cannot
//                       be opened, `readable` false when reading it failed
//                       on the way (the fingerprint must not be used then)
//   HexOf, ParseHex     16 lower-case hex digits and back; ParseHex false for
//                       anything else (the value is then 0)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class ContentHash {
public:
    void Add(const void* data, std::size_t size);
    std::uint64_t Value() const;

private:
    void MixWord(std::uint64_t word);

    std::uint64_t state = 0x27D4EB2F165667C5ull;
    std::uint64_t length = 0;
    unsigned char pending[8] = {};
    std::size_t pendingSize = 0;
};

struct Fingerprint {
    bool exists = false;
    bool readable = true;
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
};

// Equal when both are missing, or both exist with the same size and hash.
bool SameContent(const Fingerprint& a, const Fingerprint& b);

std::uint64_t HashBytes(std::string_view bytes);
Fingerprint FingerprintOf(const std::string& path);
Fingerprint FingerprintOfBytes(std::string_view bytes);

std::string HexOf(std::uint64_t value);
bool ParseHex(std::string_view text, std::uint64_t& value);
