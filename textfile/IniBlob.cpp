#include "textfile/IniBlob.h"

#include <cstring>
#include <new>

IniBlob::~IniBlob() {
    Clear();
}

int32_t IniBlob::Set(const void* source, int32_t size) {
    if (size < 0) {
        return -1;
    }
    // Taken first: the inline room shares its bytes with the heap pointer.
    uint8_t* const oldHeap = length_ > kInlineSize ? storage_.heap : nullptr;
    uint8_t* block = storage_.inside;
    if (size > kInlineSize) {
        block = new (std::nothrow) uint8_t[static_cast<size_t>(size) + 2];
        if (block == nullptr) {
            Clear();
            return -2;
        }
    }
    // The source may lie in this blob's own bytes: copy before freeing.
    if (source != nullptr) {
        std::memmove(block, source, static_cast<size_t>(size));
    } else {
        std::memset(block, 0, static_cast<size_t>(size));
    }
    block[size] = 0;
    block[size + 1] = 0;
    delete[] oldHeap;
    if (size > kInlineSize) {
        storage_.heap = block;
    }
    length_ = size;
    return 0;
}

void IniBlob::Clear() {
    if (length_ > kInlineSize) {
        delete[] storage_.heap;
    }
    length_ = -1;
}
