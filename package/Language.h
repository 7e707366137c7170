// The four languages the program speaks, and which of them a Windows
// language id (LANGID) gets. Portable: the package checker reads catalogues
// with it on Linux too.
//
// Only the primary language counts, the low ten bits of the id, so every
// regional variant of German, French or Polish gets that language. Every
// other language, the neutral id 0 included, gets English.
//
//   ForLanguageId  the program's language for a LANGID
#pragma once

#include <cstdint>

namespace language {

enum class Language { German, English, French, Polish };

inline constexpr uint16_t kPrimaryLanguageMask = 0x3FF;
inline constexpr uint16_t kPrimaryGerman = 0x07;
inline constexpr uint16_t kPrimaryFrench = 0x0C;
inline constexpr uint16_t kPrimaryPolish = 0x15;

constexpr Language ForLanguageId(uint16_t languageId) {
    switch (languageId & kPrimaryLanguageMask) {
    case kPrimaryGerman: return Language::German;
    case kPrimaryFrench: return Language::French;
    case kPrimaryPolish: return Language::Polish;
    default: return Language::English;
    }
}

}  // namespace language
