// Lookups, values and the node structure of IniDocument. Reading is in
// IniDocumentLoad.cpp, writing in IniDocumentSave.cpp.
#include "textfile/IniDocument.h"

#include <climits>
#include <cstring>
#include <functional>
#include <new>
#include <string>

namespace {

// Sections with more entries than this find their keys through the index;
// smaller ones are searched from the cursor.
constexpr size_t kIndexedSectionSize = 16;

std::string_view NameOf(const char* text) {
    return std::string_view(text);
}

std::string_view NameOf(const char16_t* text) {
    size_t units = std::char_traits<char16_t>::length(text);
    return std::string_view(reinterpret_cast<const char*>(text), units * 2);
}

// An optional name argument: null stays null.
template <typename CharT>
class NameArg {
public:
    explicit NameArg(const CharT* text)
        : present(text != nullptr), name(text != nullptr ? NameOf(text) : std::string_view()) {}
    const std::string_view* Get() const { return present ? &name : nullptr; }

private:
    bool present;
    std::string_view name;
};

}  // namespace

IniDocument::IniDocument(bool wide) : wide(wide) {}

IniDocument::~IniDocument() = default;

IniNode* IniDocument::SectionAt(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= nodes.size()) return nullptr;
    IniNode* node = nodes[static_cast<size_t>(index)].get();
    return node->kind == NodeKind::Section ? node : nullptr;
}

IniNode* IniDocument::SectionNamed(Name name) {
    // Files and readers tend to go through sections in file order: the
    // section after the one found last is checked first.
    IniNode* found = SectionAt(static_cast<int32_t>(sectionHint));
    if (found == nullptr || found->Name().Bytes() != name) found = sections.Find(name);
    if (found != nullptr) sectionHint = static_cast<size_t>(found->position) + 1;
    return found;
}

int32_t IniDocument::FindSectionByName(Name name) {
    IniNode* found = SectionNamed(name);
    currentSection = found != nullptr ? found->position : -1;
    return currentSection;
}

int32_t IniDocument::SectionFor(const Name* name) {
    if (name == nullptr) {
        return SectionAt(currentSection) != nullptr ? currentSection : -1;
    }
    return FindSectionByName(*name);
}

IniNode* IniDocument::LookupKey(IniNode* section, Name name, const size_t* hash) {
    IniNode::Rest* rest = section->rest.get();
    if (rest == nullptr) return nullptr;
    if (rest->keys != nullptr) {
        // The key after the last one found, past gaps and comment lines, is
        // checked first: it is next in memory, the index slot is not.
        for (size_t at = rest->hint; at < rest->entries.size() && at < rest->hint + 4; ++at) {
            IniNode* entry = rest->entries[at].get();
            if (entry == nullptr || entry->kind == NodeKind::Comment) continue;
            if (entry->Name().Bytes() == name) {
                rest->hint = at + 1;
                return entry;
            }
            break;
        }
        IniNode* found = hash != nullptr ? rest->keys->Find(name, *hash) : rest->keys->Find(name);
        if (found != nullptr) rest->hint = static_cast<size_t>(found->position) + 1;
        return found;
    }
    for (const auto& entry : rest->entries) {
        if (entry != nullptr && entry->kind != NodeKind::Comment && entry->Name().HoldsData() &&
            entry->Name().Bytes() == name) {
            return entry.get();
        }
    }
    return nullptr;
}

const IniNode* IniDocument::FindKeyByName(IniNode* section, const Name* name) {
    const auto& entries = section->Entries();  // closes gaps: the cursor is an index
    IniNode::Rest* rest = RestOf(section);
    if (rest == nullptr) return nullptr;
    const int32_t count = static_cast<int32_t>(entries.size());
    if (name == nullptr) {
        int32_t at = rest->keyCursor;
        return at >= 0 && at < count ? entries[static_cast<size_t>(at)].get() : nullptr;
    }
    IniNode* found = LookupKey(section, *name);
    rest->keyCursor = found != nullptr ? found->position : -1;
    return found;
}

