// What the installer must show, in the language the system is set to: its
// own texts by German base id (101 to 117, package/InstallerTexts.h) in the
// language it picks for the system's language. The tests run once per
// language (LC_ALL), and the installer started by a test runs in the test's
// language. Texts are compared as UTF-16, as they are read from the
// installer's windows.
#pragma once

#include <string>

#include "package/Language.h"

namespace expected {

// The language the installer picks for this process's system language.
language::Language CurrentLanguage();

// The text of a base id in the current language, unformatted.
std::wstring Text(int baseId);

// The text with its placeholders filled in (printf rules; the arguments are
// UTF-8 texts for %s and ints for %d).
std::wstring Format(int baseId, ...);

// Message 116 names two web addresses chosen by the program's makers: these
// are the parts before, between and after them. An address is a word with a
// dot between two letters.
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
