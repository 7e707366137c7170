// Files for the texture list tests: scratch files named after the running
// test (tests run side by side), the files kept beside the tests, and
// write protection as the system under test sees it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace scratch {

inline std::string Path(const std::string& suffix) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + "texturelist_" + info->test_suite_name() + "_" +
           info->name() + "_" + suffix;
}

inline void Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    ASSERT_TRUE(out.good()) << path;
}

// The file's bytes; "<missing>" when it cannot be read.
inline std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "<missing>";
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// A file kept beside the tests, as a path this test program can open.
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

// Root writes read-only files anyway; the Wine run checks these cases.
inline bool WriteProtectionWorks() {
#ifdef _WIN32
    return true;
#else
    return geteuid() != 0;
#endif
}

}  // namespace scratch
