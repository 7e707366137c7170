#include "textfile/SafeReplace.h"

#include <cctype>
#include <cerrno>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
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

#ifdef _WIN32
// Attributes a replace must not lose; the others belong to the new content
// (archive) or are the system's (compressed, encrypted, ...).
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// What ReplaceFileA would keep of the target, given to the temporary file
// before the move: the kept attributes and the creation time. The content is
// saved either way: a failure here does not fail the save.
void TakeOverMetadata(const char* target, const char* temporary) {
    WIN32_FILE_ATTRIBUTE_DATA old;
    if (!GetFileAttributesExA(target, GetFileExInfoStandard, &old)) {
        return;
    }
    const DWORD kept = old.dwFileAttributes & kKeptAttributes;
    const DWORD current = GetFileAttributesA(temporary);
    if (kept != 0 && current != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesA(temporary, (current & kSettableAttributes) | kept);
    }
    HANDLE file = CreateFileA(temporary, FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        SetFileTime(file, &old.ftCreationTime, nullptr, nullptr);
        CloseHandle(file);
    }
}

// One rename over the target: the list's name holds the old file until the
// new one takes it, so a crash or a killed process at any moment leaves the
// old list or the new one. ReplaceFileA does not: on Windows it removes the
// target before renaming the new file (ERROR_UNABLE_TO_MOVE_REPLACEMENT tells
// of that gap), and Wine's renames the target to a backup name first; killed
// in between, a run lost the list. A new ACL the folder gives the temporary
// file replaces the target's own, as for any file made anew.
bool ReplaceTarget(const char* temporary, const char* target) {
    const DWORD before = GetFileAttributesA(target);
    if (before != INVALID_FILE_ATTRIBUTES) {
        TakeOverMetadata(target, temporary);
    }
    if (MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        return false;
    }
    // Attributes the rename dropped are put back.
    const DWORD kept = before == INVALID_FILE_ATTRIBUTES ? 0 : before & kKeptAttributes;
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
#ifdef _WIN32
    const bool moved = ReplaceTarget(temporary, target);
#else
    const bool moved = std::rename(temporary, target) == 0;
#endif
    if (!moved) {
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
