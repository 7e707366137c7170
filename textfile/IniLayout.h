// Where the sections of a narrow INI file lie in its bytes, found without
// loading it into a document: for a file that is already in the layout
// IniDocument::Save writes, so that loading it and saving it again gives
// the very same bytes. Read checks that line by line: every line ends with
// CR LF and is trimmed; a comment line starts with ";"; a header is
// "[name]" or "[name] ;comment"; a key line is the way Save writes its
// name, value and comment ("name<TAB> = value ;comment", the value in its
// kind's canonical form); each section's keys are closed by one empty line
// right after its header or its last key, and only comment lines come
// between that empty line and the next header; no section name twice in
// the file, no key name twice in a section; an optional UTF-8 mark in
// front. Anything else (another line end, a line Load drops or changes, a
// missing last line end) makes Read false.
//
// A section's own bytes (its header, its entries and its empty line) are
// those SavedSectionBytes gives for it in the loaded document. The comment
// lines after them are top-level comments of the document, except after
// the last section: at the file's end they belong to that section, so its
// own bytes run to the end of the file.
//
//   Read      true when the bytes are in Save's layout (the layout is then
//             filled in); false otherwise (the layout is then empty)
//   Find      the index of the section of that name in Sections(), or -1
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class IniLayout {
public:
    struct Section {
        std::string_view name;
        size_t start;  // its header line
        size_t end;    // after its own bytes
        size_t next;   // the next header, or the end of the file
    };

    bool Read(std::string_view bytes);
    int32_t Find(std::string_view name) const;

    bool Utf8Mark() const { return utf8Mark; }
    // Where the first section starts (the end of the file when there is
    // none): after the mark and the top-level comment lines before it.
    size_t FirstHeader() const { return firstHeader; }
    const std::vector<Section>& Sections() const { return sections; }

private:
    // Read's check, line by line; fills in the sections.
    bool Scan(std::string_view bytes);
    bool IndexNames();
    void Clear();

    bool utf8Mark = false;
    size_t firstHeader = 0;
    std::vector<Section> sections;
    // Open addressing over sections: index + 1, 0 for a free slot.
    std::vector<uint32_t> slots;
};
