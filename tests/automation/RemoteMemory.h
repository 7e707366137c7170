// A block of memory inside the process that owns a window, for the common
// controls' messages that carry a pointer (a list view's item texts, a
// header's item rectangle): the system copies no such structure between
// processes, so the structure and its text buffer must live in the target's
// address space. The block is freed when the object goes.
//
//   Valid   false when the process could not be opened or had no memory
//   Write   copies `size` bytes to `offset` in the block; false when it
//           does not fit or the copy failed
//   Read    copies `size` bytes from `offset` in the block back
//   At      the target's address of `offset` in the block, for a message
#pragma once

#include <windows.h>

#include <cstddef>

namespace automation {

class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool Valid() const { return block != nullptr; }
    bool Write(size_t offset, const void* data, size_t size);
    bool Read(size_t offset, void* data, size_t size) const;
    LPARAM At(size_t offset) const;

private:
    HANDLE process = nullptr;
    char* block = nullptr;
    size_t size = 0;
};

}  // namespace automation
