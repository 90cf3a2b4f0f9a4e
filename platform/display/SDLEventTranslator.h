#pragma once

#include "display/InputEvent.h"

#include <SDL.h>
#include <string>
#include <variant>
#include <vector>

namespace tw::display {

// What one SDL event means to the window server, in order.
using SDLTranslation = std::vector<std::variant<InputEvent, WindowRequest>>;

// Turns SDL events into the window server's input and requests. The window
// shows the screen at 1:1, so window pixels are screen pixels. Drops come from
// SDL as a begin, the files or texts, and a completion, with no position: they
// are collected and given at the pointer when the drop completes.
class SDLEventTranslator {
public:
    // modState: SDL's modifiers now (mouse events carry none); pointer: the mouse in the window.
    void Translate(SDL_Event const& event, Uint16 modState, CGPoint pointer, SDLTranslation& out);

private:
    void TranslateKey(SDL_KeyboardEvent const& key, SDLTranslation& out);
    void TranslateDrop(SDL_Event const& event, CGPoint pointer, SDLTranslation& out);
    void FlushDrop(CGPoint pointer, SDLTranslation& out);

    bool mDropping = false;
    std::vector<std::string> mDroppedFiles;
    std::vector<std::string> mDroppedTexts;
};

} // namespace tw::display
