#pragma once
// The findings of a check as a CSV file for spreadsheets and scripts: UTF-8,
// the header line,field,kind,name,message,start,end,value, then one row per
// finding in the order the check makes them (line order), with no limit on
// their number. A field is quoted as RFC 4180 asks when it holds a comma, a
// quote or a line end (inner quotes doubled), and also when leading or
// trailing blanks must survive; rows end with CR LF. A value that begins with
// "=" or "@" is written after an apostrophe ("'=1+1"), so that a spreadsheet
// shows it as text instead of running it as a formula.
//
// Rows are written as they come, so memory does not grow with the number of
// findings. The file is written under a name of its own and takes its name
// only at finish(): an interrupted check leaves no half file behind, and the
// half file of a killed one is removed when the next opens the same file.

#include <cstdio>
#include <string>

#include "import/finding.h"

namespace mvz {

// The header row and one finding's row, each with its CR LF.
std::string findingsCsvHeader();
std::string findingCsvRow(const Finding& finding);

class FindingsCsv : public FindingSink {
  public:
    FindingsCsv() = default;
    ~FindingsCsv() override;
    FindingsCsv(const FindingsCsv&) = delete;
    FindingsCsv& operator=(const FindingsCsv&) = delete;

    // Starts the file for `path` and writes the header; false when it cannot
    // be created (error() says why).
    bool open(const std::string& path);
    void add(const Finding& finding) override;
    // Writes out the rows and gives the file its name; false when writing failed.
    bool finish();
    // Drops the rows written so far; an earlier file of the name stays.
    void abandon();

    const std::string& error() const { return error_; }
    long long rows() const { return rows_; }

  private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string partPath_;
    std::string error_;
    long long rows_ = 0;
};

} // namespace mvz
