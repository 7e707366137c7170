// Files for the tests of the portable libraries (the text files, the install
// script reader, the texture lists), natively and under Wine: scratch files,
// the data files kept beside the tests, and write protection as the system
// under test sees it.
//
// A scratch file is named after the test program and the running test: ctest
// runs several test programs at once, and the test cases of one program side
// by side, each in a process of its own.
//
//   Scratch             the path of the running test's scratch file `name`
//   Make                that scratch file, holding `bytes`; its path
//   WriteAll            creates or replaces the file with exactly `bytes`;
//                       fails the test when it cannot
//   ReadAll             the file's bytes; "<missing>" when it cannot be read,
//                       so that a lost file never passes for an empty one
//   DataFile            a file in the tests/ folder beside the test program's
//                       sources, as a path the program can open (under Wine a
//                       "Z:" path with backslashes)
//   SetReadOnly         sets or clears write protection
//   ReadOnlyIsEnforced  false where write protection cannot show (root)
//   Utf16               UTF-16LE bytes of an ASCII text
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace testfiles {

inline std::string Scratch(const std::string& name) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string prefix = std::string(PAKWERK_TEST_PROGRAM) + "_";
    if (test != nullptr) {
        prefix += std::string(test->test_suite_name()) + "_" + test->name() + "_";
    }
    return ::testing::TempDir() + prefix + name;
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    EXPECT_TRUE(out.good()) << "cannot write " << path;
}

inline std::string Make(const std::string& name, const std::string& bytes) {
    std::string path = Scratch(name);
    WriteAll(path, bytes);
    return path;
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "<missing>";
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

inline std::string DataFile(const char* name) {
    std::string path = std::string(PAKWERK_TEST_DATA) + "/tests/" + name;
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
    path = "Z:" + path;
#endif
    return path;
}

inline void SetReadOnly(const std::string& path, bool readOnly) {
#ifdef _WIN32
    SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    chmod(path.c_str(), readOnly ? 0444 : 0644);
#endif
}

// Root writes read-only files anyway; the Wine run shows the refusals.
inline bool ReadOnlyIsEnforced() {
#ifdef _WIN32
    return true;
#else
    return geteuid() != 0;
#endif
}

inline std::string Utf16(const std::string& ascii) {
    std::string bytes;
    for (char c : ascii) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

}  // namespace testfiles
