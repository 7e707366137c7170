// A program started by the tests and ended with them: it is started by its
// path in a chosen current directory, and a process still running when the
// object goes away is terminated, so that a failed test leaves no window
// behind to confuse the next one.
#pragma once

#include <windows.h>

#include <string>

namespace automation {

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Starts "program" arguments with currentDirectory as its current
    // directory (the caller's when empty). Its standard output and error go
    // to `output` (an inheritable handle) when that is given. False, with
    // nothing started, when the program cannot be started or a process is
    // still running.
    bool Start(const std::string& program, const std::string& arguments,
               const std::string& currentDirectory, HANDLE output = nullptr);

    DWORD Id() const { return info.dwProcessId; }
    bool Running() const;

    // True when the process has ended within timeoutMs.
    bool WaitForExit(DWORD timeoutMs);

    // The exit code of an ended process; STILL_ACTIVE while it runs.
    DWORD ExitCode() const;

    // Ends a running process; true when none is running afterwards.
    bool Terminate();

private:
    void Release();

    PROCESS_INFORMATION info{};
};

}  // namespace automation
