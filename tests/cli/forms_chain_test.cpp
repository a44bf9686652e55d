// The chain a user runs without a window: form one or several payers, merge,
// copy the file for handing in, and print the form's pages.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "cli/run_mvz.h"
#include "support/temp_dir.h"

using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

int pdfPages(const std::string& pdf) {
    const std::regex page("/Type\\s*/Page[^s]");
    return static_cast<int>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

// The demo installation, formed for December 2026 when asked.
class FormsChain : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(runMvz(dir.str(), {"init", "--demo"}).code, 0); }

    MvzRun mvz(std::vector<std::string> args) { return runMvz(dir.str(), args); }

    MvzRun form(std::vector<std::string> extra) {
        std::vector<std::string> args = {"form",    "--type", "01",     "--year",    "2026",
                                         "--month", "12",     "--date", "10.12.2026"};
        args.insert(args.end(), extra.begin(), extra.end());
        return mvz(args);
    }

    std::string out(const char* name) { return (dir.path() / "izlaz" / name).string(); }

    TempDir dir;
};

TEST_F(FormsChain, CopyGoesToTheMz0FolderAndNeverOntoItself) {
    const MvzRun formed = form({"--payer", "1", "--mode", "single"});
    ASSERT_EQ(formed.code, 0) << formed.err;
    const std::string payerFile = out("F0010050.TXT");
    const std::string mz0 = (dir.path() / "mz0" / "ZOVAK.MZ0").string();

    const MvzRun copied = mvz({"copy", payerFile});
    ASSERT_EQ(copied.code, 0) << copied.err;
    EXPECT_TRUE(has(copied.out, "copied to:       " + mz0)) << copied.out;
    EXPECT_EQ(slurp(mz0), slurp(payerFile));

    const MvzRun elsewhere = mvz({"copy", payerFile, "--to", dir.file("predano.txt")});
    ASSERT_EQ(elsewhere.code, 0) << elsewhere.err;
    EXPECT_EQ(slurp(dir.file("predano.txt")), slurp(payerFile));

    // Onto itself, also by another spelling of its path: nothing is deleted.
    const std::string before = slurp(payerFile);
    const MvzRun self = mvz({"copy", payerFile, "--to",
                             (dir.path() / "izlaz" / ".." / "izlaz" / "F0010050.TXT").string()});
    EXPECT_EQ(self.code, 1);
    EXPECT_TRUE(has(self.err, "Datoteka nije ni obrisana ni kopirana.")) << self.err;
    EXPECT_EQ(slurp(payerFile), before);

    const MvzRun missing = mvz({"copy", out("F0019999.TXT")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(has(missing.err, "Greška, file: ")) << missing.err;
    EXPECT_EQ(slurp(mz0), before) << "a failed copy leaves the earlier copy";
    EXPECT_EQ(mvz({"copy", (dir.path() / "izlaz").string()}).code, 2);

    // --copy on form and collect copies what they made.
    const MvzRun again = form(
        {"--payer", "1", "--mode", "collective", "--collect", "--copy", dir.file("zbirno.mz0")});
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(slurp(dir.file("zbirno.mz0")), slurp(out("ZOVAK.MZ0")));
}

TEST_F(FormsChain, SeveralPayersEachAllOrNothingWithASummary) {
    // Payer 2 is of type 31 without forms: its proposed sequence number 1 is
    // refused ("Za VOB=31 ... >=50"); payer 9 does not exist.
    ASSERT_EQ(mvz({"table", "POS", "add", "REDBROJ=2", "JMBG=69435151530", "NAZIV=Obrt Jurić",
                   "ADRESA=Ilica 2, Zagreb", "VRSTOBVEZNIKA=31", "KONTAKT=Ivo", "TELEFON=012345678",
                   "EMAIL=ivo@obrt.hr"})
                  .code,
              0);
    const MvzRun r = form({"--payer", "1,2,9", "--mode", "collective", "--collect"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(has(r.out, "payer 1 (Tehnoservis Sava d.o.o.):")) << r.out;
    EXPECT_TRUE(has(r.out, "    1 | obrađen       | Tehnoservis Sava d.o.o.: OBVEZNIK JE USPJEŠNO "
                           "OBRAĐEN-"))
        << r.out;
    EXPECT_TRUE(has(r.out, "    2 | nije obrađen  | Obrt Jurić: Za VOB=31 red. broj unutar "
                           "indetifikatora mora biti >=50"))
        << r.out;
    EXPECT_TRUE(has(r.out, "    9 | nije obrađen  | Poslodavac rednog broja 9 ne postoji"))
        << r.out;
    // Payer 1 stands formed and listed; the list is not merged while a payer
    // is missing from it.
    EXPECT_TRUE(fs::exists(out("F0010050.TXT")));
    EXPECT_TRUE(has(mvz({"list-collective"}).out, "001005001"));
    EXPECT_FALSE(fs::exists(out("ZOVAK.MZ0")));
    EXPECT_TRUE(has(r.err, "Zbirna datoteka nije formirana jer nisu obrađeni svi obveznici."))
        << r.err;

    // Every payer: payer 2 has no rows in November with sequence 60, which
    // does not count against all; payer 1's form is added and merged.
    const MvzRun all =
        mvz({"form", "--payer", "all", "--type", "01", "--year", "2026", "--month", "11", "--seq",
             "60", "--mode", "collective", "--append", "--collect", "--date", "10.12.2026"});
    EXPECT_EQ(all.code, 0) << all.out << all.err;
    EXPECT_TRUE(has(all.out, "    2 | nema podataka | Obrt Jurić: Obrada prekinuta.")) << all.out;
    EXPECT_TRUE(has(all.out, "files 2, forms 2")) << all.out;
    EXPECT_EQ(form({"--payer", "all", "--mode", "single"}).code, 2);
}

TEST_F(FormsChain, PrintsThePagesOfAFormedForm) {
    ::unsetenv("DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    const MvzRun formed =
        form({"--payer", "1", "--mode", "single", "--pdf", dir.file("stranice-a.pdf")});
    ASSERT_EQ(formed.code, 0) << formed.err;
    EXPECT_EQ(pdfPages(slurp(dir.file("stranice-a.pdf"))), 1);

    const struct {
        const char* print;
        const char* form;
        int pages;
    } cases[] = {
        {"page-a", "001005001", 1},
        {"page-a-no-hash", "0010050", 1},
        {"page-b", "0010050", 2}, // 20 rows: 12 and 8
        {"page-b-2", "001005001", 2},
    };
    for (const auto& c : cases) {
        const std::string pdf = dir.file(std::string(c.print) + ".pdf");
        const MvzRun r = mvz({"print", c.print, "--form", c.form, "--pdf", pdf});
        ASSERT_EQ(r.code, 0) << c.print << r.err;
        const std::string content = slurp(pdf);
        EXPECT_EQ(content.rfind("%PDF-", 0), 0u);
        EXPECT_EQ(pdfPages(content), c.pages) << c.print;
    }
    const MvzRun missing =
        mvz({"print", "page-a", "--form", "007000101", "--pdf", dir.file("x.pdf")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(has(missing.err, "Nema obrasca 0001 za firmu 007")) << missing.err;
    EXPECT_FALSE(fs::exists(dir.file("x.pdf")));
    EXPECT_EQ(mvz({"print", "page-b", "--pdf", dir.file("x.pdf")}).code, 2);
}

TEST_F(FormsChain, TheFaultsOfFormAndCollectAreMended) {
    // A payer that does not exist is named as missing.
    const MvzRun noPayer = form({"--payer", "9", "--mode", "single"});
    EXPECT_EQ(noPayer.code, 1);
    EXPECT_TRUE(has(noPayer.err, "Poslodavac rednog broja 9 ne postoji")) << noPayer.err;
    EXPECT_FALSE(has(noPayer.err, "Obavezno upište broj identifikatora"));

    // A calculation type is two characters as typed.
    const MvzRun shortType = mvz({"form", "--payer", "1", "--type", "1", "--year", "2026",
                                  "--month", "12", "--mode", "single"});
    EXPECT_EQ(shortType.code, 1);
    EXPECT_TRUE(has(shortType.err, "Obavezno izaberite vrstu uplate")) << shortType.err;

    // Without --from and --to the whole month is formed.
    const MvzRun whole = form({"--payer", "1", "--mode", "collective"});
    ASSERT_EQ(whole.code, 0) << whole.out << whole.err;
    EXPECT_TRUE(has(whole.out, "persons 20, rows 20, sheets 2")) << whole.out;

    // A failed merge says that the collective file on disk is the earlier one.
    ASSERT_EQ(mvz({"collect", "--date", "10.12.2026"}).code, 0);
    const std::string earlier = slurp(out("ZOVAK.MZ0"));
    fs::remove(out("F0010050.TXT"));
    const MvzRun failed = mvz({"collect", "--date", "11.12.2026"});
    EXPECT_EQ(failed.code, 1);
    EXPECT_TRUE(has(failed.err, "Prethodna zbirna datoteka " + out("ZOVAK.MZ0") +
                                    " od 10.12.2026. ostala je nepromijenjena."))
        << failed.err;
    EXPECT_EQ(slurp(out("ZOVAK.MZ0")), earlier);
}

} // namespace
