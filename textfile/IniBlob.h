// An owned block of bytes with a length: a name, a comment or a value.
//
// A blob holds nothing (data() == nullptr, length() == -1) until Set.
// Set(source, n) copies n bytes and appends two zero bytes, so every text
// is terminated for both 8-bit and 16-bit characters; with no source it
// stores n + 2 zero bytes. Short blocks (most names and values) are kept
// inside the blob itself, so data() stays valid only while the blob lives
// and is not set again.
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
        std::swap(storage_, other.storage_);
        std::swap(length_, other.length_);
    }

    const uint8_t* data() const {
        return length_ < 0 ? nullptr : length_ <= kInlineSize ? storage_.inside : storage_.heap;
    }
    int32_t length() const { return length_; }
    bool holdsData() const { return length_ >= 0; }

    // The bytes as a view; empty when the blob holds nothing.
    std::string_view bytes() const {
        return length_ >= 0 ? std::string_view(reinterpret_cast<const char*>(data()),
                                               static_cast<size_t>(length_))
                            : std::string_view();
    }

private:
    static constexpr int32_t kInlineSize = 14;  // and the two zeros
    union Storage {
        uint8_t* heap;
        uint8_t inside[kInlineSize + 2];
    } storage_{};
    int32_t length_ = -1;
};
