#include "app/SelectionLoop.h"

#include "app/RequirementCheck.h"

namespace selectionloop {

Outcome Run(InstallCatalogue& catalogue, const SimulatorProfile& profile,
            const std::function<bool()>& chooseEntry, const std::function<void()>& install) {
    for (;;) {
        if (!chooseEntry()) return Outcome::Cancelled;
        const int32_t index = catalogue.selectedIndex;
        // Only an empty list can be confirmed without a selection: there is no
        // package to check or install.
        if (index < 0 || index >= catalogue.entryCount) return Outcome::Cancelled;

        const CatalogueEntry& entry = catalogue.entries[index];
        const requirements::Verdict verdict = requirements::Check(profile, entry);
        if (verdict.flags == 0) {
            install();
            return Outcome::Installed;
        }
        requirements::ShowRefusals(verdict, entry);
    }
}

}  // namespace selectionloop
