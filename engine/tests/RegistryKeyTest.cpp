// RegistryKey against the real registry: each test writes its values below a
// key of its own in HKEY_CURRENT_USER and removes it afterwards.
#include "engine/RegistryKey.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TestRegistry.h"

namespace {

using testregistry::SetValue;

class RegistryKeyTest : public ::testing::Test {
protected:
    RegistryKeyTest()
        : path("Software\\PakwerkTests\\" + std::to_string(GetCurrentProcessId()) +
               "\\Maker\\Product") {
        testregistry::DeleteKey(HKEY_CURRENT_USER, path);
    }
    ~RegistryKeyTest() override {
        testregistry::DeleteKey(HKEY_CURRENT_USER, "Software\\PakwerkTests");
    }

    void Set(const char* name, DWORD type, const std::string& data) {
        SetValue(HKEY_CURRENT_USER, path, name, type, data);
    }

    // A key opened on the test's product key.
    void OpenProduct(RegistryKey& key) {
        ASSERT_TRUE(key.SetPath(HKEY_CURRENT_USER, path.c_str()));
        ASSERT_TRUE(key.Open(KEY_READ));
    }

    std::string path;
};

TEST(RegistryKeyPath, SplitsIntoNonEmptyComponents) {
    struct Case {
        const char* path;
        bool result;
        std::vector<std::string> components;
    };
    const Case cases[] = {
        {"Software\\Maker", true, {"Software", "Maker"}},
        {"\\Software\\\\Maker\\", true, {"Software", "Maker"}},
        {"Software\\Velmar\\KANTRA 8.00", true, {"Software", "Velmar", "KANTRA 8.00"}},
        {"Single", true, {"Single"}},
        {"", false, {}},
        {"\\\\\\", false, {}},
    };
    for (const Case& c : cases) {
        RegistryKey key;
        EXPECT_EQ(c.result, key.SetPath(HKEY_CURRENT_USER, c.path)) << c.path;
        EXPECT_EQ(c.components, key.PathComponents()) << c.path;
    }
}

TEST(RegistryKeyPath, NullPathIsRefusedAndForgetsTheOldPath) {
    RegistryKey key;
    ASSERT_TRUE(key.SetPath(HKEY_CURRENT_USER, "Software"));
    EXPECT_FALSE(key.SetPath(HKEY_CURRENT_USER, nullptr));
    EXPECT_TRUE(key.PathComponents().empty());
    EXPECT_FALSE(key.Open(KEY_READ));
}

TEST(RegistryKeyPath, EmptyPathCannotBeOpened) {
    RegistryKey key;
    EXPECT_FALSE(key.SetPath(HKEY_CURRENT_USER, ""));
    EXPECT_FALSE(key.Open(KEY_READ));
    EXPECT_FALSE(key.IsOpen());
}

TEST_F(RegistryKeyTest, OpensThroughTheComponentsAndReads) {
    Set("Number", REG_DWORD, std::string("\x78\x56\x34\x12", 4));
    RegistryKey key;
    ASSERT_TRUE(key.SetPath(HKEY_CURRENT_USER, ("\\" + path + "\\").c_str()));
    ASSERT_TRUE(key.Open(KEY_READ));
    EXPECT_TRUE(key.IsOpen());
    uint32_t number = 0;
    EXPECT_TRUE(key.ReadDword("Number", number));
    EXPECT_EQ(0x12345678u, number);
    EXPECT_TRUE(key.Close());
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(key.ReadDword("Number", number)) << "read after Close";
}

TEST_F(RegistryKeyTest, MissingKeyOnTheWayLeavesNothingOpen) {
    Set("Number", REG_DWORD, std::string(4, '\1'));
    RegistryKey key;
    ASSERT_TRUE(key.SetPath(HKEY_CURRENT_USER, (path + "\\Missing\\Deeper").c_str()));
    EXPECT_FALSE(key.Open(KEY_READ));
    EXPECT_FALSE(key.IsOpen());
    uint32_t number = 7;
    EXPECT_FALSE(key.ReadDword("Number", number));
    EXPECT_EQ(7u, number);
    // A failed Open after a good one closes the good one too.
    ASSERT_TRUE(key.SetPath(HKEY_CURRENT_USER, path.c_str()));
    ASSERT_TRUE(key.Open(KEY_READ));
    ASSERT_TRUE(key.SetPath(HKEY_CURRENT_USER, (path + "\\Missing").c_str()));
    EXPECT_FALSE(key.Open(KEY_READ));
    EXPECT_FALSE(key.ReadDword("Number", number));
}

TEST_F(RegistryKeyTest, ReadDwordTakesOnlyDwordTypes) {
    struct Case {
        const char* name;
        DWORD type;
        std::string data;
        bool result;
        uint32_t value;  // the destination afterwards; preset 0xDEADBEEF
    };
    const Case cases[] = {
        {"Dword", REG_DWORD, std::string("\x05\x00\x04\x00", 4), true, 0x40005},
        {"BigEndian", REG_DWORD_BIG_ENDIAN, std::string("\x00\x05\x00\x00", 4), true, 0x0500},
        {"Text", REG_SZ, std::string("5\0", 2), false, 0xDEADBEEF},
        {"Binary", REG_BINARY, std::string("\x01\x02\x03\x04", 4), false, 0xDEADBEEF},
        {"Qword", REG_QWORD, std::string(8, '\x01'), false, 0xDEADBEEF},
        {"Short", REG_DWORD, std::string("\x01\x02", 2), false, 0xDEADBEEF},
    };
    for (const Case& c : cases) Set(c.name, c.type, c.data);
    RegistryKey key;
    OpenProduct(key);
    for (const Case& c : cases) {
        uint32_t value = 0xDEADBEEF;
        EXPECT_EQ(c.result, key.ReadDword(c.name, value)) << c.name;
        EXPECT_EQ(c.value, value) << c.name;
    }
    uint32_t value = 0xDEADBEEF;
    EXPECT_FALSE(key.ReadDword("Missing", value));
    EXPECT_EQ(0xDEADBEEFu, value);
}

TEST_F(RegistryKeyTest, ReadStringTakesTextTypesAsStored) {
    struct Case {
        const char* name;
        DWORD type;
        std::string data;
        bool result;
        const char* text;
    };
    const Case cases[] = {
        {"Text", REG_SZ, std::string("C:\\Host\0", 8), true, "C:\\Host"},
        {"Expand", REG_EXPAND_SZ, std::string("%WINDIR%\\Host\0", 14), true, "%WINDIR%\\Host"},
        {"Multi", REG_MULTI_SZ, std::string("first\0second\0\0", 14), true, "first"},
        {"Empty", REG_SZ, std::string("\0", 1), true, ""},
        {"Unterminated", REG_SZ, std::string("C:\\Host", 7), true, "C:\\Host"},
        {"Dword", REG_DWORD, std::string("\x01\x00\x00\x00", 4), false, nullptr},
        {"Binary", REG_BINARY, std::string("C:\\Host\0", 8), false, nullptr},
        {"None", REG_NONE, std::string("C:\\Host\0", 8), false, nullptr},
    };
    for (const Case& c : cases) Set(c.name, c.type, c.data);
    RegistryKey key;
    OpenProduct(key);
    for (const Case& c : cases) {
        char buffer[RegistryKey::kStringBufferSize];
        EXPECT_EQ(c.result, key.ReadString(c.name, buffer)) << c.name;
        if (c.result) {
            EXPECT_STREQ(c.text, buffer) << c.name;
        }
    }
    char buffer[RegistryKey::kStringBufferSize];
    EXPECT_FALSE(key.ReadString("Missing", buffer));
}

TEST_F(RegistryKeyTest, ReadStringNeverHandsOutACutText) {
    const std::string longest(259, 'a');  // with its terminator exactly the buffer
    Set("Longest", REG_SZ, longest + '\0');
    Set("TooLong", REG_SZ, std::string(260, 'b') + '\0');
    Set("FullUnterminated", REG_SZ, std::string(260, 'c'));
    RegistryKey key;
    OpenProduct(key);
    char buffer[RegistryKey::kStringBufferSize];
    ASSERT_TRUE(key.ReadString("Longest", buffer));
    EXPECT_EQ(longest, buffer);
    EXPECT_FALSE(key.ReadString("TooLong", buffer));
    EXPECT_FALSE(key.ReadString("FullUnterminated", buffer));
}

TEST_F(RegistryKeyTest, CloseOfANeverOpenedKeySucceeds) {
    RegistryKey fresh;
    EXPECT_TRUE(fresh.Close());
    RegistryKey named;
    ASSERT_TRUE(named.SetPath(HKEY_CURRENT_USER, path.c_str()));
    EXPECT_TRUE(named.Close());
}

TEST(RegistryKeyRoots, ClassesRootShowsTheMachinesClasses) {
    const std::string classes =
        "Software\\Classes\\Software\\PakwerkTests" + std::to_string(GetCurrentProcessId());
    SetValue(HKEY_LOCAL_MACHINE, classes, "VERSION", REG_DWORD, std::string("\x00\x00\x05\x00", 4));
    RegistryKey key;
    ASSERT_TRUE(
        key.SetPath(HKEY_CLASSES_ROOT,
                    ("Software\\PakwerkTests" + std::to_string(GetCurrentProcessId())).c_str()));
    EXPECT_TRUE(key.Open(KEY_READ));
    uint32_t version = 0;
    EXPECT_TRUE(key.ReadDword("VERSION", version));
    EXPECT_EQ(0x50000u, version);
    key.Close();
    testregistry::DeleteKey(HKEY_LOCAL_MACHINE, classes);
}

}  // namespace
