// An INI file in memory: sections with typed key entries, and comment lines,
// in file order, read by Load and written back in canonical layout by Save.
// Loading a second file into the same document merges it: new sections go
// to the end, a key replaces the same-named key of its section and moves to
// the end of that section. See IniSyntax.h for the line syntax.
//
// A document is narrow (8-bit files in the ANSI code page; names given as
// char) or wide (UTF-16LE files starting with FF FE; names given as
// char16_t). Names compare as exact, case-sensitive characters; a name of
// the other width is never found.
//
//   Load            0 read; -1 cannot be read, or the path is longer than
//                   255 characters (the document is unchanged)
//   LoadBytes       as Load of a file holding the bytes (-1 for no bytes)
//   Save            0 written; -1 not written (the file is left as it was)
//   SaveBytes       as Save
//   SavePieces      as Save
//   SavedBytes      the bytes Save writes
//   SavedSectionBytes  the bytes Save writes for one section
//   SavedBytesFrom  the bytes Save writes for the top-level nodes from one on
//   HasSection      1 when the section (and the key, if given) exists, else 0
//   GetValue        pointer to the stored value, or to EmptyValue when the
//                   section or key is missing; copies as described there
//   FindSection     index in Nodes(), or -1
//   AddSectionHeader  section index, or -1 (no "]")
//   AddKeyLine      element count; -1 line not taken, -2 out of memory
//   AddCommentLine  the new node's index (top level) or 0; -1 bad index,
//                   -2 out of memory
//   RemoveEntry     0, or -1 when the section or key is missing
//   WriteEntries    0; -1 for a section of another document or none; -8 a
//                   write failed
//
// Besides the content a document keeps two cursors, as lookups in file
// order are cheap with them: CurrentSection() (set by lookups and reading)
// and each section's KeyCursor(). Single-threaded use only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "textfile/IniArena.h"
#include "textfile/IniDroppedLine.h"
#include "textfile/IniLineListener.h"
#include "textfile/IniNode.h"
#include "textfile/IniSyntax.h"

class IniDocument {
public:
    explicit IniDocument(bool wide = false);
    virtual ~IniDocument();
    IniDocument(const IniDocument&) = delete;
    IniDocument& operator=(const IniDocument&) = delete;

    // Reads `path` (nullptr: the stored FileName()) and merges it into the
    // document. offset and size as LoadWholeFile; 0 and 0 read it all.
    int32_t Load(const char* path, int32_t offset, int32_t size);
    // Load, telling `listener` (may be null) what it made of each line.
    int32_t Load(const char* path, int32_t offset, int32_t size, IniLineListener* listener);

    // Load of a file holding `bytes` (empty bytes fail like an empty file),
    // with FileName() unchanged: the same document, the same return value.
    int32_t LoadBytes(std::string_view bytes, IniLineListener* listener = nullptr);

    // Writes the document to `path` (nullptr: FileName()) in canonical
    // layout with CR LF line ends, through a temporary file beside it that
    // replaces the target only when every byte is on disk.
    int32_t Save(const char* path);
    // Save, writing `bytes` (what SavedBytes gave, kept by the caller)
    // rather than working them out again.
    int32_t SaveBytes(const char* path, std::string_view bytes);
    // SaveBytes of the pieces' bytes, one after the other.
    int32_t SavePieces(const char* path, const std::vector<std::string_view>& pieces);
    // The bytes Save writes.
    std::string SavedBytes() const;
    // The part of them that `section` (one of this document's sections)
    // writes: its header line, its entries and the empty line after its
    // keys; empty for any other node.
    std::string SavedSectionBytes(const IniNode* section) const;
    // The part of them that the top-level nodes from index `first` on
    // write, without the mark; empty when there are none.
    std::string SavedBytesFrom(size_t first) const;

    // With a null key: 1 when the section exists (its keyCursor becomes 0).
    int32_t HasSection(const char* section, const char* key);
    int32_t HasSection(const char16_t* section, const char16_t* key);

