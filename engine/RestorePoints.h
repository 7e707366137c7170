// The restore points below a root folder, and applying one: putting the host
// folder back as it was before the run it recorded, as far as nobody has
// changed it since (the decisions are in restore/FileUndo.h and
// restore/ListChanges.h). The recording side is RestoreRecorder.h.
//
// A restore goes backwards through the journal: lists, then files, then the
// folders the run made (removed when empty). Each list comes back whole from
// its old copy when it is still exactly as the run left it, else entry by
// entry. Every change is a safe one (a copy beside the target moved over
// it; lists through the safe save), and each record is marked "restored" or
// "kept" in the journal right after it: a restore that was killed can simply
// be run again. A copy that a kill interrupted left its temporary file beside
// the destination (engine/FileCopy.h): the restore deletes it. When nothing was kept the restore
// point and its uninstall entry are deleted; otherwise the uninstall entry goes and the restore
// point stays, so that the restore program can show what was left.
//
//   DefaultRoot  "<common application data>\Pakwerk\Restore"; empty when
//                the system does not name that folder
//   List         every readable restore point, newest first
//   Restore      Done: everything recorded is as before the run (also when
//                there was nothing to do); Kept: something was left alone
//                (reported), or the journal is incomplete; NotFound: no
//                such restore point. With `dryRun` nothing is changed and
//                the report says what would be done. The report holds what
//                was done and kept as notes; the restore program words them
//                in the user's language.
//   IsKept       true for the notes that tell what was left alone
//   Forget       true when the restore point and its uninstall entry are
//                gone afterwards; the host folder is not touched
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "restore/Journal.h"

namespace restorepoints {

struct Summary {
    std::string id;
    journal::Journal journal;
    int filesAdded = 0;
    int filesReplaced = 0;
    int listEntries = 0;  // list entries added or changed
    uint64_t bytes = 0;   // the restore point's own size
};

enum class Outcome { Done, Kept, NotFound };

// One line of a restore's report. `path` is relative to the host folder.
struct Note {
    enum class What {
        Incomplete,          // `detail`: why recording stopped
        Delete,              // an added file
        PutBack,             // a replaced file or a whole list
        UndoEntries,         // `count` entries of the list `path`
        RemoveFolder,        // an emptied folder the run made
        KeepChanged,         // a file changed since the installation
        KeepDeleted,         // a file deleted since the installation
        KeepNoCopy,          // a file whose old content was not saved
        KeepUndeletable,     // a file that cannot be deleted
        KeepUnwritable,      // a file that cannot be written
        KeepListGone,        // a list deleted since
        KeepListUnreadable,  // a list or its old copy that cannot be read
        KeepListUnwritable,  // a list that cannot be written
        KeepEntryChanged,    // the entry `detail` of the list `path`, changed since
    };
    What what;
    std::string path;
    std::string detail;
    int count = 0;
};

bool IsKept(const Note& note);

std::string DefaultRoot();
std::vector<Summary> List(const std::string& root);
Outcome Restore(const std::string& root, const std::string& id, bool dryRun,
                std::vector<Note>& report);
bool Forget(const std::string& root, const std::string& id);

}  // namespace restorepoints
