// Finds a node by its name in a list of nodes: the top-level nodes of a
// document (for its sections), or the entries of one large section (for
// its keys). Open addressing with linear probing over 8-byte slots, each a
// 32-bit hash of a name and the 32-bit position of its node in the list,
// at most three quarters of them in use; the names are the nodes' own. The
// list's owner keeps the index in step: Insert and Erase as nodes come and
// go, Move when one changes position, Rebuild after the positions were
// renumbered. Only named nodes that are no comment lines are indexed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class IniNode;

class IniNameIndex {
public:
    using NodeList = std::vector<std::unique_ptr<IniNode>>;

    // Indexes nodes of `nodes`, which must outlive the index.
    explicit IniNameIndex(const NodeList* nodes) : nodes(nodes) {}

    // The node of that name, or nullptr.
    IniNode* Find(std::string_view name) const;
    // Find, with the name's HashOf worked out before.
    IniNode* Find(std::string_view name, size_t hash) const;
    // Asks the processor to fetch the slot where a name of that hash is
    // looked for: in a large index that slot is far from any other, and the
    // work between Prefetch and Find hides the wait for it.
    void Prefetch(size_t hash) const;
    // A 32-bit hash of the name (in a size_t).
    static size_t HashOf(std::string_view name);
    // Adds the node at `position` (below 2^31, as node positions are),
    // whose name (of that HashOf) is not in the index yet.
    void Insert(size_t position, size_t hash);
    // A name with its HashOf.
    struct Hashed {
        std::string_view name;
        size_t hash = 0;
    };
    // Removes the node at `position` (name of that HashOf); nothing happens
    // when it is not in the index.
    void Erase(size_t position, size_t hash);
    // The node of that name's HashOf moved from `from` to `to`.
    void Move(size_t hash, size_t from, size_t to);
    // Indexes the list's nodes anew.
    void Rebuild();
    // Room for `names` names in all without growing again.
    void Reserve(size_t names);
    size_t size() const { return used; }

private:
    struct Slot {
        uint32_t hash;
        uint32_t entry;  // position + 1; 0: empty
    };
    // The slot holding `position`, or SIZE_MAX.
    size_t SlotOf(size_t position, size_t hash) const;
    // The first slot looked at for a hash: slots of any number, each
    // hash's place in proportion.
    size_t Home(uint32_t hash) const {
        return static_cast<size_t>((uint64_t{hash} * slots.size()) >> 32);
    }
    size_t Next(size_t i) const { return i + 1 == slots.size() ? 0 : i + 1; }
    void Resize(size_t count);
    void Place(Slot slot);

    const NodeList* nodes;
    std::vector<Slot> slots;
    size_t used = 0;
};
