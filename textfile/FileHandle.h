// A Win32 file handle that is closed on every path out of its scope.
//
//   FileHandle(handle)  takes `handle`, the result of CreateFileA or the like
//                       (INVALID_HANDLE_VALUE when the open failed)
//   IsOpen              whether it holds an open handle
//   Get                 the handle, for the calls that use it
//
// Windows only; a handle cannot be copied.
#pragma once

#ifdef _WIN32

#include <windows.h>

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle(handle) {}
    ~FileHandle() {
        if (IsOpen()) CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle; }

private:
    HANDLE handle;
};

#endif
