#include "textfile/SafeReplace.h"

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace safereplace {

std::string TemporaryPathFor(const char* target) {
    return std::string(target) + ".pakwerk-tmp";
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

// The only code that differs between Windows and POSIX: pushing the file to
// disk and the atomic replace.
bool FlushToDisk(std::FILE* stream) {
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

bool ReplaceWith(const char* temporary, const char* target) {
#ifdef _WIN32
    bool moved =
        MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    bool moved = std::rename(temporary, target) == 0;
#endif
    if (!moved) {
        std::remove(temporary);
    }
    return moved;
}

}  // namespace safereplace
