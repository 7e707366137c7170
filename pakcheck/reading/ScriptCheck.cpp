#include "pakcheck/reading/ScriptCheck.h"

#include "pakcheck/reading/CodePage.h"
#include "pakcheck/reading/FileEntries.h"
#include "pakcheck/reading/FileSystem.h"
#include "pakcheck/reading/TextureEntries.h"
#include "pakcheck/reporting/MessageQuote.h"
#include "package/InstallScript.h"
#include "package/MessageIds.h"

namespace pakcheck {

namespace scriptcheck {

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Why the installer does not find section `name`, when the script shows a
// likely reason: the name with text before it outside braces, in another
// case, or only inside braces. Empty when the name is simply not there.
std::string WhyMissing(InstallScript& script, const std::string& name, int32_t* line) {
    const std::string folded = packagepath::Folded(name);
    std::string part;
    int32_t partLine = 0;
    script.Restart();
    while (script.NextName(part, partLine)) {
        if (part.empty()) continue;
        const bool sameCase = EndsWith(part, name);
        if (!sameCase && !EndsWith(packagepath::Folded(part), folded)) continue;
        *line = partLine;
        const std::string written = part.substr(part.size() - name.size());
        const std::string before = part.substr(0, part.size() - name.size());
        std::string why;
        if (!before.empty()) {
            why = "the text " + codepage::Quote(before) +
                  " stands before it outside braces and joins its name (put remarks in braces)";
        }
        if (!sameCase) {
            if (!why.empty()) why += ", and ";
            why +=
                "it is written " + codepage::Quote(written) + ": section names are case-sensitive";
        }
        return why;
    }
    script.Restart();
    while (script.NextName(part, partLine)) {
        if (!script.EnterGroup()) continue;
        std::string item;
        InstallScript::Item kind;
        while (script.NextItem(item, kind)) {
            if (item.find(name) == std::string::npos) continue;
            *line = script.ItemLine();
            return "its name stands inside braces (is a closing brace missing before it?)";
        }
    }
    return std::string();
}

// Text in a section body that ends it early, and an entry cut off by the
// end of the file; the reader stands where NextEntry stopped.
void CheckEnding(InstallScript& script, const std::string& name, const std::string& file,
                 Findings* findings) {
    if (script.SectionEnding() == InstallScript::Ending::CutOff) {
        Add(findings, Severity::Warning, file, script.ItemLine(), "entry-unclosed",
            "Section \"" + name +
                "\": this entry has no closing brace before the end "
                "of the file; the installer drops it.");
        return;
    }
    if (script.SectionEnding() != InstallScript::Ending::Text) return;
    std::string text;
    InstallScript::Item kind;
    if (!script.NextItem(text, kind)) return;
    const int32_t line = script.ItemLine();
    int32_t unread = 0;
    std::string item;
    while (script.NextItem(item, kind)) {
        if (kind != InstallScript::Item::Text) ++unread;
    }
    if (unread > 0) {
        Add(findings, Severity::Warning, file, line, "section-ended",
            "Section \"" + name + "\": the text " + codepage::Quote(text) +
                " outside braces ends the section here; the installer does not read the " +
                std::to_string(unread) + (unread == 1 ? " entry" : " entries") + " after it.");
    } else {
        Add(findings, Severity::Note, file, line, "section-text",
            "Section \"" + name + "\": the text " + codepage::Quote(text) +
                " outside braces is ignored.");
    }
}

// A second top-level section of the same name, which the installer never reads.
void CheckTwice(InstallScript& script, const std::string& name, int32_t firstLine,
                const std::string& file, Findings* findings) {
    std::string part;
    int32_t line = 0;
    bool first = true;
    script.Restart();
    while (script.NextName(part, line)) {
        if (part != name) continue;
        if (first) {
            first = false;
            continue;
        }
        Add(findings, Severity::Warning, file, line, "section-twice",
            "A second section \"" + name + "\" (the first is at line " + std::to_string(firstLine) +
                "): the installer reads only the first.");
        return;
    }
}

void ReportMissing(InstallScript& script, const std::string& name, const std::string& file,
                   Findings* findings) {
    int32_t line = 0;
    const std::string why = WhyMissing(script, name, &line);
    const bool textures = name == kTextureSection;
    std::string effect;
    if (name == kFileSection) {
        effect = "no files are copied";
    } else if (textures) {
        effect =
            "no textures are merged and the installer reports the whole installation as "
            "failed (message " +
            messagequote::Quote(messageids::InstallFailed) +
            "); an empty section \"Texturskript { }\" avoids that";
    } else {
        effect = "no ground textures are merged";
    }
    if (!why.empty()) {
        Add(findings, textures ? Severity::Error : Severity::Warning, file, line, "section-hidden",
            "The installer does not find the section \"" + name + "\": " + why + "; " + effect +
                ".");
    } else {
        Add(findings, textures ? Severity::Error : Severity::Note, file, 0, "section-absent",
            "No section \"" + name + "\": " + effect + ".");
    }
}

}  // namespace

ScriptInfo Check(const std::string& packageDir, const std::string& file, bool tryLists,
                 Findings* findings) {
    ScriptInfo info;
    info.file = file;
    const packagepath::Resolved where = packagepath::Resolve(packageDir, file);
    info.path = where.path;
    std::string bytes;
    if (where.match == packagepath::Match::Missing || !files::ReadBytes(where.path, &bytes)) {
        Add(findings, Severity::Error, file, 0, "script-missing",
            "The install script cannot be read: the installer shows message " +
                messagequote::Quote(messageids::ScriptMissing) + " and installs nothing.");
        return info;
    }
    info.readable = true;
    if (where.match == packagepath::Match::OtherCase) {
        Add(findings, Severity::Warning, file, 0, "script-case",
            "The install script exists only as \"" + where.path +
                "\", in another case: Windows finds it, a case-sensitive system does not.");
    }
    // The bytes just read are the file the installer opens (both read it with
    // fopen "rb"): every section, entry and explanation below comes from them,
    // instead of from reopening the file for each search.
    InstallScript script;
    script.OpenBytes(bytes);
    for (const char* name : {kFileSection, kTextureSection, kGroundSection}) {
        ScriptSection section;
        section.name = name;
        section.found = script.FindSection(name);
        if (!section.found) {
            ReportMissing(script, name, file, findings);
            info.sections.push_back(section);
            continue;
        }
        section.line = script.SectionLine();
        std::vector<std::string> entries;
        std::vector<textureentries::Place> places;
        std::string entry;
        while (script.NextEntry(entry)) {
            entries.push_back(entry);
            places.push_back({script.ItemLine(), script.ItemBegin(), script.ItemEnd()});
        }
        section.entries = static_cast<int32_t>(entries.size());
        CheckEnding(script, name, file, findings);
        CheckTwice(script, name, section.line, file, findings);
        if (section.name == kFileSection) {
            std::vector<int32_t> lines;
            for (const textureentries::Place& place : places) lines.push_back(place.line);
            info.files = fileentries::Check(packageDir, file, entries, lines, findings);
        } else {
            std::vector<TextureStep> steps =
                textureentries::Check(name, file, entries, places, bytes, tryLists, findings);
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

}  // namespace pakcheck
