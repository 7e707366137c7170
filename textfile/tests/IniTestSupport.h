// Loading inline INI texts and looking at what a document holds.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/TestFiles.h"
#include "textfile/IniDocument.h"

namespace initest {

inline int32_t LoadText(IniDocument& document, const std::string& name, const std::string& bytes) {
    return document.Load(testfiles::Make(name, bytes).c_str(), 0, 0);
}

inline std::string Bytes(const IniBlob& blob) {
    return std::string(blob.bytes());
}

inline const IniNode* SectionNamed(const IniDocument& document, const std::string& name) {
    for (const auto& node : document.nodes()) {
        if (node->kind() == NodeKind::Section && Bytes(node->name()) == name) return node.get();
    }
    return nullptr;
}

// "name" for keys, the comment text for comment lines, in order.
inline std::vector<std::string> Lines(const IniNode* section) {
    std::vector<std::string> lines;
    for (const auto& entry : section->entries()) {
        lines.push_back(entry->kind() == NodeKind::Comment ? Bytes(entry->comment())
                                                           : Bytes(entry->name()));
    }
    return lines;
}

// "[name]" for sections, the comment text for comment lines, in order.
inline std::vector<std::string> TopLevel(const IniDocument& document) {
    std::vector<std::string> lines;
    for (const auto& node : document.nodes()) {
        lines.push_back(node->kind() == NodeKind::Section ? "[" + Bytes(node->name()) + "]"
                                                          : Bytes(node->comment()));
    }
    return lines;
}

template <typename T>
std::vector<T> Items(const IniNode* entry) {
    std::vector<T> items(static_cast<size_t>(entry->count()));
    std::memcpy(items.data(), entry->value().data(), items.size() * sizeof(T));
    return items;
}

}  // namespace initest
