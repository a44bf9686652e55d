#include "ui_model/list_key_hint.h"

namespace mvz {

std::string listKeyHint(const ListKeys& keys) {
    std::string hint;
    auto add = [&hint](const char* part) {
        if (!hint.empty()) hint += " · ";
        hint += part;
    };
    if (keys.insert) add("Insert dodaj");
    if (keys.select)
        add("Enter odaberi");
    else if (keys.change)
        add("Enter promijeni");
    if (keys.remove) add("Delete obriši");
    if (keys.locator) add("tipkajte za traženje");
    return hint;
}

} // namespace mvz
