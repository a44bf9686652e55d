#include "ui/browse_list.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

#include "data/error_reporter.h"
#include "data/sort_value.h"
#include "data/table_file.h"
#include "data/tables.h"
#include "ui/popup_menu.h"
#include "ui/requests.h"
#include "ui/toolbar_controls.h"
#include "ui_model/bound_names.h"
#include "ui_model/field_text.h"

namespace mvz {

namespace {

BrowseList* gCalling = nullptr;
constexpr int kShadowLength = 40;

// Restores the busy cursor however the reading ends.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

RangeValue RangeValue::fixed(std::string text) {
    return {[text = std::move(text)] { return text; }};
}

RangeValue RangeValue::bound(std::string name) {
    return {[name = std::move(name)] { return boundValue(name).value_or(std::string()); }};
}

RangeValue RangeValue::field(TableAccess& table, std::string_view field) {
    const int f = table.def().fieldIndex(field);
    if (f < 0) throw std::invalid_argument("unknown field " + std::string(field));
    return {[&table, f] { return table.record().display(f); }};
}

BrowseList* BrowseList::calling() {
    return gCalling;
}

BrowseList::BrowseList(Tables& tables, std::string_view primary, QWidget* parent)
    : QWidget(parent), tables_(tables), table_(tables.access(primary)), pager_(table_),
      control_(new ListControl(this)), tabs_(new QTabBar(this)), locatorPrompt_(new QLabel(this)),
      locatorEdit_(new QLineEdit(this)), popup_(new PopupMenu(this)) {
    opened_ = table_.open() == result::Ok;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);
    layout->addWidget(control_, 1);
    auto* locatorRow = new QHBoxLayout;
    locatorRow->addWidget(locatorPrompt_);
    locatorRow->addWidget(locatorEdit_, 1);
    layout->addLayout(locatorRow);
    tabs_->hide();
    locatorPrompt_->hide();
    locatorEdit_->hide();
    locatorEdit_->setReadOnly(true);
    locatorEdit_->setMaxLength(kShadowLength);
    locatorEdit_->setFocusProxy(control_);
    // A click on the locator puts the focus in the list, which takes the
    // typing; Tab passes it by (through it, Tab would come back to the list
    // and never reach the window's buttons).
    locatorEdit_->setFocusPolicy(Qt::ClickFocus);
    setFocusProxy(control_);

    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) { setOrder(index); });
    connect(control_, &ListControl::scrollRequested, this, &BrowseList::scroll);
    connect(control_, &ListControl::thumbDragged, this, &BrowseList::thumbDragged);
    connect(control_, &ListControl::locatorKey, this, &BrowseList::locatorKey);
    connect(control_, &ListControl::keyRequested, this, &BrowseList::keyRequested);
    connect(control_, &ListControl::rowClicked, this, [this](int row) {
        shadow_.clear();
        locatorEdit_->clear();
        setCurrent(row);
    });
    connect(control_, &ListControl::rowDoubleClicked, this, &BrowseList::doubleClicked);
    connect(control_, &ListControl::contextMenuAt, this, &BrowseList::contextMenu);
    connect(control_, &ListControl::visibleRowsChanged, this, [this](int rows) {
        if (order_ >= 0 && !filling_) fillTo(rows);
    });
}

BrowseList::~BrowseList() {
    if (opened_) table_.close();
}

void BrowseList::setFormat(std::string_view columnFormat) {
    formats_ = parseColumnFormat(columnFormat);
    control_->setColumns(formats_);
    for (std::size_t i = 0; i < columns_.size() && i < formats_.size(); ++i)
        columns_[i].picture =
            formats_[i].picture.empty() ? std::nullopt : Picture::parse(formats_[i].picture);
}

void BrowseList::addField(std::string_view field) {
    Column c;
    c.field = table_.def().fieldIndex(field);
    if (c.field < 0) throw std::invalid_argument("unknown field " + std::string(field));
    const std::size_t i = columns_.size();
    if (i < formats_.size() && !formats_[i].picture.empty())
        c.picture = Picture::parse(formats_[i].picture);
    columns_.push_back(std::move(c));
}

