// Libraries planted beside the programs. A standard user can put files into
// a downloaded package folder and, by default, into the restore folder below
// ProgramData; both programs run as administrator. A library named after one
// the programs load, put beside either, must never be loaded: the installer
// runs a catalogue installation and the restore program shows its window,
// and no planted library leaves its marker. Wine is told to prefer a library
// found on disk to its own for these two programs (its per-program settings
// in the registry: a child process does not take WINEDLLOVERRIDES from the
// environment its parent set), as Windows does, so that the programs' search
// order is what decides.
#include "automation/ChildProcess.h"
#include "automation/ProgramWindows.h"
#include "automation/WindowAction.h"
#include "automation/WindowQuery.h"
#include "e2e/FlowTest.h"
#include "engine/RestorePoints.h"

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

// The libraries the programs' own code brings in once it runs, as
// WINEDEBUG=+loaddll lists them under Wine: the installer's rich edit library
// and what it imports; the restore program loads none by name, and gets the
// rich edit library's two. Under Wine 8 the system's own libraries also load
// version.dll, uxtheme.dll and zlib1.dll before the program's code runs, and
// later, through delayed imports that ignore the program's search limit,
// msimg32.dll and in pakundo ole32.dll with combase.dll and rpcrt4.dll: those
// are not planted where Wine would take them.
const std::vector<std::string> kBesideInstaller = {"riched20.dll", "usp10.dll",   "ole32.dll",
                                                   "oleaut32.dll", "combase.dll", "rpcrt4.dll"};
const std::vector<std::string> kBesideRestoreProgram = {"riched20.dll", "usp10.dll"};

const char* const kPrograms[] = {"Pakwerk.exe", "pakundo.exe"};

// Wine's library settings for one program: which of its own libraries a
// library found on disk replaces.
std::string OverridesKey(const char* program) {
    return std::string("Software\\Wine\\AppDefaults\\") + program + "\\DllOverrides";
}

class PlantedLibraries : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        Prepare(Scenario::Package::Catalogue);
        store = restorepoints::DefaultRoot();
        ASSERT_FALSE(store.empty());
        for (const char* program : kPrograms) {
            HKEY key = nullptr;
            ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, OverridesKey(program).c_str(), 0, nullptr,
                                      0, KEY_SET_VALUE, nullptr, &key, nullptr),
                      ERROR_SUCCESS);
            for (const std::string& name : kBesideInstaller) {
                const std::string library = name.substr(0, name.size() - 4);
                const char order[] = "native,builtin";
                RegSetValueExA(key, library.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(order), sizeof order);
            }
            RegCloseKey(key);
        }
    }

    void TearDown() override {
        for (const char* program : kPrograms) {
            RegDeleteTreeA(HKEY_CURRENT_USER,
                           ("Software\\Wine\\AppDefaults\\" + std::string(program)).c_str());
        }
        // The restore folder is the prefix's own: nothing planted stays there.
        for (const std::string& name : kBesideRestoreProgram) {
            DeleteFileA((store + "\\" + name).c_str());
            DeleteFileA((store + "\\" + name + ".loaded").c_str());
        }
    }

    static void Plant(const std::string& folder, const std::vector<std::string>& names) {
        const std::string library = filetree::FromUnixPath(PAKWERK_PLANTED_DLL);
        for (const std::string& name : names) {
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

    std::string store;
};

TEST_F(PlantedLibraries, AreNeverLoadedByTheInstallerOrTheRestoreProgram) {
    const std::string package = scenario.PackageFolder();
    ASSERT_NO_FATAL_FAILURE(Plant(package, kBesideInstaller));
    // The planted library does leave its marker when it is loaded (here
    // under a name of its own: this process takes Wine's own library for a
    // system library's name, whatever the path).
    const std::string check = package + "\\planted-check.dll";
    ASSERT_TRUE(
        CopyFileA(filetree::FromUnixPath(PAKWERK_PLANTED_DLL).c_str(), check.c_str(), FALSE));
    EXPECT_EQ(LoadLibraryA(check.c_str()), nullptr);
    ASSERT_EQ(Markers(package), std::vector<std::string>{"planted-check.dll.loaded"});
    ASSERT_TRUE(DeleteFileA((check + ".loaded").c_str()));

    Start();
    if (HWND dialog = Expect(ProgramWindow::Selection)) {
        EXPECT_TRUE(automation::PressButton(dialog, control::kInstallButton));
        EXPECT_NO_FATAL_FAILURE(ExpectSuccessAndEnd());
    }
    EXPECT_EQ(Markers(package), std::vector<std::string>{}) << "beside Pakwerk.exe";

    // The restore program where the uninstall entry starts it, with the
    // libraries beside it.
    const std::string program = store + "\\pakundo.exe";
    ASSERT_TRUE(CopyFileA(filetree::FromUnixPath(PAKUNDO_EXE).c_str(), program.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(Plant(store, kBesideRestoreProgram));
    automation::ChildProcess undo;
    ASSERT_TRUE(undo.Start(program, "", store));
    HWND window = automation::WaitForProgramWindow(undo.Id(), ProgramWindow::Restore,
                                                   Scenario::kShowTimeoutMs);
    EXPECT_NE(window, nullptr) << "no window; " << automation::Describe(undo.Id());
    if (window) {
        EXPECT_TRUE(automation::PressButton(window, IDCANCEL));
        EXPECT_TRUE(undo.WaitForExit(Scenario::kShowTimeoutMs));
    }
    EXPECT_EQ(Markers(store), std::vector<std::string>{}) << "beside pakundo.exe";
}

}  // namespace
