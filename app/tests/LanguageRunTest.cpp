// A whole installation run as a user of the system's language sees it: every
// message box the program shows for the engine's questions, in order, with
// its arguments in their places. Runs once per locale with the texts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/InstallMessageBoxes.h"
#include "app/tests/ScriptedMessageBox.h"
#include "app/tests/ExpectedText.h"
#include "engine/tests/TestInstallation.h"
#include "tests/support/TestFiles.h"

namespace {

using namespace testfiles;

// The texts by base id, so that a wrong id in the program shows.
constexpr int kScriptMissing = 102;
constexpr int kNewerFile = 103;
constexpr int kCopyFailed = 107;
constexpr int kSourceMissing = 108;

TEST(LanguageRun, ShowsEveryMessageInTheSystemsLanguage) {
    TestInstallation installation;
    Write(installation.Host("Resourcen\\Parallels\\Texturen.txt"), "Basis{\r\n}\r\n");
    installation.WriteScript(
        "Dateinstallation {\r\n"
        "  { fehlt.3dm >> fehlt.3dm }\r\n"
        "  { neuer.3dm >> neuer.3dm }\r\n"
        "  { escape.3dm >> ..\\escape.3dm }\r\n"
        "}\r\n"
        "Texturskript { }\r\n");
    for (const char* name : {"neuer.3dm", "escape.3dm"}) {
        Write(installation.Package(name), "paket");
        SetWriteTime(installation.Package(name), kOld);
    }
    Write(installation.Host("neuer.3dm"), "host");
    SetWriteTime(installation.Host("neuer.3dm"), kNew);

    ScriptedMessageBox boxes({IDYES});
    InstallMessageBoxes questions;
    const TestInstallation::Outcome outcome = installation.Run(questions);

    EXPECT_EQ(E_FAIL, outcome.status);
    const std::vector<ShownBox> expected = {
        {ExpectedText(kSourceMissing, {installation.Package("fehlt.3dm")}), MB_OK},
        {ExpectedText(kNewerFile,
                      {installation.Host("neuer.3dm"), installation.Package("neuer.3dm")}),
         MB_YESNOCANCEL},
        {ExpectedText(kCopyFailed,
                      {installation.Package("escape.3dm"), installation.Host("..\\escape.3dm")}),
         MB_OK},
    };
    EXPECT_EQ(expected, boxes.Shown());
    EXPECT_EQ("host", Read(installation.Host("neuer.3dm")));
}

TEST(LanguageRun, MissingScriptIsReportedInTheSystemsLanguage) {
    TestInstallation installation;
    ScriptedMessageBox boxes;
    InstallMessageBoxes questions;

    const TestInstallation::Outcome outcome = installation.Run(questions);

    EXPECT_EQ(E_FAIL, outcome.status);
    const std::vector<ShownBox> expected = {{ExpectedText(kScriptMissing), MB_OK}};
    EXPECT_EQ(expected, boxes.Shown());
}

}  // namespace
