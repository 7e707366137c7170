#include "e2e/Scenario.h"

#include "automation/WindowQuery.h"
#include "engine/RestorePoints.h"

#include <cstdint>

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
    program.Terminate();
    testregistry::Clear();
    // Every run leaves a restore point and an uninstall entry in the prefix.
    if (!host.empty()) {
        const std::string root = restorepoints::DefaultRoot();
        for (const restorepoints::Summary& point : restorepoints::List(root)) {
            if (point.journal.host == host + "\\") restorepoints::Forget(root, point.id);
        }
    }
    if (!root.empty()) filetree::RemoveTree(root);
}

bool Scenario::Fail(const std::string& reason) {
    error = reason;
    return false;
}

bool Scenario::Prepare(Package kind) {
    root = ScratchRoot();
    host = root + "\\host";
    package = root + "\\package";
    const std::string example = ExampleFolder();
    if (!filetree::RemoveTree(root) || !CreateDirectoryA(root.c_str(), nullptr)) {
        return Fail("cannot create " + root);
    }
    if (!filetree::CopyTree(example + "\\host", host)) return Fail("cannot copy the example host");
    if (!filetree::CopyTree(example + "\\package", package))
        return Fail("cannot copy the example package");
    if (kind == Package::Catalogue && !filetree::CopyTree(example + "\\catalogue", package)) {
        return Fail("cannot copy the example catalogue");
    }
    const std::string program = filetree::FromUnixPath(PAKWERK_EXE);
    if (!CopyFileA(program.c_str(), (package + "\\Pakwerk.exe").c_str(), FALSE)) {
        return Fail("cannot copy " + program);
    }
    if (!filetree::SetWriteTimes(host, filetree::YearStart(kHostYear)) ||
        !filetree::SetWriteTimes(package, filetree::YearStart(kPackageYear))) {
        return Fail("cannot date the example files");
    }
    if (!testregistry::SetHostFolder(host) ||
        !testregistry::SetSimulatorProfile(DefaultSimulator())) {
        return Fail("cannot write the registry");
    }
    return true;
}

bool Scenario::AddGeneratedFiles(int files, int folders, size_t totalBytes,
                                 std::vector<std::string>* names) {
    const std::string scriptPath = package + "\\InstSkript.txt";
    std::string script;
    const std::string opening = "Dateinstallation\r\n{\r\n";
    const size_t section = filetree::ReadFile(scriptPath, script) ? script.find(opening) : 0;
    if (section == std::string::npos || script.empty())
        return Fail("no file section in the script");

    const std::string source = package + "\\" + kGeneratedSource;
    if (!CreateDirectoryA(source.c_str(), nullptr)) return Fail("cannot create " + source);
    for (int folder = 0; folder < folders; ++folder) {
        const std::string path = source + "\\Ordner" + std::to_string(folder);
        if (!CreateDirectoryA(path.c_str(), nullptr)) return Fail("cannot create " + path);
    }
    // Sizes from a quarter to seven quarters of the mean, so that small and
    // large files alternate as in a real package; the bytes differ per file.
    const size_t mean = totalBytes / static_cast<size_t>(files);
    std::string bytes(mean * 7 / 4 + 16, '\0');
    uint32_t noise = 2463534242u;
    for (char& c : bytes) {
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        c = static_cast<char>(noise);
    }
    std::string entries;
    for (int i = 0; i < files; ++i) {
        const std::string name =
            "Ordner" + std::to_string(i % folders) + "\\Datei" + std::to_string(i) + ".dat";
        const size_t size = mean / 4 + (mean * 3 / 2) * static_cast<size_t>(i % 7) / 6;
        const std::string stamp = std::to_string(i);
        const std::string path = source + "\\" + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        const bool ok =
            file != INVALID_HANDLE_VALUE &&
            WriteFile(file, stamp.data(), static_cast<DWORD>(stamp.size()), &written, nullptr) &&
            WriteFile(file, bytes.data(), static_cast<DWORD>(size), &written, nullptr) &&
            written == size;
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        if (!ok) return Fail("cannot write " + path);
        entries += std::string("\t{") + kGeneratedSource + "\\" + name + " >> " +
                   kGeneratedDestination + "\\" + name + "}\r\n";
        if (names) names->push_back(name);
    }
    script.insert(section + opening.size(), entries);
    HANDLE file = CreateFileA(scriptPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        WriteFile(file, script.data(), static_cast<DWORD>(script.size()), &written, nullptr) &&
        written == script.size();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return ok || Fail("cannot write " + scriptPath);
}

bool Scenario::Start() {
    if (!program.Start(package + "\\Pakwerk.exe", "", package)) {
        return Fail("cannot start Pakwerk.exe (error " + std::to_string(GetLastError()) + ")");
    }
    return true;
}

HWND Scenario::WaitFor(automation::ProgramWindow kind, DWORD timeoutMs) const {
    return automation::WaitForProgramWindow(program.Id(), kind, timeoutMs);
}

HWND Scenario::Find(automation::ProgramWindow kind) const {
    return automation::FindProgramWindow(program.Id(), kind);
}

std::string Scenario::Screen() const {
    return program.Running() ? automation::Describe(program.Id()) : "the installer has ended\n";
}
