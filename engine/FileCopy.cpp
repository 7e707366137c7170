#include "engine/FileCopy.h"

#include <windows.h>

#include "textfile/SafeReplace.h"

namespace filecopy {

namespace {

// A handle closed on every path out.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle; }
    bool Close() {
        if (!IsOpen()) return true;
        const bool closed = CloseHandle(handle) != 0;
        handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle;
};

constexpr size_t kBufferSize = 1 << 20;

// Copies the bytes; false when a read or a write fails or falls short.
bool CopyBytes(HANDLE from, HANDLE to, std::vector<char>& buffer, ContentHash* hash,
               uint64_t& size) {
    if (buffer.size() < kBufferSize) buffer.resize(kBufferSize);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            return false;
        }
        if (got == 0) return true;
        if (hash != nullptr) hash->Add(buffer.data(), got);
        size += got;
        DWORD written = 0;
        if (!WriteFile(to, buffer.data(), got, &written, nullptr) || written != got) return false;
    }
}

}  // namespace

bool WriteTemporary(const std::string& source, const std::string& temporary,
                    std::vector<char>& buffer, Fingerprint* content, bool& folderMissing) {
    folderMissing = false;
    Handle from(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    FILETIME written;
    if (!from.IsOpen() || !GetFileTime(from.Get(), nullptr, nullptr, &written)) return false;
    Handle to(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!to.IsOpen()) {
        folderMissing = GetLastError() == ERROR_PATH_NOT_FOUND;
        return false;
    }
    ContentHash hash;
    uint64_t size = 0;
    // The time and the attributes are set last, once no write follows that
    // would set them again.
    FILE_BASIC_INFO basic = {};
    basic.LastWriteTime.LowPart = written.dwLowDateTime;
    basic.LastWriteTime.HighPart = static_cast<LONG>(written.dwHighDateTime);
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    const bool complete =
        CopyBytes(from.Get(), to.Get(), buffer, content != nullptr ? &hash : nullptr, size) &&
        SetFileInformationByHandle(to.Get(), FileBasicInfo, &basic, sizeof basic) != 0;
    if (!to.Close() || !complete) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    if (content != nullptr) {
        content->exists = true;
        content->readable = true;
        content->size = size;
        content->hash = hash.Value();
    }
    return true;
}

bool MoveIntoPlace(const std::string& temporary, const std::string& destination) {
    // Windows refuses to rename over a read-only file or one in use; Wine
    // and POSIX would replace it, so an existing destination is asked first.
    const bool exists = GetFileAttributesA(destination.c_str()) != INVALID_FILE_ATTRIBUTES;
    if ((exists && !safereplace::TargetWritable(destination.c_str())) ||
        !MoveFileExA(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace filecopy
