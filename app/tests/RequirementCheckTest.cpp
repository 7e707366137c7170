// Judging a package against the simulator, and the refusal messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "app/RequirementCheck.h"
#include "app/tests/ScriptedMessageBox.h"

namespace {

using requirements::PatchTooLow;
using requirements::PluginsMissing;
using requirements::VersionTooLow;

// An entry as the catalogue reader leaves it: version list, derived plug-in
// count, and the minimum version 3.
CatalogueEntry Entry(std::initializer_list<uint32_t> trakoVersion, uint32_t patch = 0) {
    CatalogueEntry entry;
    int i = 0;
    for (uint32_t value : trakoVersion) entry.trakoVersion[i++] = value;
    for (int j = 1; j < 20; ++j) {
        if (entry.trakoVersion[j] != 0) ++entry.pluginCount;
    }
    if (entry.trakoVersion[0] < 3) entry.trakoVersion[0] = 3;
    entry.requiredPatch = patch;
    return entry;
}

struct Case {
    const char* behaviour;
    uint32_t simulatorVersion;
    uint32_t simulatorPatch;
    uint32_t pluginMask;
    CatalogueEntry entry;
    uint32_t flags;
    const char* missingPlugins;
};

TEST(RequirementCheck, Verdicts) {
    const Case cases[] = {
        {"version 2 means 3: accepted by the oldest simulator", 0x30000, 0, 0, Entry({2}), 0, ""},
        {"no version at all: accepted by the oldest simulator", 0, 0, 0, Entry({}), 0, ""},
        {"newer version required", 0x50000, 0, 0, Entry({6}), VersionTooLow, ""},
        {"a missing VERSION value counts as 4", 0x40000, 0, 0, Entry({5}), VersionTooLow, ""},
        {"version 4 never asks for a patch", 0x40000, 2, 0, Entry({4}, 7), 0, ""},
        {"patch too low on version 5", 0x50000, 1, 0, Entry({5}, 3), PatchTooLow, ""},
        {"patch just enough", 0x50000, 3, 0, Entry({5}, 3), 0, ""},
        {"patch too low on version 6", 0x60000, 0, 0, Entry({6}, 1), PatchTooLow, ""},
        {"a newer simulator skips the patch", 0x60000, 0, 0, Entry({5}, 9), 0, ""},
        {"one plug-in missing", 0x50000, 0, 0x3, Entry({5, 3}), PluginsMissing, "3 "},
        {"the second of two missing", 0x50000, 0, 0x2, Entry({5, 2, 7}), PluginsMissing, "7 "},
        {"both missing", 0x50000, 0, 0, Entry({5, 2, 7}), PluginsMissing, "2,7 "},
        {"all present", 0x50000, 0, 0x42, Entry({5, 2, 7}), 0, ""},
        {"plug-in 20 is the highest bit", 0x50000, 0, 0x80000, Entry({5, 20}), 0, ""},
        {"a newer simulator skips the plug-ins", 0x60000, 0, 0, Entry({5, 2, 7}), 0, ""},
        {"plug-ins count only for version 5", 0x60000, 0, 0, Entry({6, 2}), 0, ""},
        {"an older simulator hears only of the version", 0x40000, 0, 0, Entry({5, 2}, 4),
         VersionTooLow, ""},
        {"missing plug-ins silence the patch", 0x50000, 1, 0, Entry({5, 3}, 9), PluginsMissing,
         "3 "},
        {"plug-ins present, patch still too low", 0x50000, 1, 0x4, Entry({5, 3}, 9), PatchTooLow,
         ""},
        {"plug-in 0 is present when any plug-in is", 0x50000, 0, 0x1, Entry({5, 0, 7}), 0, ""},
        {"plug-in 21 lies beyond the table", 0x50000, 0, 0xFFFFFFFF, Entry({5, 21}), PluginsMissing,
         "21 "},
        {"a huge plug-in number lies beyond the table", 0x50000, 0, 0xFFFFFFFF,
         Entry({5, 1, 100000}), PluginsMissing, "100000 "},
        {"a negative number in the catalogue stays readable", 0x50000, 0, 0xFFFFFFFF,
         Entry({5, 0xFFFFFFFF}), PluginsMissing, "-1 "},
    };
    for (const Case& c : cases) {
        const SimulatorProfile profile =
            SimulatorProfile::FromValues(c.simulatorVersion, c.simulatorPatch, c.pluginMask);
        const requirements::Verdict verdict = requirements::Check(profile, c.entry);
        EXPECT_EQ(c.flags, verdict.flags) << c.behaviour;
        EXPECT_EQ(c.missingPlugins, verdict.missingPlugins) << c.behaviour;
    }
}

// The walk takes as many numbers from the front of the list as the list has
// non-zero ones, so a 0 in front hides the last number.
TEST(RequirementCheck, PluginWalkTakesPluginCountNumbersFromTheFront) {
    const SimulatorProfile profile = SimulatorProfile::FromValues(0x50000, 0, 0);
    const requirements::Verdict verdict = requirements::Check(profile, Entry({5, 0, 7}));
    EXPECT_EQ(PluginsMissing, verdict.flags);
    EXPECT_EQ("0 ", verdict.missingPlugins);
}

class RefusalMessages : public ::testing::Test {
protected:
    // The one box shown for a refusal of `entry` on this simulator.
    ShownBox Refuse(uint32_t version, uint32_t patch, uint32_t mask, const CatalogueEntry& entry) {
        const requirements::Verdict verdict =
            requirements::Check(SimulatorProfile::FromValues(version, patch, mask), entry);
        requirements::ShowRefusals(verdict, entry);
        EXPECT_EQ(1u, boxes.Shown().size());
        if (boxes.Shown().empty()) return {};
        return boxes.Shown().front();
    }

