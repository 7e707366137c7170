// Finds a node by its name among a set of nodes: the sections of a
// document, or the keys of one large section. Open addressing with linear
// probing over (hash, node) pairs; the names are the nodes' own, so a node
// must stay in the index only while it lives and keeps its name.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

class IniNode;

class IniNameIndex {
public:
    // The node of that name, or nullptr.
    IniNode* Find(std::string_view name) const;
    // Find, with the name's HashOf worked out before.
    IniNode* Find(std::string_view name, size_t hash) const;
    // Asks the processor to fetch the slot where a name of that hash is
    // looked for: in a large index that slot is far from any other, and the
    // work between Prefetch and Find hides the wait for it.
    void Prefetch(size_t hash) const;
    static size_t HashOf(std::string_view name);
    // Adds a node whose name is not in the index yet.
    void Insert(IniNode* node);
    // Insert, with the node name's HashOf worked out before.
    void Insert(IniNode* node, size_t hash);
    // A name with its HashOf.
    struct Hashed {
        std::string_view name;
        size_t hash = 0;
    };
    // Removes the node; nothing happens when it is not in the index.
    void Erase(const IniNode* node);
    size_t size() const { return used_; }

private:
    struct Slot {
        size_t hash;
        IniNode* node;  // nullptr: empty
    };
    size_t SlotOf(const IniNode* node) const;
    void Grow();

    std::vector<Slot> slots_;
    size_t used_ = 0;
};
