#include "texturelist/ListWriter.h"

#include <cstring>

#include "textfile/SafeReplace.h"

namespace {

const std::size_t kFlushAt = 64 * 1024;

}  // namespace

ListWriter::ListWriter(std::FILE* out) : out_(out) {
    buffer_.reserve(kFlushAt + 4096);
}

ListWriter::ListWriter(std::string* memory) : memory_(memory) {}

void ListWriter::Put(const char* text, std::size_t length) {
    const char* end = text + length;
    while (text < end) {
        const char* lf = static_cast<const char*>(std::memchr(text, '\n', end - text));
        const char* stop = lf != nullptr ? lf : end;
        buffer_.append(text, stop);
        if (lf == nullptr) {
            break;
        }
        buffer_.append("\r\n", 2);
        text = lf + 1;
    }
    if (buffer_.size() >= kFlushAt) {
        Flush();
    }
}

void ListWriter::Put(const char* text) {
    Put(text, std::strlen(text));
}

bool ListWriter::Flush() {
    if (!buffer_.empty()) {
        if (memory_ != nullptr) {
            memory_->append(buffer_);
        } else {
            ok_ = ok_ && safereplace::Write(out_, buffer_.data(), buffer_.size());
        }
        buffer_.clear();
    }
    return ok_;
}
