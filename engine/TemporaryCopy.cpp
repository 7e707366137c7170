#include "engine/TemporaryCopy.h"

#include <algorithm>

#include "textfile/FileHandle.h"
#include "textfile/SafeReplace.h"

namespace {

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

TemporaryCopy::TemporaryCopy(const std::string& destination)
    : destination(destination), temporary(safereplace::TemporaryPathFor(destination.c_str())) {}

TemporaryCopy::~TemporaryCopy() {
    Discard();
}

bool TemporaryCopy::Write(const std::string& source, std::vector<char>& buffer,
                          Fingerprint* content, bool& folderMissing) {
    folderMissing = false;
    Discard();
    FileHandle from(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    FILETIME written;
    if (!from.IsOpen() || !GetFileTime(from.Get(), nullptr, nullptr, &written)) return false;
    // DELETE: the file is renamed into place through this handle.
    file = CreateFileA(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
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
    if (!CopyBytes(from.Get(), file, buffer, content != nullptr ? &hash : nullptr, size) ||
        !SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic)) {
        Discard();
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

bool TemporaryCopy::MoveIntoPlace(bool destinationMissing) {
    if (file == INVALID_HANDLE_VALUE) return false;
    bool moved = false;
    if (destinationMissing) {
        moved = Rename(false);
        // Someone made the destination since the caller looked.
        destinationMissing = moved || (GetLastError() != ERROR_ALREADY_EXISTS &&
                                       GetLastError() != ERROR_FILE_EXISTS);
    }
    if (!destinationMissing) {
        moved = safereplace::TargetWritable(destination.c_str()) && Rename(true);
    }
    if (!moved) {
        Discard();
        return false;
    }
    // The bytes were all written before the rename; the close only lets go.
    CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
    return true;
}

bool TemporaryCopy::Rename(bool replace) {
    // The name as the ANSI file functions read it.
    const int units = MultiByteToWideChar(CP_ACP, 0, destination.c_str(), -1, nullptr, 0);
    if (units <= 1) return false;
    std::vector<wchar_t> wide(static_cast<size_t>(units));
    if (MultiByteToWideChar(CP_ACP, 0, destination.c_str(), -1, wide.data(), units) != units) {
        return false;
    }
    // FILE_RENAME_INFO ends in the name; its storage is made of wchar_t for
    // the alignment and long enough for the structure and the whole name.
    const size_t bytes = sizeof(FILE_RENAME_INFO) + sizeof(wchar_t) * wide.size();
    std::vector<wchar_t> storage((bytes + sizeof(wchar_t) - 1) / sizeof(wchar_t) + 4);
    const size_t storageBytes = sizeof(wchar_t) * storage.size();
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(storage.data());
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = nullptr;
    const size_t nameBytes = sizeof(wchar_t) * (wide.size() - 1);
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::copy(wide.begin(), wide.end(), info->FileName);
    return SetFileInformationByHandle(file, FileRenameInfo, info,
                                      static_cast<DWORD>(storageBytes)) != 0;
}

void TemporaryCopy::Discard() {
    if (file == INVALID_HANDLE_VALUE) return;
    CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
    DeleteFileA(temporary.c_str());
}
