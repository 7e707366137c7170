// The automation helper against a small dialog program of its own
// (automation/sample): finding windows, reading texts and lists, selecting,
// answering message boxes, timeouts on a busy program, the system menu.
#include "automation/ChildProcess.h"
#include "automation/SystemMenu.h"
#include "automation/Utf8.h"
#include "automation/Wait.h"
#include "automation/WindowAction.h"
#include "automation/WindowQuery.h"
#include "automation/sample/SampleApp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace automation;

namespace {

constexpr DWORD kShowTimeoutMs = 10000;

std::string OwnFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

class SampleTest : public ::testing::Test {
protected:
    void SetUp() override {
        char display[256] = "";
        ASSERT_GT(GetEnvironmentVariableA("DISPLAY", display, sizeof display), 0u)
            << "the helper's tests need an X display (DISPLAY)";
        ASSERT_TRUE(sample.Start(OwnFolder() + "\\automation_sample.exe", "", ""));
        dialog = WaitFor(
            [&] { return FindDialog(sample.Id(), [](HWND w) { return !IsMessageBox(w); }); },
            kShowTimeoutMs);
        ASSERT_NE(dialog, nullptr) << Describe(sample.Id());
    }

    HWND WaitForMessageBox() {
        return WaitFor([&] { return FindDialog(sample.Id(), IsMessageBox); }, kShowTimeoutMs);
    }

    ChildProcess sample;
    HWND dialog = nullptr;
};

TEST_F(SampleTest, FindsTheDialogOfItsProcessOnly) {
    EXPECT_EQ(ClassName(dialog), kDialogClass);
    EXPECT_TRUE(IsDialog(dialog));
    EXPECT_FALSE(IsMessageBox(dialog)) << "an unnamed static (id -1) does not make a message box";
    EXPECT_EQ(WindowText(dialog), std::wstring(L"Automation Sample"));
    EXPECT_TRUE(TopLevelWindows(GetCurrentProcessId()).empty());
    EXPECT_EQ(FindDialog(GetCurrentProcessId(), [](HWND) { return true; }), nullptr);
    EXPECT_EQ(FindDialog(0, [&](HWND w) { return w == dialog; }), dialog);
}

TEST_F(SampleTest, ReadsListItemsSelectionAndControlTexts) {
    HWND list = GetDlgItem(dialog, SAMPLE_LIST);
    const std::vector<std::wstring> expected = {L"Erstes Paket", L"Zweites Paket",
                                                L"Drittes Paket"};
    EXPECT_EQ(ListItems(list), expected);
    EXPECT_EQ(ListSelection(list), 0);
    EXPECT_EQ(ControlText(dialog, SAMPLE_DESCRIPTION), std::wstring(L"Selected: Erstes Paket"));
    EXPECT_EQ(ControlText(dialog, IDCANCEL), std::wstring(L"Cancel"));
    EXPECT_EQ(ControlText(dialog, 4711), std::nullopt);
    EXPECT_EQ(ButtonIds(dialog), (std::vector<int>{SAMPLE_ASK, SAMPLE_BUSY, IDCANCEL}));
}

TEST_F(SampleTest, SelectingAnItemNotifiesTheDialogAsAClickWould) {
    struct Case {
        int index;
        const wchar_t* description;
    };
    for (const Case& c : {Case{2, L"Selected: Drittes Paket"}, Case{1, L"Selected: Zweites Paket"},
                          Case{0, L"Selected: Erstes Paket"}}) {
        ASSERT_TRUE(SelectListItem(dialog, SAMPLE_LIST, c.index));
        const auto shown = WaitFor(
            [&] { return ControlText(dialog, SAMPLE_DESCRIPTION) == std::wstring(c.description); },
            kShowTimeoutMs);
        EXPECT_TRUE(shown) << "item " << c.index << ": "
                           << Narrow(*ControlText(dialog, SAMPLE_DESCRIPTION));
        EXPECT_EQ(ListSelection(GetDlgItem(dialog, SAMPLE_LIST)), c.index);
    }
    EXPECT_FALSE(SelectListItem(dialog, SAMPLE_LIST, 3)) << "there is no fourth item";
    EXPECT_FALSE(SelectListItem(dialog, 4711, 0)) << "there is no such list";
}

TEST_F(SampleTest, AnswersAMessageBoxByButtonId) {
    struct Case {
        int button;
        const wchar_t* answer;
    };
    for (const Case& c :
         {Case{IDYES, L"Answer: 6"}, Case{IDNO, L"Answer: 7"}, Case{IDCANCEL, L"Answer: 2"}}) {
        ASSERT_TRUE(PressButton(dialog, SAMPLE_ASK));
        HWND box = WaitForMessageBox();
        ASSERT_NE(box, nullptr) << Describe(sample.Id());
        EXPECT_EQ(WindowText(box), std::wstring(L"Sample"));
        EXPECT_EQ(MessageBoxText(box), std::wstring(L"Keep the file?\n\tC:\\Host\\a.3dm"));
        EXPECT_EQ(ButtonIds(box), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
        EXPECT_EQ(MessageBoxHasIcon(box), false);
        EXPECT_FALSE(AnswerMessageBox(box, IDOK)) << "a Yes/No/Cancel box has no OK button";
        ASSERT_TRUE(AnswerMessageBox(box, c.button));
        EXPECT_TRUE(
            WaitFor([&] { return ControlText(dialog, SAMPLE_ANSWER) == std::wstring(c.answer); },
                    kShowTimeoutMs))
            << "button " << c.button;
        EXPECT_FALSE(IsWindow(box));
    }
    EXPECT_FALSE(AnswerMessageBox(dialog, IDCANCEL)) << "the dialog is not a message box";
}

TEST_F(SampleTest, ReadsFromABusyProgramTimeOutInsteadOfHanging) {
    ASSERT_TRUE(PressButton(dialog, SAMPLE_BUSY));
    Sleep(500);  // the sample is inside its three-second wait by now
    const DWORD start = GetTickCount();
    EXPECT_EQ(ListItems(GetDlgItem(dialog, SAMPLE_LIST)), std::nullopt);
    EXPECT_LT(GetTickCount() - start, kAnswerTimeoutMs + 500);
    HWND box = WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), std::wstring(L"Done"));
    EXPECT_EQ(ButtonIds(box), std::vector<int>{IDOK});
    EXPECT_EQ(MessageBoxHasIcon(box), true);
    EXPECT_TRUE(AnswerMessageBox(box, IDOK));
}

