#include "pakcheck/reporting/FindingCodes.h"

#include <algorithm>
#include <cstring>

namespace pakcheck {

namespace findingcodes {

const FindingCode* Find(const std::string& code) {
    for (const FindingCode& row : kTable) {
        if (code == row.code) return &row;
    }
    return nullptr;
}

bool Allows(const FindingCode& code, Severity severity) {
    const unsigned bit = severity == Severity::Error     ? Error
                         : severity == Severity::Warning ? Warning
                                                         : Note;
    return (code.severities & bit) != 0;
}

std::string SeverityNames(const FindingCode& code) {
    std::string names;
    for (Severity severity : {Severity::Error, Severity::Warning, Severity::Note}) {
        if (!Allows(code, severity)) continue;
        if (!names.empty()) names += '/';
        names += SeverityName(severity);
    }
    return names;
}

std::string Listing() {
    std::size_t codeWidth = std::strlen("code");
    std::size_t severityWidth = std::strlen("severity");
    for (const FindingCode& row : kTable) {
        codeWidth = std::max(codeWidth, std::strlen(row.code));
        severityWidth = std::max(severityWidth, SeverityNames(row).size());
    }
    auto line = [&](const std::string& code, const std::string& severity,
                    const std::string& meaning) {
        return code + std::string(codeWidth + 2 - code.size(), ' ') + severity +
               std::string(severityWidth + 2 - severity.size(), ' ') + meaning + "\n";
    };
    std::string text = line("code", "severity", "meaning");
    for (const FindingCode& row : kTable) text += line(row.code, SeverityNames(row), row.meaning);
    return text;
}

}  // namespace findingcodes

}  // namespace pakcheck
