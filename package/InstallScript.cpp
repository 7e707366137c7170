#include "package/InstallScript.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Large sections are read in big blocks rather than byte by byte.
const std::size_t kBufferSize = 64 * 1024;

// What each byte is to the reader; a table, because every byte of a large
// section passes through here.
enum CharClass : unsigned char { Text, Whitespace, Brace };

struct CharClasses {
    CharClass of[256];
    constexpr CharClasses() : of() {
        for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) of[c] = Whitespace;
        for (unsigned char c : {'{', '}'}) of[c] = Brace;
    }
};

constexpr CharClasses kClasses;

CharClass ClassOf(char c) {
    return kClasses.of[static_cast<unsigned char>(c)];
}

bool IsBrace(int c) {
    return c == '{' || c == '}';
}

}  // namespace

InstallScript::InstallScript() = default;

InstallScript::~InstallScript() {
    Close();
}

bool InstallScript::Open(const char* path) {
    Close();
    inMemory = false;
    bytes.clear();
    this->path = path != nullptr ? path : "";
    if (path == nullptr) {
        return false;
    }
    std::FILE* probe = std::fopen(path, "rb");
    if (probe == nullptr) {
        return false;
    }
    std::fclose(probe);
    return true;
}

bool InstallScript::OpenBytes(std::string bytes) {
    Close();
    path.clear();
    this->bytes = std::move(bytes);
    inMemory = true;
    return true;
}

void InstallScript::Close() {
    if (stream != nullptr) {
        std::fclose(stream);
        stream = nullptr;
    }
    memoryOpen = false;
    memoryAt = 0;
    position = 0;
    filled = 0;
    inSection = false;
    bodyOpen = false;
    groupEntered = false;
    ending = Ending::Reading;
    line = 1;
    lastOfBlock = 0;
    blockStart = 0;
    sectionLine = 0;
    nameLine = 0;
    itemLine = 0;
    itemBegin = 0;
    itemEnd = 0;
}

bool InstallScript::Refill() {
    if (stream == nullptr && !memoryOpen) {
        return false;
    }
    // A script in memory never needs more room than it has bytes: the blocks
    // stay the same (the whole script, or 64 KiB at a time), and a short
    // script costs no large buffer.
    const std::size_t room =
        memoryOpen ? std::min(kBufferSize, std::max<std::size_t>(bytes.size(), 1)) : kBufferSize;
    if (filled > 0) {
        lastOfBlock = buffer[filled - 1];
    }
    if (bufferSize < room) {
        buffer.reset(new char[room]);
        bufferSize = room;
    }
    blockStart += filled;
    if (memoryOpen) {
        filled = std::min(bufferSize, bytes.size() - memoryAt);
        std::copy_n(bytes.data() + memoryAt, filled, buffer.get());
        memoryAt += filled;
    } else {
        // A read error ends the script like the end of the file does.
        filled = std::fread(buffer.get(), 1, bufferSize, stream);
    }
    position = 0;
    return filled > 0;
}

// Only whitespace is ever passed here, so counting lines costs nothing on
// the runs of text that make up most of a script.
void InstallScript::CountBreak(char c) {
    if (c == '\r') {
        ++line;
    } else if (c == '\n') {
        const char before = position > 0 ? buffer[position - 1] : lastOfBlock;
        if (before != '\r') {
            ++line;
        }
    }
}

int InstallScript::Peek() {
    for (;;) {
        while (position < filled) {
            const char c = buffer[position];
            if (ClassOf(c) != Whitespace) {
                return static_cast<unsigned char>(c);
            }
            CountBreak(c);
            ++position;
        }
        if (!Refill()) {
            return kEnd;
        }
    }
}

int InstallScript::Get() {
    int c = Peek();
    if (c != kEnd) {
        ++position;
    }
    return c;
}

// "{" raises the level, "}" lowers it, until it is back at zero or below. A
// lone "}" is a group.
void InstallScript::SkipGroup(std::int64_t level) {
    do {
        int c = Get();
        if (c == kEnd) {
            return;
        }
        if (c == '{') {
            ++level;
        } else if (c == '}') {
            --level;
        }
    } while (level > 0);
}

// Compares on the fly, so that a long run of text outside braces costs no
// memory unless the caller asks for the text.
bool InstallScript::ReadName(const char* name, std::size_t length, std::string* text) {
    std::size_t matched = 0;
    bool same = true;
    int c = Peek();
    nameLine = c != kEnd && !IsBrace(c) ? line : 0;
    for (; c != kEnd && !IsBrace(c); c = Peek()) {
        ++position;
        if (text != nullptr) {
            text->push_back(static_cast<char>(c));
        }
        if (same && matched < length && static_cast<unsigned char>(name[matched]) == c) {
            ++matched;
        } else {
            same = false;
        }
    }
    return same && matched == length;
}

