// `mvz print` writes the lists to PDF without a display.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>

#include "cli/run_mvz.h"
#include "support/temp_dir.h"

using namespace mvz::test;

namespace {

int pdfPages(const std::string& pdf) {
    const std::regex page("/Type\\s*/Page[^s]");
    return static_cast<int>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

TEST(PrintCommand, WritesEachListToAPdfWithoutADisplay) {
    TempDir dir;
    ASSERT_EQ(runMvz(dir.str(), {"init", "--demo"}).code, 0);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    const struct {
        std::vector<std::string> args;
        int minPages;
    } cases[] = {
        {{"municipalities"}, 1},
        {{"municipalities", "--key", "KEYNAZIV"}, 1},
        {{"municipalities", "--key", "OPC:KEYREDB"}, 1},
        {{"calculation-types"}, 1},
        {{"payer-types"}, 1},
        {{"insurance-bases"}, 1},
        {{"extended-service"}, 1},
        {{"rates"}, 1},
        {{"control-table"}, 2},
        {{"employers"}, 1},
        {{"employees", "--payer", "1"}, 1},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"print"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const std::string pdf = dir.file(c.args.front() + ".pdf");
        args.insert(args.end(), {"--pdf", pdf});
        const MvzRun r = runMvz(dir.str(), args);
        ASSERT_EQ(r.code, 0) << c.args.front() << "\n" << r.err;
        const std::string content = slurp(pdf);
        ASSERT_EQ(content.rfind("%PDF-", 0), 0u) << c.args.front();
        EXPECT_NE(content.find("%%EOF"), std::string::npos);
        const int pages = pdfPages(content);
        EXPECT_GE(pages, c.minPages) << c.args.front();
        // The command says how many pages it wrote, and the file holds them.
        EXPECT_NE(r.out.find(": " + std::to_string(pages) + (pages == 1 ? " page" : " pages")),
                  std::string::npos)
            << r.out;
    }
}

// Municipality codes whose fourth digit is the control digit over the first three.
std::string municipalitiesCsv(int count) {
    std::string csv = "SIFRA,NAZIV,GRAD\n";
    for (int n = 100, made = 0; made < count; ++n) {
        const int d1 = n / 100, d2 = n / 10 % 10, d3 = n % 10;
        const int r = (4 * d1 + 3 * d2 + 2 * d3) % 11;
        if (r == 0 || 11 - r == 10) continue;
        csv += std::to_string(n) + std::to_string(r == 1 ? 0 : 11 - r) + ",Općina " +
               std::to_string(n) + ",N\n";
        ++made;
    }
    return csv;
}

TEST(PrintCommand, ALongListGetsEveryPage) {
    TempDir dir;
    std::ofstream(dir.file("opc.csv"), std::ios::binary) << municipalitiesCsv(150);
    const MvzRun loaded = runMvz(dir.str(), {"table", "OPC", "load", dir.file("opc.csv")});
    ASSERT_EQ(loaded.code, 0) << loaded.err;
    const MvzRun r = runMvz(
        dir.str(), {"print", "municipalities", "--key", "KEYNAZIV", "--pdf", dir.file("opc.pdf")});
    ASSERT_EQ(r.code, 0) << r.err;
    const int pages = pdfPages(slurp(dir.file("opc.pdf")));
    EXPECT_GE(pages, 3) << "150 rows";
    EXPECT_NE(r.out.find(": " + std::to_string(pages) + " pages, 150 rows"), std::string::npos)
        << r.out;
}

TEST(PrintCommand, RefusesWhatTheListDoesNotTake) {
    TempDir dir;
    ASSERT_EQ(runMvz(dir.str(), {"init"}).code, 0);
    const std::string out = dir.file("x.pdf");
    const struct {
        std::vector<std::string> args;
        const char* err;
    } cases[] = {
        {{"print", "rates", "--payer", "1", "--pdf", out}, "--payer is for"},
        {{"print", "rates", "--key", "KEYOSNOV", "--pdf", out}, "leave out --key"},
        {{"print", "municipalities", "--key", "KEYNEMA", "--pdf", out}, "has no order KEYNEMA"},
        {{"print", "payroll", "--pdf", out}, "there is no list payroll"},
        {{"print", "employees", "--pdf", out}, "name the employer with --payer"},
    };
    for (const auto& c : cases) {
        const MvzRun r = runMvz(dir.str(), c.args);
        EXPECT_EQ(r.code, 2) << c.args[1];
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    // An employer that is not there: the list says so and writes nothing.
    const MvzRun unknown = runMvz(dir.str(), {"print", "employees", "--payer", "9", "--pdf", out});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_NE(unknown.err.find("Nema poslodavca s rednim brojem 9."), std::string::npos)
        << unknown.err;
    EXPECT_FALSE(std::filesystem::exists(out));
    const MvzRun help = runMvz("", {"print", "--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* list :
         {"municipalities", "calculation-types", "payer-types", "insurance-bases",
          "extended-service", "rates", "control-table", "employers", "employees"})
        EXPECT_NE(help.out.find(list), std::string::npos) << list;
}

} // namespace
