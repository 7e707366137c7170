#include "StrictJsonReader.h"

#include <cstddef>

namespace pakcheck {

namespace strictjson {

namespace {

// Reads one JSON text strictly; false at the first byte that is not JSON.
class StrictReader {
public:
    explicit StrictReader(std::string_view text) : text(text) {}

    bool Read(Shape* shape) {
        this->shape = shape;
        Space();
        if (Peek() != '{') return false;  // the report is one object
        if (!Value(Place::Top)) return false;
        Space();
        return at == text.size();
    }

private:
    // Where a value stands, as far as the shape cares.
    enum class Place { Other, Top, Findings, Scripts, Plans, Summary, Errors };

    int Peek() const { return at < text.size() ? static_cast<unsigned char>(text[at]) : -1; }
    bool Take(char c) {
        if (Peek() != static_cast<unsigned char>(c)) return false;
        ++at;
        return true;
    }
    void Space() {
        while (at < text.size() &&
               (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r'))
            ++at;
    }
    bool Word(std::string_view word) {
        if (text.substr(at, word.size()) != word) return false;
        at += word.size();
        return true;
    }

    bool Value(Place place) {
        switch (Peek()) {
        case '{': return Object(place);
        case '[': return Array(place);
        case '"': return String(nullptr);
        case 't': return Word("true");
        case 'f': return Word("false");
        case 'n': return Word("null");
        default: return Number(place);
        }
    }

    static Place Member(Place object, std::string_view key) {
        if (object == Place::Top) {
            if (key == "findings") return Place::Findings;
            if (key == "scripts") return Place::Scripts;
            if (key == "plans") return Place::Plans;
            if (key == "summary") return Place::Summary;
        }
        if (object == Place::Summary && key == "errors") return Place::Errors;
        return Place::Other;
    }

    bool Object(Place place) {
        ++at;
        Space();
        if (Take('}')) return true;
        for (;;) {
            std::string_view key;
            Space();
            if (Peek() != '"' || !String(&key)) return false;
            Space();
            if (!Take(':')) return false;
            Space();
            if (!Value(Member(place, key))) return false;
            Space();
            if (Take('}')) return true;
            if (!Take(',')) return false;
        }
    }

    bool Array(Place place) {
        ++at;
        long count = 0;
        Space();
        if (!Take(']')) {
            for (;;) {
                Space();
                if (!Value(Place::Other)) return false;
                ++count;
                Space();
                if (Take(']')) break;
                if (!Take(',')) return false;
            }
        }
        if (place == Place::Findings) shape->findings = count;
        if (place == Place::Scripts) shape->scripts = count;
        if (place == Place::Plans) shape->plans = count;
        return true;
    }

    bool Hex4(unsigned* unit) {
        *unit = 0;
        for (int i = 0; i < 4; ++i) {
            const int c = Peek();
            unsigned digit;
            if (c >= '0' && c <= '9')
                digit = static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                digit = static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                digit = static_cast<unsigned>(c - 'A' + 10);
            else
                return false;
            *unit = *unit * 16 + digit;
            ++at;
        }
        return true;
    }

    // One UTF-8 sequence of two to four bytes starting at a lead byte.
    bool Utf8(unsigned lead) {
        int more;
        unsigned low = 0x80, high = 0xBF;  // the range of the first continuation byte
        if (lead >= 0xC2 && lead <= 0xDF)
            more = 1;
        else if (lead == 0xE0)
            more = 2, low = 0xA0;
        else if (lead == 0xED)
            more = 2, high = 0x9F;  // no surrogates
        else if (lead >= 0xE1 && lead <= 0xEF)
            more = 2;
        else if (lead == 0xF0)
            more = 3, low = 0x90;
        else if (lead >= 0xF1 && lead <= 0xF3)
            more = 3;
        else if (lead == 0xF4)
            more = 3, high = 0x8F;  // nothing above U+10FFFF
        else
            return false;
        ++at;
        for (int i = 0; i < more; ++i, low = 0x80, high = 0xBF) {
            const int c = Peek();
            if (c < static_cast<int>(low) || c > static_cast<int>(high)) return false;
            ++at;
        }
        return true;
    }

    // A string; its raw text between the quotes in `raw` when asked for.
    bool String(std::string_view* raw) {
        const std::size_t start = ++at;
        for (;;) {
            const int c = Peek();
            if (c < 0x20) return false;  // the end of the text or a control character
            if (c == '"') break;
            if (c >= 0x80) {
                if (!Utf8(static_cast<unsigned>(c))) return false;
                continue;
            }
            ++at;
            if (c != '\\') continue;
            const int escaped = Peek();
            ++at;
            if (escaped != 'u') {
                if (escaped < 0 ||
                    std::string_view("\"\\/bfnrt").find(static_cast<char>(escaped)) ==
                        std::string_view::npos)
                    return false;
                continue;
            }
            unsigned unit;
            if (!Hex4(&unit)) return false;
            if (unit >= 0xDC00 && unit <= 0xDFFF) return false;  // a low surrogate alone
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                if (!Take('\\') || !Take('u') || !Hex4(&unit) || unit < 0xDC00 || unit > 0xDFFF)
                    return false;
            }
        }
        if (raw) *raw = text.substr(start, at - start);
        ++at;
        return true;
    }

    bool Digits(long* value) {
        const std::size_t start = at;
        while (Peek() >= '0' && Peek() <= '9') {
            if (value && *value < 100000000) *value = *value * 10 + (Peek() - '0');
            ++at;
        }
        return at > start;
    }

    bool Number(Place place) {
        const bool negative = Take('-');
        const std::size_t start = at;
        long value = 0;
        if (!Digits(&value)) return false;
        if (text[start] == '0' && at - start > 1) return false;  // no leading zeros
        bool whole = true;
        if (Take('.')) {
            whole = false;
            if (!Digits(nullptr)) return false;
        }
        if (Take('e') || Take('E')) {
            whole = false;
            if (!Take('+')) Take('-');
            if (!Digits(nullptr)) return false;
        }
        if (place == Place::Errors && whole && !negative) shape->errors = value;
        return true;
    }

    std::string_view text;
    std::size_t at = 0;
    Shape* shape = nullptr;
};

}  // namespace

bool Read(std::string_view text, Shape* shape) {
    return StrictReader(text).Read(shape);
}

}  // namespace strictjson

}  // namespace pakcheck
