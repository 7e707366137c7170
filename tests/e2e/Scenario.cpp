#include "e2e/Scenario.h"

#include "automation/WindowQuery.h"
#include "engine/RestorePoints.h"

#ifndef PAKWERK_EXE
#error "PAKWERK_EXE names the installer under test"
#endif

namespace {

std::string ScratchRoot() {
    static int counter = 0;
    char folder[MAX_PATH] = "";
    GetTempPathA(sizeof folder, folder);
    std::string root = folder;
    if (!root.empty() && root.back() == '\\') root.pop_back();
    return root + "\\pakwerk-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter);
}

}  // namespace

testregistry::SimulatorProfile Scenario::DefaultSimulator() {
    return {0x50000, 1, 0x2};
}

std::string Scenario::ExampleFolder() {
    return filetree::FromUnixPath(PAKWERK_EXAMPLE_DIR);
}

filetree::Contents Scenario::OriginalHost() {
    return filetree::ReadTree(ExampleFolder() + "\\host");
}

filetree::Contents Scenario::Golden(const std::string& name) {
    return filetree::ReadTree(filetree::FromUnixPath(PAKWERK_GOLDEN_DIR) + "\\" + name);
}

Scenario::~Scenario() {
    program_.Terminate();
    testregistry::Clear();
    // Every run leaves a restore point and an uninstall entry in the prefix.
    if (!host_.empty()) {
        const std::string root = restorepoints::DefaultRoot();
        for (const restorepoints::Summary& point : restorepoints::List(root)) {
            if (point.journal.host == host_ + "\\") restorepoints::Forget(root, point.id);
        }
    }
    if (!root_.empty()) filetree::RemoveTree(root_);
}

bool Scenario::Fail(const std::string& reason) {
    error_ = reason;
    return false;
}

bool Scenario::Prepare(Package package) {
    root_ = ScratchRoot();
    host_ = root_ + "\\host";
    package_ = root_ + "\\package";
    const std::string example = ExampleFolder();
    if (!filetree::RemoveTree(root_) || !CreateDirectoryA(root_.c_str(), nullptr)) {
        return Fail("cannot create " + root_);
    }
    if (!filetree::CopyTree(example + "\\host", host_)) return Fail("cannot copy the example host");
    if (!filetree::CopyTree(example + "\\package", package_))
        return Fail("cannot copy the example package");
    if (package == Package::Catalogue && !filetree::CopyTree(example + "\\catalogue", package_)) {
        return Fail("cannot copy the example catalogue");
    }
    const std::string program = filetree::FromUnixPath(PAKWERK_EXE);
    if (!CopyFileA(program.c_str(), (package_ + "\\Pakwerk.exe").c_str(), FALSE)) {
        return Fail("cannot copy " + program);
    }
    if (!filetree::SetWriteTimes(host_, filetree::YearStart(kHostYear)) ||
        !filetree::SetWriteTimes(package_, filetree::YearStart(kPackageYear))) {
        return Fail("cannot date the example files");
    }
    if (!testregistry::SetHostFolder(host_) ||
        !testregistry::SetSimulatorProfile(DefaultSimulator())) {
        return Fail("cannot write the registry");
    }
    return true;
}

bool Scenario::Start() {
    if (!program_.Start(package_ + "\\Pakwerk.exe", "", package_)) {
        return Fail("cannot start Pakwerk.exe (error " + std::to_string(GetLastError()) + ")");
    }
    return true;
}

HWND Scenario::WaitFor(automation::ProgramWindow kind, DWORD timeoutMs) const {
    return automation::WaitForProgramWindow(program_.Id(), kind, timeoutMs);
}

HWND Scenario::Find(automation::ProgramWindow kind) const {
    return automation::FindProgramWindow(program_.Id(), kind);
}

std::string Scenario::Screen() const {
    return program_.Running() ? automation::Describe(program_.Id()) : "the installer has ended\n";
}
