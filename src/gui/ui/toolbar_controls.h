#pragma once
// The toolbar every window answers: the thirteen buttons in display order with
// their control numbers, tooltips and icon names. The host (the main frame)
// shows them and hands a click to its current child, whose toolbar router
// acts on it; a form that runs over its list shows the same buttons itself.

#include <span>
#include <string_view>

namespace mvz {

// Control numbers of the frame's toolbar buttons.
namespace toolbar {
constexpr int Insert = 2000;
constexpr int Change = 2001;
constexpr int Delete = 2002;
constexpr int Select = 2003;
constexpr int Last = 2004;  // last record / last page
constexpr int First = 2005; // first record / first page
constexpr int PageDown = 2006;
constexpr int PageUp = 2007;
constexpr int Down = 2008; // next record
constexpr int Up = 2009;   // previous record
constexpr int Locate = 2010;
constexpr int Ditto = 2011; // recall the previous value
constexpr int Help = 2012;
constexpr int FirstControl = Insert;
constexpr int LastControl = Help;
constexpr bool isToolbarControl(int control) {
    return control >= FirstControl && control <= LastControl;
}
} // namespace toolbar

struct ToolbarButton {
    int control;
    std::string_view tooltip;
    std::string_view icon; // the icon's name, drawn by the host (WindowHost::icon)
};

std::span<const ToolbarButton> toolbarButtons();

} // namespace mvz
