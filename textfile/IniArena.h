// The memory of one IniDocument's nodes and texts: pieces cut from large
// chunks taken from the heap, all given back together when the arena is
// destroyed. A piece is never freed on its own, so a document that replaces
// keys keeps the bytes of the values it replaced until it is destroyed;
// that is at most what the files read into it held. Saves the heap's
// header and bookkeeping on every line, and keeps a file's nodes together.
#pragma once

#include <cstddef>
#include <cstdint>

class IniArena {
public:
    IniArena() = default;
    ~IniArena();
    IniArena(const IniArena&) = delete;
    IniArena& operator=(const IniArena&) = delete;

    // `size` bytes aligned for any of the document's types (8 bytes), or
    // nullptr when memory ran out.
    void* Allocate(size_t size);

private:
    struct Chunk {
        Chunk* next;
    };
    static constexpr size_t kAlign = 8;
    static constexpr size_t kFirstChunk = 1024;
    static constexpr size_t kLargestChunk = 64 * 1024;

    Chunk* chunks = nullptr;
    uint8_t* next = nullptr;
    uint8_t* end = nullptr;
    size_t chunkSize = kFirstChunk;
};
