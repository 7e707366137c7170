// What the program shows in the language of the system under test: the
// installer's own text of a base id (package/InstallerTexts.h) in the
// language the program picks for the system's language, converted to the
// process's ANSI code page as the program holds it, each "%s" filled in
// order. The placeholders are filled here, not by the program's formatting,
// so that a text filled wrongly differs.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "package/InstallerTexts.h"
#include "package/Language.h"
#include "tests/support/TestFiles.h"

inline language::Language SystemLanguage() {
    return language::ForLanguageId(GetSystemDefaultLangID());
}

inline std::string ExpectedText(int baseId, std::initializer_list<std::string> arguments = {}) {
    std::string filled = testfiles::Ansi(installertexts::Text(baseId, SystemLanguage()).c_str());
    size_t at = 0;
    for (const std::string& argument : arguments) {
        at = filled.find("%s", at);
        if (at == std::string::npos) break;
        filled.replace(at, 2, argument);
        at += argument.size();
    }
    return filled;
}
