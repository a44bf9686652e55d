#include "ui/toolbar_controls.h"

#include <array>

namespace mvz {

namespace {

constexpr std::array kButtons{
    ToolbarButton{toolbar::First, "Skok na prvu stranicu", "VCRFIRST"},
    ToolbarButton{toolbar::PageUp, "Povratak na prethodnu stranicu", "VCRPRIOR"},
    ToolbarButton{toolbar::Up, "Prethodni redak", "VCRUP"},
    ToolbarButton{toolbar::Locate, "Traži podatak", "FIND"},
    ToolbarButton{toolbar::Down, "Slijedeći redak ", "VCRDOWN"},
    ToolbarButton{toolbar::PageDown, "Skon na slijedeću stranicu", "VCRNEXT"},
    ToolbarButton{toolbar::Last, "Skok na kraj ispisa", "VCRLAST"},
    ToolbarButton{toolbar::Select, "Select This Record", "SELECT"},
    ToolbarButton{toolbar::Insert, "Upis novog podatka", "ADD"},
    ToolbarButton{toolbar::Change, "Promjena postojećih podataka", "CHANGE"},
    ToolbarButton{toolbar::Delete, "Brisanje podatka", "DELETE"},
    ToolbarButton{toolbar::Ditto, "Prethodna vrijednost", "DITTO"},
    ToolbarButton{toolbar::Help, "Upute za rad", "HELP"},
};

} // namespace

std::span<const ToolbarButton> toolbarButtons() {
    return kButtons;
}

} // namespace mvz
