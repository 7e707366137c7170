// A line of a loaded file that the document did not keep, and why.
#pragma once

#include <cstdint>
#include <string>

struct IniDroppedLine {
    enum Reason : int32_t {
        NotAKey = 1,         // a key line without "=", or starting with "="
        OutsideSection = 2,  // a key line before the first valid header
        BadHeader = 3,       // a header line without "]"
        EmptyWideText = 4,   // a key with an empty quoted text, 16-bit document
        NoMemory = 5,        // the node could not be allocated
    };
    std::string file;  // the path given to Load
    int32_t line;      // 1-based line number in its file (CR LF, LF and CR end lines)
    Reason reason;
    std::string text;  // the trimmed line, bytes as in the file (UTF-16LE when wide)
};
