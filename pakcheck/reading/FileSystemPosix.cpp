// The file operations on Linux and other POSIX systems.
#include "pakcheck/reading/FileSystem.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace pakcheck {

namespace files {

FileState Probe(const std::string& path) {
    FileState state;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return state;
    state.exists = true;
    state.folder = S_ISDIR(info.st_mode);
    state.readOnly = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    state.writeTime = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    state.size = static_cast<uint64_t>(info.st_size);
    return state;
}

bool CopyInto(const std::string& from, const std::string& to) {
    std::string bytes;
    return ReadBytes(from, &bytes) && WriteBytes(to, bytes);
}

bool ListFolder(const std::string& folder, std::vector<std::string>* names) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return false;
    names->clear();
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names->push_back(name);
    }
    closedir(dir);
    std::sort(names->begin(), names->end());
    return true;
}

bool MakeTemporaryFolder(std::string* path) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = Join(base != nullptr && *base != '\0' ? base : "/tmp", "pakcheck-XXXXXX");
    if (mkdtemp(&pattern[0]) == nullptr) return false;
    *path = pattern;
    return true;
}

bool MakeFolder(const std::string& path) {
    return mkdir(path.c_str(), 0777) == 0 || Probe(path).folder;
}

bool RemoveTree(const std::string& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) return true;
    if (S_ISDIR(info.st_mode)) {
        std::vector<std::string> names;
        if (ListFolder(path, &names)) {
            for (const std::string& name : names) RemoveTree(Join(path, name));
        }
        return rmdir(path.c_str()) == 0;
    }
    return unlink(path.c_str()) == 0;
}

void Append(std::string* path, const std::string& name) {
    if (!path->empty() && !(path->back() == kSeparator)) path->push_back(kSeparator);
    *path += name;
}

std::string Join(const std::string& folder, const std::string& name) {
    std::string path = folder;
    Append(&path, name);
    return path;
}

}  // namespace files

}  // namespace pakcheck