    ScriptedMessageBox boxes;
};

// The refusal texts are German in every language.
constexpr const char* kOpening =
    "Zur korrekten Darstellung der Inhalte des Artikels wird die Installation\n";

TEST_F(RefusalMessages, VersionMessageNamesTheRequiredVersion) {
    const ShownBox box = Refuse(0x50000, 0, 0, Entry({6}));
    EXPECT_EQ(0u, box.text.find(kOpening)) << box.text;
    EXPECT_NE(std::string::npos, box.text.find("\nvon Trako 6.0 dringend vorausgesetzt!\n"))
        << box.text;
    EXPECT_EQ(static_cast<unsigned>(MB_OK | MB_ICONHAND), box.flags);
}

TEST_F(RefusalMessages, PatchMessageNamesVersionAndPatch) {
    const ShownBox box = Refuse(0x50000, 1, 0, Entry({5}, 3));
    EXPECT_EQ(0u, box.text.find(kOpening)) << box.text;
    EXPECT_NE(std::string::npos,
              box.text.find("\nvon Trako 5.0 mit dem Patch 3 dringend vorausgesetzt!\n"))
        << box.text;
    EXPECT_EQ(static_cast<unsigned>(MB_OK | MB_ICONHAND), box.flags);
}

TEST_F(RefusalMessages, PluginMessageListsTheMissingPluginsBeforeOneBlank) {
    const ShownBox box = Refuse(0x50000, 0, 0, Entry({5, 2, 7}));
    EXPECT_EQ(0u, box.text.find(kOpening)) << box.text;
    EXPECT_NE(std::string::npos,
              box.text.find("\nvon Trako 5.0 mit Plug-in 2,7 dringend vorausgesetzt!\n"))
        << box.text;
    EXPECT_EQ(static_cast<unsigned>(MB_OK | MB_ICONHAND), box.flags);
}

TEST_F(RefusalMessages, AcceptedPackageShowsNothing) {
    const CatalogueEntry entry = Entry({5, 2}, 1);
    const requirements::Verdict verdict =
        requirements::Check(SimulatorProfile::FromValues(0x50000, 1, 0x2), entry);
    requirements::ShowRefusals(verdict, entry);
    EXPECT_TRUE(boxes.Shown().empty());
}

}  // namespace
