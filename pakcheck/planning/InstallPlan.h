// What an installation from one install script would do to a host folder,
// worked out without touching it: each file new, replaced, or newer in the
// host (the user is asked), the textures each list gains or has replaced,
// the cabin sections and keys merged, and whether each step succeeds.
//
// The texture and cabin merges are the installer's own, run on copies of the
// host's lists in a scratch folder; each file entry gets the installer's own
// decision (FileEntryDecision.h), and a copy it lets go ahead fails where
// Windows would refuse it: a character not allowed in file names, a folder
// (of the host or made earlier in the run) where the file should go, a file
// where a folder on the way should be, a folder on the way along "/" that
// is not made, a read-only target.
//
//   Make  the plan, with findings for every step that fails, every question
//         the user will get and every list left alone
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "pakcheck/reading/CabinCheck.h"
#include "pakcheck/reading/ScriptCheck.h"
#include "pakcheck/reporting/Finding.h"

namespace pakcheck {

struct PlannedFile {
    enum class Action { New, Replace, AskNewer, Skip, Fail };
    int32_t line = 0;
    std::string source;       // as written in the script
    std::string destination;  // as written in the script
    Action action = Action::Skip;
    bool makesFolders = false;  // New: folders on the way are created
    std::string reason;         // Skip and Fail: why, in words
};

struct PlannedList {
    enum class Outcome { Written, Untouched, Fails };
    std::string file;     // below the host folder, e.g. "Resourcen\Parallels\Texturen.txt"
    std::string section;  // "Texturskript", "Bodenskript"; empty for the cabin list
    Outcome outcome = Outcome::Untouched;
    std::string reason;  // Untouched and Fails: why, in words
    std::vector<uint32_t> added;
    std::vector<std::pair<uint32_t, std::string>> replaced;  // id, the host's name for it
    std::vector<std::string> sectionsAdded;                  // cabin sections, UTF-8
    std::vector<std::string> keysReplaced;                   // "Section: key", UTF-8
    std::vector<std::string> keysAdded;  // "Section: key" in sections the host has
    std::string content;                 // Written: the file's bytes after the installation
};

struct InstallPlan {
    std::string script;  // as the package names it
    std::vector<std::string> usedBy;
    std::vector<PlannedFile> files;
    PlannedList textures;
    PlannedList groundTextures;
    PlannedList cabins;
    int32_t questions = 0;  // files the user will be asked about
    bool succeeds = false;  // the installer will report success (kInstallSucceeded)
};

namespace installplan {

inline constexpr const char* kTextureList = "Resourcen\\Parallels\\Texturen.txt";
inline constexpr const char* kGroundList = "Resourcen\\Parallels\\Bodentexturen.txt";
inline constexpr const char* kCabinList = "Resourcen\\Parallels\\cabins.ini";

// `scratch` is an empty folder the plan may write to.
InstallPlan Make(const std::string& hostDir, const ScriptInfo& script, const CabinInfo& cabin,
                 const std::string& scratch, Findings* findings);

// Fills the file steps of `plan`; used by Make.
void PlanFiles(const std::string& hostDir, const ScriptInfo& script, InstallPlan* plan,
               Findings* findings);

// The three list steps; used by Make.
PlannedList PlanTextures(const std::string& hostDir, const ScriptInfo& script, const char* section,
                         const std::string& scratch, Findings* findings);
PlannedList PlanCabins(const std::string& hostDir, const CabinInfo& cabin,
                       const std::string& scratch, Findings* findings);

}  // namespace installplan

}  // namespace pakcheck
