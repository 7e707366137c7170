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
enum CharClass : unsigned char { kText, kWhitespace, kBrace };

struct CharClasses {
    CharClass of[256];
    constexpr CharClasses() : of() {
        for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) of[c] = kWhitespace;
        for (unsigned char c : {'{', '}'}) of[c] = kBrace;
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
    inMemory_ = false;
    bytes_.clear();
    path_ = path != nullptr ? path : "";
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
    path_.clear();
    bytes_ = std::move(bytes);
    inMemory_ = true;
    return true;
}

void InstallScript::Close() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    memoryOpen_ = false;
    memoryAt_ = 0;
    position_ = 0;
    filled_ = 0;
    inSection_ = false;
    bodyOpen_ = false;
    groupEntered_ = false;
    ending_ = Ending::Reading;
    line_ = 1;
    lastOfBlock_ = 0;
    blockStart_ = 0;
    sectionLine_ = 0;
    nameLine_ = 0;
    itemLine_ = 0;
    itemBegin_ = 0;
    itemEnd_ = 0;
}

bool InstallScript::Refill() {
    if (stream_ == nullptr && !memoryOpen_) {
        return false;
    }
    // A script in memory never needs more room than it has bytes: the blocks
    // stay the same (the whole script, or 64 KiB at a time), and a short
    // script costs no large buffer.
    const std::size_t room =
        memoryOpen_ ? std::min(kBufferSize, std::max<std::size_t>(bytes_.size(), 1)) : kBufferSize;
    if (filled_ > 0) {
        lastOfBlock_ = buffer_[filled_ - 1];
    }
    if (bufferSize_ < room) {
        buffer_.reset(new char[room]);
        bufferSize_ = room;
    }
    blockStart_ += filled_;
    if (memoryOpen_) {
        filled_ = std::min(bufferSize_, bytes_.size() - memoryAt_);
        std::copy_n(bytes_.data() + memoryAt_, filled_, buffer_.get());
        memoryAt_ += filled_;
    } else {
        // A read error ends the script like the end of the file does.
        filled_ = std::fread(buffer_.get(), 1, bufferSize_, stream_);
    }
    position_ = 0;
    return filled_ > 0;
}

// Only whitespace is ever passed here, so counting lines costs nothing on
// the runs of text that make up most of a script.
void InstallScript::CountBreak(char c) {
    if (c == '\r') {
        ++line_;
    } else if (c == '\n') {
        const char before = position_ > 0 ? buffer_[position_ - 1] : lastOfBlock_;
        if (before != '\r') {
            ++line_;
        }
    }
}

int InstallScript::Peek() {
    for (;;) {
        while (position_ < filled_) {
            const char c = buffer_[position_];
            if (ClassOf(c) != kWhitespace) {
                return static_cast<unsigned char>(c);
            }
            CountBreak(c);
            ++position_;
        }
        if (!Refill()) {
            return kEnd;
        }
    }
}

int InstallScript::Get() {
    int c = Peek();
    if (c != kEnd) {
        ++position_;
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
    nameLine_ = c != kEnd && !IsBrace(c) ? line_ : 0;
    for (; c != kEnd && !IsBrace(c); c = Peek()) {
        ++position_;
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
        nameLine_ = 0;
        return length == 0;
    }
    if (IsBrace(c)) {
        SkipGroup();
    }
    return ReadName(name, length, nullptr);
}

bool InstallScript::Restart() {
    Close();
    if (inMemory_) {
        memoryOpen_ = true;
        return true;
    }
    if (path_.empty()) {
        return false;
    }
    stream_ = std::fopen(path_.c_str(), "rb");
    return stream_ != nullptr;
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
    sectionLine_ = nameLine_;
    Get();  // the opening brace of the section body
    inSection_ = true;
    bodyOpen_ = true;
    groupEntered_ = true;
    return true;
}

bool InstallScript::NextName(std::string& name, int32_t& line) {
    name.clear();
    line = 0;
    inSection_ = false;
    if (groupEntered_) {
        // The group after the last name was opened; its rest is what the
        // search would have skipped.
        if (bodyOpen_) {
            SkipGroup(1);
        }
        bodyOpen_ = false;
        groupEntered_ = false;
    } else if (IsBrace(Peek())) {
        SkipGroup();
    } else if (Peek() == kEnd) {
        return false;
    }
    if (Peek() == kEnd) {
        return false;  // the file ends after a group: no name follows it
    }
    ReadName("", 0, &name);
    line = nameLine_;
    return true;
}

bool InstallScript::EnterGroup() {
    if (Peek() != '{') {
        return false;
    }
    ++position_;
    bodyOpen_ = true;
    groupEntered_ = true;
    return true;
}

bool InstallScript::ReadEntry(std::string& text) {
    itemLine_ = line_;
    itemBegin_ = Offset();
    ++position_;
    std::int64_t level = 1;
    for (;;) {
        if (position_ == filled_ && !Refill()) {
            itemEnd_ = Offset();
            return false;
        }
        // Copy whole runs of plain text from the buffer at once.
        const char* start = buffer_.get() + position_;
        const char* end = buffer_.get() + filled_;
        const char* stop = start;
        while (stop < end && ClassOf(*stop) == kText) {
            ++stop;
        }
        if (stop > start) {
            text.append(start, stop);
        }
        position_ = static_cast<std::size_t>(stop - buffer_.get());
        if (stop == end) {
            continue;
        }
        char c = *stop;
        if (c == '{') {
            ++level;
        } else if (c == '}') {
            if (--level == 0) {
                ++position_;
                itemEnd_ = Offset();
                return true;
            }
        } else {
            CountBreak(c);
            ++position_;
            continue;  // whitespace
        }
        ++position_;
        text.push_back(c);  // an inner brace
    }
}

bool InstallScript::NextEntry(std::string& text) {
    text.clear();
    if (!inSection_) {
        return false;
    }
    // The body's "}", stray text or the end of the file: the section ends here.
    inSection_ = false;
    const int c = Peek();
    if (c == '{') {
        if (ReadEntry(text)) {
            inSection_ = true;
            return true;
        }
        text.clear();
        ending_ = Ending::CutOff;
        bodyOpen_ = false;
    } else {
        ending_ = c == '}' ? Ending::Brace : c == kEnd ? Ending::FileEnd : Ending::Text;
        itemLine_ = line_;
        itemBegin_ = Offset();
        itemEnd_ = itemBegin_;
        if (c == '}') {
            ++position_;
            itemEnd_ = Offset();
        }
        bodyOpen_ = c != kEnd && c != '}';
    }
    return false;
}

bool InstallScript::NextItem(std::string& text, Item& kind) {
    text.clear();
    if (!bodyOpen_) {
        return false;
    }
    const int c = Peek();
    if (c == kEnd || c == '}') {
        if (c == '}') {
            ++position_;
        }
        bodyOpen_ = false;
        inSection_ = false;
        return false;
    }
    if (c == '{') {
        if (ReadEntry(text)) {
            kind = Item::Entry;
        } else {
            kind = Item::CutOff;
            bodyOpen_ = false;
            inSection_ = false;
        }
        return true;
    }
    kind = Item::Text;
    inSection_ = false;  // NextEntry ends at text outside braces
    itemBegin_ = Offset();
    ReadName("", 0, &text);
    itemLine_ = nameLine_;
    itemEnd_ = Offset();
    return true;
}
