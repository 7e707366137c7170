// The registry as the tests need it, written in the 32-bit view that the
// 32-bit program reads: single values, whole keys, and the two registrations
// the program looks for, as they stand on a user's machine. Every function
// fails the current test (ADD_FAILURE) when the registry refuses, and then
// returns false; otherwise true.
//
// Tests that write the host's or the simulator's key share them with every
// other test program of the build (one Wine prefix): they hold the CTest
// resource lock "pakwerk-registry".
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace testregistry {

// Creates the key as needed and stores exactly `data` under `name` with `type`.
bool SetValue(HKEY root, const std::string& path, const char* name, DWORD type,
              const std::string& data);

// A REG_SZ value with its terminator.
bool SetText(HKEY root, const std::string& path, const char* name, const std::string& text);

// Removes the key with its values and subkeys; a missing key is fine.
bool DeleteKey(HKEY root, const std::string& path);

// Where the host program is installed: HKLM\Software\Velmar\KANTRA 8.00,
// value "AppPath".
inline constexpr const char* kHostKey = "Software\\Velmar\\KANTRA 8.00";

// The host's key holding only "AppPath" as REG_SZ; std::nullopt removes it,
// as on a machine without the host program. The maker's key goes with it
// when it holds nothing else.
bool SetHostFolder(const std::optional<std::string>& folder);

// What the railway simulator says about itself: HKCR\Software\Orvana\TRKX.
struct SimulatorProfile {
    std::optional<DWORD> version;  // "VERSION", major version in the high 16 bits
    std::optional<DWORD> patch;    // "Patch"
    std::optional<DWORD> plugins;  // "Plugin", bit n-1 for plug-in n
};

// The simulator's key with exactly the values given; a profile without
// values removes the key.
bool SetSimulatorProfile(const SimulatorProfile& profile);

// Removes the host's and the simulator's key.
bool Clear();

}  // namespace testregistry
