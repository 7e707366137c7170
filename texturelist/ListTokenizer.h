// The tokens of a texture list file, read from an open stream in blocks.
// Whitespace (blank, TAB, LF, VT, FF, CR) separates words and is never part
// of a token; each of "{", "}", "(" and ")" is a token by itself, and every
// other run of bytes within a word is one token:
//
//     Textur{ id(3) }   ->   Textur  {  id  (  3  )  }
//
// Bytes are taken as they are; a token may be longer than a block.
#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

namespace listtokenizer {

// What each byte is to the tokenizer; a table, because every byte of a
// large list passes through here.
enum CharClass : unsigned char { kText, kWhitespace, kDelimiter };

struct CharClasses {
    CharClass of[256];
    constexpr CharClasses() : of() {
        for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) of[c] = kWhitespace;
        for (unsigned char c : {'{', '}', '(', ')'}) of[c] = kDelimiter;
    }
};

inline constexpr CharClasses kClasses;

inline CharClass ClassOf(char c) {
    return kClasses.of[static_cast<unsigned char>(c)];
}

inline bool IsWhitespace(char c) {
    return ClassOf(c) == kWhitespace;
}

}  // namespace listtokenizer

class ListTokenizer {
public:
    // Reads from `in`, which stays owned by the caller.
    explicit ListTokenizer(std::FILE* in);

    // True with the next token in [begin, begin + length), length > 0, valid
    // until the next call. False at the end of the input or after a read
    // error; Failed() tells the two apart.
    bool NextToken(const char*& begin, std::size_t& length) {
        using namespace listtokenizer;
        // Within the block, inline; reading the next block is not.
        while (next_ < end_ && ClassOf(buffer_[next_]) == kWhitespace) {
            ++next_;
        }
        if (next_ < end_) {
            std::size_t stop = next_ + 1;
            if (ClassOf(buffer_[next_]) == kText) {
                while (stop < end_ && ClassOf(buffer_[stop]) == kText) {
                    ++stop;
                }
            }
            if (stop < end_) {
                begin = buffer_.data() + next_;
                length = stop - next_;
                next_ = stop;
                return true;
            }
        }
        return NextTokenSlow(begin, length);
    }

    bool Failed() const { return failed_; }

private:
    bool NextTokenSlow(const char*& begin, std::size_t& length);

    // Drops the bytes before `keep` (which becomes 0) and reads more behind
    // the rest. False when nothing more could be read.
    bool Refill(std::size_t& keep);

    std::FILE* in_;
    std::vector<char> buffer_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    bool failed_ = false;
};
