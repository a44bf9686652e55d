#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/day_number.h"
#include "submission/collective.h"
#include "submission/digest.h"
#include "submission/forming.h"
#include "support/demo_installation.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

// A demo installation (one payer of type 31 with 20 employees and their pay
// rows for November and December 2026) and the forming window's values.
class Forming : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(installDemo(dir.str(), st.errors));
        rq = demoFormingRequest();
    }
    FormingResult form() { return formPayer(st.tables, rq); }
    std::vector<std::string> lines(const std::string& path) {
        std::string text = slurp(path);
        std::vector<std::string> out;
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = text.find("\r\n", at);
            if (end == std::string::npos) end = text.size();
            out.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return out;
    }
    long long rowsOfForm(const std::string& link) {
        TableAccess& osi = st.tables.access("OSI");
        EXPECT_EQ(osi.open(), 0);
        long long n = 0;
        for (const auto& k : column(osi, "KEYOBRGODMJE", "KONVEZA"))
            if (k == link) ++n;
        osi.close();
        return n;
    }
    std::string pageAField(const std::string& link, const std::string& field) {
        return st.lookUp("A", "KONVEZA", link, field);
    }

    TempDir dir;
    Station st{dir.str()};
    FormingRequest rq;
};

TEST_F(Forming, WritesTheFileOfRecordsAndStoresItsMark) {
    const FormingResult r = form();
    ASSERT_TRUE(r.done);
    EXPECT_EQ(r.formIdentifier, "0010050");
    EXPECT_EQ(r.linkKey, "001005001");
    EXPECT_EQ(r.payerFile, dir.str() + "/izlaz/F0010050.TXT");
    EXPECT_EQ(r.persons, 20);
    EXPECT_EQ(r.rows, 20);
    EXPECT_EQ(r.sheets, 2);
    const auto file = lines(r.payerFile);
    ASSERT_EQ(file.size(), 1u + 1 + 20 + 1 + 1);
    std::string types;
    for (const auto& l : file) {
        EXPECT_EQ(l.size(), 250u);
        types += l.back();
    }
    EXPECT_EQ(types, "03" + std::string(20, '5') + "79");
    EXPECT_EQ(file[1].substr(139, 5), "00020"); // MV3BROS
    EXPECT_EQ(file.back().substr(33, 6), "000001");
    EXPECT_EQ(r.controlMark, groupedMark(doSHAOnFile(r.payerFile)));
    EXPECT_EQ(pageAField(r.linkKey, "KONZNAK"), r.controlMark);
    EXPECT_EQ(st.reporter.statuses.back(), "OBVEZNIK JE USPJEŠNO OBRAĐEN-" + r.payerFile);
    EXPECT_FALSE(fs::exists(r.payerFile + ".new"));
    TableAccess& tbt = st.tables.access("TBT");
    ASSERT_EQ(tbt.open(), 0);
    EXPECT_EQ(column(tbt, "", "IDENTIFIKATOR"), std::vector<std::string>{"001005001"});
}

TEST_F(Forming, FormingAgainReplacesTheForm) {
    ASSERT_TRUE(form().done);
    const FormingResult again = form();
    ASSERT_TRUE(again.done);
    EXPECT_EQ(rowsOfForm("001005001"), 20);
    EXPECT_EQ(pageAField("001005001", "BROJOSIG"), "20");
    TableAccess& a = st.tables.access("A");
    ASSERT_EQ(a.open(), 0);
    EXPECT_EQ(a.count(), 1);
}

// A run that stops leaves the form as it was: its rows, page A, payer file.
TEST_F(Forming, AStoppedRunKeepsTheFormAsItWas) {
    const FormingResult first = form();
    ASSERT_TRUE(first.done);
    const std::string before = slurp(first.payerFile);
    rq.month = 5; // no pay rows in May: nothing is taken
    const FormingResult stopped = form();
    EXPECT_FALSE(stopped.done);
    EXPECT_EQ(st.reporter.statuses.back(), "Obrada prekinuta. Pročitano=40 Preuzeto=0");
    EXPECT_EQ(rowsOfForm("001005001"), 20);
    EXPECT_EQ(pageAField("001005001", "KONZNAK"), first.controlMark);
    EXPECT_EQ(slurp(first.payerFile), before);
}

