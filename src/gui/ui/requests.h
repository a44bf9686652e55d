#pragma once
// The values a caller hands to the window it opens and gets back from it.
// They are set immediately before the window starts and read in its init;
// every window lives in the GUI thread, so plain globals suffice.

#include <cstdint>

namespace mvz {

// Requests a window is opened for (also ProcedureWindow::request()).
namespace request {
constexpr std::uint8_t View = 0;
constexpr std::uint8_t Insert = 1;
constexpr std::uint8_t Change = 2;
constexpr std::uint8_t Delete = 3;
constexpr std::uint8_t Select = 4;
} // namespace request

// Completion codes (also ProcedureWindow::response()).
namespace response {
constexpr std::uint8_t None = 0;
constexpr std::uint8_t Completed = 1;
constexpr std::uint8_t Cancelled = 2;
} // namespace response

// The request the next window is opened for.
inline std::uint8_t PendingRequest = request::View;
// The completion code the last window returned to its caller.
inline std::uint8_t LastResponse = response::None;
// A toolbar navigation request (a control number, 0 none) carried out of a
// form to the list that opened it.
inline long PendingNavigation = 0;

} // namespace mvz
