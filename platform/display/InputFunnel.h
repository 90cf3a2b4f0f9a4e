#pragma once

#include "display/InputEvent.h"

namespace tw::display {

// Turns input into Carbon events and routes them when the event loop takes
// them: mouse events go to a running tracking loop, else to the menu bar, to
// the window under the mouse (whose standard handler handles its frame and
// hands content clicks to the view hit), or to the view under the wheel; keys
// go to the menus' key equivalents first, then to the user focus. Clicks are
// counted here: a click within the double-click time and less than 4 pixels
// from the last one on both axes counts one more.
class InputFunnel {
public:
    static constexpr double kClickSlop = 4; // [px] this far apart, clicks do not count up

    static void Install();
    static void Post(InputEvent const& input);
    static OSStatus Route(EventRef event);
    static void Reset();
};

} // namespace tw::display
