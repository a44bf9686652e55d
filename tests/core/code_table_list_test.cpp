#include <gtest/gtest.h>

#include <sstream>

#include "print/code_table_list.h"
#include "setup/initialize.h"
#include "support/table_fixture.h"

using namespace mvz;
using namespace mvz::test;

namespace {

// The texts of a column (by its left edge) below the captions, page after page.
std::vector<std::string> column(const PageModel& model, int x, const std::string& caption) {
    std::vector<std::string> out;
    for (const Page& page : model.pages)
        for (const PageItem& item : page.items)
            if (const auto* t = std::get_if<TextItem>(&item); t && t->x == x && t->text != caption)
                out.push_back(t->text);
    return out;
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

} // namespace

TEST(CodeTableList, WrapsADescriptionAtBlanksAndCutsAWordLongerThanALine) {
    struct Case {
        const char* text;
        std::size_t width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"Obračun plaće po rješenju o rasporedu",
         16,
         {"Obračun plaće po", "rješenju o", "rasporedu"}},
        {"  kratko  ", 20, {"kratko"}},
        {"ABCDEFGHIJ", 4, {"ABCD", "EFGH", "IJ"}},
        {"čćđšž čćđšž", 5, {"čćđšž", "čćđšž"}}, // letters, not bytes
        {"", 10, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wrapText(c.text, c.width), c.lines) << c.text;
}

TEST(CodeTableList, EachTablePrintsItsCodesInOrderWithTheWholeDescription) {
    TempDir dir;
    {
        Station init(dir.str());
        ASSERT_TRUE(initializeDataDirectory(dir.str(), init.errors).ok);
    }
    for (const char* prefix : {"VUP", "VOB", "TBO", "STA"}) {
        Station st(dir.str());
        const CodeTableList& list = codeTableList(prefix);
        ReportResult r = printCodeTable(st.tables, list, "08.12.2010 14:05", st.reporter);
        ASSERT_EQ(r.status, ReportStatus::Done) << prefix;
        EXPECT_EQ(r.pages.title, list.heading);

        // The codes in key order, each once, and the description's words all there.
        TableAccess& t = st.open(prefix);
        t.setOrder(t.def().keyIndex("KEYSIFRA"));
        std::vector<std::string> codes, words, printedWords;
        while (t.next() == result::Ok) {
            codes.push_back(get(t, "SIFRA"));
            for (const std::string& w : ::words(get(t, "OPIS")))
                words.push_back(w);
        }
        t.close();
        std::vector<std::string> printedCodes;
        for (const std::string& c : column(r.pages, 170, list.codeCaption))
            if (!c.empty()) printedCodes.push_back(c);
        EXPECT_EQ(printedCodes, codes) << prefix;
        EXPECT_EQ(r.records, static_cast<std::int64_t>(codes.size()));
        for (const std::string& line : column(r.pages, 370, list.textCaption)) {
            EXPECT_LE(line.size(), 72u * 2) << line;
            for (const std::string& w : ::words(line))
                printedWords.push_back(w);
        }
        EXPECT_EQ(printedWords, words) << prefix;
    }
}
