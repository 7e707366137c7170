// The file step of an installation plan: for each entry of
// "Dateinstallation", in order, what the installer's copy would do, with the
// files copied earlier in the same run taken into account.
#include <map>
#include <set>

#include "CodePage.h"
#include "FileSystem.h"
#include "InstallPlan.h"
#include "PackagePath.h"
#include "textfile/SafeReplace.h"
#include "InstallerText.h"

namespace installplan {

namespace {

using Action = PlannedFile::Action;

// A file of the host as the run leaves it so far.
struct Target {
    files::FileState state;
    std::string path;
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

// A copy that fails because of the host folder; failures the script alone
// causes are the script's findings already.
void Fail(PlannedFile* step, const std::string& reason, const std::string& file, Findings* findings) {
    step->action = Action::Fail;
    step->reason = reason;
    if (findings == nullptr) return;
    Add(findings, Severity::Error, file, step->line, "plan-copy-fails",
        "Copying " + codepage::Quote(step->source) + " to " + codepage::Quote(step->destination) +
            " fails: " + reason + ". The installer shows message " + installertext::Quote(107) + " and reports the installation "
            "as failed.");
}

}  // namespace

void PlanFiles(const std::string& hostDir, const ScriptInfo& script,
               InstallPlan* plan, Findings* findings) {
    std::map<std::string, Target> written;  // destination key -> the copy made earlier in the run
    std::set<std::string> made;             // folder keys made earlier in the run
    for (const FileStep& entry : script.files) {
        PlannedFile step;
        step.line = entry.line;
        step.source = entry.source;
        step.destination = entry.destination;
        if (!entry.hasArrow) {
            step.reason = "no \">>\"";
            plan->files.push_back(step);
            continue;
        }
        const bool pattern = entry.source.find_first_of("*?") != std::string::npos;
        if (!pattern && entry.sourceFile.match == packagepath::Match::Missing) {
            step.reason = "the source is missing: message " + installertext::Quote(108);
            plan->files.push_back(step);
            continue;
        }
        if (!entry.sourceUsable) {
            Fail(&step, pattern ? "the source is a pattern" : "the source is a folder", script.file,
                 nullptr);
            plan->files.push_back(step);
            continue;
        }
        if (!entry.destinationInside) {
            Fail(&step, "the destination leaves the host folder", script.file, nullptr);
            plan->files.push_back(step);
            continue;
        }
        const std::string key = packagepath::Key(entry.destination);
        Target target;
        const auto earlier = written.find(key);
        if (earlier != written.end()) {
            target = earlier->second;
        } else {
            const packagepath::Resolved found = packagepath::Resolve(hostDir, entry.destination);
            target.path = found.path;
            if (found.match != packagepath::Match::Missing) target.state = files::Probe(found.path);
        }
        const files::FileState source = files::Probe(entry.sourceFile.path);
        if (target.state.exists && target.state.folder) {
            Fail(&step, "the host has a folder of that name", script.file, findings);
        } else if (target.state.exists && target.state.writeTime > source.writeTime) {
            step.action = Action::AskNewer;
            ++plan->questions;
            Add(findings, Severity::Note, script.file, step.line, "plan-newer-in-host",
                "The host's " + codepage::Quote(entry.destination) + " is newer than the package's "
                "file: the user is asked whether to keep it (message " + installertext::Quote(103) + ")" +
                    (target.state.readOnly ? "; it is read-only, so answering No makes the copy fail."
                                           : "."));
        } else if (target.state.exists &&
                   (target.state.readOnly || !safereplace::TargetWritable(target.path.c_str()))) {
            Fail(&step, "the host's file is read-only or may not be written", script.file, findings);
        } else {
            const std::string slashFolder = FolderOf(entry.destination, "\\/");
            const std::string madeFolder = FolderOf(entry.destination, "\\");
            if (slashFolder != madeFolder && !FolderExists(hostDir, slashFolder, made)) {
                Fail(&step, "the folder " + codepage::Quote(slashFolder) +
                                " does not exist and is not made along \"/\"",
                     script.file, findings);
            } else {
                step.action = target.state.exists ? Action::Replace : Action::New;
                step.makesFolders = !target.state.exists && !FolderExists(hostDir, slashFolder, made);
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
