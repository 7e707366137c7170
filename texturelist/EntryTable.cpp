#include "texturelist/EntryTable.h"

#include <algorithm>
#include <new>
#include <stdexcept>

std::vector<EntryTable::Record>::const_iterator EntryTable::LowerBound(std::uint32_t id) const {
    return std::lower_bound(records_.begin(), records_.end(), id,
                            [](const Record& record, std::uint32_t wanted) {
                                return record.id < wanted;
                            });
}

EntryTable::const_iterator EntryTable::find(std::uint32_t id) const {
    auto found = LowerBound(id);
    if (found == records_.end() || found->id != id) {
        return end();
    }
    return {records_.data() + (found - records_.begin()), texts_.data()};
}

std::string_view EntryTable::at(std::uint32_t id) const {
    const_iterator found = find(id);
    if (found == end()) {
        throw std::out_of_range("no texture entry with this id");
    }
    return (*found).second;
}

void EntryTable::clear() {
    records_.clear();
    texts_.clear();
    inOrder_ = true;
}

void EntryTable::ReserveTexts(std::size_t textBytes) {
    // The guess may be far too large (a file of mostly blanks); when it
    // cannot be had, the texts grow as they come.
    try {
        texts_.reserve(textBytes);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
}

void EntryTable::Append(std::uint32_t id, const char* text, std::size_t length) {
    if (!records_.empty() && records_.back().id >= id) {
        inOrder_ = false;
    }
    records_.push_back({id, texts_.size(), length});
    texts_.append(text, length);
}

void EntryTable::FinishAppending() {
    if (inOrder_) {
        return;
    }
    // Stable, so that the first of equal ids comes first and unique keeps it.
    std::stable_sort(records_.begin(), records_.end(),
                     [](const Record& a, const Record& b) { return a.id < b.id; });
    records_.erase(std::unique(records_.begin(), records_.end(),
                               [](const Record& a, const Record& b) { return a.id == b.id; }),
                   records_.end());
    inOrder_ = true;
}

void EntryTable::Put(std::uint32_t id, std::string_view text) {
    const std::size_t offset = texts_.size();
    texts_.append(text.data(), text.size());
    auto found = records_.begin() + (LowerBound(id) - records_.cbegin());
    if (found != records_.end() && found->id == id) {
        found->offset = offset;
        found->length = text.size();
    } else {
        records_.insert(found, {id, offset, text.size()});
    }
}
