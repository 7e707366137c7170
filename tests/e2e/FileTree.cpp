#include "e2e/FileTree.h"

#include <fstream>
#include <sstream>

namespace filetree {
namespace {

template <typename Visit>
bool Walk(const std::string& folder, const std::string& relative, Visit visit) {
    WIN32_FIND_DATAA found;
    const std::string base = relative.empty() ? folder : folder + "\\" + relative;
    HANDLE search = FindFirstFileA((base + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    bool ok = true;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string child = relative.empty() ? name : relative + "\\" + name;
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        ok = visit(child, isFolder) && ok;
        if (isFolder) ok = Walk(folder, child, visit) && ok;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return ok;
}

}  // namespace

std::string FromUnixPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

bool CopyTree(const std::string& from, const std::string& to) {
    if (!CreateDirectoryA(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    return Walk(from, "", [&](const std::string& relative, bool isFolder) {
        const std::string target = to + "\\" + relative;
        if (isFolder)
            return CreateDirectoryA(target.c_str(), nullptr) ||
                   GetLastError() == ERROR_ALREADY_EXISTS;
        return CopyFileA((from + "\\" + relative).c_str(), target.c_str(), FALSE) != 0;
    });
}

bool RemoveTree(const std::string& folder) {
    if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    std::vector<std::string> folders;
    Walk(folder, "", [&](const std::string& relative, bool isFolder) {
        const std::string path = folder + "\\" + relative;
        if (isFolder) {
            folders.push_back(path);
            return true;
        }
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileA(path.c_str()) != 0;
    });
    // Deepest first: a folder is listed before the folders inside it.
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) RemoveDirectoryA(it->c_str());
    RemoveDirectoryA(folder.c_str());
    return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool SetWriteTime(const std::string& file, const FILETIME& time) {
    HANDLE handle =
        CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool ok = SetFileTime(handle, nullptr, nullptr, &time) != 0;
    CloseHandle(handle);
    return ok;
}

bool SetWriteTimes(const std::string& folder, const FILETIME& time) {
    return Walk(folder, "", [&](const std::string& relative, bool isFolder) {
        return isFolder || SetWriteTime(folder + "\\" + relative, time);
    });
}

FILETIME YearStart(int year) {
    SYSTEMTIME system{};
    system.wYear = static_cast<WORD>(year);
    system.wMonth = 1;
    system.wDay = 1;
    FILETIME time{};
    SystemTimeToFileTime(&system, &time);
    return time;
}

bool ReadFile(const std::string& path, std::string& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream content;
    content << file.rdbuf();
    bytes = content.str();
    return true;
}

Contents ReadTree(const std::string& folder) {
    Contents contents;
    Walk(folder, "", [&](const std::string& relative, bool isFolder) {
        if (!isFolder) ReadFile(folder + "\\" + relative, contents[relative]);
        return true;
    });
    return contents;
}

std::vector<std::string> Compare(const Contents& expected, const Contents& actual) {
    std::vector<std::string> differences;
    for (const auto& [path, bytes] : expected) {
        const auto found = actual.find(path);
        if (found == actual.end()) {
            differences.push_back("missing " + path);
            continue;
        }
        if (found->second == bytes) continue;
        size_t at = 0;
        while (at < bytes.size() && at < found->second.size() && bytes[at] == found->second[at])
            ++at;
        differences.push_back("differs " + path + " at byte " + std::to_string(at) + " (expected " +
                              std::to_string(bytes.size()) + " bytes, found " +
                              std::to_string(found->second.size()) + ")");
    }
    for (const auto& entry : actual) {
        if (!expected.count(entry.first)) differences.push_back("unexpected " + entry.first);
    }
    return differences;
}

}  // namespace filetree
