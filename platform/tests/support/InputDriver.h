#pragma once

// Drives the window server's input funnel the way a user would, for headless
// tests of the toolbox and everything above it. Header-only: only test binaries
// that link the display module include it. Events are queued; run the loop
// (ManualClock::RunFor) to have them routed.

#include "display/WindowServer.h"

#include <string>

namespace tw::test {

class InputDriver {
public:
    static void Post(display::InputEvent const& input) { display::WindowServer::Get().Post(input); }

    static display::InputEvent Make(display::InputKind kind, CGPoint at = {}, UInt32 modifiers = 0, UInt16 button = 1)
    {
        display::InputEvent input;
        input.kind = kind;
        input.location = at;
        input.modifiers = modifiers;
        input.button = button;
        return input;
    }

    static void MouseDown(CGPoint at, UInt32 modifiers = 0, UInt16 button = 1)
    {
        Post(Make(display::InputKind::MouseDown, at, modifiers, button));
    }
    static void MouseUp(CGPoint at, UInt32 modifiers = 0, UInt16 button = 1)
    {
        Post(Make(display::InputKind::MouseUp, at, modifiers, button));
    }
    static void MouseMove(CGPoint at, UInt32 modifiers = 0)
    {
        Post(Make(display::InputKind::MouseMove, at, modifiers));
    }
    static void Click(CGPoint at, UInt32 modifiers = 0)
    {
        MouseDown(at, modifiers);
        MouseUp(at, modifiers);
    }
    // A press, moves along the way in steps, and the release at the end.
    static void Drag(CGPoint from, CGPoint to, int steps = 4)
    {
        MouseDown(from);
        for (int i = 1; i <= steps; ++i)
            MouseMove({ from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps });
        MouseUp(to);
    }
    static void Key(UInt32 keyCode, UInt32 character, UInt32 modifiers = 0)
    {
        display::InputEvent input = Make(display::InputKind::KeyDown, {}, modifiers);
        input.keyCode = keyCode;
        input.character = character;
        Post(input);
        input.kind = display::InputKind::KeyUp;
        Post(input);
    }
    // Typed text, as the presenter delivers it after the keys (and input methods without any).
    static void Type(std::string const& text)
    {
        display::InputEvent input = Make(display::InputKind::Text);
        input.text = text;
        Post(input);
    }
    // Typed text as SDL delivers a key at a time: the key goes down with its
    // character, its text follows, then the key comes up. ASCII text only.
    static void TypeKeys(std::string const& text, UInt32 modifiers = 0)
    {
        for (char c : text) {
            display::InputEvent input = Make(display::InputKind::KeyDown, {}, modifiers);
            input.keyCode = c == ' ' ? UInt32(display::kVK_Space) : 0;
            input.character = static_cast<unsigned char>(c);
            Post(input);
            display::InputEvent typed = Make(display::InputKind::Text, {}, modifiers);
            typed.text = std::string(1, c);
            Post(typed);
            input.kind = display::InputKind::KeyUp;
            Post(input);
        }
    }
    // One key as SDL delivers it, held for `repeats` more key-downs, each followed by its
    // text, then let go.
    static void PressAndType(UInt32 keyCode, char character, int repeats = 0)
    {
        display::InputEvent key = Make(display::InputKind::KeyDown);
        key.keyCode = keyCode;
        key.character = static_cast<unsigned char>(character);
        display::InputEvent text = Make(display::InputKind::Text);
        text.text = std::string(1, character);
        for (int i = 0; i <= repeats; ++i) {
            key.repeat = i > 0;
            Post(key);
            Post(text);
        }
        key.kind = display::InputKind::KeyUp;
        key.repeat = false;
        Post(key);
    }
    static void Wheel(CGPoint at, double dy, double dx = 0)
    {
        display::InputEvent input = Make(display::InputKind::Wheel, at);
        input.wheelX = dx;
        input.wheelY = dy;
        Post(input);
    }
};

} // namespace tw::test
