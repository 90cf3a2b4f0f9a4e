#pragma once

// SDL's events as a presenter receives them, for the tests of what becomes of them.

#include <SDL.h>

namespace tw::test {

// A key going down or up, with the modifier state SDL gives it then.
inline SDL_Event SDLKeyEvent(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod, Uint8 repeat = 0)
{
    SDL_Event event {};
    event.type = type;
    event.key.type = type;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = sym;
    event.key.keysym.mod = mod;
    event.key.repeat = repeat;
    return event;
}

} // namespace tw::test
