// The host program's registration ("AppPath" under
// HKEY_LOCAL_MACHINE\Software\Velmar\KANTRA 8.00) for the time of one test.
// The key is removed again when the object goes away, and also before it is
// written, so no earlier run's value can leak in. Tests that use it hold the
// CTest resource lock "pakwerk-registry".
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/TestRegistry.h"

class HostRegistration {
public:
    // No registration at all.
    HostRegistration();
    // "AppPath" holding `folder` as REG_SZ.
    explicit HostRegistration(const std::string& folder);
    // "AppPath" with any type and exactly these bytes.
    HostRegistration(DWORD type, const std::string& bytes);
    ~HostRegistration();
    HostRegistration(const HostRegistration&) = delete;
    HostRegistration& operator=(const HostRegistration&) = delete;

    static constexpr const char* kKeyPath = testregistry::kHostKey;
};
