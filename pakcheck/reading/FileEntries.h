// The entries of section "Dateinstallation" as the installer's file
// installation takes them: source>>destination, the source relative to the
// package folder, the destination relative to the host folder.
//
//   Check  one FileStep per entry, in order, with findings: entries without
//          ">>", sources that are missing (or exist only in another case or
//          with blanks in their name), folders or patterns, destinations that
//          leave the host folder, name a folder or hold a character Windows
//          refuses in file names, two entries writing the same file, names
//          the user's code page shows wrongly
//   RefusedCharacter  the first character of `name` that Windows refuses in
//          file names (control characters 1 to 31, < > : " | ? *), or 0; the
//          installer passes such a name on and its copy fails
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pakcheck/reading/ScriptCheck.h"
#include "pakcheck/reporting/Finding.h"

namespace pakcheck {

namespace fileentries {

char RefusedCharacter(const std::string& name);

std::vector<FileStep> Check(const std::string& packageDir, const std::string& file,
                            const std::vector<std::string>& entries,
                            const std::vector<int32_t>& lines, Findings* findings);

}  // namespace fileentries

}  // namespace pakcheck
