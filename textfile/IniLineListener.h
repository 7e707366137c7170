// What IniDocument::Load made of each line of a file, told line by line in
// file order while it reads, for tools that explain a file by its lines
// (the package checker names lines and looks at value texts exactly as the
// document split them). Blank lines are not told. The views are valid only
// during the call; their bytes are as in the file (UTF-16LE when wide).
#pragma once

#include <cstdint>
#include <string_view>

#include "textfile/IniDroppedLine.h"

class IniLineListener {
public:
    struct Line {
        enum Kind { Comment, Header, Key, Dropped };
        Kind kind;
        int32_t number;                 // 1-based, counted as for IniDroppedLine
        std::string_view text;          // the trimmed line
        std::string_view section;       // Header: its name; Key: its section's name
        std::string_view key;           // Key: the name before "=", trimmed
        std::string_view value;         // Key: the value text without its comment, trimmed
        int32_t items;                  // Key: one more than the commas outside quotes
        IniDroppedLine::Reason reason;  // Dropped: why
    };

    virtual void OnLine(const Line& line) = 0;

protected:
    ~IniLineListener() = default;
};
