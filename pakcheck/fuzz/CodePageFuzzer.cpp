// The checker's code-page conversion on arbitrary bytes, judged by a small
// UTF-8 decoder of its own that knows nothing of the checker's rules but
// the standard's: a sequence is valid only in its shortest form, never a
// surrogate (U+D800 to U+DFFF) and never beyond U+10FFFF.
//
//   ToUtf8    valid UTF-8 with one character per byte; ASCII unchanged, and
//             U+FFFD exactly where the code page leaves a byte undefined
//   Inspect   the first undefined byte as ToUtf8 shows it, and the first
//             valid multi-byte sequence by the decoder
//   AsUtf8    the text itself when it is valid UTF-8, else its Windows-1252
//             reading
//   Describe  empty exactly for a clean text; Describe and Quote valid UTF-8
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "pakcheck/reading/CodePage.h"

namespace pakcheck {

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "code page fuzzer: %s\n", what);
        std::abort();
    }
}

// The code point of the sequence at `at` and its length; length 0 when no
// valid sequence starts there.
struct Decoded {
    std::uint32_t code = 0;
    std::size_t length = 0;
};

Decoded DecodeAt(std::string_view bytes, std::size_t at) {
    const unsigned char lead = static_cast<unsigned char>(bytes[at]);
    std::size_t length;
    std::uint32_t code;
    if (lead < 0x80) return {lead, 1};
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return {};
    }
    if (bytes.size() - at < length) return {};
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(bytes[at + i]);
        if ((next & 0xC0) != 0x80) return {};
        code = (code << 6) | (next & 0x3Fu);
    }
    static const std::uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kShortest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        return {};
    }
    return {code, length};
}

// The code points of `text`; false when it is not valid UTF-8.
bool Decode(std::string_view text, std::vector<std::uint32_t>* codes) {
    codes->clear();
    for (std::size_t at = 0; at < text.size();) {
        const Decoded one = DecodeAt(text, at);
        if (one.length == 0) return false;
        codes->push_back(one.code);
        at += one.length;
    }
    return true;
}

void CheckPage(std::string_view bytes, codepage::CodePage page) {
    std::vector<std::uint32_t> codes;
    const std::string converted = codepage::ToUtf8(bytes, page);
    Check(Decode(converted, &codes), "ToUtf8 gives invalid UTF-8");
    Check(codes.size() == bytes.size(), "ToUtf8 does not give one character per byte");
    std::size_t undefined = codepage::Inspection::kNone;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) Check(codes[i] == byte, "ToUtf8 changes an ASCII byte");
        if (undefined == codepage::Inspection::kNone && codes[i] == 0xFFFD) undefined = i;
    }

    std::size_t sequence = codepage::Inspection::kNone;
    std::size_t length = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const Decoded one = DecodeAt(bytes, i);
        if (one.length >= 2) {
            sequence = i;
            length = one.length;
            break;
        }
    }
    const codepage::Inspection found = codepage::Inspect(bytes, page);
    Check(found.undefinedByte == undefined, "Inspect finds another undefined byte");
    Check(found.utf8Sequence == sequence, "Inspect finds another UTF-8 sequence");
    Check(sequence == codepage::Inspection::kNone || found.utf8Length == length,
          "Inspect gives the sequence another length");

    const std::string described = codepage::Describe(bytes, page);
    Check(described.empty() == found.Clean(), "Describe and Inspect disagree");
    Check(Decode(described, &codes), "Describe gives invalid UTF-8");
}

int TestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckPage(bytes, codepage::CodePage::Windows1252);
    CheckPage(bytes, codepage::CodePage::Windows1250);

    std::vector<std::uint32_t> codes;
    const bool valid = Decode(bytes, &codes);
    const std::string shown = codepage::AsUtf8(bytes);
    Check(Decode(shown, &codes), "AsUtf8 gives invalid UTF-8");
    Check(shown == (valid ? std::string(bytes)
                          : codepage::ToUtf8(bytes, codepage::CodePage::Windows1252)),
          "AsUtf8 passes invalid UTF-8 on or converts valid UTF-8");
    Check(Decode(codepage::Quote(bytes, size / 2), &codes), "Quote gives invalid UTF-8");
    return 0;
}

}  // namespace

}  // namespace pakcheck

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return pakcheck::TestOneInput(data, size);
}
