#include "print/code_table_list.h"

#include <stdexcept>

#include "base/reporter.h"
#include "data/tables.h"
#include "print/list_pages.h"
#include "print/table_list_run.h"

namespace mvz {

namespace {

// Characters of the description column (150 mm at the list's type size).
constexpr std::size_t kTextWidth = 72;

std::size_t charLength(unsigned char lead) {
    return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

} // namespace

const std::vector<CodeTableList>& codeTableLists() {
    static const std::vector<CodeTableList> lists{
        {"VUP", "ŠIFARNIK - VRSTE OBRAČUNA ISPRAVKA", "Oznaka", "Vrsta obračuna/ispravka"},
        {"VOB", "ŠIFARNIK - VRSTE OBVEZNIKA", "Oznaka", "Vrsta obveznika - poslodavca"},
        {"TBO", "ŠIFARNIK - OSNOV OSIGURANJA", "Šifra", "Osnov osiguranja"},
        {"STA", "ŠIFARNIK - STAŽ S UVEĆANIM TRAJANJEM", "Oznaka",
         "Vrsta staža s uvećanim trajanje"},
    };
    return lists;
}

const CodeTableList& codeTableList(std::string_view prefix) {
    for (const CodeTableList& list : codeTableLists())
        if (list.prefix == prefix) return list;
    throw std::out_of_range("no code-table list for " + std::string(prefix));
}

std::vector<std::string> wrapText(std::string_view text, std::size_t width) {
    std::vector<std::string> lines;
    std::string line, word;
    std::size_t lineChars = 0, wordChars = 0;
    auto endLine = [&] {
        std::string t = trimmed(line);
        if (!t.empty()) lines.push_back(std::move(t));
        line.clear();
        lineChars = 0;
    };
    auto endWord = [&] {
        if (word.empty()) return;
        if (lineChars > 0 && lineChars + 1 + wordChars > width) endLine();
        if (lineChars > 0) {
            line += ' ';
            ++lineChars;
        }
        line += word;
        lineChars += wordChars;
        word.clear();
        wordChars = 0;
    };
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n =
            std::min(charLength(static_cast<unsigned char>(text[i])), text.size() - i);
        if (text[i] == ' ' || text[i] == '\n' || text[i] == '\r') {
            endWord();
            ++i;
            continue;
        }
        if (wordChars == width) {
            // A word longer than a line is cut.
            endWord();
            endLine();
        }
        word.append(text.substr(i, n));
        ++wordChars;
        i += n;
    }
    endWord();
    endLine();
    return lines;
}

ReportResult printCodeTable(Tables& tables, const CodeTableList& list, const std::string& stamp,
                            Reporter& reporter) {
    TableAccess& table = tables.access(list.prefix);
    const TableDef& def = table.def();
    const int code = def.fieldIndex("SIFRA");
    const int text = def.fieldIndex("OPIS");
    ListPages pages(list.heading,
                    {{list.codeCaption, 170, 150, TextAlign::Left},
                     {list.textCaption, 370, 1480, TextAlign::Left}},
                    stamp);
    return runTableList(table, def.keyIndex("KEYSIFRA"), pages, reporter, [&](const Record& rec) {
        std::vector<std::string> lines = wrapText(rec.display(text), kTextWidth);
        if (lines.empty()) lines.emplace_back();
        for (std::size_t i = 0; i < lines.size(); ++i)
            pages.addRow({i == 0 ? rec.display(code) : std::string(), lines[i]});
    });
}

} // namespace mvz
