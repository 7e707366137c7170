// What an IniNode is, and for key entries the type of their value. The
// numbers are part of the design (no kind has the number 7).
#pragma once

#include <cstdint>

enum class NodeKind : int32_t {
    Untyped = 0,    // a key whose value matches no syntax; value: zeros
    Comment = 1,    // a comment line; no value
    Section = 2,    // a section; its keys are its entries
    Text = 3,       // quoted text: the unescaped characters
    IntList = 4,    // signed 32-bit integers
    HexList = 5,    // unsigned 32-bit values, written in hexadecimal
    FloatList = 6,  // 32-bit floats
    BoolList = 8,   // one byte per item, 1 = Y, 0 = N
    Bytes = 9,      // raw bytes, written as "#" and hexadecimal pairs
};
