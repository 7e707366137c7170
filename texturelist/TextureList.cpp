// Texture list files, as the host writes them:
//
//     Basis{
//         Textur{ id(3) name(Alter Baum) }
//     }
//
// The file is a sequence of whitespace-separated words; each of "{", "}",
// "(" and ")" is a token of its own and every other run of bytes within a
// word is one token. Tokens are gathered at brace depth one and deeper; a
// texture block is complete when a "}" brings the depth back to one, and
// everything gathered since the previous block (text between blocks
// included) becomes its entry text. Whitespace is never kept, a TAB is put
// after every ")" (at any depth) and after every inner "{". The first
// "id(" of the text gives the id, wherever it stands.
#include "texturelist/TextureList.h"

#include "textfile/SafeReplace.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

bool IsWhitespace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDelimiter(unsigned char c) {
    return c == '{' || c == '}' || c == '(' || c == ')';
}

// Reads the whole file in binary mode: a 0x1A byte must not end the list
// early on Windows, or the entries behind it would be lost on the next save.
bool ReadWholeFile(const char* path, std::string& content) {
    std::FILE* in = std::fopen(path, "rb");
    if (in == nullptr) {
        return false;
    }
    content.clear();
    char block[64 * 1024];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, in)) > 0) {
        content.append(block, got);
    }
    bool ok = std::ferror(in) == 0;
    std::fclose(in);
    return ok;
}

// The tokens of the list file, in order; one scanner per reading.
class Tokenizer {
public:
    explicit Tokenizer(const std::string& text)
        : next_(text.data()), end_(text.data() + text.size()) {}

    // False at the end of the input; otherwise [begin, begin + length) is
    // the next token, which is never empty.
    bool NextToken(const char*& begin, std::size_t& length) {
        while (next_ < end_ && IsWhitespace(static_cast<unsigned char>(*next_))) {
            ++next_;
        }
        if (next_ == end_) {
            return false;
        }
        begin = next_;
        if (IsDelimiter(static_cast<unsigned char>(*next_))) {
            ++next_;
        } else {
            while (next_ < end_ && !IsWhitespace(static_cast<unsigned char>(*next_)) &&
                   !IsDelimiter(static_cast<unsigned char>(*next_))) {
                ++next_;
            }
        }
        length = static_cast<std::size_t>(next_ - begin);
        return true;
    }

private:
    const char* next_;
    const char* end_;
};

// True when `field` (such as "id(") occurs in `text` and a ")" stands at or
// after its first occurrence; `after` is then the position behind it.
bool HasField(const std::string& text, const char* field, std::size_t& after) {
    std::size_t at = text.find(field);
    if (at == std::string::npos || text.find(')', at) == std::string::npos) {
        return false;
    }
    after = at + std::strlen(field);
    return true;
}

// Writes the list through a buffer, remembering whether any write failed.
class ListWriter {
public:
    explicit ListWriter(std::FILE* out) : out_(out) { buffer_.reserve(kFlushAt + 4096); }

    void Put(const char* text, std::size_t length) {
        // Every line feed becomes CR LF, on every system.
        const char* end = text + length;
        while (text < end) {
            const char* lf = static_cast<const char*>(std::memchr(text, '\n', end - text));
            const char* stop = lf != nullptr ? lf : end;
            buffer_.append(text, stop);
            if (lf == nullptr) {
                break;
            }
            buffer_.append("\r\n", 2);
            text = lf + 1;
        }
        if (buffer_.size() >= kFlushAt) {
            Flush();
        }
    }
    void Put(const char* text) { Put(text, std::strlen(text)); }

    bool Flush() {
        if (!buffer_.empty()) {
            ok_ = ok_ && std::fwrite(buffer_.data(), 1, buffer_.size(), out_) == buffer_.size();
            buffer_.clear();
        }
        return ok_;
    }

private:
    static const std::size_t kFlushAt = 64 * 1024;
    std::FILE* out_;
    std::string buffer_;
    bool ok_ = true;
};

}  // namespace

namespace texturelist {

std::uint32_t ParseId(const char* text, const char* end) {
    while (text < end && IsWhitespace(static_cast<unsigned char>(*text))) {
        ++text;
    }
    bool negative = false;
    if (text < end && (*text == '+' || *text == '-')) {
        negative = *text == '-';
        ++text;
    }
    std::uint32_t value = 0;  // unsigned: wraps around modulo 2^32 by definition
    while (text < end && *text >= '0' && *text <= '9') {
        value = value * 10u + static_cast<std::uint32_t>(*text - '0');
        ++text;
    }
    return negative ? 0u - value : value;
}

}  // namespace texturelist

bool TextureList::Load(const char* path) {
    loaded_ = false;
    entries_.clear();
    path_ = path != nullptr ? path : "";
    if (path == nullptr || !Parse()) {
        entries_.clear();
        return false;
    }
    loaded_ = true;
    return true;
}

bool TextureList::Parse() {
    std::string content;
    if (!ReadWholeFile(path_.c_str(), content)) {
        return false;
    }
    Tokenizer tokens(content);
    std::int64_t depth = 0;
    std::string text;
    const char* token;
    std::size_t length;
    while (tokens.NextToken(token, length)) {
        if (depth != 0) {
            text.append(token, length);
        }
        switch (token[0]) {
        case ')':
            text.push_back('\t');
            break;
        case '{':
            if (depth == 0) {
                depth = 1;
            } else {
                ++depth;
                text.push_back('\t');
            }
            break;
        case '}':
            if (depth == 0) {
                break;  // a stray "}" outside every block closes nothing
            }
            --depth;
            if (depth == 0) {
                // The end of a top-level block: what stood after its last
                // texture block is not an entry.
                text.clear();
            } else if (depth == 1) {
                std::size_t afterId;
                std::size_t afterName;
                if (!HasField(text, "name(", afterName) || !HasField(text, "id(", afterId)) {
                    return false;
                }
                std::uint32_t id = texturelist::ParseId(text.data() + afterId,
                                                        text.data() + text.size());
                // The first block with an id wins; later ones are dropped.
                entries_.emplace(id, std::move(text));
                text.clear();
            }
            break;
        default:
            break;
        }
    }
    return true;
}

bool TextureList::AddEntry(const std::string& text) {
    std::size_t start = text.find("Textur");
    if (start == std::string::npos) {
        return false;
    }
    std::size_t last = text.rfind('}');
    if (last == std::string::npos || last < start) {
        return false;
    }
    std::string entry = text.substr(start, last - start + 1);
    std::size_t at = entry.find("id(");
    if (at == std::string::npos) {
        return false;
    }
    std::uint32_t id = texturelist::ParseId(entry.data() + at + 3, entry.data() + entry.size());
    if (id == 0) {
        return false;
    }
    entries_[id] = std::move(entry);
    return true;
}

bool TextureList::Save(const char* path) const {
    if (!loaded_ || path == nullptr || !safereplace::TargetWritable(path)) {
        return false;
    }
    std::string temporary = safereplace::TemporaryPathFor(path);
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    ListWriter writer(out);
    writer.Put("Basis{\n");
    for (const auto& entry : entries_) {
        writer.Put("\t");
        writer.Put(entry.second.data(), entry.second.size());
        writer.Put("\n");
    }
    writer.Put("}\n");
    bool written = writer.Flush() && safereplace::FlushToDisk(out);
    written = std::fclose(out) == 0 && written;
    if (!written) {
        std::remove(temporary.c_str());
        return false;
    }
    return safereplace::ReplaceWith(temporary.c_str(), path);
}
