// Where things stand in an install script, so that findings can name the
// line: the top-level names with the brace group after each, and inside each
// group its entries and any text outside them.
//
// It reads the way the installer's InstallScript reads (whitespace dropped
// wherever it stands, only "{" and "}" mean anything, a lone "}" at the top
// level is a group of its own), but keeps line numbers and everything the
// installer passes over. Which sections and entries the installer actually
// sees remains InstallScript's to say; this is for telling where and why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ScriptItem {
    bool entry = true;    // a brace group; false: text standing outside the entries
    std::string text;     // without whitespace; an entry without its outer braces
    int32_t line = 0;     // where it starts
    bool closed = true;   // an entry whose closing brace was found
    std::size_t begin = 0;  // the item's bytes in the file, braces included
    std::size_t end = 0;
};

struct ScriptPart {
    std::string name;         // the text before the group, without whitespace (may be empty)
    int32_t nameLine = 0;     // line of the name's first character, 0 when empty
    bool hasGroup = false;    // false: the file ends after the name
    bool loneClose = false;   // the group is a single stray "}"
    int32_t groupLine = 0;    // line of the group's opening brace
    bool closed = true;       // the group's closing brace was found
    std::vector<ScriptItem> items;
};

struct ScriptLayout {
    std::vector<ScriptPart> parts;

    static ScriptLayout Read(std::string_view bytes);

    // The first part named exactly `name`, as the installer finds sections;
    // nullptr when there is none.
    const ScriptPart* Section(const std::string& name) const;
};
