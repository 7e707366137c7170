#include "pakcheck/Checker.h"

#include <map>

#include "pakcheck/planning/InstallPlan.h"
#include "pakcheck/reading/CabinCheck.h"
#include "pakcheck/reading/CatalogueCheck.h"
#include "pakcheck/reading/FileSystem.h"
#include "pakcheck/reading/FolderListings.h"
#include "pakcheck/reading/PackagePath.h"
#include "pakcheck/reading/ScriptCheck.h"
#include "pakcheck/reporting/MessageQuote.h"

namespace pakcheck {

namespace checker {

namespace {

// A scratch folder: a new one, removed with its contents when the check
// ends, or the caller's, which stays.
class Scratch {
public:
    explicit Scratch(const std::string& kept) {
        if (kept.empty()) {
            made = files::MakeTemporaryFolder(&path);
            owned = made;
        } else {
            path = kept;
            made = files::Probe(kept).folder;
        }
    }
    ~Scratch() {
        if (owned) files::RemoveTree(path);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    bool Made() const { return made; }
    // A folder inside the scratch folder, for the caller to empty; empty
    // without one.
    std::string Folder() {
        if (!made) return std::string();
        std::string folder = files::Join(path, std::to_string(++folders));
        files::MakeFolder(folder);
        return folder;
    }

private:
    std::string path;
    bool made = false;
    bool owned = false;
    int folders = 0;
};

struct ScriptUse {
    std::string file;
    std::vector<std::string> usedBy;
};

// The install scripts the installer may run, in the order of first use.
std::vector<ScriptUse> ScriptsInUse(const std::string& packageDir, const CatalogueInfo& catalogue) {
    std::vector<ScriptUse> uses;
    if (!catalogue.loaded) {
        uses.push_back({cataloguecheck::kSingleScript, {"the single package"}});
        return uses;
    }
    std::map<std::string, std::size_t> byKey;
    for (const CatalogueItem& item : catalogue.entries) {
        // A missing script of a later entry is the catalogue's finding.
        if (item.position > 0 &&
            (item.scriptUsed.empty() || packagepath::Resolve(packageDir, item.scriptUsed).match ==
                                            packagepath::Match::Missing)) {
            continue;
        }
        const std::string who =
            item.section + ", list position " + std::to_string(item.position + 1);
        const std::string key = packagepath::Key(item.scriptUsed);
        const auto known = byKey.find(key);
        if (known != byKey.end()) {
            uses[known->second].usedBy.push_back(who);
        } else {
            byKey.emplace(key, uses.size());
            uses.push_back({item.scriptUsed, {who}});
        }
    }
    return uses;
}

}  // namespace

bool Check(const Options& options, Report* report) {
    return Check(options, report, std::string());
}

bool Check(const Options& options, Report* report, const std::string& kept) {
    *report = Report();
    // Nothing below changes the package or the host folder, so each folder
    // is listed once (the package's here first).
    folderlistings::FolderListings listings;
    const std::vector<std::string>* names;
    if (!files::Probe(options.packageDir).folder ||
        !folderlistings::Names(options.packageDir, &names)) {
        return false;
    }
    report->packageDir = options.packageDir;
    report->hostDir = options.hostDir;
    report->languages = options.languages;
    // The installer's messages are quoted in the one language asked for.
    messagequote::SetLanguage(options.languages.size() == 1 ? options.languages[0] : "ENG");
    Scratch scratch(kept);
    if (!scratch.Made()) {
        Add(&report->findings, Severity::Error, "", 0, "scratch-unavailable",
            "No scratch folder could be made: texture entries were not tried in a list, and no "
            "plan is made.");
    }
    report->catalogue =
        cataloguecheck::Check(options.packageDir, options.languages, &report->findings);
    for (const ScriptUse& use : ScriptsInUse(options.packageDir, report->catalogue)) {
        ScriptInfo script =
            scriptcheck::Check(options.packageDir, use.file, scratch.Made(), &report->findings);
        script.usedBy = use.usedBy;
        report->scripts.push_back(script);
    }
    report->cabin = cabincheck::Check(options.packageDir, &report->findings);
    if (options.hostDir.empty() || !scratch.Made()) return true;
    if (!files::Probe(options.hostDir).folder) {
        AddInHost(&report->findings, Severity::Error, "", 0, "host-unreadable",
                  "The host folder \"" + options.hostDir + "\" cannot be read: no plan was made.");
        return true;
    }
    for (const ScriptInfo& script : report->scripts) {
        if (!script.readable) continue;
        const std::size_t first = report->findings.size();
        report->plans.push_back(installplan::Make(options.hostDir, script, report->cabin,
                                                  scratch.Folder(), &report->findings));
        for (std::size_t i = first; i < report->findings.size(); ++i) {
            report->findings[i].plan = static_cast<int32_t>(report->plans.size() - 1);
        }
    }
    return true;
}

int ExitStatus(const Report& report) {
    return report.Count(Severity::Error) > 0 ? 1 : 0;
}

}  // namespace checker

}  // namespace pakcheck
