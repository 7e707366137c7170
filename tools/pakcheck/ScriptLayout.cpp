#include "ScriptLayout.h"

namespace {

bool IsWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsBrace(char c) { return c == '{' || c == '}'; }

// The script's bytes with the line each one stands on.
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

    // The next byte that is not whitespace, left unread; false at the end.
    bool Peek(char* c) {
        while (at_ < bytes_.size() && IsWhitespace(bytes_[at_])) Advance();
        if (at_ == bytes_.size()) return false;
        *c = bytes_[at_];
        return true;
    }

    void Skip() { Advance(); }
    int32_t line() const { return line_; }
    std::size_t offset() const { return at_; }

private:
    // CR LF, LF and a lone CR each end a line.
    void Advance() {
        const char c = bytes_[at_++];
        if (c == '\n' || (c == '\r' && (at_ == bytes_.size() || bytes_[at_] != '\n'))) ++line_;
    }

    std::string_view bytes_;
    std::size_t at_ = 0;
    int32_t line_ = 1;
};

// Reads the text up to the next brace (not read), without whitespace.
std::string ReadText(Cursor* cursor) {
    std::string text;
    char c;
    while (cursor->Peek(&c) && !IsBrace(c)) {
        text.push_back(c);
        cursor->Skip();
    }
    return text;
}

// Reads the rest of an entry after its opening brace, inner braces kept.
ScriptItem ReadEntry(Cursor* cursor) {
    ScriptItem item;
    item.line = cursor->line();
    item.begin = cursor->offset();
    cursor->Skip();
    int64_t level = 1;
    char c;
    while (cursor->Peek(&c)) {
        cursor->Skip();
        if (c == '{') {
            ++level;
        } else if (c == '}' && --level == 0) {
            item.end = cursor->offset();
            return item;
        }
        item.text.push_back(c);
    }
    item.closed = false;
    item.end = cursor->offset();
    return item;
}

// Reads a group's contents after its opening brace, up to its closing one.
void ReadGroup(Cursor* cursor, ScriptPart* part) {
    char c;
    while (cursor->Peek(&c)) {
        if (c == '}') {
            cursor->Skip();
            return;
        }
        if (c == '{') {
            part->items.push_back(ReadEntry(cursor));
            if (!part->items.back().closed) break;
            continue;
        }
        ScriptItem stray;
        stray.entry = false;
        stray.line = cursor->line();
        stray.begin = cursor->offset();
        stray.text = ReadText(cursor);
        stray.end = cursor->offset();
        part->items.push_back(stray);
    }
    part->closed = false;
}

}  // namespace

ScriptLayout ScriptLayout::Read(std::string_view bytes) {
    ScriptLayout layout;
    Cursor cursor(bytes);
    char c;
    while (cursor.Peek(&c)) {
        ScriptPart part;
        if (!IsBrace(c)) {
            part.nameLine = cursor.line();
            part.name = ReadText(&cursor);
            if (!cursor.Peek(&c)) {
                layout.parts.push_back(part);
                break;
            }
        }
        part.hasGroup = true;
        part.groupLine = cursor.line();
        cursor.Skip();
        if (c == '}') {
            part.loneClose = true;
        } else {
            ReadGroup(&cursor, &part);
        }
        layout.parts.push_back(part);
    }
    return layout;
}

const ScriptPart* ScriptLayout::Section(const std::string& name) const {
    for (const ScriptPart& part : parts) {
        if (part.name == name) return &part;
    }
    return nullptr;
}
