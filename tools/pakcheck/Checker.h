// Checking one package: the catalogue, every install script the installer
// may run, the cabin list and, with a host folder, the plan of each
// installation. Nothing in the package or the host folder is changed; the
// merges are tried in a scratch folder that is removed afterwards.
//
//   Check       false when the package folder cannot be read (the report
//               then holds nothing); true otherwise, also when the package
//               has errors
//   ExitStatus  0 without errors, 1 with errors (2 is the caller's, for a
//               package folder that cannot be read)
#pragma once

#include "Options.h"
#include "Report.h"

namespace checker {

bool Check(const Options& options, Report* report);

int ExitStatus(const Report& report);

}  // namespace checker
