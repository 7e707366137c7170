#include "textfile/IniBlob.h"

#include <cstring>
#include <new>

IniBlob::~IniBlob() {
    delete[] data_;
}

int32_t IniBlob::Set(const void* source, int32_t size) {
    if (size < 0) {
        return -1;
    }
    Clear();
    uint8_t* block = new (std::nothrow) uint8_t[static_cast<size_t>(size) + 2];
    if (block == nullptr) {
        return -2;
    }
    if (source != nullptr) {
        std::memcpy(block, source, static_cast<size_t>(size));
    } else {
        std::memset(block, 0, static_cast<size_t>(size));
    }
    block[size] = 0;
    block[size + 1] = 0;
    data_ = block;
    length_ = size;
    return 0;
}

void IniBlob::Clear() {
    delete[] data_;
    data_ = nullptr;
    length_ = -1;
}
