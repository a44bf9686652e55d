#include <gtest/gtest.h>

#include "cli/run_mvz.h"

using namespace mvz::test;

namespace {

MvzRun id(const std::vector<std::string>& args) {
    std::vector<std::string> all{"id"};
    all.insert(all.end(), args.begin(), args.end());
    return runMvz("", all);
}

TEST(IdCommand, CsvLinePerValueAndExitOneWhenAnyFailsStrict) {
    const MvzRun r = id({"--csv", "12345678903", "0101990000086", "MBROJ12345670", "J12345679",
                         "0000000000000", ""});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.out, "value,kind,strict,stored,loose\n"
                     "\"12345678903  \",OIB,1,\"  12345678903\",0\n"
                     "0101990000086,JMBG,1,0101990000086,1\n"
                     "MBROJ12345670,MBROJ,0,,1\n"
                     "\"J12345679    \",J,1,\"J12345679    \",1\n"
                     "0000000000000,JMBG,0,,0\n"
                     "\"             \",OIB,0,,0\n");
    EXPECT_EQ(r.err, "");
}

TEST(IdCommand, PlainOutputAndExitZeroWhenAllPassStrict) {
    const MvzRun r = id({"  12345678903", "12345678903", "MBROJ12345679"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "\"  12345678903\"  OIB    strict: valid, stored \"  12345678903\"  "
                     "lenient: valid\n"
                     "\"12345678903  \"  OIB    strict: valid, stored \"  12345678903\"  "
                     "lenient: invalid (read as JMBG)\n"
                     "\"MBROJ12345679\"  MBROJ  strict: valid, stored \"MBROJ12345679\"  "
                     "lenient: valid\n");
}

TEST(IdCommand, BadUsage) {
    const MvzRun tooLong = id({"0101990000086", "01019900000860"});
    EXPECT_EQ(tooLong.code, 2);
    EXPECT_EQ(tooLong.out, "") << "nothing is checked when one value cannot stand in the field";
    EXPECT_NE(tooLong.err.find("\"01019900000860\" is longer than the 13 characters"),
              std::string::npos)
        << tooLong.err;
    EXPECT_EQ(id({}).code, 2);
    EXPECT_EQ(id({"--csv"}).code, 2);
}

} // namespace
