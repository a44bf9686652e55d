#include <gtest/gtest.h>

#include <set>

#include "data/dictionary.h"

using namespace mvz;

TEST(Dictionary, EveryTableIsDeclaredWithItsStatedLength) {
    // The builder refuses any declaration whose offsets or length disagree;
    // here the table set itself is checked against the list of tables.
    const auto& tables = dictionary();
    EXPECT_EQ(tables.size(), 42u);
    std::set<std::string> prefixes;
    for (const auto& t : tables) {
        if (!t.prefix.empty()) {
            EXPECT_TRUE(prefixes.insert(t.prefix).second) << t.prefix;
        }
        int sum = 0;
        for (const auto& f : t.fields)
            sum += f.size;
        EXPECT_EQ(sum, t.recordLength) << t.fileName;
        for (const auto& k : t.keys)
            EXPECT_FALSE(k.description.empty()) << t.fileName << k.name;
    }
    const std::vector<std::pair<const char*, int>> lengths = {
        {"POS", 231},  {"RAD", 150}, {"RAD1", 150}, {"A", 353},    {"OSI", 159},  {"RAD2", 159},
        {"APL", 645},  {"VOB", 326}, {"VUP", 202},  {"TBO", 322},  {"STA", 261},  {"OPC", 53},
        {"STO1", 20},  {"VEZ", 50},  {"TBT", 216},  {"GRE", 333},  {"ULZ", 256},  {"ULZ1", 205},
        {"OSI3", 136}, {"ZAP", 258}, {"SL5", 250},  {"OSI1", 194}, {"ULZ11", 89}, {"DOR", 158},
        {"DOR1", 129}, {"TEK", 500}};
    for (auto [prefix, length] : lengths) {
        const TableDef* t = findTable(prefix);
        ASSERT_NE(t, nullptr) << prefix;
        EXPECT_EQ(t->recordLength, length) << prefix;
    }
}

TEST(Dictionary, NamesResolveByPrefixFileAndStem) {
    EXPECT_EQ(findTable("pos"), findTable("TBPOSLOD"));
    EXPECT_EQ(findTable("TBPOSLOD.DAT"), findTable("POS"));
    EXPECT_EQ(findTable("TBZAPOSL")->prefix, "RAD");
    EXPECT_EQ(findTable("RAD1")->fileName, "TBZAPOSL.DAT");
    EXPECT_EQ(findTable("TEKSTDAT")->prefix, "TXT");
    EXPECT_EQ(findTable("nope"), nullptr);
    const TableDef& pos = *findTable("POS");
    EXPECT_EQ(pos.fieldIndex("POS:NAZIV"), pos.fieldIndex("naziv"));
    EXPECT_EQ(pos.fields[pos.fieldIndex("DANDO")].offset, 227);
    EXPECT_EQ(pos.keys[pos.keyIndex("KEYMB")].description, "MB broj firme");
    EXPECT_EQ(findTable("STO1")->keys[0].description, "Osnov");
    const TableDef& opc = *findTable("OPC");
    EXPECT_EQ(opc.autoNumberKey(), opc.keyIndex("KEYREDB"));
    EXPECT_FALSE(findTable("DOR")->creatable());
    EXPECT_EQ(findTable("PGR")->memo.size, 1000);
}
