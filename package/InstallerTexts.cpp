#include "package/InstallerTexts.h"

namespace installertexts {

namespace {

struct Entry {
    int id;
    const char* text;
};

// Every text of resources/Strings.rc by its own id: 101-118 German, 201-218
// English, 301-318 French, 401-418 Polish.
constexpr Entry kTexts[] = {
#include "InstallerTexts.inc"
};

int Offset(language::Language language) {
    switch (language) {
    case language::Language::German: return 0;
    case language::Language::French: return 200;
    case language::Language::Polish: return 300;
    case language::Language::English: break;
    }
    return 100;
}

}  // namespace

std::string Text(int baseId, language::Language language) {
    if (baseId < kFirstBaseId || baseId > kLastBaseId) return std::string();
    const int id = baseId + Offset(language);
    for (const Entry& entry : kTexts) {
        if (entry.id == id) return entry.text;
    }
    return std::string();
}

}  // namespace installertexts
