// Single-package mode from the user's first look to the result: the install
// dialog in the system's language, installing on a click, cancelling, a
// machine without the host program, a package without its script.
#include "automation/Utf8.h"
#include "automation/Wait.h"
#include "automation/WindowAction.h"
#include "automation/WindowQuery.h"
#include "e2e/ExpectedTexts.h"
#include "e2e/FlowTest.h"

#include <algorithm>
#include <string>
#include <vector>

using automation::ProgramWindow;
using expected::Text;
namespace control = automation::control;

namespace {

class SinglePackage : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        Prepare(Scenario::Package::Single);
    }
};

TEST_F(SinglePackage, ShowsTheInstallDialogAndWaitsForAClick) {
    Start();
    HWND dialog = Expect(ProgramWindow::Install);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(automation::WindowText(dialog), std::wstring(L"Baukanter Installer v1.0"));
    EXPECT_EQ(automation::ControlText(dialog, control::kIntroText), Text(109));
    EXPECT_EQ(automation::ControlText(dialog, control::kInstallButton), Text(112));
    EXPECT_EQ(automation::ControlText(dialog, control::kCancelButton), Text(110));
    EXPECT_EQ(automation::ProgressPosition(GetDlgItem(dialog, control::kProgressBar)), 0);
    ExpectNoMessageFor(1500);
    ExpectHost(Scenario::OriginalHost());
    EXPECT_TRUE(scenario.Running());
}

TEST_F(SinglePackage, InstallsThePackageWhenTheUserClicksInstall) {
    Start();
    HWND dialog = Expect(ProgramWindow::Install);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
    HWND done = ExpectMessage(Text(106), {IDOK}, true);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(automation::ProgressPosition(GetDlgItem(dialog, control::kProgressBar)), 4);
    Answer(done, IDOK);
    ExpectEnded();
    ExpectHost(Scenario::Golden("installed"));
}

TEST_F(SinglePackage, CancelEndsWithoutInstalling) {
    Start();
    HWND dialog = Expect(ProgramWindow::Install);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(automation::PressButton(dialog, control::kCancelButton));
    ExpectEnded();
    ExpectHost(Scenario::OriginalHost());
}

// Message 104; the dialog stays for another try, and a try after the host
// has been installed succeeds.
TEST_F(SinglePackage, WithoutTheHostSays104AndKeepsTheDialogOpen) {
    ASSERT_TRUE(testregistry::SetHostFolder(std::nullopt));
    Start();
    HWND dialog = Expect(ProgramWindow::Install);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
    HWND missing = ExpectMessage(Text(104), {IDOK}, false);
    ASSERT_NE(missing, nullptr);
    Answer(missing, IDOK);
    ExpectNoMessageFor(700);
    EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << scenario.Screen();
    EXPECT_TRUE(scenario.Running());
    ExpectHost(Scenario::OriginalHost());

    ASSERT_TRUE(testregistry::SetHostFolder(scenario.HostFolder()));
    ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
    ASSERT_NO_FATAL_FAILURE(ExpectSuccessAndEnd());
    ExpectHost(Scenario::Golden("installed"));
}

// Message 102 while the progress bar stands at 1, then 105; nothing touched.
TEST_F(SinglePackage, WithoutItsScriptSays102Then105) {
    ASSERT_TRUE(DeleteFileA((scenario.PackageFolder() + "\\InstSkript.txt").c_str()));
    Start();
    HWND dialog = Expect(ProgramWindow::Install);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
    HWND missing = ExpectMessage(Text(102), {IDOK}, false);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(automation::ProgressPosition(GetDlgItem(dialog, control::kProgressBar)), 1);
    Answer(missing, IDOK);
    HWND failed = ExpectMessage(Text(105), {IDOK}, false);
    ASSERT_NE(failed, nullptr);
    Answer(failed, IDOK);
    ExpectEnded();
    ExpectHost(Scenario::OriginalHost());
}

