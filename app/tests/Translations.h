// Expected texts in the language of the system under test: one text in the
// four languages, picked by the system's default language like the program
// does, converted to the user's code page, its "%s" filled in order.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "tests/support/TestFiles.h"

enum class Language { German, English, French, Polish };

inline Language SystemLanguage() {
    switch (PRIMARYLANGID(GetSystemDefaultLangID())) {
    case LANG_GERMAN: return Language::German;
    case LANG_FRENCH: return Language::French;
    case LANG_POLISH: return Language::Polish;
    default: return Language::English;
    }
}

// The same text as UTF-8 in the four languages.
struct Translations {
    const char* german;
    const char* english;
    const char* french;
    const char* polish;

    std::string ForSystem(std::initializer_list<std::string> arguments = {}) const {
        const char* text = english;
        switch (SystemLanguage()) {
        case Language::German: text = german; break;
        case Language::French: text = french; break;
        case Language::Polish: text = polish; break;
        case Language::English: break;
        }
        std::string filled = testfiles::Ansi(text);
        size_t at = 0;
        for (const std::string& argument : arguments) {
            at = filled.find("%s", at);
            if (at == std::string::npos) break;
            filled.replace(at, 2, argument);
            at += argument.size();
        }
        return filled;
    }
};
