// The installer's own message texts quoted in the checker's findings and
// plans: what the user will read, in the language the author chose. The
// texts are the installer's own (package/InstallerTexts.h), named by their
// base ids (package/MessageIds.h).
//
//   SetLanguage  the language of later quotes: "GER", "ENG", "FRA" or "POL";
//                anything else means English. checker::Check sets it: the
//                one --lang language, else English.
//   Quote        the text of a base id in the current language, ready for a
//                one-line report: in double quotes, each line break or tab
//                with the blanks around it as one blank, and each
//                placeholder filled from `values` in turn or, when they run
//                out, shown as "..." (%s) or "N" (%d). The checker leaves
//                paths as "...": the installer names them as they lie on the
//                user's machine, which the checker cannot know. A text of
//                more than 240 characters (the refusals VersionTooLow to
//                PluginsMissing) is cut after its first sentence, and " ..."
//                marks the cut.
#pragma once

#include <string>
#include <vector>

namespace pakcheck {

namespace messagequote {

void SetLanguage(const std::string& language);
std::string Quote(int baseId, const std::vector<std::string>& values = {});

}  // namespace messagequote

}  // namespace pakcheck
