// The checker's picture of an install script against the installer's own
// functions on the same bytes: the sections the installer's reader finds
// and the entries it delivers, each entry's split at ">>", the rule for
// destinations, and for every file entry the decision the installer makes
// (FileEntryDecision.h) against the action in the checker's plan.
//
// The package holds Modelle\a.3dm and Texturen\t.bmp; the host holds
// Resourcen\Modelle\alt.3dm, written later than both. For sources made of
// plain names (letters, digits, "_" and "." inside names) whether they
// exist is worked out here, ignoring case as Windows does; for other
// sources the checker's answer is taken. An entry whose destination an
// earlier entry of the run wrote is left out of the comparison of
// decisions: the earlier copy changed the host.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <utime.h>

#include "ScratchRoot.h"
#include "pakcheck/planning/InstallPlan.h"
#include "pakcheck/reading/FileSystem.h"
#include "pakcheck/reading/FolderListings.h"
#include "pakcheck/reading/PackagePath.h"
#include "pakcheck/reading/ScriptCheck.h"
#include "package/FileEntryDecision.h"
#include "package/HostDestination.h"
#include "package/InstallScript.h"

namespace pakcheck {

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "file plan fuzzer: %s\n", what);
        std::abort();
    }
}

std::string root, package, host;
constexpr const char* kHostFile = "Resourcen\\Modelle\\alt.3dm";

// The names of the package, folded, for plain sources.
bool PlainSourceExists(const std::string& source, bool* plain) {
    static const std::set<std::string> kPackage = {"modelle", "modelle\\a.3dm", "texturen",
                                                   "texturen\\t.bmp", "instskript.txt"};
    std::string folded;
    std::string name;
    *plain = !source.empty();
    for (std::size_t i = 0; i <= source.size() && *plain; ++i) {
        const char c = i < source.size() ? source[i] : '\\';
        if (c == '\\' || c == '/') {
            *plain = !name.empty() && name != "." && name != ".." && name.back() != '.';
            folded += (folded.empty() ? "" : "\\") + name;
            name.clear();
        } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.') {
            name.push_back(c);
        } else if (c >= 'A' && c <= 'Z') {
            name.push_back(static_cast<char>(c - 'A' + 'a'));
        } else {
            *plain = false;
        }
    }
    return *plain && kPackage.count(folded) != 0;
}

class OracleFacts : public fileentry::Facts {
public:
    OracleFacts(bool sourceExists, bool destinationNewer)
        : sourceExists(sourceExists), destinationNewer(destinationNewer) {}
    bool SourceExists() override { return sourceExists; }
    bool DestinationNewer() override { return destinationNewer; }

private:
    bool sourceExists;
    bool destinationNewer;
};

bool Matches(fileentry::Decision decision, PlannedFile::Action action, bool hostFile) {
    using A = PlannedFile::Action;
    switch (decision) {
    case fileentry::Decision::Ignore:
    case fileentry::Decision::SourceMissing: return action == A::Skip;
    case fileentry::Decision::Refuse: return action == A::Fail;
    case fileentry::Decision::KeepNewer:
    case fileentry::Decision::AskNewer: return action == A::AskNewer;
    case fileentry::Decision::Copy:
        return action == A::Fail || action == (hostFile ? A::Replace : A::New);
    }
    return false;
}

int Initialize() {
    root = fuzzscratch::MakeScratchRoot("file plan fuzzer");
    package = files::Join(root, "package");
    host = files::Join(root, "host");
    const std::string models = files::Join(files::Join(host, "Resourcen"), "Modelle");
    Check(files::MakeFolder(package) && files::MakeFolder(files::Join(package, "Modelle")) &&
              files::MakeFolder(files::Join(package, "Texturen")) && files::MakeFolder(host) &&
              files::MakeFolder(files::Join(host, "Resourcen")) && files::MakeFolder(models),
          "cannot make the folders");
    Check(files::WriteBytes(files::Join(package, "Modelle/a.3dm"), "model") &&
              files::WriteBytes(files::Join(package, "Texturen/t.bmp"), "BM") &&
              files::WriteBytes(files::Join(models, "alt.3dm"), "old"),
          "cannot write the files");
    // A day ahead: newer than every source.
    struct utimbuf later;
    later.actime = later.modtime = std::time(nullptr) + 86400;
    Check(utime(files::Join(models, "alt.3dm").c_str(), &later) == 0, "cannot date the host file");
    return 0;
}

int TestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = files::Join(package, "InstSkript.txt");
    Check(files::WriteBytes(path, bytes), "cannot write the script");

    folderlistings::FolderListings listings;  // as checker::Check reads folders
    Findings findings;
    const ScriptInfo script = scriptcheck::Check(package, "InstSkript.txt", true, &findings);
    Check(script.readable, "the checker cannot read the script");

    InstallScript reader;
    reader.OpenBytes(bytes);
    std::vector<std::string> fileEntries;
    for (const ScriptSection& section : script.sections) {
        Check(reader.FindSection(section.name.c_str()) == section.found,
              "the checker finds another section than the installer");
        std::vector<std::string> entries;
        std::string text;
        while (section.found && reader.NextEntry(text)) entries.push_back(text);
        Check(static_cast<int32_t>(entries.size()) == section.entries,
              "the checker counts other entries than the installer reads");
        if (section.name == scriptcheck::kFileSection) fileEntries = entries;
    }
    Check(fileEntries.size() == script.files.size(), "the checker has other file entries");

    InstallPlan plan;
    installplan::PlanFiles(host, script, &plan, &findings);
    Check(plan.files.size() == script.files.size(), "the plan lost or added file entries");
    std::set<std::string> written;
    const std::string hostKey = packagepath::Key(kHostFile);
    for (std::size_t i = 0; i < script.files.size(); ++i) {
        const FileStep& step = script.files[i];
        Check(step.entry == fileEntries[i], "the checker reads another entry text");
        const fileentry::Entry split = fileentry::Split(fileEntries[i]);
        Check(split.hasArrow == step.hasArrow && split.source == step.source &&
                  split.destination == step.destination,
              "the checker splits an entry otherwise");
        Check(step.destinationInside == hostdestination::NamesFileInside(step.destination),
              "the checker judges a destination otherwise");

        bool plain = false;
        bool exists = PlainSourceExists(step.source, &plain);
        const bool checkerFinds = step.sourceFile.match != packagepath::Match::Missing;
        if (plain) {
            Check(checkerFinds == exists, "the checker finds another source than Windows would");
        } else {
            exists = checkerFinds || step.source.find_first_of("*?") != std::string::npos;
        }
        const std::string key = packagepath::Key(step.destination);
        const bool hostFile = !key.empty() && key == hostKey;
        const bool repeated = !key.empty() && !written.insert(key).second;
        if (repeated) continue;
        OracleFacts facts(exists, hostFile);
        const fileentry::Decision decision = fileentry::Decide(split, facts, false);
        Check(Matches(decision, plan.files[i].action, hostFile),
              "the checker's plan disagrees with the installer's decision");
    }
    return 0;
}

}  // namespace

}  // namespace pakcheck

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return pakcheck::Initialize();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return pakcheck::TestOneInput(data, size);
}