void BrowseList::addField(std::function<QString(const Record&)> compute) {
    Column c;
    c.compute = std::move(compute);
    columns_.push_back(std::move(c));
}

int BrowseList::addSortOrder(std::string_view key, const QString& tabText) {
    Order o;
    o.key = table_.def().keyIndex(key);
    if (o.key < 0) throw std::invalid_argument("unknown key " + std::string(key));
    o.tab = tabText;
    o.noCase = table_.def().keys[static_cast<std::size_t>(o.key)].noCase();
    orders_.push_back(std::move(o));
    const int index = static_cast<int>(orders_.size()) - 1;
    if (!tabText.isEmpty()) {
        const bool blocked = tabs_->blockSignals(true);
        tabs_->addTab(tabText);
        tabs_->blockSignals(blocked);
        tabs_->setVisible(orders_.size() > 1 || !tabText.isEmpty());
    }
    return index;
}

void BrowseList::setRange(int order, std::vector<RangeValue> values) {
    orders_.at(static_cast<std::size_t>(order)).range = std::move(values);
}

void BrowseList::setFilter(int order, std::string_view expression) {
    orders_.at(static_cast<std::size_t>(order)).terms = parseFilterExpression(expression);
}

void BrowseList::setFilter(int order, std::function<bool(const Record&)> test) {
    orders_.at(static_cast<std::size_t>(order)).test = std::move(test);
}

void BrowseList::setLocator(int order, LocatorKind kind, const QString& prompt,
                            std::optional<bool> noCase) {
    Order& o = orders_.at(static_cast<std::size_t>(order));
    o.locator = kind;
    o.prompt = prompt;
    if (noCase) o.noCase = *noCase;
    if (order == order_) applyOrderControls();
}

void BrowseList::setButtons(const Buttons& buttons) {
    buttons_ = buttons;
    auto connectAsk = [this](QAbstractButton* b, std::uint8_t request) {
        if (b) connect(b, &QAbstractButton::clicked, this, [this, request] { askRecord(request); });
    };
    connectAsk(buttons.insert, request::Insert);
    connectAsk(buttons.change, request::Change);
    connectAsk(buttons.remove, request::Delete);
    if (buttons.print)
        connect(buttons.print, &QAbstractButton::clicked, this, [this] {
            if (print_) print_(order_);
        });
    buildPopup();
}

void BrowseList::setUpdateProcedure(std::function<std::uint8_t()> procedure) {
    update_ = std::move(procedure);
}

void BrowseList::setPrintProcedure(std::function<void(int)> procedure) {
    print_ = std::move(procedure);
}

void BrowseList::setSelecting(bool selecting) {
    selecting_ = selecting;
    buildPopup();
}

void BrowseList::buildPopup() {
    popup_->clear();
    if (buttons_.insert)
        popup_->addItem(toolbar::Insert, QStringLiteral("&Insert"), buttons_.insert);
    if (buttons_.change)
        popup_->addItem(toolbar::Change, QStringLiteral("&Change"), buttons_.change);
    if (buttons_.remove)
        popup_->addItem(toolbar::Delete, QStringLiteral("&Delete"), buttons_.remove);
    if (buttons_.print) popup_->addItem(0, QStringLiteral("&Print"), buttons_.print);
    if (selecting_ && buttons_.select)
        popup_->addItem(toolbar::Select, QStringLiteral("&Select"), buttons_.select);
}

// --- orders, ranges and filters ---

