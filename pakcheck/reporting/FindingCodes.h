// Every kind of finding the checker reports: its stable code, the severities
// it comes with and what it means, in one line. Add() (Finding.h) looks each
// code up here, so a finding can only carry a code of this table and one of
// the severities listed for it. `pakcheck --list-findings` prints the table;
// pakcheck/README.md shows that listing.
//
// Codes are stable: tools that read the JSON report match on them. A new
// kind of finding gets a new row; a code is never renamed.
#pragma once

#include <string>

#include "pakcheck/reporting/Finding.h"

namespace pakcheck {

namespace findingcodes {

// The severities a code comes with, as a set.
enum : unsigned { Error = 1, Warning = 2, Note = 4 };

struct FindingCode {
    const char* code;
    unsigned severities;
    const char* meaning;
};

inline constexpr FindingCode kTable[] = {
    // The catalogue "InstSkript.ini".
    {"catalogue-case", Warning, "the catalogue's name differs in case from \"InstSkript.ini\""},
    {"catalogue-unreadable", Warning,
     "the catalogue is empty or unreadable: a single package is installed"},
    {"catalogue-line-dropped", Warning, "a line of the catalogue is not read"},
    {"catalogue-empty", Error, "the catalogue offers no package"},
    {"catalogue-section-beyond", Warning, "a package section beyond Install_31 is never read"},
    {"catalogue-section-name", Warning, "a section meant as a package section is misnamed"},
    {"catalogue-section-other", Note, "a section that is no package section is ignored"},
    {"catalogue-text-missing", Warning, "a package has no name or description in a language"},
    {"catalogue-text-unquoted", Warning,
     "a name or description without double quotes reads as no text"},
    {"catalogue-text-empty", Warning | Note, "a name or description is empty"},
    {"catalogue-text-cut", Warning,
     "a name or description is longer than the 1023 characters shown"},
    {"catalogue-code-page", Warning, "a name or description does not suit the user's code page"},
    {"catalogue-first-script", Warning,
     "the first package names a script, but \"InstSkript.txt\" is used"},
    {"catalogue-script-unquoted", Error, "\"Script\" without double quotes reads as empty"},
    {"catalogue-script-missing", Error, "a package names no script or one not in the package"},
    {"catalogue-version-type", Error | Warning, "\"TrakoVersion\" is not written as a number list"},
    {"catalogue-version-huge", Error, "the required simulator version refuses every user"},
    {"catalogue-version-low", Note, "a required version below 3 counts as 3"},
    {"catalogue-version-long", Warning, "\"TrakoVersion\" holds more numbers than are read"},
    {"catalogue-patch-type", Warning, "\"TrakoPatch\" is not written as a whole number"},
    {"catalogue-patch-unchecked", Warning, "a required patch is never checked"},
    {"catalogue-plugin-zero", Warning,
     "a 0 in the plug-in list keeps later plug-ins from being checked"},
    {"catalogue-plugin-range", Error, "a plug-in number outside 1 to 20 refuses every user"},
    {"catalogue-plugins-unchecked", Warning, "required plug-ins are never checked"},
    // Install scripts.
    {"script-missing", Error, "the install script cannot be read: nothing is installed"},
    {"script-case", Warning, "the install script's name differs in case from the one used"},
    {"section-hidden", Error | Warning, "text before a section's name hides the section"},
    {"section-absent", Error | Note, "the script has no section of that name"},
    {"section-twice", Warning, "a second section of the same name is not read"},
    {"section-ended", Warning, "text outside braces ends a section early"},
    {"section-text", Note, "text outside braces inside a section is ignored"},
    {"entry-unclosed", Warning, "an entry without a closing brace is dropped"},
    {"file-no-arrow", Warning, "a file entry without \">>\" is skipped"},
    {"name-code-page", Warning, "a file name does not suit the user's code page"},
    {"source-pattern", Error, "a source holds \"*\" or \"?\": the copy fails"},
    {"source-blanks", Error, "a source exists only with the blanks the script drops"},
    {"source-missing", Error, "a source is not in the package: the file is left out"},
    {"source-folder", Error, "a source is a folder: the copy fails"},
    {"source-case", Warning, "a source exists only in another case"},
    {"destination-empty", Error, "an entry names no destination: it is refused"},
    {"destination-outside", Error, "a destination leaves the host folder: it is refused"},
    {"destination-leading-separator", Note,
     "a destination starts with \"\\\" or \"/\": it still names a file in the host folder"},
    {"destination-folder", Error, "a destination names a folder: the copy fails"},
    {"destination-character", Error,
     "a destination holds a character Windows refuses in file names: the copy fails"},
    {"destination-slash", Warning, "a destination uses \"/\", along which no folders are made"},
    {"destination-twice", Warning, "two entries write the same destination"},
    {"texture-skipped", Warning, "a texture entry is skipped without a word"},
    {"texture-id-field", Warning, "the id is taken from another \"id(\" than the id field"},
    {"texture-id-twice", Warning, "two entries of a section set the same texture id"},
    {"texture-no-name", Error, "a texture without a name field breaks its list for good"},
    {"texture-breaks-list", Error, "once merged, a texture makes its list unreadable"},
    {"texture-reads-back", Error, "once merged, a texture makes its list lose textures"},
    {"texture-code-page", Warning, "a texture entry does not suit the user's code page"},
    {"texture-blanks", Note, "blanks in a texture's fields are dropped"},
    // The cabin list "cabin.ini".
    {"cabin-absent", Note, "the package has no cabin list"},
    {"cabin-case", Warning, "the cabin list's name differs in case from \"cabin.ini\""},
    {"cabin-unreadable", Warning | Note,
     "the cabin list is empty or unreadable: nothing is merged"},
    {"cabin-byte-order-mark", Note, "the cabin list starts with a UTF-8 byte-order mark"},
    {"cabin-line-dropped", Warning, "a line of the cabin list is not merged"},
    {"cabin-code-page", Warning, "a line of the cabin list does not suit the user's code page"},
    {"cabin-section-twice", Note, "a cabin section appears twice; its keys join"},
    {"cabin-key-twice", Warning, "a key is set twice in a section; the later value is kept"},
    {"cabin-untyped", Warning, "a value is no text, number list or Y/N list"},
    {"cabin-value-changed", Error | Warning, "the merge writes a value other than the one written"},
    {"cabin-value-rounded", Warning, "the merge writes a number with three decimals"},
    // The checker itself and the plan with --host.
    {"scratch-unavailable", Error, "no scratch folder: textures are not tried and no plan is made"},
    {"host-unreadable", Error, "the host folder cannot be read: no plan is made"},
    {"plan-copy-fails", Error, "copying a file into the host will fail"},
    {"plan-newer-in-host", Note, "the host's file is newer: the user is asked whether to keep it"},
    {"plan-list-missing", Error | Note, "the host lacks a list the package merges into"},
    {"plan-list-unreadable", Error | Warning | Note,
     "the host's list cannot be read: nothing is merged"},
    {"plan-list-read-only", Error, "the host's list cannot be written: the installation fails"},
    {"plan-cabin-case", Warning, "a cabin section or key differs from the host's only in case"},
};

// The row of a code; nullptr when the table has none.
const FindingCode* Find(const std::string& code);

// Whether `severity` is one of those listed for `code`.
bool Allows(const FindingCode& code, Severity severity);

// "error", "warning/note", ...: the severities of a row.
std::string SeverityNames(const FindingCode& code);

// The table as `pakcheck --list-findings` prints it: a heading line, then one
// line per code in aligned columns.
std::string Listing();

}  // namespace findingcodes

}  // namespace pakcheck
