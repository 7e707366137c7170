// Plans of installations into small host folders: what each step would do
// and whether it would succeed, without touching the host.
#include <gtest/gtest.h>

#include <string>

#include "CheckedPackage.h"
#include "pakcheck/reading/FileSystem.h"

namespace pakcheck {

namespace {

using testpackage::CheckedPackage;
using Action = PlannedFile::Action;
using Outcome = PlannedList::Outcome;

const char* const kTextureList = "Resourcen\\Parallels\\Texturen.txt";
const char* const kGroundList = "Resourcen\\Parallels\\Bodentexturen.txt";
const char* const kCabinList = "Resourcen\\Parallels\\cabins.ini";
const char* const kList = "Basis{\r\n\tTextur{\tid(2)\tname(Dach)\t}\r\n}\r\n";

// A package copying a.3dm and merging texture 5, into a host with both lists.
class Plan : public ::testing::Test {
protected:
    void SetUp() override {
        package.Write("a.3dm", "neu");
        package.WriteInHost(kTextureList, kList);
        package.WriteInHost(kGroundList, kList);
    }
    void Script(const std::string& files) {
        package.Write("InstSkript.txt", "Dateinstallation{\r\n" + files +
                                            "}\r\nTexturskript{\r\n{t>>Textur{id(5)name(x)}}}\r\n");
    }
    const InstallPlan& Planned() {
        package.Check(true);
        EXPECT_EQ(package.LastReport().plans.size(), 1u) << package.Listing();
        return package.LastReport().plans.at(0);
    }

