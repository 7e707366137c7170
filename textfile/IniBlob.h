// An owned block of bytes with a length: a name, a comment or a value.
//
// A blob holds nothing (data() == nullptr, length() == -1) until Set.
// Set(source, n) copies n bytes and appends two zero bytes, so every text
// is terminated for both 8-bit and 16-bit characters; with no source it
// stores n + 2 zero bytes.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

class IniBlob {
public:
    IniBlob() = default;
    ~IniBlob();
    IniBlob(const IniBlob&) = delete;
    IniBlob& operator=(const IniBlob&) = delete;

    // 0 stored; -1 for a negative size (nothing changes); -2 when memory
    // ran out (the blob then holds nothing).
    int32_t Set(const void* source, int32_t size);
    void Clear();
    void Swap(IniBlob& other) {
        std::swap(data_, other.data_);
        std::swap(length_, other.length_);
    }

    const uint8_t* data() const { return data_; }
    int32_t length() const { return length_; }
    bool holdsData() const { return data_ != nullptr; }

    // The bytes as a view; empty when the blob holds nothing.
    std::string_view bytes() const {
        return data_ != nullptr ? std::string_view(reinterpret_cast<const char*>(data_),
                                                   static_cast<size_t>(length_))
                                : std::string_view();
    }

private:
    uint8_t* data_ = nullptr;
    int32_t length_ = -1;
};
