#include "app/RequirementCheck.h"

#include <windows.h>

#include "app/Messages.h"

namespace requirements {

namespace {

constexpr uint32_t kFirstPatchedVersion = 5;  // patches count from this version on
constexpr uint32_t kPluginVersion = 5;        // the one version with plug-ins
constexpr int32_t kPluginSlots = 19;          // trakoVersion[1..19]

}  // namespace

Verdict Check(const SimulatorProfile& profile, const CatalogueEntry& entry) {
    Verdict verdict;
    const uint32_t required = entry.trakoVersion[0];
    if (profile.simulatorMajorVersion < required) verdict.flags |= VersionTooLow;
    if (required >= kFirstPatchedVersion && profile.simulatorPatch < entry.requiredPatch &&
        profile.simulatorMajorVersion == required) {
        verdict.flags |= PatchTooLow;
    }
    if (required == kPluginVersion && profile.simulatorMajorVersion == kPluginVersion) {
        // pluginCount counts the non-zero numbers anywhere in the list, but the
        // walk takes that many from its front, as packages have always been
        // judged. The limit keeps a count not read from a catalogue in the list.
        const int32_t count = entry.pluginCount < kPluginSlots ? entry.pluginCount : kPluginSlots;
        for (int32_t j = 0; j < count; ++j) {
            const uint32_t number = entry.trakoVersion[1 + j];
            if (!profile.HasPlugin(number)) {
                verdict.missingPlugins += messages::FormatText("%d,", static_cast<int>(number));
                verdict.flags |= PluginsMissing;
            }
        }
        if (!verdict.missingPlugins.empty()) {
            verdict.flags &= ~static_cast<uint32_t>(PatchTooLow);
            verdict.missingPlugins.back() = ' ';
        }
    }
    return verdict;
}

void ShowRefusals(const Verdict& verdict, const CatalogueEntry& entry) {
    const unsigned int stop = MB_OK | MB_ICONHAND;
    if (verdict.flags & VersionTooLow) {
        messages::Show(messages::VersionTooLow, stop, entry.trakoVersion[0]);
    }
    if (verdict.flags & PatchTooLow) {
        messages::Show(messages::PatchTooLow, stop, entry.trakoVersion[0], entry.requiredPatch);
    }
    if (verdict.flags & PluginsMissing) {
        messages::Show(messages::PluginsMissing, stop, verdict.missingPlugins);
    }
}

}  // namespace requirements
