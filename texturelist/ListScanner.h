// The texture blocks of a texture list file, gathered from the pieces in
// which the file is read. Whitespace (blank, TAB, LF, VT, FF, CR) is dropped;
// each of "{", "}", "(" and ")" is a token by itself and the bytes between
// them and whitespace form words. From the top-level "{" on, every byte that
// is not whitespace is kept, a TAB follows every ")" and every inner "{",
// and a "}" that brings the depth back to one completes a texture block:
//
//     Basis{ Textur{ id(3) name(x) } }   ->   "Textur{\tid(3)\tname(x)\t}"
//
// Outside the top-level block a ")" leaves a TAB, which starts the text of
// the first block; a "}" that closes no block is ignored; what follows the
// last texture block of a top-level block is dropped when that block closes.
// Bytes are taken as they are; a piece may end anywhere, also inside a word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace listscanner {

// What a byte does inside a block: the low bits are how many bytes it puts
// into the text (written as the byte and a TAB, of which only that many
// count); Brace marks "{" and "}", which also change the depth. A table,
// because every byte of a large list passes through here.
enum Action : unsigned char { Dropped = 0, Kept = 1, KeptWithTab = 2, LengthMask = 3, Brace = 4 };

struct Actions {
    unsigned char of[256];
    constexpr Actions() : of() {
        for (int c = 0; c < 256; ++c) of[c] = Kept;
        for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) of[c] = Dropped;
        of[static_cast<unsigned char>(')')] = KeptWithTab;
        of[static_cast<unsigned char>('{')] = KeptWithTab | Brace;
        of[static_cast<unsigned char>('}')] = Kept | Brace;
    }
};

inline constexpr Actions kActions;

inline bool IsWhitespace(char c) {
    return kActions.of[static_cast<unsigned char>(c)] == Dropped;
}

}  // namespace listscanner

class ListScanner {
public:
    // Scans the next `length` bytes of the file. For every texture block
    // completed in them calls onBlock(text, size) with the block's text and
    // whatever was gathered before it since the previous block; the text is
    // valid during the call only. When onBlock returns false, Scan stops and
    // returns false; the scanner is not to be used any more.
    template <class OnBlock>
    bool Scan(const char* bytes, std::size_t length, OnBlock&& onBlock);

private:
    // Makes room for the text that `length` more bytes can add: at most two
    // bytes each.
    void Reserve(std::size_t length);

    std::vector<char> text;  // gathered since the previous block: [0, used)
    std::size_t used = 0;
    std::uint64_t depth = 0;  // of braces; 0 outside the top-level block
};

template <class OnBlock>
bool ListScanner::Scan(const char* bytes, std::size_t length, OnBlock&& onBlock) {
    using namespace listscanner;
    Reserve(length);
    char* const text = this->text.data();
    char* out = text + used;
    const char* next = bytes;
    const char* const end = bytes + length;
    while (next < end) {
        if (depth == 0) {
            for (; next < end; ++next) {
                if (*next == '{') {
                    depth = 1;
                    ++next;
                    break;
                }
                if (*next == ')') {
                    *out++ = '\t';
                }
            }
            continue;
        }
        // Every byte is written with a TAB behind it and the output moves on
        // by the bytes that count: no branch but for the braces.
        while (next < end) {
            const char c = *next++;
            const unsigned char action = kActions.of[static_cast<unsigned char>(c)];
            out[0] = c;
            out[1] = '\t';
            out += action & LengthMask;
            if ((action & Brace) == 0) {
                continue;
            }
            if (c == '{') {
                ++depth;
            } else if (--depth == 1) {
                if (!onBlock(static_cast<const char*>(text),
                             static_cast<std::size_t>(out - text))) {
                    return false;
                }
                out = text;
            } else if (depth == 0) {
                out = text;
                break;
            }
        }
    }
    used = static_cast<std::size_t>(out - text);
    return true;
}
