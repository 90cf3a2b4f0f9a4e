#pragma once

// The boundary between a presenter (or a test) and the window server: every
// kind of input, and the requests the server answers. Locations are global
// screen pixels; modifiers are the Mac modifier bits (cmdKey, optionKey, ...),
// which a presenter makes with MacModifiers; key codes are Mac virtual key codes.

#include "quartz/CGGeometry.h"
#include "toolbox/HIToolboxTypes.h"

#include <string>
#include <vector>

namespace tw::display {

enum class InputKind {
    MouseDown, // button, location; the server counts clicks
    MouseUp,
    MouseMove, // a move with a button down is a drag
    Wheel, // wheelX, wheelY [lines]; positive y scrolls up
    KeyDown, // keyCode, character, repeat
    KeyUp,
    ModifiersChanged,
    Text, // text typed, in UTF-8
    DropFiles, // files at location
    DropText, // text at location
    Quit,
    Activated, // the program's window gained the keyboard focus
    Deactivated, // and lost it
};

struct InputEvent {
    InputKind kind = InputKind::MouseMove;
    CGPoint location {}; // [px] global
    UInt16 button = 1; // 1 left, 2 right, 3 middle
    UInt32 modifiers = 0;
    UInt32 keyCode = 0;
    UInt32 character = 0; // Unicode
    bool repeat = false;
    double wheelX = 0;
    double wheelY = 0;
    std::string text;
    std::vector<std::string> files; // paths
};

// What the presenter asks of the server.
enum class WindowRequestKind {
    ResizeScreen, // size
    RedrawAll,
};

struct WindowRequest {
    WindowRequestKind kind = WindowRequestKind::RedrawAll;
    CGSize size {};
};

// Linux modifiers to the Mac's: Ctrl is Command, Alt is Option, Super is Control.
constexpr UInt32 MacModifiers(bool ctrl, bool alt, bool super, bool shift)
{
    return (ctrl ? UInt32 { cmdKey } : 0U) | (alt ? UInt32 { optionKey } : 0U) | (super ? UInt32 { controlKey } : 0U)
        | (shift ? UInt32 { shiftKey } : 0U);
}

// Mac virtual key codes of the keys the program names.
enum : UInt32 {
    kVK_ANSI_A = 0x00,
    kVK_ANSI_Q = 0x0C,
    kVK_Return = 36,
    kVK_Tab = 48,
    kVK_Space = 49,
    kVK_Delete = 51,
    kVK_Escape = 53,
    kVK_ANSI_KeypadEnter = 52, // keypad Enter arrives as Enter, as the program expects
    kVK_ForwardDelete = 117,
    kVK_Home = 115,
    kVK_End = 119,
    kVK_PageUp = 116,
    kVK_PageDown = 121,
    kVK_LeftArrow = 123,
    kVK_RightArrow = 124,
    kVK_DownArrow = 125,
    kVK_UpArrow = 126,
    kVK_F1 = 122,
};

// Character codes those keys carry.
enum : UInt32 {
    kReturnCharCode = 13,
    kEnterCharCode = 3,
    kTabCharCode = 9,
    kEscapeCharCode = 27,
    kBackspaceCharCode = 8,
};

} // namespace tw::display
