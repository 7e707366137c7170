// What the installer will make of one install script: which of its three
// sections it finds, every file it copies and every texture it merges, and
// the findings about them. Sections and entries come from the installer's
// own InstallScript reader, with the lines and reasons it reports; texture
// entries go through the installer's own conversion and TextureList.
//
//   Check  fills a ScriptInfo; readable is false (and an error is added)
//          when the script cannot be read
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pakcheck/reading/PackagePath.h"
#include "pakcheck/reporting/Finding.h"

namespace pakcheck {

struct ScriptSection {
    std::string name;  // "Dateinstallation", "Texturskript" or "Bodenskript"
    bool found = false;
    int32_t line = 0;     // of the section's name
    int32_t entries = 0;  // entries the installer reads from it
};

struct FileStep {
    int32_t line = 0;
    std::string entry;        // the entry's text as the installer reads it
    bool hasArrow = false;    // false: the installer skips the entry
    std::string source;       // relative to the package folder, as written
    std::string destination;  // relative to the host folder, as written
    packagepath::Resolved sourceFile;
    bool sourceUsable = false;       // exists and is a file the installer can copy
    bool destinationInside = false;  // the installer's rule for destinations
};

struct TextureStep {
    enum class Outcome { Merged, NoArrow, NoBlock, NoClosingBrace, NoId, IdZero };
    std::string section;  // "Texturskript" or "Bodenskript"
    int32_t line = 0;
    std::string entry;  // as the installer reads it
    Outcome outcome = Outcome::Merged;
    uint32_t id = 0;  // Merged only
    bool hasName = false;
    bool readsBack = true;  // a list holding it loads again with this id
};

struct ScriptInfo {
    std::string file;  // as the package names it
    std::string path;  // where the checker read it
    bool readable = false;
    std::vector<std::string> usedBy;  // who installs from it, in words
    std::vector<ScriptSection> sections;
    std::vector<FileStep> files;
    std::vector<TextureStep> textures;
};

namespace scriptcheck {

inline constexpr const char* kFileSection = "Dateinstallation";
inline constexpr const char* kTextureSection = "Texturskript";
inline constexpr const char* kGroundSection = "Bodenskript";

// Without `tryLists` the texture entries are not tried in a list (see
// TextureEntries.h).
ScriptInfo Check(const std::string& packageDir, const std::string& file, bool tryLists,
                 Findings* findings);

// The outcome in words, e.g. "skipped: no \">>\"".
const char* OutcomeText(TextureStep::Outcome outcome);

}  // namespace scriptcheck

}  // namespace pakcheck
