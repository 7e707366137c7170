#include "e2e/ExpectedTexts.h"

#include "automation/Utf8.h"

#include <windows.h>

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <utility>
#include <vector>

#include "package/InstallerTexts.h"

namespace expected {
namespace {

std::string Utf8Text(int baseId) {
    return installertexts::Text(baseId, CurrentLanguage());
}

bool IsWordEnd(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// Where the next web address in `text` from `from` on starts and ends: a
// word with a dot between two letters. npos when there is none.
std::pair<size_t, size_t> NextAddress(const std::string& text, size_t from) {
    const auto isLetter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    size_t start = from;
    while (start < text.size()) {
        while (start < text.size() && IsWordEnd(text[start])) ++start;
        size_t end = start;
        bool address = false;
        while (end < text.size() && !IsWordEnd(text[end])) {
            if (text[end] == '.' && end > start && end + 1 < text.size() &&
                isLetter(text[end - 1]) && isLetter(text[end + 1])) {
                address = true;
            }
            ++end;
        }
        if (address) return {start, end};
        start = end;
    }
    return {std::string::npos, std::string::npos};
}

std::wstring FormatUtf8(const char* format, va_list arguments) {
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, arguments);
    return automation::Widen(text.data());
}

std::wstring FormatUtf8(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::wstring text = FormatUtf8(format, arguments);
    va_end(arguments);
    return text;
}

}  // namespace

language::Language CurrentLanguage() {
    return language::ForLanguageId(GetSystemDefaultLangID());
}

std::wstring Text(int baseId) {
    return automation::Widen(Utf8Text(baseId));
}

std::wstring Format(int baseId, ...) {
    va_list arguments;
    va_start(arguments, baseId);
    std::wstring text = FormatUtf8(Utf8Text(baseId).c_str(), arguments);
    va_end(arguments);
    return text;
}

Message116Frame Frame116(int version, int patch) {
    const std::string text = Utf8Text(116);
    const auto first = NextAddress(text, 0);
    const auto second = NextAddress(text, first.second);
    if (second.first == std::string::npos) return {};
    return {FormatUtf8(text.substr(0, first.first).c_str(), version, patch),
            automation::Widen(text.substr(first.second, second.first - first.second)),
            automation::Widen(text.substr(second.second))};
}

bool Matches116(const std::wstring& shown, int version, int patch) {
    const Message116Frame frame = Frame116(version, patch);
    if (shown.compare(0, frame.beforeFirstAddress.size(), frame.beforeFirstAddress) != 0)
        return false;
    if (shown.size() < frame.beforeFirstAddress.size() + frame.afterSecondAddress.size())
        return false;
    if (shown.compare(shown.size() - frame.afterSecondAddress.size(),
                      frame.afterSecondAddress.size(), frame.afterSecondAddress) != 0) {
        return false;
    }
    const std::wstring addresses = shown.substr(frame.beforeFirstAddress.size(),
                                                shown.size() - frame.beforeFirstAddress.size() -
                                                    frame.afterSecondAddress.size());
    const size_t between = addresses.find(frame.betweenAddresses);
    if (between == std::wstring::npos || between == 0) return false;
    const std::wstring first = addresses.substr(0, between);
    const std::wstring second = addresses.substr(between + frame.betweenAddresses.size());
    return !second.empty() && first.find_first_of(L" \n\r\t") == std::wstring::npos &&
           second.find_first_of(L" \n\r\t") == std::wstring::npos;
}

}  // namespace expected
