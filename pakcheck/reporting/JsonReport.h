// The report as one JSON object for scripts (UTF-8):
//
//   { "package", "host" (null without --host), "languages",
//     "catalogue": null | { "file", "loaded", "entries": [ { "position",
//         "section", "line", "script", "scriptUsed", "version", "patch",
//         "plugins", "requirements", "texts": { "GER": { "name",
//         "description" }, ... } } ] },
//     "scripts": [ { "file", "usedBy", "readable", "sections": [ { "name",
//         "found", "line", "entries" } ], "files": [ { "line", "source",
//         "destination", "installed" } ], "textures": [ { "section", "line",
//         "entry", "outcome", "id", "hasName" } ] } ],
//     "cabin": null | { "readable", "sections": [ { "name", "keys" } ] },
//     "plans": [ { "script", "usedBy", "succeeds", "questions",
//         "files": [ { "line", "source", "destination", "action", "reason",
//         "makesFolders" } ], "lists": [ { "file", "section", "outcome",
//         "reason", "added", "replaced", "sectionsAdded", "keysReplaced",
//         "keysAdded" } ] } ],
//     "findings": [ { "severity", "file", "inHost", "line", "code",
//         "message", "plan" } ],
//     "summary": { "errors", "warnings", "notes" } }
//
// "line" is 0 where no line applies; "plan" is the index in "plans" or -1.
#pragma once

#include <string>

#include "pakcheck/reporting/Report.h"

namespace pakcheck {

namespace jsonreport {

std::string Write(const Report& report);

}  // namespace jsonreport

}  // namespace pakcheck
