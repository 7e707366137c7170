// A catalogue entry's simulator requirements as start-up judges them, in
// words, and the findings where the written numbers do not mean what they
// seem to.
//
// Start-up's rules: the package needs at least major version V (any value
// below 3 counts as 3); the patch level counts only when V is 5 or more and
// the simulator has exactly V; plug-ins count only when V is 5 and the
// simulator has exactly 5, and then only the first n numbers of the list,
// n being how many of its numbers are not 0; a plug-in number 0 counts as
// installed when any plug-in is, a number above 20 never.
//
//   Judge  fills version, patch, plugins and requirements of `item`
#pragma once

#include <cstdint>
#include <string>

#include "pakcheck/reading/CatalogueCheck.h"
#include "pakcheck/reporting/Finding.h"
#include "package/InstallCatalogue.h"
#include "textfile/IniNode.h"

namespace pakcheck {

namespace requirements {

struct Source {
    const IniNode* version = nullptr;  // the "TrakoVersion" key, or nullptr
    const IniNode* patch = nullptr;    // the "TrakoPatch" key, or nullptr
    int32_t versionLine = 0;
    int32_t patchLine = 0;
};

void Judge(const CatalogueEntry& entry, const Source& source, const std::string& file,
           CatalogueItem* item, Findings* findings);

}  // namespace requirements

}  // namespace pakcheck
