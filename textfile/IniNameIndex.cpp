#include "textfile/IniNameIndex.h"

#include <cstdint>
#include <functional>

#include "textfile/IniNode.h"

size_t IniNameIndex::HashOf(std::string_view name) {
    return std::hash<std::string_view>()(name);
}

IniNode* IniNameIndex::Find(std::string_view name) const {
    return slots_.empty() ? nullptr : Find(name, HashOf(name));
}

IniNode* IniNameIndex::Find(std::string_view name, size_t hash) const {
    if (slots_.empty()) return nullptr;
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.node == nullptr) return nullptr;
        if (slot.hash == hash && slot.node->name().bytes() == name) return slot.node;
    }
}

void IniNameIndex::Prefetch(size_t hash) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
}

void IniNameIndex::Insert(IniNode* node) {
    Insert(node, HashOf(node->name().bytes()));
}

void IniNameIndex::Insert(IniNode* node, size_t hash) {
    if ((used_ + 1) * 2 > slots_.size()) Grow();
    const size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i].node != nullptr) i = (i + 1) & mask;
    slots_[i] = Slot{hash, node};
    ++used_;
}

size_t IniNameIndex::SlotOf(const IniNode* node) const {
    if (slots_.empty()) return SIZE_MAX;
    const size_t mask = slots_.size() - 1;
    for (size_t i = HashOf(node->name().bytes()) & mask;; i = (i + 1) & mask) {
        if (slots_[i].node == node) return i;
        if (slots_[i].node == nullptr) return SIZE_MAX;
    }
}

void IniNameIndex::Erase(const IniNode* node) {
    size_t hole = SlotOf(node);
    if (hole == SIZE_MAX) return;
    const size_t mask = slots_.size() - 1;
    slots_[hole].node = nullptr;
    --used_;
    // Moves later members of the probe run back, so that no search stops
    // early at the new hole.
    for (size_t i = (hole + 1) & mask; slots_[i].node != nullptr; i = (i + 1) & mask) {
        const size_t home = slots_[i].hash & mask;
        const bool reachable = hole <= i ? (home <= hole || home > i) : (home <= hole && home > i);
        if (reachable) {
            slots_[hole] = slots_[i];
            slots_[i].node = nullptr;
            hole = i;
        }
    }
}

void IniNameIndex::Grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 32 : old.size() * 2, Slot{0, nullptr});
    const size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.node == nullptr) continue;
        size_t i = slot.hash & mask;
        while (slots_[i].node != nullptr) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}
