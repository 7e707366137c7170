#include "ScriptCheck.h"

#include "CodePage.h"
#include "FileEntries.h"
#include "FileSystem.h"
#include "ScriptLayout.h"
#include "TextureEntries.h"
#include "package/InstallScript.h"
#include "InstallerText.h"

namespace scriptcheck {

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Why the installer does not find section `name`, when the script shows a
// likely reason: the name with text before it outside braces, in another
// case, or only inside braces. Empty when the name is simply not there.
std::string WhyMissing(const ScriptLayout& layout, const std::string& name, int32_t* line) {
    const std::string folded = packagepath::Folded(name);
    for (const ScriptPart& part : layout.parts) {
        if (part.name.empty()) continue;
        const bool sameCase = EndsWith(part.name, name);
        if (!sameCase && !EndsWith(packagepath::Folded(part.name), folded)) continue;
        *line = part.nameLine;
        const std::string written = part.name.substr(part.name.size() - name.size());
        const std::string before = part.name.substr(0, part.name.size() - name.size());
        std::string why;
        if (!before.empty()) {
            why = "the text " + codepage::Quote(before) +
                  " stands before it outside braces and joins its name (put remarks in braces)";
        }
        if (!sameCase) {
            if (!why.empty()) why += ", and ";
            why += "it is written " + codepage::Quote(written) + ": section names are case-sensitive";
        }
        return why;
    }
    for (const ScriptPart& part : layout.parts) {
        for (const ScriptItem& item : part.items) {
            if (item.text.find(name) == std::string::npos) continue;
            *line = item.line;
            return "its name stands inside braces (is a closing brace missing before it?)";
        }
    }
    return std::string();
}

// The section's entries as the installer reads them.
std::vector<std::string> ReadEntries(InstallScript& script, const char* name, bool* found) {
    std::vector<std::string> entries;
    *found = script.FindSection(name);
    std::string entry;
    while (*found && script.NextEntry(entry)) entries.push_back(entry);
    return entries;
}

// Where each entry stands, from the layout when it shows the same entries.
std::vector<const ScriptItem*> EntryItems(const ScriptPart* part,
                                          const std::vector<std::string>& entries) {
    std::vector<const ScriptItem*> items(entries.size(), nullptr);
    if (part == nullptr) return items;
    std::size_t n = 0;
    for (const ScriptItem& item : part->items) {
        if (!item.entry || !item.closed) break;
        if (n == entries.size() || item.text != entries[n]) {
            return std::vector<const ScriptItem*>(entries.size(), nullptr);
        }
        items[n++] = &item;
    }
    if (n != entries.size()) return std::vector<const ScriptItem*>(entries.size(), nullptr);
    return items;
}

// Text in a section body that ends it early, and an entry cut off by the
// end of the file.
void CheckBody(const ScriptPart& part, const std::string& file, Findings* findings) {
    for (std::size_t i = 0; i < part.items.size(); ++i) {
        const ScriptItem& item = part.items[i];
        if (!item.closed) {
            Add(findings, Severity::Warning, file, item.line, "entry-unclosed",
                "Section \"" + part.name + "\": this entry has no closing brace before the end "
                "of the file; the installer drops it.");
            return;
        }
        if (item.entry) continue;
        int32_t unread = 0;
        for (std::size_t j = i + 1; j < part.items.size(); ++j) {
            if (part.items[j].entry) ++unread;
        }
        if (unread > 0) {
            Add(findings, Severity::Warning, file, item.line, "section-ended",
                "Section \"" + part.name + "\": the text " + codepage::Quote(item.text) +
                    " outside braces ends the section here; the installer does not read the " +
                    std::to_string(unread) + (unread == 1 ? " entry" : " entries") + " after it.");
        } else {
            Add(findings, Severity::Note, file, item.line, "section-text",
                "Section \"" + part.name + "\": the text " + codepage::Quote(item.text) +
                    " outside braces is ignored.");
        }
        return;
    }
}

void ReportMissing(const ScriptLayout& layout, const std::string& name, const std::string& file,
                   Findings* findings) {
    int32_t line = 0;
    const std::string why = WhyMissing(layout, name, &line);
    const bool textures = name == kTextureSection;
    std::string effect;
    if (name == kFileSection) {
        effect = "no files are copied";
    } else if (textures) {
        effect = "no textures are merged and the installer reports the whole installation as "
                 "failed (message " + installertext::Quote(105) + "); an empty section \"Texturskript { }\" avoids that";
    } else {
        effect = "no ground textures are merged";
    }
    if (!why.empty()) {
        Add(findings, textures ? Severity::Error : Severity::Warning, file, line, "section-hidden",
            "The installer does not find the section \"" + name + "\": " + why + "; " + effect + ".");
    } else {
        Add(findings, textures ? Severity::Error : Severity::Note, file, 0, "section-absent",
            "No section \"" + name + "\": " + effect + ".");
    }
}

}  // namespace

