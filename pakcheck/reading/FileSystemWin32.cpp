// The file operations on Windows, through the same ANSI functions the
// installer uses, so that names are understood in the same code page.
#include "pakcheck/reading/FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "textfile/FileHandle.h"

namespace pakcheck {

namespace files {

namespace {}  // namespace

FileState Probe(const std::string& path) {
    FileState state;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return state;
    state.exists = true;
    state.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    state.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (state.folder) return state;
    // Opened as the installer opens it to compare times.
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr));
    if (!file.IsOpen()) return state;
    FILETIME written;
    if (GetFileTime(file.Get(), nullptr, nullptr, &written)) {
        state.writeTime = static_cast<int64_t>(
            (static_cast<ULONGLONG>(written.dwHighDateTime) << 32) | written.dwLowDateTime);
    }
    LARGE_INTEGER size;
    if (GetFileSizeEx(file.Get(), &size)) state.size = static_cast<uint64_t>(size.QuadPart);
    return state;
}

bool CopyInto(const std::string& from, const std::string& to) {
    // CopyFileA carries a read-only flag over; the copy is for writing.
    return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != 0 &&
           SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
}

bool ListFolder(const std::string& folder, std::vector<std::string>* names) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Join(folder.empty() ? "." : folder, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    names->clear();
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names->push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names->begin(), names->end());
    return true;
}

bool MakeTemporaryFolder(std::string* path) {
    char base[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof base, base);
    if (length == 0 || length > MAX_PATH) return false;
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "pakcheck-%lu-%u", GetCurrentProcessId(), attempt);
        const std::string candidate = Join(base, name);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            *path = candidate;
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

bool MakeFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0 || Probe(path).folder;
}

bool RemoveTree(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    // A read-only file or folder cannot be deleted until the flag is gone.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        std::vector<std::string> names;
        if (ListFolder(path, &names)) {
            for (const std::string& name : names) RemoveTree(Join(path, name));
        }
        return RemoveDirectoryA(path.c_str()) != 0;
    }
    return DeleteFileA(path.c_str()) != 0;
}

void Append(std::string* path, const std::string& name) {
    if (!path->empty() && path->back() != '\\' && path->back() != '/') path->push_back(kSeparator);
    *path += name;
}

std::string Join(const std::string& folder, const std::string& name) {
    std::string path = folder;
    Append(&path, name);
    return path;
}

}  // namespace files

}  // namespace pakcheck
