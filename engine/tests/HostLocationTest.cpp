// Finding the host folder through its registration in the registry.
#include "engine/HostLocation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "engine/tests/HostRegistration.h"

namespace {

TEST(HostLocation, ReadsTheRegisteredFolderAndAppendsABackslash) {
    struct Case {
        const char* behaviour;
        DWORD type;
        std::string bytes;
        std::string hostPath;  // empty: not found
    };
    const std::string longest = "C:\\" + std::string(256, 'h');
    const Case cases[] = {
        {"plain folder", REG_SZ, std::string("C:\\Host\0", 8), "C:\\Host\\"},
        {"folder with backslash gets a second one", REG_SZ, std::string("C:\\Host\\\0", 9),
         "C:\\Host\\\\"},
        {"network share", REG_SZ, std::string("\\\\server\\share\0", 15), "\\\\server\\share\\"},
        {"expandable text is taken as stored: relative", REG_EXPAND_SZ,
         std::string("%SystemDrive%\\Host\0", 19), ""},
        {"longest text that fits", REG_SZ, longest + '\0', longest + "\\"},
        {"number", REG_DWORD, std::string("\x01\x00\x00\x00", 4), ""},
        {"binary", REG_BINARY, std::string("C:\\Host\0", 8), ""},
        {"empty text names no folder", REG_SZ, std::string("\0", 1), ""},
        {"relative folder", REG_SZ, std::string("Host\0", 5), ""},
        {"lone backslash: the host would be a network path", REG_SZ, std::string("\\\0", 2), ""},
        {"root of the current drive", REG_SZ, std::string("\\Host\0", 6), ""},
        {"drive-relative", REG_SZ, std::string("C:Host\0", 7), ""},
        {"server without a share", REG_SZ, std::string("\\\\server\0", 9), ""},
        {"device namespace", REG_SZ, std::string("\\\\?\\C:\\Host\0", 12), ""},
        {"too long for the buffer", REG_SZ, std::string(300, 'h') + '\0', ""},
        {"buffer full without terminator", REG_SZ, std::string(260, 'h'), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        HostRegistration registration(c.type, c.bytes);
        HostLocation location;
        EXPECT_EQ(c.hostPath, location.HostPath());
        EXPECT_EQ(!c.hostPath.empty(), location.HostFound());
    }
}

TEST(HostLocation, NotRegisteredMeansNotFound) {
    HostRegistration none;
    HostLocation location;
    EXPECT_FALSE(location.HostFound());
    EXPECT_EQ("", location.HostPath());
}

TEST(HostLocation, OtherValuesOfTheKeyDoNotCount) {
    HostRegistration none;
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, HostRegistration::kKeyPath, 0, nullptr, 0,
                              KEY_WRITE | KEY_WOW64_32KEY, nullptr, &key, nullptr));
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\Host"), 8);
    RegCloseKey(key);
    HostLocation location;
    EXPECT_FALSE(location.HostFound());
}

}  // namespace
