// The installer's messages by their German base ids, the ids of its string
// table (resources/Strings.rc): the installer shows them by these names
// (app/Messages.h), the package checker quotes them and the tests compare
// with them. The English, French and Polish texts have the base id plus 100,
// 200 and 300. The comments name the placeholders in their order.
#pragma once

#include <cstdint>

namespace messageids {

enum : uint32_t {
    kAboutMenuEntry = 101,
    kScriptMissing = 102,
    kNewerFileQuestion = 103,  // existing file, file to install
    kHostMissing = 104,
    kInstallFailed = 105,
    kInstallSucceeded = 106,
    kCopyFailed = 107,     // source, destination
    kSourceMissing = 108,  // source
    kIntroduction = 109,
    kCancelCaption = 110,
    kOkCaption = 111,
    kInstallCaption = 112,
    kSelectionTitle = 113,
    kDescriptionLabel = 114,
    kVersionTooLow = 115,   // required major version
    kPatchTooLow = 116,     // required major version, required patch
    kPluginsMissing = 117,  // missing plug-ins, ending with a blank
    kDllSearchUnavailable = 118,
};

// The first and the last base id.
inline constexpr uint32_t kFirst = kAboutMenuEntry;
inline constexpr uint32_t kLast = kDllSearchUnavailable;

}  // namespace messageids
