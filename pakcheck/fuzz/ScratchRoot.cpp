#include "ScratchRoot.h"

#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>

#include "pakcheck/reading/FileSystem.h"

namespace pakcheck {

namespace fuzzscratch {

namespace {

std::string root;

}  // namespace

std::string MakeScratchRoot(const char* target) {
    struct stat info;
    if (stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode)) setenv("TMPDIR", "/dev/shm", 1);
    if (!files::MakeTemporaryFolder(&root)) {
        std::fprintf(stderr, "%s: no scratch folder\n", target);
        std::abort();
    }
    std::atexit([] { files::RemoveTree(root); });
    return root;
}

}  // namespace fuzzscratch

}  // namespace pakcheck
