#pragma once
// The printed lists of the four small code tables (calculation/correction
// types, payer types, insurance bases, extended-service marks): the heading
// with the print stamp, the code and the long description as a text of as
// many lines as it needs, in code order.

#include <string>
#include <string_view>
#include <vector>

#include "print/report_result.h"

namespace mvz {

class Reporter;
class Tables;

struct CodeTableList {
    std::string prefix;      // "VUP"
    std::string heading;     // "ŠIFARNIK - VRSTE OBRAČUNA ISPRAVKA"
    std::string codeCaption; // "Oznaka"
    std::string textCaption; // "Vrsta obračuna/ispravka"
};

// The lists by table prefix: VUP, VOB, TBO, STA.
const std::vector<CodeTableList>& codeTableLists();
// The list of the table with that prefix; throws std::out_of_range for another.
const CodeTableList& codeTableList(std::string_view prefix);

// Reads the table in the order of its code (KEYSIFRA) and lays out its pages.
ReportResult printCodeTable(Tables& tables, const CodeTableList& list, const std::string& stamp,
                            Reporter& reporter);

// A text broken into lines of at most `width` characters, at blanks where it
// can be (a longer word is cut); UTF-8, no empty lines.
std::vector<std::string> wrapText(std::string_view text, std::size_t width);

} // namespace mvz
