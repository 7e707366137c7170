// Checking one package: the catalogue, every install script the installer
// may run, the cabin list and, with a host folder, the plan of each
// installation. Nothing in the package or the host folder is changed; the
// merges are tried in a scratch folder that is removed afterwards.
//
//   Check       false when the package folder cannot be read (the report
//               then holds nothing); true otherwise, also when the package
//               has errors. With `scratch`, an existing folder of the
//               caller's, the merges are tried in it instead: its numbered
//               subfolders are replaced, the folder itself stays (a caller
//               checking many packages saves making and removing one per
//               check).
//   ExitStatus  0 without errors, 1 with errors (2 is the caller's, for a
//               package folder that cannot be read)
#pragma once

#include <string>

#include "pakcheck/Options.h"
#include "pakcheck/reporting/Report.h"

namespace pakcheck {

namespace checker {

bool Check(const Options& options, Report* report);
bool Check(const Options& options, Report* report, const std::string& scratch);

int ExitStatus(const Report& report);

}  // namespace checker

}  // namespace pakcheck