// A listed package file that is missing: message 108 with its full path; the
// other files are still installed and the run still counts as a success.
TEST_F(SinglePackage, AMissingPackageFileIsReportedAndSkipped) {
    const std::string source = scenario.PackageFolder() + "\\Modelle\\Bahnhof\\Bahnsteig.3dm";
    ASSERT_TRUE(DeleteFileA(source.c_str()));
    Start();
    HWND dialog = Expect(ProgramWindow::Install);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
    HWND missing = ExpectMessage(expected::Format(108, source.c_str()), {IDOK}, false);
    ASSERT_NE(missing, nullptr);
    Answer(missing, IDOK);
    ASSERT_NO_FATAL_FAILURE(ExpectSuccessAndEnd());
    auto expected = Scenario::Golden("installed");
    expected.erase("Resourcen\\Modelle\\Bahnhof\\Gruenwald\\Bahnsteig.3dm");
    ExpectHost(expected);
}

// A run long enough to notice (a couple of seconds here): the dialog keeps
// answering messages and painting all the way through, where Windows would
// soon call it "Not Responding"; Cancel and the close box do nothing until
// the run has ended, and every file arrives.
TEST_F(SinglePackage, KeepsAnsweringWhileALargePackageInstalls) {
    constexpr DWORD kSlowestAnswerMs = 1000;  // the program aims at 200 ms; this is a busy machine
    std::vector<std::string> generated;
    ASSERT_TRUE(scenario.AddGeneratedFiles(600, 12, 48u << 20, &generated)) << scenario.Error();
    Start();
    HWND dialog = Expect(ProgramWindow::Install);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
    ASSERT_TRUE(automation::PressButton(dialog, control::kCancelButton));
    ASSERT_TRUE(automation::ChooseSystemCommand(dialog, SC_CLOSE));

    // Each probe sends a message and times the answer; the dialog is
    // invalidated and its repaint timed across the probes.
    DWORD slowestAnswer = 0;
    DWORD slowestRepaint = 0;
    bool repaintDue = false;
    DWORD invalidated = 0;
    int probes = 0;
    const DWORD begin = GetTickCount();
    while (!scenario.Find(ProgramWindow::Message) && GetTickCount() - begin < 60000) {
        if (!repaintDue) {
            InvalidateRect(dialog, nullptr, FALSE);
            invalidated = GetTickCount();
            repaintDue = true;
        }
        const DWORD start = GetTickCount();
        DWORD_PTR result = 0;
        ASSERT_TRUE(
            SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, kSlowestAnswerMs * 5, &result))
            << "the dialog stopped answering";
        slowestAnswer = std::max(slowestAnswer, GetTickCount() - start);
        if (!GetUpdateRect(dialog, nullptr, FALSE)) {
            slowestRepaint = std::max(slowestRepaint, GetTickCount() - invalidated);
            repaintDue = false;
        }
        ++probes;
        Sleep(50);
    }
    if (repaintDue) slowestRepaint = std::max(slowestRepaint, GetTickCount() - invalidated);
    EXPECT_LT(slowestAnswer, kSlowestAnswerMs) << "slowest answer of " << probes << " probes";
    EXPECT_LT(slowestRepaint, kSlowestAnswerMs) << "slowest repaint";
    EXPECT_GE(probes, 5) << "the run ended too soon to tell";

    HWND done = ExpectMessage(Text(106), {IDOK}, true);
    ASSERT_NE(done, nullptr);
    EXPECT_TRUE(IsWindow(dialog)) << "the dialog closed during the run";
    Answer(done, IDOK);
    ExpectEnded();
    auto expected = Scenario::Golden("installed");
    const auto package = filetree::ReadTree(scenario.PackageFolder());
    for (const std::string& name : generated) {
        const std::string source = std::string(Scenario::kGeneratedSource) + "\\" + name;
        expected[std::string(Scenario::kGeneratedDestination) + "\\" + name] = package.at(source);
    }
    ExpectHost(expected);
}

}  // namespace
