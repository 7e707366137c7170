#include "engine/RestorePoints.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "engine/HostLocation.h"
#include "engine/RestoreStore.h"
#include "engine/UninstallEntry.h"
#include "restore/FileUndo.h"
#include "restore/ListChanges.h"
#include "textfile/IniDocument.h"
#include "textfile/SafeReplace.h"
#include "texturelist/TextureList.h"

namespace restorepoints {

namespace {

void Add(std::vector<Note>& report, Note::What what, const std::string& path,
         const std::string& detail = std::string(), int count = 0) {
    report.push_back(Note{what, path, detail, count});
}

// The largest journal a restore point may hold: a store may have been
// tampered with, and a journal is read whole.
constexpr size_t kLargestJournal = 16u << 20;

bool SameFolder(const std::string& a, const std::string& b) {
    const std::string fullA = a.empty() ? std::string() : restorestore::FullPath(a);
    const std::string fullB = b.empty() ? std::string() : restorestore::FullPath(b);
    return !fullA.empty() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, fullA.c_str(), -1,
                                            fullB.c_str(), -1) == CSTR_EQUAL;
}

std::string LocalTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return journal::TimeText(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

bool IsLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The safe save of textfile/SafeReplace.h, for bytes at hand.
bool SaveWhole(const std::string& path, const std::string& bytes) {
    if (!safereplace::TargetWritable(path.c_str())) return false;
    const std::string temporary = safereplace::TemporaryPathFor(path.c_str());
    std::FILE* stream = std::fopen(temporary.c_str(), "wb");
    if (stream == nullptr) return false;
    const bool written =
        safereplace::Write(stream, bytes.data(), bytes.size()) && safereplace::FlushToDisk(stream);
    if (!safereplace::Close(stream) || !written) {
        std::remove(temporary.c_str());
        return false;
    }
    return safereplace::ReplaceWith(temporary.c_str(), path.c_str());
}

// A file's old bytes and attributes back: copied beside it, then moved over
// it, so that a kill leaves either the run's file or the old one.
bool PutBack(const std::string& oldCopy, const std::string& path, DWORD attributes) {
    const std::string temporary = safereplace::TemporaryPathFor(path.c_str());
    if (!CopyFileA(oldCopy.c_str(), temporary.c_str(), FALSE)) return false;
    SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileExA(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    SetFileAttributesA(path.c_str(), attributes);
    return true;
}

// Deletes or measures a folder's tree without ever entering a link: a link
// (a reparse point) is removed as a link and not counted.
uint64_t DeleteOrMeasure(const std::string& folder, bool remove) {
    uint64_t bytes = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            if (IsLink(found.dwFileAttributes)) {
                if (remove && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                    RemoveDirectoryA(path.c_str());
                } else if (remove) {
                    DeleteFileA(path.c_str());
                }
            } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                bytes += DeleteOrMeasure(path, remove);
            } else {
                bytes += (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
                if (remove) {
                    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(path.c_str());
                }
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    if (remove) RemoveDirectoryA(folder.c_str());
    return bytes;
}

// A name of a folder directly below the root: never a path that leads out.
bool IsId(const std::string& id) {
    return !id.empty() && id != "." && id != ".." && id.find_first_of("\\/:") == std::string::npos;
}

// A restore point the store's checks pass (RestoreStore.h): a folder of its
// own, not a link.
bool IsSafePoint(const std::string& point) {
    const DWORD attributes = GetFileAttributesA(point.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           restorestore::IsSafeEntry(point);
}

bool ReadJournal(const std::string& point, journal::Journal& journal) {
    const std::string path = point + "\\journal.ini";
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        ((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) > kLargestJournal ||
        !restorestore::IsSafeEntry(path)) {
        return false;
    }
    std::string bytes;
    return restorestore::ReadBytes(path, bytes, kLargestJournal) && journal::Parse(bytes, journal);
}

// Restores one list; false when something of it was left.
bool RestoreList(const journal::ListRecord& record, const std::string& host,
                 const std::string& point, bool dryRun, std::vector<Note>& report) {
    const std::string path = host + record.path;
    const std::string oldCopy = point + "\\" + record.oldCopy;
    const Fingerprint now = FingerprintOf(path);
    if (SameContent(now, record.before)) return true;
    if (!now.exists) {
        Add(report, Note::What::KeepListGone, record.path);
        return false;
    }
    // Both ways back start from the old copy: only the one recorded.
    if (!record.before.exists) {
        Add(report, Note::What::KeepListUnreadable, record.path);
        return false;
    }
    if (!SameContent(FingerprintOf(oldCopy), record.before)) {
        Add(report, Note::What::KeepCopyChanged, record.path);
        return false;
    }
    std::string oldBytes;
    if (record.after.exists && SameContent(now, record.after) &&
        restorestore::ReadBytes(oldCopy, oldBytes, SIZE_MAX) &&
        SameContent(FingerprintOfBytes(oldBytes), record.before)) {
        Add(report, Note::What::PutBack, record.path);
        if (dryRun || SaveWhole(path, oldBytes)) return true;
        Add(report, Note::What::KeepListUnwritable, record.path);
        return false;
    }
    listchanges::Outcome outcome;
    bool saved = true;
    if (record.kind == journal::ListKind::Textures) {
        TextureList before;
        TextureList current;
        if (!before.Load(oldCopy.c_str()) || !current.Load(path.c_str())) {
            Add(report, Note::What::KeepListUnreadable, record.path);
            return false;
        }
        outcome = listchanges::UndoTextures(before, current, record.changes);
        if (outcome.changed && !dryRun) saved = current.Save(path.c_str());
    } else {
        IniDocument before(false);
        IniDocument current(false);
        if (before.Load(oldCopy.c_str(), 0, 0) < 0 || current.Load(path.c_str(), 0, 0) < 0) {
            Add(report, Note::What::KeepListUnreadable, record.path);
            return false;
        }
        outcome = listchanges::UndoCabins(before, current, record.changes);
        if (outcome.changed && !dryRun) saved = current.Save(path.c_str()) >= 0;
    }
    if (!saved) {
        Add(report, Note::What::KeepListUnwritable, record.path);
        return false;
    }
    if (outcome.undone > 0) {
        Add(report, Note::What::UndoEntries, record.path, std::string(), outcome.undone);
    }
    for (const std::string& entry : outcome.kept) {
        Add(report, Note::What::KeepEntryChanged, record.path, entry);
    }
    return outcome.kept.empty();
}

// Deletes the temporary file of a copy that a kill interrupted: the record
// names it, and it is still the name the copy of that file uses.
void RemoveInterruptedCopy(const journal::FileRecord& record, const std::string& path) {
    if (record.step != journal::Step::Recorded || record.temporary.empty()) return;
    const std::string temporary = safereplace::TemporaryPathFor(path.c_str());
    if (temporary.substr(temporary.find_last_of("\\/") + 1) != record.temporary) return;
    const DWORD attributes = GetFileAttributesA(temporary.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        return;
    }
    SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(temporary.c_str());
}

// Restores one file; false when it was left.
bool RestoreFile(const journal::FileRecord& record, const std::string& host,
                 const std::string& point, bool dryRun, std::vector<Note>& report) {
    const std::string path = host + record.path;
    if (!dryRun) RemoveInterruptedCopy(record, path);
    const Fingerprint now = FingerprintOf(path);
    switch (fileundo::Decide(record, now)) {
    case fileundo::Action::Delete:
        Add(report, Note::What::Delete, record.path);
        if (dryRun) return true;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileA(path.c_str())) return true;
        Add(report, Note::What::KeepUndeletable, record.path);
        return false;
    case fileundo::Action::PutBack:
        if (!SameContent(FingerprintOf(point + "\\" + record.oldCopy), record.before)) {
            Add(report, Note::What::KeepCopyChanged, record.path);
            return false;
        }
        Add(report, Note::What::PutBack, record.path);
        if (dryRun || PutBack(point + "\\" + record.oldCopy, path, record.oldAttributes)) {
            return true;
        }
        Add(report, Note::What::KeepUnwritable, record.path);
        return false;
    case fileundo::Action::AlreadyBefore:
        // A restore killed between the move and the attributes ends here.
        if (!dryRun && now.exists && record.kind == journal::FileKind::Replaced) {
            SetFileAttributesA(path.c_str(), record.oldAttributes);
        }
        return true;
    case fileundo::Action::KeepChanged:
        Add(report, Note::What::KeepChanged, record.path);
        return false;
    case fileundo::Action::KeepMissing:
        Add(report, Note::What::KeepDeleted, record.path);
        return false;
    case fileundo::Action::KeepNoCopy:
        Add(report, Note::What::KeepNoCopy, record.path);
        return false;
    }
    return false;
}

}  // namespace

bool IsKept(const Note& note) {
    switch (note.what) {
    case Note::What::Delete:
    case Note::What::PutBack:
    case Note::What::UndoEntries:
    case Note::What::RemoveFolder: return false;
    default: return true;
    }
}

std::string DefaultRoot() {
    char folder[MAX_PATH];
    if (SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) !=
        S_OK) {
        return std::string();
    }
    return std::string(folder) + "\\Pakwerk\\Restore";
}

namespace {

// The restore points below `root`, newest first; their own sizes only when
// `measure` (a walk through each point's files).
std::vector<Summary> Points(const std::string& root, bool measure) {
    std::vector<Summary> points;
    if (restorestore::Check(root) != restorestore::State::Safe) return points;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return points;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == ".." || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            IsLink(found.dwFileAttributes) || !IsSafePoint(root + "\\" + name)) {
            continue;
        }
        Summary summary;
        summary.id = name;
        if (!ReadJournal(root + "\\" + name, summary.journal)) continue;
        for (const journal::FileRecord& file : summary.journal.files) {
            (file.kind == journal::FileKind::Added ? summary.filesAdded : summary.filesReplaced)++;
        }
        for (const journal::ListRecord& list : summary.journal.lists) {
            summary.listEntries += static_cast<int>(list.changes.size());
        }
        if (measure) summary.bytes = DeleteOrMeasure(root + "\\" + name, false);
        points.push_back(summary);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(points.begin(), points.end(),
              [](const Summary& a, const Summary& b) { return a.id > b.id; });
    return points;
}

}  // namespace

std::vector<Summary> List(const std::string& root) {
    return Points(root, true);
}

Outcome Restore(const std::string& root, const std::string& id, bool dryRun,
                std::vector<Note>& report) {
    const std::string point = root + "\\" + id;
    if (!IsId(id)) return Outcome::NotFound;
    const restorestore::State store = restorestore::Check(root);
    if (store == restorestore::State::Unsafe) return Outcome::Unsafe;
    const DWORD attributes = GetFileAttributesA(point.c_str());
    if (store == restorestore::State::Missing || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return Outcome::NotFound;
    }
    if (!IsSafePoint(point)) return Outcome::Unsafe;
    journal::Journal journal;
    if (!ReadJournal(point, journal)) return Outcome::NotFound;
    // The host is the one installed now, not one the journal names.
    const std::string host = HostLocation().HostPath();
    if (!SameFolder(journal.host, host)) {
        Add(report, Note::What::OtherHost, journal.host, host);
        return Outcome::OtherHost;
    }
    std::FILE* log = dryRun ? nullptr : std::fopen((point + "\\journal.ini").c_str(), "ab");
    auto mark = [log](const char* kind, int number, bool restored) {
        if (log == nullptr) return;
        const std::string bytes =
            journal::StepBytes(kind, number,
                               restored ? journal::Step::Restored : journal::Step::Kept);
        std::fwrite(bytes.data(), 1, bytes.size(), log);
        std::fflush(log);
    };
    bool allRestored = true;
    if (!journal.incomplete.empty()) {
        Add(report, Note::What::Incomplete, std::string(), journal.incomplete);
        allRestored = false;
    }
    for (auto list = journal.lists.rbegin(); list != journal.lists.rend(); ++list) {
        if (list->step == journal::Step::Restored) continue;
        const bool restored = RestoreList(*list, host, point, dryRun, report);
        mark("List", list->number, restored);
        allRestored = allRestored && restored;
    }
    for (auto file = journal.files.rbegin(); file != journal.files.rend(); ++file) {
        if (file->step == journal::Step::Restored) continue;
        const bool restored = RestoreFile(*file, host, point, dryRun, report);
        mark("File", file->number, restored);
        allRestored = allRestored && restored;
    }
    for (auto folder = journal.folders.rbegin(); folder != journal.folders.rend(); ++folder) {
        // Only an empty folder goes: what others put there since stays.
        if (!dryRun && RemoveDirectoryA((host + folder->path).c_str())) {
            Add(report, Note::What::RemoveFolder, folder->path);
        }
    }
    if (log != nullptr) {
        const std::string restored = journal::HeaderKeyBytes("Restored", LocalTime());
        std::fwrite(restored.data(), 1, restored.size(), log);
        std::fclose(log);
    }
    if (dryRun) return allRestored ? Outcome::Done : Outcome::Kept;
    if (allRestored) DeleteOrMeasure(point, true);
    uninstallentry::Remove(id);
    WriteEntry(root, PackageKey(journal.name, journal.host));
    return allRestored ? Outcome::Done : Outcome::Kept;
}

bool Forget(const std::string& root, const std::string& id) {
    const std::string point = root + "\\" + id;
    if (!IsId(id) || restorestore::Check(root) != restorestore::State::Safe ||
        !IsSafePoint(point)) {
        return false;
    }
    journal::Journal journal;
    const bool known = ReadJournal(point, journal);
    DeleteOrMeasure(point, true);
    uninstallentry::Remove(id);
    if (known) WriteEntry(root, PackageKey(journal.name, journal.host));
    return GetFileAttributesA(point.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::string PackageKey(const std::string& name, const std::string& host) {
    std::string folder = restorestore::FullPath(host);
    if (folder.empty()) folder = host;
    if (!folder.empty()) CharUpperBuffA(&folder[0], static_cast<DWORD>(folder.size()));
    return HexOf(HashBytes(folder + '\n' + name));
}

std::vector<Summary> Installations(const std::string& root, const std::string& key) {
    std::vector<Summary> points = Points(root, false);
    points.erase(std::remove_if(points.begin(), points.end(),
                                [&key](const Summary& point) {
                                    return !point.journal.restored.empty() ||
                                           PackageKey(point.journal.name, point.journal.host) !=
                                               key;
                                }),
                 points.end());
    return points;
}

bool WriteEntry(const std::string& root, const std::string& key) {
    const std::vector<Summary> points = Installations(root, key);
    if (points.empty()) return uninstallentry::Remove(key);
    uint64_t installed = 0;
    for (const Summary& point : points) {
        for (const journal::FileRecord& file : point.journal.files) installed += file.after.size;
        uninstallentry::Remove(point.id);
    }
    const Summary& newest = points.front();
    uninstallentry::Entry entry;
    entry.displayName = newest.journal.name;
    entry.publisher = "Velmar";
    entry.installDate = newest.id.substr(0, 8);
    const std::string program = root + "\\pakundo.exe";
    entry.displayIcon = program + ",0";
    entry.uninstallString = "\"" + program + "\" --uninstall " + key;
    const uint64_t kilobytes = (installed + 1023) / 1024;
    entry.estimatedSizeKb = static_cast<uint32_t>(std::min<uint64_t>(kilobytes, UINT32_MAX));
    return uninstallentry::Write(key, entry);
}

}  // namespace restorepoints
