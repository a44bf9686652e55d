#include "ui_model/browse_pager.h"

#include <algorithm>
#include <cmath>

#include "base/cp1250.h"
#include "data/sort_value.h"
#include "data/table_access.h"

namespace mvz {

namespace {

// The letters the thumb divides text keys by, in collation order (CP1250):
// blank, digits, then the Croatian alphabet.
constexpr std::string_view kThumbAlphabet = " 0123456789ABC\xC8\xC6"
                                            "D\xD0"
                                            "EFGHIJKLMNOPQRS\x8A"
                                            "TUVWXYZ\x8E";

// Three letters from `offset` on as a fraction of the alphabet's range.
double textScalar(std::string_view cp1250, std::size_t offset) {
    const double n = static_cast<double>(kThumbAlphabet.size());
    double value = 0, scale = 1;
    for (std::size_t i = offset; i < offset + 3; ++i) {
        char c = i < cp1250.size() ? toUpperCp1250(cp1250[i]) : ' ';
        std::size_t rank = kThumbAlphabet.find(c);
        if (rank == std::string_view::npos) rank = static_cast<unsigned char>(c) < 'A' ? 0 : 10;
        scale /= n;
        value += static_cast<double>(rank) * scale;
    }
    return value;
}

// Up to `width` digits from `offset` on as a number (missing digits 0).
double digitScalar(std::string_view cp1250, std::size_t offset, std::size_t width) {
    double value = 0;
    bool digits = true;
    for (std::size_t i = offset; i < offset + width; ++i) {
        const char c = i < cp1250.size() ? cp1250[i] : '0';
        digits = digits && c >= '0' && c <= '9';
        value = value * 10 + (digits ? c - '0' : 0);
    }
    return value;
}

std::string digitsAt(double value, std::size_t width) {
    std::string out(width, '0');
    auto v = static_cast<unsigned long long>(std::max(0.0, std::floor(value)));
    for (std::size_t i = width; i-- > 0; v /= 10)
        out[i] = static_cast<char>('0' + v % 10);
    return out;
}

std::string textAt(double value) {
    const double n = static_cast<double>(kThumbAlphabet.size());
    std::string out;
    for (int i = 0; i < 3; ++i) {
        value *= n;
        int rank = std::clamp(static_cast<int>(std::floor(value)), 0,
                              static_cast<int>(kThumbAlphabet.size()) - 1);
        value -= rank;
        out += kThumbAlphabet[static_cast<std::size_t>(rank)];
    }
    return out;
}

// The smallest value greater than every value that starts with `prefix`;
// nullopt when there is none (a prefix of 0xFF bytes only).
std::optional<std::string> successor(std::string prefix) {
    while (!prefix.empty() && static_cast<unsigned char>(prefix.back()) == 0xFF)
        prefix.pop_back();
    if (prefix.empty()) return std::nullopt;
    prefix.back() = static_cast<char>(static_cast<unsigned char>(prefix.back()) + 1);
    return prefix;
}

} // namespace

BrowsePager::BrowsePager(TableAccess& table) : table_(table), rangeValues_(table.def()) {}

void BrowsePager::setOrder(int key) {
    order_ = key;
    fixed_ = 0;
    prefix_.clear();
}

void BrowsePager::setRange(const Record& values, std::size_t components) {
    const KeyDef& key = table_.def().keys.at(order_);
    fixed_ = std::min(components, key.fields.size());
    rangeValues_.assign(values.bytes());
    prefix_ = fixed_ ? keyPrefixSortValue(table_.def(), key, rangeValues_, fixed_) : std::string();
}

int BrowsePager::freeField() const {
    const KeyDef& key = table_.def().keys.at(order_);
    return fixed_ < key.fields.size() ? key.fields[fixed_] : -1;
}

bool BrowsePager::inRange(const std::string& sortValue) const {
    return sortValue.compare(0, prefix_.size(), prefix_) == 0;
}

std::string BrowsePager::currentSortValue() const {
    return keySortValue(table_.def(), table_.def().keys[order_], table_.record())
        .value_or(std::string());
}

ListRow BrowsePager::takeRow() const {
    ListRow row;
    row.position = table_.position();
    row.image = std::string(table_.record().bytes());
    row.memo = table_.record().memo;
    return row;
}

std::vector<ListRow>
BrowsePager::readForward(const std::string* start,
                         const std::function<bool(const std::string&, std::int64_t)>& skip, int n) {
    std::vector<ListRow> out;
    if (n <= 0) return out;
    table_.setOrder(order_);
    if (start)
        table_.setFromSortValue(std::max(*start, prefix_));
    else if (prefix_.empty())
        table_.setStart();
    else
        table_.setFromSortValue(prefix_);
    while (static_cast<int>(out.size()) < n) {
        if (table_.next() != result::Ok) break;
        ++rowsRead_;
        std::string sv = currentSortValue();
        if (!inRange(sv)) break;
        if (skip && skip(sv, table_.position())) continue;
        if (filter_ && !filter_(table_.record())) continue;
        out.push_back(takeRow());
        out.back().sortValue = std::move(sv);
    }
    return out;
}

std::vector<ListRow>
BrowsePager::readBackward(const std::string* start,
                          const std::function<bool(const std::string&, std::int64_t)>& skip,
                          int n) {
    std::vector<ListRow> out;
    if (n <= 0) return out;
    table_.setOrder(order_);
    std::optional<std::string> end = prefix_.empty() ? std::nullopt : successor(prefix_);
    if (start)
        table_.setFromSortValue(end ? std::min(*start, *end) : *start);
    else if (end)
        table_.setFromSortValue(*end);
    else
        table_.setStart();
    while (static_cast<int>(out.size()) < n) {
        if (table_.previous() != result::Ok) break;
        ++rowsRead_;
        std::string sv = currentSortValue();
        if (sv < prefix_) break;
        if (!inRange(sv)) continue; // only the value just past the range
        if (skip && skip(sv, table_.position())) continue;
        if (filter_ && !filter_(table_.record())) continue;
        out.push_back(takeRow());
        out.back().sortValue = std::move(sv);
    }
    std::reverse(out.begin(), out.end());
    return out;
}

std::vector<ListRow> BrowsePager::first(int n) {
    return readForward(nullptr, {}, n);
}

std::vector<ListRow> BrowsePager::last(int n) {
    return readBackward(nullptr, {}, n);
}

std::vector<ListRow> BrowsePager::after(const ListRow& anchor, int n) {
    return readForward(
        &anchor.sortValue,
        [&](const std::string& sv, std::int64_t pos) {
            return sv == anchor.sortValue && pos <= anchor.position;
        },
        n);
}

std::vector<ListRow> BrowsePager::before(const ListRow& anchor, int n) {
    return readBackward(
        &anchor.sortValue,
        [&](const std::string& sv, std::int64_t pos) {
            return sv == anchor.sortValue && pos >= anchor.position;
        },
        n);
}

std::vector<ListRow> BrowsePager::from(const std::string& sortValue, int n) {
    return readForward(&sortValue, {}, n);
}

BrowsePager::Page BrowsePager::pageAt(const std::string& sortValue, int n) {
    Page page;
    page.rows = from(sortValue, n);
    const bool found = !page.rows.empty();
    if (static_cast<int>(page.rows.size()) < n) {
        std::vector<ListRow> earlier =
            found ? before(page.rows.front(), n - int(page.rows.size())) : last(n);
        page.rows.insert(page.rows.begin(), std::make_move_iterator(earlier.begin()),
                         std::make_move_iterator(earlier.end()));
        if (found) page.current = static_cast<int>(earlier.size());
    } else {
        page.current = 0;
    }
    if (!found) page.current = static_cast<int>(page.rows.size()) - 1;
    return page;
}

BrowsePager::Page BrowsePager::pageAt(const ListRow& row, int n) {
    Page page = pageAt(row.sortValue, n);
    for (std::size_t i = 0; i < page.rows.size(); ++i)
        if (page.rows[i].position == row.position) page.current = static_cast<int>(i);
    return page;
}

std::optional<std::string> BrowsePager::locateValue(std::string_view typedUtf8) const {
    const int field = freeField();
    if (field < 0) return std::nullopt;
    Record scratch = rangeValues_;
    const FieldDef& f = table_.def().fields[field];
    if (f.isText()) {
        // Typed text longer than the field is clipped: it can only match the
        // field's full width.
        scratch.setText(field, utf8ToCp1250Lossy(typedUtf8));
    } else {
        scratch.clearField(field);
        if (!typedUtf8.empty() && !scratch.setFromDisplay(field, typedUtf8).empty())
            return std::nullopt;
    }
    return keyPrefixSortValue(table_.def(), table_.def().keys[order_], scratch, fixed_ + 1);
}

double BrowsePager::scalarOf(const Record& record, const TextScale& scale) const {
    const int field = freeField();
    if (field < 0) return 0;
    const FieldDef& f = table_.def().fields[field];
    switch (f.type) {
    case FieldType::Text:
        return scale.digits ? digitScalar(record.text(field), scale.offset, scale.digits)
                            : textScalar(record.text(field), scale.offset);
    case FieldType::Packed: {
        Decimal d = record.decimal(field);
        return static_cast<double>(d.units()) / std::pow(10.0, d.scale());
    }
    case FieldType::Real:
        return record.real(field);
    default:
        return static_cast<double>(record.integer(field));
    }
}

BrowsePager::TextScale BrowsePager::textScale(const Record& low, const Record& high) const {
    TextScale scale;
    const int field = freeField();
    if (field < 0 || !table_.def().fields[field].isText()) return scale;
    std::string_view a = low.text(field), b = high.text(field);
    while (scale.offset < a.size() && scale.offset < b.size() &&
           toUpperCp1250(a[scale.offset]) == toUpperCp1250(b[scale.offset]))
        ++scale.offset;
    auto digitsFrom = [&](std::string_view t) {
        std::size_t n = 0;
        while (scale.offset + n < t.size() && n < 15 && t[scale.offset + n] >= '0' &&
               t[scale.offset + n] <= '9')
            ++n;
        return n;
    };
    const std::size_t da = digitsFrom(a), db = digitsFrom(b);
    if (da > 0 && da == db) scale.digits = da;
    return scale;
}

double BrowsePager::fractionOf(const ListRow& row, const ListRow& low, const ListRow& high) const {
    Record r(table_.def()), lo(table_.def()), hi(table_.def());
    r.assign(row.image);
    lo.assign(low.image);
    hi.assign(high.image);
    const TextScale scale = textScale(lo, hi);
    const double a = scalarOf(lo, scale), b = scalarOf(hi, scale);
    if (!(b > a)) return row.position == high.position && low.position != high.position ? 1 : 0;
    return std::clamp((scalarOf(r, scale) - a) / (b - a), 0.0, 1.0);
}

std::optional<std::string> BrowsePager::valueAtFraction(double fraction, const ListRow& low,
                                                        const ListRow& high) const {
    const int field = freeField();
    if (field < 0) return std::nullopt;
    Record lo(table_.def()), hi(table_.def());
    lo.assign(low.image);
    hi.assign(high.image);
    const TextScale scale = textScale(lo, hi);
    const double a = scalarOf(lo, scale), b = scalarOf(hi, scale);
    const double target = a + std::clamp(fraction, 0.0, 1.0) * (b - a);
    Record scratch = rangeValues_;
    const FieldDef& f = table_.def().fields[field];
    switch (f.type) {
    case FieldType::Text:
        scratch.setText(field,
                        std::string(lo.text(field).substr(0, scale.offset)) +
                            (scale.digits ? digitsAt(target, scale.digits) : textAt(target)));
        break;
    case FieldType::Packed:
        scratch.setDecimal(
            field,
            Decimal::fromUnits(std::llround(target * std::pow(10.0, f.decimals)), f.decimals));
        break;
    case FieldType::Real:
        scratch.setReal(field, target);
        break;
    default:
        scratch.setInteger(field, std::llround(target));
        break;
    }
    return keyPrefixSortValue(table_.def(), table_.def().keys[order_], scratch, fixed_ + 1);
}

int BrowsePager::load(const ListRow& row) {
    return table_.fetchPosition(row.position);
}

} // namespace mvz
