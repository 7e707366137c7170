// The program's texts from its string table, in the user's language.
//
// Code names a text by its German base id (the constants below, 101..118,
// from package/MessageIds.h); LocalisedId maps it to the id of the
// user-interface language, which it asks the system for on every call. Texts are loaded with the
// ANSI string functions, so they arrive in the user's code page.
//
//   LocalisedId   the id to load: base id + 0 (German), +200 (French),
//                 +300 (Polish), +100 (every other language)
//   Load          the localised text; empty when the table has no such text
//   Format        the localised text with its "%s"/"%d" filled in order from
//                 the arguments, never cut; without arguments the text as
//                 stored (its placeholders are then not interpreted)
//   Show          Format, then AppMessageBox; returns AppMessageBox's answer
#pragma once

#include <cstdint>
#include <string>

#include "app/AppMessageBox.h"
#include "package/MessageIds.h"

namespace messages {

// The base ids, named once for every program in package/MessageIds.h.
using messageids::AboutMenuEntry;
using messageids::CancelCaption;
using messageids::CopyFailed;
using messageids::DescriptionLabel;
using messageids::DllSearchUnavailable;
using messageids::HostMissing;
using messageids::InstallCaption;
using messageids::InstallFailed;
using messageids::InstallSucceeded;
using messageids::Introduction;
using messageids::NewerFileQuestion;
using messageids::OkCaption;
using messageids::PatchTooLow;
using messageids::PluginsMissing;
using messageids::ScriptMissing;
using messageids::SelectionTitle;
using messageids::SourceMissing;
using messageids::VersionTooLow;

// The id of `baseId` for the language `languageId` (a LANGID).
uint32_t LocalisedIdFor(uint32_t baseId, uint16_t languageId);

// The id of `baseId` for the system's default language, asked anew each call.
uint32_t LocalisedId(uint32_t baseId);

std::string Load(uint32_t baseId);

// printf-style formatting into a string of the needed size. Returns the
// format itself when the formatting fails.
std::string FormatText(const char* format, ...);

namespace detail {
inline const char* Argument(const std::string& text) {
    return text.c_str();
}
inline const char* Argument(const char* text) {
    return text;
}
inline int Argument(int number) {
    return number;
}
inline unsigned int Argument(unsigned int number) {
    return number;
}
}  // namespace detail

template <typename... Arguments>
std::string Format(uint32_t baseId, const Arguments&... arguments) {
    if constexpr (sizeof...(arguments) == 0) {
        return Load(baseId);
    } else {
        return FormatText(Load(baseId).c_str(), detail::Argument(arguments)...);
    }
}

template <typename... Arguments>
int Show(uint32_t baseId, unsigned int flags, const Arguments&... arguments) {
    return AppMessageBox(Format(baseId, arguments...), flags);
}

}  // namespace messages
