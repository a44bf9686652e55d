#include "cli_session.h"

#include <filesystem>
#include <iostream>
#include <ostream>
#include <system_error>
#include <unistd.h>

#include "data/input_file.h"
#include "data/message_table.h"
#include "exchange/exchange.h"
#include "exit_codes.h"
#include "submission/file_swap.h"

namespace mvz {

void requireRegularInput(const std::string& path) {
    if (isOtherThanRegularFile(path)) throw UsageError(path + " is not a regular file");
}

CliSession::CliSession(std::string dataDir, CliReporter::Assume assume, std::ostream& out,
                       std::ostream& err)
    : dataDir_(dataDir.empty() ? "." : std::move(dataDir)), out_(out), err_(err),
      reporter_(err, &err == &std::cerr && ::isatty(STDERR_FILENO) == 1, assume),
      errors_(reporter_) {
    errors_.addMessages(standardMessages());
    // An import or takeover cut short is finished or undone before anything
    // reads the data, and so is a forming or collective run killed between
    // putting its file in place and committing its form.
    recoverInterruptedExchange(dataDir_);
    recoverInterruptedRuns(dataDir_);
}

Tables& CliSession::tables() {
    if (!tables_) tables_ = std::make_unique<Tables>(dataDir_, errors_);
    return *tables_;
}

std::string CliSession::checkDataDir() const {
    std::error_code ec;
    if (!std::filesystem::exists(dataDir_, ec))
        return "the data directory " + dataDir_ + " does not exist";
    if (!std::filesystem::is_directory(dataDir_, ec))
        return "the data directory " + dataDir_ + " is not a directory";
    if (::access(dataDir_.c_str(), W_OK | X_OK) != 0)
        return "the data directory " + dataDir_ + " cannot be written";
    return {};
}

bool CliSession::fileExists(const TableDef& def) const {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(dataDir_) / def.baseName(), ec);
}

int CliSession::refuse(const std::string& text) {
    err_ << "mvz: " << text << '\n' << std::flush;
    return kExitRefused;
}

} // namespace mvz
