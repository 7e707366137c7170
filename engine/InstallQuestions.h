// What an installation run asks and tells the person installing.
//
// The engine never shows anything itself: the install dialog passes the
// program's message boxes (app/InstallMessageBoxes.h), tests pass a recorder.
// Paths arrive whole, as the engine built them.
//
//   AskAboutNewerFile  the existing `destination` is newer than `source`;
//                      the answer decides whether it stays (Keep), stays
//                      with every later newer file of the run (KeepAll), or
//                      is replaced (Replace; also when nobody could answer)
//   SourceMissing      a file named by the script is not in the package;
//                      the entry is skipped
//   CopyFailed         `source` could not be copied to `destination`, or
//                      the destination would leave the host folder
//   ScriptMissing      the install script could not be opened; nothing runs
//   ListNotWritten     a merged host list (`list`, its full path) could not
//                      be saved; the list is as it was
#pragma once

#include <string>

#include "package/FileEntryDecision.h"

class InstallQuestions {
public:
    virtual fileentry::Answer AskAboutNewerFile(const std::string& destination,
                                                const std::string& source) = 0;
    virtual void SourceMissing(const std::string& source) = 0;
    virtual void CopyFailed(const std::string& source, const std::string& destination) = 0;
    virtual void ScriptMissing() = 0;
    virtual void ListNotWritten(const std::string& list) = 0;

protected:
    // Nobody deletes an implementation through this interface.
    ~InstallQuestions() = default;
};
