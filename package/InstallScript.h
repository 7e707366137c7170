// Reader of a package's install script: named sections, each holding a list
// of brace-delimited entries.
//
//     Dateinstallation {
//         { Modelle\a.3dm >> Resourcen\Modelle\a.3dm }
//     }
//     Texturskript { {x>>Textur{id(7)name(x)}} }
//
// Whitespace (blank, TAB, LF, VT, FF, CR) is dropped wherever it stands; only
// "{" and "}" mean anything. A section is a name followed by one brace group;
// its entries are the brace groups inside that body. A brace group between
// sections is skipped (a comment), but text outside braces joins the next
// name and so hides that section. Names compare byte by byte. The file is read
// as raw bytes: no code-page conversion, and a 0x1A byte is ordinary text.
//
// Usage: Open(path) once; then for each section FindSection(name) and, when
// it is found, NextEntry(text) until it returns false. The file stays open
// from FindSection until the next FindSection or the reader's destruction.
//
// For explaining what it read (the package checker names lines and says why
// a section or entry is not seen), the reader also tells where things stand
// and why a section ended, walks the rest of a section body past the point
// where NextEntry stopped (NextItem), and walks the top-level name tokens as
// FindSection passes them (Restart, NextName, EnterGroup). Lines count from
// 1; CR LF, LF and a lone CR each end one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class InstallScript {
public:
    InstallScript();
    ~InstallScript();
    InstallScript(const InstallScript&) = delete;
    InstallScript& operator=(const InstallScript&) = delete;

    // Stores `path` and checks that the file can be opened for reading; the
    // file is closed again at once. False when it cannot be opened (or for a
    // null path, which stores an empty path).
    bool Open(const char* path);

    // As Open, for a script held in memory: the reader reads `bytes` as it
    // would read a file holding them (same blocks, same results); Path()
    // is empty. Always true. The fuzz targets read scripts this way.
    bool OpenBytes(std::string bytes);

    // The path stored by the last Open; empty before.
    const std::string& Path() const { return path; }

    // Closes the section being read, reopens the script from its first byte
    // and searches the first top-level section called `name`. True when found:
    // NextEntry then delivers its entries. False when the file cannot be
    // opened or holds no such section.
    bool FindSection(const char* name);

    // Next entry of the section found last: true with `text` holding the
    // entry without its outer braces and without whitespace (inner braces
    // kept: {Basis{x}} gives "Basis{x}"). False at the end of the section,
    // at text that is not an entry, at an entry cut off by the end of the
    // file, and without a found section; `text` is then empty. Once false,
    // it stays false until the next FindSection.
    bool NextEntry(std::string& text);

    // Why the section being read ended, once NextEntry returned false;
    // ItemLine then tells where.
    enum class Ending {
        Reading,  // no section found, or NextEntry has not returned false yet
        Brace,    // the body's closing brace
        Text,     // text outside braces, where an entry should start
        CutOff,   // an entry cut off by the end of the file (where its "{" stands)
        FileEnd,  // the end of the file where an entry or the "}" should stand
    };
    Ending SectionEnding() const { return ending; }

    // Line of the first byte of the name FindSection found last; 0 when none.
    int32_t SectionLine() const { return sectionLine; }

    // The item NextEntry or NextItem looked at last (an entry's "{", the
    // first byte of text outside braces, the body's "}", the end of the
    // file): its line, and its bytes in the file, the braces included, as
    // [ItemBegin, ItemEnd). 0 before any item.
    int32_t ItemLine() const { return itemLine; }
    std::size_t ItemBegin() const { return itemBegin; }
    std::size_t ItemEnd() const { return itemEnd; }

    // What stands in a section body, one item at a time.
    enum class Item {
        Entry,   // a brace group; `text` as NextEntry gives it
        Text,    // text outside braces up to the next brace, whitespace dropped
        CutOff,  // an entry cut off by the end of the file; `text` is what it holds
    };
    // The next item of the body being read, from where NextEntry stopped
    // (after it ended at Text: that text first) or of a group opened by
    // EnterGroup. False at the body's closing brace and at the end of the
    // file (`text` empty). Items are read whole, so NextEntry and NextItem
    // may take turns while NextEntry still delivers.
    bool NextItem(std::string& text, Item& kind);

    // Closes the section being read and goes back to the first byte of the
    // script for NextName. False when the file cannot be opened.
    bool Restart();

    // The next top-level name token in file order, exactly as FindSection
    // compares it (a brace group before it passed over as a comment, a lone
    // "}" alone, the rest of a group opened by EnterGroup too): true with
    // the token (possibly empty) and the line of its first byte (0 when
    // empty); false at the end of the file.
    bool NextName(std::string& name, int32_t& line);

    // Opens the brace group standing right after the name NextName gave, for
    // NextItem. False when none stands there (the file ends, or a lone "}").
    bool EnterGroup();

private:
    static const int kEnd = -1;

    void Close();
    // Counts the line break at buffer[position] (a CR, or an LF not after a CR).
    void CountBreak(char c);
    std::size_t Offset() const { return blockStart + position; }
    // Reads the entry whose "{" stands next, as NextEntry delivers it; false
    // when the end of the file cuts it off.
    bool ReadEntry(std::string& text);
    // Reads a name token up to the next brace; compares it with `name` on
    // the fly and, when `text` is given, keeps it there.
    bool ReadName(const char* name, std::size_t length, std::string* text);
    // Next byte that is not whitespace, or kEnd; Peek leaves it unread.
    int Get();
    int Peek();
    bool Refill();
    // Skips to the end of a brace group: from the brace standing next, or
    // with `level` 1 from inside a group already opened.
    void SkipGroup(std::int64_t level = 0);
    bool NameTokenEquals(const char* name, std::size_t length);

    std::string path;
    std::FILE* stream = nullptr;
    std::string bytes;         // the script given to OpenBytes
    bool inMemory = false;     // OpenBytes, not Open, gave the script
    bool memoryOpen = false;   // the in-memory script is being read
    std::size_t memoryAt = 0;  // its next byte for Refill
    // Not zeroed when made: only what a read fills is touched, so a short
    // script costs a page, not the whole buffer.
    std::unique_ptr<char[]> buffer;
    std::size_t bufferSize = 0;
    std::size_t position = 0;
    std::size_t filled = 0;
    bool inSection = false;
    bool bodyOpen = false;      // standing inside a section body, between its items
    bool groupEntered = false;  // the group after the last name was opened
    Ending ending = Ending::Reading;
    int32_t line = 1;
    char lastOfBlock = 0;        // the byte before buffer[0]
    std::size_t blockStart = 0;  // file offset of buffer[0]
    int32_t sectionLine = 0;
    int32_t nameLine = 0;
    int32_t itemLine = 0;
    std::size_t itemBegin = 0;
    std::size_t itemEnd = 0;
};