// Reads the next top-level name token, passing over a brace group before it.
bool InstallScript::NameTokenEquals(const char* name, std::size_t length) {
    int c = Peek();
    if (c == kEnd) {
        nameLine = 0;
        return length == 0;
    }
    if (IsBrace(c)) {
        SkipGroup();
    }
    return ReadName(name, length, nullptr);
}

bool InstallScript::Restart() {
    Close();
    if (inMemory) {
        memoryOpen = true;
        return true;
    }
    if (path.empty()) {
        return false;
    }
    stream = std::fopen(path.c_str(), "rb");
    return stream != nullptr;
}

bool InstallScript::FindSection(const char* name) {
    if (name == nullptr) {
        Close();
        return false;
    }
    if (!Restart()) {
        return false;
    }
    std::size_t length = std::strlen(name);
    while (!NameTokenEquals(name, length)) {
        if (Peek() == kEnd) {
            return false;
        }
    }
    sectionLine = nameLine;
    Get();  // the opening brace of the section body
    inSection = true;
    bodyOpen = true;
    groupEntered = true;
    return true;
}

bool InstallScript::NextName(std::string& name, int32_t& line) {
    name.clear();
    line = 0;
    inSection = false;
    if (groupEntered) {
        // The group after the last name was opened; its rest is what the
        // search would have skipped.
        if (bodyOpen) {
            SkipGroup(1);
        }
        bodyOpen = false;
        groupEntered = false;
    } else if (IsBrace(Peek())) {
        SkipGroup();
    } else if (Peek() == kEnd) {
        return false;
    }
    if (Peek() == kEnd) {
        return false;  // the file ends after a group: no name follows it
    }
    ReadName("", 0, &name);
    line = nameLine;
    return true;
}

bool InstallScript::EnterGroup() {
    if (Peek() != '{') {
        return false;
    }
    ++position;
    bodyOpen = true;
    groupEntered = true;
    return true;
}

bool InstallScript::ReadEntry(std::string& text) {
    itemLine = line;
    itemBegin = Offset();
    ++position;
    std::int64_t level = 1;
    for (;;) {
        if (position == filled && !Refill()) {
            itemEnd = Offset();
            return false;
        }
        // Copy whole runs of plain text from the buffer at once.
        const char* start = buffer.get() + position;
        const char* end = buffer.get() + filled;
        const char* stop = start;
        while (stop < end && ClassOf(*stop) == Text) {
            ++stop;
        }
        if (stop > start) {
            text.append(start, stop);
        }
        position = static_cast<std::size_t>(stop - buffer.get());
        if (stop == end) {
            continue;
        }
        char c = *stop;
        if (c == '{') {
            ++level;
        } else if (c == '}') {
            if (--level == 0) {
                ++position;
                itemEnd = Offset();
                return true;
            }
        } else {
            CountBreak(c);
            ++position;
            continue;  // whitespace
        }
        ++position;
        text.push_back(c);  // an inner brace
    }
}

bool InstallScript::NextEntry(std::string& text) {
    text.clear();
    if (!inSection) {
        return false;
    }
    // The body's "}", stray text or the end of the file: the section ends here.
    inSection = false;
    const int c = Peek();
    if (c == '{') {
        if (ReadEntry(text)) {
            inSection = true;
            return true;
        }
        text.clear();
        ending = Ending::CutOff;
        bodyOpen = false;
    } else {
        ending = c == '}' ? Ending::Brace : c == kEnd ? Ending::FileEnd : Ending::Text;
        itemLine = line;
        itemBegin = Offset();
        itemEnd = itemBegin;
        if (c == '}') {
            ++position;
            itemEnd = Offset();
        }
        bodyOpen = c != kEnd && c != '}';
    }
    return false;
}

bool InstallScript::NextItem(std::string& text, Item& kind) {
    text.clear();
    if (!bodyOpen) {
        return false;
    }
    const int c = Peek();
    if (c == kEnd || c == '}') {
        if (c == '}') {
            ++position;
        }
        bodyOpen = false;
        inSection = false;
        return false;
    }
    if (c == '{') {
        if (ReadEntry(text)) {
            kind = Item::Entry;
        } else {
            kind = Item::CutOff;
            bodyOpen = false;
            inSection = false;
        }
        return true;
    }
    kind = Item::Text;
    inSection = false;  // NextEntry ends at text outside braces
    itemBegin = Offset();
    ReadName("", 0, &text);
    itemLine = nameLine;
    itemEnd = Offset();
    return true;
}
