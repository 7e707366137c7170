// Folders of files as the end-to-end tests prepare and inspect them: copied,
// dated, removed, read whole and compared byte for byte.
//
// Paths are Windows paths without a trailing backslash; relative paths inside
// a tree use backslashes.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace filetree {

// Relative path of every file below the folder -> its bytes.
using Contents = std::map<std::string, std::string>;

// The Windows form of a Unix path as Wine shows it (drive Z:).
std::string FromUnixPath(const std::string& unixPath);

// Copies every file and folder below `from` into `to`, creating `to`. False
// when anything could not be copied.
bool CopyTree(const std::string& from, const std::string& to);

// Removes the folder with everything in it, read-only files too. True when
// it is gone (or never existed).
bool RemoveTree(const std::string& folder);

// Gives every file below the folder the last-write time.
bool SetWriteTimes(const std::string& folder, const FILETIME& time);
bool SetWriteTime(const std::string& file, const FILETIME& time);

// A fixed point in time: midnight UTC of the first day of the year.
FILETIME YearStart(int year);

bool ReadFile(const std::string& path, std::string& bytes);
Contents ReadTree(const std::string& folder);

// One line per difference ("missing X", "unexpected X", "differs X at byte N");
// empty when both hold the same files with the same bytes.
std::vector<std::string> Compare(const Contents& expected, const Contents& actual);

}  // namespace filetree
