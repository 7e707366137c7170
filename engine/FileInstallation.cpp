#include "engine/FileInstallation.h"

#include <windows.h>

#include <vector>

#include "engine/InstallObserver.h"
#include "engine/InstallQuestions.h"
#include "engine/TemporaryCopy.h"
#include "package/FileEntryDecision.h"
#include "package/HostDestination.h"
#include "package/InstallScript.h"
#include "textfile/FileHandle.h"

namespace fileinstallation {

namespace {

// The file at `path`, opened for reading its time.
HANDLE OpenForReading(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

bool WriteTime(const FileHandle& file, ULONGLONG& ticks) {
    FILETIME time;
    if (!GetFileTime(file.Get(), nullptr, nullptr, &time)) return false;
    ticks = (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return true;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsNotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// A name that FindFirstFileA takes for exactly that one file or folder: no
// wildcard and no ending that the search treats apart from the name.
bool IsPlainName(const std::string& path) {
    if (path.empty() || path.find_first_of("*?<>\"") != std::string::npos) return false;
    const char last = path.back();
    return last != '\\' && last != '/' && last != '.' && last != ' ' && last != ':';
}

// The full path the system opens for `path`: the ANSI functions convert a
// name with the ANSI code page and resolve the UTF-16 result, so this does
// the same (GetFullPathNameA's own work, without its conversion back, which
// on a double-byte code page could make a backslash of a character's second
// byte). Empty when the name cannot be resolved.
std::wstring ResolvedPath(const std::string& path) {
    const int units = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (units <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), units) != units) {
        return std::wstring();
    }
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return std::wstring();
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return std::wstring();
    full.resize(length);
    return full;
}

// True when `destination` (the host folder's path followed by the entry's
// name) resolves to something below the resolved host folder. On the code
// pages 932, 936, 949 and 950 the byte 0x5C can be the second byte of a
// character: where the byte rule reads "A\B\..\..\x", still inside, the
// system may read "AB\..\..\x", one level above the host folder.
bool ResolvesInsideHost(const std::string& hostPath, const std::string& destination) {
    const std::wstring host = ResolvedPath(hostPath);
    const std::wstring full = ResolvedPath(destination);
    return !host.empty() && host.back() == L'\\' && full.size() > host.size() &&
           full.compare(0, host.size(), host) == 0;
}

DestinationLookup LookUp(const std::string& path) {
    DestinationLookup found;
    found.attributes = GetFileAttributesA(path.c_str());
    if (found.attributes == INVALID_FILE_ATTRIBUTES) found.error = GetLastError();
    return found;
}

bool IsMissing(const DestinationLookup& found) {
    return found.attributes == INVALID_FILE_ATTRIBUTES && IsNotFound(found.error);
}

// IsExistingFileNewer once the destination has been looked up.
bool IsFoundFileNewer(const DestinationLookup& found, const std::string& destination,
                      const std::string& source) {
    // Most destinations of a run are new: the lookup says so without a
    // failed open.
    if (IsMissing(found)) return false;
    const FileHandle existing(OpenForReading(destination));
    if (!existing.IsOpen()) return false;
    const FileHandle installing(OpenForReading(source));
    if (!installing.IsOpen()) return true;
    ULONGLONG existingTime = 0;
    if (!WriteTime(existing, existingTime)) return false;
    ULONGLONG installingTime = 0;
    if (!WriteTime(installing, installingTime)) return true;
    return existingTime > installingTime;
}

// The decision's facts, looked up in the file system. The destination's
// lookup is the last fact asked for and is kept: it is what the copy finds
// unless a question is asked before it.
class FileSystemFacts : public fileentry::Facts {
public:
    FileSystemFacts(const std::string& source, const std::string& hostPath,
                    const std::string& destination)
        : source(source), hostPath(hostPath), destination(destination) {}
    bool SourceExists() override { return FileExists(source); }
    bool DestinationResolvesInside() override { return ResolvesInsideHost(hostPath, destination); }
    bool DestinationNewer() override {
        found = LookUp(destination);
        return IsFoundFileNewer(found, destination, source);
    }
    const DestinationLookup& Found() const { return found; }

private:
    const std::string& source;
    const std::string& hostPath;
    const std::string& destination;
    DestinationLookup found;
};

// Copies one entry; false when the copy failed (and was reported).
bool InstallEntry(const std::string& text, const std::string& packageDir,
                  const std::string& hostPath, bool& skipAllNewer, InstallQuestions& questions,
                  InstallObserver& observer, std::vector<char>& buffer) {
    const fileentry::Entry entry = fileentry::Split(text);
    const std::string source = packageDir + "\\" + entry.source;
    const std::string destination = hostPath + entry.destination;
    FileSystemFacts facts(source, hostPath, destination);
    DestinationLookup found;
    switch (fileentry::Decide(entry, facts, skipAllNewer)) {
    case fileentry::Decision::Ignore:
    case fileentry::Decision::KeepNewer: return true;
    case fileentry::Decision::SourceMissing: questions.SourceMissing(source); return true;
    case fileentry::Decision::Refuse: questions.CopyFailed(source, destination); return false;
    case fileentry::Decision::AskNewer:
        if (!fileentry::Replaces(questions.AskAboutNewerFile(destination, source), skipAllNewer)) {
            return true;
        }
        // The user may have taken a while to answer.
        found = LookUp(destination);
        break;
    case fileentry::Decision::Copy: found = facts.Found(); break;
    }
    const bool fingerprint = observer.BeforeCopy(source, destination, found);
    Fingerprint content;
    Fingerprint* const wanted = fingerprint ? &content : nullptr;
    // The folder is made only when the copy did not go through: most files
    // of a run go into a folder that is already there, and a failed copy
    // leaves nothing behind, so the second try ends as the one after
    // EnsureDirectory always did.
    TemporaryCopy copy(destination);
    bool folderMissing = false;
    bool copied = copy.Write(source, buffer, wanted, folderMissing);
    if (!copied && folderMissing &&
        EnsureDirectory(destination.substr(0, destination.rfind('\\')))) {
        copied = copy.Write(source, buffer, wanted, folderMissing);
    }
    if (copied && fingerprint) observer.Written(destination, content);
    copied = copied && copy.MoveIntoPlace(IsMissing(found));
    observer.AfterCopy(destination, copied);
    if (!copied) {
        questions.CopyFailed(source, destination);
        // A read-only file that failed now is writable next time.
        SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    return copied;
}

}  // namespace

bool InstallFiles(InstallScript& script, const std::string& packageDir, const std::string& hostPath,
                  bool& skipAllNewer, InstallQuestions& questions) {
    NoRecording nobody;
    return InstallFiles(script, packageDir, hostPath, skipAllNewer, questions, nobody);
}

bool InstallFiles(InstallScript& script, const std::string& packageDir, const std::string& hostPath,
                  bool& skipAllNewer, InstallQuestions& questions, InstallObserver& observer) {
    if (!script.FindSection("Dateinstallation")) return true;
    bool allCopied = true;
    std::string entry;
    std::vector<char> buffer;
    while (script.NextEntry(entry)) {
        if (!InstallEntry(entry, packageDir, hostPath, skipAllNewer, questions, observer, buffer)) {
            allCopied = false;
        }
    }
    return allCopied;
}

bool FileExists(const std::string& path) {
    // Asking for a name's attributes answers in a fraction of the search's
    // time (under Wine without opening the folder through the server), and
    // a run asks once per file. Names the search reads differently (patterns,
    // a trailing separator, dot, space or colon) and lookups that fail for
    // another reason than a missing file or folder still go to the search,
    // so every name gets the answer the search gives.
    if (IsPlainName(path)) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        if (IsNotFound(GetLastError())) return false;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

bool IsExistingFileNewer(const std::string& destination, const std::string& source) {
    return IsFoundFileNewer(LookUp(destination), destination, source);
}

bool EnsureDirectory(const std::string& folder) {
    // Doubled separators in a destination leave runs of backslashes here;
    // Windows reads a run as one, and trailing ones as the folder itself.
    std::string name = folder;
    while (!name.empty() && name.back() == '\\') name.pop_back();
    if (name.empty()) return false;
    if (CreateDirectoryA(name.c_str(), nullptr) || IsFolder(name)) return true;
    const size_t backslash = name.rfind('\\');
    // Stop at a drive ("C:", "C:\"): it cannot be made.
    if (backslash == std::string::npos || backslash <= 3) return false;
    return EnsureDirectory(name.substr(0, backslash)) &&
           (CreateDirectoryA(name.c_str(), nullptr) || IsFolder(name));
}

bool NamesFileInside(const std::string& destination) {
    return hostdestination::NamesFileInside(destination);
}

}  // namespace fileinstallation
