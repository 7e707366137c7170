// What the installer must show, in the language the system is set to: its
// texts by German base id (101 to 117), written out here as users read them.
// The tests run once per language (LC_ALL), and the installer started by a
// test runs in the test's language.
#pragma once

#include <string>

namespace expected {

enum class Language { German, English, French, Polish };

// The language the installer picks for this process's system language.
Language CurrentLanguage();
const char* LanguageName(Language language);

// The text of a base id in the current language, unformatted.
std::wstring Text(int baseId);

// The text with its placeholders filled in (printf rules; the arguments are
// UTF-8 texts for %s and ints for %d).
std::wstring Format(int baseId, ...);

// Message 116 names two web addresses chosen by the program's makers: these
// are the parts before, between and after them.
struct Message116Frame {
    std::wstring beforeFirstAddress;
    std::wstring betweenAddresses;
    std::wstring afterSecondAddress;
};
Message116Frame Frame116(int version, int patch);

// Whether a shown text of message 116 fits its frame with two non-empty
// addresses without blanks or line breaks.
bool Matches116(const std::wstring& shown, int version, int patch);

}  // namespace expected
