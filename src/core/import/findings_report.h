#pragma once
// The data of the findings report ("Izvješće o greškama") as pages for the
// report printer: every finding of TBIZLAZ1 in line-number order, one entry
// per finding with its line ("Redak"), field code ("Kolona"), kind ("Tip")
// and message ("Opis greške") as two lines of 70 characters. Each page
// carries the heading: the fields of the file's type-0 record taken from
// line 1 and of its type-3 record taken from line 2, each only when that line
// has that record type.

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mvz {

class Tables;

inline constexpr std::size_t kFindingsPerReportPage = 25;

struct ReportField {
    std::string code;  // the record layout's field code, "MV0NAZO"
    std::string value; // UTF-8, the field's characters without trailing blanks
    friend bool operator==(const ReportField&, const ReportField&) = default;
};

struct FindingsReportHeading {
    std::vector<ReportField> sender; // line 1 as a type-0 record; empty when it is not one
    std::vector<ReportField> form;   // line 2 as a type-3 record; empty when it is not one

    // The value of a field of either record, "" when absent.
    std::string value(std::string_view code) const;
};

struct FindingsReportEntry {
    long line = 0;
    std::string field; // UTF-8, without trailing blanks
    char kind = ' ';   // 'F' or 'U'
    // Characters 1-70 and 71-140 of the message (UTF-8, trailing blanks dropped).
    std::array<std::string, 2> message;
    friend bool operator==(const FindingsReportEntry&, const FindingsReportEntry&) = default;
};

struct FindingsReportPage {
    long number = 0; // from 1
    FindingsReportHeading heading;
    std::vector<FindingsReportEntry> entries;
};

// The entry of one finding from its TBIZLAZ1 values (CP1250 texts).
FindingsReportEntry reportEntry(long line, std::string_view field, char kind,
                                std::string_view message);

// The heading from lines 1 and 2 of TBIZLAZ (empty parts when the table
// cannot be read).
FindingsReportHeading findingsReportHeading(Tables& tables);

// Gives the pages one by one (`perPage` entries each, at least 1; none when
// there are no findings); visit returns false to stop. Returns the number of
// pages given, or -1 when the findings cannot be read (the table access has
// shown why).
long forEachFindingsReportPage(Tables& tables, std::size_t perPage,
                               const std::function<bool(const FindingsReportPage&)>& visit);

// All pages at once.
std::vector<FindingsReportPage> findingsReport(Tables& tables,
                                               std::size_t perPage = kFindingsPerReportPage);

} // namespace mvz
