// Whole installation runs: a registered host folder, a package folder with
// its script, files, texture entries and cabin list, scripted answers, and
// what the engine asks and tells and what lands on disk.
#include "engine/InstallEngine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/tests/RecordingProgressSink.h"
#include "engine/tests/RecordingQuestions.h"
#include "engine/tests/TestInstallation.h"
#include "tests/support/TestFiles.h"

namespace {

using namespace asked;
using namespace testfiles;
using fileentry::Answer;
using Asked = std::vector<std::string>;

using Progress = std::vector<std::string>;
const Progress kWholeRun = {"SetRange(0,4)", "SetPos(0)", "SetPos(1)",
                            "SetPos(2)",     "SetPos(3)", "SetPos(4)"};
const Progress kStoppedAtScript = {"SetRange(0,4)", "SetPos(0)", "SetPos(1)"};

const char kTextures[] = "Resourcen\\Parallels\\Texturen.txt";
const char kGroundTextures[] = "Resourcen\\Parallels\\Bodentexturen.txt";
const char kCabins[] = "Resourcen\\Parallels\\cabins.ini";

const char kHostTextures[] = "Basis{\r\n\tTextur{ id(3) name(alt) }\r\n}\r\n";
const char kHostGroundTextures[] = "Basis {\r\n  Textur { id(5) name(Gras) }\r\n}\r\n";
const char kHostCabins[] = "[A]\r\nk = 1\r\n";
const char kPackageCabins[] = "[A]\r\nk = 2\r\n[B]\r\nm = 3\r\n";

const char kMergedTextures[] =
    "Basis{\r\n\tTextur{\tid(3)\tname(alt)\t}\r\n\tTextur{\tid(7)\tname(neu)\t}\r\n}\r\n";
const char kMergedGroundTextures[] = "Basis{\r\n\tTextur{\tid(5)\tname(Kies)\t}\r\n}\r\n";
const char kMergedCabins[] = "[A]\r\nk\t = 2\r\n\r\n[B]\r\nm\t = 3\r\n\r\n";

const char kFiles[] =
    "Dateinstallation {\r\n  { Modelle\\a.3dm >> Resourcen\\Modelle\\Neu\\a.3dm }\r\n}\r\n";
const char kTextureSection[] =
    "Texturskript {\r\n  { Texturen\\neu.bmp >> Textur{ id(7) name(neu) } }\r\n}\r\n";
const char kGroundSection[] =
    "Bodenskript {\r\n  { Boden\\kies.bmp >> Textur{ id(5) name(Kies) } }\r\n}\r\n";

// A host with its three lists and a package with one model, its texture
// entries and its cabin list.
void PrepareHostAndPackage(const TestInstallation& installation) {
    Write(installation.Host(kTextures), kHostTextures);
    Write(installation.Host(kGroundTextures), kHostGroundTextures);
    Write(installation.Host(kCabins), kHostCabins);
    for (const char* list : {kTextures, kGroundTextures, kCabins}) {
        SetWriteTime(installation.Host(list), kOld);
    }
    Write(installation.Package("Modelle\\a.3dm"), "model a");
    Write(installation.Package("cabin.ini"), kPackageCabins);
    installation.WriteScript(std::string(kFiles) + kTextureSection + kGroundSection);
}

// True when the list is exactly as PrepareHostAndPackage wrote it.
bool Untouched(const TestInstallation& installation, const char* list, const char* bytes) {
    return Read(installation.Host(list)) == bytes && WriteTime(installation.Host(list)) == kOld;
}

bool MayWriteReadOnlyFiles(const std::string& readOnlyFile) {
    HANDLE probe =
        CreateFileA(readOnlyFile.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return false;
    CloseHandle(probe);
    return true;
}

TEST(InstallRun, InstallsFilesTexturesAndCabinsAndSucceeds) {
    TestInstallation installation;
    PrepareHostAndPackage(installation);

    const TestInstallation::Outcome outcome = installation.Run();

    EXPECT_EQ(S_OK, outcome.status);
    EXPECT_EQ(kWholeRun, outcome.progress);
    EXPECT_TRUE(outcome.asked.empty());
    EXPECT_EQ("model a", Read(installation.Host("Resourcen\\Modelle\\Neu\\a.3dm")));
    EXPECT_EQ(kMergedTextures, Read(installation.Host(kTextures)));
    EXPECT_EQ(kMergedGroundTextures, Read(installation.Host(kGroundTextures)));
    EXPECT_EQ(kMergedCabins, Read(installation.Host(kCabins)));
    EXPECT_EQ(installation.Package(), outcome.packageDir);
    EXPECT_EQ(installation.Package("InstSkript.txt"), outcome.scriptPath);
}

TEST(InstallRun, AFailedCopyFailsTheRunButEveryStepStillRuns) {
    TestInstallation installation;
    PrepareHostAndPackage(installation);
    installation.WriteScript(
        std::string("Dateinstallation{{Modelle\\a.3dm>>..\\a.3dm}{Modelle\\fehlt.3dm>>b.3dm}}") +
        kTextureSection + kGroundSection);

    const TestInstallation::Outcome outcome = installation.Run();

    EXPECT_EQ(E_FAIL, outcome.status);
    EXPECT_EQ(kWholeRun, outcome.progress);
    const Asked expected = {CopyFailed(installation.Package("Modelle\\a.3dm"),
                                       installation.Host("..\\a.3dm")),
                            SourceMissing(installation.Package("Modelle\\fehlt.3dm"))};
    EXPECT_EQ(expected, outcome.asked);
    EXPECT_FALSE(Exists(installation.Outside("a.3dm")));
    EXPECT_EQ(kMergedTextures, Read(installation.Host(kTextures)));
    EXPECT_EQ(kMergedGroundTextures, Read(installation.Host(kGroundTextures)));
    EXPECT_EQ(kMergedCabins, Read(installation.Host(kCabins)));
}

TEST(InstallRun, MissingSourcesAloneDoNotFailTheRun) {
    TestInstallation installation;
    PrepareHostAndPackage(installation);
    installation.WriteScript(std::string("Dateinstallation{{fehlt.3dm>>fehlt.3dm}}") +
                             kTextureSection);

    const TestInstallation::Outcome outcome = installation.Run();

    EXPECT_EQ(S_OK, outcome.status);
    const Asked expected = {SourceMissing(installation.Package("fehlt.3dm"))};
    EXPECT_EQ(expected, outcome.asked);
}

TEST(InstallRun, MissingScriptStopsBeforeAnyStep) {
    TestInstallation installation;
    PrepareHostAndPackage(installation);
    DeleteFileA(installation.Package("InstSkript.txt").c_str());

    const TestInstallation::Outcome outcome = installation.Run();

    EXPECT_EQ(E_FAIL, outcome.status);
    EXPECT_EQ(kStoppedAtScript, outcome.progress);
    const Asked expected = {ScriptMissing()};
    EXPECT_EQ(expected, outcome.asked);
    EXPECT_FALSE(Exists(installation.Host("Resourcen\\Modelle")));
    EXPECT_TRUE(Untouched(installation, kTextures, kHostTextures));
    EXPECT_TRUE(Untouched(installation, kGroundTextures, kHostGroundTextures));
    EXPECT_TRUE(Untouched(installation, kCabins, kHostCabins));
}

TEST(InstallRun, ChoosesTheScriptByModeAndChosenEntry) {
    struct Case {
        const char* behaviour;
        int32_t catalogueMode;
        int32_t selectedIndex;
        const char* script;
    };
    const Case cases[] = {
        {"single package", 0, -1, "InstSkript.txt"},
        {"single package ignores the index", 0, 2, "InstSkript.txt"},
        {"catalogue, nothing chosen", 1, -1, "InstSkript.txt"},
        {"catalogue, first entry installs from InstSkript.txt", 1, 0, "InstSkript.txt"},
        {"catalogue, later entry uses its own script", 1, 2, "Paket2\\Skript.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        TestInstallation installation;
        PrepareHostAndPackage(installation);
        Write(installation.Package("zwei.3dm"), "model 2");
        installation.WriteScript(std::string("Dateinstallation{{zwei.3dm>>zwei.3dm}}") +
                                     kTextureSection,
                                 "Paket2\\Skript.txt");
        InstallCatalogue catalogue;
        catalogue.entryCount = 3;
        catalogue.entries[0].script = "Paket0\\Skript.txt";
        catalogue.entries[2].script = "Paket2\\Skript.txt";
        catalogue.selectedIndex = c.selectedIndex;

        const TestInstallation::Outcome outcome = installation.Run({}, catalogue, c.catalogueMode);

        EXPECT_EQ(S_OK, outcome.status);
        EXPECT_EQ(installation.Package(c.script), outcome.scriptPath);
        const bool ownScript = std::string(c.script) != "InstSkript.txt";
        EXPECT_EQ(ownScript, Exists(installation.Host("zwei.3dm")));
        EXPECT_EQ(!ownScript, Exists(installation.Host("Resourcen\\Modelle\\Neu\\a.3dm")));
    }
}

TEST(InstallRun, MissingEntryScriptIsReportedAsMissingInstSkript) {
    TestInstallation installation;
    PrepareHostAndPackage(installation);
    InstallCatalogue catalogue;
    catalogue.entryCount = 2;
    catalogue.entries[1].script = "Paket1\\fehlt.txt";
    catalogue.selectedIndex = 1;

    const TestInstallation::Outcome outcome = installation.Run({}, catalogue, 1);

    EXPECT_EQ(E_FAIL, outcome.status);
    EXPECT_EQ(kStoppedAtScript, outcome.progress);
    const Asked expected = {ScriptMissing()};
    EXPECT_EQ(expected, outcome.asked);
    EXPECT_TRUE(Untouched(installation, kTextures, kHostTextures));
}

TEST(InstallRun, TextureMergesDifferWhenListOrSectionIsMissing) {
    struct Case {
        const char* behaviour;
        std::string script;
        const char* removedList;  // deleted from the host before the run
        HRESULT status;
    };
    const std::string files = kFiles;
    const Case cases[] = {
        {"no Texturskript fails the run", files + kGroundSection, nullptr, E_FAIL},
        {"no Bodenskript is fine", files + kTextureSection, nullptr, S_OK},
        {"host without Texturen.txt fails the run", files + kTextureSection + kGroundSection,
         kTextures, E_FAIL},
        {"host without Bodentexturen.txt is fine", files + kTextureSection + kGroundSection,
         kGroundTextures, S_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        TestInstallation installation;
        PrepareHostAndPackage(installation);
        installation.WriteScript(c.script);
        if (c.removedList != nullptr) DeleteFileA(installation.Host(c.removedList).c_str());

        const TestInstallation::Outcome outcome = installation.Run();

        EXPECT_EQ(c.status, outcome.status);
        EXPECT_EQ(kWholeRun, outcome.progress);
        EXPECT_TRUE(outcome.asked.empty());
        const bool texturesMerged =
            c.script.find("Texturskript") != std::string::npos && c.removedList != kTextures;
        const bool groundMerged =
            c.script.find("Bodenskript") != std::string::npos && c.removedList != kGroundTextures;
        if (c.removedList != nullptr) {
            EXPECT_FALSE(Exists(installation.Host(c.removedList)));
        }
        if (c.removedList != kTextures) {
            EXPECT_EQ(texturesMerged, !Untouched(installation, kTextures, kHostTextures));
        }
        if (c.removedList != kGroundTextures) {
            EXPECT_EQ(groundMerged, !Untouched(installation, kGroundTextures, kHostGroundTextures));
        }
        EXPECT_EQ(kMergedCabins, Read(installation.Host(kCabins)));
    }
}

TEST(InstallRun, EmptyTextureSectionRewritesTheListInItsLayout) {
    TestInstallation installation;
    PrepareHostAndPackage(installation);
    installation.WriteScript(std::string(kFiles) + "Texturskript{}Bodenskript{}");

    const TestInstallation::Outcome outcome = installation.Run();

    EXPECT_EQ(S_OK, outcome.status);
    EXPECT_EQ("Basis{\r\n\tTextur{\tid(3)\tname(alt)\t}\r\n}\r\n",
              Read(installation.Host(kTextures)));
    EXPECT_EQ("Basis{\r\n\tTextur{\tid(5)\tname(Gras)\t}\r\n}\r\n",
              Read(installation.Host(kGroundTextures)));
}

TEST(InstallRun, CabinListIsMergedOnlyWhenBothListsExist) {
    struct Case {
        const char* behaviour;
        bool hostList;
        bool packageList;
    };
    const Case cases[] = {
        {"package without cabin.ini leaves the host's list alone", true, false},
        {"host without cabins.ini gets none", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        TestInstallation installation;
        PrepareHostAndPackage(installation);
        if (!c.hostList) DeleteFileA(installation.Host(kCabins).c_str());
        if (!c.packageList) DeleteFileA(installation.Package("cabin.ini").c_str());

        const TestInstallation::Outcome outcome = installation.Run();

        EXPECT_EQ(S_OK, outcome.status);
        EXPECT_TRUE(outcome.asked.empty());
        if (c.hostList) {
            EXPECT_TRUE(Untouched(installation, kCabins, kHostCabins));
        } else {
            EXPECT_FALSE(Exists(installation.Host(kCabins)));
        }
    }
}

TEST(InstallRun, WriteProtectedListsAreReportedFailTheRunAndStayAsTheyWere) {
    struct Case {
        const char* list;
        const char* bytes;
    };
    const Case cases[] = {{kTextures, kHostTextures},
                          {kGroundTextures, kHostGroundTextures},
                          {kCabins, kHostCabins}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        TestInstallation installation;
        PrepareHostAndPackage(installation);
        SetAttributes(installation.Host(c.list), FILE_ATTRIBUTE_READONLY);
        if (MayWriteReadOnlyFiles(installation.Host(c.list))) {
            GTEST_SKIP() << "this user may write read-only files";
        }

        const TestInstallation::Outcome outcome = installation.Run();

        EXPECT_EQ(E_FAIL, outcome.status);
        EXPECT_EQ(kWholeRun, outcome.progress);
        EXPECT_EQ(Asked{ListNotWritten(installation.Host(c.list))}, outcome.asked);
        EXPECT_TRUE(Untouched(installation, c.list, c.bytes));
        EXPECT_EQ("model a", Read(installation.Host("Resourcen\\Modelle\\Neu\\a.3dm")));
    }
}

TEST(InstallRun, EveryRunAsksAgainAfterCancel) {
    TestInstallation installation;
    PrepareHostAndPackage(installation);
    installation.WriteScript(std::string("Dateinstallation{{a.3dm>>a.3dm}{b.3dm>>b.3dm}}") +
                             kTextureSection);
    for (const char* name : {"a.3dm", "b.3dm"}) {
        Write(installation.Package(name), "new");
        SetWriteTime(installation.Package(name), kOld);
        Write(installation.Host(name), "kept");
        SetWriteTime(installation.Host(name), kNew);
    }
    const std::string firstQuestion =
        NewerFile(installation.Host("a.3dm"), installation.Package("a.3dm"));
    const std::string secondQuestion =
        NewerFile(installation.Host("b.3dm"), installation.Package("b.3dm"));

    const TestInstallation::Outcome cancelled = installation.Run({Answer::KeepAll});
    EXPECT_EQ(Asked{firstQuestion}, cancelled.asked);
    EXPECT_EQ(S_OK, cancelled.status);

    const TestInstallation::Outcome again = installation.Run({Answer::Keep, Answer::Replace});
    EXPECT_EQ((Asked{firstQuestion, secondQuestion}), again.asked);
    EXPECT_EQ("kept", Read(installation.Host("a.3dm")));
    EXPECT_EQ("new", Read(installation.Host("b.3dm")));
}

TEST(InstallRun, PackageFolderIsTheRunningProgramsFolder) {
    const std::string program = ProgramFile();
    const std::string folder = program.substr(0, program.rfind('\\'));
    ASSERT_FALSE(Exists(folder + "\\InstSkript.txt")) << "a script beside the test program";
    TemporaryFolder host;
    HostRegistration registration(host.Path());
    InstallCatalogue catalogue;
    InstallEngine engine(catalogue, 0);
    RecordingProgressSink sink;
    RecordingQuestions questions;

    EXPECT_EQ(E_FAIL, engine.Run(sink, questions));

    EXPECT_EQ(folder, engine.PackageDir());
    EXPECT_EQ(folder + "\\cabin.ini", engine.CabinIniPath());
    EXPECT_EQ(folder + "\\InstSkript.txt", engine.ScriptPath());
    const Asked expected = {ScriptMissing()};
    EXPECT_EQ(expected, questions.calls);
}

TEST(InstallRun, WithoutAHostNothingIsTouched) {
    HostRegistration none;
    InstallCatalogue catalogue;
    InstallEngine engine(catalogue, 0);
    ASSERT_FALSE(engine.HostFound());
    RecordingProgressSink sink;
    RecordingQuestions questions;

    EXPECT_EQ(E_FAIL, engine.Run(sink, questions));

    EXPECT_EQ((Progress{"SetRange(0,4)", "SetPos(0)"}), sink.calls);
    EXPECT_TRUE(questions.calls.empty());
}

}  // namespace
