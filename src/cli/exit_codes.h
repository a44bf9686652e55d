#pragma once
// Exit codes of the command line, and the error for bad usage.

#include <stdexcept>

namespace mvz {

constexpr int kExitOk = 0;
// The run refused the input: a message was shown, a value was malformed, a
// record was not found, or the data directory cannot be used.
constexpr int kExitRefused = 1;
// Bad usage: unknown options, unknown table, field or key names.
constexpr int kExitUsage = 2;

// Bad usage found after the options were read (an unknown table or field
// name); the command line prints it and exits with kExitUsage.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace mvz
