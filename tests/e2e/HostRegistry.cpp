#include "e2e/HostRegistry.h"

namespace hostregistry {
namespace {

constexpr const char* kHostKey = "Software\\Velmar\\KANTRA 8.00";
constexpr const char* kSimulatorKey = "Software\\Orvana\\TRKX";

bool RemoveKey(HKEY root, const char* path) {
  const LONG result = RegDeleteTreeA(root, path);
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) return false;
  HKEY probe = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_READ | KEY_WOW64_32KEY, &probe) == ERROR_SUCCESS) {
    RegCloseKey(probe);
    return false;
  }
  return true;
}

HKEY CreateKey(HKEY root, const char* path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

bool SetDword(HKEY key, const char* name, const std::optional<DWORD>& value) {
  if (!value) return true;
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*value), sizeof(DWORD)) ==
         ERROR_SUCCESS;
}

}  // namespace

bool SetHostFolder(const std::optional<std::string>& folder) {
  if (!RemoveKey(HKEY_LOCAL_MACHINE, kHostKey)) return false;
  if (!folder) return true;
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kHostKey);
  if (!key) return false;
  const bool ok = RegSetValueExA(key, "AppPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder->c_str()),
                                 static_cast<DWORD>(folder->size()) + 1) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

bool SetSimulatorProfile(const SimulatorProfile& profile) {
  if (!RemoveKey(HKEY_CLASSES_ROOT, kSimulatorKey)) return false;
  if (!profile.version && !profile.patch && !profile.plugins) return true;
  HKEY key = CreateKey(HKEY_CLASSES_ROOT, kSimulatorKey);
  if (!key) return false;
  const bool ok = SetDword(key, "VERSION", profile.version) && SetDword(key, "Patch", profile.patch) &&
                  SetDword(key, "Plugin", profile.plugins);
  RegCloseKey(key);
  return ok;
}

bool Clear() { return SetHostFolder(std::nullopt) && SetSimulatorProfile({}); }

}  // namespace hostregistry
