#include "textfile/IniSyntax.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace inisyntax {

namespace {

template <typename CharT>
bool IsBlank(CharT c) {
    return c == CharT(' ') || c == CharT('\t');
}

// The characters that scanf skips before a number.
template <typename CharT>
bool IsScanSpace(CharT c) {
    return c == CharT(' ') || (c >= CharT('\t') && c <= CharT('\r'));
}

template <typename CharT>
int HexDigit(CharT c) {
    if (c >= CharT('0') && c <= CharT('9')) return static_cast<int>(c - CharT('0'));
    if (c >= CharT('a') && c <= CharT('f')) return static_cast<int>(c - CharT('a')) + 10;
    if (c >= CharT('A') && c <= CharT('F')) return static_cast<int>(c - CharT('A')) + 10;
    return -1;
}

template <typename CharT>
const CharT* SkipSignAndSpace(const CharT* p, const CharT* end, bool* negative) {
    while (p < end && IsScanSpace(*p)) ++p;
    *negative = false;
    if (p < end && (*p == CharT('+') || *p == CharT('-'))) {
        *negative = *p == CharT('-');
        ++p;
    }
    return p;
}

// Like "%d", with the value taken modulo 2^32 when it is too long.
template <typename CharT>
bool ScanInt(const CharT* p, const CharT* end, uint32_t* out) {
    bool negative;
    p = SkipSignAndSpace(p, end, &negative);
    uint32_t value = 0;
    const CharT* digits = p;
    while (p < end && *p >= CharT('0') && *p <= CharT('9')) {
        value = value * 10u + static_cast<uint32_t>(*p - CharT('0'));
        ++p;
    }
    if (p == digits) return false;
    *out = negative ? 0u - value : value;
    return true;
}

// Like "%x": optional sign and "0x", modulo 2^32.
template <typename CharT>
bool ScanHex(const CharT* p, const CharT* end, uint32_t* out) {
    bool negative;
    p = SkipSignAndSpace(p, end, &negative);
    bool prefix = false;
    if (end - p >= 2 && p[0] == CharT('0') && (p[1] == CharT('x') || p[1] == CharT('X'))) {
        p += 2;
        prefix = true;
    }
    uint32_t value = 0;
    const CharT* digits = p;
    for (int d; p < end && (d = HexDigit(*p)) >= 0; ++p) {
        value = value * 16u + static_cast<uint32_t>(d);
    }
    if (p == digits && !prefix) return false;  // "0x" alone is the 0 before the x
    *out = negative ? 0u - value : value;
    return true;
}

// A number too large or too small for a float: which one it is.
bool LooksTiny(const char* first, const char* last, bool hex) {
    double wide;
    auto parsed = std::from_chars(first, last, wide,
                                  hex ? std::chars_format::hex : std::chars_format::general);
    if (parsed.ec == std::errc()) {
        return std::fabs(wide) < 1.0;
    }
    for (const char* p = first; p + 1 < last; ++p) {
        char c = *p;
        if (c == 'e' || c == 'E' || (hex && (c == 'p' || c == 'P'))) {
            return p[1] == '-';
        }
    }
    return false;
}

// Like "%f" into a float, kept finite.
bool ScanFloatNarrow(const char* p, const char* end, float* out) {
    bool negative;
    p = SkipSignAndSpace(p, end, &negative);
    bool hex = end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
    const char* first = hex ? p + 2 : p;
    if (first < end && (*first == '-' || *first == '+')) return false;
    float value = 0;
    auto parsed = std::from_chars(first, end, value,
                                  hex ? std::chars_format::hex : std::chars_format::general);
    if (parsed.ec == std::errc::result_out_of_range) {
        value = LooksTiny(first, parsed.ptr, hex) ? 0.0f : FLT_MAX;
    } else if (parsed.ec != std::errc()) {
        if (!hex) return false;
        value = 0;  // "0x" alone
    } else if (!std::isfinite(value)) {
        return false;
    }
    *out = negative ? -value : value;
    return true;
}

bool ScanFloat(const char* p, const char* end, float* out) {
    return ScanFloatNarrow(p, end, out);
}

// 16-bit text: the number's characters are all ASCII, so a narrow copy of
// the item (up to the next comma) scans the same.
bool ScanFloat(const char16_t* p, const char16_t* end, float* out) {
    std::string narrow;
    for (; p < end && *p != u','; ++p) {
        narrow.push_back(*p < 0x80 ? static_cast<char>(*p) : '?');
    }
    return ScanFloatNarrow(narrow.data(), narrow.data() + narrow.size(), out);
}

template <typename CharT, typename Scan>
void WalkItems(View<CharT> text, int32_t items, std::string* value, Scan scan) {
    value->assign(static_cast<size_t>(items) * 4, '\0');
    const CharT* p = text.data();
    const CharT* end = text.data() + text.size();
    for (int32_t i = 0; i < items; ++i) {
        uint32_t bits;
        if (scan(p, end, &bits)) {
            std::memcpy(&(*value)[static_cast<size_t>(i) * 4], &bits, 4);
        }
        while (p < end && *p != CharT(',')) ++p;
        if (p == end) break;
        ++p;
    }
}

template <typename CharT>
void ReplaceAll(std::basic_string<CharT>* text, View<CharT> pattern, View<CharT> replacement,
                std::basic_string<CharT>* scratch) {
    size_t at = text->find(pattern);
    if (at == std::basic_string<CharT>::npos) return;
    scratch->clear();
    size_t from = 0;
    while (at != std::basic_string<CharT>::npos) {
        scratch->append(*text, from, at - from);
        scratch->append(replacement);
        from = at + pattern.size();
        at = text->find(pattern, from);
    }
    scratch->append(*text, from, std::basic_string<CharT>::npos);
    text->swap(*scratch);
}

template <typename CharT>
View<CharT> Literal(const char* ascii, CharT* room) {
    size_t n = 0;
    for (; ascii[n] != '\0'; ++n) room[n] = static_cast<CharT>(ascii[n]);
    return View<CharT>(room, n);
}

template <typename CharT>
void AppendAscii(const char* ascii, size_t length, std::basic_string<CharT>* out) {
    for (size_t i = 0; i < length; ++i) out->push_back(static_cast<CharT>(ascii[i]));
}

template <typename CharT>
void AppendAscii(const char* ascii, std::basic_string<CharT>* out) {
    AppendAscii(ascii, std::strlen(ascii), out);
}

}  // namespace

