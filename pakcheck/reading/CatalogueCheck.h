// The installation catalogue "InstSkript.ini" as start-up reads it: loaded
// into an IniDocument and turned into entries by the program's own
// CatalogueReader, once for every language the check covers.
//
//   Check  present is false when the package has no catalogue (the
//          installer then installs "InstSkript.txt" alone); loaded is false
//          when it cannot be read (the same happens, with a warning).
//          Findings: dropped lines, sections the installer never reads, no
//          entries, names and descriptions missing, unquoted, empty or in the
//          wrong code page, scripts that are missing or not used, and
//          requirements that are not what they look like
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pakcheck/reporting/Finding.h"

namespace pakcheck {

struct CatalogueText {
    std::string language;     // "GER", "ENG", "FRA" or "POL"
    std::string name;         // UTF-8, as a user of that language sees it
    std::string description;  // UTF-8, line breaks as "\n"
};

struct CatalogueItem {
    int32_t position = 0;  // in the selection list
    std::string section;   // "Install_03"
    int32_t line = 0;      // of the section header
    std::vector<CatalogueText> texts;
    std::string script;      // the "Script" value, UTF-8
    std::string scriptUsed;  // the file the installer installs this entry from, as bytes
    uint32_t version = 3;    // required major version, as start-up judges it
    uint32_t patch = 0;
    std::vector<uint32_t> plugins;  // the plug-in numbers start-up checks (version 5 only)
    std::string requirements;       // in words
};

struct CatalogueInfo {
    bool present = false;
    bool loaded = false;
    std::vector<CatalogueItem> entries;
};

namespace cataloguecheck {

inline constexpr const char* kCatalogue = "InstSkript.ini";
inline constexpr const char* kSingleScript = "InstSkript.txt";

// `languages`: the suffixes to check without "_" ("GER", ...).
CatalogueInfo Check(const std::string& packageDir, const std::vector<std::string>& languages,
                    Findings* findings);

}  // namespace cataloguecheck

}  // namespace pakcheck
