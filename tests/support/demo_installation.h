#pragma once
// The demo installation as it stands on 10 December 2026: payer 1 of type 31
// (identifier 81773745505, blank business number, working folder rad/) with
// 20 employees and their pay rows for November and December 2026; and the
// forming window's values for that payer's December form.

#include <cstdint>
#include <string>

#include "submission/forming.h"

namespace mvz {
class ErrorReporter;
}

namespace mvz::test {

// 10 December 2026, the installation's "today".
std::int32_t demoToday();

// Makes the installation in `dir`; false when it could not be made (the
// reason went to `errors`).
bool installDemo(const std::string& dir, ErrorReporter& errors);

// Type 01, days 1 to 31 of December 2026 paid in December 2026, sequence
// number 50, sent on demoToday() on its own.
FormingRequest demoFormingRequest();

} // namespace mvz::test
