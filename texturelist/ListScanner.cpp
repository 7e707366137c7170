#include "texturelist/ListScanner.h"

#include <algorithm>
#include <stdexcept>

void ListScanner::Reserve(std::size_t length) {
    if (length > (text.max_size() - used) / 2) {
        throw std::length_error("texture list block text too long");
    }
    const std::size_t needed = used + 2 * length;
    if (text.size() < needed) {
        // Doubling: a block longer than every piece still costs linear time.
        text.resize(std::max(needed, 2 * text.size()));
    }
}
