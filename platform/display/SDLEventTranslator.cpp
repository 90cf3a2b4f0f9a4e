#include "display/SDLEventTranslator.h"

#include "display/SDLKeys.h"

// GCC 12 at -O2 thinks the members of an InputEvent moved into the output variant
// may be uninitialised; every member has a default initialiser.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace tw::display {

namespace {

    // SDL numbers the middle button 2 and the right one 3; the Mac the other way round.
    UInt16 MacButton(Uint8 button)
    {
        switch (button) {
        case SDL_BUTTON_LEFT:
            return 1;
        case SDL_BUTTON_RIGHT:
            return 2;
        case SDL_BUTTON_MIDDLE:
            return 3;
        default:
            return 0;
        }
    }

    InputEvent Kind(InputKind kind)
    {
        InputEvent input;
        input.kind = kind;
        return input;
    }

    InputEvent Mouse(InputKind kind, Sint32 x, Sint32 y, Uint16 modState)
    {
        InputEvent input = Kind(kind);
        input.location = { static_cast<CGFloat>(x), static_cast<CGFloat>(y) };
        input.modifiers = SDLKeys::Modifiers(modState);
        return input;
    }

    void TranslateWindow(SDL_WindowEvent const& window, SDLTranslation& out)
    {
        switch (window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (window.data1 > 0 && window.data2 > 0)
                out.push_back(WindowRequest { WindowRequestKind::ResizeScreen,
                    { static_cast<CGFloat>(window.data1), static_cast<CGFloat>(window.data2) } });
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            out.push_back(WindowRequest { WindowRequestKind::RedrawAll, {} });
            break;
        // The desktop window is the whole program: its focus is the application's activation.
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.push_back(Kind(InputKind::Activated));
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.push_back(Kind(InputKind::Deactivated));
            break;
        default:
            break;
        }
    }

} // namespace

void SDLEventTranslator::Translate(SDL_Event const& event, Uint16 modState, CGPoint pointer, SDLTranslation& out)
{
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        UInt16 const button = MacButton(event.button.button);
        if (button == 0)
            break;
        InputEvent input = Mouse(event.type == SDL_MOUSEBUTTONDOWN ? InputKind::MouseDown : InputKind::MouseUp,
            event.button.x, event.button.y, modState);
        input.button = button;
        out.push_back(input);
        break;
    }
    case SDL_MOUSEMOTION:
        out.push_back(Mouse(InputKind::MouseMove, event.motion.x, event.motion.y, modState));
        break;
    case SDL_MOUSEWHEEL: {
        double const sign = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
        InputEvent input
            = Mouse(InputKind::Wheel, static_cast<Sint32>(pointer.x), static_cast<Sint32>(pointer.y), modState);
        input.wheelY = sign * event.wheel.y;
        input.wheelX = -sign * event.wheel.x; // the Mac counts a move to the left as positive
        if (input.wheelX != 0 || input.wheelY != 0)
            out.push_back(input);
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        TranslateKey(event.key, out);
        break;
    case SDL_TEXTINPUT:
        // Command and Control chords are shortcuts, not typing.
        if (!(modState & (KMOD_CTRL | KMOD_GUI)) && event.text.text[0] != '\0') {
            InputEvent input;
            input.kind = InputKind::Text;
            input.modifiers = SDLKeys::Modifiers(modState);
            input.text = event.text.text;
            out.push_back(input);
        }
        break;
    case SDL_WINDOWEVENT:
        TranslateWindow(event.window, out);
        break;
    case SDL_DROPBEGIN:
    case SDL_DROPFILE:
    case SDL_DROPTEXT:
    case SDL_DROPCOMPLETE:
        TranslateDrop(event, pointer, out);
        break;
    case SDL_QUIT:
        out.push_back(Kind(InputKind::Quit));
        break;
    default:
        break;
    }
}

// Modifier keys change the modifiers; other keys the Mac knows go down and up
// (SDL's repeat flag making auto-repeat); keys it does not know are left out.
void SDLEventTranslator::TranslateKey(SDL_KeyboardEvent const& key, SDLTranslation& out)
{
    InputEvent input;
    input.modifiers = SDLKeys::Modifiers(key.keysym.mod);
    if (SDLKeys::IsModifierKey(key.keysym.scancode)) {
        input.kind = InputKind::ModifiersChanged;
        out.push_back(input);
        return;
    }
    MacKey mac;
    if (!SDLKeys::Translate(key.keysym, &mac))
        return;
    input.kind = key.type == SDL_KEYDOWN ? InputKind::KeyDown : InputKind::KeyUp;
    input.keyCode = mac.keyCode;
    input.character = mac.character;
    input.repeat = key.type == SDL_KEYDOWN && key.repeat != 0;
    out.push_back(input);
}

void SDLEventTranslator::TranslateDrop(SDL_Event const& event, CGPoint pointer, SDLTranslation& out)
{
    switch (event.type) {
    case SDL_DROPBEGIN:
        mDropping = true;
        mDroppedFiles.clear();
        mDroppedTexts.clear();
        return;
    case SDL_DROPFILE:
        if (event.drop.file)
            mDroppedFiles.emplace_back(event.drop.file);
        break;
    case SDL_DROPTEXT:
        if (event.drop.file)
            mDroppedTexts.emplace_back(event.drop.file);
        break;
    default: // SDL_DROPCOMPLETE
        mDropping = false;
        break;
    }
    // Without a begin (older SDL), each item is a drop of its own.
    if (!mDropping)
        FlushDrop(pointer, out);
}

void SDLEventTranslator::FlushDrop(CGPoint pointer, SDLTranslation& out)
{
    if (!mDroppedFiles.empty()) {
        InputEvent input = Kind(InputKind::DropFiles);
        input.location = pointer;
        input.files.swap(mDroppedFiles);
        out.push_back(input);
    }
    for (std::string& text : mDroppedTexts) {
        InputEvent input = Kind(InputKind::DropText);
        input.location = pointer;
        input.text = std::move(text);
        out.push_back(input);
    }
    mDroppedFiles.clear();
    mDroppedTexts.clear();
}

} // namespace tw::display
