#include "textfile/SafeReplace.h"

#include <cctype>
#include <cerrno>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace safereplace {

namespace {

#ifdef _WIN32
constexpr const char* kSeparators = "\\/:";
#else
constexpr const char* kSeparators = "/";
#endif

int stepToFail = 0;
int stepsCounted = 0;

// Counts one step of a save for the test seam; true when it must fail.
bool InjectedFault() {
    if (stepToFail == 0) {
        return false;
    }
    return ++stepsCounted == stepToFail;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x != y && !(x < 128 && y < 128 && std::tolower(x) == std::tolower(y))) {
            return false;
        }
    }
    return true;
}

bool Exists(const char* path) {
#ifdef _WIN32
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat info;
    return stat(path, &info) == 0;
#endif
}

#ifdef _WIN32
// Attributes a replace must not lose; the others belong to the new content
// (archive) or are the system's (compressed, encrypted, ...).
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool MoveOver(const char* temporary, const char* target) {
    return MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// ReplaceFileA keeps what a rename loses: the target's attributes, security
// and creation time. MoveFileExA takes over only where ReplaceFileA cannot
// work:
//   - the target does not exist (nothing to keep; ReplaceFileA would fail
//     with ERROR_FILE_NOT_FOUND, which also covers a target removed since);
//   - the volume cannot replace (some network shares and file systems
//     answer ERROR_INVALID_FUNCTION, ERROR_NOT_SUPPORTED or
//     ERROR_INVALID_PARAMETER);
//   - ERROR_UNABLE_TO_MOVE_REPLACEMENT: without a backup name the system has
//     already removed the target, and the new content must still get its
//     name.
// Every other failure (access denied, sharing violation, the target could
// not be removed) leaves the target as it was.
bool ReplaceTarget(const char* temporary, const char* target) {
    const DWORD before = GetFileAttributesA(target);
    if (before == INVALID_FILE_ATTRIBUTES) {
        return MoveOver(temporary, target);
    }
    if (ReplaceFileA(target, temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr) == 0) {
        switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_INVALID_FUNCTION:
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_PARAMETER:
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
            if (!MoveOver(temporary, target)) {
                return false;
            }
            break;
        default: return false;
        }
    }
    // Wine's ReplaceFileA renames the new file in without the target's
    // attributes, as MoveFileExA does. The content is saved either way: a
    // failure to put them back does not fail the save.
    const DWORD kept = before & kKeptAttributes;
    const DWORD after = GetFileAttributesA(target);
    if (kept != 0 && after != INVALID_FILE_ATTRIBUTES && (after & kept) != kept) {
        SetFileAttributesA(target, (after & kSettableAttributes) | kept);
    }
    return true;
}
#endif

}  // namespace

std::string TemporaryPathFor(const char* target) {
    const std::string path(target);
    const std::size_t separator = path.find_last_of(kSeparators);
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t nameLength = path.size() - nameStart;
    // FNV-1a of the name without case: saves of different lists in one
    // folder, even at the same time, use different temporary files.
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = nameStart; i < path.size(); ++i) {
        hash =
            (hash ^ static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(path[i])))) *
            16777619u;
    }
    static const char kHex[] = "0123456789abcdef";
    std::string name = "~0000.tmp";
    for (int digit = 4; digit >= 1; --digit, hash >>= 4) {
        name[digit] = kHex[hash & 15u];
    }
    if (nameLength > 0 && nameLength < name.size()) {
        name.resize(nameLength);
    }
    if (SameNameIgnoringCase(name, path.substr(nameStart))) {
        name[0] = '_';
    }
    return path.substr(0, nameStart) + name;
}

bool TargetWritable(const char* target) {
    std::FILE* probe = std::fopen(target, "rb");
    if (probe == nullptr) {
        return true;  // nothing there yet: the move creates it
    }
    std::fclose(probe);
    // "r+b" asks for write access without truncating the file.
    probe = std::fopen(target, "r+b");
    if (probe == nullptr) {
        return false;
    }
    std::fclose(probe);
    return true;
}

bool Write(std::FILE* stream, const void* data, std::size_t size) {
    if (InjectedFault()) {
        errno = ENOSPC;
        return false;
    }
    return std::fwrite(data, 1, size, stream) == size;
}

// The only code that differs between Windows and POSIX: pushing the file to
// disk and the atomic replace.
bool FlushToDisk(std::FILE* stream) {
    if (InjectedFault()) {
        errno = ENOSPC;
        return false;
    }
    if (std::fflush(stream) != 0) {
        return false;
    }
#ifdef _WIN32
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
#else
    return fsync(fileno(stream)) == 0;
#endif
}

bool Close(std::FILE* stream) {
    const bool fault = InjectedFault();
    const bool closed = std::fclose(stream) == 0;
    if (fault) {
        errno = EIO;
        return false;
    }
    return closed;
}

bool ReplaceWith(const char* temporary, const char* target) {
    if (InjectedFault()) {
        std::remove(temporary);
#ifdef _WIN32
        SetLastError(ERROR_ACCESS_DENIED);
#endif
        errno = EACCES;
        return false;
    }
    const bool targetExisted = Exists(target);
#ifdef _WIN32
    const bool moved = ReplaceTarget(temporary, target);
#else
    const bool moved = std::rename(temporary, target) == 0;
#endif
    // A target that was there and is gone now (see ReplaceTarget) leaves
    // the temporary file as the only copy of the new content.
    if (!moved && (!targetExisted || Exists(target))) {
        std::remove(temporary);
    }
    return moved;
}

void FailStep(int n) {
    stepToFail = n;
    stepsCounted = 0;
}

int StepsCounted() {
    return stepsCounted;
}

}  // namespace safereplace
