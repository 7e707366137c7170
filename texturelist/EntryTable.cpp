#include "texturelist/EntryTable.h"

#include <algorithm>
#include <new>
#include <stdexcept>

std::vector<EntryTable::Record>::const_iterator EntryTable::LowerBound(std::uint32_t id) const {
    Settle();
    return std::lower_bound(records.begin(), records.end(), id,
                            [](const Record& record, std::uint32_t wanted) {
                                return record.id < wanted;
                            });
}

EntryTable::const_iterator EntryTable::Find(std::uint32_t id) const {
    auto found = LowerBound(id);
    if (found == records.end() || found->id != id) {
        return end();
    }
    return {records.data() + (found - records.begin()), texts.data()};
}

std::string_view EntryTable::At(std::uint32_t id) const {
    const_iterator found = Find(id);
    if (found == end()) {
        throw std::out_of_range("no texture entry with this id");
    }
    return (*found).second;
}

void EntryTable::Clear() {
    records.clear();
    puts.clear();
    texts.clear();
    inOrder = true;
}

void EntryTable::ReserveTexts(std::size_t textBytes) {
    // The guess may be far too large (a file of mostly blanks); when it
    // cannot be had, the texts grow as they come.
    try {
        texts.reserve(textBytes);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
}

void EntryTable::Append(std::uint32_t id, const char* text, std::size_t length) {
    Settle();
    if (!records.empty() && records.back().id >= id) {
        inOrder = false;
    }
    records.push_back({id, texts.size(), length});
    texts.append(text, length);
}

void EntryTable::FinishAppending() {
    if (inOrder) {
        return;
    }
    // Stable, so that the first of equal ids comes first and unique keeps it.
    std::stable_sort(records.begin(), records.end(),
                     [](const Record& a, const Record& b) { return a.id < b.id; });
    records.erase(std::unique(records.begin(), records.end(),
                              [](const Record& a, const Record& b) { return a.id == b.id; }),
                  records.end());
    inOrder = true;
}

void EntryTable::Put(std::uint32_t id, std::string_view text) {
    // Room for every gathered entry in records, grown by doubling, so that
    // settling them needs no memory of its own.
    const std::size_t wanted = records.size() + puts.size() + 1;
    if (records.capacity() < wanted) {
        records.reserve(std::max(wanted, 2 * records.capacity()));
    }
    puts.push_back({id, texts.size(), text.size()});
    texts.append(text.data(), text.size());
}

void EntryTable::Settle() const {
    if (puts.empty()) {
        return;
    }
    // By id, and of equal ids in the order put (later texts lie further on
    // in the store; two empty texts at the same offset are alike anyway).
    const auto putOrder = [](const Record& a, const Record& b) {
        return a.id != b.id ? a.id < b.id : a.offset < b.offset;
    };
    if (!std::is_sorted(puts.begin(), puts.end(), putOrder)) {
        std::sort(puts.begin(), puts.end(), putOrder);
    }
    // The last put of each id holds.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < puts.size(); ++i) {
        if (i + 1 < puts.size() && puts[i + 1].id == puts[i].id) {
            continue;
        }
        puts[kept++] = puts[i];
    }
    puts.resize(kept);
    // Ids already in the table are replaced in place, the others merged in
    // from the back, where nothing not yet moved is overwritten.
    std::size_t replaced = 0;
    for (std::size_t r = 0, p = 0; r < records.size() && p < puts.size();) {
        if (records[r].id < puts[p].id) {
            ++r;
        } else if (puts[p].id < records[r].id) {
            ++p;
        } else {
            records[r++] = puts[p++];
            ++replaced;
        }
    }
    std::size_t old = records.size();
    std::size_t added = puts.size();
    records.resize(old + added - replaced);
    std::size_t to = records.size();
    while (added > 0) {
        const Record& put = puts[added - 1];
        if (old > 0 && records[old - 1].id >= put.id) {
            if (records[old - 1].id == put.id) {
                --added;  // replaced above
            }
            records[--to] = records[--old];
        } else {
            records[--to] = put;
            --added;
        }
    }
    puts.clear();
}
