// Shared by the files that implement the file table; not for its users.
#pragma once

#include <cstdint>

#include "textfile/FileSlot.h"

namespace textfile {

constexpr unsigned kAcceptStream = 1u << Stream;
constexpr unsigned kAcceptMemory = 1u << Memory;

// Asks the installed handler; true means: repeat the failed step.
bool AskRetry(int32_t status, const char* name, const char* label);

// The slot of `handle` when it is in one of the accepted modes; otherwise
// the handler hears -6 (its answer does not matter) and the result is null.
FileSlot* CheckedSlot(int32_t handle, const char* label, unsigned acceptedModes);

}  // namespace textfile
