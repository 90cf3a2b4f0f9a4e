#pragma once

#include "display/CursorCalls.h"

#include <array>
#include <functional>

namespace tw::display {

// A cursor as the display shows it: a theme cursor, or a bitmap whose rows are
// two bytes each, left pixel in the high bit.
struct CursorShape {
    bool isTheme = true;
    ThemeCursor theme = kThemeArrowCursor;
    std::array<UInt8, 32> image {};
    std::array<UInt8, 32> mask {};
    int hotX = 0;
    int hotY = 0;

    bool operator==(CursorShape const&) const = default;
};

// The current cursor. Every change is recorded (tests look at it) and told to
// the listener, the SDL presenter when there is one. Main thread only.
class CursorState {
public:
    static CursorShape const& Current();
    static void Set(CursorShape const& shape);
    static void SetListener(std::function<void(CursorShape const&)> listener);
    // Test only: back to the arrow, no listener.
    static void Reset();

    static CursorShape FromRecord(Cursor const& record);
};

} // namespace tw::display
