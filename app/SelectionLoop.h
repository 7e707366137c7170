// The catalogue mode's dialogue with the user: choose a package, have it
// checked against the simulator, and either install it or explain the
// refusal and let the user choose again.
//
// `chooseEntry` runs the selection dialog and returns true when the user
// confirmed a choice (the dialog has then set catalogue.selectedIndex);
// `install` runs the install dialog for the chosen package.
//
//   Run   Installed after the install dialog ran; Cancelled when the user
//         cancelled the selection, or confirmed it with nothing selected
//         (an empty catalogue), which ends the program the same way
#pragma once

#include <functional>

#include "package/InstallCatalogue.h"
#include "app/SimulatorProfile.h"

namespace selectionloop {

enum class Outcome { Cancelled, Installed };

Outcome Run(InstallCatalogue& catalogue, const SimulatorProfile& profile,
            const std::function<bool()>& chooseEntry, const std::function<void()>& install);

}  // namespace selectionloop
