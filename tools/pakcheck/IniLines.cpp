#include "IniLines.h"

#include "textfile/IniSyntax.h"

namespace inilines {

std::vector<IniLine> Read(std::string_view bytes) {
    std::vector<IniLine> lines;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    int32_t number = 1;
    bool inSection = false;
    std::string_view section;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r' && bytes[end] != '\0') ++end;
        IniLine line;
        line.number = number;
        line.text = inisyntax::Trim(bytes.substr(start, end - start));
        if (!line.text.empty()) {
            if (line.text[0] == ';') {
                line.kind = IniLine::Kind::Comment;
            } else if (line.text[0] == '[') {
                const std::size_t close = line.text.find(']');
                inSection = close != std::string_view::npos && close > 0;
                section = inSection ? line.text.substr(1, close - 1) : std::string_view();
                line.kind = inSection ? IniLine::Kind::Header : IniLine::Kind::Other;
            } else {
                inisyntax::KeyLine<char> parts;
                if (inSection && inisyntax::SplitKeyLine(line.text, &parts)) {
                    line.kind = IniLine::Kind::Key;
                    line.key = parts.name;
                    line.value = parts.valueText;
                    line.items = parts.items;
                }
            }
            line.inSection = inSection;
            line.section = section;
            lines.push_back(line);
        }
        if (end == bytes.size()) break;
        // CR LF, LF and a lone CR end one line; a NUL ends none.
        if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ++end;
        if (bytes[end] != '\0') ++number;
        start = end + 1;
    }
    return lines;
}

int32_t KeyLine(const std::vector<IniLine>& lines, std::string_view section, std::string_view key) {
    int32_t found = 0;
    for (const IniLine& line : lines) {
        if (line.kind == IniLine::Kind::Key && line.section == section && line.key == key) {
            found = line.number;
        }
    }
    return found;
}

int32_t SectionLine(const std::vector<IniLine>& lines, std::string_view section) {
    for (const IniLine& line : lines) {
        if (line.kind == IniLine::Kind::Header && line.section == section) return line.number;
    }
    return 0;
}

}  // namespace inilines
