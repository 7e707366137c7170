#include "app/SelectionLoop.h"

#include "app/RequirementCheck.h"

namespace selectionloop {

Outcome Run(InstallCatalogue& catalogue, const SimulatorProfile& profile,
            const std::function<bool()>& chooseEntry, const std::function<void()>& install) {
    for (;;) {
        if (!chooseEntry()) return Outcome::kCancelled;
        const int32_t index = catalogue.selectedIndex;
        // Only an empty list can be confirmed without a selection: there is no
        // package to check or install.
        if (index < 0 || index >= catalogue.entryCount) return Outcome::kCancelled;

        const CatalogueEntry& entry = catalogue.entries[index];
        const requirements::Verdict verdict = requirements::Check(profile, entry);
        if (verdict.flags == 0) {
            install();
            return Outcome::kInstalled;
        }
        requirements::ShowRefusals(verdict, entry);
    }
}

}  // namespace selectionloop
