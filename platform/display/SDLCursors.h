#pragma once

#include "display/CursorState.h"

#include <SDL.h>
#include <map>
#include <string_view>

namespace tw::display {

// Shows cursor shapes in the SDL window: SDL's system cursors where SDL has
// the theme's, our own bitmaps for the hands. Theme cursors are made once and kept.
class SDLCursors {
public:
    ~SDLCursors();
    void Show(CursorShape const& shape);

    // The hand the theme has and SDL lacks, open or closed, as a bitmap shape.
    static CursorShape Hand(bool closed);
    // A bitmap shape from 16 rows of 16 characters: 'X' black, '.' white, ' ' clear.
    static CursorShape FromArt(std::string_view const (&rows)[16], int hotX, int hotY);

private:
    SDL_Cursor* Make(CursorShape const& shape);

    std::map<ThemeCursor, SDL_Cursor*> mTheme; // owns each
    SDL_Cursor* mBitmap = nullptr; // owns: the last bitmap cursor shown
    CursorShape mBitmapShape;
};

} // namespace tw::display
