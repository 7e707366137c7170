#include "engine/tests/HostRegistration.h"

#include "tests/support/TestRegistry.h"

HostRegistration::HostRegistration() {
    testregistry::SetHostFolder(std::nullopt);
}

HostRegistration::HostRegistration(const std::string& folder) {
    testregistry::SetHostFolder(folder);
}

HostRegistration::HostRegistration(DWORD type, const std::string& bytes) {
    testregistry::SetHostFolder(std::nullopt);
    testregistry::SetValue(HKEY_LOCAL_MACHINE, kKeyPath, "AppPath", type, bytes);
}

HostRegistration::~HostRegistration() {
    testregistry::SetHostFolder(std::nullopt);
}
