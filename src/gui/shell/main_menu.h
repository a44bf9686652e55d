#pragma once
// The main frame's menu tree as one declarative table: top-level menus, their
// items and separators in order, each item with its control number, its
// text with the hot letter after "&", its status-bar text and what choosing
// it does. The frame builds its menu bar from this table alone.

#include <span>
#include <string_view>

namespace mvz {

enum class MenuEntryKind { Menu, Item, Separator };

// What choosing an item does. Window items start the window registered under
// the item's name (disabled until one is registered); the rest are the
// frame's own standard actions.
enum class MenuCommand {
    None,         // a top-level menu or a separator
    Window,       // start the registered window as a child of the frame
    Exit,         // close the frame, which ends the program
    PrinterSetup, // the system dialog for choosing and setting up the printer
    Cut,
    Copy,
    Paste,
    Tile,
    Cascade,
    ArrangeIcons,
    HelpDocument, // open the user guide
};

struct MenuEntry {
    MenuEntryKind kind;
    int control;             // negative, in order of appearance; 0 for separators
    std::string_view name;   // stable name to register and open windows by
    std::string_view text;   // with "&" before the hot letter
    std::string_view status; // status-bar text while highlighted ("" none)
    MenuCommand command;
};

// Menus, items and separators in display order; an item or separator belongs
// to the menu entry before it.
std::span<const MenuEntry> mainMenuEntries();

// The entry with the name or control number, or nullptr.
const MenuEntry* findMenuEntry(std::string_view name);
const MenuEntry* findMenuEntry(int control);

} // namespace mvz
