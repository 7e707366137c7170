// Files for every test program, natively and under Wine: scratch files, the
// data files kept beside the tests, write protection as the system under
// test sees it, and on Windows file times, attributes and texts in the
// user's code page. Every function fails the current test (ADD_FAILURE) when
// the system refuses what it was asked to do.
//
// A scratch file is named after the running test and lies in the test
// process's scratch folder: ctest runs several test programs at once, and the
// test cases of one program side by side, each in a process of its own. The
// folder is removed with everything in it when the process ends, so that a
// test run leaves nothing in the system's temporary folder. Tests on Windows
// that need a folder of their own use TemporaryFolder.h.
//
//   ScratchFolder       the process's scratch folder, "<temporary folder>
//                       <program>-<process id>" with a separator at the end;
//                       made on first use
//   Scratch             the path of the running test's scratch file `name`
//   Make                that scratch file, holding `bytes`; its path
//   Write               creates or replaces the file with exactly `bytes`;
//                       missing folders are made
//   Read                the file's bytes; "<missing>" when it cannot be read,
//                       so that a lost file never passes for an empty one
//   Exists              true for an existing file or folder
//   DataFile            a file in the tests/ folder beside the test program's
//                       sources, as a path the program can open (under Wine a
//                       "Z:" path with backslashes)
//   SetReadOnly         sets or clears write protection
//   ReadOnlyIsEnforced  false where write protection cannot show (root)
//   Utf16               UTF-16LE bytes of an ASCII text
//
// Windows only:
//   SetWriteTime, WriteTime   last-write times as 100 ns ticks since 1601
//   SetAttributes             sets the attributes
//   Attributes                INVALID_FILE_ATTRIBUTES when missing
//   Ansi                      a UTF-8 text as the program sees it: in the
//                             process's ANSI code page
//   ProgramFile               the running test program's own file
//   FolderTree                every file and folder below a folder, by its
//                             path relative to it (folders end with "\\"):
//                             attributes, and for files their bytes; two
//                             trees compare equal when nothing changed
//   kOld, kNew                a time well in the past and one well in the
//                             future of every test file
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace testfiles {

void Write(const std::string& path, const std::string& bytes);
std::string Read(const std::string& path);
bool Exists(const std::string& path);
void SetReadOnly(const std::string& path, bool readOnly);
bool ReadOnlyIsEnforced();
std::string Utf16(const std::string& ascii);

std::string ScratchFolder(const std::string& program);

// Inline, and only in test programs: they use the names pakwerk_test gives
// each test program.
#if defined(PAKWERK_TEST_PROGRAM) && defined(PAKWERK_TEST_DATA)
inline std::string Scratch(const std::string& name) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string prefix;
    if (test != nullptr) {
        prefix = std::string(test->test_suite_name()) + "_" + test->name() + "_";
    }
    return ScratchFolder(PAKWERK_TEST_PROGRAM) + prefix + name;
}

inline std::string Make(const std::string& name, const std::string& bytes) {
    std::string path = Scratch(name);
    Write(path, bytes);
    return path;
}

inline std::string DataFile(const char* name) {
    std::string path = std::string(PAKWERK_TEST_DATA) + "/tests/" + name;
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
    path = "Z:" + path;
#endif
    return path;
}
#endif

#ifdef _WIN32
void SetWriteTime(const std::string& path, ULONGLONG ticks);
ULONGLONG WriteTime(const std::string& path);
void SetAttributes(const std::string& path, DWORD attributes);
DWORD Attributes(const std::string& path);
std::string Ansi(const char* utf8);
std::string ProgramFile();
std::map<std::string, std::string> FolderTree(const std::string& folder);

inline constexpr ULONGLONG kOld = 130000000000000000ULL;  // year 2012
inline constexpr ULONGLONG kNew = 140000000000000000ULL;  // year 2044
#endif

}  // namespace testfiles
