#include "pakcheck/reporting/Report.h"

namespace pakcheck {

int32_t Report::Count(Severity severity) const {
    int32_t count = 0;
    for (const Finding& finding : findings) {
        if (finding.severity == severity) ++count;
    }
    return count;
}

}  // namespace pakcheck
