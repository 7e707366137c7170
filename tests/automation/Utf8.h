// Conversions between UTF-8 (the test sources' and the console's encoding)
// and UTF-16 (what the helper reads from windows). Texts are read from other
// processes' windows as UTF-16, so that a check does not depend on the
// reader's own ANSI code page.
#pragma once

#include <string>

namespace automation {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& text);

// The text converted to the process's ANSI code page: what an ANSI program
// holds in memory for it. Characters the code page lacks become '?'.
std::string ToAnsi(const std::string& utf8);

}  // namespace automation
