// The bytes of a name, a comment or a value, as a node shows them: a view
// of bytes its document keeps, with a length.
//
// A blob holds nothing (data() == nullptr, length() == -1), or length()
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
        : data_(length >= 0 ? data : nullptr), length_(length >= 0 ? length : -1) {}

    const uint8_t* data() const { return data_; }
    int32_t length() const { return length_; }
    bool holdsData() const { return length_ >= 0; }

    // The bytes as a view; empty when the blob holds nothing.
    std::string_view bytes() const {
        return length_ >= 0 ? std::string_view(reinterpret_cast<const char*>(data_),
                                               static_cast<size_t>(length_))
                            : std::string_view();
    }

private:
    const uint8_t* data_ = nullptr;
    int32_t length_ = -1;
};
