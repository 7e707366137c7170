// pakcheck: reads a package the way the installer will and tells its author
// what the installer will do with it. See Options.h for the command line.
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "pakcheck/Checker.h"
#include "pakcheck/Options.h"
#include "pakcheck/reporting/FindingCodes.h"
#include "pakcheck/reporting/JsonReport.h"
#include "pakcheck/reporting/TextReport.h"

int main(int argc, char** argv) {
#ifdef _WIN32
    // Libraries from the system folder only, never from the folder pakcheck
    // was put in or runs in (package folders come from elsewhere). Looked up
    // at run time: an old Windows without it gets a message, not a refusal
    // to start.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto setDefault =
        kernel == nullptr
            ? nullptr
            : reinterpret_cast<SetDefaultDllDirectoriesFunction>(
                  reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        std::fputs("pakcheck: this Windows cannot limit the library search to the system folder\n",
                   stderr);
        return 2;
    }
    // The report is UTF-8; a console shows it as such only when told.
    SetConsoleOutputCP(CP_UTF8);
#endif
    pakcheck::Options options;
    std::string error;
    if (!pakcheck::Options::Parse(argc, argv, &options, &error)) {
        std::fprintf(stderr, "pakcheck: %s\n\n%s", error.c_str(), pakcheck::Options::Usage());
        return 2;
    }
    if (options.help) {
        std::fputs(pakcheck::Options::Usage(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(pakcheck::Options::Version(), stdout);
        return 0;
    }
    if (options.listFindings) {
        std::fputs(pakcheck::findingcodes::Listing().c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 2;
    }
    pakcheck::Report report;
    if (!pakcheck::checker::Check(options, &report)) {
        std::fprintf(stderr, "pakcheck: the package folder \"%s\" cannot be read\n",
                     options.packageDir.c_str());
        return 2;
    }
    const std::string text =
        options.json ? pakcheck::jsonreport::Write(report) : pakcheck::textreport::Write(report);
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) != 0 || !written) {
        std::fprintf(stderr, "pakcheck: the report could not be written\n");
        return 2;
    }
    return pakcheck::checker::ExitStatus(report);
}
