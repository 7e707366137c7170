#include "engine/HostLocation.h"

#include <windows.h>

#include "engine/RegistryKey.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// A drive path ("C:\Host") or a share ("\\server\share"), as the header
// describes.
bool IsAbsoluteFolder(const std::string& folder) {
    const auto letter = static_cast<unsigned char>(folder[0]);
    if (folder.size() >= 3 && ((letter | 0x20) >= 'a' && (letter | 0x20) <= 'z') &&
        folder[1] == ':' && IsSeparator(folder[2])) {
        return true;
    }
    if (folder.size() < 2 || !IsSeparator(folder[0]) || !IsSeparator(folder[1])) return false;
    const size_t serverEnd = folder.find_first_of("\\/", 2);
    if (serverEnd == std::string::npos || serverEnd == 2) return false;
    const std::string server = folder.substr(2, serverEnd - 2);
    if (server == "." || server == "?") return false;
    const size_t shareEnd = folder.find_first_of("\\/", serverEnd + 1);
    return (shareEnd == std::string::npos ? folder.size() : shareEnd) > serverEnd + 1;
}

}  // namespace

HostLocation::HostLocation() {
    LocateHost();
}

void HostLocation::LocateHost() {
    RegistryKey key;
    if (!key.SetPath(HKEY_LOCAL_MACHINE, "Software\\Velmar\\KANTRA 8.00")) return;
    if (!key.Open(KEY_READ)) return;
    char folder[RegistryKey::kStringBufferSize];
    if (!key.ReadString("AppPath", folder)) return;
    const std::string path = folder;
    if (path.empty() || !IsAbsoluteFolder(path)) return;
    hostPath = path + "\\";
}