    // Copies a value. n is the entry's count (0 when missing), capped by a
    // positive maxCount. elementSize 4: n 32-bit items; -1 / -2: a narrow /
    // wide text of n characters and a terminator (a capped text keeps
    // maxCount characters and ends with the terminator). Bytes beyond the
    // stored value, and all bytes for a missing entry, are set to zero; a
    // missing list therefore writes nothing. A null section means the
    // current section, a null key the entry at its keyCursor.
    const void* GetValue(const char* section, const char* key, void* destination, int32_t maxCount,
                         int32_t elementSize);
    const void* GetValue(const char16_t* section, const char16_t* key, void* destination,
                         int32_t maxCount, int32_t elementSize);
    // GetValue with element size -1 (narrow document) or -2 (wide).
    const void* GetString(const char* section, const char* key, char* destination,
                          int32_t maxCount);
    const void* GetString(const char16_t* section, const char16_t* key, char16_t* destination,
                          int32_t maxCount);
    // GetValue with element size -2.
    const void* GetWideString(const char* section, const char* key, char16_t* destination,
                              int32_t maxCount);
    const void* GetWideString(const char16_t* section, const char16_t* key, char16_t* destination,
                              int32_t maxCount);
    // GetValue with element size 4.
    const void* GetIntArray(const char* section, const char* key, void* destination,
                            int32_t maxCount);
    const void* GetIntArray(const char16_t* section, const char16_t* key, void* destination,
                            int32_t maxCount);

    // The section's index, which becomes CurrentSection(); -1 (and -1 as
    // current) when absent. A null name gives the current section.
    int32_t FindSection(const char* name);
    int32_t FindSection(const char16_t* name);
    // FindKey in the section of that name (null: the current section).
    const IniNode* FindEntry(const char* section, const char* key);
    const IniNode* FindEntry(const char16_t* section, const char16_t* key);
    // The key entry of that name in `section` (one of this document's
    // sections), which becomes its keyCursor (-1 when absent); a null key
    // gives the entry at the keyCursor.
    const IniNode* FindKey(const IniNode* section, const char* key);
    const IniNode* FindKey(const IniNode* section, const char16_t* key);

    // The reading steps of Load, on one trimmed line each.
    int32_t AddSectionHeader(const char* line);
    int32_t AddSectionHeader(const char16_t* line);
    int32_t AddKeyLine(const char* line, int32_t sectionIndex);
    int32_t AddKeyLine(const char16_t* line, int32_t sectionIndex);
    // sectionIndex -1: a top-level comment. A text not starting with ";"
    // gets one in front.
    int32_t AddCommentLine(const char* text, int32_t sectionIndex);
    int32_t AddCommentLine(const char16_t* text, int32_t sectionIndex);
    // The section of that name, appended when new; nullptr out of memory.
    const IniNode* GetOrAddSection(const char* name);
    const IniNode* GetOrAddSection(const char16_t* name);
    // Deletes a key (null section: the current one), or with a null key the
    // whole section (the current section becomes -1).
    int32_t RemoveEntry(const char* section, const char* key);
    int32_t RemoveEntry(const char16_t* section, const char16_t* key);

    // Writes the entry lines of `section` to a Stream slot of the file table.
    int32_t WriteEntries(int32_t handle, const IniNode* section);

    bool Wide() const { return wide; }
    const char* FileName() const { return fileName.c_str(); }
    int32_t CurrentSection() const { return currentSection; }
    // Top-level nodes in file order: sections and comment lines.
    const std::vector<std::unique_ptr<IniNode>>& Nodes() const { return nodes; }
    // Lines of the loaded files that were not kept.
    const std::vector<IniDroppedLine>& DroppedLines() const { return dropped; }
    // True when the first file loaded began with a UTF-8 byte-order mark;
    // Save then writes one too.
    bool Utf8Mark() const { return utf8Mark; }

private:
    // Names travel inside as their bytes; the width is the document's.
    using Name = std::string_view;

