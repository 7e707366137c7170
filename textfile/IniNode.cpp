#include "textfile/IniNode.h"

#include <algorithm>

const uint8_t EmptyValue[16] = {};

IniNode::IniNode(NodeKind kind) : kind_(kind) {}

IniNode::~IniNode() = default;

const std::vector<std::unique_ptr<IniNode>>& IniNode::entries() const {
    if (gaps_ != 0) {
        Compact();
    }
    return entries_;
}

void IniNode::Compact() const {
    entries_.erase(std::remove(entries_.begin(), entries_.end(), nullptr), entries_.end());
    for (size_t i = 0; i < entries_.size(); ++i) {
        entries_[i]->position_ = static_cast<int32_t>(i);
    }
    gaps_ = 0;
}
