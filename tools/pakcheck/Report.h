// Everything the checker found out about one package, ready to be written
// as text (TextReport.h) or JSON (JsonReport.h).
#pragma once

#include <string>
#include <vector>

#include "CabinCheck.h"
#include "CatalogueCheck.h"
#include "Finding.h"
#include "InstallPlan.h"
#include "ScriptCheck.h"

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
