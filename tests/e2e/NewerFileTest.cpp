// The question before a newer file in the host folder is replaced (message
// 103), answered Yes (keep it), No (replace it) and Cancel (keep it and every
// later newer file without asking again).
#include "automation/Wait.h"
#include "automation/WindowAction.h"
#include "automation/WindowQuery.h"
#include "e2e/ExpectedTexts.h"
#include "e2e/FlowTest.h"

#include <set>
#include <string>
#include <vector>

using automation::ProgramWindow;
namespace control = automation::control;

namespace {

struct NewerFile {
    const char* source;       // below the package folder
    const char* destination;  // below the host folder
};

// The two files of the package that the example host already holds, in the
// order in which the install script lists them.
const NewerFile kNewerFiles[] = {
    {"Modelle\\Stellwerk.3dm", "Resourcen\\Modelle\\Gebaeude\\Stellwerk.3dm"},
    {"Texturen\\Dach.bmp", "Resourcen\\Texturen\\Dach.bmp"},
};

struct AnswerCase {
    const char* name;
    std::vector<int> answers;  // one per question, in order; no further question comes
    std::set<int> kept;        // indexes into kNewerFiles that stay as they were
};

class NewerFileQuestion : public FlowTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(NewerFileQuestion, FollowsTheAnswers) {
    const AnswerCase& c = GetParam();
    Prepare(Scenario::Package::Single);
    for (const NewerFile& file : kNewerFiles) {
        ASSERT_TRUE(filetree::SetWriteTime(scenario.HostFolder() + "\\" + file.destination,
                                           filetree::YearStart(2030)));
    }
    Start();
    HWND dialog = Expect(ProgramWindow::Install);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));

    for (size_t i = 0; i < c.answers.size(); ++i) {
        const std::string destination = scenario.HostFolder() + "\\" + kNewerFiles[i].destination;
        const std::string source = scenario.PackageFolder() + "\\" + kNewerFiles[i].source;
        HWND question = ExpectMessage(expected::Format(103, destination.c_str(), source.c_str()),
                                      {IDYES, IDNO, IDCANCEL}, false);
        ASSERT_NE(question, nullptr) << "question " << i + 1;
        Answer(question, c.answers[i]);
    }
    HWND done = ExpectMessage(expected::Text(106), {IDOK}, true);
    ASSERT_NE(done, nullptr);
    Answer(done, IDOK);
    ExpectEnded();

    auto expected = Scenario::Golden("installed");
    const auto original = Scenario::OriginalHost();
    for (int kept : c.kept) {
        const std::string path = kNewerFiles[kept].destination;
        expected[path] = original.at(path);
    }
    ExpectHost(expected);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, NewerFileQuestion,
    ::testing::Values(AnswerCase{"YesKeepsEachNewerFile", {IDYES, IDYES}, {0, 1}},
                      AnswerCase{"NoReplacesEachNewerFile", {IDNO, IDNO}, {}},
                      AnswerCase{"EachAnswerCountsForItsOwnFile", {IDYES, IDNO}, {0}},
                      AnswerCase{"CancelKeepsAllLaterNewerFilesWithoutAsking", {IDCANCEL}, {0, 1}}),
    [](const ::testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

// A newer file that is also write-protected: answered No, the copy fails
// (message 107) and the run ends as failed (105), the file keeps its content
// but loses its write protection, and the other files are still installed.
class WriteProtectedNewerFile : public FlowTest {};

TEST_F(WriteProtectedNewerFile, AnsweredNoFailsTheCopyAndTheRun) {
    Prepare(Scenario::Package::Single);
    const NewerFile& file = kNewerFiles[0];
    const std::string destination = scenario.HostFolder() + "\\" + file.destination;
    const std::string source = scenario.PackageFolder() + "\\" + file.source;
    ASSERT_TRUE(filetree::SetWriteTime(destination, filetree::YearStart(2030)));
    ASSERT_TRUE(SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_READONLY));
    Start();
    HWND dialog = Expect(ProgramWindow::Install);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
    HWND question = ExpectMessage(expected::Format(103, destination.c_str(), source.c_str()),
                                  {IDYES, IDNO, IDCANCEL}, false);
    ASSERT_NE(question, nullptr);
    Answer(question, IDNO);
    HWND failed =
        ExpectMessage(expected::Format(107, source.c_str(), destination.c_str()), {IDOK}, false);
    ASSERT_NE(failed, nullptr);
    Answer(failed, IDOK);
    HWND result = ExpectMessage(expected::Text(105), {IDOK}, false);
    ASSERT_NE(result, nullptr);
    Answer(result, IDOK);
    ExpectEnded();

    EXPECT_EQ(GetFileAttributesA(destination.c_str()) & FILE_ATTRIBUTE_READONLY, 0u)
        << "the file stays write-protected";
    auto expected = Scenario::Golden("installed");
    expected[file.destination] = Scenario::OriginalHost().at(file.destination);
    ExpectHost(expected);
}

// A second click on Install while the newer-file question is open: the
// question's message loop hands the queued click to the install dialog, and
// it must not start a second run inside the running one (which would ask
// about the same file again and report twice).
class SecondInstall : public FlowTest {};

TEST_F(SecondInstall, WhileTheNewerFileQuestionIsOpenIsIgnored) {
    Prepare(Scenario::Package::Single);
    const NewerFile& file = kNewerFiles[0];
    const std::string destination = scenario.HostFolder() + "\\" + file.destination;
    const std::string source = scenario.PackageFolder() + "\\" + file.source;
    ASSERT_TRUE(filetree::SetWriteTime(destination, filetree::YearStart(2030)));
    Start();
    HWND dialog = Expect(ProgramWindow::Install);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
    HWND question = ExpectMessage(expected::Format(103, destination.c_str(), source.c_str()),
                                  {IDYES, IDNO, IDCANCEL}, false);
    ASSERT_NE(question, nullptr);

    ASSERT_TRUE(
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(control::kInstallButton, BN_CLICKED), 0));
    const HWND another = automation::WaitFor(
        [&] {
            return automation::FindDialog(scenario.ProcessId(), [&](HWND window) {
                return window != question && automation::IsMessageBox(window);
            });
        },
        2000);
    ASSERT_EQ(another, nullptr) << "a second run started; on the screen:\n" << scenario.Screen();

    Answer(question, IDNO);
    HWND done = ExpectMessage(expected::Text(106), {IDOK}, true);
    ASSERT_NE(done, nullptr);
    Answer(done, IDOK);
    ExpectNoMessageFor(500);
    ExpectEnded();
    ExpectHost(Scenario::Golden("installed"));
}

}  // namespace
