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
        : present_(text != nullptr), name_(text != nullptr ? NameOf(text) : std::string_view()) {}
    const std::string_view* get() const { return present_ ? &name_ : nullptr; }

private:
    bool present_;
    std::string_view name_;
};

}  // namespace

IniDocument::IniDocument(bool wide) : wide_(wide) {}

IniDocument::~IniDocument() = default;

IniNode* IniDocument::SectionAt(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= nodes_.size()) return nullptr;
    IniNode* node = nodes_[static_cast<size_t>(index)].get();
    return node->kind_ == NodeKind::Section ? node : nullptr;
}

IniNode* IniDocument::SectionNamed(Name name) {
    // Files and readers tend to go through sections in file order: the
    // section after the one found last is checked first.
    IniNode* found = SectionAt(static_cast<int32_t>(sectionHint_));
    if (found == nullptr || found->name().bytes() != name) found = sections_.Find(name);
    if (found != nullptr) sectionHint_ = static_cast<size_t>(found->position_) + 1;
    return found;
}

int32_t IniDocument::FindSectionByName(Name name) {
    IniNode* found = SectionNamed(name);
    currentSection_ = found != nullptr ? found->position_ : -1;
    return currentSection_;
}

int32_t IniDocument::SectionFor(const Name* name) {
    if (name == nullptr) {
        return SectionAt(currentSection_) != nullptr ? currentSection_ : -1;
    }
    return FindSectionByName(*name);
}

IniNode* IniDocument::LookupKey(IniNode* section, Name name, const size_t* hash) {
    IniNode::Rest* rest = section->rest_.get();
    if (rest == nullptr) return nullptr;
    if (rest->keys != nullptr) {
        // The key after the last one found, past gaps and comment lines, is
        // checked first: it is next in memory, the index slot is not.
        for (size_t at = rest->hint; at < rest->entries.size() && at < rest->hint + 4; ++at) {
            IniNode* entry = rest->entries[at].get();
            if (entry == nullptr || entry->kind_ == NodeKind::Comment) continue;
            if (entry->name().bytes() == name) {
                rest->hint = at + 1;
                return entry;
            }
            break;
        }
        IniNode* found = hash != nullptr ? rest->keys->Find(name, *hash) : rest->keys->Find(name);
        if (found != nullptr) rest->hint = static_cast<size_t>(found->position_) + 1;
        return found;
    }
    for (const auto& entry : rest->entries) {
        if (entry != nullptr && entry->kind_ != NodeKind::Comment && entry->name().holdsData() &&
            entry->name().bytes() == name) {
            return entry.get();
        }
    }
    return nullptr;
}

const IniNode* IniDocument::FindKeyByName(IniNode* section, const Name* name) {
    const auto& entries = section->entries();  // closes gaps: the cursor is an index
    IniNode::Rest* rest = RestOf(section);
    if (rest == nullptr) return nullptr;
    const int32_t count = static_cast<int32_t>(entries.size());
    if (name == nullptr) {
        int32_t at = rest->keyCursor;
        return at >= 0 && at < count ? entries[static_cast<size_t>(at)].get() : nullptr;
    }
    IniNode* found = LookupKey(section, *name);
    rest->keyCursor = found != nullptr ? found->position_ : -1;
    return found;
}

const void* IniDocument::CopyValue(const IniNode* entry, void* destination, int32_t maxCount,
                                   int32_t elementSize) {
    const bool hasData = entry != nullptr && entry->value().holdsData();
    const void* stored = hasData ? static_cast<const void*>(entry->value().data()) : EmptyValue;
    if (destination == nullptr) {
        return stored;
    }
    int64_t n = entry != nullptr ? entry->count_ : 0;
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
    const int64_t available = hasData ? static_cast<int64_t>(entry->value().length()) + 2 : 0;
    const int64_t copied = wanted < available ? wanted : available;
    uint8_t* out = static_cast<uint8_t*>(destination);
    if (copied > 0) std::memcpy(out, entry->value().data(), static_cast<size_t>(copied));
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
    void* memory = spareNode_;
    spareNode_ = nullptr;
    if (memory == nullptr) memory = arena_.Allocate(sizeof(IniNode));
    if (memory == nullptr) return nullptr;
    return std::unique_ptr<IniNode>(new (memory) IniNode(kind));
}

