#include "pakcheck/reading/CodePage.h"

#include <cstdint>

namespace pakcheck {

namespace codepage {

namespace {

// Unicode of the bytes 0x80..0xFF; 0 where the code page defines nothing.
constexpr std::uint16_t kWindows1252[128] = {
    0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0x0000, 0x017D, 0x0000, 0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3,
    0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB,
    0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3,
    0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB,
    0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

constexpr std::uint16_t kWindows1250[128] = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021, 0x0000, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

const std::uint16_t* TableOf(CodePage page) {
    return page == CodePage::Windows1250 ? kWindows1250 : kWindows1252;
}

std::uint32_t UnicodeOf(unsigned char byte, CodePage page) {
    if (byte < 0x80) return byte;
    const std::uint16_t code = TableOf(page)[byte - 0x80];
    return code != 0 ? code : 0xFFFD;
}

void AppendUtf8(std::uint32_t code, std::string* out) {
    if (code < 0x80) {
        out->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (code >> 6)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xE0 | (code >> 12)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of a well-formed UTF-8 sequence of two or more bytes at `at`, or 0.
std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t at) {
    const unsigned char lead = static_cast<unsigned char>(bytes[at]);
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(bytes[at + i]))) return 0;
    }
    // The second byte's range after these leads: no overlong forms, no
    // surrogates (U+D800 to U+DFFF), nothing beyond U+10FFFF.
    const unsigned char second = static_cast<unsigned char>(bytes[at + 1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
        return 0;
    }
    return length;
}

}  // namespace

const char* Name(CodePage page) {
    return page == CodePage::Windows1250 ? "Windows-1250" : "Windows-1252";
}

std::string ToUtf8(std::string_view bytes, CodePage page) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) AppendUtf8(UnicodeOf(static_cast<unsigned char>(c), page), &out);
    return out;
}

Inspection Inspect(std::string_view bytes, CodePage page) {
    Inspection found;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) continue;
        if (found.utf8Sequence == Inspection::kNone) {
            const std::size_t length = Utf8SequenceAt(bytes, i);
            if (length != 0) {
                found.utf8Sequence = i;
                found.utf8Length = length;
            }
        }
        if (found.undefinedByte == Inspection::kNone && TableOf(page)[byte - 0x80] == 0) {
            found.undefinedByte = i;
        }
    }
    return found;
}

std::string Describe(std::string_view bytes, CodePage page) {
    const Inspection found = Inspect(bytes, page);
    if (found.utf8Sequence != Inspection::kNone) {
        const std::string_view sequence = bytes.substr(found.utf8Sequence, found.utf8Length);
        return "is written in UTF-8: users of " + std::string(Name(page)) + " see \"" +
               ToUtf8(sequence, page) + "\" for \"" + std::string(sequence) + "\"";
    }
    if (found.undefinedByte != Inspection::kNone) {
        char hex[8];
        const unsigned byte = static_cast<unsigned char>(bytes[found.undefinedByte]);
        const char* digits = "0123456789ABCDEF";
        hex[0] = '0';
        hex[1] = 'x';
        hex[2] = digits[byte >> 4];
        hex[3] = digits[byte & 0xF];
        hex[4] = '\0';
        return std::string("holds the byte ") + hex + ", which " + Name(page) + " does not define";
    }
    return std::string();
}

std::string AsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceAt(text, i);
        if (length == 0) return ToUtf8(text, CodePage::Windows1252);
        i += length;
    }
    return std::string(text);
}

std::string Quote(std::string_view bytes, std::size_t limit) {
    if (bytes.size() > limit) {
        return "\"" + ToUtf8(bytes.substr(0, limit), CodePage::Windows1252) + "...\"";
    }
    return "\"" + ToUtf8(bytes, CodePage::Windows1252) + "\"";
}

}  // namespace codepage

}  // namespace pakcheck
