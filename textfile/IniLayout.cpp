#include "textfile/IniLayout.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include "textfile/IniSyntax.h"
#include "textfile/NodeKind.h"

namespace {

// A section with more keys than this has its names sorted to find one
// twice; smaller ones compare each pair.
constexpr size_t kFewKeys = 16;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A byte that ends a line for Load: CR, LF or NUL.
bool IsBreak(char c) {
    return static_cast<unsigned char>(c) <= '\r' && (c == '\r' || c == '\n' || c == '\0');
}

// Whether a quoted text holds a character that Save writes as an escape.
bool NeedsEscape(std::string_view text) {
    for (char c : text) {
        if (c == '[' || c == '"' || c == '\t' || c == '\n' || c == '\b' || c == '\r') return true;
    }
    return false;
}

// The line Save writes for the key Load makes of `line` (a trimmed line
// that is no header and no comment), as IniDocumentSave.cpp writes an
// entry: the name, TAB " = ", the value in its kind's form, " " and the
// comment, trimmed. False when Load would drop the line. `value` is room
// for the decoded value.
bool SavedKeyLine(std::string_view line, std::string* value, std::string* out) {
    inisyntax::KeyLine<char> parts;
    if (!inisyntax::SplitKeyLine(line, &parts)) return false;
    int32_t count = 0;
    const NodeKind kind = inisyntax::DecodeValue(parts.valueText, parts.items, value, &count);
    out->assign(parts.name.data(), parts.name.size());
    out->append("\t = ");
    switch (kind) {
    case NodeKind::Text: {
        std::string_view text(*value);
        if (count >= 0 && static_cast<size_t>(count) < text.size()) {
            text = text.substr(0, static_cast<size_t>(count));
        }
        text = text.substr(0, text.find('\0'));
        out->push_back('"');
        if (NeedsEscape(text)) {
            inisyntax::AppendEscaped(text, out);
        } else {
            out->append(text);
        }
        out->push_back('"');
        break;
    }
    case NodeKind::Untyped: out->append(parts.valueText); break;
    default:
        inisyntax::AppendList(kind, reinterpret_cast<const uint8_t*>(value->data()),
                              static_cast<int32_t>(value->size()), count, out);
        break;
    }
    if (!parts.comment.empty()) {
        out->push_back(' ');
        out->append(parts.comment);
    }
    while (!out->empty() && IsBlank(out->back())) out->pop_back();
    return true;
}

// The end of a canonical Int item from `p`: "0", or digits not starting
// with "0" after an optional "-", within the 32-bit range; nullptr when the
// item is not one.
const char* IntItemEnd(const char* p, const char* end) {
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    const char* const digits = p;
    int64_t value = 0;
    while (p < end && *p >= '0' && *p <= '9' && p - digits < 11) value = value * 10 + (*p++ - '0');
    const size_t count = static_cast<size_t>(p - digits);
    if (count == 0 || (digits[0] == '0' && (count > 1 || negative))) return nullptr;
    if (value > (negative ? int64_t{2147483648} : int64_t{2147483647})) return nullptr;
    return p;
}

// The end of a canonical HexList item from `p`: "0x" and four lower-case
// digits, or five to eight not starting with "0".
const char* HexItemEnd(const char* p, const char* end) {
    if (end - p < 6 || p[0] != '0' || p[1] != 'x') return nullptr;
    const char* const digits = p + 2;
    p = digits;
    while (p < end && ((*p >= '0' && *p <= '9') || (*p >= 'a' && *p <= 'f'))) ++p;
    const std::ptrdiff_t count = p - digits;
    if (count < 4 || count > 8 || (count > 4 && digits[0] == '0')) return nullptr;
    return p;
}

// The end of a list of items from `p`, each ending where `item` says,
// joined by ","; nullptr when one is not an item.
template <typename Item>
const char* ListEnd(const char* p, const char* end, Item item) {
    for (;;) {
        p = item(p, end);
        if (p == nullptr || p == end || *p != ',') return p;
        ++p;
    }
}

// The common shapes of a key line Save wrote, checked without decoding:
// "name<TAB> = " and a quoted text without escapes, a list of Ints, of
// HexList items or of Y and N, then nothing or " ;comment". True: the line
// is as Save writes it; false: it may not be (SavedKeyLine tells).
bool QuickKeyLine(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals < 3 || line[equals - 2] != '\t' ||
        line[equals - 1] != ' ' || IsBlank(line[equals - 3]) || line.size() < equals + 3 ||
        line[equals + 1] != ' ') {
        return false;
    }
    const char* p = line.data() + equals + 2;
    const char* const end = line.data() + line.size();
    const char first = *p;
    if (first == '"') {
        ++p;
        while (p < end && *p != '"') {
            if (*p == '[' || *p == '\t' || *p == '\b') return false;
            ++p;
        }
        if (p == end) return false;
        ++p;
    } else if (first == 'Y' || first == 'N') {
        p = ListEnd(p, end, [](const char* q, const char* e) -> const char* {
            return q < e && (*q == 'Y' || *q == 'N') ? q + 1 : nullptr;
        });
    } else if (first == '0' && end - p >= 2 && p[1] == 'x') {
        p = ListEnd(p, end, HexItemEnd);
    } else if (first == '-' || (first >= '0' && first <= '9')) {
        p = ListEnd(p, end, IntItemEnd);
    } else {
        return false;
    }
    if (p == nullptr || (p < end && *p == '.')) return false;
    if (p == end) return true;
    return end - p >= 2 && p[0] == ' ' && p[1] == ';';
}

