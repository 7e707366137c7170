// Buffered writing of a texture list to an open stream, or to memory. Every
// line feed is written as CR LF, so a list has the same bytes on every
// system. Writes to a stream go through safereplace::Write
// (textfile/SafeReplace.h) like every save's.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

class ListWriter {
public:
    // Writes to `out`, which stays owned by the caller.
    explicit ListWriter(std::FILE* out);
    // Appends to `memory` instead, which stays owned by the caller.
    explicit ListWriter(std::string* memory);

    void Put(const char* text, std::size_t length);
    void Put(const char* text);

    // Writes what is still buffered. False when this or any earlier write
    // failed; once false, it stays false.
    bool Flush();

private:
    std::FILE* out = nullptr;
    std::string* memory = nullptr;
    std::string buffer;
    bool ok = true;
};
