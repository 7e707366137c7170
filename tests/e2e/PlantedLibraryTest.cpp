// Libraries planted beside the programs. A standard user can put files into
// a downloaded package folder and, by default, into the restore folder below
// ProgramData; both programs run as administrator. A library named after one
// the programs load, put beside either, must never be loaded: the installer
// runs a catalogue installation and the restore program shows its window,
// and no planted library leaves its marker. Wine is told to prefer a library
// found on disk to its own (WINEDLLOVERRIDES "n,b"), as Windows does, so
// that the programs' search order is what decides.
#include "automation/ChildProcess.h"
#include "automation/Wait.h"
#include "automation/WindowAction.h"
#include "automation/WindowQuery.h"
#include "e2e/FlowTest.h"
#include "engine/RestorePoints.h"
#include "undo/UndoResources.h"

#include <cstring>
#include <string>
#include <vector>

#ifndef PAKUNDO_EXE
#error "PAKUNDO_EXE names the restore program under test"
#endif
#ifndef PAKWERK_PLANTED_DLL
#error "PAKWERK_PLANTED_DLL names the library that leaves a marker when loaded"
#endif

using automation::ProgramWindow;
namespace control = automation::control;

namespace {

// Every library the two programs load by name once their own code runs
// (WINEDEBUG=+loaddll lists them).
const char* const kPlanted[] = {"riched20.dll", "usp10.dll"};

class PlantedLibraries : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        Prepare(Scenario::Package::Catalogue);
        store_ = restorepoints::DefaultRoot();
        ASSERT_FALSE(store_.empty());
        char overrides[1024] = "";
        const DWORD length =
            GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
        ASSERT_LT(length, sizeof overrides);
        savedOverrides_ = overrides;
        std::string native;
        for (const char* name : kPlanted) {
            native += (native.empty() ? "" : ",") + std::string(name, std::strlen(name) - 4);
        }
        const std::string extended =
            savedOverrides_ + (savedOverrides_.empty() ? "" : ";") + native + "=n,b";
        ASSERT_TRUE(SetEnvironmentVariableA("WINEDLLOVERRIDES", extended.c_str()));
    }

    void TearDown() override {
        SetEnvironmentVariableA("WINEDLLOVERRIDES",
                                savedOverrides_.empty() ? nullptr : savedOverrides_.c_str());
        // The restore folder is the prefix's own: nothing planted stays there.
        for (const char* name : kPlanted) {
            DeleteFileA((store_ + "\\" + name).c_str());
            DeleteFileA((store_ + "\\" + name + ".loaded").c_str());
        }
    }

    static void Plant(const std::string& folder) {
        const std::string library = filetree::FromUnixPath(PAKWERK_PLANTED_DLL);
        for (const char* name : kPlanted) {
            ASSERT_TRUE(CopyFileA(library.c_str(), (folder + "\\" + name).c_str(), FALSE))
                << folder << "\\" << name;
        }
    }

    // The markers of planted libraries that were loaded.
    static std::vector<std::string> Markers(const std::string& folder) {
        std::vector<std::string> found;
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA((folder + "\\*.loaded").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) return found;
        do {
            found.push_back(entry.cFileName);
        } while (FindNextFileA(search, &entry));
        FindClose(search);
        return found;
    }

    std::string store_;
    std::string savedOverrides_;
};

TEST_F(PlantedLibraries, AreNeverLoadedByTheInstallerOrTheRestoreProgram) {
    const std::string package = scenario_.PackageFolder();
    ASSERT_NO_FATAL_FAILURE(Plant(package));
    // The planted library does leave its marker when it is loaded.
    EXPECT_EQ(LoadLibraryA((package + "\\riched20.dll").c_str()), nullptr);
    ASSERT_EQ(Markers(package), std::vector<std::string>{"riched20.dll.loaded"});
    ASSERT_TRUE(DeleteFileA((package + "\\riched20.dll.loaded").c_str()));

    Start();
    if (HWND dialog = Expect(ProgramWindow::Selection)) {
        EXPECT_TRUE(automation::PressButton(dialog, control::kInstallButton));
        EXPECT_NO_FATAL_FAILURE(ExpectSuccessAndEnd());
    }
    EXPECT_EQ(Markers(package), std::vector<std::string>{}) << "beside Pakwerk.exe";

    // The restore program where the uninstall entry starts it, with the
    // libraries beside it.
    const std::string program = store_ + "\\pakundo.exe";
    ASSERT_TRUE(CopyFileA(filetree::FromUnixPath(PAKUNDO_EXE).c_str(), program.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(Plant(store_));
    automation::ChildProcess undo;
    ASSERT_TRUE(undo.Start(program, "", store_));
    HWND window = automation::WaitFor(
        [&] {
            return automation::FindDialog(undo.Id(), [](HWND w) {
                return automation::HasControl(w, IDC_POINT_LIST);
            });
        },
        Scenario::kShowTimeoutMs);
    EXPECT_NE(window, nullptr) << "no window; " << automation::Describe(undo.Id());
    if (window) {
        EXPECT_TRUE(automation::PressButton(window, IDCANCEL));
        EXPECT_TRUE(undo.WaitForExit(Scenario::kShowTimeoutMs));
    }
    EXPECT_EQ(Markers(store_), std::vector<std::string>{}) << "beside pakundo.exe";
}

}  // namespace
