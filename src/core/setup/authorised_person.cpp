#include "setup/authorised_person.h"

#include "data/tables.h"

namespace mvz {

bool isPlaceholderIdentifier(std::string_view identifier) {
    return identifier == "0000000000000" || identifier == "1111111111111";
}

std::string authorisedPersonReminder(Tables& tables) {
    TableAccess& apl = tables.access("APLPARAM");
    if (apl.open() != result::Ok) return {};
    apl.record().clear();
    apl.setStart();
    // Without a record the buffer stays cleared (blanks): no reminder.
    if (apl.next() != result::Ok) apl.record().clear();
    const bool placeholder =
        isPlaceholderIdentifier(apl.record().text(apl.def().fieldIndex("JMBG")));
    apl.close();
    return placeholder ? std::string(kAuthorisedPersonReminder) : std::string();
}

} // namespace mvz
