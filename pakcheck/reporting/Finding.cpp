#include "pakcheck/reporting/Finding.h"

#include <cstdio>
#include <cstdlib>

#include "pakcheck/reporting/FindingCodes.h"

namespace pakcheck {

const char* SeverityName(Severity severity) {
    switch (severity) {
    case Severity::Error: return "error";
    case Severity::Warning: return "warning";
    case Severity::Note: return "note";
    }
    return "note";
}

namespace {

// A code outside the table, or a severity the table does not list for it, is
// a fault of the checker itself: stop rather than report a finding no reader
// of the report can look up.
void CheckCode(Severity severity, const std::string& code) {
    const findingcodes::FindingCode* row = findingcodes::Find(code);
    if (row != nullptr && findingcodes::Allows(*row, severity)) return;
    std::fprintf(stderr, "pakcheck: internal fault: the %s \"%s\" is not in FindingCodes.h\n",
                 SeverityName(severity), code.c_str());
    std::abort();
}

}  // namespace

void Add(Findings* findings, Severity severity, const std::string& file, int32_t line,
         const std::string& code, const std::string& message) {
    CheckCode(severity, code);
    findings->push_back(Finding{severity, file, line, code, message, false, -1});
}

void AddInHost(Findings* findings, Severity severity, const std::string& file, int32_t line,
               const std::string& code, const std::string& message) {
    CheckCode(severity, code);
    findings->push_back(Finding{severity, file, line, code, message, true, -1});
}

}  // namespace pakcheck