template <typename CharT>
View<CharT> Trim(View<CharT> text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

template <typename CharT>
bool SplitKeyLine(View<CharT> line, KeyLine<CharT>* out) {
    size_t equals = line.find(CharT('='));
    if (equals == View<CharT>::npos || equals == 0) return false;
    out->name = Trim(line.substr(0, equals));
    View<CharT> value = Trim(line.substr(equals + 1));
    bool quoted = false;
    int32_t items = 1;
    out->comment = View<CharT>();
    for (size_t i = 0; i < value.size(); ++i) {
        CharT c = value[i];
        if (c == CharT('"')) {
            quoted = !quoted;
        } else if (!quoted && c == CharT(',')) {
            ++items;
        } else if (!quoted && c == CharT(';')) {
            out->comment = value.substr(i);
            value = Trim(value.substr(0, i));
            break;
        }
    }
    out->valueText = value;
    out->items = items;
    return true;
}

template <typename CharT>
void Unescape(std::basic_string<CharT>* text) {
    static const char* const kPasses[][2] = {
        {"[x5B]", "["},  {"[x22]", "\""},      {"[x08]", "\b"}, {"[x0D]", "\r"},
        {"[x0A]", "\n"}, {"[xFFFF]", nullptr}, {"[t]", "\t"},   {"[e]", "\r\n"},
    };
    std::basic_string<CharT> scratch;
    for (const auto& pass : kPasses) {
        if (text->find(CharT('[')) == std::basic_string<CharT>::npos) return;
        CharT pattern[8];
        CharT replacement[2];
        View<CharT> with;
        if (pass[1] == nullptr) {
            if (sizeof(CharT) == 1) continue;  // 8-bit text has no unit FFFF
            replacement[0] = static_cast<CharT>(0xFFFF);
            with = View<CharT>(replacement, 1);
        } else {
            with = Literal(pass[1], replacement);
        }
        ReplaceAll(text, Literal(pass[0], pattern), with, &scratch);
    }
}

template <typename CharT>
void AppendEscaped(View<CharT> text, std::basic_string<CharT>* out) {
    // One pass gives what the separate passes give: no escape brings in a
    // character that a later one replaces, and "[" goes first.
    for (size_t i = 0; i < text.size(); ++i) {
        CharT c = text[i];
        switch (c) {
        case CharT('['): AppendAscii("[x5B]", out); break;
        case CharT('"'): AppendAscii("[x22]", out); break;
        case CharT('\t'): AppendAscii("[t]", out); break;
        case CharT('\n'): AppendAscii("[x0A]", out); break;
        case CharT('\b'): AppendAscii("[x08]", out); break;
        case CharT('\r'):
            if (i + 1 < text.size() && text[i + 1] == CharT('\n')) {
                AppendAscii("[e]", out);
                ++i;
            } else {
                AppendAscii("[x0D]", out);
            }
            break;
        default:
            if (sizeof(CharT) == 2 && c == static_cast<CharT>(0xFFFF)) {
                AppendAscii("[xFFFF]", out);
            } else {
                out->push_back(c);
            }
        }
    }
}

template <typename CharT>
NodeKind DecodeValue(View<CharT> text, int32_t items, std::string* value, int32_t* count) {
    value->clear();
    *count = items;
    if (text.empty()) return NodeKind::Untyped;
    const CharT first = text[0];
    if (first == CharT('"')) {
        View<CharT> body = text.substr(1);
        body = body.substr(0, body.find(CharT('"')));
        if (body.find(CharT('[')) == View<CharT>::npos) {
            // No escape: the text as it stands, without a copy to unescape.
            value->assign(reinterpret_cast<const char*>(body.data()), body.size() * sizeof(CharT));
            *count = static_cast<int32_t>(body.size());
            return NodeKind::Text;
        }
        std::basic_string<CharT> unescaped(body);
        Unescape(&unescaped);
        value->assign(reinterpret_cast<const char*>(unescaped.data()),
                      unescaped.size() * sizeof(CharT));
        *count = static_cast<int32_t>(unescaped.size());
        return NodeKind::Text;
    }
    if (first == CharT('#')) {
        View<CharT> digits = text.substr(1);
        *count = static_cast<int32_t>(digits.size() / 2);
        value->assign(static_cast<size_t>(*count), '\0');
        for (int32_t i = 0; i < *count; ++i) {
            // A pair is read as far as it is hexadecimal; no digit gives 0.
            int high = HexDigit(digits[2 * static_cast<size_t>(i)]);
            int low = HexDigit(digits[2 * static_cast<size_t>(i) + 1]);
            int byte = high < 0 ? 0 : low < 0 ? high : high * 16 + low;
            (*value)[static_cast<size_t>(i)] = static_cast<char>(byte);
        }
        return NodeKind::Bytes;
    }
    if (first == CharT('Y') || first == CharT('N') || first == CharT('y') || first == CharT('n')) {
        // One letter and one comma per item; positions past the text are N.
        value->assign(static_cast<size_t>(items), '\0');
        for (int32_t i = 0; i < items; ++i) {
            size_t at = 2 * static_cast<size_t>(i);
            if (at < text.size() && (text[at] == CharT('Y') || text[at] == CharT('y'))) {
                (*value)[static_cast<size_t>(i)] = 1;
            }
        }
        return NodeKind::BoolList;
    }
    if (first == CharT('0') && text.size() >= 2 &&
        (text[1] == CharT('x') || text[1] == CharT('X'))) {
        WalkItems(text, items, value, ScanHex<CharT>);
        return NodeKind::HexList;
    }
    if (first == CharT('.') || first == CharT('-') ||
        (first >= CharT('0') && first <= CharT('9'))) {
        if (text.find(CharT('.')) == View<CharT>::npos) {
            WalkItems(text, items, value, ScanInt<CharT>);
            return NodeKind::IntList;
        }
        WalkItems(text, items, value, [](const CharT* p, const CharT* end, uint32_t* bits) {
            float item;
            if (!ScanFloat(p, end, &item)) return false;
            std::memcpy(bits, &item, 4);
            return true;
        });
        return NodeKind::FloatList;
    }
    return NodeKind::Untyped;
}

template <typename CharT>
void AppendList(NodeKind kind, const uint8_t* value, int32_t valueLength, int32_t count,
                std::basic_string<CharT>* out) {
    if (value == nullptr || valueLength < 0 || count < 0) return;
    const size_t stored = static_cast<size_t>(valueLength);
    const size_t itemSize = (kind == NodeKind::BoolList || kind == NodeKind::Bytes) ? 1 : 4;
    // Never past the stored value, whatever the count says.
    size_t items = static_cast<size_t>(count);
    if (items > stored / itemSize) items = stored / itemSize;
    char number[400];
    if (kind == NodeKind::Bytes) {
        out->push_back(CharT('#'));
        static const char kDigits[] = "0123456789abcdef";
        for (size_t i = 0; i < items; ++i) {
            out->push_back(CharT(kDigits[value[i] >> 4]));
            out->push_back(CharT(kDigits[value[i] & 15]));
        }
        return;
    }
    for (size_t i = 0; i < items; ++i) {
        if (i > 0) out->push_back(CharT(','));
        if (kind == NodeKind::BoolList) {
            out->push_back(value[i] != 0 ? CharT('Y') : CharT('N'));
            continue;
        }
        uint32_t bits;
        std::memcpy(&bits, value + i * 4, 4);
        std::to_chars_result written{number, std::errc()};
        if (kind == NodeKind::IntList) {
            written = std::to_chars(number, number + sizeof number, static_cast<int32_t>(bits));
        } else if (kind == NodeKind::HexList) {
            char* p = number;
            char hex[8];
            auto raw = std::to_chars(hex, hex + sizeof hex, bits, 16);
            for (std::ptrdiff_t pad = 4 - (raw.ptr - hex); pad > 0; --pad) *p++ = '0';
            p = std::copy(hex, raw.ptr, p);
            written.ptr = p;
            AppendAscii("0x", out);
        } else {
            float item;
            std::memcpy(&item, &bits, 4);
            written = std::to_chars(number, number + sizeof number, static_cast<double>(item),
                                    std::chars_format::fixed, 3);
        }
        AppendAscii(number, static_cast<size_t>(written.ptr - number), out);
    }
}

#define INISYNTAX_INSTANTIATE(CharT)                                             \
    template View<CharT> Trim(View<CharT>);                                      \
    template bool SplitKeyLine(View<CharT>, KeyLine<CharT>*);                    \
    template NodeKind DecodeValue(View<CharT>, int32_t, std::string*, int32_t*); \
    template void Unescape(std::basic_string<CharT>*);                           \
    template void AppendEscaped(View<CharT>, std::basic_string<CharT>*);         \
    template void AppendList(NodeKind, const uint8_t*, int32_t, int32_t, std::basic_string<CharT>*);

INISYNTAX_INSTANTIATE(char)
INISYNTAX_INSTANTIATE(char16_t)

}  // namespace inisyntax
