#include "package/CabinListMerge.h"

#include "package/CabinMerge.h"

namespace cabinlist {

bool MergeInto(const std::string& hostListPath, const std::string& packageListPath) {
    CabinMerge merge;
    return !merge.Prepare(hostListPath, packageListPath) || merge.Write();
}

}  // namespace cabinlist
