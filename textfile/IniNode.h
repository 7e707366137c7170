// One line of an INI document as read: a section (with its entries), a
// key entry with its typed value, or a comment line. Nodes are made and
// changed only by their IniDocument; everyone else reads them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "textfile/IniBlob.h"
#include "textfile/IniNameIndex.h"
#include "textfile/NodeKind.h"

// 16 zero bytes: the value of an Untyped key in a narrow document, and what
// lookups of missing keys point to.
extern const uint8_t EmptyValue[16];

class IniNode {
public:
    explicit IniNode(NodeKind kind);
    ~IniNode();
    IniNode(const IniNode&) = delete;
    IniNode& operator=(const IniNode&) = delete;

    NodeKind kind() const { return kind_; }
    // Section or key name; holds nothing for a comment line.
    const IniBlob& name() const { return name_; }
    // The comment of the line, starting with ";" (a comment line: all of it).
    const IniBlob& comment() const;
    // A key's value in the encoding of its kind (see NodeKind.h).
    const IniBlob& value() const { return value_; }
    // An Untyped key's value text as it was read, written back unchanged.
    const IniBlob& text() const;
    // Characters, items or bytes of the value, by kind.
    int32_t count() const { return count_; }
    // The line of the file it was read from where a section's first header
    // or a key stood (a key set twice: the line of the value kept); 0 for
    // comment lines and for nodes not read by Load.
    int32_t line() const { return line_; }
    // A section's index of the entry found last, -1 when none.
    int32_t keyCursor() const;
    // A section's key entries and comment lines in file order.
    const std::vector<std::unique_ptr<IniNode>>& entries() const;

private:
    friend class IniDocument;

    // What most key entries do without: a comment, an Untyped text, and a
    // section's entries with their cursor and index.
    struct Rest {
        IniBlob comment;
        IniBlob text;
        int32_t keyCursor = -1;
        // Removing a key from a large section leaves a gap (a null pointer)
        // so that replacing many keys stays linear; the gaps are closed
        // before anyone sees the list or an index into it.
        int32_t gaps = 0;
        // Where the next key is likely to be: after the last one looked up
        // through the index (merged files list keys in the same order).
        size_t hint = 0;
        std::vector<std::unique_ptr<IniNode>> entries;
        std::unique_ptr<IniNameIndex> keys;  // sections too long to search
    };

    // The rest, made on first use; nullptr when memory ran out.
    Rest* rest();
    // Closes the gaps left by removed entries and renumbers the rest.
    void Compact() const;

    IniBlob name_;
    IniBlob value_;
    NodeKind kind_;
    int32_t count_ = 0;
    int32_t position_ = -1;  // index in the parent's node or entry list
    int32_t line_ = 0;
    std::unique_ptr<Rest> rest_;
};