const void* IniDocument::CopyValue(const IniNode* entry, void* destination, int32_t maxCount,
                                   int32_t elementSize) {
    const bool hasData = entry != nullptr && entry->Value().HoldsData();
    const void* stored = hasData ? static_cast<const void*>(entry->Value().data()) : EmptyValue;
    if (destination == nullptr) {
        return stored;
    }
    int64_t n = entry != nullptr ? entry->count : 0;
    if (n < 0) n = 0;
    const bool capped = maxCount > 0 && maxCount < n;
    if (capped) n = maxCount;
    const bool text = elementSize < 0;
    const int64_t size = text ? -static_cast<int64_t>(elementSize) : elementSize;
    if (text) n += 1;
    const int64_t wanted = n * size;
    if (wanted <= 0) {
        return stored;
    }
    // Copy no further than the stored bytes (with their two terminating
    // zeros); whatever the count asks beyond them reads as zero.
    const int64_t available = hasData ? static_cast<int64_t>(entry->Value().Length()) + 2 : 0;
    const int64_t copied = wanted < available ? wanted : available;
    uint8_t* out = static_cast<uint8_t*>(destination);
    if (copied > 0) std::memcpy(out, entry->Value().data(), static_cast<size_t>(copied));
    std::memset(out + copied, 0, static_cast<size_t>(wanted - copied));
    if (text && capped) {
        std::memset(out + wanted - size, 0, static_cast<size_t>(size));
    }
    return stored;
}

const void* IniDocument::GetValueByName(const Name* section, const Name* key, void* destination,
                                        int32_t maxCount, int32_t elementSize) {
    const IniNode* entry = nullptr;
    if (IniNode* node = SectionAt(SectionFor(section))) {
        entry = FindKeyByName(node, key);
    }
    return CopyValue(entry, destination, maxCount, elementSize);
}

int32_t IniDocument::HasSectionByName(const Name* section, const Name* key) {
    IniNode* node = SectionAt(SectionFor(section));
    if (node == nullptr) return 0;
    if (key == nullptr) {
        RestOf(node)->keyCursor = 0;
        return 1;
    }
    return FindKeyByName(node, key) != nullptr ? 1 : 0;
}

std::unique_ptr<IniNode> IniDocument::NewNode(NodeKind kind) {
    void* memory = spareNode;
    spareNode = nullptr;
    if (memory == nullptr) memory = arena.Allocate(sizeof(IniNode));
    if (memory == nullptr) return nullptr;
    return std::unique_ptr<IniNode>(new (memory) IniNode(kind));
}

IniNode::Rest* IniDocument::RestOf(IniNode* node) {
    if (node->rest == nullptr) {
        if (void* memory = arena.Allocate(sizeof(IniNode::Rest))) {
            node->rest.reset(new (memory) IniNode::Rest());
        }
    }
    return node->rest.get();
}

void IniDocument::Recycle(std::unique_ptr<IniNode> node) {
    if (node == nullptr) return;
    IniNode* spent = node.release();
    spent->~IniNode();
    spareNode = spent;
}

bool IniDocument::SetNameAndValue(IniNode* node, Name name, const void* value,
                                  int32_t valueLength) {
    const size_t valueRoom = IniNode::NameOffset(valueLength);
    if (name.size() > static_cast<size_t>(INT32_MAX)) return false;
    auto* block = static_cast<uint8_t*>(arena.Allocate(valueRoom + name.size() + 2));
    if (block == nullptr) return false;
    if (valueLength >= 0) {
        if (valueLength > 0) std::memcpy(block, value, static_cast<size_t>(valueLength));
        block[valueLength] = 0;
        block[valueLength + 1] = 0;
    }
    uint8_t* const named = block + valueRoom;
    if (!name.empty()) std::memcpy(named, name.data(), name.size());
    named[name.size()] = 0;
    named[name.size() + 1] = 0;
    node->block = block;
    node->valueLength = valueLength;
    node->nameLength = static_cast<int32_t>(name.size());
    return true;
}

bool IniDocument::StoreBytes(std::string_view bytes, IniBlob* blob) {
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) return false;
    auto* copy = static_cast<uint8_t*>(arena.Allocate(bytes.size() + 2));
    if (copy == nullptr) return false;
    if (!bytes.empty()) std::memcpy(copy, bytes.data(), bytes.size());
    copy[bytes.size()] = 0;
    copy[bytes.size() + 1] = 0;
    *blob = IniBlob(copy, static_cast<int32_t>(bytes.size()));
    return true;
}

IniNode* IniDocument::GetOrAddSectionByName(Name name) {
    if (IniNode* found = SectionNamed(name)) return found;
    std::unique_ptr<IniNode> node = NewNode(NodeKind::Section);
    if (node == nullptr || RestOf(node.get()) == nullptr ||
        !SetNameAndValue(node.get(), name, nullptr, -1)) {
        return nullptr;
    }
    node->position = static_cast<int32_t>(nodes.size());
    IniNode* section = node.get();
    nodes.push_back(std::move(node));
    sections.Insert(static_cast<size_t>(section->position), IniNameIndex::HashOf(name));
    return section;
}

