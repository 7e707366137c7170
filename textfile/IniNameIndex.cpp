#include "textfile/IniNameIndex.h"

#include <functional>

#include "textfile/IniNode.h"

namespace {
// At most three quarters of the slots in use.
bool Crowded(size_t used, size_t slots) {
    return used * 4 > slots * 3;
}
}  // namespace

size_t IniNameIndex::HashOf(std::string_view name) {
    return static_cast<uint32_t>(std::hash<std::string_view>()(name));
}

IniNode* IniNameIndex::Find(std::string_view name) const {
    return slots.empty() ? nullptr : Find(name, HashOf(name));
}

IniNode* IniNameIndex::Find(std::string_view name, size_t hash) const {
    if (slots.empty()) return nullptr;
    const auto hash32 = static_cast<uint32_t>(hash);
    for (size_t i = Home(hash32);; i = Next(i)) {
        const Slot slot = slots[i];
        if (slot.entry == 0) return nullptr;
        if (slot.hash != hash32) continue;
        IniNode* node = (*nodes)[slot.entry - 1].get();
        if (node->Name().Bytes() == name) return node;
    }
}

void IniNameIndex::Prefetch(size_t hash) const {
    if (!slots.empty()) __builtin_prefetch(&slots[Home(static_cast<uint32_t>(hash))]);
}

void IniNameIndex::Place(Slot slot) {
    size_t i = Home(slot.hash);
    while (slots[i].entry != 0) i = Next(i);
    slots[i] = slot;
}

void IniNameIndex::Insert(size_t position, size_t hash) {
    if (slots.empty() || Crowded(used + 1, slots.size())) {
        Resize(slots.empty() ? 32 : slots.size() * 2);
    }
    Place(Slot{static_cast<uint32_t>(hash), static_cast<uint32_t>(position + 1)});
    ++used;
}

size_t IniNameIndex::SlotOf(size_t position, size_t hash) const {
    if (slots.empty()) return SIZE_MAX;
    for (size_t i = Home(static_cast<uint32_t>(hash));; i = Next(i)) {
        if (slots[i].entry == 0) return SIZE_MAX;
        if (slots[i].entry == position + 1) return i;
    }
}

void IniNameIndex::Erase(size_t position, size_t hash) {
    size_t hole = SlotOf(position, hash);
    if (hole == SIZE_MAX) return;
    slots[hole].entry = 0;
    --used;
    // Moves later members of the probe run back, so that no search stops
    // early at the new hole.
    for (size_t i = Next(hole); slots[i].entry != 0; i = Next(i)) {
        const size_t home = Home(slots[i].hash);
        const bool reachable = hole <= i ? (home <= hole || home > i) : (home <= hole && home > i);
        if (reachable) {
            slots[hole] = slots[i];
            slots[i].entry = 0;
            hole = i;
        }
    }
}

void IniNameIndex::Move(size_t hash, size_t from, size_t to) {
    const size_t at = SlotOf(from, hash);
    if (at != SIZE_MAX) slots[at].entry = static_cast<uint32_t>(to + 1);
}

void IniNameIndex::Reserve(size_t names) {
    const size_t wanted = names / 3 * 4 + names % 3 * 2 + 1;
    if (wanted > slots.size() && wanted < UINT32_MAX) Resize(wanted);
}

void IniNameIndex::Resize(size_t count) {
    std::vector<Slot> old;
    old.swap(slots);
    slots.assign(count, Slot{0, 0});
    for (const Slot& slot : old) {
        if (slot.entry != 0) Place(slot);
    }
}

void IniNameIndex::Rebuild() {
    slots.clear();
    used = 0;
    const NodeList& list = *nodes;
    for (size_t i = 0; i < list.size(); ++i) {
        const IniNode* node = list[i].get();
        if (node == nullptr || node->Kind() == NodeKind::Comment || !node->Name().HoldsData())
            continue;
        Insert(i, HashOf(node->Name().Bytes()));
    }
}
