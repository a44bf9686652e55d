#include <gtest/gtest.h>

#include <filesystem>

#include "cli/run_mvz.h"
#include "support/temp_dir.h"

using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> linesOf(const std::string& path) {
    const std::string text = slurp(path);
    std::vector<std::string> out;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) break;
        out.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

// What a bureau does at the end of a month: set up, form two forms for the
// collective list, merge them, and check the digests of what it hands in.
TEST(FormCommand, InitFormCollectAndReadTheFilesBack) {
    TempDir dir;
    ASSERT_EQ(runMvz(dir.str(), {"init", "--demo"}).code, 0);
    const std::vector<std::string> month = {"--payer", "1",       "--type", "01",        "--year",
                                            "2026",    "--month", "12",     "--from",    "1",
                                            "--to",    "31",      "--date", "10.12.2026"};
    auto form = [&](std::vector<std::string> extra) {
        std::vector<std::string> args{"form"};
        args.insert(args.end(), month.begin(), month.end());
        args.insert(args.end(), extra.begin(), extra.end());
        return runMvz(dir.str(), args);
    };
    const MvzRun first = form({"--mode", "collective"});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_NE(first.out.find("payer file:   " + dir.str() + "/izlaz/F0010050.TXT"),
              std::string::npos)
        << first.out;
    EXPECT_NE(first.out.find("persons 20, rows 20, sheets 2"), std::string::npos);
    const MvzRun second = form({"--mode", "collective", "--append"});
    ASSERT_EQ(second.code, 0) << second.err;
    EXPECT_NE(second.out.find("F0010051.TXT"), std::string::npos) << second.out;

    const MvzRun list = runMvz(dir.str(), {"list-collective"});
    EXPECT_NE(list.out.find("001005001"), std::string::npos);
    EXPECT_NE(list.out.find("001005101"), std::string::npos);

    const MvzRun collect = runMvz(dir.str(), {"collect", "--date", "10.12.2026"});
    ASSERT_EQ(collect.code, 0) << collect.err;
    const std::string mz = dir.str() + "/izlaz/ZOVAK.MZ0";
    const auto lines = linesOf(mz);
    ASSERT_EQ(lines.size(), 1u + 2 * (2 + 20) + 1);
    for (const auto& l : lines)
        EXPECT_EQ(l.size(), 250u);
    EXPECT_EQ(lines.back().substr(33, 6), "000002");
    // Every person is in both forms: the reconciliation names them.
    EXPECT_NE(collect.out.find("insured persons in more than one merged form:"), std::string::npos);

    // The printed mark of the collective file verifies against the file.
    const std::string prefix = "control mark:    ";
    const auto at = collect.out.find(prefix);
    ASSERT_NE(at, std::string::npos);
    const std::string mark = collect.out.substr(at + prefix.size(), 43);
    EXPECT_EQ(runMvz("", {"digest", mz, "--verify", mark}).code, 0);
    EXPECT_EQ(runMvz("", {"digest", dir.str() + "/izlaz/F0010050.TXT", "--verify", mark}).code, 1);
}

TEST(FormCommand, BadInputIsRefusedWithTheWindowsMessage) {
    TempDir dir;
    ASSERT_EQ(runMvz(dir.str(), {"init", "--demo"}).code, 0);
    const MvzRun noRows = runMvz(dir.str(), {"form", "--payer", "1", "--type", "01", "--year",
                                             "2026", "--month", "03", "--mode", "single"});
    EXPECT_EQ(noRows.code, 1);
    EXPECT_NE(noRows.out.find("Obrada prekinuta. Pročitano=40 Preuzeto=0"), std::string::npos)
        << noRows.out;
    const MvzRun badMonth = runMvz(
        dir.str(), {"form", "--payer", "1", "--type", "01", "--month", "1x", "--mode", "single"});
    EXPECT_EQ(badMonth.code, 1);
    EXPECT_NE(badMonth.err.find("Mjesec mora biti numerik"), std::string::npos) << badMonth.err;
    const MvzRun noPayer =
        runMvz(dir.str(), {"form", "--payer", "7", "--type", "01", "--mode", "single"});
    EXPECT_EQ(noPayer.code, 1);
    EXPECT_FALSE(fs::exists(dir.path() / "izlaz" / "F0070001.TXT"));
}

} // namespace
