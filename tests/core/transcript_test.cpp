#include <gtest/gtest.h>

#include <filesystem>

#include "import/transcript.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;
namespace fs = std::filesystem;

namespace {

std::string pad(std::string s, std::size_t width) {
    s.resize(width, ' ');
    return s;
}

// 150 characters: "A" x 70, "B" x 70, "C" x 10.
const std::string kLong = std::string(70, 'A') + std::string(70, 'B') + std::string(10, 'C');

TEST(TranscriptLines, ShortAndLongMessages) {
    struct Case {
        std::string message;
        std::vector<std::string> lines;
    };
    const std::string head = "   12 MV5IBOO    F ";
    const Case cases[] = {
        {"OIB je pogre\x9A"
         "an.",
         {pad(head + "OIB je pogre\x9A"
                     "an.",
              89)}},
        // Characters 71-140 blank: no second line.
        {std::string(70, 'x') + std::string(70, ' '), {head + std::string(70, 'x')}},
        // Characters 141-150 never appear.
        {kLong, {head + std::string(70, 'A'), std::string(19, ' ') + std::string(70, 'B')}},
        {std::string(71, 'y'), {head + std::string(70, 'y'), pad(std::string(19, ' ') + "y", 89)}},
    };
    for (const Case& c : cases) {
        const auto lines = transcriptLines(12, "MV5IBOO", 'F', c.message);
        EXPECT_EQ(lines, c.lines) << c.message;
        for (const auto& l : lines)
            EXPECT_EQ(l.size(), kTranscriptLineLength);
    }
}

// Findings stored the way the formal control stores them, in a data folder
// whose application parameters name a working folder.
class Transcript : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(work);
        TableAccess& apl = st.tables.access("APL");
        ASSERT_EQ(apl.open(), 0);
        apl.record().clear();
        set(apl, "RB", "1");
        set(apl, "RADDIR", work);
        ASSERT_EQ(apl.add(), 0);
        apl.close();
    }
    void addFinding(long line, const std::string& field, const std::string& kind,
                    const std::string& message) {
        TableAccess& t = st.tables.access("ULZ1");
        ASSERT_EQ(t.open(), 0);
        t.record().clear();
        set(t, "REDBROJ", std::to_string(line));
        set(t, "KOLONA", field);
        set(t, "TIP", kind);
        set(t, "PREZIME", "Slog tipa 0");
        set(t, "GRESKA", message);
        ASSERT_EQ(t.add(), 0);
        t.close();
    }
    std::string transcript() const { return slurp(work + "TBIZLAZ2.TXT"); }

    TempDir dir;
    Station st{dir.str()};
    const std::string work = dir.str() + "/rad/";
};

TEST_F(Transcript, WritesTheFindingsInLineOrderIntoTheWorkingFolder) {
    addFinding(7, "MV5IBOO", "F", "OIB je pogrešan.");
    addFinding(1, "MZ0OFOR", "U", "Pogrešna oznaka formata ");
    addFinding(3, "MV3MMGG", "F", kLong.substr(0, 140)); // as the control cuts it

    ASSERT_TRUE(writeTranscript(st.tables, st.reporter));
    const std::string expected = pad("    1 MZ0OFOR    U Pogre\x9A"
                                     "na oznaka formata ",
                                     89) +
                                 "\r\n" + "    3 MV3MMGG    F " + std::string(70, 'A') + "\r\n" +
                                 std::string(19, ' ') + std::string(70, 'B') + "\r\n" +
                                 pad("    7 MV5IBOO    F OIB je pogre\x9A"
                                     "an.",
                                     89) +
                                 "\r\n";
    EXPECT_EQ(transcript(), expected);
    EXPECT_FALSE(fs::exists(dir.file("TBIZLAZ2.TXT")));
    ASSERT_EQ(st.reporter.boxes.size(), 1u);
    EXPECT_EQ(st.reporter.lastBox().text,
              "Formiran je izlazni file pod imenom TBIZLAZ2.TXT " + work);
    ASSERT_FALSE(st.reporter.progressCalls.empty());
    EXPECT_EQ(st.reporter.progressCalls.back(), (std::pair<std::uint64_t, std::uint64_t>{3, 3}));

    // The file read back through its table gives the same fields.
    TableAccess& t = st.tables.access("ULZ11");
    ASSERT_EQ(t.open(), 0);
    EXPECT_EQ(column(t, "", "REDBROJ"), (std::vector<std::string>{"    1", "    3", "", "    7"}));
    EXPECT_EQ(column(t, "", "TIP"), (std::vector<std::string>{"U", "F", "", "F"}));
}

TEST_F(Transcript, ARunReplacesTheEarlierTranscriptEvenWhileThisWindowHasItOpen) {
    addFinding(1, "MV0REZ1", "F", "SL0:MV0REZ1 mora biti prazno ili 000000000000");
    ASSERT_TRUE(writeTranscript(st.tables, st.reporter));
    TableAccess& t = st.tables.access("ULZ11");
    ASSERT_EQ(t.open(), 0);

    TableAccess& findings = st.tables.access("ULZ1");
    ASSERT_EQ(findings.open(), 0);
    ASSERT_EQ(findings.removeAll(), 0);
    findings.close();
    ASSERT_TRUE(writeTranscript(st.tables, st.reporter));
    EXPECT_EQ(transcript(), "");
    EXPECT_EQ(st.reporter.boxes.size(), 2u);
}

TEST_F(Transcript, AFileThatCannotBeOpenedIsReported) {
    addFinding(1, "MV0REZ1", "F", "x");
    fs::create_directories(work + "TBIZLAZ2.TXT"); // a folder where the file should be
    EXPECT_FALSE(writeTranscript(st.tables, st.reporter));
    ASSERT_EQ(st.reporter.boxes.size(), 1u);
    EXPECT_EQ(st.reporter.lastBox().text.rfind("Greška pri otvaranju TBIZLAZ2.TXT ", 0), 0u)
        << st.reporter.lastBox().text;
}

} // namespace
