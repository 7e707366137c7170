// One line of an INI document as read: a section (with its entries), a
// key entry with its typed value, or a comment line. Nodes are made and
// changed only by their IniDocument; everyone else reads them. A node's
// memory and bytes belong to its document's IniArena: deleting a node runs
// its destructor and leaves the memory to the arena.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "textfile/IniBlob.h"
#include "textfile/IniNameIndex.h"
#include "textfile/NodeKind.h"

// 16 zero bytes: the value of an Untyped key in a narrow document, and what
// lookups of missing keys point to.
extern const uint8_t EmptyValue[16];

class IniNode {
public:
    explicit IniNode(NodeKind kind) noexcept;
    ~IniNode();
    IniNode(const IniNode&) = delete;
    IniNode& operator=(const IniNode&) = delete;
    // Made only in memory its document gives; deleting leaves the memory.
    static void* operator new(size_t, void* memory) noexcept { return memory; }
    static void operator delete(void*, void*) noexcept {}
    static void operator delete(void*) noexcept {}

    NodeKind Kind() const { return kind; }
    // Section or key name; holds nothing for a comment line.
    IniBlob Name() const { return IniBlob(block + NameOffset(valueLength), nameLength); }
    // The comment of the line, starting with ";" (a comment line: all of it).
    IniBlob Comment() const;
    // A key's value in the encoding of its kind (see NodeKind.h).
    IniBlob Value() const { return IniBlob(block, valueLength); }
    // An Untyped key's value text as it was read, written back unchanged.
    IniBlob Text() const;
    // Characters, items or bytes of the value, by kind.
    int32_t Count() const { return count; }
    // The line of the file it was read from where a section's first header
    // or a key stood (a key set twice: the line of the value kept); 0 for
    // comment lines and for nodes not read by Load.
    int32_t Line() const { return line; }
    // A section's index of the entry found last, -1 when none.
    int32_t KeyCursor() const;
    // A section's key entries and comment lines in file order.
    const std::vector<std::unique_ptr<IniNode>>& Entries() const;

private:
    friend class IniDocument;

    // What most key entries do without: a comment, an Untyped text, and a
    // section's entries with their cursor and index.
    struct Rest {
        // Made in the document's arena, like the node (IniDocument::RestOf).
        static void* operator new(size_t, void* memory) noexcept { return memory; }
        static void operator delete(void*, void*) noexcept {}
        static void operator delete(void*) noexcept {}
        IniBlob comment;  // bytes in the document's arena
        IniBlob text;
        int32_t keyCursor = -1;
        // Removing a key from a large section leaves a gap (a null pointer)
        // so that replacing many keys stays linear; the gaps are closed
        // before anyone sees the list or an index into it.
        int32_t gaps = 0;
        // Where the next key is likely to be: after the last one looked up
        // through the index (merged files list keys in the same order).
        size_t hint = 0;
        std::vector<std::unique_ptr<IniNode>> entries;
        std::unique_ptr<IniNameIndex> keys;  // sections too long to search
    };

    // Closes the gaps left by removed entries and renumbers the rest.
    void Compact() const;

    // Where the name starts in the block: after the value and its zeros,
    // at an even offset (16-bit names stay aligned).
    static size_t NameOffset(int32_t valueLength) {
        return valueLength >= 0 ? (static_cast<size_t>(valueLength) + 3) & ~size_t{1} : 0;
    }

    // The value (from the start, so that its items are aligned) and the
    // name, each followed by two zero bytes, in one piece of the arena;
    // a length of -1 stands for a value or name the node does not hold.
    uint8_t* block = nullptr;
    int32_t nameLength = -1;
    int32_t valueLength = -1;
    NodeKind kind;
    int32_t count = 0;
    int32_t position = -1;  // index in the parent's node or entry list
    int32_t line = 0;
    std::unique_ptr<Rest> rest;
};
