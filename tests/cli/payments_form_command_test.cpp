#include <gtest/gtest.h>

#include <ctime>
#include <fstream>

#include "cli/run_mvz.h"
#include "support/temp_dir.h"

using namespace mvz::test;

namespace {

// A payment-data line of the demo employer for June of `year`: a fund member
// with basis 01, municipality 1333, base 1000.00 and the contributions of the
// demo rates (15 % and 5 %).
std::string line(const std::string& year, const std::string& person, const std::string& name,
                 const std::string& pillar1 = "+00000000015000") {
    std::string l = "00001" + std::string(12, ' ') + "  81773745505" + "31" + "01" + "0050" + year +
                    "06" + "01" + "30" + person;
    l += name + std::string(50 - name.size(), ' ');
    l += "1333D010";
    l += "+00000000100000" + std::string("+00000000100000") + pillar1 + "+00000000005000" +
         "+00000000070000";
    return l;
}

class PaymentsFormCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(runMvz(dir.str(), {"init", "--demo"}).code, 0);
        const std::time_t now = std::time(nullptr);
        year = std::to_string(std::localtime(&now)->tm_year + 1900);
    }
    void write(const std::vector<std::string>& lines) {
        std::ofstream out(file, std::ios::binary);
        for (const auto& l : lines)
            out << l << "\r\n";
    }
    MvzRun form(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {
            "payments", "form",    file, "--payer", "1",      "--type", "01",           "--year",
            year,       "--month", "06", "--mode",  "single", "--date", "10.07." + year};
        args.insert(args.end(), extra.begin(), extra.end());
        return runMvz(dir.str(), args);
    }

    TempDir dir;
    std::string file = dir.file("uplate.txt");
    std::string year;
};

TEST_F(PaymentsFormCommand, FormsThePayerFileFromTheChosenPayersLines) {
    write({line(year, "  20572565300", "Horvat Ivan"), line(year, "  42854859232", "Kovac Ana")});
    const MvzRun r = form({"--collect"});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("lines read 2, taken 2, refused 0, findings 0"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("OBVEZNIK JE USPJEŠNO OBRAĐEN\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("payer file:   " + dir.str() + "/izlaz/F0010050.TXT"), std::string::npos);
    EXPECT_NE(r.out.find("persons 2, rows 2, sheets 1"), std::string::npos);
    EXPECT_NE(r.out.find("collective file: " + dir.str() + "/izlaz/ZOVAK.MZ0"), std::string::npos)
        << r.out;
}

TEST_F(PaymentsFormCommand, ARefusedLineFormsNothingAndExitsOne) {
    write({line(year, "  20572565300", "Horvat Ivan", "+00000000000100")});
    const MvzRun r = form();
    EXPECT_EQ(r.code, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("1 IZNOS9 F Upozorenje - razlika o obračunatom doprinosu I. stupa: "),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Obrada je prekinuta, provjerite popis grešaka i upozorenja."),
              std::string::npos);
    EXPECT_FALSE(std::ifstream(dir.str() + "/izlaz/F0010050.TXT").good());

    const MvzRun missing =
        runMvz(dir.str(), {"payments", "form", dir.file("nema.txt"), "--payer", "1", "--type", "01",
                           "--year", year, "--month", "06", "--mode", "single"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("Greška kod preuzimanja podataka " + dir.file("nema.txt")),
              std::string::npos)
        << missing.err;
    EXPECT_EQ(runMvz(dir.str(), {"payments", "form", file, "--payer", "1"}).code, 2);
}

} // namespace