void BrowseList::setOrder(int order) {
    if (order < 0 || order >= static_cast<int>(orders_.size())) return;
    const bool changed = order != order_;
    if (tabs_->currentIndex() != order && order < tabs_->count()) {
        const bool blocked = tabs_->blockSignals(true);
        tabs_->setCurrentIndex(order);
        tabs_->blockSignals(blocked);
    }
    if (!changed) return;
    // Keep the highlighted record in the new order when it is in its range.
    std::optional<ListRow> keep = current() ? std::optional<ListRow>(*current()) : std::nullopt;
    order_ = order;
    page_.clear();
    current_ = -1;
    if (!prepareRange()) return;
    if (keep) {
        Record r(table_.def());
        r.assign(keep->image);
        keep->sortValue = keySortValue(table_.def(), table_.def().keys[orders_[order].key], r)
                              .value_or(std::string());
        if (pager_.inRange(keep->sortValue)) {
            {
                Filling filling(*this);
                applyOrderControls();
                BusyCursor busy;
                filledFor_ = control_->visibleRows();
                BrowsePager::Page p = pager_.pageAt(*keep, filledFor_);
                showPage(std::move(p.rows), p.current);
            }
            settle();
            return;
        }
    }
    refill();
}

void BrowseList::applyOrderControls() {
    if (order_ < 0) return;
    const Order& o = orders_[static_cast<std::size_t>(order_)];
    shadow_.clear();
    locatorEdit_->clear();
    const bool visible = o.locator != LocatorKind::None;
    locatorPrompt_->setText(o.prompt);
    locatorPrompt_->setVisible(visible && !o.prompt.isEmpty());
    locatorEdit_->setVisible(visible);
}

bool BrowseList::resolve(const FilterOperand& in, Operand& out) const {
    out.upper = in.upper;
    if (in.kind == FilterOperand::Kind::Literal) {
        out.value = [text = in.text] { return text; };
        return true;
    }
    const std::string& name = in.text;
    const auto colon = name.find(':');
    if (colon != std::string::npos) {
        const std::string prefix = name.substr(0, colon);
        if (findTable(prefix) == &table_.def() ||
            (findTable(prefix) && findTable(prefix)->prefix == table_.def().prefix &&
             findTable(prefix)->fileName == table_.def().fileName)) {
            out.field = table_.def().fieldIndex(name);
            if (out.field >= 0) return true;
        } else if (const TableDef* def = findTable(prefix); def && def->fieldIndex(name) >= 0) {
            TableAccess& other = tables_.access(prefix);
            const int f = def->fieldIndex(name);
            out.value = [&other, f] { return other.record().display(f); };
            return true;
        }
    }
    if (!isBound(name)) return false;
    out.value = [name] { return boundValue(name).value_or(std::string()); };
    return true;
}

// Turns the order's range values and filter terms into the pager's range and
// row test. Equality terms on the leading key components become the range.
bool BrowseList::prepareRange() {
    const Order& o = orders_[static_cast<std::size_t>(order_)];
    pager_.setOrder(o.key);
    pager_.setFilter({});
    invalidateEnds();
    viewFailed_ = false;
    const KeyDef& key = table_.def().keys[static_cast<std::size_t>(o.key)];

    struct Compiled {
        Operand left, right;
        FilterOp op;
    };
    std::vector<Compiled> tests;
    std::vector<RangeValue> range = o.range;
    bool ok = true;
    std::vector<bool> used(o.terms.size(), false);
    if (range.empty()) {
        // Leading components fixed by equality with something else.
        for (std::size_t c = 0; c < key.fields.size(); ++c) {
            bool found = false;
            for (std::size_t t = 0; t < o.terms.size() && !found; ++t) {
                const FilterTerm& term = o.terms[t];
                if (used[t] || term.op != FilterOp::Equal) continue;
                Operand l, r;
                if (!resolve(term.left, l) || !resolve(term.right, r)) continue;
                if (l.field == key.fields[c] && r.field < 0) std::swap(l, r);
                if (r.field == key.fields[c] && l.field < 0) {
                    range.push_back({l.value});
                    used[t] = found = true;
                }
            }
            if (!found) break;
        }
    }
    for (std::size_t t = 0; t < o.terms.size(); ++t) {
        if (used[t]) continue;
        Compiled c;
        c.op = o.terms[t].op;
        if (!resolve(o.terms[t].left, c.left) || !resolve(o.terms[t].right, c.right)) {
            ok = false;
            break;
        }
        tests.push_back(std::move(c));
    }
    Record values(table_.def());
    values.clear();
    for (std::size_t i = 0; ok && i < range.size() && i < key.fields.size(); ++i)
        if (!values.setFromDisplay(key.fields[i], range[i].value()).empty()) ok = false;
    if (!ok) {
        // The list shows the table without its range and filter.
        viewFailed_ = true;
        table_.errors().setFile(table_.def().fileName);
        table_.errors().setMessageText({});
        table_.errors().raise(40);
        pager_.setRange(values, 0);
        return true;
    }
    pager_.setRange(values, std::min(range.size(), key.fields.size()));
    if (!tests.empty() || o.test) {
        auto test = o.test;
        pager_.setFilter([tests, test](const Record& r) {
            for (const Compiled& c : tests) {
                auto valueOf = [&r](const Operand& o) {
                    return o.field >= 0 ? r.display(o.field) : o.value();
                };
                if (!compareFilterValues(valueOf(c.left), c.op, valueOf(c.right),
                                         c.left.upper || c.right.upper))
                    return false;
            }
            return !test || test(r);
        });
    }
    return true;
}

