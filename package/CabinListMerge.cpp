#include "package/CabinListMerge.h"

#include "textfile/IniDocument.h"

namespace cabinlist {

bool MergeInto(const std::string& hostListPath, const std::string& packageListPath) {
    IniDocument document(false);
    if (document.Load(hostListPath.c_str(), 0, 0) < 0) return true;
    if (document.Load(packageListPath.c_str(), 0, 0) < 0) return true;
    return document.Save(hostListPath.c_str()) >= 0;
}

}  // namespace cabinlist
