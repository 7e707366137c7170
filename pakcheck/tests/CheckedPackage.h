// Packages built inline for the checker's tests: a scratch folder that holds
// a package (and, when wanted, a host folder), files written into it by
// their package names ("Modelle\a.3dm"), and the checker's report on it.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <map>
#include <string>

#include "pakcheck/Checker.h"
#include "pakcheck/reporting/Report.h"

namespace pakcheck {

namespace testpackage {

// A parameterised test's name made of its case's `behaviour`: letters and
// digits as they are, everything else "_".
template <typename Case>
std::string BehaviourName(const ::testing::TestParamInfo<Case>& info) {
    std::string name;
    for (const char* p = info.param.behaviour; *p != '\0'; ++p) {
        name.push_back(std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_');
    }
    return name;
}

// The folder of the bundled example ("package", "catalogue", "host") and of
// the expected host folders after installing them ("installed", "signale").
std::string ExampleFolder(const std::string& name);
std::string GoldenFolder(const std::string& name);
// A file of the source tree by its path from the top ("pakcheck\reporting\Finding.cpp").
std::string SourceFile(const std::string& name);

// A file tree: relative path with backslashes -> bytes.
using Tree = std::map<std::string, std::string>;
Tree ReadTree(const std::string& folder);
// Copies a tree into `folder`; false when a file cannot be written.
bool WriteTree(const std::string& folder, const Tree& tree);

// Last write time, in seconds since 1970, and the read-only flag.
bool SetWriteTime(const std::string& path, int64_t seconds);
bool SetReadOnly(const std::string& path, bool readOnly);

// Checks a JSON report of `report`. Natively it is parsed with a real JSON
// parser (strict: valid UTF-8, proper escapes) and its summary, package
// folder and findings are compared with the report, text for text; under
// Windows, where the tests have no parser, only its brackets and strings are
// checked for balance.
void ExpectJsonReport(const std::string& json, const Report& report);

class CheckedPackage {
public:
    CheckedPackage();
    ~CheckedPackage();
    CheckedPackage(const CheckedPackage&) = delete;
    CheckedPackage& operator=(const CheckedPackage&) = delete;

    // Writes a file of the package (or of the host), making its folders.
    void Write(const std::string& name, const std::string& bytes);
    void WriteInHost(const std::string& name, const std::string& bytes);
    // The system path of a file of the package or the host.
    std::string Path(const std::string& name) const;
    std::string HostPath(const std::string& name) const;
    const std::string& Folder() const { return package; }
    const std::string& Host() const { return host; }

    // Runs the checker; with `host` true it also plans an installation.
    const Report& Check(bool host = false, const std::string& language = "");
    // The same, run from the folder that holds the package and the host and
    // naming them "package" and "host", as an author would on the command
    // line: the report's paths are then the same on every system.
    const Report& CheckByRelativePaths(bool host);
    const Report& LastReport() const { return report; }

    // The findings of that code, and whether one of them matches exactly.
    int Count(const std::string& code) const;
    bool Has(const std::string& code, Severity severity, const std::string& file,
             int32_t line) const;
    // Every finding, one per line, for failure messages.
    std::string Listing() const;

private:
    std::string root;
    std::string package;
    std::string host;
    Report report;
};

}  // namespace testpackage

}  // namespace pakcheck