void BrowseList::resetRange() {
    if (order_ < 0) return;
    prepareRange();
    invalidateEnds();
    page_.clear();
    current_ = -1;
    refill();
}

// --- filling and moving ---

QStringList BrowseList::rowTexts(const ListRow& row) const {
    Record r(table_.def());
    r.assign(row.image);
    r.memo = row.memo;
    QStringList out;
    for (const Column& c : columns_) {
        QString text =
            c.compute ? c.compute(r) : QString::fromStdString(formatField(r, c.field, c.picture));
        // Columns align their values; the padding of pictures is not needed.
        if (c.picture && c.picture->kind() != Picture::Kind::Text)
            text = text.trimmed();
        else
            while (text.endsWith(QLatin1Char(' ')))
                text.chop(1);
        out << text;
    }
    return out;
}

void BrowseList::showPage(std::vector<ListRow> rows, int current) {
    page_ = std::move(rows);
    seenVersion_ = tableVersion();
    QVector<QStringList> texts;
    texts.reserve(static_cast<int>(page_.size()));
    for (const ListRow& row : page_)
        texts.push_back(rowTexts(row));
    current_ = page_.empty() ? -1 : std::clamp(current, 0, static_cast<int>(page_.size()) - 1);
    control_->setRows(std::move(texts), current_);
    if (const ListRow* row = this->current()) {
        // The primary buffer holds the highlighted record.
        table_.record().assign(row->image);
        table_.record().memo = row->memo;
    }
    updateThumb();
    emit newSelection();
}

std::int64_t BrowseList::tableVersion() const {
    std::int64_t version = -1;
    if (TableFile* file = table_.file(); !file || file->dataVersion(version)) return -1;
    return version;
}

bool BrowseList::refreshIfChanged() {
    if (order_ < 0 || seenVersion_ < 0 || tableVersion() == seenVersion_) return false;
    invalidateEnds();
    refill();
    return true;
}

void BrowseList::refill() {
    if (order_ < 0) {
        if (orders_.empty()) return;
        order_ = 0;
        if (!prepareRange()) return;
    }
    {
        // Showing the locator may resize the control: that waits for the fill.
        Filling filling(*this);
        applyOrderControls();
        BusyCursor busy;
        const int n = control_->visibleRows();
        filledFor_ = n;
        if (const ListRow* row = current()) {
            ListRow keep = *row;
            BrowsePager::Page p = pager_.pageAt(keep, n);
            showPage(std::move(p.rows), p.current);
        } else {
            showPage(pager_.first(n), 0);
        }
    }
    settle();
}

// After a fill the control may show another number of rows than were read for.
void BrowseList::settle() {
    const int visible = control_->visibleRows();
    if (visible < rowCount() || (visible > rowCount() && rowCount() == filledFor_)) fillTo(visible);
}

void BrowseList::refillAtBuffer() {
    if (order_ < 0) return refill();
    const Order& o = orders_[static_cast<std::size_t>(order_)];
    ListRow row;
    row.position = table_.position();
    row.sortValue = keySortValue(table_.def(), table_.def().keys[static_cast<std::size_t>(o.key)],
                                 table_.record())
                        .value_or(std::string());
    invalidateEnds();
    BusyCursor busy;
    BrowsePager::Page p = pager_.pageAt(row, control_->visibleRows());
    showPage(std::move(p.rows), p.current);
}