// Whether a header line is as Save writes it: "[name]", then nothing or
// " " and the comment from the first ";" after the "]". Its name in `name`.
bool SavedHeader(std::string_view line, std::string_view* name) {
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    *name = line.substr(1, close - 1);
    const std::string_view rest = line.substr(close + 1);
    return rest.empty() || (rest.size() >= 2 && rest[0] == ' ' && rest[1] == ';');
}

bool HasRepeatedName(std::vector<std::string_view>* names) {
    if (names->size() <= kFewKeys) {
        for (size_t i = 1; i < names->size(); ++i) {
            for (size_t j = 0; j < i; ++j) {
                if ((*names)[i] == (*names)[j]) return true;
            }
        }
        return false;
    }
    std::sort(names->begin(), names->end());
    return std::adjacent_find(names->begin(), names->end()) != names->end();
}

}  // namespace

void IniLayout::Clear() {
    utf8Mark = false;
    firstHeader = 0;
    sections.clear();
    slots.clear();
}

bool IniLayout::Scan(std::string_view bytes) {
    size_t pos = 0;
    if (bytes.size() >= 3 && std::memcmp(bytes.data(), "\xEF\xBB\xBF", 3) == 0) {
        utf8Mark = true;
        pos = 3;
    }
    firstHeader = bytes.size();
    // Between a header and its empty line; `afterComment`: the last line
    // there was a comment line.
    bool inKeys = false;
    bool afterComment = false;
    std::vector<std::string_view> keys;
    std::string value;
    std::string saved;
    sections.reserve(bytes.size() / 64);
    const char* const data = bytes.data();
    const char* const dataEnd = data + bytes.size();
    while (pos < bytes.size()) {
        // The line runs to the first CR, LF or NUL: a CR before an LF.
        const char* p = data + pos;
        while (p < dataEnd && !IsBreak(*p)) ++p;
        if (dataEnd - p < 2 || p[0] != '\r' || p[1] != '\n') return false;
        const std::string_view line(data + pos, static_cast<size_t>(p - data) - pos);
        const size_t lineStart = pos;
        pos = static_cast<size_t>(p - data) + 2;
        if (line.empty()) {
            if (!inKeys || afterComment || HasRepeatedName(&keys)) return false;
            inKeys = false;
            sections.back().end = pos;
            continue;
        }
        if (IsBlank(line.front()) || IsBlank(line.back())) return false;
        if (line.front() == '[') {
            std::string_view name;
            if (inKeys || !SavedHeader(line, &name)) return false;
            if (sections.empty()) {
                firstHeader = lineStart;
            } else {
                sections.back().next = lineStart;
            }
            sections.push_back(Section{name, lineStart, 0, 0});
            inKeys = true;
            afterComment = false;
            keys.clear();
            continue;
        }
        if (line.front() == ';') {
            afterComment = true;
            continue;
        }
        if (!inKeys) return false;
        if (!QuickKeyLine(line) && (!SavedKeyLine(line, &value, &saved) || saved != line))
            return false;
        afterComment = false;
        keys.push_back(line.substr(0, line.find('=') - 2));  // before TAB " = "
    }
    if (inKeys) return false;
    if (!sections.empty()) {
        sections.back().end = bytes.size();
        sections.back().next = bytes.size();
    }
    return true;
}

bool IniLayout::Read(std::string_view bytes) {
    Clear();
    if (Scan(bytes) && IndexNames()) return true;
    Clear();
    return false;
}

bool IniLayout::IndexNames() {
    if (sections.size() >= UINT32_MAX / 4) return false;
    size_t size = 8;
    while (size < sections.size() * 2) size *= 2;
    slots.assign(size, 0);
    const std::hash<std::string_view> hash;
    for (size_t i = 0; i < sections.size(); ++i) {
        size_t at = hash(sections[i].name) & (size - 1);
        while (slots[at] != 0) {
            if (sections[slots[at] - 1].name == sections[i].name) return false;
            at = (at + 1) & (size - 1);
        }
        slots[at] = static_cast<uint32_t>(i + 1);
    }
    return true;
}

int32_t IniLayout::Find(std::string_view name) const {
    if (slots.empty()) return -1;
    const size_t mask = slots.size() - 1;
    for (size_t at = std::hash<std::string_view>()(name) & mask; slots[at] != 0;
         at = (at + 1) & mask) {
        const Section& section = sections[slots[at] - 1];
        if (section.name == name) return static_cast<int32_t>(slots[at] - 1);
    }
    return -1;
}
