// Files and texts for the engine's tests: whole-file reads and writes, file
// times and attributes, and expected texts in the user's code page. Every
// function fails the current test (ADD_FAILURE) when the system refuses.
#pragma once

#include <windows.h>

#include <string>

namespace testfiles {

// Creates or replaces `path` with exactly `bytes`; missing folders are made.
void Write(const std::string& path, const std::string& bytes);

// The whole file; empty when it cannot be read.
std::string Read(const std::string& path);

bool Exists(const std::string& path);

// Last-write times as 100 ns ticks since 1601.
void SetWriteTime(const std::string& path, ULONGLONG ticks);
ULONGLONG WriteTime(const std::string& path);

// Sets the attributes; INVALID_FILE_ATTRIBUTES from Attributes when missing.
void SetAttributes(const std::string& path, DWORD attributes);
DWORD Attributes(const std::string& path);

// A UTF-8 text as the program sees it: in the process's ANSI code page.
std::string Ansi(const char* utf8);

// The running test program's own file.
std::string ProgramFile();

// A time well in the past and one well in the future of every test file.
inline constexpr ULONGLONG kOld = 130000000000000000ULL;  // year 2012
inline constexpr ULONGLONG kNew = 140000000000000000ULL;  // year 2044

}  // namespace testfiles
