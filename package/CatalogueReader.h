// Reading the installation catalogue "InstSkript.ini".
//
// The catalogue holds up to 32 sections "Install_00" to "Install_31"; each
// present section, in ascending order, becomes the next entry (no gaps).
// Texts are read in the user's language: the keys "Name" and "Desc" carry
// the language suffix ("Name_GER"), "Script" does not. A missing key gives
// an empty text or zero numbers; a package without "TrakoVersion" (or with a
// version below 3) requires version 3. Reading never fails and shows
// nothing.
//
//   LanguageSuffix  "_GER", "_FRA", "_POL" for German, French and Polish
//                   (any sublanguage), "_ENG" for every other language
//   Read            fills catalogue.entries and entryCount (0..32); leaves
//                   selectedIndex alone
#pragma once

#include <cstdint>
#include <string>

#include "package/InstallCatalogue.h"
#include "textfile/IniDocument.h"

namespace cataloguereader {

inline constexpr const char* kCatalogueFile = "InstSkript.ini";

const char* LanguageSuffix(uint16_t languageId);

void Read(IniDocument& document, const std::string& languageSuffix, InstallCatalogue& catalogue);

}  // namespace cataloguereader
