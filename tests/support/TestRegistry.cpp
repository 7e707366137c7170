#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

namespace testregistry {

namespace {

constexpr const char* kSimulatorKey = "Software\\Orvana\\TRKX";

bool SetNumber(HKEY root, const char* path, const char* name, const std::optional<DWORD>& value) {
    if (!value) return true;
    const std::string bytes(reinterpret_cast<const char*>(&*value), sizeof(DWORD));
    return SetValue(root, path, name, REG_DWORD, bytes);
}

}  // namespace

bool SetValue(HKEY root, const std::string& path, const char* name, DWORD type,
              const std::string& data) {
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY,
                                  nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot create key " << path << ", error " << result;
        return false;
    }
    // The registry counts in a terminator that follows the data although the
    // size leaves it out; a byte other than 0 after the data keeps the size exact.
    const std::string guarded = data + 'X';
    result = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(guarded.data()),
                            static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot set " << name << ", error " << result;
        return false;
    }
    return true;
}

bool SetText(HKEY root, const std::string& path, const char* name, const std::string& text) {
    return SetValue(root, path, name, REG_SZ, text + '\0');
}

bool DeleteKey(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS) {
        return true;
    }
    char name[256];
    bool deleted = true;
    for (;;) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        if (!DeleteKey(root, path + "\\" + name)) {
            deleted = false;
            break;
        }
    }
    RegCloseKey(key);
    if (!deleted) return false;
    LONG result = RegDeleteKeyExA(root, path.c_str(), KEY_WOW64_32KEY, 0);
    if (result != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot delete key " << path << ", error " << result;
        return false;
    }
    return true;
}

bool SetHostFolder(const std::optional<std::string>& folder) {
    if (!DeleteKey(HKEY_LOCAL_MACHINE, kHostKey)) return false;
    HKEY software = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                      &software) == ERROR_SUCCESS) {
        // Fails while the maker key holds other keys: those stay.
        RegDeleteKeyExA(software, "Velmar", KEY_WOW64_32KEY, 0);
        RegCloseKey(software);
    }
    return !folder || SetText(HKEY_LOCAL_MACHINE, kHostKey, "AppPath", *folder);
}

bool SetSimulatorProfile(const SimulatorProfile& profile) {
    if (!DeleteKey(HKEY_CLASSES_ROOT, kSimulatorKey)) return false;
    if (!profile.version && !profile.patch && !profile.plugins) return true;
    return SetNumber(HKEY_CLASSES_ROOT, kSimulatorKey, "VERSION", profile.version) &&
           SetNumber(HKEY_CLASSES_ROOT, kSimulatorKey, "Patch", profile.patch) &&
           SetNumber(HKEY_CLASSES_ROOT, kSimulatorKey, "Plugin", profile.plugins);
}

bool Clear() {
    return SetHostFolder(std::nullopt) && SetSimulatorProfile({});
}

}  // namespace testregistry
