// The installer's messages by their German base ids, the ids of its string
// table (resources/Strings.rc): the installer shows them by these names
// (app/Messages.h), the package checker quotes them and the tests compare
// with them. The English, French and Polish texts have the base id plus 100,
// 200 and 300. The comments name the placeholders in their order.
#pragma once

#include <cstdint>

namespace messageids {

enum : uint32_t {
    AboutMenuEntry = 101,
    ScriptMissing = 102,
    NewerFileQuestion = 103,  // existing file, file to install
    HostMissing = 104,
    InstallFailed = 105,
    InstallSucceeded = 106,
    CopyFailed = 107,     // source, destination
    SourceMissing = 108,  // source
    Introduction = 109,
    CancelCaption = 110,
    OkCaption = 111,
    InstallCaption = 112,
    SelectionTitle = 113,
    DescriptionLabel = 114,
    VersionTooLow = 115,   // required major version
    PatchTooLow = 116,     // required major version, required patch
    PluginsMissing = 117,  // missing plug-ins, ending with a blank
    DllSearchUnavailable = 118,
};

// The first and the last base id.
inline constexpr uint32_t kFirst = AboutMenuEntry;
inline constexpr uint32_t kLast = DllSearchUnavailable;

}  // namespace messageids
