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
        std::size_t offset;  // into texts
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
            return {record->id, std::string_view(texts + record->offset, record->length)};
        }
        pointer operator->() const { return {**this}; }
        const_iterator& operator++() {
            ++record;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator was = *this;
            ++record;
            return was;
        }
        bool operator==(const const_iterator& other) const { return record == other.record; }
        bool operator!=(const const_iterator& other) const { return record != other.record; }

    private:
        friend class EntryTable;
        const_iterator(const Record* record, const char* texts) : record(record), texts(texts) {}

        const Record* record = nullptr;
        const char* texts = nullptr;
    };

    std::size_t size() const {
        Settle();
        return records.size();
    }
    bool empty() const { return records.empty() && puts.empty(); }
    const_iterator begin() const {
        Settle();
        return {records.data(), texts.data()};
    }
    const_iterator end() const {
        Settle();
        return {records.data() + records.size(), texts.data()};
    }

    // The entry with `id`, or end() when there is none.
    const_iterator Find(std::uint32_t id) const;
    // The text of the entry with `id`; throws std::out_of_range when there
    // is none.
    std::string_view At(std::uint32_t id) const;

    void Clear();

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
    // Sorts the entries Put gathered into records. Allocates nothing when
    // Put could make room for them (a copied table may have to).
    void Settle() const;

    // Ascending by id, except while appending. Mutable, as are the puts
    // below: the readers settle the puts first.
    mutable std::vector<Record> records;
    // Entries Put since the table was last read, in the order put; their
    // offsets grow with that order.
    mutable std::vector<Record> puts;
    std::string texts;    // replaced or dropped texts stay as unused bytes
    bool inOrder = true;  // false once Append got an id not above the last one
};