bool IniDocument::IndexKeys(IniNode* section) {
    IniNode::Rest* rest = section->rest.get();
    rest->keys.reset(new (std::nothrow) IniNameIndex(&rest->entries));
    if (rest->keys == nullptr) return false;
    rest->keys->Rebuild();
    return true;
}

void IniDocument::AppendEntry(IniNode* section, std::unique_ptr<IniNode> entry,
                              const size_t* hash) {
    IniNode::Rest* rest = section->rest.get();
    entry->position = static_cast<int32_t>(rest->entries.size());
    IniNode* added = entry.get();
    // Most sections hold a few keys: room for them at once rather than
    // growing through one and two, and then half as much again each time
    // (less room left unused than by doubling).
    const size_t size = rest->entries.size();
    if (size == rest->entries.capacity()) rest->entries.reserve(size < 4 ? 4 : size + size / 2);
    rest->entries.push_back(std::move(entry));
    if (rest->keys != nullptr) {
        if (added->kind != NodeKind::Comment && added->Name().HoldsData())
            rest->keys->Insert(static_cast<size_t>(added->position),
                               hash != nullptr ? *hash
                                               : IniNameIndex::HashOf(added->Name().Bytes()));
    } else if (rest->entries.size() > kIndexedSectionSize) {
        IndexKeys(section);  // without memory for it the section is searched
    }
}

void IniDocument::DetachEntry(IniNode* section, IniNode* entry) {
    IniNode::Rest* rest = section->rest.get();
    if (rest->keys != nullptr) {
        rest->keys->Erase(static_cast<size_t>(entry->position),
                          IniNameIndex::HashOf(entry->Name().Bytes()));
    }
    rest->entries[static_cast<size_t>(entry->position)].reset();
    ++rest->gaps;
    if (rest->keys == nullptr) {
        section->Compact();  // small: cheaper than keeping the gap
    }
    rest->keyCursor = -1;
}

void IniDocument::ReplaceEntry(IniNode* section, IniNode* old, std::unique_ptr<IniNode> entry,
                               const size_t* hash) {
    IniNode::Rest* rest = section->rest.get();
    if (rest->keys == nullptr) {
        DetachEntry(section, old);
        AppendEntry(section, std::move(entry));
        return;
    }
    // The old node object takes the new content and moves to the end, and
    // its index slot with it.
    std::swap(old->block, entry->block);
    std::swap(old->nameLength, entry->nameLength);
    std::swap(old->valueLength, entry->valueLength);
    std::swap(old->kind, entry->kind);
    std::swap(old->count, entry->count);
    std::swap(old->rest, entry->rest);
    Recycle(std::move(entry));
    std::unique_ptr<IniNode> moved = std::move(rest->entries[static_cast<size_t>(old->position)]);
    ++rest->gaps;
    rest->keyCursor = -1;
    const size_t from = static_cast<size_t>(moved->position);
    moved->position = static_cast<int32_t>(rest->entries.size());
    rest->keys->Move(hash != nullptr ? *hash : IniNameIndex::HashOf(moved->Name().Bytes()), from,
                     rest->entries.size());
    rest->entries.push_back(std::move(moved));
}

void IniDocument::RemoveSection(int32_t index) {
    nodes.erase(nodes.begin() + index);
    for (size_t i = static_cast<size_t>(index); i < nodes.size(); ++i) {
        nodes[i]->position = static_cast<int32_t>(i);
    }
    sections.Rebuild();  // the positions changed
    currentSection = -1;
}

int32_t IniDocument::RemoveEntryByName(const Name* section, const Name* key) {
    int32_t index = SectionFor(section);
    IniNode* node = SectionAt(index);
    if (node == nullptr) return -1;
    if (key == nullptr) {
        RemoveSection(index);
        return 0;
    }
    IniNode* entry = LookupKey(node, *key);
    if (entry == nullptr) return -1;
    DetachEntry(node, entry);
    return 0;
}

// The public faces: narrow and wide names, each found only in a document
// of its own width.

int32_t IniDocument::HasSection(const char* section, const char* key) {
    if (!Accepts(false)) return 0;
    return HasSectionByName(NameArg<char>(section).Get(), NameArg<char>(key).Get());
}

int32_t IniDocument::HasSection(const char16_t* section, const char16_t* key) {
    if (!Accepts(true)) return 0;
    return HasSectionByName(NameArg<char16_t>(section).Get(), NameArg<char16_t>(key).Get());
}

