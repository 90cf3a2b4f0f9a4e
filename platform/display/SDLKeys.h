#pragma once

#include "display/InputEvent.h"

#include <SDL.h>

namespace tw::display {

// A key as the Mac knows it: its virtual key code and the character it types.
struct MacKey {
    UInt32 keyCode = 0;
    UInt32 character = 0; // Unicode; 0 for none
};

// SDL keys to Mac keys: the key code follows the key's position (SDL's
// scancode, as the Mac's ANSI codes do), the character follows the layout
// (SDL's keycode). Modifiers: Ctrl is Command, Alt is Option, Super is Control.
class SDLKeys {
public:
    // False for keys the Mac has no code for (media keys, modifier keys...).
    static bool Translate(SDL_Keysym const& keysym, MacKey* out);
    static UInt32 Modifiers(Uint16 mod);
    static bool IsModifierKey(SDL_Scancode scancode);
};

} // namespace tw::display
