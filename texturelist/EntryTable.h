// The entries of a texture list: texture texts keyed by their unsigned
// 32-bit id, read in ascending id order. All texts live in one store and
// each entry is a small record pointing into it, so a list of a million
// entries costs a few allocations that grow, not a million.
//
// Entries that Put adds or replaces are gathered and sorted into the table
// when it is next read, so that n of them cost n log n whatever the order of
// their ids. Reading therefore changes the table's inner state: a table is
// not to be read from two threads at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class EntryTable {
public:
    // An entry as read: its id and its text. The text stays valid until the
    // table is next changed.
    using value_type = std::pair<std::uint32_t, std::string_view>;

private:
    struct Record {
        std::uint32_t id;
        std::size_t offset;  // into texts_
        std::size_t length;
    };

public:
    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;  // yields pairs made on the fly
        using value_type = EntryTable::value_type;
        using difference_type = std::ptrdiff_t;
        using reference = value_type;
        struct pointer {
            value_type entry;
            const value_type* operator->() const { return &entry; }
        };

        const_iterator() = default;
        value_type operator*() const {
            return {record_->id, std::string_view(texts_ + record_->offset, record_->length)};
        }
        pointer operator->() const { return {**this}; }
        const_iterator& operator++() {
            ++record_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator was = *this;
            ++record_;
            return was;
        }
        bool operator==(const const_iterator& other) const { return record_ == other.record_; }
        bool operator!=(const const_iterator& other) const { return record_ != other.record_; }

    private:
        friend class EntryTable;
        const_iterator(const Record* record, const char* texts) : record_(record), texts_(texts) {}

        const Record* record_ = nullptr;
        const char* texts_ = nullptr;
    };

    std::size_t size() const {
        Settle();
        return records_.size();
    }
    bool empty() const { return records_.empty() && puts_.empty(); }
    const_iterator begin() const {
        Settle();
        return {records_.data(), texts_.data()};
    }
    const_iterator end() const {
        Settle();
        return {records_.data() + records_.size(), texts_.data()};
    }

    // The entry with `id`, or end() when there is none.
    const_iterator find(std::uint32_t id) const;
    // The text of the entry with `id`; throws std::out_of_range when there
    // is none.
    std::string_view at(std::uint32_t id) const;

    void clear();

    // Makes room for `textBytes` bytes of texts in all, so that filling a
    // large table does not copy its texts over and over. A hint only: more
    // still fit, and when that much memory cannot be had nothing changes.
    void ReserveTexts(std::size_t textBytes);

    // Adds an entry while the table is filled in file order; ids may come in
    // any order and repeat. Until FinishAppending() the table is not in
    // order and is not to be read.
    void Append(std::uint32_t id, const char* text, std::size_t length);
    // Puts what Append added in ascending id order; of entries with the same
    // id the one appended first stays.
    void FinishAppending();

    // Sets the text of the entry with `id`, adding the entry when there is
    // none; of several Puts with the same id the last one holds. The table
    // must be in order.
    void Put(std::uint32_t id, std::string_view text);

private:
    std::vector<Record>::const_iterator LowerBound(std::uint32_t id) const;
    // Sorts the entries Put gathered into records_. Allocates nothing when
    // Put could make room for them (a copied table may have to).
    void Settle() const;

    // Ascending by id, except while appending. Mutable, as are the puts
    // below: the readers settle the puts first.
    mutable std::vector<Record> records_;
    // Entries Put since the table was last read, in the order put; their
    // offsets grow with that order.
    mutable std::vector<Record> puts_;
    std::string texts_;    // replaced or dropped texts stay as unused bytes
    bool inOrder_ = true;  // false once Append got an id not above the last one
};
