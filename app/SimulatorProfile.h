// What the railway simulator records about itself in the registry: its
// version, patch level and installed plug-ins, as start-up judges packages
// by them.
//
// The values "VERSION", "Patch" and "Plugin" stand under
// HKEY_CLASSES_ROOT\Software\Orvana\TRKX. A value that is missing or not a
// number, or a key that cannot be opened, leaves its preset: version
// 0x40000 (major version 4), patch 0, no plug-ins. Reading never fails and
// shows nothing.
//
// The major version is the high 16 bits of "VERSION", but every version
// below 0x40000 counts as 3. pluginFlags[n] is 1 when plug-in n (1..20) is
// installed, that is bit n-1 of "Plugin" is set; pluginFlags[0] holds the
// whole mask, so a plug-in numbered 0 counts as present when any is.
#pragma once

#include <windows.h>

#include <cstdint>

struct SimulatorProfile {
    static constexpr uint32_t kPresetVersion = 0x40000;
    static constexpr int32_t kHighestPlugin = 20;

    uint32_t simulatorVersion = kPresetVersion;
    uint32_t simulatorMajorVersion = 4;
    uint32_t simulatorPatch = 0;
    uint32_t pluginMask = 0;
    int32_t pluginFlags[kHighestPlugin + 1] = {};

    // The profile of a simulator with these three registry values.
    static SimulatorProfile FromValues(uint32_t version, uint32_t patch, uint32_t pluginMask);

    // The profile recorded under `root`\`path` (the simulator's own key unless
    // a test names another).
    static SimulatorProfile Read(HKEY root = HKEY_CLASSES_ROOT,
                                 const char* path = "Software\\Orvana\\TRKX");

    // True when plug-in `number` counts as installed. A number outside the
    // flag table (0..20) names no plug-in the simulator can record: missing.
    bool HasPlugin(uint32_t number) const;
};
