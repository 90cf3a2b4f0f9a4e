#pragma once

// The user's way of changing a configurable toolbar: a sheet on the toolbar's window
// with the items the toolbar allows and its default set, dragged into the strip, and
// the display mode; meanwhile the strip's items are dragged along it or out of it.
// Reached from the strip's contextual menu and the customise command. The toolbar
// keeps what the user made for as long as it lives.

#include "toolbox/HIToolboxTypes.h"

#include <string>

namespace tw::toolbox {
class Window;
}

namespace tw::toolbox::toolbar {

class Toolbar;

// Whether the window shows a configurable toolbar that no sheet hides from the user.
bool CanCustomize(Window* window);
// Opens the sheet: paramErr when the window cannot be customised now.
OSStatus BeginCustomize(Window* window);
// The sheet's window while one is open on the toolbar, else null.
Window* GetCustomizeSheet(Toolbar* toolbar);
// Whether a click at the point (window structure coordinates) goes to the window's toolbar
// though its customise sheet is open.
bool IsCustomizedToolbarAt(Window* window, CGPoint local);
// The strip's menu at a global point: customise, and the three display modes.
void ShowToolbarMenu(Toolbar* toolbar, CGPoint global);

} // namespace tw::toolbox::toolbar
