// The entries of the sections "Texturskript" and "Bodenskript" as the
// installer's texture merge takes them: the text after the first ">>" is
// converted (ConvertScriptEntry) and handed to TextureList::AddEntry, which
// keeps or refuses it. Every accepted entry is also written into a list (in
// memory) and read back, as the next installation will read the host's list.
//
//   Check  one TextureStep per entry, in order, with findings: entries the
//          installer skips silently (and why), blocks without a name field or
//          that make the list unreadable, ids taken from another field, the
//          same id twice, blanks the reader drops, bytes the code page shows
//          wrongly
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pakcheck/reading/ScriptCheck.h"
#include "pakcheck/reporting/Finding.h"

namespace pakcheck {

namespace textureentries {

// Where an entry stands in the script, as the reader reports it: its line
// and its bytes [begin, end), braces included.
struct Place {
    int32_t line = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
};

// `places[i]` is where entries[i] stands in `script`; without `tryLists`
// no entry is written into a list and read back (readsBack stays true).
std::vector<TextureStep> Check(const std::string& section, const std::string& file,
                               const std::vector<std::string>& entries,
                               const std::vector<Place>& places, std::string_view script,
                               bool tryLists, Findings* findings);

}  // namespace textureentries

}  // namespace pakcheck
