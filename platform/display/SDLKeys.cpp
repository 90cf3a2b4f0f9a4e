#include "display/SDLKeys.h"

#include <array>
#include <utility>

namespace tw::display {

namespace {

    struct KeyEntry {
        SDL_Scancode scancode;
        UInt32 keyCode;
        UInt32 character; // 0: the layout's character
    };

    // Mac character codes of the keys that type no printable character.
    enum : UInt32 {
        kHomeCharCode = 1,
        kEndCharCode = 4,
        kHelpCharCode = 5,
        kPageUpCharCode = 11,
        kPageDownCharCode = 12,
        kFunctionKeyCharCode = 16,
        kLeftArrowCharCode = 28,
        kRightArrowCharCode = 29,
        kUpArrowCharCode = 30,
        kDownArrowCharCode = 31,
        kDeleteCharCode = 127,
    };

    constexpr std::array kKeys = {
        KeyEntry { SDL_SCANCODE_A, 0x00, 0 }, KeyEntry { SDL_SCANCODE_S, 0x01, 0 },
        KeyEntry { SDL_SCANCODE_D, 0x02, 0 }, KeyEntry { SDL_SCANCODE_F, 0x03, 0 },
        KeyEntry { SDL_SCANCODE_H, 0x04, 0 }, KeyEntry { SDL_SCANCODE_G, 0x05, 0 },
        KeyEntry { SDL_SCANCODE_Z, 0x06, 0 }, KeyEntry { SDL_SCANCODE_X, 0x07, 0 },
        KeyEntry { SDL_SCANCODE_C, 0x08, 0 }, KeyEntry { SDL_SCANCODE_V, 0x09, 0 },
        KeyEntry { SDL_SCANCODE_NONUSBACKSLASH, 0x0A, 0 }, KeyEntry { SDL_SCANCODE_B, 0x0B, 0 },
        KeyEntry { SDL_SCANCODE_Q, 0x0C, 0 }, KeyEntry { SDL_SCANCODE_W, 0x0D, 0 },
        KeyEntry { SDL_SCANCODE_E, 0x0E, 0 }, KeyEntry { SDL_SCANCODE_R, 0x0F, 0 },
        KeyEntry { SDL_SCANCODE_Y, 0x10, 0 }, KeyEntry { SDL_SCANCODE_T, 0x11, 0 },
        KeyEntry { SDL_SCANCODE_1, 0x12, 0 }, KeyEntry { SDL_SCANCODE_2, 0x13, 0 },
        KeyEntry { SDL_SCANCODE_3, 0x14, 0 }, KeyEntry { SDL_SCANCODE_4, 0x15, 0 },
        KeyEntry { SDL_SCANCODE_6, 0x16, 0 }, KeyEntry { SDL_SCANCODE_5, 0x17, 0 },
        KeyEntry { SDL_SCANCODE_EQUALS, 0x18, 0 }, KeyEntry { SDL_SCANCODE_9, 0x19, 0 },
        KeyEntry { SDL_SCANCODE_7, 0x1A, 0 }, KeyEntry { SDL_SCANCODE_MINUS, 0x1B, 0 },
        KeyEntry { SDL_SCANCODE_8, 0x1C, 0 }, KeyEntry { SDL_SCANCODE_0, 0x1D, 0 },
        KeyEntry { SDL_SCANCODE_RIGHTBRACKET, 0x1E, 0 }, KeyEntry { SDL_SCANCODE_O, 0x1F, 0 },
        KeyEntry { SDL_SCANCODE_U, 0x20, 0 }, KeyEntry { SDL_SCANCODE_LEFTBRACKET, 0x21, 0 },
        KeyEntry { SDL_SCANCODE_I, 0x22, 0 }, KeyEntry { SDL_SCANCODE_P, 0x23, 0 },
        KeyEntry { SDL_SCANCODE_L, 0x25, 0 }, KeyEntry { SDL_SCANCODE_J, 0x26, 0 },
        KeyEntry { SDL_SCANCODE_APOSTROPHE, 0x27, 0 }, KeyEntry { SDL_SCANCODE_K, 0x28, 0 },
        KeyEntry { SDL_SCANCODE_SEMICOLON, 0x29, 0 }, KeyEntry { SDL_SCANCODE_BACKSLASH, 0x2A, 0 },
        KeyEntry { SDL_SCANCODE_COMMA, 0x2B, 0 }, KeyEntry { SDL_SCANCODE_SLASH, 0x2C, 0 },
        KeyEntry { SDL_SCANCODE_N, 0x2D, 0 }, KeyEntry { SDL_SCANCODE_M, 0x2E, 0 },
        KeyEntry { SDL_SCANCODE_PERIOD, 0x2F, 0 }, KeyEntry { SDL_SCANCODE_GRAVE, 0x32, 0 },
        // Editing and moving.
        KeyEntry { SDL_SCANCODE_RETURN, kVK_Return, kReturnCharCode },
        KeyEntry { SDL_SCANCODE_KP_ENTER, kVK_ANSI_KeypadEnter, kEnterCharCode },
        KeyEntry { SDL_SCANCODE_TAB, kVK_Tab, kTabCharCode }, KeyEntry { SDL_SCANCODE_SPACE, kVK_Space, ' ' },
        KeyEntry { SDL_SCANCODE_BACKSPACE, kVK_Delete, kBackspaceCharCode },
        KeyEntry { SDL_SCANCODE_ESCAPE, kVK_Escape, kEscapeCharCode },
        KeyEntry { SDL_SCANCODE_DELETE, kVK_ForwardDelete, kDeleteCharCode },
        KeyEntry { SDL_SCANCODE_INSERT, 114, kHelpCharCode }, // where the Mac keyboard has Help
        KeyEntry { SDL_SCANCODE_HOME, kVK_Home, kHomeCharCode }, KeyEntry { SDL_SCANCODE_END, kVK_End, kEndCharCode },
        KeyEntry { SDL_SCANCODE_PAGEUP, kVK_PageUp, kPageUpCharCode },
        KeyEntry { SDL_SCANCODE_PAGEDOWN, kVK_PageDown, kPageDownCharCode },
        KeyEntry { SDL_SCANCODE_LEFT, kVK_LeftArrow, kLeftArrowCharCode },
        KeyEntry { SDL_SCANCODE_RIGHT, kVK_RightArrow, kRightArrowCharCode },
        KeyEntry { SDL_SCANCODE_DOWN, kVK_DownArrow, kDownArrowCharCode },
        KeyEntry { SDL_SCANCODE_UP, kVK_UpArrow, kUpArrowCharCode },
        // Function keys.
        KeyEntry { SDL_SCANCODE_F1, kVK_F1, kFunctionKeyCharCode },
        KeyEntry { SDL_SCANCODE_F2, 120, kFunctionKeyCharCode }, KeyEntry { SDL_SCANCODE_F3, 99, kFunctionKeyCharCode },
        KeyEntry { SDL_SCANCODE_F4, 118, kFunctionKeyCharCode }, KeyEntry { SDL_SCANCODE_F5, 96, kFunctionKeyCharCode },
        KeyEntry { SDL_SCANCODE_F6, 97, kFunctionKeyCharCode }, KeyEntry { SDL_SCANCODE_F7, 98, kFunctionKeyCharCode },
        KeyEntry { SDL_SCANCODE_F8, 100, kFunctionKeyCharCode },
        KeyEntry { SDL_SCANCODE_F9, 101, kFunctionKeyCharCode },
        KeyEntry { SDL_SCANCODE_F10, 109, kFunctionKeyCharCode },
        KeyEntry { SDL_SCANCODE_F11, 103, kFunctionKeyCharCode },
        KeyEntry { SDL_SCANCODE_F12, 111, kFunctionKeyCharCode },
        KeyEntry { SDL_SCANCODE_F13, 105, kFunctionKeyCharCode },
        KeyEntry { SDL_SCANCODE_F14, 107, kFunctionKeyCharCode },
        KeyEntry { SDL_SCANCODE_F15, 113, kFunctionKeyCharCode },
        // The keypad types the same characters whatever Num Lock says.
        KeyEntry { SDL_SCANCODE_KP_0, 0x52, '0' }, KeyEntry { SDL_SCANCODE_KP_1, 0x53, '1' },
        KeyEntry { SDL_SCANCODE_KP_2, 0x54, '2' }, KeyEntry { SDL_SCANCODE_KP_3, 0x55, '3' },
        KeyEntry { SDL_SCANCODE_KP_4, 0x56, '4' }, KeyEntry { SDL_SCANCODE_KP_5, 0x57, '5' },
        KeyEntry { SDL_SCANCODE_KP_6, 0x58, '6' }, KeyEntry { SDL_SCANCODE_KP_7, 0x59, '7' },
        KeyEntry { SDL_SCANCODE_KP_8, 0x5B, '8' }, KeyEntry { SDL_SCANCODE_KP_9, 0x5C, '9' },
        KeyEntry { SDL_SCANCODE_KP_PERIOD, 0x41, '.' }, KeyEntry { SDL_SCANCODE_KP_MULTIPLY, 0x43, '*' },
        KeyEntry { SDL_SCANCODE_KP_PLUS, 0x45, '+' }, KeyEntry { SDL_SCANCODE_KP_DIVIDE, 0x4B, '/' },
        KeyEntry { SDL_SCANCODE_KP_MINUS, 0x4E, '-' }, KeyEntry { SDL_SCANCODE_KP_EQUALS, 0x51, '=' },
        KeyEntry { SDL_SCANCODE_NUMLOCKCLEAR, 0x47, kEscapeCharCode }, // the keypad's Clear
    };

