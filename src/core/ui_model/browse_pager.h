#pragma once
// The reading side of a browse list: pages of rows of one table in the order
// of one of its keys, limited to a range of leading key components and an
// optional row test, read through the table's TableAccess one page at a time
// (never the whole table, never by row number): forwards from a key value,
// backwards from one, after or before a row already shown.
//
// The thumb of the list's scroll bar is placed by key fraction: the value of
// the first key component the range leaves free, between its lowest and
// highest values in range (numbers as numbers; text after the letters the
// lowest and highest share, as a number when digits follow, else by three
// letters of the Croatian alphabet). Dragging the thumb locates
// the value at that fraction. No row is counted for it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/record.h"

namespace mvz {

class TableAccess;

struct ListRow {
    std::int64_t position = 0; // storage position, to read the record again
    std::string sortValue;     // of the list's key
    std::string image;         // the record as read
    std::string memo;
};

class BrowsePager {
  public:
    explicit BrowsePager(TableAccess& table);

    TableAccess& table() const { return table_; }

    // The key that orders the rows. Lifts the range.
    void setOrder(int key);
    int order() const { return order_; }

    // Fixes the first `components` components of the key to the values the
    // record holds: only rows with those values are read. 0 lifts the range.
    void setRange(const Record& values, std::size_t components);
    std::size_t fixedComponents() const { return fixed_; }
    const std::string& rangePrefix() const { return prefix_; }
    // The values the range was set from (the fixed components).
    const Record& rangeValues() const { return rangeValues_; }
    // True when a sort value of the order lies in the range.
    bool inRange(const std::string& sortValue) const;
    // Rows failing the test are read and skipped.
    void setFilter(std::function<bool(const Record&)> filter) { filter_ = std::move(filter); }

    // The field of the first key component the range leaves free (the one a
    // locator searches); -1 when the range fixes the whole key.
    int freeField() const;

    // Up to n rows in key order.
    std::vector<ListRow> first(int n);
    std::vector<ListRow> last(int n);
    std::vector<ListRow> after(const ListRow& anchor, int n);
    std::vector<ListRow> before(const ListRow& anchor, int n);
    std::vector<ListRow> from(const std::string& sortValue, int n);

    struct Page {
        std::vector<ListRow> rows;
        int current = -1; // the first row at or after the value; -1 when empty
    };
    // A page of n rows at a sort value: the rows from it, and when the range
    // ends before the page is full, rows before it so that it is full.
    Page pageAt(const std::string& sortValue, int n);
    // The same at a row: the page at its key value with the row current.
    Page pageAt(const ListRow& row, int n);

    // The sort value at which text typed for the free component starts (for
    // a locator); nullopt when the text cannot be a value of that component.
    std::optional<std::string> locateValue(std::string_view typedUtf8) const;

    // Thumb placement between the lowest and highest rows in range (0..1).
    double fractionOf(const ListRow& row, const ListRow& low, const ListRow& high) const;
    // The sort value at a fraction (for dragging the thumb).
    std::optional<std::string> valueAtFraction(double fraction, const ListRow& low,
                                               const ListRow& high) const;

    // Reads the row's record into the table's buffer (its current record).
    int load(const ListRow& row);

    // Rows read through the table so far (every next/previous step counts).
    std::int64_t rowsRead() const { return rowsRead_; }

  private:
    std::string currentSortValue() const;
    ListRow takeRow() const;
    // Reads forwards from `start` (or the range's start), skipping rows for
    // which `skip` holds, until n rows or the end of the range.
    std::vector<ListRow>
    readForward(const std::string* start,
                const std::function<bool(const std::string&, std::int64_t)>& skip, int n);
    std::vector<ListRow>
    readBackward(const std::string* start,
                 const std::function<bool(const std::string&, std::int64_t)>& skip, int n);
    // How a text component is divided: after the letters the lowest and
    // highest values share, by up to 15 digits when both go on with digits
    // only, else by three letters of the alphabet.
    struct TextScale {
        std::size_t offset = 0;
        std::size_t digits = 0;
    };
    TextScale textScale(const Record& low, const Record& high) const;
    double scalarOf(const Record& record, const TextScale& scale) const;

    TableAccess& table_;
    int order_ = 0;
    std::size_t fixed_ = 0;
    std::string prefix_;
    Record rangeValues_;
    std::function<bool(const Record&)> filter_;
    std::int64_t rowsRead_ = 0;
};

} // namespace mvz
