// The bundled example: the package and its catalogue variant read clean, and
// the plan of installing either into the example host predicts, byte for
// byte, the host folders the installer really leaves behind (the end-to-end
// tests' expected folders). Their reports are kept as golden files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "CheckedPackage.h"
#include "pakcheck/reading/FileSystem.h"
#include "pakcheck/reading/PackagePath.h"
#include "pakcheck/reporting/JsonReport.h"
#include "pakcheck/reporting/TextReport.h"

namespace pakcheck {

namespace {

using testpackage::CheckedPackage;
using testpackage::Tree;

constexpr int64_t kHostTime = 1577880000;     // 2020, as the end-to-end scenes date the host
constexpr int64_t kPackageTime = 1704110400;  // 2024, the package's files

void Lay(CheckedPackage* package, bool catalogue) {
    Tree files = testpackage::ReadTree(testpackage::ExampleFolder("package"));
    if (catalogue) {
        for (const auto& file : testpackage::ReadTree(testpackage::ExampleFolder("catalogue"))) {
            files[file.first] = file.second;
        }
    }
    ASSERT_TRUE(testpackage::WriteTree(package->Folder(), files));
    for (const auto& file : files) {
        ASSERT_TRUE(testpackage::SetWriteTime(package->Path(file.first), kPackageTime));
    }
    const Tree host = testpackage::ReadTree(testpackage::ExampleFolder("host"));
    ASSERT_FALSE(host.empty());
    ASSERT_TRUE(testpackage::WriteTree(package->Host(), host));
    for (const auto& file : host) {
        ASSERT_TRUE(testpackage::SetWriteTime(package->HostPath(file.first), kHostTime));
    }
}

// The host folder as the plan says the installation leaves it.
Tree Predicted(const CheckedPackage& package, const InstallPlan& plan) {
    Tree tree = testpackage::ReadTree(package.Host());
    for (const PlannedFile& file : plan.files) {
        if (file.action != PlannedFile::Action::New && file.action != PlannedFile::Action::Replace)
            continue;
        std::string bytes;
        EXPECT_TRUE(files::ReadBytes(package.Path(file.source), &bytes)) << file.source;
        tree[file.destination] = bytes;
    }
    for (const PlannedList* list : {&plan.textures, &plan.groundTextures, &plan.cabins}) {
        if (list->outcome == PlannedList::Outcome::Written) tree[list->file] = list->content;
    }
    return tree;
}

void ExpectSameTree(const Tree& actual, const Tree& expected) {
    std::set<std::string> names;
    for (const auto& file : actual) names.insert(file.first);
    for (const auto& file : expected) names.insert(file.first);
    for (const std::string& name : names) {
        const auto a = actual.find(name);
        const auto e = expected.find(name);
        if (a == actual.end()) {
            ADD_FAILURE() << "the plan does not predict " << name;
        } else if (e == expected.end()) {
            ADD_FAILURE() << "the plan predicts " << name << ", which the installer does not make";
        } else {
            EXPECT_EQ(a->second, e->second) << name;
        }
    }
}

TEST(Example, ThePackageHasNoErrorsOrWarnings) {
    CheckedPackage package;
    Lay(&package, false);
    package.Check();
    EXPECT_EQ(package.LastReport().Count(Severity::Error), 0) << package.Listing();
    EXPECT_EQ(package.LastReport().Count(Severity::Warning), 0) << package.Listing();
    // What it has: the blanks of two texture names are dropped.
    EXPECT_EQ(package.Count("texture-blanks"), 2) << package.Listing();
    EXPECT_EQ(checker::ExitStatus(package.LastReport()), 0);
}

TEST(Example, TheCatalogueHasNoErrorsOrWarnings) {
    CheckedPackage package;
    Lay(&package, true);
    package.Check();
    EXPECT_EQ(package.LastReport().Count(Severity::Error), 0) << package.Listing();
    EXPECT_EQ(package.LastReport().Count(Severity::Warning), 0) << package.Listing();
    // Every package has a script of its own, and no two of them merge a
    // texture with the same id.
    ASSERT_EQ(package.LastReport().scripts.size(), 5u) << package.Listing();
    std::set<uint32_t> ids;
    for (const ScriptInfo& script : package.LastReport().scripts) {
        EXPECT_TRUE(script.readable) << script.file;
        std::set<uint32_t> own;
        for (const TextureStep& texture : script.textures) {
            if (texture.section == scriptcheck::kTextureSection) own.insert(texture.id);
        }
        EXPECT_FALSE(own.empty()) << script.file;
        for (uint32_t id : own) EXPECT_TRUE(ids.insert(id).second) << script.file << ": id " << id;
    }
    ASSERT_EQ(package.LastReport().catalogue.entries.size(), 5u);
    EXPECT_EQ(package.LastReport().catalogue.entries[4].section, "Install_06");
    EXPECT_EQ(package.LastReport().catalogue.entries[0].texts[0].name,
              "Bahnhof Grünwald (Grundpaket)");
    EXPECT_EQ(package.LastReport().catalogue.entries[1].texts[3].name, "Linia dużych prędkości");
    EXPECT_EQ(checker::ExitStatus(package.LastReport()), 0);
}

TEST(Example, ThePlanPredictsTheInstalledHostFolder) {
    CheckedPackage package;
    Lay(&package, false);
    const Tree before = testpackage::ReadTree(package.Host());
    package.Check(true);
    ASSERT_EQ(package.LastReport().plans.size(), 1u);
    const InstallPlan& plan = package.LastReport().plans[0];
    EXPECT_TRUE(plan.succeeds) << package.Listing();
    EXPECT_EQ(plan.questions, 0);
    EXPECT_EQ(plan.textures.added, (std::vector<uint32_t>{16, 17}));
    ASSERT_EQ(plan.textures.replaced.size(), 1u);
    EXPECT_EQ(plan.textures.replaced[0].first, 2u);
    EXPECT_EQ(plan.textures.replaced[0].second, "Dachziegel");
    EXPECT_EQ(plan.groundTextures.added, (std::vector<uint32_t>{40}));
    EXPECT_EQ(plan.cabins.sectionsAdded, (std::vector<std::string>{"Kabine_Gruenwald"}));
    EXPECT_EQ(plan.cabins.keysReplaced, (std::vector<std::string>{"Kabine_Stellwerk: Sitze"}));
    EXPECT_EQ(plan.cabins.keysAdded, (std::vector<std::string>{"Kabine_Stellwerk: Licht"}));
    ExpectSameTree(Predicted(package, plan),
                   testpackage::ReadTree(testpackage::GoldenFolder("installed")));
    // Planning touches nothing.
    EXPECT_EQ(testpackage::ReadTree(package.Host()), before);
}

TEST(Example, ThePlanOfTheSignalPackagePredictsItsHostFolder) {
    CheckedPackage package;
    Lay(&package, true);
    package.Check(true);
    const InstallPlan* signals = nullptr;
    for (const InstallPlan& plan : package.LastReport().plans) {
        if (plan.script == "Pakete\\Signale\\Skript.txt") signals = &plan;
    }
    ASSERT_NE(signals, nullptr) << package.Listing();
    EXPECT_TRUE(signals->succeeds);
    EXPECT_EQ(signals->groundTextures.outcome, PlannedList::Outcome::Untouched);
    ExpectSameTree(Predicted(package, *signals),
                   testpackage::ReadTree(testpackage::GoldenFolder("signale")));
}

// The reports of the example, byte for byte as pakcheck/tests/golden
// keeps them. With PAKCHECK_UPDATE_GOLDEN=1 set the test writes them anew
// instead (then read the diff before committing it).
TEST(Example, ReportsMatchTheGoldenReports) {
    struct Case {
        const char* name;
        bool catalogue;
        bool host;
    };
    const Case cases[] = {
        {"package", false, false},
        {"package-host", false, true},
        {"catalogue", true, false},
        {"catalogue-host", true, true},
    };
    const char* update = std::getenv("PAKCHECK_UPDATE_GOLDEN");
    const bool updating = update != nullptr && std::string(update) == "1";
    for (const Case& c : cases) {
        CheckedPackage package;
        Lay(&package, c.catalogue);
        const Report& report = package.CheckByRelativePaths(c.host);
        for (const bool json : {false, true}) {
            const std::string actual = json ? jsonreport::Write(report) : textreport::Write(report);
            if (json) testpackage::ExpectJsonReport(actual, report);
            const std::string path = testpackage::SourceFile(
                std::string("pakcheck\\tests\\golden\\") + c.name + (json ? ".json" : ".txt"));
            if (updating) {
                EXPECT_TRUE(files::WriteBytes(path, actual)) << path;
                continue;
            }
            std::string expected;
            EXPECT_TRUE(files::ReadBytes(path, &expected))
                << path << " (PAKCHECK_UPDATE_GOLDEN=1 makes it)";
            EXPECT_EQ(actual, expected) << path;
        }
    }
}

}  // namespace

}  // namespace pakcheck
