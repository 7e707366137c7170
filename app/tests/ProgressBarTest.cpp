// The install dialog's progress bar as the installation's ProgressSink.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/dialogs/ProgressBar.h"

namespace {

class ProgressBarTest : public ::testing::Test {
protected:
    ProgressBarTest() {
        InitCommonControls();
        // Visible: Windows keeps no update region for a hidden window.
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 20, parent,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
        progress.Attach(bar);
    }
    ~ProgressBarTest() override { DestroyWindow(parent); }

    void SetUp() override {
        ASSERT_NE(nullptr, bar) << "windows need a display: run with DISPLAY set (Xvfb)";
    }

    bool ParentInvalidated() const { return GetUpdateRect(parent, nullptr, FALSE) != FALSE; }

    HWND parent = nullptr;
    HWND bar = nullptr;
    ProgressBar progress;
};

TEST_F(ProgressBarTest, EveryHundredAndFirstPositionRepaintsTheDialog) {
    ValidateRect(parent, nullptr);
    for (int call = 1; call <= 100; ++call) {
        progress.SetPos(call % 5);
        ASSERT_FALSE(ParentInvalidated()) << "call " << call;
    }
    progress.SetPos(1);
    EXPECT_TRUE(ParentInvalidated()) << "call 101";

    ValidateRect(parent, nullptr);
    for (int call = 1; call <= 100; ++call) progress.SetPos(2);
    EXPECT_FALSE(ParentInvalidated());
    progress.SetPos(2);
    EXPECT_TRUE(ParentInvalidated()) << "call 202";
}

TEST_F(ProgressBarTest, OperationsReachTheBar) {
    EXPECT_TRUE(progress.SetRange(0, 4));
    int32_t lower = -1;
    int32_t upper = -1;
    progress.GetRange(lower, upper);
    EXPECT_EQ(0, lower);
    EXPECT_EQ(4, upper);

    EXPECT_TRUE(progress.SetPos(1));
    EXPECT_EQ(1, progress.GetPos());
    EXPECT_EQ(1, progress.OffsetPos(2)) << "the position before the move";
    EXPECT_EQ(3, progress.GetPos());
    progress.SetStep(1);
    EXPECT_EQ(1, progress.SetStep(1)) << "the previous step";
    EXPECT_EQ(3, progress.StepIt()) << "the position before the step";
    EXPECT_EQ(4, progress.GetPos());
}

TEST_F(ProgressBarTest, TextsGoOnlyToAttachedTargets) {
    HWND label = CreateWindowExA(0, "STATIC", "before", WS_CHILD, 0, 40, 100, 20, parent, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, label);
    EXPECT_TRUE(progress.SetText1("nowhere"));
    EXPECT_TRUE(progress.SetText3("nowhere"));
    progress.SetTextTarget(2, label);
    EXPECT_TRUE(progress.SetText2("after"));
    char text[32] = {};
    GetWindowTextA(label, text, sizeof text);
    EXPECT_STREQ("after", text);
}

TEST(ProgressBarWithoutWindow, DoesNothingAndSaysSo) {
    ProgressBar progress;
    EXPECT_TRUE(progress.SetRange(0, 4));
    EXPECT_TRUE(progress.SetPos(3));
    EXPECT_EQ(0, progress.GetPos());
    EXPECT_TRUE(progress.SetText1("x"));
}

}  // namespace
