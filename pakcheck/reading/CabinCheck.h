// The package's cabin list "cabin.ini" as the installer's cabin merge reads
// it: through IniDocument, which types every value by its first character
// and writes the merged list back in canonical form.
//
//   Check        the list's sections and keys, with findings: lines the
//                document drops, values read as untyped, values the
//                canonical form changes (a word read as a Y/N list, a number
//                with text after it, more than three decimals), a byte-order
//                mark, keys set twice, bytes Windows-1252 shows wrongly
//   CheckValues  the value findings alone, for any list the merge rewrites
//                (the host's too, read from `path`); `file` names it in the
//                findings; none when the list cannot be read
//
// Lines are named as the document reads them (IniLineListener).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pakcheck/reporting/Finding.h"

namespace pakcheck {

struct CabinSection {
    std::string name;  // UTF-8
    int32_t keys = 0;
};

struct CabinInfo {
    bool present = false;   // the package has a cabin list
    bool readable = false;  // the installer will merge it
    std::string path;       // where the checker read it
    std::vector<CabinSection> sections;
};

namespace cabincheck {

inline constexpr const char* kPackageList = "cabin.ini";

CabinInfo Check(const std::string& packageDir, Findings* findings);

void CheckValues(const std::string& path, const std::string& file, Findings* findings);

}  // namespace cabincheck

}  // namespace pakcheck
