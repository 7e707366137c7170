// One end-to-end scene: a scratch copy of the example host folder registered
// as the installed host program, a scratch package folder holding a copy of
// the real Pakwerk.exe, the simulator's profile in the registry, and the
// installer started there as a user would start it (by its path, with the
// package folder as its current directory).
//
// Files get fixed dates: the host's are older than the package's, so that an
// ordinary install replaces them without a question.
//
// Destruction ends a program still running, removes the scratch folders, the
// registry keys, and the restore points of runs into its host folder.
#pragma once

#include "automation/ChildProcess.h"
#include "automation/ProgramWindows.h"
#include "e2e/FileTree.h"
#include "tests/support/TestRegistry.h"

#include <windows.h>

#include <string>
#include <vector>

class Scenario {
public:
    enum class Package {
        Single,     // example/package: "InstSkript.txt" and no catalogue
        Catalogue,  // example/package with example/catalogue laid over it
    };

    // Simulator major version 5, patch 1, plug-in 2 present: the catalogue's
    // packages for Trako 6, for patch 3 and for plug-in 7 are refused.
    static testregistry::SimulatorProfile DefaultSimulator();

    static constexpr DWORD kShowTimeoutMs = 15000;
    static constexpr int kHostYear = 2020;
    static constexpr int kPackageYear = 2024;

    Scenario() = default;
    Scenario(const Scenario&) = delete;
    Scenario& operator=(const Scenario&) = delete;
    ~Scenario();

    // Builds the folders and the registry; false with a reason in Error().
    bool Prepare(Package kind);
    const std::string& Error() const { return error; }

    // Adds `files` generated files of about `totalBytes` together, spread
    // over `folders` folders, to the prepared package below kGeneratedSource
    // and lists them first in its "Dateinstallation", each to the same name
    // below kGeneratedDestination in the host. `names` (when given) receives
    // their names below those folders in script order. False with a reason
    // in Error().
    static constexpr const char* kGeneratedSource = "Masse";
    static constexpr const char* kGeneratedDestination = "Resourcen\\Masse";
    bool AddGeneratedFiles(int files, int folders, size_t totalBytes,
                           std::vector<std::string>* names = nullptr);

    const std::string& HostFolder() const { return host; }
    const std::string& PackageFolder() const { return package; }

    // The installer's run.
    bool Start();
    DWORD ProcessId() const { return program.Id(); }
    bool WaitForExit(DWORD timeoutMs = kShowTimeoutMs) { return program.WaitForExit(timeoutMs); }
    bool Running() const { return program.Running(); }
    // Ends the installer at once, as a crash or a power cut would
    // (TerminateProcess), and waits until it has gone; false when it has not.
    bool Kill() { return program.Terminate(); }

    // The installer's window of that kind once it shows, or nullptr.
    HWND WaitFor(automation::ProgramWindow kind, DWORD timeoutMs = kShowTimeoutMs) const;
    HWND Find(automation::ProgramWindow kind) const;

    // What the installer shows now, for failure messages.
    std::string Screen() const;

    filetree::Contents HostContents() const { return filetree::ReadTree(host); }

    // Expected host folders: the example host as it was, or a committed
    // golden folder (tests/e2e/golden/NAME).
    static filetree::Contents OriginalHost();
    static filetree::Contents Golden(const std::string& name);
    static std::string ExampleFolder();

private:
    bool Fail(const std::string& reason);

    std::string root;
    std::string host;
    std::string package;
    std::string error;
    automation::ChildProcess program;
};