TEST_F(Forming, ChecksStopBeforeAnythingChanges) {
    struct Case {
        std::function<void(FormingRequest&)> change;
        std::string message;
    };
    const std::vector<Case> cases = {
        {[](FormingRequest& r) { r.sequence = 49; },
         "Za VOB=31 red. broj unutar indetifikatora mora biti >=50"},
        {[](FormingRequest& r) { r.mode = SendingMode::Unset; },
         "Obavezno izaberite način slanja podataka"},
        {[](FormingRequest& r) { r.year = 2004; }, "Greška. Godina mora biti veća od 2004"},
        {[](FormingRequest& r) { r.month = 13; }, "Pogrešna oznaka mjeseca"},
        {[](FormingRequest& r) { r.payer = 9; }, "Greška 35"},
        {[](FormingRequest& r) { r.calculationType = "7"; }, "Obavezno izaberite vrstu uplate"},
        {[](FormingRequest& r) { r.sequence = 9900; }, "Broj mora biti <=9899"},
    };
    for (const Case& c : cases) {
        FormingRequest saved = rq;
        c.change(rq);
        EXPECT_FALSE(form().done) << c.message;
        EXPECT_EQ(st.reporter.lastBox().text, c.message);
        rq = saved;
    }
    EXPECT_EQ(rowsOfForm("001005001"), 0);
    EXPECT_FALSE(fs::exists(dir.path() / "izlaz" / "F0010050.TXT"));
}

TEST_F(Forming, AReadOnlyPayerFileIsNotReplaced) {
    const FormingResult first = form();
    ASSERT_TRUE(first.done);
    fs::permissions(first.payerFile, fs::perms::owner_read | fs::perms::group_read);
    const std::string before = slurp(first.payerFile);
    rq.sendingDate = dayNumber(2026, 12, 11);
    EXPECT_FALSE(form().done);
    EXPECT_EQ(st.reporter.lastBox().text, "Greška pri formiranju datoteke " + first.payerFile +
                                              ": datoteka je zaštićena od pisanja");
    EXPECT_EQ(slurp(first.payerFile), before);
    EXPECT_EQ(pageAField(first.linkKey, "KONZNAK"), first.controlMark);
}

TEST_F(Forming, CollectiveFileMergesTheListedForms) {
    rq.mode = SendingMode::Collective;
    std::vector<std::string> links;
    for (int seq : {50, 51, 52}) {
        rq.sequence = seq;
        rq.job = seq == 50 ? CollectiveJob::NewFile : CollectiveJob::AddToFile;
        const FormingResult r = form();
        ASSERT_TRUE(r.done) << seq;
        links.push_back(r.linkKey);
    }
    const CollectiveResult c = CollectiveHash(st.tables, rq.sendingDate);
    ASSERT_TRUE(c.done);
    EXPECT_EQ(c.file, dir.str() + "/izlaz/ZOVAK.MZ0");
    const auto file = lines(c.file);
    ASSERT_EQ(file.size(), 1u + 3 * (2 + 20) + 1);
    EXPECT_EQ(file.front().back(), '0');
    EXPECT_EQ(file.back().substr(33, 6), "000003");
    EXPECT_EQ(std::count_if(file.begin(), file.end(), [](auto& l) { return l.back() == '0'; }), 1);
    EXPECT_EQ(c.controlMark, groupedMark(doSHAOnFile(c.file)));
    for (const auto& link : links)
        EXPECT_EQ(pageAField(link, "KONZNAK"), c.controlMark);
    ASSERT_EQ(c.merged.size(), 3u);
    EXPECT_EQ(c.merged[1].listedAs, links[1]);
    EXPECT_EQ(c.merged[1].rows, 20);
}

TEST_F(Forming, AMissingListedFileFailsTheMergeAndNamesIt) {
    rq.mode = SendingMode::Collective;
    for (int seq : {50, 51}) {
        rq.sequence = seq;
        rq.job = seq == 50 ? CollectiveJob::NewFile : CollectiveJob::AddToFile;
        ASSERT_TRUE(form().done);
    }
    const std::string missing = dir.str() + "/izlaz/F0010051.TXT";
    fs::remove(missing);
    const std::string markBefore = pageAField("001005001", "KONZNAK");
    const CollectiveResult c = CollectiveHash(st.tables, rq.sendingDate);
    EXPECT_FALSE(c.done);
    EXPECT_NE(st.reporter.lastBox().text.find(missing), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.path() / "izlaz" / "ZOVAK.MZ0"));
    EXPECT_EQ(pageAField("001005001", "KONZNAK"), markBefore);
}

} // namespace
