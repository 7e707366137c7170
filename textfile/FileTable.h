// The file table: ten numbered file slots shared by the whole process, one
// operation per file action, negative status codes, and one error handler
// that is asked on every failure whether to retry.
//
// A handle is a slot index, 0 to 9. OpenFile gives a Stream slot (a
// buffered stream); LoadWholeFile gives a Memory slot (the file's bytes),
// read with ReadToken, ReadFormatted and ReadLine. CloseFile frees either.
//
// Status codes (0 is success):
//   -1  ReadFile read fewer bytes than asked or had no destination;
//       ReadFormatted or ReadLine found the slot at its end
//   -2  a seek failed or left the data
//   -3  a file cannot be opened or measured, its name does not fit a slot,
//       or no slot is free
//   -5  a close failed
//   -6  the handle is outside 0..9 or its slot is in the wrong mode
//   -8  a write or a flush failed
//   -9  a token read inside ReadFormatted failed
//
// On a failure the handler gets (code, file name, operation label) and
// answers nonzero to have the failed step repeated. The name is the slot's
// name, the name given to OpenFile, LenFile or LoadWholeFile, or "" for a
// handle outside 0..9. The label is the operation's name ("OpenFile",
// "CloseFile", "ReadFile", ...; "EoFile File not open" for EoFile on a
// Closed slot). Wrong handles and modes are reported but never retried.
// The default handler GiveUp never retries. Single-threaded use only.
//
// Stream slots write, flush and close through SafeReplace.h, so that its
// test seam can fail any step of a save made through the table.
#pragma once

#include <cstdint>

#include "textfile/FileSlot.h"

namespace textfile {

constexpr int32_t kFileSlotCount = 10;

// The table itself, all zero at start. Read it; change it only through the
// operations below.
extern FileSlot FileSlotTable[kFileSlotCount];

using FileErrorHandler = uint8_t (*)(int32_t status, const char* fileName, const char* label);

// The default handler: 0, do not retry.
uint8_t GiveUp(int32_t status, const char* fileName, const char* label);

// Installs `handler` (nullptr restores GiveUp) and returns the previous one.
FileErrorHandler SetFileErrorHandler(FileErrorHandler handler);

// Opens `name` with a standard open mode ("rb", "wb", "r+b", ...) in the
// first Closed slot: the handle, or -3. A mode starting with 't' reads the
// whole file into a Memory slot instead (LoadWholeFile(name, 0, 0)).
int32_t OpenFile(const char* name, const char* mode);

// Closes a Stream slot or frees a Memory slot: 0, -5 (the close failed; the
// slot is Closed all the same, a stream cannot be closed twice) or -6.
int32_t CloseFile(int32_t handle);

// Stream slots: reads `count` bytes to `destination`, or when it is nullptr
// to where the previous read of this slot ended. 0, or with partialOk the
// number of bytes read; -1 short read (or no destination), -2, -6.
int32_t ReadFile(int32_t handle, void* destination, int32_t count, int32_t partialOk);

// Stream slots: writes `count` bytes. 0, -6 or -8.
int32_t WriteFile(int32_t handle, const void* data, int32_t count);

// Stream slots: formatted output like fprintf. 0, -6 or -8.
int32_t WriteText(int32_t handle, const char* format, ...);

// Stream slots: pushes buffered output and the system's cache to disk.
// 0, -6 or -8.
int32_t FlushFile(int32_t handle);

// Origin 0 from the start, 1 from the current position, 2: Stream slots
// from the end, Memory slots back from the current position. 0, -2 or -6.
// A Memory position beyond the data becomes 0 and gives -2.
int32_t SeekFile(int32_t handle, int32_t offset, int32_t origin);

// Length of the file `name` in bytes without using a slot, or -3 (cannot be
// opened or is 2 GiB or larger) or -5.
int32_t LenFile(const char* name);

// 1 at end, 0 not at end, -2 or -6. unitSize 1 for 8-bit text, 2 for
// 16-bit text; 0 or less counts as 1. A Memory slot is at end when its
// position (in units) reaches length / unitSize; a Stream slot when less
// than one unit is left.
int32_t EoFile(int32_t handle, int32_t unitSize);

// Reads `size` bytes from `offset` (size below 1: the whole file, which must
// not be empty) into a Memory slot: its handle, or -3.
int32_t LoadWholeFile(const char* name, int32_t offset, int32_t size);

// A Memory slot holding a copy of `size` bytes at `data`, named `name` for
// the handler, exactly as LoadWholeFile leaves one for a file with these
// bytes: its handle, or -3 (no bytes, as for an empty file; the name does
// not fit a slot; no slot is free; out of memory).
int32_t LoadBytes(const char* name, const void* data, int32_t size);

// Memory slots: takes the next token. Skips the delimiters d1..d4 (0 counts
// as NUL), copies up to the next delimiter (consumed), the end, or maxChars
// characters (0: no limit) to `destination` (may be nullptr) with a
// terminator, then skips further delimiters. 0 or -6.
int32_t ReadToken(int32_t handle, char* destination, int32_t maxChars, char d1, char d2, char d3,
                  char d4);

// The same on 16-bit units; `position` counts units, the data holds
// length / 2 units, each delimiter byte is widened with its sign.
int32_t ReadTokenWide(int32_t handle, char16_t* destination, int32_t maxChars, char d1, char d2,
                      char d3, char d4);

// Memory slots: scanf-like reading. A newline in the format skips to the
// start of the next line; "%" and a conversion reads one token into the
// next argument; every other character is ignored. Conversions (letters in
// either case; an optional width caps the string conversions, whose
// destination then needs width + 1 elements):
//   %c  char[2]      one character          %s   char*      a word
//   %d  int32_t*     decimal                %w   char16_t*  a wide word
//   %f  float*       floating point         %ls  char*      rest of the line
//   %x  uint32_t*    hexadecimal            %lw  char16_t*  rest of the line, wide
//   %ld long*, %lx unsigned long*
// Words end at LF, blank, TAB or CR. 0; -1 when the slot is at its end on
// entry; -9 when a token read fails.
int32_t ReadFormatted(int32_t handle, const char* format, ...);

// Memory slots: the next line, without copying. Skips CR, LF and NUL, points
// `line` at the text up to the next CR, LF or NUL (any length) and moves
// past the line breaks after it. 0, -1 when only line breaks are left, -6.
int32_t ReadLine(int32_t handle, const char** line, uint32_t* length);

// The same on 16-bit units (position in units, as ReadTokenWide).
int32_t ReadLineWide(int32_t handle, const char16_t** line, uint32_t* length);

}  // namespace textfile
