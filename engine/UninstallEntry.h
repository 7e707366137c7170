// The entry of a restore point in Windows' list of installed programs:
// the key "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pakwerk <id>"
// of HKEY_LOCAL_MACHINE, in the 32-bit registry view where the program's
// other keys are read (RegistryKey.h). Its UninstallString opens the restore
// program's window on that restore point, which restores after a yes.
//
//   KeyPath  the key's path below HKEY_LOCAL_MACHINE
//   Write    true when the key holds every value afterwards (values written
//            before a failure stay)
//   Remove   true when the key is gone afterwards (also when it never was)
#pragma once

#include <cstdint>
#include <string>

namespace uninstallentry {

struct Entry {
    std::string displayName;
    std::string publisher;
    std::string installDate;  // YYYYMMDD
    std::string displayIcon;
    std::string uninstallString;
    uint32_t estimatedSizeKb = 0;
};

std::string KeyPath(const std::string& id);
bool Write(const std::string& id, const Entry& entry);
bool Remove(const std::string& id);

}  // namespace uninstallentry
