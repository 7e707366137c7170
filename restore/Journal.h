// The journal of a restore point: what one installation run changed in the
// host folder, written ahead of each change, and how far a restore got.
//
// It is an INI file (the project's own INI document, narrow, values quoted)
// that only grows: the recorder appends one section per record before the
// change it describes, and a short section of the same name after it (the
// document merges sections of one name, the later key wins). A journal cut
// off anywhere therefore reads as "got this far":
//
//   [Restore point]
//   Package = "Bahnhof Gruenwald"        Name = "Bahnhof Grünwald"
//   Host = "C:\Baukanter\"               Time = "2026-12-08 12:40:05"
//   Hash = "xx64w"                       (restore/ContentHash.h)
//   [Folder 1]   Path = "Modelle\Neu"    Step = "recorded"
//   [File 1]     Path = "Modelle\Neu\a.mdl"  Kind = "added"
//                Temporary = "~3f0a.mdl"  Step = "recorded"
//   [File 1]     Size = "1200"  Hash = "…16 hex…"   (the bytes are written
//                                                    under the temporary name)
//   [File 1]     Step = "done"
//   [File 2]     Kind = "replaced"  Old = "files\2"  OldSize  OldHash
//                OldAttributes = "32" …
//   [List 1]     Path = "Resourcen\Parallels\Texturen.txt"  Kind = "textures"
//                Old = "lists\1"  OldSize  OldHash  Size  Hash
//                Key1 = "7"  Hash1 = "…"  Added1 = "1"   (one per entry changed)
//   [Restore point]  End = "finished"    (or "failed"; absent: killed)
//   [Restore point]  Incomplete = "…"    (recording stopped; see below)
//   [Restore point]  Restored = "2026-12-09 10:02:17"   (a restore ran: the
//                    point no longer counts for its package's uninstall entry)
//
// Paths are relative to Host; Old paths relative to the restore point's
// folder. A file is written under the Temporary name in its destination's
// folder and renamed into place after its Size and Hash are recorded;
// journals written before files were copied that way have no Temporary and
// give Size and Hash in the first section. A cabin list's changes name the section too (Section1 =
// "…"). Sizes are decimal texts (files beyond 2 GB), hashes 16 hex digits.
//
// When the recorder cannot write (disk full, no rights) it stops recording,
// marks the journal Incomplete when it still can, and the installation goes
// on as if nothing were recorded: what the journal holds can be undone, the
// changes after it cannot, and the restore program says so.
//
//   Parse          false when `bytes` is not a journal (no Host), or when a
//                  record's path is not one the recorder writes (empty,
//                  absolute, with a drive, ".", ".." or a stream): a restore
//                  never follows a path out of the host folder or the
//                  restore point. Records cut off in the middle read with
//                  what they hold; one cut off before its path is left out.
//                  A Temporary that is not a plain name (no separator,
//                  not "." or "..") is dropped.
//   *Bytes         the INI text of one appended section
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "restore/ContentHash.h"

namespace journal {

// How far a record got: "recorded" before the change, "done" after it,
// "failed" when the installation's change failed; a restore adds
// "restored" (undone, or nothing was left to undo) and "kept" (left alone).
enum class Step { Recorded, Done, Failed, Restored, Kept };

enum class FileKind { Added, Replaced };
enum class ListKind { Textures, Cabins };

struct FolderRecord {
    int number = 0;
    std::string path;
    Step step = Step::Recorded;
};

struct FileRecord {
    int number = 0;
    std::string path;
    FileKind kind = FileKind::Added;
    Fingerprint after;    // what the run wrote
    Fingerprint before;   // a replaced file's old content
    std::string oldCopy;  // a replaced file's old bytes in the restore point
    std::uint32_t oldAttributes = 0;
    std::string temporary;  // the name the copy was written under, if any
    Step step = Step::Recorded;
};

// One texture id (`section` empty) or cabin key the run added or changed,
// and the hash of what it wrote there.
struct EntryChange {
    std::string section;
    std::string key;
    bool added = false;
    std::uint64_t hash = 0;
};

struct ListRecord {
    int number = 0;
    std::string path;
    ListKind kind = ListKind::Textures;
    std::string oldCopy;
    Fingerprint before;
    Fingerprint after;
    std::vector<EntryChange> changes;
    Step step = Step::Recorded;
};

struct Journal {
    std::string package;  // the package folder's name
    std::string name;     // what the user saw: the catalogue's name or the folder's
    std::string host;     // the host folder, ending in a backslash
    std::string time;
    std::string end;         // "finished", "failed", or empty
    std::string incomplete;  // why recording stopped; empty when it did not
    std::string restored;    // when a restore ran; empty when none did
    std::vector<FolderRecord> folders;
    std::vector<FileRecord> files;
    std::vector<ListRecord> lists;
};

const char* StepName(Step step);

std::string HeaderBytes(const Journal& journal);
std::string FolderBytes(const FolderRecord& record);
std::string FileBytes(const FileRecord& record);
std::string ListBytes(const ListRecord& record);
// "[Folder n]", "[File n]" or "[List n]" with only its new Step.
std::string StepBytes(const char* kind, int number, Step step);
// "[File n]" with the fingerprint of what the run wrote.
std::string ContentBytes(int number, const Fingerprint& content);
// "[Restore point]" with one key.
std::string HeaderKeyBytes(const char* key, const std::string& value);
// A time as the journal's Time and Restored keys give it:
// "YYYY-MM-DD hh:mm:ss".
std::string TimeText(int year, int month, int day, int hour, int minute, int second);

bool Parse(std::string_view bytes, Journal& journal);

}  // namespace journal