    KeyEntry const* Find(SDL_Scancode scancode)
    {
        for (KeyEntry const& entry : kKeys)
            if (entry.scancode == scancode)
                return &entry;
        return nullptr;
    }

    SDLKeys::ShiftedLookup& Lookup()
    {
        static SDLKeys::ShiftedLookup lookup;
        return lookup;
    }

    // The character the layout puts on the key: capital with Shift or Caps Lock for
    // letters, the key's shifted character with Shift for the others.
    UInt32 LayoutCharacter(SDL_Keysym const& keysym)
    {
        SDL_Keycode const sym = keysym.sym;
        if (sym < ' ' || sym >= 0x110000 || (sym & SDLK_SCANCODE_MASK) || sym == SDLK_DELETE)
            return 0;
        UInt32 character = static_cast<UInt32>(sym);
        bool const shift = (keysym.mod & KMOD_SHIFT) != 0;
        if (character >= 'a' && character <= 'z') {
            if (shift != ((keysym.mod & KMOD_CAPS) != 0))
                character -= 'a' - 'A';
            return character;
        }
        if (!shift || sym == ' ')
            return character;
        UInt32 const shifted = Lookup() ? Lookup()(character) : 0;
        if (shifted >= ' ' && shifted != 0x7F)
            return shifted;
        UInt32 const us = SDLKeys::USShifted(character);
        return us ? us : character;
    }

} // namespace

bool SDLKeys::Translate(SDL_Keysym const& keysym, MacKey* out)
{
    KeyEntry const* entry = Find(keysym.scancode);
    if (!entry || !out)
        return false;
    out->keyCode = entry->keyCode;
    out->character = entry->character ? entry->character : LayoutCharacter(keysym);
    return true;
}

void SDLKeys::SetShiftedLookup(ShiftedLookup lookup) { Lookup() = std::move(lookup); }

UInt32 SDLKeys::USShifted(UInt32 unshifted)
{
    static constexpr std::pair<char, char> kShifted[] = { { '`', '~' }, { '1', '!' }, { '2', '@' }, { '3', '#' },
        { '4', '$' }, { '5', '%' }, { '6', '^' }, { '7', '&' }, { '8', '*' }, { '9', '(' }, { '0', ')' }, { '-', '_' },
        { '=', '+' }, { '[', '{' }, { ']', '}' }, { '\\', '|' }, { ';', ':' }, { '\'', '"' }, { ',', '<' }, { '.', '>' },
        { '/', '?' } };
    for (auto [plain, shifted] : kShifted)
        if (UInt32(plain) == unshifted)
            return UInt32(shifted);
    return 0;
}

UInt32 SDLKeys::Modifiers(Uint16 mod)
{
    return MacModifiers((mod & KMOD_CTRL) != 0, (mod & KMOD_ALT) != 0, (mod & KMOD_GUI) != 0, (mod & KMOD_SHIFT) != 0);
}

bool SDLKeys::IsModifierKey(SDL_Scancode scancode)
{
    switch (scancode) {
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
    case SDL_SCANCODE_LGUI:
    case SDL_SCANCODE_RGUI:
    case SDL_SCANCODE_CAPSLOCK:
    case SDL_SCANCODE_MODE:
        return true;
    default:
        return false;
    }
}

} // namespace tw::display