// Grows or shrinks the page to the rows the control shows.
void BrowseList::fillTo(int rows) {
    const int have = static_cast<int>(page_.size());
    if (have == 0) return refill();
    filledFor_ = rows;
    if (have > rows) {
        std::vector<ListRow> kept(page_.begin(), page_.end());
        int cur = current_;
        int dropFront = std::max(0, cur - rows + 1);
        kept.erase(kept.begin(), kept.begin() + dropFront);
        kept.resize(static_cast<std::size_t>(rows));
        return showPage(std::move(kept), cur - dropFront);
    }
    if (have == rows) return;
    std::vector<ListRow> more = pager_.after(page_.back(), rows - have);
    std::vector<ListRow> rowsNow = page_;
    rowsNow.insert(rowsNow.end(), more.begin(), more.end());
    int cur = current_;
    if (static_cast<int>(rowsNow.size()) < rows) {
        std::vector<ListRow> earlier =
            pager_.before(rowsNow.front(), rows - static_cast<int>(rowsNow.size()));
        cur += static_cast<int>(earlier.size());
        rowsNow.insert(rowsNow.begin(), earlier.begin(), earlier.end());
    }
    showPage(std::move(rowsNow), cur);
}

void BrowseList::setCurrent(int row) {
    if (row < 0 || row >= static_cast<int>(page_.size()) || row == current_) return;
    current_ = row;
    control_->setCurrent(row);
    table_.record().assign(page_[static_cast<std::size_t>(row)].image);
    updateThumb();
    emit newSelection();
}

void BrowseList::scroll(ListControl::Scroll scroll) {
    if (order_ < 0) return;
    shadow_.clear();
    locatorEdit_->clear();
    const int n = control_->visibleRows();
    BusyCursor busy;
    switch (scroll) {
    case ListControl::Scroll::First:
        showPage(pager_.first(n), 0);
        return;
    case ListControl::Scroll::Last: {
        std::vector<ListRow> rows = pager_.last(n);
        const int last = static_cast<int>(rows.size()) - 1;
        showPage(std::move(rows), last);
        return;
    }
    default:
        break;
    }
    if (page_.empty()) return refill();
    if (scroll == ListControl::Scroll::RowDown || scroll == ListControl::Scroll::RowUp) {
        const bool down = scroll == ListControl::Scroll::RowDown;
        const int target = current_ + (down ? 1 : -1);
        if (target >= 0 && target < static_cast<int>(page_.size())) return setCurrent(target);
        std::vector<ListRow> more =
            down ? pager_.after(page_.back(), 1) : pager_.before(page_.front(), 1);
        if (more.empty()) return; // already at the end of the range
        std::vector<ListRow> rows = page_;
        if (down) {
            rows.push_back(std::move(more.front()));
            if (static_cast<int>(rows.size()) > n) rows.erase(rows.begin());
            const int last = static_cast<int>(rows.size()) - 1;
            return showPage(std::move(rows), last);
        }
        rows.insert(rows.begin(), std::move(more.front()));
        if (static_cast<int>(rows.size()) > n) rows.pop_back();
        return showPage(std::move(rows), 0);
    }
    // A page: the highlight moves by the rows shown, stopping at the range's ends.
    const bool down = scroll == ListControl::Scroll::PageDown;
    std::vector<ListRow> more =
        down ? pager_.after(page_.back(), n) : pager_.before(page_.front(), n);
    std::vector<ListRow> rows;
    int cur = current_;
    if (down) {
        rows = page_;
        rows.insert(rows.end(), more.begin(), more.end());
        cur = std::min(cur + n, static_cast<int>(rows.size()) - 1);
        const int drop = std::max(0, static_cast<int>(rows.size()) - n);
        rows.erase(rows.begin(), rows.begin() + drop);
        cur -= drop;
    } else {
        rows = more;
        rows.insert(rows.end(), page_.begin(), page_.end());
        cur = std::max(cur + static_cast<int>(more.size()) - n, 0);
        if (static_cast<int>(rows.size()) > n) rows.resize(static_cast<std::size_t>(n));
    }
    showPage(std::move(rows), cur);
}

