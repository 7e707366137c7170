#include "engine/UninstallEntry.h"

#include <windows.h>

namespace uninstallentry {

namespace {

bool SetString(HKEY key, const char* name, const std::string& value) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size()) + 1) == ERROR_SUCCESS;
}

bool SetDword(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

}  // namespace

std::string KeyPath(const std::string& id) {
    return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pakwerk " + id;
}

bool Write(const std::string& id, const Entry& entry) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath(id).c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool written = SetString(key, "DisplayName", entry.displayName) &&
                         SetString(key, "Publisher", entry.publisher) &&
                         SetString(key, "InstallDate", entry.installDate) &&
                         SetString(key, "DisplayIcon", entry.displayIcon) &&
                         SetString(key, "UninstallString", entry.uninstallString) &&
                         SetDword(key, "EstimatedSize", entry.estimatedSizeKb) &&
                         SetDword(key, "NoModify", 1) && SetDword(key, "NoRepair", 1);
    RegCloseKey(key);
    return written;
}

bool Remove(const std::string& id) {
    const LSTATUS status =
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, KeyPath(id).c_str(), KEY_WOW64_32KEY, 0);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace uninstallentry
