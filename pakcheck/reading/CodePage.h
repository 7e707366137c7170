// The 8-bit code pages in which the installer's users read package texts:
// Windows-1252 (German, English, French systems) and Windows-1250 (Polish).
// The installer converts nothing: a file's bytes are shown in whatever code
// page the user's system has.
//
//   ToUtf8       the text as a user of that code page sees it, in UTF-8; a
//                byte the code page does not define becomes U+FFFD
//   Inspect      the first byte that the code page does not define, and the
//                first UTF-8 sequence of two or more bytes (text written in
//                UTF-8, whose umlauts show as two wrong characters)
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pakcheck {

namespace codepage {

enum class CodePage { Windows1252, Windows1250 };

// "Windows-1252" or "Windows-1250".
const char* Name(CodePage page);

std::string ToUtf8(std::string_view bytes, CodePage page);

struct Inspection {
    static constexpr std::size_t kNone = std::string_view::npos;
    std::size_t undefinedByte = kNone;  // offset of a byte the page leaves undefined
    std::size_t utf8Sequence = kNone;   // offset of the first multi-byte UTF-8 sequence
    std::size_t utf8Length = 0;         // its length in bytes
    bool Clean() const { return undefinedByte == kNone && utf8Sequence == kNone; }
};

Inspection Inspect(std::string_view bytes, CodePage page);

// A sentence about what Inspect found, for a finding, e.g. "holds UTF-8
// (\"Ã¼\" for \"ü\")"; empty when the text is clean.
std::string Describe(std::string_view bytes, CodePage page);

// `bytes` as Windows-1252 text in double quotes, for messages; a text
// longer than `limit` characters is shortened with "...".
std::string Quote(std::string_view bytes, std::size_t limit = 72);

// `text` when it is valid UTF-8, else its bytes read as Windows-1252; for
// printing names that come straight from the package's files.
std::string AsUtf8(std::string_view text);

}  // namespace codepage

}  // namespace pakcheck
