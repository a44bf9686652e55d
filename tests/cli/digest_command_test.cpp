#include <gtest/gtest.h>

#include <fstream>

#include "cli/run_mvz.h"
#include "support/temp_dir.h"

using namespace mvz::test;

namespace {

constexpr const char* kMark = "A9993E3647-06816ABA3E-25717850C2-6C9CD0D89D";

class DigestCommand : public ::testing::Test {
  protected:
    void SetUp() override { std::ofstream(dir.file("F0010001.TXT"), std::ios::binary) << "abc"; }
    MvzRun mvz(const std::vector<std::string>& args) { return runMvz(dir.str(), args); }
    TempDir dir;
};

TEST_F(DigestCommand, PrintsTheGroupedControlMark) {
    const MvzRun r = mvz({"digest", dir.file("F0010001.TXT")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, std::string(kMark) + "\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(DigestCommand, VerifiesAPrintedMarkWithOrWithoutDashes) {
    for (const char* mark : {kMark, "a9993e364706816aba3e25717850c26c9cd0d89d"}) {
        const MvzRun r = mvz({"digest", dir.file("F0010001.TXT"), "--verify", mark});
        EXPECT_EQ(r.code, 0) << mark << r.err;
        EXPECT_EQ(r.out, std::string(kMark) + "\nthe control mark matches the file\n");
    }
    const std::string other = "A9993E3647-06816ABA3E-25717850C2-6C9CD0D89E";
    const MvzRun r = mvz({"digest", dir.file("F0010001.TXT"), "--verify", other});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, std::string(kMark) + "\n");
    EXPECT_EQ(r.err, "mvz: the control mark " + other + " does not match " +
                         dir.file("F0010001.TXT") + "\n");
}

TEST_F(DigestCommand, RefusesAMissingFileAndAMalformedMark) {
    const MvzRun missing = mvz({"digest", dir.file("nema.TXT")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err,
              "mvz: " + dir.file("nema.TXT") + " cannot be read: No such file or directory\n");

    const MvzRun malformed = mvz({"digest", dir.file("F0010001.TXT"), "--verify", "1234"});
    EXPECT_EQ(malformed.code, 1);
    EXPECT_EQ(malformed.out, "");
    EXPECT_NE(malformed.err.find("\"1234\" is not a control mark"), std::string::npos);
}

} // namespace
