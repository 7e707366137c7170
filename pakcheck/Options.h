// The command line of pakcheck:
//
//   pakcheck PACKAGE_DIR [--host HOST_DIR] [--lang GER|ENG|FRA|POL] [--json]
//   pakcheck --list-findings | --help | --version
//
//   Parse  true with the options; false with a message in `error` (an
//          unknown option, a missing value, no or two package folders;
//          --help, --version and --list-findings need no package folder).
//          Without --lang all four languages are checked.
#pragma once

#include <string>
#include <vector>

namespace pakcheck {

struct Options {
    std::string packageDir;
    std::string hostDir;                 // empty: no plan
    std::vector<std::string> languages;  // "GER", "ENG", "FRA", "POL"
    bool json = false;
    bool help = false;
    bool version = false;
    bool listFindings = false;  // print the table of finding codes instead

    static bool Parse(int argc, const char* const* argv, Options* options, std::string* error);
    // The text of --help: usage, options, exit status.
    static const char* Usage();
    // "pakcheck 1.0.0\n": the project's version (CMake's project VERSION).
    static const char* Version();
};

}  // namespace pakcheck
