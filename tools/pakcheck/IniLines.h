// The lines of an INI file with their numbers, classified the way
// IniDocument reads them (trimmed; ";" starts a comment line, "[" a header,
// anything else is a key line of the section above it). IniDocument keeps no
// line numbers; this is how findings about its files name their lines.
//
//   Read         every line that is not blank, numbered as IniDocument
//                numbers dropped lines (CR LF, LF and a lone CR end a line);
//                a UTF-8 byte-order mark is skipped as the document skips it
//   KeyLine      the line of the last `key` in `section` (the value the
//                document keeps), 0 when there is none
//   SectionLine  the line of the first header of `section`, 0 when none
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct IniLine {
    enum class Kind { Comment, Header, Key, Other };
    int32_t number = 0;
    Kind kind = Kind::Other;
    std::string_view text;     // trimmed
    bool inSection = false;    // a valid header stands above it
    std::string_view section;  // the section it belongs to (a Header: its own name)
    std::string_view key;      // Key: the name before "="
    std::string_view value;    // Key: the value text, without its comment
    int32_t items = 1;         // Key: one more than the commas outside quotes
};

namespace inilines {

std::vector<IniLine> Read(std::string_view bytes);

int32_t KeyLine(const std::vector<IniLine>& lines, std::string_view section, std::string_view key);

int32_t SectionLine(const std::vector<IniLine>& lines, std::string_view section);

}  // namespace inilines
