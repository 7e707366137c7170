#include "package/CatalogueReader.h"

#include <cstdio>

#include "package/Language.h"

namespace cataloguereader {

namespace {

constexpr uint32_t kOldestMajorVersion = 3;
constexpr int32_t kVersionValues = 20;

// A catalogue line holds at most 1023 characters, so every text fits. The
// document is still told the buffer's size: a longer text would otherwise be
// copied past its end.
constexpr int32_t kTextBufferSize = 1024;

std::string ReadText(IniDocument& document, const char* section, const std::string& key) {
    char buffer[kTextBufferSize];
    buffer[0] = '\0';
    document.GetString(section, key.c_str(), buffer, kTextBufferSize - 1);
    buffer[kTextBufferSize - 1] = '\0';
    return buffer;
}

void ReadEntry(IniDocument& document, const char* section, const std::string& languageSuffix,
               CatalogueEntry& entry) {
    entry.name = ReadText(document, section, "Name" + languageSuffix);
    entry.description = ReadText(document, section, "Desc" + languageSuffix);
    entry.script = ReadText(document, section, "Script");

    for (uint32_t& value : entry.trakoVersion) value = 0;
    document.GetIntArray(section, "TrakoVersion", entry.trakoVersion, kVersionValues);
    entry.pluginCount = 0;
    for (int32_t i = 1; i < kVersionValues; ++i) {
        if (entry.trakoVersion[i] != 0) ++entry.pluginCount;
    }
    if (entry.trakoVersion[0] < kOldestMajorVersion) entry.trakoVersion[0] = kOldestMajorVersion;

    entry.requiredPatch = 0;
    document.GetIntArray(section, "TrakoPatch", &entry.requiredPatch, 1);
}

}  // namespace

const char* LanguageSuffix(uint16_t languageId) {
    switch (language::ForLanguageId(languageId)) {
    case language::Language::German: return "_GER";
    case language::Language::French: return "_FRA";
    case language::Language::Polish: return "_POL";
    case language::Language::English: break;
    }
    return "_ENG";
}

void Read(IniDocument& document, const std::string& languageSuffix, InstallCatalogue& catalogue) {
    catalogue.entryCount = 0;
    for (int k = 0; k < InstallCatalogue::kCapacity; ++k) {
        char section[16];
        std::snprintf(section, sizeof section, "Install_%.2d", k);
        if (document.HasSection(section, nullptr) <= 0) continue;
        ReadEntry(document, section, languageSuffix, catalogue.entries[catalogue.entryCount]);
        ++catalogue.entryCount;
    }
}

}  // namespace cataloguereader
