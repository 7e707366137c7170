// The registry as the installer finds it on a user's machine, set up in the
// test prefix: where the host program is installed and what the railway
// simulator says about itself. Written in the 32-bit view, which is the one
// the 32-bit installer reads.
//
// Every function returns true when the registry holds what was asked for.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace hostregistry {

// HKLM\Software\Velmar\KANTRA 8.00, value "AppPath"; std::nullopt removes the
// host's key, as on a machine without the host program.
bool SetHostFolder(const std::optional<std::string>& folder);

struct SimulatorProfile {
  std::optional<DWORD> version;  // "VERSION", major version in the high 16 bits
  std::optional<DWORD> patch;    // "Patch"
  std::optional<DWORD> plugins;  // "Plugin", bit n-1 for plug-in n
};

// HKCR\Software\Orvana\TRKX with exactly the values given; a profile without
// values removes the key.
bool SetSimulatorProfile(const SimulatorProfile& profile);

// Removes both keys.
bool Clear();

}  // namespace hostregistry
