// Whether the simulator meets a catalogue package's requirements, and the
// messages that explain a refusal.
//
// Check compares all numbers unsigned:
//   VersionTooLow   the simulator's major version is below the required one
//   PatchTooLow     the package needs major version 5 or higher, the
//                    simulator has exactly that version and a lower patch
//   PluginsMissing  the package needs major version 5, the simulator has
//                    exactly 5, and a required plug-in is not installed;
//                    missingPlugins then lists them, "2,7 " (the form the
//                    message expects), and PatchTooLow is cleared
// A flags value of 0 accepts the package. At most one flag is ever set.
//
// ShowRefusals shows one message box with the stop icon per set flag, in
// the order version (115), patch (116), plug-ins (117).
#pragma once

#include <cstdint>
#include <string>

#include "package/InstallCatalogue.h"
#include "app/SimulatorProfile.h"

namespace requirements {

enum RefusalFlag : uint32_t {
    VersionTooLow = 1,
    PatchTooLow = 2,
    PluginsMissing = 4,
};

struct Verdict {
    uint32_t flags = 0;
    std::string missingPlugins;
};

Verdict Check(const SimulatorProfile& profile, const CatalogueEntry& entry);

void ShowRefusals(const Verdict& verdict, const CatalogueEntry& entry);

}  // namespace requirements
