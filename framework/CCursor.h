#pragma once

// Sets the pointer: one of the program's own 16 x 16 cursors, or a theme cursor
// by number. Holds the record last handed to the display.

#include "display/CursorCalls.h"

class CCursor {
public:
    static constexpr unsigned long kCursorNone = 0xFFFF0000; // leaves the cursor as it is
    static constexpr unsigned long kCursorEmpty = 0xFFFF0001;
    static constexpr unsigned long kCursorDot = 0xFFFF0002;
    static constexpr unsigned long kCursorZoomIn = 0xFFFF0003;
    static constexpr unsigned long kCursorZoomOut = 0xFFFF0004;
    static constexpr unsigned long kCursorZoomLimit = 0xFFFF0005;
    static constexpr unsigned long kCursorMarquee = 0xFFFF0006;
    static constexpr unsigned long kCursorPolygon = 0xFFFF0007;

    CCursor();

    // Any id outside the program's own range is a theme cursor number.
    void SetCursor(unsigned long cursorID);
    Cursor const& GetRecord() const { return mCursor; }

private:
    Cursor mCursor; // big-endian words, as the display takes them
};
