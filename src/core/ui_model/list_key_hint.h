#pragma once
// The short key hint a list shows in its status line, so the keys are not
// only in the manual: what Insert, Enter and Delete do in this list and
// whether typing looks it up.

#include <string>

namespace mvz {

struct ListKeys {
    bool insert = false;  // the list has an insert button
    bool change = false;  // ... a change button
    bool remove = false;  // ... a delete button
    bool select = false;  // the list was opened to choose a row
    bool locator = false; // typing looks the list up
};

// For example "Insert dodaj · Enter promijeni · Delete obriši · tipkajte za
// traženje"; empty when the list offers none of them.
std::string listKeyHint(const ListKeys& keys);

} // namespace mvz
