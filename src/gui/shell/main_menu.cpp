#include "shell/main_menu.h"

#include <array>

namespace mvz {

namespace {

using K = MenuEntryKind;
using C = MenuCommand;

constexpr MenuEntry sep{K::Separator, 0, {}, {}, {}, C::None};

// clang-format off
constexpr std::array kMainMenu{
    MenuEntry{K::Menu, -1, "records", "&Evidencije  ", "", C::None},
    MenuEntry{K::Item, -2, "employers", "&1. Poslodavac i zaposlenici", "", C::Window},
    MenuEntry{K::Item, -3, "forming", "&2. Formiranje obrazaca", "", C::Window},
    sep,
    MenuEntry{K::Item, -4, "paymentForms", "&3. Preuzimanje podataka", "", C::Window},
    sep,
    MenuEntry{K::Item, -5, "payerTypes", "&3. Vrste obveznika",
              "Upis, promjena i brisanje vrste obveznika", C::Window},
    MenuEntry{K::Item, -6, "calculationTypes", "&4. Vrste obračuna/ispravka",
              "Upis, promjena i brisanje pojmova u šifarniku Vrste obračuna/ispravkaa", C::Window},
    MenuEntry{K::Item, -7, "insuranceBases", "&5. Osnov obračuna", "", C::Window},
    MenuEntry{K::Item, -8, "extendedService", "&6. Staž s uvećanim trajanjem",
              "Upis, promjena i brisanje oznaka s povečanim trajanjem  ", C::Window},
    MenuEntry{K::Item, -9, "rates", "&7. Stope doprinosa",
              "Pregled, upis, ažiriranje i brisanje obračunskih stopa", C::Window},
    MenuEntry{K::Item, -10, "municipalities", "&8. Gradovi i općine",
              "Upis, promjena i brisanje podataka iz šifarnika općina i gradova u RH ", C::Window},
    sep,
    MenuEntry{K::Item, -11, "controlTable", "&9. Vezne kontrole", "", C::Window},
    sep,
    MenuEntry{K::Item, -12, "exit", "&X. IZLAZ IZ PROGRAMA", "Exit this application", C::Exit},

    MenuEntry{K::Menu, -13, "services", "&Servisi  ", "", C::None},
    MenuEntry{K::Item, -14, "applicationParameters", "&1. Aplikacijski parametri", "", C::Window},
    MenuEntry{K::Item, -15, "formedForms", "&2. Pregled formiranja obrazaca", "", C::Window},
    sep,
    MenuEntry{K::Item, -16, "paymentCheck", "&3. Kontrola ulazne datoteke", "", C::Window},
    MenuEntry{K::Item, -17, "paymentFindings", "&4. Pregled grešaka i upozorenja", "", C::Window},
    sep,
    MenuEntry{K::Item, -18, "formalControl", "&5. Formalna kontrola sloga za ZOVAK", "",
              C::Window},
    sep,
    MenuEntry{K::Item, -19, "export", "&6. Export podataka", "", C::Window},
    MenuEntry{K::Item, -20, "import", "&7. Import podataka", "", C::Window},
    MenuEntry{K::Item, -21, "takeover", "&8. Preuzimanje podataka iz M-Vz 2005", "", C::Window},
    sep,
    MenuEntry{K::Item, -22, "printerSetup", "&9. Izbor i podešavanje pisača ...", "Setup printer",
              C::PrinterSetup},

    MenuEntry{K::Menu, -23, "edit", "&Edit  ", "", C::None},
    MenuEntry{K::Item, -24, "cut", "Cu&t", "Remove item to Windows Clipboard", C::Cut},
    MenuEntry{K::Item, -25, "copy", "&Copy", "Copy item to Windows Clipboard", C::Copy},
    MenuEntry{K::Item, -26, "paste", "&Paste", "Paste contents of Windows Clipboard", C::Paste},

    MenuEntry{K::Menu, -27, "window", "&Window  ", "Create and Arrange windows", C::None},
    MenuEntry{K::Item, -28, "tile", "T&ile", "Make all open windows visible", C::Tile},
    MenuEntry{K::Item, -29, "cascade", "&Cascade", "Stack all open windows", C::Cascade},
    MenuEntry{K::Item, -30, "arrangeIcons", "&Arrange Icons", "Align all window icons",
              C::ArrangeIcons},

    MenuEntry{K::Menu, -31, "help", "&Upute  ", "Windows Help", C::None},
    MenuEntry{K::Item, -32, "about", "&O programu", "", C::Window},
    MenuEntry{K::Item, -33, "userGuide", "&Upute za rad - pdf", "", C::HelpDocument},
};
// clang-format on

} // namespace

std::span<const MenuEntry> mainMenuEntries() {
    return kMainMenu;
}

const MenuEntry* findMenuEntry(std::string_view name) {
    for (const MenuEntry& e : kMainMenu)
        if (e.kind != MenuEntryKind::Separator && e.name == name) return &e;
    return nullptr;
}

const MenuEntry* findMenuEntry(int control) {
    for (const MenuEntry& e : kMainMenu)
        if (e.kind != MenuEntryKind::Separator && e.control == control) return &e;
    return nullptr;
}

} // namespace mvz
