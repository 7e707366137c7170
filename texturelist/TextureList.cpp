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
#include "texturelist/ListScanner.h"
#include "texturelist/ListWriter.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

namespace {

const std::size_t kPieceSize = 64 * 1024;

// True when `field` (such as "id(") occurs in `text` and a ")" stands at or
// after its first occurrence; `after` is then the position behind it.
template <std::size_t N>
bool HasField(std::string_view text, const char (&field)[N], std::size_t& after) {
    std::size_t at = text.find(field, 0, N - 1);
    if (at == std::string_view::npos || text.find(')', at) == std::string_view::npos) {
        return false;
    }
    after = at + N - 1;
    return true;
}

}  // namespace

namespace texturelist {

std::uint32_t ParseId(const char* text, const char* end) {
    while (text < end && listscanner::IsWhitespace(*text)) {
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
    loaded = false;
    entries.Clear();
    this->path = path != nullptr ? path : "";
    if (path == nullptr || !Parse()) {
        entries.Clear();
        return false;
    }
    loaded = true;
    return true;
}

bool TextureList::LoadBytes(std::string_view bytes) {
    loaded = false;
    entries.Clear();
    path.clear();
    entries.ReserveTexts(bytes.size());
    ListScanner scanner;
    const bool read =
        scanner.Scan(bytes.data(), bytes.size(), [this](const char* text, std::size_t length) {
            return CompleteEntry(text, length);
        });
    entries.FinishAppending();
    if (!read) {
        entries.Clear();
        return false;
    }
    loaded = true;
    return true;
}

bool TextureList::Parse() {
    // Binary mode: a 0x1A byte must not end the list early on Windows, or
    // the entries behind it would be lost on the next save.
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        return false;
    }
    // Entry texts are the file without its whitespace, plus a TAB behind
    // every ")", which mostly takes the place of a blank: about as long as
    // the file.
    if (std::fseek(in, 0, SEEK_END) == 0) {
        const long size = std::ftell(in);
        if (size > 0) {
            entries.ReserveTexts(static_cast<std::size_t>(size));
        }
        std::rewind(in);
    }
    // Read in pieces that stay in the cache while they are scanned; the
    // piece is not zeroed, so a short list touches only what it fills.
    std::unique_ptr<char[]> piece(new char[kPieceSize]);
    ListScanner scanner;
    auto complete = [this](const char* text, std::size_t length) {
        return CompleteEntry(text, length);
    };
    bool read = true;
    std::size_t got;
    while ((got = std::fread(piece.get(), 1, kPieceSize, in)) > 0) {
        if (!scanner.Scan(piece.get(), got, complete)) {
            read = false;
            break;
        }
    }
    read = read && std::ferror(in) == 0;
    std::fclose(in);
    entries.FinishAppending();
    return read;
}

// A texture block has just closed: `text` holds it and whatever stood
// before it since the previous one. False when it lacks a name or an id.
bool TextureList::CompleteEntry(const char* text, std::size_t length) {
    const std::string_view entry(text, length);
    std::size_t afterId;
    std::size_t afterName;
    if (!HasField(entry, "name(", afterName) || !HasField(entry, "id(", afterId)) {
        return false;
    }
    std::uint32_t id = texturelist::ParseId(text + afterId, text + length);
    // The first block with an id wins; Parse() drops the later ones once
    // the whole file is read.
    entries.Append(id, text, length);
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
    const std::string_view entry = std::string_view(text).substr(start, last - start + 1);
    std::size_t at = entry.find("id(");
    if (at == std::string_view::npos) {
        return false;
    }
    std::uint32_t id = texturelist::ParseId(entry.data() + at + 3, entry.data() + entry.size());
    if (id == 0) {
        return false;
    }
    entries.Put(id, entry);
    return true;
}

bool TextureList::Save(const char* path) const {
    if (!loaded || path == nullptr || !safereplace::TargetWritable(path)) {
        return false;
    }
    std::string temporary = safereplace::TemporaryPathFor(path);
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    ListWriter writer(out);
    Write(&writer);
    bool written = writer.Flush() && safereplace::FlushToDisk(out);
    written = safereplace::Close(out) && written;
    if (!written) {
        std::remove(temporary.c_str());
        return false;
    }
    return safereplace::ReplaceWith(temporary.c_str(), path);
}

bool TextureList::SaveBytes(std::string* bytes) const {
    bytes->clear();
    if (!loaded) {
        return false;
    }
    ListWriter writer(bytes);
    Write(&writer);
    return writer.Flush();
}

void TextureList::Write(ListWriter* writer) const {
    writer->Put("Basis{\n");
    for (const auto entry : entries) {
        writer->Put("\t");
        writer->Put(entry.second.data(), entry.second.size());
        writer->Put("\n");
    }
    writer->Put("}\n");
}
