// The report as text for people: one group per file the installer reads
// (the catalogue, each install script, the cabin list) and one per planned
// installation, each with what the installer will do and the findings that
// belong to it, then a one-line summary. UTF-8.
#pragma once

#include <string>

#include "pakcheck/reporting/Report.h"

namespace pakcheck {

namespace textreport {

std::string Write(const Report& report);

}  // namespace textreport

}  // namespace pakcheck
