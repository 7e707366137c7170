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
// "id(" of the text gives the id, wherever it stands. A "}" that closes no
// block is ignored, and what follows the last texture block of a top-level
// block is dropped when that block closes.
#include "texturelist/TextureList.h"

#include "textfile/SafeReplace.h"
#include "texturelist/ListTokenizer.h"
#include "texturelist/ListWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// True when `field` (such as "id(") occurs in `text` and a ")" stands at or
// after its first occurrence; `after` is then the position behind it.
template <std::size_t N>
bool HasField(const std::string& text, const char (&field)[N], std::size_t& after) {
    std::size_t at = text.find(field, 0, N - 1);
    if (at == std::string::npos || text.find(')', at) == std::string::npos) {
        return false;
    }
    after = at + N - 1;
    return true;
}

}  // namespace

namespace texturelist {

std::uint32_t ParseId(const char* text, const char* end) {
    while (text < end && listtokenizer::IsWhitespace(*text)) {
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
    // Binary mode: a 0x1A byte must not end the list early on Windows, or
    // the entries behind it would be lost on the next save.
    std::FILE* in = std::fopen(path_.c_str(), "rb");
    if (in == nullptr) {
        return false;
    }
    ListTokenizer tokens(in);
    bool complete = ParseTokens(tokens) && !tokens.Failed();
    std::fclose(in);
    return complete;
}

bool TextureList::ParseTokens(ListTokenizer& tokens) {
    std::int64_t depth = 0;
    std::string text;  // reused: entries get exact-size copies of it
    text.reserve(256);
    const char* token;
    std::size_t length;
    while (tokens.NextToken(token, length)) {
        // Every token is kept at depth one and deeper; "(" and words do
        // nothing else, the others are handled case by case.
        switch (token[0]) {
        case ')':
            if (depth != 0) {
                text.push_back(')');
            }
            text.push_back('\t');  // also at depth 0, where the ")" is not kept
            break;
        case '{':
            if (depth == 0) {
                depth = 1;
            } else {
                ++depth;
                text.push_back('{');
                text.push_back('\t');
            }
            break;
        case '}':
            if (depth == 0) {
                break;  // a stray "}" outside every block closes nothing
            }
            text.push_back('}');
            --depth;
            if (depth == 0) {
                // The end of a top-level block: what stood after its last
                // texture block is not an entry.
                text.clear();
            } else if (depth == 1 && !CompleteEntry(text)) {
                return false;
            }
            break;
        default:
            if (depth != 0) {
                text.append(token, length);
            }
            break;
        }
    }
    return true;
}

// A texture block has just closed: `text` holds it and whatever stood
// before it since the previous one. False when it lacks a name or an id.
bool TextureList::CompleteEntry(std::string& text) {
    std::size_t afterId;
    std::size_t afterName;
    if (!HasField(text, "name(", afterName) || !HasField(text, "id(", afterId)) {
        return false;
    }
    std::uint32_t id = texturelist::ParseId(text.data() + afterId, text.data() + text.size());
    // The first block with an id wins; later ones are dropped. Saved lists
    // come in ascending order: those are appended without a search.
    if (entries_.empty() || entries_.rbegin()->first < id) {
        entries_.try_emplace(entries_.end(), id, text);
    } else {
        entries_.try_emplace(id, text);
    }
    text.clear();
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
