// The bytes of a name, a comment or a value, as a node shows them: a view
// of bytes its document keeps, with a length.
//
// A blob holds nothing (data() == nullptr, Length() == -1), or Length()
// bytes followed by two zero bytes, so that every text is terminated for
// both 8-bit and 16-bit characters. The bytes stay valid while the node
// that gave the blob lives and keeps that name, comment or value.
#pragma once

#include <cstdint>
#include <string_view>

class IniBlob {
public:
    IniBlob() = default;
    // `length` bytes at `data` and two zeros after them; -1: nothing.
    IniBlob(const uint8_t* data, int32_t length)
        : bytes(length >= 0 ? data : nullptr), length(length >= 0 ? length : -1) {}

    const uint8_t* data() const { return bytes; }
    int32_t Length() const { return length; }
    bool HoldsData() const { return length >= 0; }

    // The bytes as a view; empty when the blob holds nothing.
    std::string_view Bytes() const {
        return length >= 0 ? std::string_view(reinterpret_cast<const char*>(bytes),
                                              static_cast<size_t>(length))
                           : std::string_view();
    }

private:
    const uint8_t* bytes = nullptr;
    int32_t length = -1;
};
