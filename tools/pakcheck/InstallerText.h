// The installer's own message texts, for quoting them in the checker's
// findings and plans: what the user will read, in the language the author
// chose. The texts come from the installer's string table
// (resources/Strings.rc), turned into a table at build time
// (cmake/InstallerTexts.cmake), since a portable program cannot load
// resources.
//
//   SetLanguage  the language of later quotes: "GER", "ENG", "FRA" or "POL";
//                anything else means English. checker::Check sets it: the
//                one --lang language, else English.
//   Text         the text of a German base id (101 to 117) in a language,
//                exactly as the string table holds it (line breaks, "%s");
//                empty for an id the table does not have
//   Quote        the text of a base id in the current language, ready for a
//                one-line report: in double quotes, each line break or tab
//                with the blanks around it as one blank, and each
//                placeholder filled from `values` in turn or, when they run
//                out, shown as "..." (%s) or "N" (%d). The checker leaves
//                paths as "...": the installer names them as they lie on the
//                user's machine, which the checker cannot know. A text of
//                more than 240 characters (the refusals 115 to 117) is cut
//                after its first sentence, and " ..." marks the cut.
#pragma once

#include <string>
#include <vector>

namespace installertext {

void SetLanguage(const std::string& language);
std::string Text(int baseId, const std::string& language);
std::string Quote(int baseId, const std::vector<std::string>& values = {});

}  // namespace installertext
