#include "tests/support/TemporaryFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = folder + "\\" + name;
            // A link (tests make some, looping ones too) goes as a link.
            if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                if (!RemoveDirectoryA(path.c_str())) DeleteFileA(path.c_str());
                continue;
            }
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

TemporaryFolder::TemporaryFolder() {
    static int created = 0;
    char temporary[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temporary, temporary);
    if (length == 0 || length >= sizeof temporary) {
        ADD_FAILURE() << "no temporary folder";
        return;
    }
    std::string base(temporary, length);
    if (base.back() == '\\') base.pop_back();
    for (;;) {
        path = base + "\\pakwerk-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++created);
        if (CreateDirectoryA(path.c_str(), nullptr)) return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            ADD_FAILURE() << "cannot create " << path << ", error " << GetLastError();
            return;
        }
    }
}

TemporaryFolder::~TemporaryFolder() {
    if (!path.empty()) RemoveTree(path);
}
