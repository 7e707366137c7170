// What a restore does with one file the installation wrote, given how the
// file is found now. A file is touched only when it is still exactly as the
// run left it (same size and hash), so that a later package's file and the
// user's own edits stay; the same rule makes a restore that was killed safe
// to run again (a file already put back counts as done).
//
//   Decide   the action for `record` and the file's fingerprint `now`
#pragma once

#include "restore/ContentHash.h"
#include "restore/Journal.h"

namespace fileundo {

enum class Action {
    Delete,         // an added file, as the run left it: delete it
    PutBack,        // a replaced file, as the run left it: its old bytes return
    AlreadyBefore,  // already as before the run (gone, or the old bytes)
    KeepChanged,    // changed since the run: left alone and reported
    KeepMissing,    // a replaced file deleted since: left alone and reported
    KeepNoCopy,     // its old bytes were never saved: left alone and reported
};

Action Decide(const journal::FileRecord& record, const Fingerprint& now);

// True for the actions that leave something the user should hear about.
bool IsKept(Action action);

}  // namespace fileundo
