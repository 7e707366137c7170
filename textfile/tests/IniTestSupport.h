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
    return std::string(blob.Bytes());
}

inline const IniNode* SectionNamed(const IniDocument& document, const std::string& name) {
    for (const auto& node : document.Nodes()) {
        if (node->Kind() == NodeKind::Section && Bytes(node->Name()) == name) return node.get();
    }
    return nullptr;
}

// "name" for keys, the comment text for comment lines, in order.
inline std::vector<std::string> Lines(const IniNode* section) {
    std::vector<std::string> lines;
    for (const auto& entry : section->Entries()) {
        lines.push_back(entry->Kind() == NodeKind::Comment ? Bytes(entry->Comment())
                                                           : Bytes(entry->Name()));
    }
    return lines;
}

// "[name]" for sections, the comment text for comment lines, in order.
inline std::vector<std::string> TopLevel(const IniDocument& document) {
    std::vector<std::string> lines;
    for (const auto& node : document.Nodes()) {
        lines.push_back(node->Kind() == NodeKind::Section ? "[" + Bytes(node->Name()) + "]"
                                                          : Bytes(node->Comment()));
    }
    return lines;
}

template <typename T>
std::vector<T> Items(const IniNode* entry) {
    std::vector<T> items(static_cast<size_t>(entry->Count()));
    std::memcpy(items.data(), entry->Value().data(), items.size() * sizeof(T));
    return items;
}

}  // namespace initest
