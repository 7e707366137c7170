// Reads arbitrary bytes as a restore point's journal, as the restore program
// reads one from a store that may have been tampered with. Whatever the
// bytes, the reader must not fail, and a journal it accepts must hold what
// restore/Journal.h promises: a host, and only paths that stay below the
// host folder or the restore point (relative, no drive or stream, no empty
// name, no "." or "..").
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "restore/Journal.h"

namespace {

void Check(bool condition, const char* what, const std::string& path) {
    if (!condition) {
        std::fprintf(stderr, "journal fuzzer: %s: \"%s\"\n", what, path.c_str());
        std::abort();
    }
}

bool StaysBelow(const std::string& path) {
    if (path.empty() || path.find(':') != std::string::npos) return false;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos) end = path.size();
        const std::string_view name(path.data() + start, end - start);
        if (name.empty() || name == "." || name == "..") return false;
        start = end + 1;
    }
    return true;
}

void CheckPath(const std::string& path, bool mayBeEmpty) {
    if (mayBeEmpty && path.empty()) return;
    Check(StaysBelow(path), "an accepted journal names a path that leads out", path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    journal::Journal journal;
    if (!journal::Parse(bytes, journal)) return 0;
    Check(!journal.host.empty(), "an accepted journal has no host", journal.host);
    for (const journal::FolderRecord& record : journal.folders) CheckPath(record.path, false);
    for (const journal::FileRecord& record : journal.files) {
        CheckPath(record.path, false);
        CheckPath(record.oldCopy, true);
    }
    for (const journal::ListRecord& record : journal.lists) {
        CheckPath(record.path, false);
        CheckPath(record.oldCopy, true);
    }
    return 0;
}
