// The simulator's profile: major version and plug-in flags derived from the
// registry values, and what is assumed when values are missing or odd.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/SimulatorProfile.h"
#include "tests/support/TestRegistry.h"

namespace {

TEST(SimulatorProfile, MajorVersionIsTheHighWordWithEveryOlderVersionCountingAs3) {
    struct Case {
        uint32_t version;
        uint32_t major;
    };
    const Case cases[] = {
        {0, 3},       {0x30000, 3}, {0x3FFFF, 3}, {0x40000, 4},         {0x4FFFF, 4},
        {0x50000, 5}, {0x50003, 5}, {0x60000, 6}, {0xFFFF0000, 0xFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.major, SimulatorProfile::FromValues(c.version, 0, 0).simulatorMajorVersion)
            << std::hex << c.version;
    }
}

TEST(SimulatorProfile, PluginFlagsFollowTheMaskBits) {
    const SimulatorProfile profile = SimulatorProfile::FromValues(0x50000, 0, 0x8001);
    EXPECT_EQ(0x8001, profile.pluginFlags[0]);
    for (uint32_t n = 1; n <= 20; ++n) {
        EXPECT_EQ(n == 1 || n == 16, profile.HasPlugin(n)) << "plug-in " << n;
    }
}

TEST(SimulatorProfile, MaskBitsAbove20NameNoPlugin) {
    const SimulatorProfile profile = SimulatorProfile::FromValues(0x50000, 0, 0xFFF00000);
    for (uint32_t n = 1; n <= 20; ++n) EXPECT_FALSE(profile.HasPlugin(n)) << "plug-in " << n;
}

TEST(SimulatorProfile, PluginZeroCountsAsPresentWhenAnyPluginIs) {
    EXPECT_TRUE(SimulatorProfile::FromValues(0x50000, 0, 0x4).HasPlugin(0));
    EXPECT_FALSE(SimulatorProfile::FromValues(0x50000, 0, 0).HasPlugin(0));
}

TEST(SimulatorProfile, NumbersBeyondTheFlagTableAreMissingEvenWithEveryBitSet) {
    const SimulatorProfile profile = SimulatorProfile::FromValues(0x50000, 0, 0xFFFFFFFF);
    EXPECT_TRUE(profile.HasPlugin(20));
    for (uint32_t n : {21u, 32u, 1000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        EXPECT_FALSE(profile.HasPlugin(n)) << n;
    }
}

// A key of this test program's own, so runs in parallel cannot meet.
class SimulatorProfileRegistry : public ::testing::Test {
protected:
    SimulatorProfileRegistry()
        : path("Software\\PakwerkTests\\Profile" + std::to_string(GetCurrentProcessId())) {
        testregistry::DeleteKey(HKEY_CURRENT_USER, path);
    }
    ~SimulatorProfileRegistry() override { testregistry::DeleteKey(HKEY_CURRENT_USER, path); }

    void SetDword(const char* name, uint32_t value, DWORD type = REG_DWORD) {
        testregistry::SetValue(HKEY_CURRENT_USER, path, name, type,
                               std::string(reinterpret_cast<const char*>(&value), sizeof value));
    }
    SimulatorProfile Read() const {
        return SimulatorProfile::Read(HKEY_CURRENT_USER, path.c_str());
    }

    const std::string path;
};

TEST_F(SimulatorProfileRegistry, ValuesAreReadFromTheKey) {
    SetDword("VERSION", 0x50000);
    SetDword("Patch", 3);
    SetDword("Plugin", 0x5);
    const SimulatorProfile profile = Read();
    EXPECT_EQ(0x50000u, profile.simulatorVersion);
    EXPECT_EQ(5u, profile.simulatorMajorVersion);
    EXPECT_EQ(3u, profile.simulatorPatch);
    EXPECT_EQ(0x5u, profile.pluginMask);
    EXPECT_TRUE(profile.HasPlugin(1));
    EXPECT_FALSE(profile.HasPlugin(2));
    EXPECT_TRUE(profile.HasPlugin(3));
}

TEST_F(SimulatorProfileRegistry, MissingKeyGivesVersion4WithoutPatchOrPlugins) {
    const SimulatorProfile profile = Read();
    EXPECT_EQ(0x40000u, profile.simulatorVersion);
    EXPECT_EQ(4u, profile.simulatorMajorVersion);
    EXPECT_EQ(0u, profile.simulatorPatch);
    EXPECT_EQ(0u, profile.pluginMask);
    for (int32_t flag : profile.pluginFlags) EXPECT_EQ(0, flag);
}

TEST_F(SimulatorProfileRegistry, EachMissingOrMistypedValueKeepsOnlyItsOwnPreset) {
    testregistry::SetText(HKEY_CURRENT_USER, path, "VERSION", "5.0");
    SetDword("Plugin", 0x2);
    const SimulatorProfile profile = Read();
    EXPECT_EQ(4u, profile.simulatorMajorVersion);
    EXPECT_EQ(0u, profile.simulatorPatch);
    EXPECT_TRUE(profile.HasPlugin(2));
}

}  // namespace
