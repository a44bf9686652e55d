#include "support/table_fixture.h"

#include <gtest/gtest.h>

namespace mvz::test {

TableAccess& Station::open(const std::string& table) {
    TableAccess& t = tables.access(table);
    EXPECT_EQ(t.open(), 0) << table;
    return t;
}

long long Station::rows(const std::string& table) {
    TableAccess& t = open(table);
    const long long n = t.count();
    t.close();
    return n;
}

std::string Station::lookUp(const std::string& table, const std::string& keyField,
                            const std::string& value, const std::string& field) {
    TableAccess& t = open(table);
    t.record().clear();
    set(t, keyField, value);
    std::string out = t.fetch(0) == 0 ? get(t, field) : "(none)";
    t.close();
    return out;
}

void set(TableAccess& t, const std::string& field, const std::string& utf8) {
    int f = t.def().fieldIndex(field);
    ASSERT_GE(f, 0) << field;
    EXPECT_EQ(t.record().setFromDisplay(f, utf8), "");
}

std::string get(TableAccess& t, const std::string& field) {
    int f = t.def().fieldIndex(field);
    EXPECT_GE(f, 0) << field;
    return f < 0 ? std::string() : t.record().display(f);
}

std::vector<std::string> column(TableAccess& t, const std::string& key, const std::string& field,
                                bool backwards) {
    std::vector<std::string> out;
    t.setOrder(key.empty() ? -1 : t.def().keyIndex(key));
    while ((backwards ? t.previous() : t.next()) == 0)
        out.push_back(get(t, field));
    return out;
}

} // namespace mvz::test
