#include "textfile/IniNode.h"

#include <algorithm>
#include <new>

const uint8_t EmptyValue[16] = {};

namespace {
const std::vector<std::unique_ptr<IniNode>> noEntries;
}  // namespace

IniNode::IniNode(NodeKind kind) noexcept : kind_(kind) {}

IniNode::~IniNode() = default;

IniBlob IniNode::comment() const {
    return rest_ != nullptr ? rest_->comment : IniBlob();
}

IniBlob IniNode::text() const {
    return rest_ != nullptr ? rest_->text : IniBlob();
}

int32_t IniNode::keyCursor() const {
    return rest_ != nullptr ? rest_->keyCursor : -1;
}

const std::vector<std::unique_ptr<IniNode>>& IniNode::entries() const {
    if (rest_ == nullptr) return noEntries;
    if (rest_->gaps != 0) Compact();
    return rest_->entries;
}

void IniNode::Compact() const {
    auto& entries = rest_->entries;
    entries.erase(std::remove(entries.begin(), entries.end(), nullptr), entries.end());
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i]->position_ = static_cast<int32_t>(i);
    }
    rest_->gaps = 0;
    if (rest_->keys != nullptr) rest_->keys->Rebuild();  // the positions changed
}
