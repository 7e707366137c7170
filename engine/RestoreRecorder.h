// Records one installation run into a new restore point, ahead of every
// change (the journal's format is in restore/Journal.h):
//
//   <root>\<id>\journal.ini   the journal, appended to and flushed to the
//                             system before each change; the record that
//                             a copy ended goes with the next flush
//   <root>\<id>\files\<n>     the old bytes of each file the run replaces
//   <root>\<id>\lists\<n>     the old bytes of each list the run rewrites
//   <root>\pakundo.exe        the restore program, written there from the
//                             bytes the installer carries, so that the
//                             uninstall entry works after the package folder
//                             is gone (only a newer one replaces it:
//                             RestoreStore.h)
//
// <root> is restorepoints::DefaultRoot() for the program, a scratch folder in
// tests; <id> is the run's local start time, "YYYYMMDD-hhmmss" (with "-2",
// "-3", ... when taken). Records reach the system (not the disk) before each
// change: a killed program loses nothing a restore needs (a copy whose end
// was not recorded yet is taken for an interrupted one, whose temporary file
// a finished copy no longer leaves); a lost power supply may lose the last
// records, as it may lose the change itself.
//
// The store is checked (and made) as RestoreStore.h says before anything is
// written to it. Recording never changes the installation: when the store is
// not safe or the restore point cannot be made, nothing is recorded and no
// uninstall entry is written; when a record
// or an old copy cannot be written later, recording stops, the journal is
// marked Incomplete (when it still can be) and the run goes on.
//
// The package's uninstall entry (RestorePoints.h: one for every installation
// of the package into this host folder) is written when the run starts, so
// that a killed run can be taken out too, and its size again when it ends;
// only while the store holds a safe restore program for it to run.
//
//   Id        the restore point's id; empty when none was made
//   Recording true while every change so far has been recorded
//   Why       why no restore point was made ("the restore folder is not
//             safe", "... could not be made") or why recording stopped;
//             empty otherwise
#pragma once

#include <windows.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "engine/InstallObserver.h"
#include "restore/Journal.h"

class RestoreRecorder final : public InstallObserver {
public:
    // `name` is what the uninstall entry shows; `restoreProgram` the restore
    // program's bytes to place into the root (empty: the one there is used).
    RestoreRecorder(const std::string& root, const std::string& name,
                    const std::string& restoreProgram);
    ~RestoreRecorder();
    RestoreRecorder(const RestoreRecorder&) = delete;
    RestoreRecorder& operator=(const RestoreRecorder&) = delete;

    void Starting(const std::string& hostPath, const std::string& packageDir) override;
    bool BeforeCopy(const std::string& source, const std::string& destination,
                    const DestinationLookup& found) override;
    void Written(const std::string& destination, const Fingerprint& content) override;
    void AfterCopy(const std::string& destination, bool copied) override;
    void BeforeTextureMerge(InstallScript& script, const char* section,
                            const std::string& list) override;
    void BeforeCabinMerge(const std::string& list, CabinMerge& merge) override;
    void AfterListMerge(const std::string& list, bool written) override;
    void Finished(HRESULT status) override;

    const std::string& Id() const { return id; }
    bool Recording() const { return journal != INVALID_HANDLE_VALUE; }
    const std::string& Why() const { return why; }

private:
    // `flush` false: the record reaches the system with the next flushed one
    // (or when the journal is closed).
    bool Append(const std::string& bytes, bool flush = true);
    // False when not all of the records held back could be written.
    bool WriteUnwritten();
    void CloseJournal();
    void Stop(const std::string& reason);
    bool Relative(const std::string& path, std::string& relative) const;
    void RecordFolders(const std::string& destination, const DestinationLookup& found);
    // `oldBytes` (may be null): the list's bytes, already read; the old copy
    // is then written from them, else copied from the list.
    void RecordList(const std::string& list, journal::ListKind kind, const Fingerprint& after,
                    std::vector<journal::EntryChange> changes,
                    const std::string* oldBytes = nullptr);
    void WriteUninstallEntry();

    const std::string root;
    const std::string name;
    const std::string restoreProgram;
    std::string id;
    std::string point;  // <root>\<id>
    std::string host;
    std::string shownName;
    std::string why;
    bool programReady = false;
    HANDLE journal = INVALID_HANDLE_VALUE;
    std::string unwritten;  // records held back until the next flush
    int files = 0;
    int folders = 0;
    int lists = 0;
    int pendingFile = 0;
    std::string pendingList;
    int pendingListNumber = 0;
    std::set<std::string> knownFolders;
};
