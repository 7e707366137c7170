// The line syntax of INI documents, for 8-bit (char) and UTF-16 (char16_t)
// text. A file reads like this:
//
//   ; comment line
//   [Section] ; comment of the header
//   Name    = "Text with [x22]quotes[x22] and a [t]tab" ; comment of the key
//   Size    = 12, -3          (IntList)     Scale = 1.5, 2   (FloatList)
//   Mask    = 0x00ff, 0x10    (HexList)     Flags = Y,N,Y    (BoolList)
//   Colour  = #ff8000         (Bytes)       Kind  = Zug      (Untyped)
//
// The value's first character decides its kind; a ";" outside quotes starts
// the comment. Escapes inside quotes are read in the order "[x5B]" "[",
// "[x22]" quote, "[x08]" backspace, "[x0D]" CR, "[x0A]" LF, ("[xFFFF]" the
// unit FFFF, 16-bit text only), "[t]" TAB, "[e]" CR LF, each pass over the
// whole text, so a bracket made by "[x5B]" takes part in the later passes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "textfile/NodeKind.h"

namespace inisyntax {

template <typename CharT>
using View = std::basic_string_view<CharT>;

// Without spaces and tabs at both ends.
template <typename CharT>
View<CharT> Trim(View<CharT> text);

template <typename CharT>
struct KeyLine {
    View<CharT> name;       // before the first "=", trimmed
    View<CharT> valueText;  // after it, cut before the comment, trimmed
    View<CharT> comment;    // from the first ";" outside quotes on; empty when none
    int32_t items = 1;      // one more than the commas outside quotes
};

// Splits a trimmed key line. False when it has no "=" or starts with one.
template <typename CharT>
bool SplitKeyLine(View<CharT> line, KeyLine<CharT>* out);

// Reads a value text: its kind, and in `value` (replaced) its bytes in that
// kind's encoding, in `count` its characters, items or bytes. Untyped
// leaves `value` empty and `count` at `items`. List items that do not scan
// as numbers are 0; floats beyond the 32-bit range become the largest
// float of their sign, "inf" and "nan" become 0.
template <typename CharT>
NodeKind DecodeValue(View<CharT> valueText, int32_t items, std::string* value, int32_t* count);

// The escape passes on a text between quotes.
template <typename CharT>
void Unescape(std::basic_string<CharT>* text);

// Appends `text` escaped, so that Unescape gives it back.
template <typename CharT>
void AppendEscaped(View<CharT> text, std::basic_string<CharT>* out);

// Appends the canonical form of a value: items joined by "," ("%d",
// "0x%.4x", "%.3f", "Y"/"N"); Bytes as "#" and "%.2x" pairs.
template <typename CharT>
void AppendList(NodeKind kind, const uint8_t* value, int32_t valueLength, int32_t count,
                std::basic_string<CharT>* out);

}  // namespace inisyntax
