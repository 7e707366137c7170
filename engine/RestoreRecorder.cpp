#include "engine/RestoreRecorder.h"

#include <windows.h>

#include <cstdio>

#include "engine/RestorePoints.h"
#include "engine/RestoreStore.h"
#include "package/CabinMerge.h"
#include "package/InstallScript.h"
#include "restore/ContentHash.h"
#include "restore/ListChanges.h"
#include "textfile/IniDocument.h"
#include "textfile/SafeReplace.h"
#include "texturelist/TextureList.h"
#include "texturelist/TextureMerge.h"

namespace {

std::string TwoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
           static_cast<char>('0' + value % 10);
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A copy in the restore point: plain, so that forgetting it can delete it.
bool CopyPlain(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) return false;
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    return true;
}

// A copy in the restore point written from bytes already read: plain too.
bool WritePlain(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

RestoreRecorder::RestoreRecorder(const std::string& root, const std::string& name,
                                 const std::string& restoreProgram)
    : root(root), name(name), restoreProgram(restoreProgram) {}

RestoreRecorder::~RestoreRecorder() {
    CloseJournal();
}

void RestoreRecorder::Starting(const std::string& hostPath, const std::string& packageDir) {
    host = hostPath;
    const restorestore::State store =
        root.empty() ? restorestore::State::Missing : restorestore::Open(root);
    if (store != restorestore::State::Safe) {
        why = store == restorestore::State::Unsafe ? "the restore folder is not safe"
                                                   : "the restore folder could not be made";
        return;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::string stamp = std::to_string(now.wYear) + TwoDigits(now.wMonth) +
                              TwoDigits(now.wDay) + "-" + TwoDigits(now.wHour) +
                              TwoDigits(now.wMinute) + TwoDigits(now.wSecond);
    for (int attempt = 1; attempt < 100 && id.empty(); ++attempt) {
        const std::string candidate = attempt == 1 ? stamp : stamp + "-" + std::to_string(attempt);
        if (CreateDirectoryA((root + "\\" + candidate).c_str(), nullptr))
            id = candidate;
        else if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    if (id.empty()) {
        why = "the restore point could not be made";
        return;
    }
    point = root + "\\" + id;
    // Every write goes to the end, also after a restore program appended.
    journal = CreateFileA((point + "\\journal.ini").c_str(), FILE_APPEND_DATA,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (journal == INVALID_HANDLE_VALUE ||
        !CreateDirectoryA((point + "\\files").c_str(), nullptr) ||
        !CreateDirectoryA((point + "\\lists").c_str(), nullptr)) {
        Stop("the restore point could not be made");
        return;
    }
    journal::Journal header;
    header.package = packageDir.substr(packageDir.rfind('\\') + 1);
    header.name = name.empty() ? header.package : name;
    shownName = header.name;
    header.host = host;
    header.time =
        journal::TimeText(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    if (!Append(journal::HeaderBytes(header))) return;
    programReady = restorestore::PlaceRestoreProgram(root, restoreProgram);
    WriteUninstallEntry();
}

bool RestoreRecorder::BeforeCopy(const std::string&, const std::string& destination,
                                 const DestinationLookup& found) {
    pendingFile = 0;
    journal::FileRecord record;
    if (!Recording() || !Relative(destination, record.path)) return false;
    RecordFolders(host + record.path, found);
    record.number = ++files;
    const std::string temporary = safereplace::TemporaryPathFor(destination.c_str());
    record.temporary = temporary.substr(temporary.find_last_of("\\/") + 1);
    if (found.attributes != INVALID_FILE_ATTRIBUTES &&
        (found.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        record.kind = journal::FileKind::Replaced;
        record.oldAttributes = found.attributes;
        record.oldCopy = "files\\" + std::to_string(record.number);
        if (!CopyPlain(destination, point + "\\" + record.oldCopy)) {
            Stop("the old copy of " + record.path + " could not be saved");
            return false;
        }
        record.before = FingerprintOf(point + "\\" + record.oldCopy);
        if (!record.before.readable) {
            Stop(record.path + " could not be read");
            return false;
        }
    }
    if (!Append(journal::FileBytes(record))) return false;
    pendingFile = record.number;
    return true;
}

void RestoreRecorder::Written(const std::string&, const Fingerprint& content) {
    if (pendingFile == 0) return;
    Append(journal::ContentBytes(pendingFile, content));
}

void RestoreRecorder::AfterCopy(const std::string&, bool copied) {
    if (pendingFile == 0) return;
    // A kill needs no flush here: until this record is read, a restore takes
    // the copy for one that may have been interrupted and deletes its
    // temporary file, which the finished copy no longer leaves.
    Append(journal::StepBytes("File", pendingFile,
                              copied ? journal::Step::Done : journal::Step::Failed),
           false);
    pendingFile = 0;
}

void RestoreRecorder::BeforeTextureMerge(InstallScript& script, const char* section,
                                         const std::string& list) {
    pendingList.clear();
    if (!Recording()) return;
    // The merge itself, in memory: what it will write is known before it does.
    TextureList before;
    if (!before.Load(list.c_str()) || !script.FindSection(section)) return;
    TextureList after = before;
    std::string entry;
    std::string converted;
    while (script.NextEntry(entry)) {
        if (texturemerge::ConvertScriptEntry(entry, converted)) after.AddEntry(converted);
    }
    // Entries as the list file will hold them: an entry's line breaks and
    // TABs from the script do not survive the save.
    std::string bytes;
    TextureList saved;
    if (!after.SaveBytes(&bytes) || !saved.LoadBytes(bytes)) return;
    RecordList(list, journal::ListKind::Textures, FingerprintOfBytes(bytes),
               listchanges::DiffTextures(before, saved));
}

void RestoreRecorder::BeforeCabinMerge(const std::string& list, CabinMerge& merge) {
    pendingList.clear();
    // A merged list without a line (lists of nothing but dropped lines)
    // cannot be read back, so it is not recorded.
    if (!Recording() || !merge.Prepared()) return;
    Fingerprint merged;
    merged.exists = true;
    ContentHash hash;
    for (std::string_view piece : merge.MergedPieces()) {
        hash.Add(piece.data(), piece.size());
        merged.size += piece.size();
    }
    if (merged.size == 0) return;
    merged.hash = hash.Value();
    // Only the sections the package names can change: their entries are
    // compared as the list file holds them, read back from the bytes written.
    IniDocument before(false);
    IniDocument after(false);
    const std::string& oldBytes = merge.OldSectionBytes();
    const std::string newBytes = merge.NewSectionBytes();
    if ((!oldBytes.empty() && before.LoadBytes(oldBytes) < 0) ||
        (!newBytes.empty() && after.LoadBytes(newBytes) < 0)) {
        return;
    }
    // The old copy is what the merge read, the bytes it merged into.
    RecordList(list, journal::ListKind::Cabins, merged, listchanges::DiffCabins(before, after),
               &merge.HostBytes());
}

void RestoreRecorder::AfterListMerge(const std::string& list, bool written) {
    if (pendingList.empty() || pendingList != list) return;
    Append(journal::StepBytes("List", pendingListNumber,
                              written ? journal::Step::Done : journal::Step::Failed));
    pendingList.clear();
}

void RestoreRecorder::Finished(HRESULT status) {
    if (!Recording()) return;
    Append(journal::HeaderKeyBytes("End", status == S_OK ? "finished" : "failed"));
    WriteUninstallEntry();
    CloseJournal();
}

bool RestoreRecorder::Append(const std::string& bytes, bool flush) {
    if (!Recording()) return false;
    unwritten += bytes;
    if (!flush) return true;
    if (!WriteUnwritten()) {
        Stop("the journal could not be written");
        return false;
    }
    return true;
}

bool RestoreRecorder::WriteUnwritten() {
    DWORD written = 0;
    const bool complete =
        unwritten.empty() || (WriteFile(journal, unwritten.data(),
                                        static_cast<DWORD>(unwritten.size()), &written, nullptr) &&
                              written == unwritten.size());
    unwritten.clear();
    return complete;
}

void RestoreRecorder::CloseJournal() {
    if (!Recording()) return;
    WriteUnwritten();
    CloseHandle(journal);
    journal = INVALID_HANDLE_VALUE;
}

void RestoreRecorder::Stop(const std::string& reason) {
    if (!Recording()) return;
    why = reason;
    unwritten += journal::HeaderKeyBytes("Incomplete", reason);
    CloseJournal();
}

bool RestoreRecorder::Relative(const std::string& path, std::string& relative) const {
    // The installer may write "Sub\..\a.dat" or "\\a.dat" below the host
    // (Windows resolves them); the journal names each file in the one form
    // the system resolves it to, the only form a restore accepts.
    const std::string full = restorestore::FullPath(path);
    const std::string base = restorestore::FullPath(host) + "\\";
    if (base.size() == 1 || full.size() <= base.size() ||
        CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, full.c_str(),
                       static_cast<int>(base.size()), base.c_str(),
                       static_cast<int>(base.size())) != CSTR_EQUAL) {
        return false;
    }
    relative = full.substr(base.size());
    return true;
}

void RestoreRecorder::RecordFolders(const std::string& destination,
                                    const DestinationLookup& found) {
    // A destination that is there, or free in its folder, needs no folder.
    if (found.attributes != INVALID_FILE_ATTRIBUTES || found.error == ERROR_FILE_NOT_FOUND) return;
    // The folders the copy is about to make, outermost first.
    std::vector<std::string> missing;
    std::string folder = destination.substr(0, destination.rfind('\\'));
    while (folder.size() > host.size() && knownFolders.count(folder) == 0 && !IsFolder(folder)) {
        missing.push_back(folder);
        folder = folder.substr(0, folder.rfind('\\'));
    }
    for (auto made = missing.rbegin(); made != missing.rend(); ++made) {
        journal::FolderRecord record;
        record.number = ++folders;
        if (!Relative(*made, record.path) || !Append(journal::FolderBytes(record))) return;
        knownFolders.insert(*made);
    }
}

void RestoreRecorder::RecordList(const std::string& list, journal::ListKind kind,
                                 const Fingerprint& after,
                                 std::vector<journal::EntryChange> changes,
                                 const std::string* oldBytes) {
    journal::ListRecord record;
    if (!Relative(list, record.path)) return;
    record.number = ++lists;
    record.kind = kind;
    record.oldCopy = "lists\\" + std::to_string(record.number);
    record.after = after;
    record.changes = std::move(changes);
    const std::string copy = point + "\\" + record.oldCopy;
    if (oldBytes != nullptr ? !WritePlain(copy, *oldBytes) : !CopyPlain(list, copy)) {
        Stop("the old copy of " + record.path + " could not be saved");
        return;
    }
    record.before = oldBytes != nullptr ? FingerprintOfBytes(*oldBytes) : FingerprintOf(copy);
    if (Append(journal::ListBytes(record))) {
        pendingList = list;
        pendingListNumber = record.number;
    }
}

void RestoreRecorder::WriteUninstallEntry() {
    // The entry runs the store's restore program as administrator: only one
    // that is there and safe.
    if (!programReady) return;
    restorepoints::WriteEntry(root, restorepoints::PackageKey(shownName, host));
}
