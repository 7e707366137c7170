// Small helpers for the text-file tests: scratch files with given bytes.
#pragma once

#include <gtest/gtest.h>

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

namespace testfiles {

// Named after the running test: ctest runs test cases side by side.
inline std::string Scratch(const std::string& name) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string prefix = "textfile_";
    if (test != nullptr) {
        prefix += std::string(test->test_suite_name()) + "_" + test->name() + "_";
    }
    return ::testing::TempDir() + prefix + name;
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A scratch file holding `bytes`; the path.
inline std::string Make(const std::string& name, const std::string& bytes) {
    std::string path = Scratch(name);
    WriteAll(path, bytes);
    return path;
}

inline bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

inline void SetReadOnly(const std::string& path, bool readOnly) {
#ifdef _WIN32
    SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    chmod(path.c_str(), readOnly ? 0444 : 0644);
#endif
}

// Root writes read-only files; only an ordinary user can show the refusal.
inline bool ReadOnlyIsEnforced() {
#ifdef _WIN32
    return true;
#else
    return geteuid() != 0;
#endif
}

// UTF-16LE bytes of an ASCII text.
inline std::string Utf16(const std::string& ascii) {
    std::string bytes;
    for (char c : ascii) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

}  // namespace testfiles