ScriptInfo Check(const std::string& packageDir, const std::string& file, const std::string& scratch,
                 Findings* findings) {
    ScriptInfo info;
    info.file = file;
    const packagepath::Resolved where = packagepath::Resolve(packageDir, file);
    info.path = where.path;
    std::string bytes;
    if (where.match == packagepath::Match::Missing || !files::ReadBytes(where.path, &bytes)) {
        Add(findings, Severity::Error, file, 0, "script-missing",
            "The install script cannot be read: the installer shows message " + installertext::Quote(102) + " and installs nothing.");
        return info;
    }
    info.readable = true;
    if (where.match == packagepath::Match::OtherCase) {
        Add(findings, Severity::Warning, file, 0, "script-case",
            "The install script exists only as \"" + where.path +
                "\", in another case: Windows finds it, a case-sensitive system does not.");
    }
    const ScriptLayout layout = ScriptLayout::Read(bytes);
    InstallScript script;
    if (!script.Open(where.path.c_str())) {
        Add(findings, Severity::Error, file, 0, "script-missing",
            "The install script cannot be opened: the installer shows message " + installertext::Quote(102) + " and installs nothing.");
        info.readable = false;
        return info;
    }
    for (const char* name : {kFileSection, kTextureSection, kGroundSection}) {
        ScriptSection section;
        section.name = name;
        const std::vector<std::string> entries = ReadEntries(script, name, &section.found);
        section.entries = static_cast<int32_t>(entries.size());
        const ScriptPart* part = layout.Section(name);
        if (!section.found) {
            ReportMissing(layout, name, file, findings);
            info.sections.push_back(section);
            continue;
        }
        if (part != nullptr) {
            section.line = part->nameLine;
            CheckBody(*part, file, findings);
            for (const ScriptPart& other : layout.parts) {
                if (&other != part && other.name == name) {
                    Add(findings, Severity::Warning, file, other.nameLine, "section-twice",
                        "A second section \"" + std::string(name) + "\" (the first is at line " +
                            std::to_string(part->nameLine) + "): the installer reads only the first.");
                    break;
                }
            }
        }
        const std::vector<const ScriptItem*> items = EntryItems(part, entries);
        if (section.name == kFileSection) {
            std::vector<int32_t> lines;
            for (const ScriptItem* item : items) lines.push_back(item != nullptr ? item->line : 0);
            info.files = fileentries::Check(packageDir, file, entries, lines, findings);
        } else {
            std::vector<TextureStep> steps =
                textureentries::Check(name, file, entries, items, bytes, scratch, findings);
            info.textures.insert(info.textures.end(), steps.begin(), steps.end());
        }
        info.sections.push_back(section);
    }
    return info;
}

const char* OutcomeText(TextureStep::Outcome outcome) {
    switch (outcome) {
    case TextureStep::Outcome::Merged: return "merged";
    case TextureStep::Outcome::NoArrow: return "skipped: no \">>\"";
    case TextureStep::Outcome::NoBlock: return "skipped: no \"Textur\" after \">>\"";
    case TextureStep::Outcome::NoClosingBrace: return "skipped: no \"}\" after \"Textur\"";
    case TextureStep::Outcome::NoId: return "skipped: no \"id(\"";
    case TextureStep::Outcome::IdZero: return "skipped: id 0";
    }
    return "";
}

}  // namespace scriptcheck
