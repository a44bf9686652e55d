#pragma once
// What one run of a subcommand works with: the data directory, the reporter
// that prints messages to stderr and answers questions, the error reporter
// with the message table, and the table objects of the run.

#include <iosfwd>
#include <memory>
#include <string>

#include "cli_reporter.h"
#include "data/error_reporter.h"
#include "data/tables.h"

namespace mvz {

// A command's input file that is there but is not a regular file (a folder, a
// FIFO, a device) is bad usage: UsageError "<path> is not a regular file". A
// missing file is left to the command, which names it in its own words.
void requireRegularInput(const std::string& path);

class CliSession {
  public:
    CliSession(std::string dataDir, CliReporter::Assume assume, std::ostream& out,
               std::ostream& err);

    const std::string& dataDir() const { return dataDir_; }
    std::ostream& out() { return out_; }
    std::ostream& err() { return err_; }
    CliReporter& reporter() { return reporter_; }
    ErrorReporter& errors() { return errors_; }
    // Created on first use.
    Tables& tables();

    // An empty string when the data directory exists and can be written;
    // otherwise why not.
    std::string checkDataDir() const;
    // Whether the file of a table exists in the data directory.
    bool fileExists(const TableDef& def) const;

    // Prints "mvz: <text>" to stderr and returns kExitRefused.
    int refuse(const std::string& text);

  private:
    std::string dataDir_;
    std::ostream& out_;
    std::ostream& err_;
    CliReporter reporter_;
    ErrorReporter errors_;
    std::unique_ptr<Tables> tables_;
};

} // namespace mvz
