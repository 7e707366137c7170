#include "engine/tests/TestFiles.h"

#include <gtest/gtest.h>

#include <vector>

namespace testfiles {

namespace {

void MakeFolders(const std::string& path) {
  for (size_t separator = path.find('\\', 3); separator != std::string::npos;
       separator = path.find('\\', separator + 1)) {
    CreateDirectoryA(path.substr(0, separator).c_str(), nullptr);
  }
}

FILETIME ToFileTime(ULONGLONG ticks) {
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(ticks);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return time;
}

}  // namespace

void Write(const std::string& path, const std::string& bytes) {
  MakeFolders(path);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot create " << path << ", error " << GetLastError();
    return;
  }
  DWORD written = 0;
  if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    ADD_FAILURE() << "cannot write " << path << ", error " << GetLastError();
  }
  CloseHandle(file);
}

std::string Read(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char block[4096];
  DWORD count = 0;
  while (ReadFile(file, block, sizeof block, &count, nullptr) && count > 0) {
    bytes.append(block, count);
  }
  CloseHandle(file);
  return bytes;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void SetWriteTime(const std::string& path, ULONGLONG ticks) {
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot open " << path << " to set its time, error " << GetLastError();
    return;
  }
  FILETIME time = ToFileTime(ticks);
  if (!SetFileTime(file, nullptr, nullptr, &time)) {
    ADD_FAILURE() << "cannot set the time of " << path << ", error " << GetLastError();
  }
  CloseHandle(file);
}

ULONGLONG WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    ADD_FAILURE() << "cannot read the time of " << path;
    return 0;
  }
  return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}

void SetAttributes(const std::string& path, DWORD attributes) {
  if (!SetFileAttributesA(path.c_str(), attributes)) {
    ADD_FAILURE() << "cannot set the attributes of " << path << ", error " << GetLastError();
  }
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

std::string Ansi(const char* utf8) {
  int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
  if (units <= 0) {
    ADD_FAILURE() << "not UTF-8: " << utf8;
    return std::string();
  }
  std::vector<wchar_t> wide(static_cast<size_t>(units));
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), units);
  int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
  std::vector<char> ansi(static_cast<size_t>(bytes));
  WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, ansi.data(), bytes, nullptr, nullptr);
  return std::string(ansi.data());
}

std::string ProgramFile() {
  char path[MAX_PATH * 4];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, length);
}

}  // namespace testfiles
