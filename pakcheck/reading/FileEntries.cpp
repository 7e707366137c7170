#include "pakcheck/reading/FileEntries.h"

#include <cstdio>
#include <cstring>
#include <map>

#include "pakcheck/reading/CodePage.h"
#include "pakcheck/reading/FileSystem.h"
#include "pakcheck/reporting/MessageQuote.h"
#include "package/FileEntryDecision.h"
#include "package/HostDestination.h"
#include "package/MessageIds.h"

namespace pakcheck {

namespace fileentries {

namespace {

// A path below the package folder as the package would name it.
std::string InPackage(const std::string& packageDir, const std::string& path) {
    if (path.size() > packageDir.size() && path.compare(0, packageDir.size(), packageDir) == 0) {
        std::string relative = path.substr(packageDir.size());
        while (!relative.empty() && (relative[0] == '/' || relative[0] == '\\'))
            relative.erase(0, 1);
        for (char& c : relative) {
            if (c == '/') c = '\\';
        }
        return codepage::Quote(relative);
    }
    return codepage::Quote(path);
}

void CheckSource(const std::string& packageDir, const std::string& file, FileStep* step,
                 Findings* findings) {
    const std::string shown = codepage::Quote(step->source);
    if (step->source.find_first_of("*?") != std::string::npos) {
        Add(findings, Severity::Error, file, step->line, "source-pattern",
            "The source " + shown +
                " holds \"*\" or \"?\": the installer looks files up by pattern but copies only one named file, so this copy fails (message " +
                messagequote::Quote(messageids::CopyFailed) + ").");
        return;
    }
    step->sourceFile = packagepath::Resolve(packageDir, step->source);
    const packagepath::Resolved& found = step->sourceFile;
    if (found.match == packagepath::Match::Missing) {
        if (!found.withBlanks.empty()) {
            Add(findings, Severity::Error, file, step->line, "source-blanks",
                "The source " + shown + " does not exist, but " +
                    InPackage(packageDir, found.withBlanks) +
                    " does: the install script drops blanks, so a file name in it cannot hold any. The installer shows message " +
                    messagequote::Quote(messageids::SourceMissing) + " and leaves the file out.");
        } else {
            Add(findings, Severity::Error, file, step->line, "source-missing",
                "The source " + shown + " is not in the package: the installer shows message " +
                    messagequote::Quote(messageids::SourceMissing) + " and leaves the file out.");
        }
        return;
    }
    if (files::Probe(found.path).folder) {
        Add(findings, Severity::Error, file, step->line, "source-folder",
            "The source " + shown +
                " is a folder: the installer copies single files only, so this copy fails (message " +
                messagequote::Quote(messageids::CopyFailed) + ").");
        return;
    }
    step->sourceUsable = true;
    if (found.match == packagepath::Match::OtherCase) {
        Add(findings, Severity::Warning, file, step->line, "source-case",
            "The source " + shown + " exists only as " + InPackage(packageDir, found.path) +
                ", in another case: Windows finds it, but the names differ.");
    }
}

void CheckDestination(const std::string& file, FileStep* step, Findings* findings) {
    const std::string shown = codepage::Quote(step->destination);
    step->destinationInside = hostdestination::NamesFileInside(step->destination);
    if (step->destination.empty()) {
        Add(findings, Severity::Error, file, step->line, "destination-empty",
            "The entry names no destination after \">>\": the installer refuses it (message " +
                messagequote::Quote(messageids::CopyFailed) +
                ") and reports the installation as failed.");
        step->destinationInside = false;
        return;
    }
    if (!step->destinationInside) {
        Add(findings, Severity::Error, file, step->line, "destination-outside",
            "The destination " + shown +
                " leaves the host folder: the installer refuses to write it (message " +
                messagequote::Quote(messageids::CopyFailed) +
                ") and reports the installation as failed.");
        return;
    }
    // Joined after the host folder's backslash, leading separators only
    // double it, and Windows reads doubled separators as one.
    const std::size_t named = step->destination.find_first_not_of("\\/");
    if (named != 0) {
        Add(findings, Severity::Note, file, step->line, "destination-leading-separator",
            "The destination " + shown + " starts with \"" + step->destination.substr(0, 1) +
                "\": the installer joins it to the host folder all the same, so it names " +
                codepage::Quote(step->destination.substr(named)) + " there.");
    }
    const char last = step->destination.back();
    if (last == '\\' || last == '/') {
        Add(findings, Severity::Error, file, step->line, "destination-folder",
            "The destination " + shown + " names a folder, not a file: the copy fails (message " +
                messagequote::Quote(messageids::CopyFailed) + "). Name the file itself.");
        return;
    }
    const char refused = RefusedCharacter(step->destination);
    if (refused != 0) {
        std::string which = "\"" + std::string(1, refused) + "\"";
        if (static_cast<unsigned char>(refused) < 32) {
            char code[8];
            std::snprintf(code, sizeof code, "0x%.2X", static_cast<unsigned>(refused));
            which = std::string("the control character ") + code;
        }
        Add(findings, Severity::Error, file, step->line, "destination-character",
            "The destination " + shown + " holds " + which +
                ", which Windows refuses in file names" +
                (step->destination.find(">>") != std::string::npos
                     ? " (only the first \">>\" splits an entry)"
                     : "") +
                ": the copy fails (message " + messagequote::Quote(messageids::CopyFailed) +
                ") and the installer reports the installation as failed.");
        return;
    }
    if (step->destination.find('/', named) != std::string::npos) {
        Add(findings, Severity::Warning, file, step->line, "destination-slash",
            "The destination " + shown +
                " uses \"/\": the installer creates missing folders only along \"\\\", so the copy fails when a folder on the way does not exist yet.");
    }
}

void CheckCodePage(const std::string& file, const FileStep& step, Findings* findings) {
    for (const std::string* name : {&step.source, &step.destination}) {
        const std::string problem = codepage::Describe(*name, codepage::CodePage::Windows1252);
        if (problem.empty()) continue;
        Add(findings, Severity::Warning, file, step.line, "name-code-page",
            "The file name " + codepage::Quote(*name) + " " + problem +
                "; the installer passes the bytes on unchanged, so the file gets another name or is not found.");
        return;
    }
}

}  // namespace

char RefusedCharacter(const std::string& name) {
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u >= 1 && u < 32) || (u != 0 && std::strchr("<>:\"|?*", c) != nullptr)) return c;
    }
    return 0;
}