const void* IniDocument::GetValue(const char* section, const char* key, void* destination,
                                  int32_t maxCount, int32_t elementSize) {
    if (!Accepts(false)) return CopyValue(nullptr, destination, maxCount, elementSize);
    return GetValueByName(NameArg<char>(section).Get(), NameArg<char>(key).Get(), destination,
                          maxCount, elementSize);
}

const void* IniDocument::GetValue(const char16_t* section, const char16_t* key, void* destination,
                                  int32_t maxCount, int32_t elementSize) {
    if (!Accepts(true)) return CopyValue(nullptr, destination, maxCount, elementSize);
    return GetValueByName(NameArg<char16_t>(section).Get(), NameArg<char16_t>(key).Get(),
                          destination, maxCount, elementSize);
}

const void* IniDocument::GetString(const char* section, const char* key, char* destination,
                                   int32_t maxCount) {
    return GetValue(section, key, destination, maxCount, wide ? -2 : -1);
}

const void* IniDocument::GetString(const char16_t* section, const char16_t* key,
                                   char16_t* destination, int32_t maxCount) {
    return GetValue(section, key, destination, maxCount, wide ? -2 : -1);
}

const void* IniDocument::GetWideString(const char* section, const char* key, char16_t* destination,
                                       int32_t maxCount) {
    return GetValue(section, key, destination, maxCount, -2);
}

const void* IniDocument::GetWideString(const char16_t* section, const char16_t* key,
                                       char16_t* destination, int32_t maxCount) {
    return GetValue(section, key, destination, maxCount, -2);
}

const void* IniDocument::GetIntArray(const char* section, const char* key, void* destination,
                                     int32_t maxCount) {
    return GetValue(section, key, destination, maxCount, 4);
}

const void* IniDocument::GetIntArray(const char16_t* section, const char16_t* key,
                                     void* destination, int32_t maxCount) {
    return GetValue(section, key, destination, maxCount, 4);
}

int32_t IniDocument::FindSection(const char* name) {
    if (!Accepts(false)) return -1;
    return SectionFor(NameArg<char>(name).Get());
}

int32_t IniDocument::FindSection(const char16_t* name) {
    if (!Accepts(true)) return -1;
    return SectionFor(NameArg<char16_t>(name).Get());
}

const IniNode* IniDocument::FindEntry(const char* section, const char* key) {
    if (!Accepts(false)) return nullptr;
    IniNode* node = SectionAt(SectionFor(NameArg<char>(section).Get()));
    return node != nullptr ? FindKeyByName(node, NameArg<char>(key).Get()) : nullptr;
}

const IniNode* IniDocument::FindEntry(const char16_t* section, const char16_t* key) {
    if (!Accepts(true)) return nullptr;
    IniNode* node = SectionAt(SectionFor(NameArg<char16_t>(section).Get()));
    return node != nullptr ? FindKeyByName(node, NameArg<char16_t>(key).Get()) : nullptr;
}

const IniNode* IniDocument::FindKey(const IniNode* section, const char* key) {
    IniNode* own = section != nullptr ? SectionAt(section->position) : nullptr;
    if (own != section || own == nullptr || !Accepts(false)) return nullptr;
    return FindKeyByName(own, NameArg<char>(key).Get());
}

const IniNode* IniDocument::FindKey(const IniNode* section, const char16_t* key) {
    IniNode* own = section != nullptr ? SectionAt(section->position) : nullptr;
    if (own != section || own == nullptr || !Accepts(true)) return nullptr;
    return FindKeyByName(own, NameArg<char16_t>(key).Get());
}

const IniNode* IniDocument::GetOrAddSection(const char* name) {
    if (name == nullptr || !Accepts(false)) return nullptr;
    return GetOrAddSectionByName(NameOf(name));
}

const IniNode* IniDocument::GetOrAddSection(const char16_t* name) {
    if (name == nullptr || !Accepts(true)) return nullptr;
    return GetOrAddSectionByName(NameOf(name));
}

int32_t IniDocument::RemoveEntry(const char* section, const char* key) {
    if (!Accepts(false)) return -1;
    return RemoveEntryByName(NameArg<char>(section).Get(), NameArg<char>(key).Get());
}

int32_t IniDocument::RemoveEntry(const char16_t* section, const char16_t* key) {
    if (!Accepts(true)) return -1;
    return RemoveEntryByName(NameArg<char16_t>(section).Get(), NameArg<char16_t>(key).Get());
}
