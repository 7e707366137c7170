// The packages that "InstSkript.ini" offers, as start-up reads them.
//
// Start-up fills `entries` from the sections "Install_00" to "Install_31"
// (present sections only, without gaps), the selection dialog sets
// `selectedIndex`, and the installation engine reads the chosen entry's
// `script`. Plain data: no operation here can fail.
#pragma once

#include <cstdint>
#include <string>

struct CatalogueEntry {
    std::string name;                // "Name" + language suffix: the list text
    std::string description;         // "Desc" + language suffix: shown below the list
    std::string script;              // "Script": install script, relative to the program's folder
    uint32_t requiredPatch = 0;      // "TrakoPatch": minimum simulator patch level
    uint32_t trakoVersion[20] = {};  // "TrakoVersion": [0] major version (>= 3), [1..19] plug-ins
    int32_t pluginCount = 0;         // non-zero values among trakoVersion[1..19]
};

// The copy the compiler writes for the array of entries names its loop
// variable "__i0", which clang-tidy takes for ours.
struct InstallCatalogue {  // NOLINT(bugprone-reserved-identifier,readability-identifier-naming)
    static constexpr int32_t kCapacity = 32;

    CatalogueEntry entries[kCapacity];
    int32_t entryCount = 0;      // leading entries in use, 0..32
    int32_t selectedIndex = -1;  // chosen position; -1 until a choice is confirmed
};
