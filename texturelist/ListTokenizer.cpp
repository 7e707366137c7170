#include "texturelist/ListTokenizer.h"

#include <cstring>

namespace {

const std::size_t kBlockSize = 256 * 1024;

}  // namespace

ListTokenizer::ListTokenizer(std::FILE* in) : in_(in), buffer_(kBlockSize) {}

bool ListTokenizer::Refill(std::size_t& keep) {
    if (failed_) {
        return false;
    }
    std::size_t kept = end_ - keep;
    if (kept > 0 && keep > 0) {
        std::memmove(buffer_.data(), buffer_.data() + keep, kept);
    }
    next_ -= keep;
    end_ = kept;
    keep = 0;
    if (end_ == buffer_.size()) {
        buffer_.resize(buffer_.size() * 2);  // a token longer than the buffer
    }
    std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, in_);
    end_ += got;
    if (got == 0 && std::ferror(in_) != 0) {
        failed_ = true;
    }
    return got > 0;
}

// Tokens that may reach the end of the block.
bool ListTokenizer::NextTokenSlow(const char*& begin, std::size_t& length) {
    using namespace listtokenizer;
    for (;;) {
        while (next_ < end_ && ClassOf(buffer_[next_]) == kWhitespace) {
            ++next_;
        }
        if (next_ < end_) {
            break;
        }
        std::size_t all = end_;
        if (!Refill(all)) {
            return false;
        }
    }
    std::size_t start = next_;
    if (ClassOf(buffer_[next_]) == kDelimiter) {
        ++next_;
    } else {
        for (;;) {
            while (next_ < end_ && ClassOf(buffer_[next_]) == kText) {
                ++next_;
            }
            // A word that runs to the end of the block goes on in the next one.
            if (next_ < end_ || !Refill(start)) {
                break;
            }
        }
    }
    begin = buffer_.data() + start;
    length = next_ - start;
    return true;
}
