#include "app/SimulatorProfile.h"

#include "engine/RegistryKey.h"

namespace {

constexpr uint32_t kOldestMajorVersion = 3;

}  // namespace

SimulatorProfile SimulatorProfile::FromValues(uint32_t version, uint32_t patch,
                                              uint32_t pluginMask) {
    SimulatorProfile profile;
    profile.simulatorVersion = version;
    profile.simulatorPatch = patch;
    profile.pluginMask = pluginMask;
    profile.pluginFlags[0] = static_cast<int32_t>(pluginMask);
    for (int32_t n = 1; n <= kHighestPlugin; ++n) {
        profile.pluginFlags[n] = static_cast<int32_t>((pluginMask >> (n - 1)) & 1);
    }
    profile.simulatorMajorVersion =
        version < kPresetVersion ? kOldestMajorVersion : version / 0x10000;
    return profile;
}

SimulatorProfile SimulatorProfile::Read(HKEY root, const char* path) {
    uint32_t version = kPresetVersion;
    uint32_t patch = 0;
    uint32_t pluginMask = 0;
    RegistryKey key;
    if (key.SetPath(root, path) && key.Open(KEY_READ)) {
        // Each read leaves its preset when the value is missing or not a number.
        key.ReadDword("VERSION", version);
        key.ReadDword("Patch", patch);
        key.ReadDword("Plugin", pluginMask);
    }
    key.Close();
    return FromValues(version, patch, pluginMask);
}

bool SimulatorProfile::HasPlugin(uint32_t number) const {
    if (number > static_cast<uint32_t>(kHighestPlugin)) return false;
    return pluginFlags[number] != 0;
}
