// One slot of the process-wide file table (FileTable.h).
//
// A slot is Closed, holds an open buffered stream (Stream), or holds the
// whole content of a file read into memory (Memory), from which text is
// taken token by token. All fields are zero while the slot is Closed.
#pragma once

#include <cstdint>
#include <cstdio>

namespace textfile {

enum SlotMode : int32_t {
    Closed = 0,
    Stream = 1,
    Memory = 2,
};

// Room for a file name and its terminator; longer names are refused.
constexpr int32_t kSlotNameSize = 264;

struct FileSlot {
    std::FILE* stream;   // Stream: the open stream
    int32_t descriptor;  // Stream: the stream's low-level descriptor
    SlotMode mode;
    char name[kSlotNameSize];  // the name given to the opening operation
    uint32_t length;           // file length in bytes (Memory: buffer size)
    uint32_t position;         // Memory: byte index for 8-bit reads, unit index for 16-bit reads
    uint8_t* buffer;           // Memory: the content, owned; Stream: ReadFile's running destination
};

}  // namespace textfile
