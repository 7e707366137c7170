#include "engine/HostLocation.h"

#include <windows.h>

#include "engine/RegistryKey.h"

HostLocation::HostLocation() {
    LocateHost();
}

void HostLocation::LocateHost() {
    RegistryKey key;
    if (!key.SetPath(HKEY_LOCAL_MACHINE, "Software\\Velmar\\KANTRA 8.00")) return;
    if (!key.Open(KEY_READ)) return;
    char folder[RegistryKey::kStringBufferSize];
    if (!key.ReadString("AppPath", folder)) return;
    // An empty value names no folder; "\" alone would put the host at the
    // root of the current drive.
    if (folder[0] == '\0') return;
    hostPath = std::string(folder) + "\\";
}