TEST_F(SampleTest, ReadsTheSystemMenuFromInsideTheProcess) {
    const auto items = ReadSystemMenu(dialog, kShowTimeoutMs);
    ASSERT_TRUE(items);
    ASSERT_GE(items->size(), 2u);
    const MenuItem& separator = (*items)[items->size() - 2];
    const MenuItem& about = items->back();
    EXPECT_TRUE(separator.separator);
    EXPECT_FALSE(about.separator);
    EXPECT_EQ(about.id, (UINT)SAMPLE_SYSCOMMAND_ABOUT);
    EXPECT_EQ(about.text, Widen(u8"&Info über Sample..."));
}

TEST_F(SampleTest, SystemCommandOpensTheAboutBox) {
    ASSERT_TRUE(ChooseSystemCommand(dialog, SAMPLE_SYSCOMMAND_ABOUT));
    HWND about =
        WaitFor([&] { return FindDialog(sample.Id(), [&](HWND w) { return w != dialog; }); },
                kShowTimeoutMs);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(WindowText(about), std::wstring(L"About Automation Sample"));
    EXPECT_EQ(ControlText(about, SAMPLE_ABOUT_TEXT), std::wstring(L"Automation Sample 1.0"));
    ASSERT_TRUE(PressButton(about, IDOK));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }, kShowTimeoutMs));
    EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(SampleTest, CancelEndsTheProgramWithItsResult) {
    ASSERT_TRUE(PressButton(dialog, IDCANCEL));
    ASSERT_TRUE(sample.WaitForExit(kShowTimeoutMs));
    EXPECT_EQ(sample.ExitCode(), (DWORD)IDCANCEL);
    EXPECT_TRUE(TopLevelWindows(sample.Id()).empty());
}

TEST(ChildProcessTest, ReportsAProgramThatCannotStart) {
    ChildProcess process;
    EXPECT_FALSE(process.Start("C:\\no\\such\\program.exe", "", ""));
    EXPECT_FALSE(process.Running());
    EXPECT_EQ(process.ExitCode(), (DWORD)STILL_ACTIVE);
}

}  // namespace
