#include "pakcheck/reading/CatalogueCheck.h"

#include <cstdio>
#include <memory>

#include "pakcheck/reading/CodePage.h"
#include "pakcheck/reading/FileSystem.h"
#include "pakcheck/reading/PackagePath.h"
#include "pakcheck/reading/Requirements.h"
#include "pakcheck/reporting/MessageQuote.h"
#include "package/CatalogueReader.h"
#include "package/MessageIds.h"
#include "textfile/IniDocument.h"

namespace pakcheck {

namespace cataloguecheck {

namespace {

constexpr int32_t kSections = 32;
// Start-up reads every text into a buffer of 1024 bytes.
constexpr std::size_t kLongestText = 1023;

std::string SectionName(int k) {
    char name[16];
    std::snprintf(name, sizeof name, "Install_%.2d", k);
    return name;
}

codepage::CodePage PageOf(const std::string& language) {
    return language == "POL" ? codepage::CodePage::Windows1250 : codepage::CodePage::Windows1252;
}

const char* LanguageName(const std::string& language) {
    if (language == "GER") return "German";
    if (language == "FRA") return "French";
    if (language == "POL") return "Polish";
    return "English";
}

std::string Shown(const std::string& bytes, codepage::CodePage page) {
    std::string text = codepage::ToUtf8(bytes, page);
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
    return text;
}

// Where the document read section `name` (its first header); 0 when absent.
int32_t SectionLine(const IniDocument& document, const std::string& name) {
    for (const auto& node : document.Nodes()) {
        if (node->Kind() == NodeKind::Section && node->Name().Bytes() == name) return node->Line();
    }
    return 0;
}

// Where the document read the value it keeps for `key`; 0 when absent.
int32_t KeyLine(IniDocument& document, const std::string& section, const char* key) {
    const IniNode* node = document.FindEntry(section.c_str(), key);
    return node != nullptr ? node->Line() : 0;
}

// Sections that look meant for the catalogue but are never read.
void CheckSectionNames(IniDocument& document, Findings* findings) {
    for (const auto& node : document.Nodes()) {
        if (node->Kind() != NodeKind::Section) continue;
        const std::string name(node->Name().Bytes());
        bool entry = false;
        for (int k = 0; k < kSections && !entry; ++k) entry = name == SectionName(k);
        if (entry) continue;
        const int32_t line = node->Line();
        const std::string shown = codepage::ToUtf8(name, codepage::CodePage::Windows1252);
        int number = -1;
        char rest = 0;
        if (std::sscanf(name.c_str(), "Install_%d%c", &number, &rest) == 1 && number >= kSections &&
            name.size() == 10) {
            Add(findings, Severity::Warning, kCatalogue, line, "catalogue-section-beyond",
                "The section \"" + shown +
                    "\" is never read: the installer offers only the sections "
                    "Install_00 to Install_31.");
        } else if (packagepath::Folded(name).find("install") != std::string::npos) {
            Add(findings, Severity::Warning, kCatalogue, line, "catalogue-section-name",
                "The section \"" + shown +
                    "\" is never read: package sections must be named "
                    "exactly Install_00 to Install_31 (two digits, this case, no blanks).");
        } else {
            Add(findings, Severity::Note, kCatalogue, line, "catalogue-section-other",
                "The section \"" + shown +
                    "\" is not a package section; the installer ignores it.");
        }
    }
}

// One language's name or description of an entry.
void CheckText(IniDocument& document, const CatalogueItem& item, const std::string& key,
               const std::string& language, const std::string& read, Findings* findings) {
    const bool name = key.compare(0, 4, "Name") == 0;
    const std::string who = std::string(LanguageName(language)) + " users";
    const std::string where = item.section + ": \"" + key + "\"";
    const IniNode* node = document.FindEntry(item.section.c_str(), key.c_str());
    if (node == nullptr) {
        Add(findings, Severity::Warning, kCatalogue, item.line, "catalogue-text-missing",
            item.section + " has no \"" + key + "\": " + who +
                (name ? " see an empty line in the list." : " see no description."));
        return;
    }
    const int32_t line = node->Line();
    if (node->Kind() != NodeKind::Text) {
        Add(findings, Severity::Warning, kCatalogue, line, "catalogue-text-unquoted",
            where + " is not in double quotes, so it is no text: " + who + " see " +
                (read.empty() ? std::string("nothing") : codepage::Quote(read)) + ".");
        return;
    }
    if (read.empty()) {
        Add(findings, name ? Severity::Warning : Severity::Note, kCatalogue, line,
            "catalogue-text-empty", where + " is empty.");
        return;
    }
    if (static_cast<std::size_t>(node->Count()) > kLongestText) {
        Add(findings, Severity::Warning, kCatalogue, line, "catalogue-text-cut",
            where + " is " + std::to_string(node->Count()) + " characters long: " + who +
                " see only the first 1023.");
    }
    const std::string problem = codepage::Describe(read, PageOf(language));
    if (!problem.empty()) {
        Add(findings, Severity::Warning, kCatalogue, line, "catalogue-code-page",
            where + " " + problem + ".");
    }
}

void CheckScript(const std::string& packageDir, IniDocument& document, const std::string& script,
                 CatalogueItem* item, Findings* findings) {
    const IniNode* node = document.FindEntry(item->section.c_str(), "Script");
    const int32_t line = node != nullptr ? node->Line() : item->line;
    const std::string shown = codepage::Quote(script);
    if (item->position == 0) {
        item->scriptUsed = kSingleScript;
        if (!script.empty() && packagepath::Key(script) != packagepath::Key(kSingleScript)) {
            Add(findings, Severity::Warning, kCatalogue, line, "catalogue-first-script",
                item->section +
                    " is the first package in the list: the installer installs it from "
                    "\"InstSkript.txt\", not from " +
                    shown + ".");
        }
        return;
    }
    item->scriptUsed = script;
    if (node != nullptr && node->Kind() != NodeKind::Text) {
        Add(findings, Severity::Error, kCatalogue, line, "catalogue-script-unquoted",
            item->section +
                ": \"Script\" is not in double quotes, so it reads as empty: choosing "
                "this package ends with message " +
                messagequote::Quote(messageids::ScriptMissing) + ".");
        return;
    }
    if (script.empty()) {
        Add(findings, Severity::Error, kCatalogue, line, "catalogue-script-missing",
            item->section + " names no script: choosing this package ends with message " +
                messagequote::Quote(messageids::ScriptMissing) + ".");
        return;
    }
    if (packagepath::Resolve(packageDir, script).match == packagepath::Match::Missing) {
        Add(findings, Severity::Error, kCatalogue, line, "catalogue-script-missing",
            item->section + ": the script " + shown +
                " is not in the package: choosing this "
                "package ends with message " +
                messagequote::Quote(messageids::ScriptMissing) + ".");
    }
}

}  // namespace

CatalogueInfo Check(const std::string& packageDir, const std::vector<std::string>& languages,
                    Findings* findings) {
    CatalogueInfo info;
    const packagepath::Resolved where = packagepath::Resolve(packageDir, kCatalogue);
    if (where.match == packagepath::Match::Missing) return info;
    info.present = true;
    if (where.match == packagepath::Match::OtherCase) {
        Add(findings, Severity::Warning, kCatalogue, 0, "catalogue-case",
            "The catalogue exists only as \"" + where.path +
                "\", in another case: Windows finds it, "
                "a case-sensitive system does not.");
    }
    std::string bytes;
    auto document = std::make_unique<IniDocument>(false);
    if (!files::ReadBytes(where.path, &bytes) || document->Load(where.path.c_str(), 0, 0) != 0) {
        Add(findings, Severity::Warning, kCatalogue, 0, "catalogue-unreadable",
            "The catalogue is empty or cannot be read: the installer ignores it and installs "
            "\"InstSkript.txt\" as a single package.");
        return info;
    }
    info.loaded = true;
    for (const IniDroppedLine& dropped : document->DroppedLines()) {
        Add(findings, Severity::Warning, kCatalogue, dropped.line, "catalogue-line-dropped",
            "The line " + codepage::Quote(dropped.text) + " is dropped: " +
                (dropped.reason == IniDroppedLine::OutsideSection
                     ? "it stands before any valid section header."
                 : dropped.reason == IniDroppedLine::BadHeader ? "the header has no \"]\"."
                                                               : "it has no \"=\"."));
    }
    CheckSectionNames(*document, findings);

    // Start-up's own reading, once per language.
    std::vector<std::unique_ptr<InstallCatalogue>> read;
    for (const std::string& language : languages) {
        read.push_back(std::make_unique<InstallCatalogue>());
        cataloguereader::Read(*document, "_" + language, *read.back());
    }
    std::vector<std::string> sections;
    for (int k = 0; k < kSections; ++k) {
        if (document->HasSection(SectionName(k).c_str(), nullptr) > 0)
            sections.push_back(SectionName(k));
    }
    if (sections.empty()) {
        Add(findings, Severity::Error, kCatalogue, 0, "catalogue-empty",
            "The catalogue offers no package (no section Install_00 to Install_31): the selection "
            "list is empty and nothing can be installed.");
        return info;
    }
    for (std::size_t position = 0; position < sections.size(); ++position) {
        const CatalogueEntry& first = read.front()->entries[position];
        CatalogueItem item;
        item.position = static_cast<int32_t>(position);
        item.section = sections[position];
        item.line = SectionLine(*document, item.section);
        item.script = codepage::ToUtf8(first.script, codepage::CodePage::Windows1252);
        for (std::size_t l = 0; l < languages.size(); ++l) {
            const CatalogueEntry& entry = read[l]->entries[position];
            const codepage::CodePage page = PageOf(languages[l]);
            item.texts.push_back(
                {languages[l], Shown(entry.name, page), Shown(entry.description, page)});
            CheckText(*document, item, "Name_" + languages[l], languages[l], entry.name, findings);
            CheckText(*document, item, "Desc_" + languages[l], languages[l], entry.description,
                      findings);
        }
        CheckScript(packageDir, *document, first.script, &item, findings);
        requirements::Source source;
        source.version = document->FindEntry(item.section.c_str(), "TrakoVersion");
        source.patch = document->FindEntry(item.section.c_str(), "TrakoPatch");
        source.versionLine = KeyLine(*document, item.section, "TrakoVersion");
        source.patchLine = KeyLine(*document, item.section, "TrakoPatch");
        if (source.versionLine == 0) source.versionLine = item.line;
        requirements::Judge(first, source, kCatalogue, &item, findings);
        info.entries.push_back(item);
    }
    return info;
}

}  // namespace cataloguecheck

}  // namespace pakcheck
