#include "display/SDLCursors.h"

namespace tw::display {

namespace {

    constexpr std::string_view kOpenHand[16] = {
        "       XX       ",
        "   XX X..XXX    ",
        "  X..XX..X..X   ",
        "  X..XX..X..X X ",
        "   X..X..X..XX.X",
        "   X..X..X..X..X",
        " XX X.......X..X",
        "X..XX..........X",
        "X...X.........X ",
        " X............X ",
        "  X...........X ",
        "  X..........X  ",
        "   X.........X  ",
        "    X.......X   ",
        "     X......X   ",
        "     X......X   ",
    };

    constexpr std::string_view kClosedHand[16] = {
        "                ",
        "                ",
        "                ",
        "    XX XX XX    ",
        "   X..X..X..XX  ",
        "   X..X..X..X.X ",
        "    X.........X ",
        "   XX.........X ",
        "  X...........X ",
        "  X...........X ",
        "  X..........X  ",
        "   X.........X  ",
        "    X.......X   ",
        "     X......X   ",
        "     X......X   ",
        "                ",
    };

    SDL_SystemCursor SystemCursorFor(ThemeCursor theme)
    {
        switch (theme) {
        case kThemeCrossCursor:
            return SDL_SYSTEM_CURSOR_CROSSHAIR;
        case kThemeWatchCursor:
            return SDL_SYSTEM_CURSOR_WAIT;
        case kThemePointingHandCursor:
            return SDL_SYSTEM_CURSOR_HAND;
        case kThemeResizeLeftRightCursor:
            return SDL_SYSTEM_CURSOR_SIZEWE;
        case kThemeResizeUpDownCursor:
            return SDL_SYSTEM_CURSOR_SIZENS;
        default: // the arrows
            return SDL_SYSTEM_CURSOR_ARROW;
        }
    }

} // namespace

SDLCursors::~SDLCursors()
{
    for (auto& [theme, cursor] : mTheme)
        SDL_FreeCursor(cursor);
    if (mBitmap)
        SDL_FreeCursor(mBitmap);
}

CursorShape SDLCursors::FromArt(std::string_view const (&rows)[16], int hotX, int hotY)
{
    CursorShape shape;
    shape.isTheme = false;
    shape.hotX = hotX;
    shape.hotY = hotY;
    for (int row = 0; row < 16; ++row) {
        for (int column = 0; column < 16 && column < static_cast<int>(rows[row].size()); ++column) {
            char const c = rows[row][column];
            UInt8 const bit = static_cast<UInt8>(0x80 >> (column % 8));
            int const index = 2 * row + column / 8;
            if (c == 'X')
                shape.image[index] |= bit;
            if (c == 'X' || c == '.')
                shape.mask[index] |= bit;
        }
    }
    return shape;
}

CursorShape SDLCursors::Hand(bool closed) { return closed ? FromArt(kClosedHand, 8, 8) : FromArt(kOpenHand, 8, 8); }

SDL_Cursor* SDLCursors::Make(CursorShape const& shape)
{
    if (!shape.isTheme)
        return SDL_CreateCursor(shape.image.data(), shape.mask.data(), 16, 16, shape.hotX, shape.hotY);
    if (shape.theme == kThemeOpenHandCursor || shape.theme == kThemeClosedHandCursor)
        return Make(Hand(shape.theme == kThemeClosedHandCursor));
    return SDL_CreateSystemCursor(SystemCursorFor(shape.theme));
}

// Tools set their cursor on every move: a shape already made is reused.
void SDLCursors::Show(CursorShape const& shape)
{
    SDL_Cursor* cursor = nullptr;
    if (shape.isTheme) {
        auto it = mTheme.find(shape.theme);
        if (it == mTheme.end())
            it = mTheme.emplace(shape.theme, Make(shape)).first;
        cursor = it->second;
    } else {
        if (!mBitmap || shape != mBitmapShape) {
            SDL_Cursor* previous = mBitmap;
            mBitmap = Make(shape);
            mBitmapShape = shape;
            if (mBitmap)
                SDL_SetCursor(mBitmap);
            if (previous)
                SDL_FreeCursor(previous);
        }
        cursor = mBitmap;
    }
    if (cursor)
        SDL_SetCursor(cursor);
}

} // namespace tw::display