IniNode::Rest* IniDocument::RestOf(IniNode* node) {
    if (node->rest_ == nullptr) {
        if (void* memory = arena_.Allocate(sizeof(IniNode::Rest))) {
            node->rest_.reset(new (memory) IniNode::Rest());
        }
    }
    return node->rest_.get();
}

void IniDocument::Recycle(std::unique_ptr<IniNode> node) {
    if (node == nullptr) return;
    IniNode* spent = node.release();
    spent->~IniNode();
    spareNode_ = spent;
}

bool IniDocument::SetNameAndValue(IniNode* node, Name name, const void* value,
                                  int32_t valueLength) {
    const size_t valueRoom = IniNode::NameOffset(valueLength);
    if (name.size() > static_cast<size_t>(INT32_MAX)) return false;
    auto* block = static_cast<uint8_t*>(arena_.Allocate(valueRoom + name.size() + 2));
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
    node->block_ = block;
    node->valueLength_ = valueLength;
    node->nameLength_ = static_cast<int32_t>(name.size());
    return true;
}

bool IniDocument::StoreBytes(std::string_view bytes, IniBlob* blob) {
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) return false;
    auto* copy = static_cast<uint8_t*>(arena_.Allocate(bytes.size() + 2));
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
    node->position_ = static_cast<int32_t>(nodes_.size());
    IniNode* section = node.get();
    nodes_.push_back(std::move(node));
    sections_.Insert(static_cast<size_t>(section->position_), IniNameIndex::HashOf(name));
    return section;
}

bool IniDocument::IndexKeys(IniNode* section) {
    IniNode::Rest* rest = section->rest_.get();
    rest->keys.reset(new (std::nothrow) IniNameIndex(&rest->entries));
    if (rest->keys == nullptr) return false;
    rest->keys->Rebuild();
    return true;
}

void IniDocument::AppendEntry(IniNode* section, std::unique_ptr<IniNode> entry,
                              const size_t* hash) {
    IniNode::Rest* rest = section->rest_.get();
    entry->position_ = static_cast<int32_t>(rest->entries.size());
    IniNode* added = entry.get();
    // Most sections hold a few keys: room for them at once rather than
    // growing through one and two, and then half as much again each time
    // (less room left unused than by doubling).
    const size_t size = rest->entries.size();
    if (size == rest->entries.capacity()) rest->entries.reserve(size < 4 ? 4 : size + size / 2);
    rest->entries.push_back(std::move(entry));
    if (rest->keys != nullptr) {
        if (added->kind_ != NodeKind::Comment && added->name().holdsData())
            rest->keys->Insert(static_cast<size_t>(added->position_),
                               hash != nullptr ? *hash
                                               : IniNameIndex::HashOf(added->name().bytes()));
    } else if (rest->entries.size() > kIndexedSectionSize) {
        IndexKeys(section);  // without memory for it the section is searched
    }
}

void IniDocument::DetachEntry(IniNode* section, IniNode* entry) {
    IniNode::Rest* rest = section->rest_.get();
    if (rest->keys != nullptr) {
        rest->keys->Erase(static_cast<size_t>(entry->position_),
                          IniNameIndex::HashOf(entry->name().bytes()));
    }
    rest->entries[static_cast<size_t>(entry->position_)].reset();
    ++rest->gaps;
    if (rest->keys == nullptr) {
        section->Compact();  // small: cheaper than keeping the gap
    }
    rest->keyCursor = -1;
}

void IniDocument::ReplaceEntry(IniNode* section, IniNode* old, std::unique_ptr<IniNode> entry,
                               const size_t* hash) {
    IniNode::Rest* rest = section->rest_.get();
    if (rest->keys == nullptr) {
        DetachEntry(section, old);
        AppendEntry(section, std::move(entry));
        return;
    }
    // The old node object takes the new content and moves to the end, and
    // its index slot with it.
    std::swap(old->block_, entry->block_);
    std::swap(old->nameLength_, entry->nameLength_);
    std::swap(old->valueLength_, entry->valueLength_);
    std::swap(old->kind_, entry->kind_);
    std::swap(old->count_, entry->count_);
    std::swap(old->rest_, entry->rest_);
    Recycle(std::move(entry));
    std::unique_ptr<IniNode> moved = std::move(rest->entries[static_cast<size_t>(old->position_)]);
    ++rest->gaps;
    rest->keyCursor = -1;
    const size_t from = static_cast<size_t>(moved->position_);
    moved->position_ = static_cast<int32_t>(rest->entries.size());
    rest->keys->Move(hash != nullptr ? *hash : IniNameIndex::HashOf(moved->name().bytes()), from,
                     rest->entries.size());
    rest->entries.push_back(std::move(moved));
}

