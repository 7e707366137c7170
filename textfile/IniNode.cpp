#include "textfile/IniNode.h"

#include <algorithm>
#include <new>

const uint8_t EmptyValue[16] = {};

namespace {
const std::vector<std::unique_ptr<IniNode>> kNoEntries;
}  // namespace

IniNode::IniNode(NodeKind kind) noexcept : kind(kind) {}

IniNode::~IniNode() = default;

IniBlob IniNode::Comment() const {
    return rest != nullptr ? rest->comment : IniBlob();
}

IniBlob IniNode::Text() const {
    return rest != nullptr ? rest->text : IniBlob();
}

int32_t IniNode::KeyCursor() const {
    return rest != nullptr ? rest->keyCursor : -1;
}

const std::vector<std::unique_ptr<IniNode>>& IniNode::Entries() const {
    if (rest == nullptr) return kNoEntries;
    if (rest->gaps != 0) Compact();
    return rest->entries;
}

void IniNode::Compact() const {
    auto& entries = rest->entries;
    entries.erase(std::remove(entries.begin(), entries.end(), nullptr), entries.end());
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i]->position = static_cast<int32_t>(i);
    }
    rest->gaps = 0;
    if (rest->keys != nullptr) rest->keys->Rebuild();  // the positions changed
}
