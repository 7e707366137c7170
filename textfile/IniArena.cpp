#include "textfile/IniArena.h"

#include <new>

IniArena::~IniArena() {
    while (chunks != nullptr) {
        Chunk* next = chunks->next;
        delete[] reinterpret_cast<uint8_t*>(chunks);
        chunks = next;
    }
}

void* IniArena::Allocate(size_t size) {
    // Even an empty piece takes room, so that every piece has an address
    // of its own.
    const size_t rounded = ((size > 0 ? size : 1) + kAlign - 1) & ~(kAlign - 1);
    if (rounded < size) return nullptr;
    if (static_cast<size_t>(end - next) >= rounded) {
        uint8_t* piece = next;
        next += rounded;
        return piece;
    }
    // The chunk header takes kAlign bytes, so pieces stay aligned. A piece
    // larger than a quarter of a chunk gets a chunk of its own, and the
    // current chunk stays in use.
    constexpr size_t kHeader = kAlign;
    static_assert(sizeof(Chunk) <= kHeader, "the chunk header fits its room");
    const bool own = rounded > chunkSize / 4;
    const size_t bytes = own ? rounded + kHeader : chunkSize;
    if (bytes < rounded) return nullptr;
    uint8_t* raw = new (std::nothrow) uint8_t[bytes];
    if (raw == nullptr) return nullptr;
    Chunk* chunk = reinterpret_cast<Chunk*>(raw);
    chunk->next = chunks;
    chunks = chunk;
    if (own) return raw + kHeader;
    next = raw + kHeader + rounded;
    end = raw + bytes;
    if (chunkSize < kLargestChunk) chunkSize *= 2;
    return raw + kHeader;
}
