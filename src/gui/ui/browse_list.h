#pragma once
// A browse list: one table shown in the order of one of its keys, a page at
// a time. A window declares it and the framework does the rest:
//
//   auto* list = new BrowseList(tables, "OPC", this);
//   list->setFormat("30R(2)|M~Rbr~R(10)@N4_@...");        // columns, parsed once
//   list->addField("OPC:REDBROJ"); ...                     // one per column
//   int byNumber = list->addSortOrder("KEYREDB", "REDOSLJED: Redni broj");
//   list->setLocator(byNumber, LocatorKind::Incremental, "Traži se redni broj");
//   list->setFilter(order, "(RAD:RedBroj=GLO:Firma)");    // range + filter
//   list->setButtons({insert, change, remove, select, print});
//   list->setUpdateProcedure([&] { return RowWindow(tables).run(); });
//   addBrowse(list, ...);                                  // ProcedureWindow
//
// Reading: only the rows shown are read, through the key, forwards and
// backwards from the rows already shown (see BrowsePager); the scroll bar's
// thumb is placed by key fraction (the free key component between its
// lowest and highest values in range) and dragging it locates that value.
// Equality terms of a filter on the leading key components become the
// range, so a list limited to one employer reads that employer's rows only.
//
// Keys: Insert inserts (also on an empty list), Ctrl+Enter changes, Delete
// deletes (only with a delete button), double click changes or, in a list
// opened for selection, selects; right click highlights the row and opens
// the context menu; typing, Backspace and Space drive the order's locator,
// which searches the first key component the range does not fix.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/picture.h"
#include "ui/list_control.h"
#include "ui_model/browse_pager.h"
#include "ui_model/filter_expression.h"

class QAbstractButton;
class QLabel;
class QLineEdit;
class QTabBar;

namespace mvz {

class PopupMenu;
class Record;
class TableAccess;
class Tables;

enum class LocatorKind { None, Step, Incremental };

// A value a range limits a key component to, read whenever the list refills.
struct RangeValue {
    std::function<std::string()> value; // as a user would type it (UTF-8)

    static RangeValue fixed(std::string text);
    // A bound name (GLO:Firma).
    static RangeValue bound(std::string name);
    // A field of another table's current record (the linking value).
    static RangeValue field(TableAccess& table, std::string_view field);
};

class BrowseList : public QWidget {
    Q_OBJECT
  public:
    struct Buttons {
        QAbstractButton* insert = nullptr;
        QAbstractButton* change = nullptr;
        QAbstractButton* remove = nullptr;
        QAbstractButton* select = nullptr;
        QAbstractButton* print = nullptr;
    };

    // Opens the primary table (closed again when the list goes).
    BrowseList(Tables& tables, std::string_view primary, QWidget* parent = nullptr);
    ~BrowseList() override;

    // --- set-up (in the window's init) ---
    void setFormat(std::string_view columnFormat); // throws ColumnFormatError
    // The field a column shows, in column order ("OPC:NAZIV").
    void addField(std::string_view field);
    // A computed column.
    void addField(std::function<QString(const Record&)> compute);
    // A sort order by key name; the tab text (empty: no tab). Returns its number.
    int addSortOrder(std::string_view key, const QString& tabText = {});
    void setRange(int order, std::vector<RangeValue> values);
    // A range and filter expression over fields and bound names; throws
    // FilterExpressionError when it cannot be parsed.
    void setFilter(int order, std::string_view expression);
    void setFilter(int order, std::function<bool(const Record&)> test);
    // The locator of an order; without `noCase` the key's own setting holds.
    void setLocator(int order, LocatorKind kind, const QString& prompt = {},
                    std::optional<bool> noCase = {});
    // The window's buttons for this list; builds the context menu.
    void setButtons(const Buttons& buttons);
    const Buttons& buttons() const { return buttons_; }
    // The row window for insert, change and delete: it reads PendingRequest
    // and returns the completion code.
    void setUpdateProcedure(std::function<std::uint8_t()> procedure);
    void setPrintProcedure(std::function<void(int order)> procedure);
    // A list opened to choose a record (request 4).
    void setSelecting(bool selecting);
    bool selecting() const { return selecting_; }

