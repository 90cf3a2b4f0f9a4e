#pragma once

#include "display/InputEvent.h"

#include <SDL.h>
#include <functional>

namespace tw::display {

// A key as the Mac knows it: its virtual key code and the character it types.
struct MacKey {
    UInt32 keyCode = 0;
    UInt32 character = 0; // Unicode; 0 for none
};

// SDL keys to Mac keys: the key code follows the key's position (SDL's
// scancode, as the Mac's ANSI codes do), the character follows the layout
// (SDL's keycode, and with Shift the layout's shifted character, so that
// Shift+/ types "?" on a US keyboard and Shift+7 types "/" on a German one).
// Modifiers: Ctrl is Command, Alt is Option, Super is Control.
class SDLKeys {
public:
    // False for keys the Mac has no code for (media keys, modifier keys...).
    static bool Translate(SDL_Keysym const& keysym, MacKey* out);
    // What a key types with Shift, given what it types without: the display's layout,
    // installed by the presenter; 0 when it does not know. Without one (or when it
    // does not know), the US layout's punctuation.
    using ShiftedLookup = std::function<UInt32(UInt32 unshifted)>;
    static void SetShiftedLookup(ShiftedLookup lookup);
    static UInt32 USShifted(UInt32 unshifted);
    static UInt32 Modifiers(Uint16 mod);
    static bool IsModifierKey(SDL_Scancode scancode);
};

} // namespace tw::display