void BrowseList::invalidateEnds() {
    low_.reset();
    high_.reset();
}

void BrowseList::updateThumb() {
    const ListRow* row = current();
    if (!row) {
        control_->setVisibleShare(1);
        return control_->setThumb(0);
    }
    if (!low_ || !high_) {
        std::vector<ListRow> a = pager_.first(1), b = pager_.last(1);
        if (a.empty() || b.empty()) return control_->setThumb(0);
        low_ = std::move(a.front());
        high_ = std::move(b.front());
    }
    // The thumb's length: the share of the key range the page spans.
    const bool fromLow = page_.front().position == low_->position;
    const bool toHigh = page_.back().position == high_->position;
    const double top = fromLow ? 0 : pager_.fractionOf(page_.front(), *low_, *high_);
    const double bottom = toHigh ? 1 : pager_.fractionOf(page_.back(), *low_, *high_);
    control_->setVisibleShare(fromLow && toHigh ? 1 : std::clamp(bottom - top, 0.0, 1.0));
    if (row->position == low_->position) return control_->setThumb(0);
    if (row->position == high_->position) return control_->setThumb(1);
    control_->setThumb(pager_.fractionOf(*row, *low_, *high_));
}

void BrowseList::thumbDragged(double fraction) {
    if (order_ < 0 || page_.empty()) return;
    if (fraction <= 0) return scroll(ListControl::Scroll::First);
    if (fraction >= 1) return scroll(ListControl::Scroll::Last);
    if (!low_ || !high_) updateThumb();
    if (!low_ || !high_) return;
    std::optional<std::string> value = pager_.valueAtFraction(fraction, *low_, *high_);
    if (!value) return;
    BusyCursor busy;
    BrowsePager::Page p = pager_.pageAt(*value, control_->visibleRows());
    showPage(std::move(p.rows), p.current);
}

// --- locators ---

bool BrowseList::hasLocator() const {
    return locatorKind() != LocatorKind::None;
}

LocatorKind BrowseList::locatorKind() const {
    return order_ < 0 ? LocatorKind::None : orders_[static_cast<std::size_t>(order_)].locator;
}

QString BrowseList::locatorText() const {
    return shadow_;
}

void BrowseList::focusLocator() {
    control_->setFocus(Qt::OtherFocusReason);
}

bool BrowseList::locate(const QString& text) {
    if (order_ < 0) return false;
    std::optional<std::string> value = pager_.locateValue(text.toStdString());
    if (!value) return false;
    BusyCursor busy;
    BrowsePager::Page p = pager_.pageAt(*value, control_->visibleRows());
    showPage(std::move(p.rows), p.current);
    return true;
}

void BrowseList::locatorKey(const QString& text) {
    const LocatorKind kind = locatorKind();
    if (kind == LocatorKind::None) return;
    const bool noCase = orders_[static_cast<std::size_t>(order_)].noCase;
    QString next;
    if (text == QStringLiteral("\b")) {
        if (kind == LocatorKind::Step || shadow_.isEmpty()) return;
        next = shadow_.left(shadow_.size() - 1);
    } else {
        const QString typed = noCase ? text.toUpper() : text;
        next = kind == LocatorKind::Step ? typed : (shadow_ + typed).left(kShadowLength);
    }
    // A keystroke the key component cannot hold (a letter in a number) is dropped.
    if (!pager_.locateValue(next.toStdString())) return;
    shadow_ = next;
    locatorEdit_->setText(shadow_);
    locate(shadow_);
    locatorEdit_->setText(shadow_);
}

// --- keys, mouse and the context menu ---

