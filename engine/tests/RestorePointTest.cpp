// Whole runs recorded into a restore point and restored: the host folder
// comes back byte for byte and attribute for attribute, changes made since
// the run stay, and a restore point that cannot be made changes nothing of
// the installation.
#include "engine/RestorePoints.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/RegistryKey.h"
#include "engine/RestoreRecorder.h"
#include "engine/UninstallEntry.h"
#include "engine/tests/TestInstallation.h"
#include "tests/support/TestFiles.h"

namespace {

using namespace testfiles;
using Tree = std::map<std::string, std::string>;

const char kTextures[] = "Resourcen\\Parallels\\Texturen.txt";
const char kGround[] = "Resourcen\\Parallels\\Bodentexturen.txt";
const char kCabins[] = "Resourcen\\Parallels\\cabins.ini";
const char kAdded[] = "Resourcen\\Modelle\\Neu\\a.3dm";
const char kReplaced[] = "Resourcen\\Modelle\\alt.3dm";

Tree HostTree(const TestInstallation& installation) {
    return FolderTree(installation.Host());
}

void Prepare(const TestInstallation& installation) {
    Write(installation.Host(kTextures), "Basis{\r\n\tTextur{ id(3) name(alt) }\r\n}\r\n");
    Write(installation.Host(kGround), "Basis {\r\n  Textur { id(5) name(Gras) }\r\n}\r\n");
    Write(installation.Host(kCabins), "[A]\r\nk = 1 ; host\r\n");
    Write(installation.Host(kReplaced), "host model");
    // Attributes the installation resets; a restore brings them back.
    SetAttributes(installation.Host(kReplaced),
                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    Write(installation.Package("Modelle\\a.3dm"), "model a");
    Write(installation.Package("Modelle\\alt.3dm"), "package model");
    Write(installation.Package("cabin.ini"), "[A]\r\nk = 2\r\n[B]\r\nm = 3\r\n");
    // Destinations as a script may write them: Windows resolves the leading
    // separator and the step up, and so must the restore point.
    installation.WriteScript(
        "Dateinstallation{{Modelle\\a.3dm>>\\Resourcen\\Modelle\\Neu\\a.3dm}"
        "{Modelle\\alt.3dm>>Resourcen\\Texturen\\..\\Modelle\\alt.3dm}}"
        "Texturskript{{x>>Textur{id(7)name(neu)}}}Bodenskript{{x>>Textur{id(5)name(Kies)}}}");
}

bool HasUninstallEntry(const std::string& id) {
    RegistryKey key;
    char name[RegistryKey::kStringBufferSize];
    return key.SetPath(HKEY_LOCAL_MACHINE, uninstallentry::KeyPath(id).c_str()) &&
           key.Open(KEY_READ) && key.ReadString("DisplayName", name) &&
           std::string(name) == "Paket";
}

TEST(RestorePoint, PutsTheHostBackAndKeepsWhatChangedSince) {
    struct Case {
        const char* behaviour;
        std::function<void(const TestInstallation&, Tree&)>
            since;  // changes it and the expectation
        restorepoints::Outcome outcome;
        bool pointStays;
    } cases[] = {
        {"nothing changed since", [](const TestInstallation&, Tree&) {},
         restorepoints::Outcome::Done, false},
        {"the user edited an added file",
         [](const TestInstallation& installation, Tree& expected) {
             Write(installation.Host(kAdded), "edited");
             expected["Resourcen\\Modelle\\Neu\\"] = "attributes 16";
             expected[kAdded] = "attributes 32 edited";
         },
         restorepoints::Outcome::Kept, true},
        {"a later package added a texture",
         [](const TestInstallation& installation, Tree& expected) {
             const std::string later =
                 "Basis{\r\n\tTextur{\tid(3)\tname(alt)\t}\r\n\tTextur{\tid(7)\tname(neu)\t}\r\n"
                 "\tTextur{\tid(9)\tname(spaet)\t}\r\n}\r\n";
             Write(installation.Host(kTextures), later);
             expected[kTextures] =
                 "attributes 32 "
                 "Basis{\r\n\tTextur{\tid(3)\tname(alt)\t}\r\n\tTextur{\tid(9)\tname(spaet)\t}"
                 "\r\n}\r\n";
         },
         restorepoints::Outcome::Done, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        TestInstallation installation;
        Prepare(installation);
        Tree expected = HostTree(installation);
        const std::string root = installation.Outside("Restore");
        RestoreRecorder recorder(root, "Paket", "");
        installation.Observe(recorder);
        ASSERT_EQ(installation.Run().status, S_OK);
        ASSERT_FALSE(recorder.Id().empty());
        EXPECT_TRUE(recorder.Recording() == false);
        EXPECT_TRUE(HasUninstallEntry(recorder.Id()));
        c.since(installation, expected);

        std::vector<restorepoints::Note> report;
        const Tree installed = HostTree(installation);
        EXPECT_EQ(restorepoints::Restore(root, recorder.Id(), true, report), c.outcome);
        EXPECT_EQ(HostTree(installation), installed) << "a dry run changes nothing";
        report.clear();
        EXPECT_EQ(restorepoints::Restore(root, recorder.Id(), false, report), c.outcome);
        EXPECT_EQ(HostTree(installation), expected);
        EXPECT_FALSE(HasUninstallEntry(recorder.Id()));
        EXPECT_EQ(Exists(root + "\\" + recorder.Id()), c.pointStays);
        EXPECT_EQ(restorepoints::List(root).size(), c.pointStays ? 1u : 0u);
        uninstallentry::Remove(recorder.Id());
    }
}

TEST(RestorePoint, ARestorePointThatCannotBeMadeChangesNothingOfTheInstallation) {
    TestInstallation plain;
    Prepare(plain);
    ASSERT_EQ(plain.Run().status, S_OK);

    TestInstallation recorded;
    Prepare(recorded);
    Write(recorded.Outside("Restore"), "a file where the folder would be");
    RestoreRecorder recorder(recorded.Outside("Restore\\Points"), "Paket", "");
    recorded.Observe(recorder);
    const TestInstallation::Outcome outcome = recorded.Run();
    EXPECT_EQ(outcome.status, S_OK);
    EXPECT_TRUE(recorder.Id().empty());
    EXPECT_EQ(HostTree(recorded), HostTree(plain));
}

}  // namespace