std::vector<FileStep> Check(const std::string& packageDir, const std::string& file,
                            const std::vector<std::string>& entries,
                            const std::vector<int32_t>& lines, Findings* findings) {
    std::vector<FileStep> steps;
    std::map<std::string, int32_t> written;  // destination key -> line of the first entry
    for (std::size_t i = 0; i < entries.size(); ++i) {
        FileStep step;
        step.entry = entries[i];
        step.line = lines[i];
        const fileentry::Entry split = fileentry::Split(step.entry);
        if (!split.hasArrow) {
            Add(findings, Severity::Warning, file, step.line, "file-no-arrow",
                "The entry " + codepage::Quote(step.entry) +
                    " has no \">>\": the installer skips it without a word.");
            steps.push_back(step);
            continue;
        }
        step.hasArrow = true;
        step.source = split.source;
        step.destination = split.destination;
        CheckSource(packageDir, file, &step, findings);
        CheckDestination(file, &step, findings);
        CheckCodePage(file, step, findings);
        const std::string key = packagepath::Key(step.destination);
        if (step.destinationInside && !key.empty()) {
            const auto first = written.find(key);
            if (first != written.end()) {
                Add(findings, Severity::Warning, file, step.line, "destination-twice",
                    "The destination " + codepage::Quote(step.destination) +
                        " is also written by the entry at line " + std::to_string(first->second) +
                        ": this later copy replaces the earlier one (and may ask the user about a newer file first).");
            } else {
                written.emplace(key, step.line);
            }
        }
        steps.push_back(step);
    }
    return steps;
}

}  // namespace fileentries

}  // namespace pakcheck