    bool Accepts(bool wideNames) const { return wideNames == wide; }
    IniNode* SectionAt(int32_t index) const;
    IniNode* SectionNamed(Name name);
    int32_t FindSectionByName(Name name);
    int32_t SectionFor(const Name* name);
    // `hash` (may be null): the name's IniNameIndex::HashOf, worked out before.
    static IniNode* LookupKey(IniNode* section, Name name, const size_t* hash = nullptr);
    const IniNode* FindKeyByName(IniNode* section, const Name* name);
    const void* CopyValue(const IniNode* entry, void* destination, int32_t maxCount,
                          int32_t elementSize);
    const void* GetValueByName(const Name* section, const Name* key, void* destination,
                               int32_t maxCount, int32_t elementSize);
    int32_t HasSectionByName(const Name* section, const Name* key);
    IniNode* GetOrAddSectionByName(Name name);
    int32_t RemoveEntryByName(const Name* section, const Name* key);
    void RemoveSection(int32_t index);
    // `hash` (may be null): the entry name's IniNameIndex::HashOf.
    void AppendEntry(IniNode* section, std::unique_ptr<IniNode> entry,
                     const size_t* hash = nullptr);
    void DetachEntry(IniNode* section, IniNode* entry);
    // `hash` (may be null): the names' IniNameIndex::HashOf.
    void ReplaceEntry(IniNode* section, IniNode* old, std::unique_ptr<IniNode> entry,
                      const size_t* hash = nullptr);
    static bool IndexKeys(IniNode* section);

    template <typename CharT>
    int32_t AddSectionHeaderText(std::basic_string_view<CharT> line);
    // `guessed` (may be null): a name of the file with its hash, worked out
    // ahead; used when it is this line's name.
    template <typename CharT>
    int32_t AddKeyLineText(std::basic_string_view<CharT> line, int32_t sectionIndex,
                           IniDroppedLine::Reason* why, inisyntax::KeyLine<CharT>* parts,
                           const IniNameIndex::Hashed* guessed);
    template <typename CharT>
    int32_t AddCommentLineText(std::basic_string_view<CharT> text, int32_t sectionIndex);
    template <typename CharT>
    void ReadLines(int32_t handle);
    // Reads the Memory slot `handle` (negative: -1) and closes it.
    int32_t LoadSlot(int32_t handle, IniLineListener* listener);
    void Drop(std::string_view text, IniDroppedLine::Reason why);
    // Save, with the pieces' bytes given or (null) the document's.
    int32_t SaveWith(const char* path, const std::vector<std::string_view>* pieces);
    // A new node in the arena; nullptr when memory ran out.
    std::unique_ptr<IniNode> NewNode(NodeKind kind);
    // The node's rest, made in the arena on first use; nullptr when memory
    // ran out.
    IniNode::Rest* RestOf(IniNode* node);
    // Gives the memory of a node no longer needed to the next NewNode.
    void Recycle(std::unique_ptr<IniNode> node);
    // Stores the node's name and value (`valueLength` -1: none) in one
    // piece of the arena; false when memory ran out.
    bool SetNameAndValue(IniNode* node, Name name, const void* value, int32_t valueLength);
    // A copy of `bytes` in the arena, with two zeros after it; false when
    // memory ran out.
    bool StoreBytes(std::string_view bytes, IniBlob* blob);

    bool wide;
    bool utf8Mark = false;
    // Before the nodes: it outlives them.
    IniArena arena;
    void* spareNode = nullptr;
    bool loadedOnce = false;
    std::string fileName;
    std::vector<std::unique_ptr<IniNode>> nodes;
    int32_t currentSection = -1;
    std::vector<IniDroppedLine> dropped;
    int32_t loadingLine = 0;  // the line being read; 0 outside Load
    IniLineListener* listener = nullptr;
    // Every section by name (the search in file order gives the same
    // section, names being unique); large sections index their keys too.
    IniNameIndex sections{&nodes};
    size_t sectionHint = 0;
    std::string valueScratch;
};
