#pragma once
// A lookup drop list: a drop-down list filled from one table, read in the
// order of a key or, without one, in the order the records are stored. Its
// display pairs name the table fields the entries show; its update pairs the
// table fields copied into variables when an entry is chosen.
//
//   auto* drop = new LookupDropList(tables.access("OPC"), this);
//   drop->setOrder("KEYNAZIV");
//   drop->addDisplayField("OPC:NAZIV");
//   drop->addUpdateField("OPC:SIFRA", aplTable.record(), "APL:OPCINA");
//   drop->refill();
//
// Code tables are small; the list reads the whole table when it refills.

#include <QComboBox>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mvz {

class Record;
class TableAccess;

class LookupDropList : public QComboBox {
    Q_OBJECT
  public:
    explicit LookupDropList(TableAccess& table, QWidget* parent = nullptr);
    ~LookupDropList() override;

    // A key by name; an empty name reads in stored order.
    void setOrder(std::string_view key);
    void addDisplayField(std::string_view field, std::string picture = {});
    // Copies the table field into a field of another record...
    void addUpdateField(std::string_view field, Record& target, std::string_view targetField);
    // ...or hands its value (UTF-8) to a variable's setter.
    void addUpdateField(std::string_view field, std::function<void(const std::string&)> target);

    // Reads the table again; keeps the entry whose first update field has the same value.
    void refill();
    // Makes the entry whose table field has the value current (-1 none);
    // returns the index.
    int showValue(std::string_view field, const std::string& utf8);
    // Copies the current entry through the update pairs (what choosing it does).
    void take();
    // The stored table field of an entry.
    std::string entryValue(int index, std::string_view field) const;

  signals:
    void taken();

  private:
    struct Display {
        int field;
        std::string picture;
    };
    struct Update {
        int field;
        std::function<void(const std::string&)> target;
    };

    TableAccess& table_;
    bool opened_ = false;
    int key_ = -1;
    std::vector<Display> display_;
    std::vector<Update> update_;
    std::vector<std::string> images_;
};

} // namespace mvz
