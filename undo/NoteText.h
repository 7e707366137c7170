// The lines pakundo shows and prints for a restore's notes
// (engine/RestorePoints.h), in the user's language from pakundo's own texts
// (UndoResources.h, chosen as app/Messages.h chooses) and in the user's code
// page like every other text of the program. A journal's reason for being
// incomplete is quoted as it was recorded.
//
//   Line     one note as one line, without a line break
//   Package  the package's name, and whether the run ended
//   Changes  files added and replaced, list entries changed
//   Size     the restore point's own size in KB, rounded up
//   Point    a restore point on one line, as the console lists it: date,
//            package, host folder, changes, size, and whether the run ended
#pragma once

#include <string>

#include "engine/RestorePoints.h"

namespace notetext {

std::string Line(const restorepoints::Note& note);
std::string Package(const restorepoints::Summary& point);
std::string Changes(const restorepoints::Summary& point);
std::string Size(const restorepoints::Summary& point);
std::string Point(const restorepoints::Summary& point);

}  // namespace notetext
