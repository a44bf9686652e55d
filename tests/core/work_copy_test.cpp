// The work copies of the runs: a run holds its copy from the copy to its last
// read, so a second run is refused; a copy that fails leaves the old file;
// the next run removes what killed runs left, and only that.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "data/work_copy.h"
#include "support/temp_dir.h"

using namespace mvz;
using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

class WorkCopyTest : public ::testing::Test {
  protected:
    std::string input(const std::string& name, const std::string& bytes) {
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::vector<std::string> readAll(WorkCopy& copy) {
        std::vector<std::string> out;
        for (std::string_view r = copy.lines().next(); !r.empty(); r = copy.lines().next())
            out.emplace_back(r);
        return out;
    }
    TempDir dir;
    std::string target = dir.file("TBUPLATE.DAT");
};

TEST_F(WorkCopyTest, ARunHoldsItsCopyUntilItLetsItGo) {
    WorkCopy first(3), second(3);
    ASSERT_TRUE(first.take(input("a.txt", "aaa\r\nbbb\r\n"), target, 0600));
    EXPECT_FALSE(second.take(input("b.txt", "ccc\r\n"), target, 0600));
    EXPECT_EQ(second.failure(), WorkCopy::Failure::Open);
    EXPECT_EQ(second.error().code, err::AccessDenied);
    EXPECT_EQ(readAll(first), (std::vector<std::string>{"aaa", "bbb"}));
    // The next file of the same run takes the place while the run holds it.
    ASSERT_TRUE(first.take(input("c.txt", "ddd\r\n"), target, 0600));
    EXPECT_EQ(readAll(first), std::vector<std::string>{"ddd"});
    first.close();
    ASSERT_TRUE(second.take(dir.file("b.txt"), target, 0600));
    EXPECT_EQ(readAll(second), std::vector<std::string>{"ccc"});
    EXPECT_EQ(slurp(target), "ccc\r\n");
}

TEST_F(WorkCopyTest, AFailedCopyLeavesTheOldFileAndTheWorkFileItselfIsReadAsItIs) {
    std::ofstream(target, std::ios::binary) << "old\r\n";
    WorkCopy copy(3);
    EXPECT_FALSE(copy.take(dir.file("missing.txt"), target, 0600));
    EXPECT_EQ(copy.failure(), WorkCopy::Failure::Source);
    EXPECT_FALSE(copy.take(dir.str(), target, 0600)); // a folder
    EXPECT_EQ(copy.failure(), WorkCopy::Failure::Source);
    EXPECT_EQ(slurp(target), "old\r\n");
    ASSERT_TRUE(copy.take(target, target, 0600));
    EXPECT_EQ(readAll(copy), std::vector<std::string>{"old"});
    copy.close();
    for (const auto& e : fs::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".part-"), std::string::npos) << e.path();
}

TEST_F(WorkCopyTest, OnlyTheLeftoversOfRunsThatNoLongerRunAreRemoved) {
    const std::string running = std::to_string(::getpid());
    const std::vector<std::string> gone = {"TBUPLATE.DAT.part-999999999",
                                           "TBUPLATE.DAT.prev-999999999"};
    const std::vector<std::string> kept = {"TBUPLATE.DAT.part-" + running, "TBUPLATE.DAT.part-x1",
                                           "TBUPLATE.DAT.new", "OTHER.DAT.part-999999999"};
    for (const auto* names : {&gone, &kept})
        for (const std::string& name : *names)
            std::ofstream(dir.file(name)) << "left";
    EXPECT_EQ(removeLeftoversOf(target), 2);
    for (const std::string& name : gone)
        EXPECT_FALSE(fs::exists(dir.file(name))) << name;
    for (const std::string& name : kept)
        EXPECT_TRUE(fs::exists(dir.file(name))) << name;
}

} // namespace
