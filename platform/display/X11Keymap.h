#pragma once

#include "corefoundation/MacTypes.h"

#include <SDL.h>
#include <memory>
#include <string>
#include <unordered_map>

namespace tw::display {

// The X display's keyboard layout as a table of what each key types with Shift,
// keyed by what it types without (as SDL names keys). Read from the server when
// made and again when the layout changes; main thread only.
class X11Keymap {
public:
    // Null when the window is not on an X display or the server has no keyboard extension.
    static std::unique_ptr<X11Keymap> ForWindow(SDL_Window* window);

    // Reads the layout (its active group) again.
    void Reload();
    // The shifted character of the key that types unshifted; 0 when there is none.
    UInt32 Shifted(UInt32 unshifted) const;

private:
    explicit X11Keymap(void* display);

    void* mDisplay; // borrowed: SDL's connection, which outlives the window
    std::unordered_map<UInt32, UInt32> mShifted;
};

// Titles an SDL window on X in UTF-8 whatever the process's locale, which SDL's own
// call needs for anything outside ASCII. False off X.
bool SetX11WindowTitle(SDL_Window* window, std::string const& title);

} // namespace tw::display