    CheckedPackage package;
};

TEST_F(Plan, CopiesNewFilesAndMakesTheirFolders) {
    Script("{a.3dm>>Resourcen\\Neu\\a.3dm}");
    const InstallPlan& plan = Planned();
    ASSERT_EQ(plan.files.size(), 1u);
    EXPECT_EQ(plan.files[0].action, Action::New);
    EXPECT_TRUE(plan.files[0].makesFolders);
    EXPECT_TRUE(plan.succeeds) << package.Listing();
    EXPECT_EQ(plan.textures.added, (std::vector<uint32_t>{5}));
    EXPECT_EQ(plan.groundTextures.outcome, Outcome::Untouched);
}

TEST_F(Plan, DecidesOnExistingFilesByTheirTimes) {
    struct Case {
        const char* behaviour;
        int64_t hostTime;
        Action action;
        int questions;
        const char* destination = "Resourcen\\a.3dm";  // names the host's file
    };
    const Case cases[] = {
        {"an older host file is replaced", 1000, Action::Replace, 0},
        {"a host file of the same age is replaced", 2000, Action::Replace, 0},
        {"a newer host file makes the installer ask", 3000, Action::AskNewer, 1},
        {"a leading backslash names the same file", 3000, Action::AskNewer, 1,
         "\\Resourcen\\a.3dm"},
        {"doubled backslashes name the same file", 1000, Action::Replace, 0, "Resourcen\\\\a.3dm"},
        {"leading and doubled slashes name the same file", 3000, Action::AskNewer, 1,
         "//Resourcen//a.3dm"},
    };
    for (const Case& c : cases) {
        CheckedPackage package;
        package.Write("a.3dm", "neu");
        package.WriteInHost(kTextureList, kList);
        package.Write("InstSkript.txt", std::string("Dateinstallation{{a.3dm>>") + c.destination +
                                            "}}Texturskript{}");
        package.WriteInHost("Resourcen\\a.3dm", "alt");
        ASSERT_TRUE(testpackage::SetWriteTime(package.Path("a.3dm"), 2000));
        ASSERT_TRUE(testpackage::SetWriteTime(package.HostPath("Resourcen\\a.3dm"), c.hostTime));
        package.Check(true);
        const InstallPlan& plan = package.LastReport().plans.at(0);
        ASSERT_EQ(plan.files.size(), 1u) << c.behaviour;
        EXPECT_EQ(plan.files[0].action, c.action) << c.behaviour;
        EXPECT_EQ(plan.questions, c.questions) << c.behaviour;
        EXPECT_EQ(package.Count("plan-newer-in-host"), c.questions) << c.behaviour;
        EXPECT_TRUE(plan.succeeds) << c.behaviour << "\n" << package.Listing();
    }
}

TEST_F(Plan, FailsOnAReadOnlyHostFile) {
    Script("{a.3dm>>Resourcen\\a.3dm}");
    package.WriteInHost("Resourcen\\a.3dm", "alt");
    ASSERT_TRUE(testpackage::SetWriteTime(package.HostPath("Resourcen\\a.3dm"), 1000));
    ASSERT_TRUE(testpackage::SetReadOnly(package.HostPath("Resourcen\\a.3dm"), true));
    const InstallPlan& plan = Planned();
    testpackage::SetReadOnly(package.HostPath("Resourcen\\a.3dm"), false);
    EXPECT_EQ(plan.files.at(0).action, Action::Fail);
    EXPECT_FALSE(plan.succeeds);
    EXPECT_TRUE(package.Has("plan-copy-fails", Severity::Error, "InstSkript.txt", 2))
        << package.Listing();
}

TEST_F(Plan, FailsWhereTheHostHasAFolderOfThatName) {
    Script("{a.3dm>>Resourcen\\Modelle}");
    package.WriteInHost("Resourcen\\Modelle\\b.3dm", "b");
    const InstallPlan& plan = Planned();
    EXPECT_EQ(plan.files.at(0).action, Action::Fail);
    EXPECT_FALSE(plan.succeeds);
}

TEST_F(Plan, MakesNoFoldersAlongSlashes) {
    Script("{a.3dm>>Resourcen/Neu/a.3dm}\r\n{a.3dm>>Resourcen\\Alt/a.3dm}");
    package.WriteInHost("Resourcen\\Alt\\b.3dm", "b");
    const InstallPlan& plan = Planned();
    ASSERT_EQ(plan.files.size(), 2u);
    EXPECT_EQ(plan.files[0].action, Action::Fail);
    EXPECT_EQ(plan.files[1].action, Action::New);
}

TEST(PlanCopies, FailWhereWindowsRefusesTheName) {
    struct Case {
        const char* behaviour;
        std::string entries;   // of "Dateinstallation", from line 2 on
        const char* hostFile;  // written into the host first; nullptr: none
        std::vector<Action> actions;
        const char* code;  // the error finding; nullptr: none
        int count;         // how many of them
        int32_t line;      // the first one's
    };
    const Case cases[] = {
        {"a destination with a character Windows refuses",
         "{a.3dm>>a<b.3dm}\r\n{a.3dm>>a\"b.3dm}\r\n{a.3dm>>a|b.3dm}\r\n{a.3dm>>a?b.3dm}\r\n"
         "{a.3dm>>a*b.3dm}\r\n{a.3dm>>Sub>\\b.3dm}\r\n{a.3dm>>a\x01"
         "b.3dm}\r\n{a.3dm>>a\x1F"
         "b.3dm}",
         nullptr, std::vector<Action>(8, Action::Fail), "destination-character", 8, 2},
        {"the first arrow splits, so a second one stays in the destination",
         "{a.3dm>>b>>c.3dm}",
         nullptr,
         {Action::Fail},
         "destination-character",
         1,
         2},
        {"a destination naming a folder made earlier in the run",
         "{a.3dm>>Sub\\x.3dm}\r\n{a.3dm>>sub}",
         nullptr,
         {Action::New, Action::Fail},
         "plan-copy-fails",
         1,
         3},
        {"a folder on the way that is a file written earlier in the run",
         "{a.3dm>>Sub}\r\n{a.3dm>>Sub\\x.3dm}\r\n{a.3dm>>Sub/Tief\\y.3dm}",
         nullptr,
         {Action::New, Action::Fail, Action::Fail},
         "plan-copy-fails",
         2,
         3},
        {"a folder on the way that is a file of the host",
         "{a.3dm>>Resourcen\\Modelle\\a.3dm}",
         "Resourcen\\Modelle",
         {Action::Fail},
         "plan-copy-fails",
         1,
         2},
        {"leading and doubled separators make and find folders as single ones",
         "{a.3dm>>\\Neu\\\\x.3dm}\r\n{a.3dm>>Neu\\y.3dm}\r\n{a.3dm>>neu\\\\\\X.3dm}",
         nullptr,
         {Action::New, Action::New, Action::Replace},
         nullptr,
         0,
         0},
        {"a folder made earlier in the run takes more files",
         "{a.3dm>>Sub\\x.3dm}\r\n{a.3dm>>Sub\\y.3dm}\r\n{a.3dm>>Sub\\Tief\\z.3dm}",
         nullptr,
         {Action::New, Action::New, Action::New},
         nullptr,
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        CheckedPackage package;
        package.Write("a.3dm", "neu");
        package.WriteInHost(kTextureList, kList);
        package.WriteInHost(kGroundList, kList);
        if (c.hostFile != nullptr) package.WriteInHost(c.hostFile, "alt");
        package.Write("InstSkript.txt",
                      "Dateinstallation{\r\n" + c.entries + "}\r\nTexturskript{}");
        package.Check(true);
        ASSERT_EQ(package.LastReport().plans.size(), 1u);
        const InstallPlan& plan = package.LastReport().plans[0];
        std::vector<Action> actions;
        for (const PlannedFile& file : plan.files) actions.push_back(file.action);
        EXPECT_EQ(actions, c.actions) << package.Listing();
        EXPECT_EQ(plan.succeeds, c.code == nullptr) << "message 107 fails the run";
        if (c.code == nullptr) continue;
        EXPECT_EQ(package.Count(c.code), c.count) << package.Listing();
        EXPECT_TRUE(package.Has(c.code, Severity::Error, "InstSkript.txt", c.line))
            << package.Listing();
    }
}

TEST_F(Plan, ASecondCopyToTheSameFileReplacesTheFirst) {
    Script("{a.3dm>>Resourcen\\a.3dm}\r\n{a.3dm>>Resourcen\\A.3dm}");
    const InstallPlan& plan = Planned();
    ASSERT_EQ(plan.files.size(), 2u);
    EXPECT_EQ(plan.files[0].action, Action::New);
    EXPECT_EQ(plan.files[1].action, Action::Replace);
}

TEST_F(Plan, SkipsMissingSourcesAndRefusesDestinationsOutside) {
    Script("{fehlt.3dm>>Resourcen\\a.3dm}\r\n{a.3dm>>..\\a.3dm}");
    const InstallPlan& plan = Planned();
    ASSERT_EQ(plan.files.size(), 2u);
    EXPECT_EQ(plan.files[0].action, Action::Skip);
    EXPECT_EQ(plan.files[1].action, Action::Fail);
    EXPECT_FALSE(plan.succeeds);
}

TEST_F(Plan, NamesTheTexturesAddedAndReplaced) {
    package.Write("InstSkript.txt",
                  "Texturskript{{t>>Textur{id(2)name(Neu)}}{u>>Textur{id(9)name(x)}}}"
                  "Bodenskript{{g>>Textur{id(2)name(Kies)}}}");
    const InstallPlan& plan = Planned();
    EXPECT_EQ(plan.textures.added, (std::vector<uint32_t>{9}));
    ASSERT_EQ(plan.textures.replaced.size(), 1u);
    EXPECT_EQ(plan.textures.replaced[0].second, "Dach");
    EXPECT_NE(plan.textures.content.find("id(9)"), std::string::npos);
    EXPECT_EQ(plan.groundTextures.outcome, Outcome::Written);
    EXPECT_TRUE(plan.groundTextures.added.empty());
    EXPECT_TRUE(plan.succeeds);
}

TEST_F(Plan, JudgesTheHostsLists) {
    struct Case {
        const char* behaviour;
        const char* list;
        const char* content;  // nullptr: the list is removed; "" with readOnly
        bool readOnly;
        const char* code;
        Severity severity;
        bool succeeds;
    };
    const Case cases[] = {
        {"no texture list fails the run", kTextureList, nullptr, false, "plan-list-missing",
         Severity::Error, false},
        {"an unreadable texture list fails the run", kTextureList, "Basis{Textur{id(1)}}", false,
         "plan-list-unreadable", Severity::Error, false},
        {"a read-only texture list fails the run", kTextureList, kList, true, "plan-list-read-only",
         Severity::Error, false},
        {"no ground-texture list merges nothing", kGroundList, nullptr, false, "plan-list-missing",
         Severity::Note, true},
        {"an unreadable ground-texture list merges nothing", kGroundList, "Basis{Textur{name(x)}}",
         false, "plan-list-unreadable", Severity::Warning, true},
        {"a read-only ground-texture list fails the run", kGroundList, kList, true,
         "plan-list-read-only", Severity::Error, false},
        {"no cabin list is not made", kCabinList, nullptr, false, "plan-list-missing",
         Severity::Note, true},
        {"a read-only cabin list fails the run", kCabinList, "[A]\r\nx = 1\r\n", true,
         "plan-list-read-only", Severity::Error, false},
    };
    for (const Case& c : cases) {
        CheckedPackage package;
        package.Write(
            "InstSkript.txt",
            "Texturskript{{t>>Textur{id(5)name(x)}}}Bodenskript{{g>>Textur{id(5)name(x)}}}");
        package.Write("cabin.ini", "[B]\r\ny = 2\r\n");
        package.WriteInHost(kTextureList, kList);
        package.WriteInHost(kGroundList, kList);
        package.WriteInHost(kCabinList, "[A]\r\nx = 1\r\n");
        if (c.content == nullptr) {
            ASSERT_TRUE(files::RemoveTree(package.HostPath(c.list)));
        } else {
            package.WriteInHost(c.list, c.content);
        }
        if (c.readOnly) {
            ASSERT_TRUE(testpackage::SetReadOnly(package.HostPath(c.list), true));
        }
        package.Check(true);
        if (c.readOnly) testpackage::SetReadOnly(package.HostPath(c.list), false);
        ASSERT_EQ(package.LastReport().plans.size(), 1u) << c.behaviour;
        EXPECT_EQ(package.LastReport().plans[0].succeeds, c.succeeds) << c.behaviour << "\n"
                                                                      << package.Listing();
        bool found = false;
        for (const Finding& finding : package.LastReport().findings) {
            found = found || (finding.code == c.code && finding.severity == c.severity &&
                              finding.inHost && finding.file == c.list && finding.plan == 0);
        }
        EXPECT_TRUE(found) << c.behaviour << "\n" << package.Listing();
    }
}

TEST_F(Plan, MergesCabinsAndWarnsAboutNamesThatDifferInCase) {
    package.Write("InstSkript.txt", "Texturskript{}");
    package.WriteInHost(kCabinList, "[Kabine]\r\nSitze = 2\r\nModell = Nordbahnhof\r\n");
    package.Write("cabin.ini",
                  "[Kabine]\r\nsitze = 3\r\nLicht = Y\r\n[kabine]\r\nx = 1\r\n[Neu]\r\ny = 2\r\n");
    const InstallPlan& plan = Planned();
    EXPECT_EQ(plan.cabins.outcome, Outcome::Written);
    EXPECT_EQ(plan.cabins.sectionsAdded, (std::vector<std::string>{"kabine", "Neu"}));
    EXPECT_EQ(plan.cabins.keysAdded, (std::vector<std::string>{"Kabine: sitze", "Kabine: Licht"}));
    EXPECT_EQ(package.Count("plan-cabin-case"), 2) << package.Listing();
    EXPECT_NE(plan.cabins.content.find("[Neu]"), std::string::npos);
    // The merge writes the host's own "Nordbahnhof" back as N.
    bool hostValue = false;
    for (const Finding& finding : package.LastReport().findings) {
        hostValue = hostValue ||
                    (finding.code == "cabin-value-changed" && finding.inHost && finding.line == 3);
    }
    EXPECT_TRUE(hostValue) << package.Listing();
}

TEST(PlanHost, AMissingHostFolderIsAnError) {
    CheckedPackage package;
    package.Write("InstSkript.txt", "Texturskript{}");
    Options options;
    options.packageDir = package.Folder();
    options.hostDir = package.HostPath("fehlt");
    options.languages = {"GER"};
    Report report;
    ASSERT_TRUE(checker::Check(options, &report));
    EXPECT_TRUE(report.plans.empty());
    EXPECT_EQ(report.Count(Severity::Error), 1);
    EXPECT_EQ(report.findings.back().code, "host-unreadable");
}

}  // namespace

}  // namespace pakcheck
