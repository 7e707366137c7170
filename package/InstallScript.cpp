#include "package/InstallScript.h"

#include <cstdint>
#include <cstring>

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

void InstallScript::Close() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    position_ = 0;
    filled_ = 0;
    inSection_ = false;
}

bool InstallScript::Refill() {
    if (stream_ == nullptr) {
        return false;
    }
    if (buffer_.size() != kBufferSize) {
        buffer_.resize(kBufferSize);
    }
    // A read error ends the script like the end of the file does.
    filled_ = std::fread(buffer_.data(), 1, buffer_.size(), stream_);
    position_ = 0;
    return filled_ > 0;
}

int InstallScript::Peek() {
    for (;;) {
        while (position_ < filled_) {
            if (ClassOf(buffer_[position_]) != kWhitespace) {
                return static_cast<unsigned char>(buffer_[position_]);
            }
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

// Skips one brace group from the brace that stands next: "{" raises the level,
// "}" lowers it, until it is back at zero or below. A lone "}" is a group.
void InstallScript::SkipGroup() {
    std::int64_t level = 0;
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

// Reads the next top-level name token and compares it on the fly, so that a
// long run of text outside braces costs no memory.
bool InstallScript::NameTokenEquals(const char* name, std::size_t length) {
    int c = Peek();
    if (c == kEnd) {
        return length == 0;
    }
    if (IsBrace(c)) {
        SkipGroup();
    }
    std::size_t matched = 0;
    bool same = true;
    for (c = Peek(); c != kEnd && !IsBrace(c); c = Peek()) {
        ++position_;
        if (same && matched < length && static_cast<unsigned char>(name[matched]) == c) {
            ++matched;
        } else {
            same = false;
        }
    }
    return same && matched == length;
}

bool InstallScript::FindSection(const char* name) {
    Close();
    if (name == nullptr || path_.empty()) {
        return false;
    }
    stream_ = std::fopen(path_.c_str(), "rb");
    if (stream_ == nullptr) {
        return false;
    }
    std::size_t length = std::strlen(name);
    while (!NameTokenEquals(name, length)) {
        if (Peek() == kEnd) {
            return false;
        }
    }
    Get();  // the opening brace of the section body
    inSection_ = true;
    return true;
}

bool InstallScript::NextEntry(std::string& text) {
    text.clear();
    if (!inSection_) {
        return false;
    }
    if (Get() != '{') {
        inSection_ = false;  // the body's "}" or stray text: the section ends here
        return false;
    }
    std::int64_t level = 1;
    for (;;) {
        if (position_ == filled_ && !Refill()) {
            text.clear();  // cut off by the end of the file
            inSection_ = false;
            return false;
        }
        // Copy whole runs of plain text from the buffer at once.
        const char* start = buffer_.data() + position_;
        const char* end = buffer_.data() + filled_;
        const char* stop = start;
        while (stop < end && ClassOf(*stop) == kText) {
            ++stop;
        }
        if (stop > start) {
            text.append(start, stop);
        }
        position_ = static_cast<std::size_t>(stop - buffer_.data());
        if (stop == end) {
            continue;
        }
        ++position_;
        char c = *stop;
        if (c == '{') {
            ++level;
        } else if (c == '}') {
            if (--level == 0) {
                return true;
            }
        } else {
            continue;  // whitespace
        }
        text.push_back(c);  // an inner brace
    }
}
