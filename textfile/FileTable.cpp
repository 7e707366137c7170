#include "textfile/FileTable.h"
#include "textfile/FileTableDetail.h"

#include <cstdarg>
#include <cstring>
#include <new>
#include <sys/stat.h>

#include "textfile/SafeReplace.h"

namespace textfile {

FileSlot FileSlotTable[kFileSlotCount];

namespace {
FileErrorHandler currentHandler = GiveUp;
}  // namespace

bool AskRetry(int32_t status, const char* name, const char* label) {
    return currentHandler(status, name != nullptr ? name : "", label) != 0;
}

FileSlot* CheckedSlot(int32_t handle, const char* label, unsigned acceptedModes) {
    if (handle < 0 || handle >= kFileSlotCount) {
        AskRetry(-6, "", label);
        return nullptr;
    }
    FileSlot& slot = FileSlotTable[handle];
    if ((acceptedModes & (1u << slot.mode)) == 0) {
        AskRetry(-6, slot.name, label);
        return nullptr;
    }
    return &slot;
}

namespace {

int32_t FirstClosedSlot() {
    for (int32_t i = 0; i < kFileSlotCount; ++i) {
        if (FileSlotTable[i].mode == Closed) {
            return i;
        }
    }
    return -1;
}

int DescriptorOf(std::FILE* stream) {
#ifdef _WIN32
    return _fileno(stream);
#else
    return fileno(stream);
#endif
}

// Length of an open file; false when it cannot be measured or does not fit
// the table's 32-bit signed lengths.
bool LengthOf(int descriptor, uint32_t* length) {
    struct stat info;
    if (fstat(descriptor, &info) != 0 || info.st_size < 0 || info.st_size > INT32_MAX) {
        return false;
    }
    *length = static_cast<uint32_t>(info.st_size);
    return true;
}

bool NameFits(const char* name) {
    return std::strlen(name) < static_cast<size_t>(kSlotNameSize);
}

}  // namespace

uint8_t GiveUp(int32_t, const char*, const char*) {
    return 0;
}

FileErrorHandler SetFileErrorHandler(FileErrorHandler handler) {
    FileErrorHandler previous = currentHandler;
    currentHandler = handler != nullptr ? handler : GiveUp;
    return previous;
}

int32_t OpenFile(const char* name, const char* mode) {
    if (name == nullptr || mode == nullptr) {
        AskRetry(-3, name, "OpenFile");
        return -3;
    }
    if (mode[0] == 't') {
        return LoadWholeFile(name, 0, 0);
    }
    // A longer name cannot be kept in the slot; retrying cannot change that.
    if (!NameFits(name)) {
        AskRetry(-3, name, "OpenFile");
        return -3;
    }
    while (FirstClosedSlot() < 0) {
        if (!AskRetry(-3, name, "OpenFile")) {
            return -3;
        }
    }
    std::FILE* stream;
    while ((stream = std::fopen(name, mode)) == nullptr) {
        if (!AskRetry(-3, name, "OpenFile")) {
            return -3;
        }
    }
    // Searched again: a handler that opened files while we waited may have
    // taken the slot found above.
    int32_t handle = FirstClosedSlot();
    if (handle < 0) {
        std::fclose(stream);
        AskRetry(-3, name, "OpenFile");
        return -3;
    }
    FileSlot& slot = FileSlotTable[handle];
    slot = FileSlot{};
    slot.stream = stream;
    slot.descriptor = DescriptorOf(stream);
    if (!LengthOf(slot.descriptor, &slot.length)) {
        slot.length = 0;
    }
    slot.mode = Stream;
    // NameFits above: the name and its terminator fit the slot.
    std::memcpy(slot.name, name, std::strlen(name) + 1);
    return handle;
}

int32_t CloseFile(int32_t handle) {
    FileSlot* slot = CheckedSlot(handle, "CloseFile", kAcceptStream | kAcceptMemory);
    if (slot == nullptr) {
        return -6;
    }
    int32_t result = 0;
    if (slot->mode == Stream) {
        // fclose releases the stream even when it fails, so a failed close
        // is reported, never repeated.
        if (!safereplace::Close(slot->stream)) {
            AskRetry(-5, slot->name, "CloseFile");
            result = -5;
        }
    } else if (slot->buffer == nullptr) {
        result = -6;
    } else {
        delete[] slot->buffer;
    }
    *slot = FileSlot{};
    return result;
}

int32_t ReadFile(int32_t handle, void* destination, int32_t count, int32_t partialOk) {
    FileSlot* slot = CheckedSlot(handle, "ReadFile", kAcceptStream);
    if (slot == nullptr) {
        return -6;
    }
    if (destination != nullptr) {
        slot->buffer = static_cast<uint8_t*>(destination);
    }
    if (slot->buffer == nullptr) {
        AskRetry(-6, slot->name, "ReadFile");
        return -1;
    }
    if (count <= 0) {
        return 0;
    }
    size_t got;
    for (;;) {
        got = std::fread(slot->buffer, 1, static_cast<size_t>(count), slot->stream);
        if (got == static_cast<size_t>(count) || partialOk != 0) {
            break;
        }
        if (!AskRetry(-1, slot->name, "ReadFile")) {
            return -1;
        }
        std::clearerr(slot->stream);
        if (std::fseek(slot->stream, -static_cast<long>(got), SEEK_CUR) != 0) {
            return -2;
        }
    }
    slot->buffer += got;
    return partialOk != 0 ? static_cast<int32_t>(got) : 0;
}

int32_t WriteFile(int32_t handle, const void* data, int32_t count) {
    FileSlot* slot = CheckedSlot(handle, "WriteFile", kAcceptStream);
    if (slot == nullptr) {
        return -6;
    }
    if (count <= 0) {
        return 0;
    }
    while (!safereplace::Write(slot->stream, data, static_cast<size_t>(count))) {
        if (!AskRetry(-8, slot->name, "WriteFile")) {
            return -8;
        }
        std::clearerr(slot->stream);
    }
    return 0;
}

int32_t WriteText(int32_t handle, const char* format, ...) {
    // A Memory slot has no stream to print to.
    FileSlot* slot = CheckedSlot(handle, "WriteText", kAcceptStream);
    if (slot == nullptr) {
        return -6;
    }
    std::va_list arguments;
    va_start(arguments, format);
    int32_t result = 0;
    for (;;) {
        std::va_list attempt;
        va_copy(attempt, arguments);
        int printed = std::vfprintf(slot->stream, format, attempt);
        va_end(attempt);
        if (printed >= 0) {
            break;
        }
        if (!AskRetry(-8, slot->name, "WriteText")) {
            result = -8;
            break;
        }
        std::clearerr(slot->stream);
    }
    va_end(arguments);
    return result;
}

int32_t FlushFile(int32_t handle) {
    FileSlot* slot = CheckedSlot(handle, "FlushFile", kAcceptStream);
    if (slot == nullptr) {
        return -6;
    }
    while (!safereplace::FlushToDisk(slot->stream)) {
        if (!AskRetry(-8, slot->name, "FlushFile")) {
            return -8;
        }
        std::clearerr(slot->stream);
    }
    return 0;
}

int32_t SeekFile(int32_t handle, int32_t offset, int32_t origin) {
    FileSlot* slot = CheckedSlot(handle, "SeekFile", kAcceptStream | kAcceptMemory);
    if (slot == nullptr) {
        return -6;
    }
    if (slot->mode == Stream) {
        while (std::fseek(slot->stream, offset, origin) != 0) {
            if (!AskRetry(-2, slot->name, "SeekFile")) {
                return -2;
            }
        }
        return 0;
    }
    // Unsigned arithmetic: a position below zero wraps and fails the test.
    uint32_t target;
    switch (origin) {
    case 0: target = static_cast<uint32_t>(offset); break;
    case 1: target = slot->position + static_cast<uint32_t>(offset); break;
    case 2: target = slot->position - static_cast<uint32_t>(offset); break;
    default: target = UINT32_MAX; break;
    }
    if (target > slot->length) {
        slot->position = 0;
        AskRetry(-2, slot->name, "SeekFile");
        return -2;
    }
    slot->position = target;
    return 0;
}

int32_t LenFile(const char* name) {
    if (name == nullptr) {
        AskRetry(-3, name, "LenFile");
        return -3;
    }
    std::FILE* file;
    while ((file = std::fopen(name, "rb")) == nullptr) {
        if (!AskRetry(-3, name, "LenFile")) {
            return -3;
        }
    }
    uint32_t length = 0;
    bool measured = LengthOf(DescriptorOf(file), &length);
    if (std::fclose(file) != 0) {
        AskRetry(-5, name, "LenFile");
        return -5;
    }
    if (!measured) {
        AskRetry(-3, name, "LenFile");
        return -3;
    }
    return static_cast<int32_t>(length);
}

int32_t EoFile(int32_t handle, int32_t unitSize) {
    if (handle < 0 || handle >= kFileSlotCount) {
        AskRetry(-6, "", "EoFile");
        return -6;
    }
    FileSlot& slot = FileSlotTable[handle];
    if (slot.mode == Closed) {
        AskRetry(-6, slot.name, "EoFile File not open");
        return -6;
    }
    // Unit size 0 would divide by zero; it counts as 1 like a negative one.
    uint32_t unit = unitSize > 1 ? static_cast<uint32_t>(unitSize) : 1u;
    if (slot.mode == Memory) {
        return slot.position >= slot.length / unit ? 1 : 0;
    }
    // At end when less than one whole unit is left; the position stays.
    long here = std::ftell(slot.stream);
    long end = -1;
    if (here >= 0 && std::fseek(slot.stream, 0, SEEK_END) == 0) {
        end = std::ftell(slot.stream);
    }
    if (end < 0 || std::fseek(slot.stream, here, SEEK_SET) != 0) {
        AskRetry(-2, slot.name, "EoFile");
        return -2;
    }
    return end - here < static_cast<long>(unit) ? 1 : 0;
}

int32_t LoadWholeFile(const char* name, int32_t offset, int32_t size) {
    if (name == nullptr) {
        AskRetry(-3, name, "OpenFile");
        return -3;
    }
    if (size < 1) {
        int32_t length = LenFile(name);
        if (length < 1) {
            return -3;  // missing, unmeasurable or empty
        }
        size = length;
        offset = 0;
    }
    int32_t handle = OpenFile(name, "rb");
    if (handle < 0) {
        return -3;
    }
    FileSlot& slot = FileSlotTable[handle];
    uint8_t* data = nullptr;
    bool loaded = SeekFile(handle, offset, 0) == 0 &&
                  (data = new (std::nothrow) uint8_t[static_cast<size_t>(size)]) != nullptr &&
                  ReadFile(handle, data, size, 0) == 0;
    if (!loaded) {
        delete[] data;
        CloseFile(handle);
        return -3;
    }
    if (std::fclose(slot.stream) != 0) {
        AskRetry(-5, slot.name, "CloseFile");
        delete[] data;
        slot = FileSlot{};
        return -3;
    }
    slot.stream = nullptr;
    slot.descriptor = 0;
    slot.mode = Memory;
    slot.buffer = data;
    slot.length = static_cast<uint32_t>(size);
    slot.position = 0;
    return handle;
}

int32_t LoadBytes(const char* name, const void* data, int32_t size) {
    if (name == nullptr || !NameFits(name) || (data == nullptr && size > 0)) {
        AskRetry(-3, name, "OpenFile");
        return -3;
    }
    if (size < 1) {
        return -3;  // as an empty file
    }
    while (FirstClosedSlot() < 0) {
        if (!AskRetry(-3, name, "OpenFile")) {
            return -3;
        }
    }
    uint8_t* copy = new (std::nothrow) uint8_t[static_cast<size_t>(size)];
    if (copy == nullptr) {
        return -3;
    }
    std::memcpy(copy, data, static_cast<size_t>(size));
    const int32_t handle = FirstClosedSlot();
    FileSlot& slot = FileSlotTable[handle];
    slot = FileSlot{};
    std::memcpy(slot.name, name, std::strlen(name) + 1);
    slot.mode = Memory;
    slot.buffer = copy;
    slot.length = static_cast<uint32_t>(size);
    return handle;
}

}  // namespace textfile
