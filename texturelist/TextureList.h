// One of the host's texture list files in memory: texture blocks keyed by
// their numeric id, read from a file, added to or replaced by install-script
// entries, and written back whole in one fixed layout.
//
//     Basis{
//         Textur{ id(3) name(Alter Baum) }
//         Textur{ id(12) name(x) groesse(4) }
//     }
//
// An entry is kept as the block's tokens with all whitespace removed and a TAB
// after every ")" and every "{" (the stored text of id 3 above is
// "Textur{\tid(3)\tname(AlterBaum)\t}"); besides the id and the presence of a
// name field it is opaque. Ids are unsigned 32-bit: id(-1) is 4294967295.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "texturelist/EntryTable.h"

class ListWriter;

class TextureList {
public:
    // Reads the list at `path` (stored as Path()). True when the file could
    // be read and every completed texture block has an id(...) and a
    // name(...) field; then Loaded() is true. False when the file cannot be
    // opened or read to its end or a block lacks one of the fields: no
    // entries stay and Loaded() is false. Of two blocks with the same id the first one is kept; a
    // block cut off by the end of the file is dropped.
    bool Load(const char* path);
    // Load of a file holding `bytes`: the same entries and result; Path()
    // becomes empty.
    bool LoadBytes(std::string_view bytes);

    // Adds or replaces the entry in `text`: the part from the first "Textur"
    // to the last "}", under the id of its first "id(...)". False, and the
    // list unchanged, when there is no "Textur", no "}" after it, no "id("
    // or the id is 0. Works whether the list was loaded or not.
    bool AddEntry(const std::string& text);

    // Writes the list to `path`: "Basis{", one line per entry in ascending id
    // order (a TAB and the entry text), "}", every line ended by CR LF, also
    // line feeds inside entry texts. The file is replaced only when it was
    // written completely. False, with the file on disk unchanged, when the
    // list was not loaded, the file is read-only or any write fails.
    bool Save(const char* path) const;
    // The bytes Save writes; false (and `bytes` empty) when the list was not
    // loaded.
    bool SaveBytes(std::string* bytes) const;

    const EntryTable& Entries() const { return entries; }
    bool Loaded() const { return loaded; }
    const std::string& Path() const { return path; }

private:
    bool Parse();
    void Write(ListWriter* writer) const;
    bool CompleteEntry(const char* text, std::size_t length);

    std::string path;
    EntryTable entries;
    bool loaded = false;
};

namespace texturelist {

// The decimal value at the start of [text, end) as a texture id: leading
// whitespace skipped, one optional sign, digits up to the first other
// character, computed modulo 2^32 (so "-1" is 4294967295); no digits give 0.
std::uint32_t ParseId(const char* text, const char* end);

}  // namespace texturelist
