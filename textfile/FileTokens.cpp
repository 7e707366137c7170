// Reading text from a Memory slot: tokens, lines and scanf-like formats.
// 16-bit units are taken in host order; the x86 hosts this runs on are
// little-endian like the UTF-16LE files they read.
#include "textfile/FileTable.h"
#include "textfile/FileTableDetail.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace textfile {

namespace {

template <typename Unit>
uint32_t UnitCount(const FileSlot& slot) {
    return slot.length / sizeof(Unit);
}

template <typename Unit>
Unit UnitAt(const FileSlot& slot, uint32_t index) {
    Unit unit;
    std::memcpy(&unit, slot.buffer + static_cast<size_t>(index) * sizeof(Unit), sizeof(Unit));
    return unit;
}

// Delimiter bytes are widened with their sign, so 0xFF stands for 0xFFFF.
template <typename Unit>
Unit Widened(char delimiter) {
    return static_cast<Unit>(static_cast<int16_t>(static_cast<signed char>(delimiter)));
}

template <typename Unit>
int32_t TakeToken(int32_t handle, const char* label, Unit* destination, int32_t maxChars, char c1,
                  char c2, char c3, char c4) {
    FileSlot* slot = CheckedSlot(handle, label, kAcceptMemory);
    if (slot == nullptr) {
        return -6;
    }
    const Unit d1 = Widened<Unit>(c1), d2 = Widened<Unit>(c2);
    const Unit d3 = Widened<Unit>(c3), d4 = Widened<Unit>(c4);
    auto isDelimiter = [&](Unit u) { return u == d1 || u == d2 || u == d3 || u == d4; };
    const uint32_t end = UnitCount<Unit>(*slot);
    // The position is shared with reads of the other width and may stand
    // beyond this width's data.
    uint32_t pos = slot->position < end ? slot->position : end;
    while (pos < end && isDelimiter(UnitAt<Unit>(*slot, pos))) {
        ++pos;
    }
    uint32_t copied = 0;
    const uint32_t limit = maxChars > 0 ? static_cast<uint32_t>(maxChars) : UINT32_MAX;
    while (pos < end && copied < limit) {
        Unit unit = UnitAt<Unit>(*slot, pos);
        if (isDelimiter(unit)) {
            break;
        }
        if (destination != nullptr) {
            destination[copied] = unit;
        }
        ++copied;
        ++pos;
    }
    while (pos < end && isDelimiter(UnitAt<Unit>(*slot, pos))) {
        ++pos;
    }
    if (destination != nullptr) {
        destination[copied] = 0;
    }
    slot->position = pos;
    return 0;
}

template <typename Unit>
bool IsLineBreak(Unit unit) {
    return unit == Unit('\n') || unit == Unit('\r') || unit == Unit(0);
}

template <typename Unit>
int32_t TakeLine(int32_t handle, const char* label, const Unit** line, uint32_t* length) {
    FileSlot* slot = CheckedSlot(handle, label, kAcceptMemory);
    if (slot == nullptr) {
        return -6;
    }
    const Unit* data = reinterpret_cast<const Unit*>(slot->buffer);
    const uint32_t end = UnitCount<Unit>(*slot);
    uint32_t pos = slot->position < end ? slot->position : end;
    while (pos < end && IsLineBreak(data[pos])) {
        ++pos;
    }
    if (pos == end) {
        slot->position = end;
        return -1;
    }
    const uint32_t start = pos;
    while (pos < end && !IsLineBreak(data[pos])) {
        ++pos;
    }
    *line = data + start;
    *length = pos - start;
    while (pos < end && IsLineBreak(data[pos])) {
        ++pos;
    }
    slot->position = pos;
    return 0;
}

// Reads one numeric token (at most `limit` characters) and scans it.
template <typename T>
int32_t ScanNumber(int32_t handle, int32_t limit, const char* scanFormat, T* target) {
    char scratch[256];
    if (ReadToken(handle, scratch, limit, '\n', ' ', '\t', '\r') != 0) {
        return -9;
    }
    if (target != nullptr) {
        std::sscanf(scratch, scanFormat, target);
    }
    return 0;
}

}  // namespace

int32_t ReadToken(int32_t handle, char* destination, int32_t maxChars, char d1, char d2, char d3,
                  char d4) {
    return TakeToken<char>(handle, "ReadToken", destination, maxChars, d1, d2, d3, d4);
}

int32_t ReadTokenWide(int32_t handle, char16_t* destination, int32_t maxChars, char d1, char d2,
                      char d3, char d4) {
    return TakeToken<char16_t>(handle, "ReadToken", destination, maxChars, d1, d2, d3, d4);
}

int32_t ReadLine(int32_t handle, const char** line, uint32_t* length) {
    return TakeLine<char>(handle, "ReadLine", line, length);
}

int32_t ReadLineWide(int32_t handle, const char16_t** line, uint32_t* length) {
    return TakeLine<char16_t>(handle, "ReadLine", line, length);
}

int32_t ReadFormatted(int32_t handle, const char* format, ...) {
    if (EoFile(handle, 1) != 0) {
        return -1;
    }
    std::va_list arguments;
    va_start(arguments, format);
    int32_t result = 0;
    for (const char* p = format; *p != '\0' && result == 0; ++p) {
        if (*p == '\n') {
            result = ReadToken(handle, nullptr, 0, '\n', '\r', 0, 0) == 0 ? 0 : -9;
            continue;
        }
        if (*p != '%') {
            continue;  // no literal matching
        }
        int32_t width = 0;
        while (std::isdigit(static_cast<unsigned char>(p[1])) && width < 100000000) {
            width = width * 10 + (*++p - '0');
        }
        bool isLong = p[1] == 'l' || p[1] == 'L';
        if (isLong) {
            ++p;
        }
        if (p[1] == '\0') {
            break;
        }
        const char conversion = static_cast<char>(std::tolower(static_cast<unsigned char>(*++p)));
        int32_t status = 0;
        switch (conversion) {
        case 'c':
            if (isLong) continue;
            status = ReadToken(handle, va_arg(arguments, char*), 1, 0, 0, 0, 0);
            break;
        case 'd':
            status = isLong ? ScanNumber(handle, 64, "%ld", va_arg(arguments, long*))
                            : ScanNumber(handle, 32, "%d", va_arg(arguments, int*));
            break;
        case 'x':
            status = isLong ? ScanNumber(handle, 64, "%lx", va_arg(arguments, unsigned long*))
                            : ScanNumber(handle, 32, "%x", va_arg(arguments, unsigned*));
            break;
        case 'f':
            if (isLong) continue;
            status = ScanNumber(handle, 32, "%f", va_arg(arguments, float*));
            break;
        case 's':
            status =
                isLong ? ReadToken(handle, va_arg(arguments, char*), width, '\n', '\r', 0, 0)
                       : ReadToken(handle, va_arg(arguments, char*), width, '\n', ' ', '\t', '\r');
            break;
        case 'w':
            status = isLong ? ReadTokenWide(handle, va_arg(arguments, char16_t*), width, '\n', '\r',
                                            0, 0)
                            : ReadTokenWide(handle, va_arg(arguments, char16_t*), width, '\n', ' ',
                                            '\t', '\r');
            break;
        default: continue;  // unknown conversion: skipped, no argument taken
        }
        if (status != 0) {
            result = -9;
        }
    }
    va_end(arguments);
    return result;
}

}  // namespace textfile
