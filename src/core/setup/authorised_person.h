#pragma once
// The authorised person of the application parameters while it is still a
// placeholder: the main frame reminds the user at start to enter a real one.

#include <string>
#include <string_view>

namespace mvz {

class Tables;

// The reminder the main frame shows ("|" starts a new line of the box).
inline constexpr std::string_view kAuthorisedPersonReminder =
    "Obavezno ispravite podatke o ovlaštenoj osobi|Izmjenu izvršite kroz Servisi/Aplikacijski "
    "parametri";

// True for the two placeholder identifiers: 13 zeros or 13 ones (the stored
// 13-character field, so padding blanks make it a different value).
bool isPlaceholderIdentifier(std::string_view identifier);

// Reads the first record of APLPARAM (opening it through `tables`, creating
// it when missing, and closing it again) and returns the reminder text when
// its authorised person is a placeholder; empty otherwise, also when the
// table holds no record or cannot be opened (the open reports that itself).
std::string authorisedPersonReminder(Tables& tables);

} // namespace mvz
