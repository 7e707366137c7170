// Lookups, values and the node structure of IniDocument. Reading is in
// IniDocumentLoad.cpp, writing in IniDocumentSave.cpp.
#include "textfile/IniDocument.h"

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

size_t IniDocument::KeyRefHash::operator()(const KeyRef& key) const {
    return std::hash<Name>()(key.name) ^ (std::hash<const void*>()(key.section) * 0x9E3779B1u);
}

IniDocument::IniDocument(bool wide) : wide_(wide) {}

IniDocument::~IniDocument() = default;

IniNode* IniDocument::SectionAt(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= nodes_.size()) return nullptr;
    IniNode* node = nodes_[static_cast<size_t>(index)].get();
    return node->kind_ == NodeKind::Section ? node : nullptr;
}

int32_t IniDocument::FindSectionByName(Name name) {
    auto found = sectionIndex_.find(name);
    currentSection_ = found != sectionIndex_.end() ? found->second->position_ : -1;
    return currentSection_;
}

int32_t IniDocument::SectionFor(const Name* name) {
    if (name == nullptr) {
        return SectionAt(currentSection_) != nullptr ? currentSection_ : -1;
    }
    return FindSectionByName(*name);
}

IniNode* IniDocument::LookupKey(const IniNode* section, Name name) const {
    if (section->keysIndexed_) {
        auto found = keyIndex_.find(KeyRef{section, name});
        return found != keyIndex_.end() ? found->second : nullptr;
    }
    for (const auto& entry : section->entries_) {
        if (entry != nullptr && entry->kind_ != NodeKind::Comment && entry->name_.bytes() == name &&
            entry->name_.holdsData()) {
            return entry.get();
        }
    }
    return nullptr;
}

const IniNode* IniDocument::FindKeyByName(IniNode* section, const Name* name) {
    const auto& entries = section->entries();  // closes gaps: the cursor is an index
    const int32_t count = static_cast<int32_t>(entries.size());
    if (name == nullptr) {
        int32_t at = section->keyCursor_;
        return at >= 0 && at < count ? entries[static_cast<size_t>(at)].get() : nullptr;
    }
    IniNode* found = LookupKey(section, *name);
    section->keyCursor_ = found != nullptr ? found->position_ : -1;
    return found;
}

const void* IniDocument::CopyValue(const IniNode* entry, void* destination, int32_t maxCount,
                                   int32_t elementSize) {
    const bool hasData = entry != nullptr && entry->value_.holdsData();
    const void* stored = hasData ? static_cast<const void*>(entry->value_.data()) : EmptyValue;
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
    const int64_t available = hasData ? static_cast<int64_t>(entry->value_.length()) + 2 : 0;
    const int64_t copied = entry != nullptr ? (wanted < available ? wanted : available) : 0;
    uint8_t* out = static_cast<uint8_t*>(destination);
    if (copied > 0) std::memcpy(out, entry->value_.data(), static_cast<size_t>(copied));
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
        node->keyCursor_ = 0;
        return 1;
    }
    return FindKeyByName(node, key) != nullptr ? 1 : 0;
}

IniNode* IniDocument::GetOrAddSectionByName(Name name) {
    auto found = sectionIndex_.find(name);
    if (found != sectionIndex_.end()) return found->second;
    std::unique_ptr<IniNode> node(new (std::nothrow) IniNode(NodeKind::Section));
    if (node == nullptr || node->name_.Set(name.data(), static_cast<int32_t>(name.size())) != 0) {
        return nullptr;
    }
    node->position_ = static_cast<int32_t>(nodes_.size());
    IniNode* section = node.get();
    nodes_.push_back(std::move(node));
    sectionIndex_.emplace(section->name_.bytes(), section);
    return section;
}

void IniDocument::IndexKeys(IniNode* section) {
    for (const auto& entry : section->entries_) {
        if (entry != nullptr && entry->kind_ != NodeKind::Comment && entry->name_.holdsData()) {
            keyIndex_.emplace(KeyRef{section, entry->name_.bytes()}, entry.get());
        }
    }
    section->keysIndexed_ = true;
}

void IniDocument::AppendEntry(IniNode* section, std::unique_ptr<IniNode> entry) {
    entry->position_ = static_cast<int32_t>(section->entries_.size());
    IniNode* added = entry.get();
    section->entries_.push_back(std::move(entry));
    if (section->keysIndexed_) {
        if (added->kind_ != NodeKind::Comment && added->name_.holdsData()) {
            keyIndex_.emplace(KeyRef{section, added->name_.bytes()}, added);
        }
    } else if (section->entries_.size() > kIndexedSectionSize) {
        IndexKeys(section);
    }
}

void IniDocument::DetachEntry(IniNode* section, IniNode* entry) {
    if (section->keysIndexed_) {
        keyIndex_.erase(KeyRef{section, entry->name_.bytes()});
    }
    size_t at = static_cast<size_t>(entry->position_);
    section->entries_[at].reset();
    ++section->gaps_;
    if (!section->keysIndexed_) {
        section->Compact();  // small: cheaper than keeping the gap
    }
    section->keyCursor_ = -1;
}

void IniDocument::ReplaceEntry(IniNode* section, IniNode* old, std::unique_ptr<IniNode> entry) {
    if (!section->keysIndexed_) {
        DetachEntry(section, old);
        AppendEntry(section, std::move(entry));
        return;
    }
    // The index entry moves over to the new node: one node handle, no new
    // allocation.
    auto handle = keyIndex_.extract(KeyRef{section, old->name_.bytes()});
    handle.key() = KeyRef{section, entry->name_.bytes()};
    handle.mapped() = entry.get();
    keyIndex_.insert(std::move(handle));
    section->entries_[static_cast<size_t>(old->position_)].reset();
    ++section->gaps_;
    section->keyCursor_ = -1;
    entry->position_ = static_cast<int32_t>(section->entries_.size());
    section->entries_.push_back(std::move(entry));
}

void IniDocument::RemoveSection(int32_t index) {
    IniNode* section = SectionAt(index);
    if (section->keysIndexed_) {
        for (const auto& entry : section->entries_) {
            if (entry != nullptr && entry->kind_ != NodeKind::Comment && entry->name_.holdsData()) {
                keyIndex_.erase(KeyRef{section, entry->name_.bytes()});
            }
        }
    }
    sectionIndex_.erase(section->name_.bytes());
    nodes_.erase(nodes_.begin() + index);
    for (size_t i = static_cast<size_t>(index); i < nodes_.size(); ++i) {
        nodes_[i]->position_ = static_cast<int32_t>(i);
    }
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

const void* IniDocument::GetValue(const char16_t* section, const char16_t* key,
                                  void* destination, int32_t maxCount, int32_t elementSize) {
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

const void* IniDocument::GetWideString(const char* section, const char* key,
                                       char16_t* destination, int32_t maxCount) {
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
