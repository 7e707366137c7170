// Merging the texture entries of one install-script section into one of the
// host's texture lists. A script entry looks like
//
//     Texturen\baum.bmp >> Textur{ id(7) name(Baum) }
//
// and arrives from InstallScript without whitespace. The text after the first
// ">>" is a texture block; it replaces the list's entry with the same id.
#pragma once

#include <string>

class InstallScript;

namespace texturemerge {

// How MergeSection ended. Only Saved and SaveFailed touched the disk, and
// only Saved changed the list file.
enum class MergeResult {
    ListNotLoaded,  // the list is missing or unreadable: file untouched
    SectionAbsent,  // the script has no such section: file untouched
    Saved,          // the list was rewritten with the section's entries
    SaveFailed,     // writing failed (read-only file, full disk): file unchanged
};

// Turns a script entry into list syntax: the text after its first ">>", with
// a TAB after each ")" and "{" and a line feed and two TABs after each "}".
// False when the entry holds no ">>"; `converted` is then empty.
bool ConvertScriptEntry(const std::string& entry, std::string& converted);

// Loads the list at `listPath`, searches `section` in `script`, adds each of
// its entries that converts and that the list accepts (others are skipped
// silently, later entries win over earlier ones with the same id) and saves
// the list back to `listPath`. A list that does not exist is never created.
MergeResult MergeSection(InstallScript& script, const char* section, const std::string& listPath);

}  // namespace texturemerge
