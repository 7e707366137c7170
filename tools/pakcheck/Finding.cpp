#include "Finding.h"

const char* SeverityName(Severity severity) {
    switch (severity) {
    case Severity::Error: return "error";
    case Severity::Warning: return "warning";
    case Severity::Note: return "note";
    }
    return "note";
}

void Add(Findings* findings, Severity severity, const std::string& file, int32_t line,
         const std::string& code, const std::string& message) {
    findings->push_back(Finding{severity, file, line, code, message, false, -1});
}

void AddInHost(Findings* findings, Severity severity, const std::string& file, int32_t line,
               const std::string& code, const std::string& message) {
    findings->push_back(Finding{severity, file, line, code, message, true, -1});
}
