#include "display/SDLClipboard.h"

#include <SDL.h>

namespace tw::display {

bool SDLClipboard::ReadText(std::string* text)
{
    if (!text || !SDL_HasClipboardText())
        return false;
    char* clipboard = SDL_GetClipboardText(); // never null; empty on failure
    *text = clipboard ? clipboard : "";
    SDL_free(clipboard);
    return !text->empty();
}

void SDLClipboard::WriteText(std::string const& text)
{
    SDL_SetClipboardText(text.c_str());
    // Taking the clipboard is only a request until SDL talks to the display: at once, so
    // that a paste in another program right after the copy finds our text.
    SDL_PumpEvents();
}

bool SDLClipboard::ReadPrimary(std::string* text)
{
    if (!text || !SDL_HasPrimarySelectionText())
        return false;
    char* primary = SDL_GetPrimarySelectionText(); // never null; empty on failure
    *text = primary ? primary : "";
    SDL_free(primary);
    return !text->empty();
}

void SDLClipboard::WritePrimary(std::string const& text)
{
    SDL_SetPrimarySelectionText(text.c_str());
    SDL_PumpEvents();
}

} // namespace tw::display
