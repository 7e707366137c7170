#include "engine/tests/HostRegistration.h"

#include "engine/tests/TestRegistry.h"

namespace {

void Remove() {
  testregistry::DeleteKey(HKEY_LOCAL_MACHINE, HostRegistration::kKeyPath);
  HKEY software = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                    &software) == ERROR_SUCCESS) {
    // Fails while the maker key holds other keys: those stay.
    RegDeleteKeyExA(software, "Velmar", KEY_WOW64_32KEY, 0);
    RegCloseKey(software);
  }
}

}  // namespace

HostRegistration::HostRegistration() { Remove(); }

HostRegistration::HostRegistration(const std::string& folder) {
  Remove();
  testregistry::SetText(HKEY_LOCAL_MACHINE, kKeyPath, "AppPath", folder);
}

HostRegistration::HostRegistration(DWORD type, const std::string& bytes) {
  Remove();
  testregistry::SetValue(HKEY_LOCAL_MACHINE, kKeyPath, "AppPath", type, bytes);
}

HostRegistration::~HostRegistration() { Remove(); }
