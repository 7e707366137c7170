// The installer's message texts as UTF-8, for programs and tests that cannot
// or must not load them from the program's resources: the package checker
// quotes them, and the tests compare what the program shows with them. The
// texts have one source, the program's string table (resources/Strings.rc);
// the build turns it into a table (cmake/InstallerTexts.cmake).
//
//   Text  the text of a German base id (101 to 118, package/MessageIds.h)
//         in a language, exactly as the string table holds it: line breaks,
//         tabs and placeholders ("%s", "%d") unfilled. Empty for an id
//         outside 101 to 118.
#pragma once

#include <string>

#include "package/Language.h"
#include "package/MessageIds.h"

namespace installertexts {

inline constexpr int kFirstBaseId = messageids::kFirst;
inline constexpr int kLastBaseId = messageids::kLast;

std::string Text(int baseId, language::Language language);

}  // namespace installertexts
