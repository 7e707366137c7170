// The few file operations the checker needs, on Linux and on Windows. Paths
// here are the running system's own ("/" on Linux, "\" on Windows); the
// package's backslash paths are mapped to them by PackagePath.h.
//
//   Probe        what is at `path`; exists false when nothing is (or the
//                path cannot be examined)
//   ReadBytes    true with the whole file in `bytes`; false when it cannot
//                be read
//   WriteBytes   true when the whole file was written
//   CopyInto     true when `to` holds a writable copy of `from` afterwards
//   ListFolder   true with the names in `folder` (without "." and ".."),
//                sorted; false when it cannot be listed
//   MakeTemporaryFolder  true with a new empty folder in `path`
//   MakeFolder   true when `path` is a folder afterwards
//   RemoveTree   true when nothing is left at `path`
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pakcheck {

namespace files {

// The separator of this system's paths.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

struct FileState {
    bool exists = false;
    bool folder = false;
    // Read-only as Windows would see it: the read-only attribute, or on
    // Linux no write permission for anyone (which Wine shows as read-only).
    bool readOnly = false;
    // Last write time in this system's units; compare only with each other.
    int64_t writeTime = 0;
    uint64_t size = 0;
};

FileState Probe(const std::string& path);
bool ReadBytes(const std::string& path, std::string* bytes);
bool WriteBytes(const std::string& path, const std::string& bytes);
bool CopyInto(const std::string& from, const std::string& to);
bool ListFolder(const std::string& folder, std::vector<std::string>* names);
bool MakeTemporaryFolder(std::string* path);
// True when `path` is a folder afterwards (its parent must exist).
bool MakeFolder(const std::string& path);
bool RemoveTree(const std::string& path);

// `folder` and `name` joined by one separator (none added after an empty
// folder or one that already ends with a separator).
std::string Join(const std::string& folder, const std::string& name);
// The same in place: `name` appended to the folder `*path`.
void Append(std::string* path, const std::string& name);

}  // namespace files

}  // namespace pakcheck
