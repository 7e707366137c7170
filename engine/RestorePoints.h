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
// the destination (engine/TemporaryCopy.h): the restore deletes it. A restore
// marks its journal "Restored": the point no longer counts for its package's
// uninstall entry. When nothing was kept the restore point is deleted;
// otherwise it stays, so that the restore program can show what was left.
//
// Uninstall entries: one per package and host folder. Every installation of
// a package (by the name the user saw) into a host folder shares the entry
// named by PackageKey; it shows the newest installation's name and date and
// the size of every file they installed, and runs the restore program on
// all of them ("<root>\pakundo.exe --uninstall <key>"). Restore and Forget
// bring the entry up to date (it goes with the last installation), as does
// every installation (RestoreRecorder.h). Entries of a single restore point
// ("Pakwerk <id>", "--select <id>") were written by earlier versions; they
// go when their point is restored or forgotten, or is counted in an entry.
//
// What a restore trusts: a store that passes RestoreStore.h's checks (each
// function checks it first and reads nothing from one that fails), restore
// points that pass them too (folders of their own, not links), journals of
// at most 16 MiB, the host folder the registry names now (HostLocation.h)
// and not the one a journal names, and an old copy only while its size and
// hash are those its record holds. Deleting and measuring a restore point
// never enter a link: a link is removed as a link.
//
//   DefaultRoot  "<common application data>\Pakwerk\Restore"; empty when
//                the system does not name that folder
//   List         every readable restore point, newest first; none when the
//                store is missing or not safe
//   Restore      Done: everything recorded is as before the run (also when
//                there was nothing to do); Kept: something was left alone
//                (reported), or the journal is incomplete; NotFound: no
//                such restore point (or a journal beyond 16 MiB); Unsafe:
//                the store or the restore point fails its checks, nothing
//                was read or changed; OtherHost: the journal's host folder
//                is not the registry's, nothing was changed (the report's
//                one note names both). With `dryRun` nothing is changed and
//                the report says what would be done. The report holds what
//                was done and kept as notes; the restore program words them
//                in the user's language.
//   IsKept       true for the notes that tell what was left alone
//   Forget       true when the restore point is gone afterwards (its
//                package's uninstall entry then no longer counts it); the
//                host folder is not touched; false without a change when
//                the store or the point is not safe
//   PackageKey   the uninstall entry's name for the installations of the
//                package `name` into `host`: 16 hex digits of a hash of
//                both (the folder's case and its last backslash ignored)
//   Installations  the restore points of the entry `key` that no restore
//                has run on, newest first (their `bytes` are not measured)
//   WriteEntry   writes the entry `key` for its installations, or removes it
//                when there are none; true when the registry says so
//                afterwards
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

enum class Outcome { Done, Kept, NotFound, Unsafe, OtherHost };

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
        KeepCopyChanged,     // a file or list whose old copy is not the one recorded
        OtherHost,           // nothing restored: the journal names the host `path`,
                             // the registry `detail` (empty: none)
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

std::string PackageKey(const std::string& name, const std::string& host);
std::vector<Summary> Installations(const std::string& root, const std::string& key);
bool WriteEntry(const std::string& root, const std::string& key);

}  // namespace restorepoints