    // --- operations ---
    void setOrder(int order);
    int order() const { return order_; }
    int orderCount() const { return static_cast<int>(orders_.size()); }
    // Fills the list again from the highlighted row (the first page when none).
    void refill();
    // Fills the list at the record in the primary buffer, highlighting it.
    void refillAtBuffer();
    // Reads the page again when another window or program changed the table
    // since it was read (its window calls it when it becomes active). True
    // when it read.
    bool refreshIfChanged();
    // Reads the range values again and refills from the first row.
    void resetRange();
    void scroll(ListControl::Scroll scroll);
    // Jumps to the first row whose free key component is >= the text.
    bool locate(const QString& text);
    void focusLocator();
    // Insert (1), change (2) or delete (3) through the update procedure;
    // returns the completion code and refills.
    std::uint8_t askRecord(std::uint8_t request);
    // Reads the highlighted record into the primary buffer (false: none, or
    // it is gone).
    bool update();

    // --- state ---
    bool isEmpty() const { return page_.empty(); }
    int rowCount() const { return static_cast<int>(page_.size()); }
    int currentRow() const { return current_; }
    const ListRow* current() const;
    QString cell(int row, int column) const;
    bool hasLocator() const;
    QString locatorText() const;
    LocatorKind locatorKind() const;
    TableAccess& table() const { return table_; }
    BrowsePager& pager() { return pager_; }
    ListControl* control() const { return control_; }
    QTabBar* tabs() const { return tabs_; }
    PopupMenu& popupMenu() const { return *popup_; }
    // Rows read through the table since the list was made.
    std::int64_t rowsRead() const { return pager_.rowsRead(); }
    // The list whose update procedure is running (forms opened from a list
    // may hand a toolbar move back to it).
    static BrowseList* calling();

  signals:
    // The highlighted row changed (or the rows did).
    void newSelection();

  private:
    struct Column {
        int field = -1;
        std::function<QString(const Record&)> compute;
        std::optional<Picture> picture;
    };
    struct Order {
        int key = 0;
        QString tab;
        std::vector<RangeValue> range;
        std::vector<FilterTerm> terms;
        std::function<bool(const Record&)> test;
        LocatorKind locator = LocatorKind::None;
        QString prompt;
        bool noCase = false;
    };
    // A filter operand: a field of the primary record or a value read
    // from elsewhere.
    struct Operand {
        int field = -1;
        std::function<std::string()> value;
        bool upper = false;
    };

    void applyOrderControls();
    void settle();
    // While the list fills, size changes of the control wait.
    struct Filling {
        explicit Filling(BrowseList& l) : list(l), was(l.filling_) { l.filling_ = true; }
        ~Filling() { list.filling_ = was; }
        BrowseList& list;
        bool was;
    };
    bool prepareRange();
    void showPage(std::vector<ListRow> rows, int current);
    void fillTo(int rows);
    void setCurrent(int row);
    void updateThumb();
    std::int64_t tableVersion() const;
    void invalidateEnds();
    void thumbDragged(double fraction);
    void locatorKey(const QString& text);
    void keyRequested(ListControl::Key key);
    void contextMenu(int row, const QPoint& pos);
    void doubleClicked(int row);
    void buildPopup();
    bool resolve(const FilterOperand& in, Operand& out) const;
    QStringList rowTexts(const ListRow& row) const;

    Tables& tables_;
    TableAccess& table_;
    BrowsePager pager_;
    bool opened_ = false;
    std::vector<ColumnFormat> formats_;
    std::vector<Column> columns_;
    std::vector<Order> orders_;
    int order_ = -1;
    Buttons buttons_;
    std::function<std::uint8_t()> update_;
    std::function<void(int)> print_;
    bool selecting_ = false;
    bool viewFailed_ = false;
    bool filling_ = false;
    int filledFor_ = 0;             // the rows the last fill read for
    std::int64_t seenVersion_ = -1; // the table's data version when the page was read

    std::vector<ListRow> page_;
    int current_ = -1;
    std::optional<ListRow> low_, high_;
    QString shadow_;

    ListControl* control_;
    QTabBar* tabs_;
    QLabel* locatorPrompt_;
    QLineEdit* locatorEdit_;
    PopupMenu* popup_;
};

} // namespace mvz
