#pragma once

// Setting the mouse cursor: the theme's cursors by number, or a 16 x 16
// bitmap cursor. Headless, the window server only records the cursor; the SDL
// presenter shows it.

#include "corefoundation/MacTypes.h"

using ThemeCursor = UInt32;

// The theme cursors the program uses.
enum : ThemeCursor {
    kThemeArrowCursor = 0,
    kThemeCopyArrowCursor = 1,
    kThemeCrossCursor = 5,
    kThemeWatchCursor = 7,
    kThemeClosedHandCursor = 8,
    kThemeOpenHandCursor = 9,
    kThemePointingHandCursor = 10,
    kThemeResizeLeftRightCursor = 17,
    kThemeResizeUpDownCursor = 21,
};

// A 16 x 16 cursor: a row is one 16-bit word, its leftmost pixel the word's
// high bit; every word (the hot spot's too) is stored big-endian. Image 1 and
// mask 1: black; image 0 and mask 1: white; both 0: clear; image 1 and mask 0:
// inverted where the display can, black elsewhere.
struct Cursor {
    UInt16 data[16];
    UInt16 mask[16];
    Point hotSpot; // row, column
};

// paramErr for a theme cursor number the program does not use (the cursor stays).
OSStatus SetThemeCursor(ThemeCursor cursor);
// A null cursor is ignored.
void SetCursor(Cursor const* cursor);