void IniDocument::RemoveSection(int32_t index) {
    nodes_.erase(nodes_.begin() + index);
    for (size_t i = static_cast<size_t>(index); i < nodes_.size(); ++i) {
        nodes_[i]->position_ = static_cast<int32_t>(i);
    }
    sections_.Rebuild();  // the positions changed
    currentSection_ = -1;
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
    return HasSectionByName(NameArg<char>(section).get(), NameArg<char>(key).get());
}

int32_t IniDocument::HasSection(const char16_t* section, const char16_t* key) {
    if (!Accepts(true)) return 0;
    return HasSectionByName(NameArg<char16_t>(section).get(), NameArg<char16_t>(key).get());
}

const void* IniDocument::GetValue(const char* section, const char* key, void* destination,
                                  int32_t maxCount, int32_t elementSize) {
    if (!Accepts(false)) return CopyValue(nullptr, destination, maxCount, elementSize);
    return GetValueByName(NameArg<char>(section).get(), NameArg<char>(key).get(), destination,
                          maxCount, elementSize);
}

const void* IniDocument::GetValue(const char16_t* section, const char16_t* key, void* destination,
                                  int32_t maxCount, int32_t elementSize) {
    if (!Accepts(true)) return CopyValue(nullptr, destination, maxCount, elementSize);
    return GetValueByName(NameArg<char16_t>(section).get(), NameArg<char16_t>(key).get(),
                          destination, maxCount, elementSize);
}

const void* IniDocument::GetString(const char* section, const char* key, char* destination,
                                   int32_t maxCount) {
    return GetValue(section, key, destination, maxCount, wide_ ? -2 : -1);
}

const void* IniDocument::GetString(const char16_t* section, const char16_t* key,
                                   char16_t* destination, int32_t maxCount) {
    return GetValue(section, key, destination, maxCount, wide_ ? -2 : -1);
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
    return SectionFor(NameArg<char>(name).get());
}

int32_t IniDocument::FindSection(const char16_t* name) {
    if (!Accepts(true)) return -1;
    return SectionFor(NameArg<char16_t>(name).get());
}

const IniNode* IniDocument::FindEntry(const char* section, const char* key) {
    if (!Accepts(false)) return nullptr;
    IniNode* node = SectionAt(SectionFor(NameArg<char>(section).get()));
    return node != nullptr ? FindKeyByName(node, NameArg<char>(key).get()) : nullptr;
}

const IniNode* IniDocument::FindEntry(const char16_t* section, const char16_t* key) {
    if (!Accepts(true)) return nullptr;
    IniNode* node = SectionAt(SectionFor(NameArg<char16_t>(section).get()));
    return node != nullptr ? FindKeyByName(node, NameArg<char16_t>(key).get()) : nullptr;
}

const IniNode* IniDocument::FindKey(const IniNode* section, const char* key) {
    IniNode* own = section != nullptr ? SectionAt(section->position_) : nullptr;
    if (own != section || own == nullptr || !Accepts(false)) return nullptr;
    return FindKeyByName(own, NameArg<char>(key).get());
}

const IniNode* IniDocument::FindKey(const IniNode* section, const char16_t* key) {
    IniNode* own = section != nullptr ? SectionAt(section->position_) : nullptr;
    if (own != section || own == nullptr || !Accepts(true)) return nullptr;
    return FindKeyByName(own, NameArg<char16_t>(key).get());
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
    return RemoveEntryByName(NameArg<char>(section).get(), NameArg<char>(key).get());
}

int32_t IniDocument::RemoveEntry(const char16_t* section, const char16_t* key) {
    if (!Accepts(true)) return -1;
    return RemoveEntryByName(NameArg<char16_t>(section).get(), NameArg<char16_t>(key).get());
}
