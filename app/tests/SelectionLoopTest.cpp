// The order of choices, refusals and the installation in catalogue mode.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/SelectionLoop.h"
#include "app/tests/ScriptedMessageBox.h"

namespace {

constexpr int32_t kCancel = -100;

// Plays the user at the selection dialog: each choice is a position to
// confirm, or kCancel.
class SelectionLoop : public ::testing::Test {
protected:
    SelectionLoop() {
        catalogue.entryCount = 3;
        catalogue.entries[0].name = "acceptable";
        catalogue.entries[0].trakoVersion[0] = 4;
        catalogue.entries[1].name = "needs version 6";
        catalogue.entries[1].trakoVersion[0] = 6;
        catalogue.entries[2].name = "needs plug-in 3 and patch 9";
        catalogue.entries[2].trakoVersion[0] = 5;
        catalogue.entries[2].trakoVersion[1] = 3;
        catalogue.entries[2].pluginCount = 1;
        catalogue.entries[2].requiredPatch = 9;
    }

    selectionloop::Outcome Run(std::vector<int32_t> script) {
        choices = std::move(script);
        return selectionloop::Run(
            catalogue, profile,
            [this] {
                ++dialogsShown;
                if (next >= choices.size() || choices[next] == kCancel) return false;
                catalogue.selectedIndex = choices[next++];
                return true;
            },
            [this] { installedIndexes.push_back(catalogue.selectedIndex); });
    }

    std::vector<std::string> ShownTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : boxes.Shown()) texts.push_back(box.text);
        return texts;
    }

    ScriptedMessageBox boxes;
    InstallCatalogue catalogue;
    SimulatorProfile profile = SimulatorProfile::FromValues(0x50000, 1, 0);
    std::vector<int32_t> choices;
    size_t next = 0;
    int dialogsShown = 0;
    std::vector<int32_t> installedIndexes;
};

TEST_F(SelectionLoop, AcceptedChoiceIsInstalledAtOnce) {
    EXPECT_EQ(selectionloop::Outcome::Installed, Run({0}));
    EXPECT_EQ(1, dialogsShown);
    EXPECT_EQ(std::vector<int32_t>{0}, installedIndexes);
    EXPECT_TRUE(ShownTexts().empty());
}

TEST_F(SelectionLoop, CancelEndsWithoutInstallingOrMessages) {
    EXPECT_EQ(selectionloop::Outcome::Cancelled, Run({kCancel}));
    EXPECT_EQ(1, dialogsShown);
    EXPECT_TRUE(installedIndexes.empty());
    EXPECT_TRUE(ShownTexts().empty());
}

TEST_F(SelectionLoop, RefusalExplainsAndOffersTheChoiceAgain) {
    EXPECT_EQ(selectionloop::Outcome::Installed, Run({1, 2, 0}));
    EXPECT_EQ(3, dialogsShown);
    EXPECT_EQ(std::vector<int32_t>{0}, installedIndexes);
    const std::vector<std::string> texts = ShownTexts();
    ASSERT_EQ(2u, texts.size()) << "one message per refused choice";
    EXPECT_NE(std::string::npos, texts[0].find("von Trako 6.0 dringend")) << texts[0];
    EXPECT_NE(std::string::npos, texts[1].find("mit Plug-in 3 dringend")) << texts[1];
    for (const auto& box : boxes.Shown()) {
        EXPECT_EQ(static_cast<unsigned>(MB_OK | MB_ICONHAND), box.flags);
    }
}

TEST_F(SelectionLoop, CancelAfterARefusalEndsWithoutInstalling) {
    EXPECT_EQ(selectionloop::Outcome::Cancelled, Run({1, kCancel}));
    EXPECT_EQ(2, dialogsShown);
    EXPECT_TRUE(installedIndexes.empty());
    EXPECT_EQ(1u, ShownTexts().size());
}

TEST_F(SelectionLoop, ConfirmingAnEmptyListEndsLikeCancel) {
    catalogue.entryCount = 0;
    EXPECT_EQ(selectionloop::Outcome::Cancelled, Run({-1}));
    EXPECT_EQ(1, dialogsShown);
    EXPECT_TRUE(installedIndexes.empty());
    EXPECT_TRUE(ShownTexts().empty());
}

}  // namespace
