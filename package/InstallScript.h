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
#pragma once

#include <cstddef>
#include <cstdio>
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

    // The path stored by the last Open; empty before.
    const std::string& Path() const { return path_; }

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

private:
    static const int kEnd = -1;

    void Close();
    // Next byte that is not whitespace, or kEnd; Peek leaves it unread.
    int Get();
    int Peek();
    bool Refill();
    void SkipGroup();
    bool NameTokenEquals(const char* name, std::size_t length);

    std::string path_;
    std::FILE* stream_ = nullptr;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t filled_ = 0;
    bool inSection_ = false;
};
