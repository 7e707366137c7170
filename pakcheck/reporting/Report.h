// Everything the checker found out about one package, ready to be written
// as text (TextReport.h) or JSON (JsonReport.h).
#pragma once

#include <string>
#include <vector>

#include "pakcheck/planning/InstallPlan.h"
#include "pakcheck/reading/CabinCheck.h"
#include "pakcheck/reading/CatalogueCheck.h"
#include "pakcheck/reading/ScriptCheck.h"
#include "pakcheck/reporting/Finding.h"

namespace pakcheck {

struct Report {
    std::string packageDir;
    std::string hostDir;                 // empty without --host
    std::vector<std::string> languages;  // "GER", "ENG", "FRA", "POL" checked
    CatalogueInfo catalogue;
    std::vector<ScriptInfo> scripts;
    CabinInfo cabin;
    std::vector<InstallPlan> plans;  // one per install script, with --host only
    Findings findings;

    int32_t Count(Severity severity) const;
};

}  // namespace pakcheck
