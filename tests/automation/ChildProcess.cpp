#include "automation/ChildProcess.h"

namespace automation {

ChildProcess::~ChildProcess() {
    Terminate();
    Release();
}

bool ChildProcess::Start(const std::string& program, const std::string& arguments,
                         const std::string& currentDirectory, HANDLE output) {
    if (Running()) return false;
    Release();
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (output != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, output != nullptr, 0,
                        nullptr, currentDirectory.empty() ? nullptr : currentDirectory.c_str(),
                        &startup, &info)) {
        info = {};
        return false;
    }
    return true;
}

bool ChildProcess::Running() const {
    return info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs) {
    return info.hProcess && WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (info.hProcess) GetExitCodeProcess(info.hProcess, &code);
    return code;
}

bool ChildProcess::Terminate() {
    if (!Running()) return true;
    TerminateProcess(info.hProcess, 1);
    return WaitForExit(5000);
}

void ChildProcess::Release() {
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
    info = {};
}

}  // namespace automation