void BrowseList::keyRequested(ListControl::Key key) {
    auto press = [](QAbstractButton* b) {
        if (b && b->isEnabled() && !b->isHidden()) b->click();
    };
    switch (key) {
    case ListControl::Key::Insert:
        return press(buttons_.insert);
    case ListControl::Key::Change:
        return press(buttons_.change);
    case ListControl::Key::Delete:
        return press(buttons_.remove);
    case ListControl::Key::Select:
        return press(buttons_.select);
    }
}

void BrowseList::doubleClicked(int row) {
    setCurrent(row);
    if (selecting_ && buttons_.select)
        keyRequested(ListControl::Key::Select);
    else
        keyRequested(ListControl::Key::Change);
}

void BrowseList::contextMenu(int, const QPoint& pos) {
    for (std::size_t i = 0; i < popup_->items().size(); ++i) {
        const PopupMenu::Item& item = popup_->items()[i];
        if (!item.button) continue;
        const bool needsRow = item.controlId != toolbar::Insert && item.controlId != 0;
        item.button->setEnabled(item.button->isEnabled() && (!needsRow || !isEmpty()));
    }
    if (!popup_->items().empty()) popup_->exec(pos, this);
}

// --- records ---

const ListRow* BrowseList::current() const {
    if (current_ < 0 || current_ >= static_cast<int>(page_.size())) return nullptr;
    return &page_[static_cast<std::size_t>(current_)];
}

QString BrowseList::cell(int row, int column) const {
    return control_->text(row, column);
}

bool BrowseList::update() {
    const ListRow* row = current();
    if (!row) return false;
    return pager_.load(*row) == result::Ok;
}

std::uint8_t BrowseList::askRecord(std::uint8_t req) {
    if (!update_) return response::Cancelled;
    std::uint8_t answer = response::Cancelled;
    for (;;) {
        std::optional<ListRow> before =
            current() ? std::optional<ListRow>(*current()) : std::nullopt;
        if (req == request::Insert) {
            // A new record: cleared buffer, the range fields preset.
            table_.record().clear();
            table_.record().memo.clear();
            if (order_ >= 0 && !viewFailed_) {
                const KeyDef& key =
                    table_.def().keys[static_cast<std::size_t>(orders_[order_].key)];
                for (std::size_t i = 0; i < pager_.fixedComponents(); ++i) {
                    const FieldDef& f = table_.def().fields[key.fields[i]];
                    std::copy_n(pager_.rangeValues().data() + f.offset, f.size,
                                table_.record().data() + f.offset);
                }
            }
        } else if (!update()) {
            refill();
            return response::Cancelled;
        }
        BrowseList* outer = gCalling;
        gCalling = this;
        PendingRequest = req;
        PendingNavigation = 0;
        LastResponse = response::None;
        std::uint8_t r = update_();
        gCalling = outer;
        if (LastResponse != response::None) r = LastResponse;
        answer = r;
        invalidateEnds();
        if (r == response::Completed) {
            refillAtBuffer();
        } else if (before) {
            BusyCursor busy;
            BrowsePager::Page p = pager_.pageAt(*before, control_->visibleRows());
            showPage(std::move(p.rows), p.current);
        } else {
            refill();
        }
        const long move = PendingNavigation;
        PendingNavigation = 0;
        if (!move) break;
        // A form saved by a toolbar move: move the list and open the form on
        // the row reached (a new one after "insert").
        if (move == toolbar::Insert) {
            req = request::Insert;
            continue;
        }
        const std::int64_t pos = current() ? current()->position : 0;
        switch (move) {
        case toolbar::First:
            scroll(ListControl::Scroll::First);
            break;
        case toolbar::Last:
            scroll(ListControl::Scroll::Last);
            break;
        case toolbar::PageUp:
            scroll(ListControl::Scroll::PageUp);
            break;
        case toolbar::PageDown:
            scroll(ListControl::Scroll::PageDown);
            break;
        case toolbar::Up:
            scroll(ListControl::Scroll::RowUp);
            break;
        default:
            scroll(ListControl::Scroll::RowDown);
            break;
        }
        if (isEmpty() || (current() && current()->position == pos)) break; // nowhere to go
        req = request::Change;
    }
    return answer;
}

} // namespace mvz
