// The file step of an installation plan: for each entry of
// "Dateinstallation", in order, what the installer's copy would do, with the
// files copied earlier in the same run taken into account. The decision is
// the installer's own (FileEntryDecision.h), its facts answered from the
// host as the run leaves it; what happens to a copy the decision lets go
// ahead is worked out here as Windows would decide it.
#include <map>
#include <set>

#include "pakcheck/planning/InstallPlan.h"
#include "pakcheck/reading/CodePage.h"
#include "pakcheck/reading/FileEntries.h"
#include "pakcheck/reading/FileSystem.h"
#include "pakcheck/reading/PackagePath.h"
#include "pakcheck/reporting/MessageQuote.h"
#include "package/FileEntryDecision.h"
#include "package/MessageIds.h"
#include "textfile/SafeReplace.h"

namespace pakcheck {

namespace installplan {

namespace {

using Action = PlannedFile::Action;

// A file of the host as the run leaves it so far.
struct Target {
    files::FileState state;
    std::string path;
    bool madeInRun = false;  // a folder an earlier copy of the run made
};

// The folder part of a relative destination up to its last separator of
// either kind, and up to its last backslash (the part the installer makes).
std::string FolderOf(const std::string& destination, const char* separators) {
    const std::size_t at = destination.find_last_of(separators);
    return at == std::string::npos ? std::string() : destination.substr(0, at);
}

bool FolderExists(const std::string& hostDir, const std::string& folder,
                  const std::set<std::string>& made) {
    if (folder.empty()) return true;
    if (made.count(packagepath::Key(folder)) != 0) return true;
    const packagepath::Resolved found = packagepath::Resolve(hostDir, folder);
    return found.match != packagepath::Match::Missing && files::Probe(found.path).folder;
}

// A file on the way to `destination` (along either separator): Windows
// cannot make a folder there, so the copy fails. Empty when there is none.
std::string FileOnTheWay(const std::string& hostDir, const std::string& destination,
                         const std::map<std::string, Target>& written) {
    std::string folder = FolderOf(destination, "\\/");
    while (!folder.empty()) {
        const auto earlier = written.find(packagepath::Key(folder));
        if (earlier != written.end() && !earlier->second.state.folder) return folder;
        const packagepath::Resolved found = packagepath::Resolve(hostDir, folder);
        if (found.match != packagepath::Match::Missing && !files::Probe(found.path).folder)
            return folder;
        folder = FolderOf(folder, "\\/");
    }
    return std::string();
}

// The decision's facts, answered as Windows would from the host as the run
// leaves it: a source is found when it exists (a pattern is taken as
// found); a destination is newer when it is a file there and the source
// cannot be opened for its time (a folder or a pattern) or is older.
class PlannedFacts : public fileentry::Facts {
public:
    PlannedFacts(const FileStep& entry, const Target& target, const files::FileState& source)
        : entry(entry), target(target), source(source) {}
    bool SourceExists() override {
        return IsPattern(entry.source) || entry.sourceFile.match != packagepath::Match::Missing;
    }
    bool DestinationNewer() override {
        if (!target.state.exists || target.state.folder) return false;
        if (fileentries::RefusedCharacter(entry.destination) != 0) return false;
        return !entry.sourceUsable || target.state.writeTime > source.writeTime;
    }
    static bool IsPattern(const std::string& source) {
        return source.find_first_of("*?") != std::string::npos;
    }

private:
    const FileStep& entry;
    const Target& target;
    const files::FileState& source;
};

// A copy that fails because of the host folder; failures the script alone
// causes are the script's findings already.
void Fail(PlannedFile* step, const std::string& reason, const std::string& file,
          Findings* findings) {
    step->action = Action::Fail;
    step->reason = reason;
    if (findings == nullptr) return;
    Add(findings, Severity::Error, file, step->line, "plan-copy-fails",
        "Copying " + codepage::Quote(step->source) + " to " + codepage::Quote(step->destination) +
            " fails: " + reason + ". The installer shows message " +
            messagequote::Quote(messageids::CopyFailed) +
            " and reports the installation as failed.");
}

}  // namespace

void PlanFiles(const std::string& hostDir, const ScriptInfo& script, InstallPlan* plan,
               Findings* findings) {
    std::map<std::string, Target> written;  // destination key -> the copy made earlier in the run
    std::set<std::string> made;             // folder keys made earlier in the run
    for (const FileStep& entry : script.files) {
        PlannedFile step;
        step.line = entry.line;
        step.source = entry.source;
        step.destination = entry.destination;
        const std::string key = packagepath::Key(entry.destination);
        Target target;
        const auto earlier = written.find(key);
        if (earlier != written.end()) {
            target = earlier->second;
        } else if (!key.empty() && made.count(key) != 0) {
            target.state.exists = true;
            target.state.folder = true;
            target.madeInRun = true;
        } else if (entry.destinationInside &&
                   fileentries::RefusedCharacter(entry.destination) == 0) {
            // A name Windows refuses names nothing there (and "<", ">" and
            // "?" would be patterns to a lookup).
            const packagepath::Resolved found = packagepath::Resolve(hostDir, entry.destination);
            target.path = found.path;
            if (found.match != packagepath::Match::Missing) target.state = files::Probe(found.path);
        }
        const files::FileState source =
            entry.sourceUsable ? files::Probe(entry.sourceFile.path) : files::FileState();
        PlannedFacts facts(entry, target, source);
        const fileentry::Entry split{entry.hasArrow, entry.source, entry.destination};
        switch (fileentry::Decide(split, facts, false)) {
        case fileentry::Decision::Ignore:
            step.reason = "no \">>\"";
            plan->files.push_back(step);
            continue;
        case fileentry::Decision::SourceMissing:
            step.reason =
                "the source is missing: message " + messagequote::Quote(messageids::SourceMissing);
            plan->files.push_back(step);
            continue;
        case fileentry::Decision::Refuse:
            Fail(&step, "the destination leaves the host folder", script.file, nullptr);
            plan->files.push_back(step);
            continue;
        case fileentry::Decision::KeepNewer:
        case fileentry::Decision::AskNewer:
            step.action = Action::AskNewer;
            ++plan->questions;
            Add(findings, Severity::Note, script.file, step.line, "plan-newer-in-host",
                "The host's " + codepage::Quote(entry.destination) +
                    " is newer than the package's file: the user is asked whether to keep it (message " +
                    messagequote::Quote(messageids::NewerFileQuestion) + ")" +
                    (target.state.readOnly
                         ? "; it is read-only, so answering No makes the copy fail."
                         : "."));
            plan->files.push_back(step);
            continue;
        case fileentry::Decision::Copy: break;
        }
        const std::string onTheWay = FileOnTheWay(hostDir, entry.destination, written);
        if (!entry.sourceUsable) {
            Fail(&step,
                 PlannedFacts::IsPattern(entry.source) ? "the source is a pattern"
                                                       : "the source is a folder",
                 script.file, nullptr);
        } else if (fileentries::RefusedCharacter(entry.destination) != 0) {
            Fail(&step, "the destination holds a character Windows refuses in file names",
                 script.file, nullptr);
        } else if (target.state.exists && target.state.folder) {
            Fail(&step,
                 target.madeInRun ? "an earlier entry of the run made a folder of that name"
                                  : "the host has a folder of that name",
                 script.file, findings);
        } else if (!onTheWay.empty()) {
            Fail(&step,
                 "the folder " + codepage::Quote(onTheWay) +
                     " on the way is a file, so it cannot be made",
                 script.file, findings);
        } else if (target.state.exists &&
                   (target.state.readOnly || !safereplace::TargetWritable(target.path.c_str()))) {
            Fail(&step, "the host's file is read-only or may not be written", script.file,
                 findings);
        } else {
            const std::string slashFolder = FolderOf(entry.destination, "\\/");
            const std::string madeFolder = FolderOf(entry.destination, "\\");
            if (slashFolder != madeFolder && !FolderExists(hostDir, slashFolder, made)) {
                Fail(&step,
                     "the folder " + codepage::Quote(slashFolder) +
                         " does not exist and is not made along \"/\"",
                     script.file, findings);
            } else {
                step.action = target.state.exists ? Action::Replace : Action::New;
                step.makesFolders =
                    !target.state.exists && !FolderExists(hostDir, slashFolder, made);
            }
        }
        if (step.action == Action::New || step.action == Action::Replace) {
            // The copy keeps the source's time and leaves the file writable.
            Target copied;
            copied.path = target.path;
            copied.state = source;
            copied.state.readOnly = false;
            written[key] = copied;
            std::string folder = FolderOf(entry.destination, "\\/");
            while (!folder.empty()) {
                made.insert(packagepath::Key(folder));
                folder = FolderOf(folder, "\\/");
            }
        }
        plan->files.push_back(step);
    }
}

}  // namespace installplan

}  // namespace pakcheck
