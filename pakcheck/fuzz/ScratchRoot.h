// The scratch folder of a checker fuzz target: one new folder, made once
// before the first input and removed with its contents when the target
// exits. It and the checker's own scratch folders (made through TMPDIR) live
// in memory where the system has a folder for that (/dev/shm): the targets
// write files for every input, and on a disk that costs more than the check.
//
//   MakeScratchRoot  the folder's path; aborts the target when none can be
//                    made, since no input could be tried without it
#pragma once

#include <string>

namespace pakcheck {

namespace fuzzscratch {

std::string MakeScratchRoot(const char* target);

}  // namespace fuzzscratch

}  // namespace pakcheck
