// One thing the checker has to tell a package's author: how much it matters,
// where it stands and what the installer will do.
//
//   Error    the installation will fail, or lose or damage something
//   Warning  something will silently not happen, or not as the author meant
//   Note     worth knowing; nothing goes wrong
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pakcheck {

enum class Severity { Error, Warning, Note };

struct Finding {
    Severity severity = Severity::Note;
    std::string file;  // as the package names it: "InstSkript.txt", "Pakete\x\Skript.txt"
    int32_t line = 0;  // 1-based; 0 when the finding concerns no one line
    std::string code;  // stable name of the kind of finding (FindingCodes.h), e.g. "source-missing"
    std::string message;  // one or two sentences, UTF-8
    bool inHost = false;  // `file` lies in the host folder, not in the package
    int32_t plan = -1;    // the installation plan it belongs to; -1 for the package itself
};

using Findings = std::vector<Finding>;

// "error", "warning" or "note".
const char* SeverityName(Severity severity);

// Appends one finding about a file of the package. `code` must be a code of
// FindingCodes.h with `severity` among its severities; anything else is a
// fault of the checker, which then stops (abort) instead of reporting it.
void Add(Findings* findings, Severity severity, const std::string& file, int32_t line,
         const std::string& code, const std::string& message);

// Appends one finding about a file of the host folder.
void AddInHost(Findings* findings, Severity severity, const std::string& file, int32_t line,
               const std::string& code, const std::string& message);

}  // namespace pakcheck
