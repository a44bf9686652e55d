// The review services over the results of a real formal control run: a file
// formed by the domain core, damaged in two places, checked, then reviewed.

#include <gtest/gtest.h>

#include <fstream>

#include "base/day_number.h"
#include "data/record.h"
#include "import/field_view.h"
#include "import/findings_report.h"
#include "import/formal_control.h"
#include "import/print_from_file.h"
#include "import/transcript.h"
#include "submission/forming.h"
#include "support/demo_installation.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

TEST(CheckedFileReview, WorksOnTheTablesOfAFormalControlRun) {
    TempDir dir;
    Station st(dir.str());
    ASSERT_TRUE(installDemo(dir.str(), st.errors));
    const FormingResult formed = formPayer(st.tables, demoFormingRequest());
    ASSERT_TRUE(formed.done);

    // Line 1 gets a wrong format mark (a warning), line 3 a wrong OIB (an error).
    std::string text = slurp(formed.payerFile);
    text.replace(223, 5, "MZ400");
    const std::size_t line3 = 2 * 252;
    text.replace(line3 + 5, 13, "  12345678901");
    const std::string path = dir.file("izlaz/PROVJERA.TXT");
    std::ofstream(path, std::ios::binary) << text;

    FormalControlOptions options;
    options.today = demoToday();
    const FormalControlResult checked = runFormalControl(st.tables, path, options);
    ASSERT_TRUE(checked.done());
    ASSERT_GE(checked.errors, 1);
    st.reporter.clear();

    ASSERT_TRUE(writeTranscript(st.tables, st.reporter));
    const std::string transcript = slurp(dir.file("rad/TBIZLAZ2.TXT"));
    EXPECT_EQ(transcript.substr(0, 91), "    1 MZ0OFOR    U Pogre\x9A"
                                        "na oznaka formata" +
                                            std::string(47, ' ') + "\r\n");
    EXPECT_NE(transcript.find("    3 MV5IBOO    F OIB je pogre\x9A"
                              "an."),
              std::string::npos);
    EXPECT_EQ(transcript.size() % 91, 0u);

    const auto pages = findingsReport(st.tables);
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(pages[0].heading.value("MV0IBOO"), "  89029274466");
    EXPECT_EQ(pages[0].heading.value("MV3IDOB"), "0050");
    EXPECT_EQ(pages[0].entries.front().line, 1);
    EXPECT_EQ(pages[0].entries.front().message[0], "Pogrešna oznaka formata");

    TableAccess& lines = st.tables.access("ULZ");
    ASSERT_EQ(lines.open(), 0);
    lines.record().clear();
    lines.record().setInteger(lines.def().fieldIndex("REDBROJ"), 2);
    ASSERT_EQ(lines.fetch(0), 0);
    const FieldView view = fieldView(lineOfRow(lines.record()));
    EXPECT_EQ(view.heading, "VODEĆI SLOG JEDNOG OBRASCA - tip sloga 3");
    EXPECT_EQ(view.pairs[2].value, "0050");
    lines.close();

    const PageAPrintJob a = preparePageAFromFile(st.tables, st.reporter, path);
    EXPECT_EQ(a.outcome, PrintPreparation::Ready);
    EXPECT_EQ(a.linkKey, "888005001");
    const PageBPrintJob b = preparePageBFromFile(st.tables, st.reporter, path);
    EXPECT_EQ(b.outcome, PrintPreparation::Ready);
    EXPECT_EQ(b.rows, formed.rows);
    EXPECT_EQ((b.rows + b.fillers) % 12, 0);
    EXPECT_TRUE(st.reporter.boxes.size() == 1) << st.reporter.boxes.size(); // the transcript's
}

} // namespace
