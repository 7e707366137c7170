#include "texturelist/EntryTable.h"

#include <algorithm>
#include <new>
#include <stdexcept>

std::vector<EntryTable::Record>::const_iterator EntryTable::LowerBound(std::uint32_t id) const {
    Settle();
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
    puts_.clear();
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
    Settle();
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
    // Room for every gathered entry in records_, grown by doubling, so that
    // settling them needs no memory of its own.
    const std::size_t wanted = records_.size() + puts_.size() + 1;
    if (records_.capacity() < wanted) {
        records_.reserve(std::max(wanted, 2 * records_.capacity()));
    }
    puts_.push_back({id, texts_.size(), text.size()});
    texts_.append(text.data(), text.size());
}

void EntryTable::Settle() const {
    if (puts_.empty()) {
        return;
    }
    // By id, and of equal ids in the order put (later texts lie further on
    // in the store; two empty texts at the same offset are alike anyway).
    const auto putOrder = [](const Record& a, const Record& b) {
        return a.id != b.id ? a.id < b.id : a.offset < b.offset;
    };
    if (!std::is_sorted(puts_.begin(), puts_.end(), putOrder)) {
        std::sort(puts_.begin(), puts_.end(), putOrder);
    }
    // The last put of each id holds.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < puts_.size(); ++i) {
        if (i + 1 < puts_.size() && puts_[i + 1].id == puts_[i].id) {
            continue;
        }
        puts_[kept++] = puts_[i];
    }
    puts_.resize(kept);
    // Ids already in the table are replaced in place, the others merged in
    // from the back, where nothing not yet moved is overwritten.
    std::size_t replaced = 0;
    for (std::size_t r = 0, p = 0; r < records_.size() && p < puts_.size();) {
        if (records_[r].id < puts_[p].id) {
            ++r;
        } else if (puts_[p].id < records_[r].id) {
            ++p;
        } else {
            records_[r++] = puts_[p++];
            ++replaced;
        }
    }
    std::size_t old = records_.size();
    std::size_t added = puts_.size();
    records_.resize(old + added - replaced);
    std::size_t to = records_.size();
    while (added > 0) {
        const Record& put = puts_[added - 1];
        if (old > 0 && records_[old - 1].id >= put.id) {
            if (records_[old - 1].id == put.id) {
                --added;  // replaced above
            }
            records_[--to] = records_[--old];
        } else {
            records_[--to] = put;
            --added;
        }
    }
    puts_.clear();
}
