#include "texturelist/ListWriter.h"

#include <cstring>

#include "textfile/SafeReplace.h"

namespace {

const std::size_t kFlushAt = 64 * 1024;

}  // namespace

ListWriter::ListWriter(std::FILE* out) : out(out) {
    buffer.reserve(kFlushAt + 4096);
}

ListWriter::ListWriter(std::string* memory) : memory(memory) {}

void ListWriter::Put(const char* text, std::size_t length) {
    const char* end = text + length;
    while (text < end) {
        const char* lf = static_cast<const char*>(std::memchr(text, '\n', end - text));
        const char* stop = lf != nullptr ? lf : end;
        buffer.append(text, stop);
        if (lf == nullptr) {
            break;
        }
        buffer.append("\r\n", 2);
        text = lf + 1;
    }
    if (buffer.size() >= kFlushAt) {
        Flush();
    }
}

void ListWriter::Put(const char* text) {
    Put(text, std::strlen(text));
}

bool ListWriter::Flush() {
    if (!buffer.empty()) {
        if (memory != nullptr) {
            memory->append(buffer);
        } else {
            ok = ok && safereplace::Write(out, buffer.data(), buffer.size());
        }
        buffer.clear();
    }
    return ok;
}
