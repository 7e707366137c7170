// Taking a package out again with the restore program: the example
// installed and restored leaves the host folder byte for byte and attribute
// for attribute as before and its uninstall entry gone; of two packages the
// older comes off and the newer's changes stay; an installation killed in
// the middle is restored to the state before it.
#include "automation/ChildProcess.h"
#include "automation/WindowAction.h"
#include "e2e/ExpectedTexts.h"
#include "e2e/FlowTest.h"
#include "engine/RegistryKey.h"
#include "engine/RestorePoints.h"
#include "engine/UninstallEntry.h"

#include <map>

#ifndef PAKUNDO_EXE
#error "PAKUNDO_EXE names the restore program under test"
#endif

using automation::ProgramWindow;
using expected::Text;
namespace control = automation::control;

namespace {

// Every file and folder below `folder` with its attributes; files with their bytes.
void Snapshot(const std::string& folder, const std::string& relative,
              std::map<std::string, std::string>& tree) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        const std::string attributes = "attributes " + std::to_string(found.dwFileAttributes);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree[relative + name + "\\"] = attributes;
            Snapshot(path, relative + name + "\\", tree);
        } else {
            std::string bytes;
            filetree::ReadFile(path, bytes);
            tree[relative + name] = attributes + " " + bytes;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

class Restore : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        Prepare(Scenario::Package::Single);
    }

    std::map<std::string, std::string> Host() const {
        std::map<std::string, std::string> tree;
        Snapshot(scenario_.HostFolder(), "", tree);
        return tree;
    }

    void Install() {
        Start();
        HWND dialog = Expect(ProgramWindow::Install);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
        HWND done = ExpectMessage(Text(106), {IDOK}, true);
        ASSERT_NE(done, nullptr);
        Answer(done, IDOK);
        ExpectEnded();
    }

    // The restore points of runs into this host, newest first.
    std::vector<std::string> Points() const {
        std::vector<std::string> ids;
        for (const restorepoints::Summary& point :
             restorepoints::List(restorepoints::DefaultRoot())) {
            if (point.journal.host == scenario_.HostFolder() + "\\") ids.push_back(point.id);
        }
        return ids;
    }

    static DWORD Pakundo(const std::string& arguments) {
        automation::ChildProcess undo;
        if (!undo.Start(filetree::FromUnixPath(PAKUNDO_EXE), arguments, "") ||
            !undo.WaitForExit(Scenario::kShowTimeoutMs)) {
            return 99;
        }
        return undo.ExitCode();
    }

    static bool HasUninstallEntry(const std::string& id) {
        RegistryKey key;
        return key.SetPath(HKEY_LOCAL_MACHINE, uninstallentry::KeyPath(id).c_str()) &&
               key.Open(KEY_READ);
    }
};

TEST_F(Restore, TakesTheExampleOutAgain) {
    const auto before = Host();
    Install();
    const std::vector<std::string> points = Points();
    ASSERT_EQ(points.size(), 1u);
    EXPECT_TRUE(HasUninstallEntry(points[0]));
    EXPECT_NE(Host(), before);
    EXPECT_EQ(Pakundo("--restore " + points[0] + " --dry-run"), 0u);
    EXPECT_NE(Host(), before);
    EXPECT_EQ(Pakundo("--restore " + points[0]), 0u);
    EXPECT_EQ(Host(), before);
    EXPECT_FALSE(HasUninstallEntry(points[0]));
    EXPECT_TRUE(Points().empty());
    EXPECT_EQ(Pakundo("--restore " + points[0]), 2u);
    EXPECT_EQ(Pakundo("--frobnicate"), 2u);
}

TEST_F(Restore, TheOlderOfTwoPackagesComesOffAndTheNewerStays) {
    Install();
    // A newer package: another signal box and two texture entries.
    const std::string package = scenario_.PackageFolder();
    std::string script =
        "Dateinstallation{{Modelle\\Stellwerk.3dm>>Resourcen\\Modelle\\Gebaeude\\Stellwerk.3dm}}"
        "Texturskript{{x>>Textur{id(16)name(Holz dunkel)}}{x>>Textur{id(50)name(Neu)}}}";
    ASSERT_TRUE(DeleteFileA((package + "\\InstSkript.txt").c_str()));
    FILE* file = fopen((package + "\\InstSkript.txt").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fwrite(script.data(), 1, script.size(), file);
    fclose(file);
    file = fopen((package + "\\Modelle\\Stellwerk.3dm").c_str(), "ab");
    ASSERT_NE(file, nullptr);
    fputs("newer", file);
    fclose(file);
    Install();
    const auto newer = Host();
    const std::vector<std::string> points = Points();
    ASSERT_EQ(points.size(), 2u);

    // The older one leaves what the newer one changed, and says so.
    EXPECT_EQ(Pakundo("--restore " + points[1]), 1u);
    auto after = Host();
    const std::string stellwerk = "Resourcen\\Modelle\\Gebaeude\\Stellwerk.3dm";
    EXPECT_EQ(after[stellwerk], newer.at(stellwerk));
    const std::string textures = after["Resourcen\\Parallels\\Texturen.txt"];
    EXPECT_NE(textures.find("id(16)\tname(Holzdunkel)"), std::string::npos) << textures;
    EXPECT_NE(textures.find("id(50)"), std::string::npos) << textures;
    EXPECT_EQ(textures.find("id(17)"), std::string::npos) << textures;
    EXPECT_EQ(after.count("Resourcen\\Modelle\\Bahnhof\\Gruenwald\\Bahnsteig.3dm"), 0u);
    EXPECT_FALSE(HasUninstallEntry(points[1]));
    EXPECT_TRUE(HasUninstallEntry(points[0]));
}

TEST_F(Restore, AKilledInstallationIsRestoredToTheStateBeforeIt) {
    // The roof texture is newer in the host: the run stops at the question.
    ASSERT_TRUE(filetree::SetWriteTime(scenario_.HostFolder() + "\\Resourcen\\Texturen\\Dach.bmp",
                                       filetree::YearStart(2030)));
    const auto before = Host();
    Start();
    HWND dialog = Expect(ProgramWindow::Install);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(automation::PressButton(dialog, control::kInstallButton));
    ASSERT_NE(scenario_.WaitFor(ProgramWindow::Message), nullptr);
    ASSERT_TRUE(scenario_.Kill());
    EXPECT_NE(Host(), before);
    const std::vector<std::string> points = Points();
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(Pakundo("--restore " + points[0]), 0u);
    EXPECT_EQ(Host(), before);
}

}  // namespace
