#include "pakcheck/reporting/MessageQuote.h"

#include "package/InstallerTexts.h"
#include "package/Language.h"

namespace pakcheck {

namespace messagequote {

namespace {

// Longer quotes are cut after their first sentence.
constexpr std::size_t kLongest = 240;

language::Language current = language::Language::English;

bool IsBreak(char c) {
    return c == '\n' || c == '\r' || c == '\t';
}

}  // namespace

void SetLanguage(const std::string& code) {
    current = code == "GER"   ? language::Language::German
              : code == "FRA" ? language::Language::French
              : code == "POL" ? language::Language::Polish
                              : language::Language::English;
}

std::string Quote(int baseId, const std::vector<std::string>& values) {
    const std::string text = installertexts::Text(baseId, current);
    std::string quoted = "\"";
    std::size_t next = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == 'd')) {
            quoted += next < values.size() ? values[next] : text[i + 1] == 's' ? "..." : "N";
            ++next;
            ++i;
        } else if (IsBreak(text[i])) {
            while (!quoted.empty() && quoted.back() == ' ') quoted.pop_back();
            while (i + 1 < text.size() && (IsBreak(text[i + 1]) || text[i + 1] == ' ')) ++i;
            // The quote does not start or end with a blank.
            if (quoted.size() > 1 && i + 1 < text.size()) quoted.push_back(' ');
        } else {
            quoted.push_back(text[i]);
        }
    }
    while (quoted.size() > 1 && quoted.back() == ' ') quoted.pop_back();
    if (quoted.size() > kLongest + 1) {
        // The first sentence end: ".", "!" or "?" before a blank, not the
        // end of a "..." placeholder.
        for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
            const char c = quoted[i];
            if ((c == '.' || c == '!' || c == '?') && quoted[i + 1] == ' ' &&
                quoted[i - 1] != '.') {
                quoted.resize(i + 1);
                quoted += " ...";
                break;
            }
        }
    }
    return quoted + "\"";
}

}  // namespace messagequote

}  // namespace pakcheck
