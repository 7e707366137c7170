#include "pakcheck/reporting/TextReport.h"

#include <functional>

#include "pakcheck/reading/CodePage.h"
#include "pakcheck/reporting/MessageQuote.h"
#include "package/MessageIds.h"

namespace pakcheck {

namespace textreport {

namespace {

using Filter = std::function<bool(const Finding&)>;

std::string Counted(int32_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The line number of an entry, right-aligned under its section.
std::string LineColumn(int32_t line) {
    std::string number = line > 0 ? std::to_string(line) : "?";
    if (number.size() < 6) number.insert(0, 6 - number.size(), ' ');
    return number + "  ";
}

std::string Quoted(const std::string& text) {
    return "\"" + codepage::AsUtf8(text) + "\"";
}

std::string Ids(const std::vector<uint32_t>& ids) {
    std::string text;
    for (uint32_t id : ids) text += (text.empty() ? "" : ", ") + std::to_string(id);
    return text;
}

std::string Names(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

std::string OneLine(std::string text) {
    for (std::size_t at; (at = text.find('\n')) != std::string::npos;) text.replace(at, 1, " / ");
    return text;
}

void WriteFindings(const Report& report, const Filter& belongs, std::vector<bool>* shown,
                   std::string* out) {
    for (std::size_t i = 0; i < report.findings.size(); ++i) {
        const Finding& finding = report.findings[i];
        if ((*shown)[i] || !belongs(finding)) continue;
        (*shown)[i] = true;
        std::string where = codepage::AsUtf8(finding.file);
        if (finding.inHost && !where.empty()) where = "host: " + where;
        if (finding.line > 0) where += ":" + std::to_string(finding.line);
        std::string severity = SeverityName(finding.severity);
        severity.resize(8, ' ');
        *out += "  " + severity + (where.empty() ? "" : where + ": ") + finding.message + "\n";
    }
}

void WriteCatalogue(const Report& report, std::string* out) {
    const CatalogueInfo& catalogue = report.catalogue;
    if (!catalogue.present) {
        *out +=
            "No catalogue \"InstSkript.ini\": the installer installs \"InstSkript.txt\" as a "
            "single package.\n";
        return;
    }
    *out += "Catalogue \"InstSkript.ini\": " + std::to_string(catalogue.entries.size()) +
            (catalogue.entries.size() == 1 ? " package\n" : " packages\n");
    for (const CatalogueItem& item : catalogue.entries) {
        *out += "  " + std::to_string(item.position + 1) + ". [" + item.section + "] from " +
                Quoted(item.scriptUsed) + "; needs " + item.requirements + "\n";
        for (const CatalogueText& text : item.texts) {
            *out += "     " + text.language + "  " + (text.name.empty() ? "(no name)" : text.name) +
                    "\n";
            if (!text.description.empty()) *out += "          " + OneLine(text.description) + "\n";
        }
    }
}

void WriteScript(const ScriptInfo& script, std::string* out) {
    *out += "Install script " + Quoted(script.file) + " (" + Names(script.usedBy) + ")\n";
    if (!script.readable) return;
    for (const ScriptSection& section : script.sections) {
        std::string label = section.name;
        label.resize(18, ' ');
        if (!section.found) {
            *out += "  " + label + "not found\n";
            continue;
        }
        std::string what;
        if (section.name == scriptcheck::kFileSection) {
            what = Counted(section.entries, "entry", "entries");
        } else {
            std::vector<uint32_t> ids;
            for (const TextureStep& step : script.textures) {
                if (step.section == section.name && step.outcome == TextureStep::Outcome::Merged) {
                    ids.push_back(step.id);
                }
            }
            what = std::to_string(ids.size()) + (ids.size() == 1 ? " texture" : " textures") +
                   (ids.empty() ? "" : " (id " + Ids(ids) + ")");
        }
        *out += "  " + label + "line " + std::to_string(section.line) + ", " + what + "\n";
        if (section.name == scriptcheck::kFileSection) {
            for (const FileStep& step : script.files) {
                *out += LineColumn(step.line) +
                        (step.hasArrow ? codepage::AsUtf8(step.source) + " >> " +
                                             codepage::AsUtf8(step.destination)
                                       : codepage::AsUtf8(step.entry) + " (no \">>\": skipped)") +
                        "\n";
            }
            continue;
        }
        for (const TextureStep& step : script.textures) {
            if (step.section != section.name) continue;
            *out += LineColumn(step.line) +
                    (step.outcome == TextureStep::Outcome::Merged
                         ? "id " + std::to_string(step.id) + ": merged"
                         : std::string(scriptcheck::OutcomeText(step.outcome))) +
                    "\n";
        }
    }
}

void WriteCabin(const CabinInfo& cabin, std::string* out) {
    if (!cabin.present) {
        *out += "No cabin list \"cabin.ini\".\n";
        return;
    }
    int keys = 0;
    std::vector<std::string> names;
    for (const CabinSection& section : cabin.sections) {
        keys += section.keys;
        names.push_back("[" + section.name + "]");
    }
    *out += "Cabin list \"cabin.ini\": " +
            Counted(static_cast<int32_t>(cabin.sections.size()), "section", "sections") + ", " +
            Counted(keys, "key", "keys") + (names.empty() ? "" : ": " + Names(names)) + "\n";
}

const char* ActionName(PlannedFile::Action action) {
    switch (action) {
    case PlannedFile::Action::New: return "new      ";
    case PlannedFile::Action::Replace: return "replace  ";
    case PlannedFile::Action::AskNewer: return "ask      ";
    case PlannedFile::Action::Skip: return "skip     ";
    case PlannedFile::Action::Fail: return "FAILS    ";
    }
    return "";
}

void WriteList(const PlannedList& list, std::string* out) {
    *out += "  " + list.file + ": ";
    if (list.outcome != PlannedList::Outcome::Written) {
        *out +=
            std::string(list.outcome == PlannedList::Outcome::Fails ? "FAILS, " : "untouched, ") +
            list.reason + "\n";
        return;
    }
    std::vector<std::string> parts;
    if (!list.added.empty()) parts.push_back("adds id " + Ids(list.added));
    if (!list.replaced.empty()) {
        std::string replaced = "replaces id ";
        for (std::size_t i = 0; i < list.replaced.size(); ++i) {
            if (i > 0) replaced += ", ";
            replaced += std::to_string(list.replaced[i].first);
            if (!list.replaced[i].second.empty()) replaced += " (" + list.replaced[i].second + ")";
        }
        parts.push_back(replaced);
    }
    if (!list.sectionsAdded.empty()) {
        std::vector<std::string> sections;
        for (const std::string& name : list.sectionsAdded) sections.push_back("[" + name + "]");
        parts.push_back("adds " + Names(sections));
    }
    if (!list.keysReplaced.empty()) parts.push_back("replaces " + Names(list.keysReplaced));
    if (!list.keysAdded.empty()) parts.push_back("adds " + Names(list.keysAdded));
    if (parts.empty()) parts.push_back("rewritten, nothing added");
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + part;
    *out += text + "\n";
}

void WritePlan(const Report& report, const InstallPlan& plan, std::string* out) {
    *out +=
        "Plan: installing from " + Quoted(plan.script) + " into " + Quoted(report.hostDir) + "\n";
    for (const PlannedFile& file : plan.files) {
        std::string line =
            "  " + std::string(ActionName(file.action)) + codepage::AsUtf8(file.destination);
        if (file.action == PlannedFile::Action::AskNewer) {
            line += "  (newer in the host: the user is asked whether to keep it)";
        } else if (file.makesFolders) {
            line += "  (makes folders)";
        } else if (!file.reason.empty()) {
            line += "  (" + file.reason + ")";
        }
        *out += line + "\n";
    }
    WriteList(plan.textures, out);
    WriteList(plan.groundTextures, out);
    WriteList(plan.cabins, out);
    *out += std::string("  => the installer would report ") +
            (plan.succeeds
                 ? "success (message " + messagequote::Quote(messageids::InstallSucceeded) + ")"
                 : "failure (message " + messagequote::Quote(messageids::InstallFailed) + ")") +
            (plan.questions > 0 ? ", after " + std::to_string(plan.questions) +
                                      (plan.questions == 1 ? " question" : " questions")
                                : std::string()) +
            "\n";
}

}  // namespace

std::string Write(const Report& report) {
    std::string out = "Package " + Quoted(report.packageDir) + "\n\n";
    std::vector<bool> shown(report.findings.size(), false);
    const auto packageFile = [](const std::string& file) {
        return [file](const Finding& f) { return f.plan < 0 && !f.inHost && f.file == file; };
    };
    WriteCatalogue(report, &out);
    WriteFindings(report, packageFile("InstSkript.ini"), &shown, &out);
    for (const ScriptInfo& script : report.scripts) {
        out += "\n";
        WriteScript(script, &out);
        WriteFindings(report, packageFile(script.file), &shown, &out);
    }
    out += "\n";
    WriteCabin(report.cabin, &out);
    WriteFindings(report, packageFile("cabin.ini"), &shown, &out);
    for (std::size_t i = 0; i < report.plans.size(); ++i) {
        out += "\n";
        WritePlan(report, report.plans[i], &out);
        WriteFindings(
            report, [i](const Finding& f) { return f.plan == static_cast<int32_t>(i); }, &shown,
            &out);
    }
    bool other = false;
    for (bool done : shown) other = other || !done;
    if (other) {
        out += "\nOther findings\n";
        WriteFindings(
            report, [](const Finding&) { return true; }, &shown, &out);
    }
    out += "\nSummary: " + Counted(report.Count(Severity::Error), "error", "errors") + ", " +
           Counted(report.Count(Severity::Warning), "warning", "warnings") + ", " +
           Counted(report.Count(Severity::Note), "note", "notes") + "\n";
    return out;
}

}  // namespace textreport

}  // namespace pakcheck
