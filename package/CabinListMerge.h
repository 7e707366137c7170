// The last installation step: merging a package's cabin list into the
// host's, through the INI document (a second Load merges into the first:
// same sections gain the keys, same keys take the package's values, new
// sections go to the end). The host's file is replaced whole or not at all.
// CabinMerge.h does it in two steps, for those who look in between.
//
//   MergeInto  false only when the merged list could not be written; true
//              when it was written, and true without writing anything when
//              either list is missing, empty or unreadable (a host without
//              a cabin list never gets one)
#pragma once

#include <string>

namespace cabinlist {

bool MergeInto(const std::string& hostListPath, const std::string& packageListPath);

}  // namespace cabinlist
