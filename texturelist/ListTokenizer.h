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

class ListTokenizer {
public:
    // Reads from `in`, which stays owned by the caller.
    explicit ListTokenizer(std::FILE* in);

    // True with the next token in [begin, begin + length), length > 0, valid
    // until the next call. False at the end of the input or after a read
    // error; Failed() tells the two apart.
    bool NextToken(const char*& begin, std::size_t& length);

    bool Failed() const { return failed_; }

private:
    // Drops the bytes before `keep` (which becomes 0) and reads more behind
    // the rest. False when nothing more could be read.
    bool Refill(std::size_t& keep);

    std::FILE* in_;
    std::vector<char> buffer_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    bool failed_ = false;
};

namespace listtokenizer {

bool IsWhitespace(char c);

}  // namespace listtokenizer
