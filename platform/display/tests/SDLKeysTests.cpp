#include "display/SDLKeys.h"

#include <gtest/gtest.h>

namespace tw::display {
namespace {

    // The US layout's character for the keys these tests type.
    SDL_Keycode DefaultSym(SDL_Scancode scancode)
    {
        if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
            return SDLK_a + (scancode - SDL_SCANCODE_A);
        if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
            return SDLK_1 + (scancode - SDL_SCANCODE_1);
        if (scancode == SDL_SCANCODE_0)
            return SDLK_0;
        switch (scancode) {
        case SDL_SCANCODE_MINUS:
            return SDLK_MINUS;
        case SDL_SCANCODE_SLASH:
            return SDLK_SLASH;
        case SDL_SCANCODE_GRAVE:
            return SDLK_BACKQUOTE;
        case SDL_SCANCODE_APOSTROPHE:
            return SDLK_QUOTE;
        case SDL_SCANCODE_COMMA:
            return SDLK_COMMA;
        case SDL_SCANCODE_PERIOD:
            return SDLK_PERIOD;
        case SDL_SCANCODE_SPACE:
            return SDLK_SPACE;
        default:
            break;
        }
        return SDL_SCANCODE_TO_KEYCODE(scancode);
    }

    SDL_Keysym Keysym(SDL_Scancode scancode, Uint16 mod = KMOD_NONE)
    {
        SDL_Keysym keysym {};
        keysym.scancode = scancode;
        keysym.sym = DefaultSym(scancode);
        keysym.mod = mod;
        return keysym;
    }

    MacKey Translated(SDL_Scancode scancode, Uint16 mod = KMOD_NONE)
    {
        MacKey key { 0xDEAD, 0xDEAD };
        EXPECT_TRUE(SDLKeys::Translate(Keysym(scancode, mod), &key)) << SDL_GetScancodeName(scancode);
        return key;
    }

    TEST(SDLKeys, EditingAndMovingKeysHaveTheMacCodesAndCharacters)
    {
        struct Case {
            SDL_Scancode scancode;
            UInt32 code;
            UInt32 character;
        };
        Case const cases[] = {
            { SDL_SCANCODE_RETURN, 36, 13 },
            { SDL_SCANCODE_KP_ENTER, 52, 3 },
            { SDL_SCANCODE_TAB, 48, 9 },
            { SDL_SCANCODE_ESCAPE, 53, 27 },
            { SDL_SCANCODE_BACKSPACE, 51, 8 },
            { SDL_SCANCODE_DELETE, 117, 127 },
            { SDL_SCANCODE_HOME, 115, 1 },
            { SDL_SCANCODE_END, 119, 4 },
            { SDL_SCANCODE_PAGEUP, 116, 11 },
            { SDL_SCANCODE_PAGEDOWN, 121, 12 },
            { SDL_SCANCODE_LEFT, 123, 28 },
            { SDL_SCANCODE_RIGHT, 124, 29 },
            { SDL_SCANCODE_DOWN, 125, 31 },
            { SDL_SCANCODE_UP, 126, 30 },
            { SDL_SCANCODE_SPACE, 49, ' ' },
            { SDL_SCANCODE_F1, 122, 16 },
            { SDL_SCANCODE_F5, 96, 16 },
            { SDL_SCANCODE_F12, 111, 16 },
        };
        for (Case const& c : cases) {
            MacKey const key = Translated(c.scancode);
            EXPECT_EQ(key.keyCode, c.code) << SDL_GetScancodeName(c.scancode);
            EXPECT_EQ(key.character, c.character) << SDL_GetScancodeName(c.scancode);
        }
    }

    TEST(SDLKeys, LettersAndDigitsHaveTheirAnsiPositions)
    {
        EXPECT_EQ(Translated(SDL_SCANCODE_A).keyCode, kVK_ANSI_A);
        EXPECT_EQ(Translated(SDL_SCANCODE_Q).keyCode, kVK_ANSI_Q);
        EXPECT_EQ(Translated(SDL_SCANCODE_Q).character, UInt32('q'));
        EXPECT_EQ(Translated(SDL_SCANCODE_W).keyCode, 0x0Du);
        EXPECT_EQ(Translated(SDL_SCANCODE_Z).keyCode, 0x06u);
        EXPECT_EQ(Translated(SDL_SCANCODE_M).keyCode, 0x2Eu);
        EXPECT_EQ(Translated(SDL_SCANCODE_1).keyCode, 0x12u);
        EXPECT_EQ(Translated(SDL_SCANCODE_5).keyCode, 0x17u);
        EXPECT_EQ(Translated(SDL_SCANCODE_6).keyCode, 0x16u);
        EXPECT_EQ(Translated(SDL_SCANCODE_0).keyCode, 0x1Du);
        EXPECT_EQ(Translated(SDL_SCANCODE_0).character, UInt32('0'));
        EXPECT_EQ(Translated(SDL_SCANCODE_MINUS).keyCode, 0x1Bu);
        EXPECT_EQ(Translated(SDL_SCANCODE_KP_7).keyCode, 0x59u);
        EXPECT_EQ(Translated(SDL_SCANCODE_KP_7).character, UInt32('7'));
    }

    TEST(SDLKeys, ShiftOrCapsLockMakeLettersCapitalButNotBoth)
    {
        EXPECT_EQ(Translated(SDL_SCANCODE_Z, KMOD_LSHIFT).character, UInt32('Z'));
        EXPECT_EQ(Translated(SDL_SCANCODE_Z, KMOD_CAPS).character, UInt32('Z'));
        EXPECT_EQ(Translated(SDL_SCANCODE_Z, KMOD_RSHIFT | KMOD_CAPS).character, UInt32('z'));
        // Caps Lock leaves digits and punctuation alone.
        EXPECT_EQ(Translated(SDL_SCANCODE_1, KMOD_CAPS).character, UInt32('1'));
    }

    TEST(SDLKeys, ShiftTypesTheLayoutsShiftedPunctuationAndUSWhenTheLayoutIsUnknown)
    {
        // No layout from a display: the US keyboard's punctuation, so that Shift+/ is "?".
        SDLKeys::SetShiftedLookup(nullptr);
        EXPECT_EQ(Translated(SDL_SCANCODE_SLASH, KMOD_LSHIFT).character, UInt32('?'));
        EXPECT_EQ(Translated(SDL_SCANCODE_SLASH).character, UInt32('/'));
        EXPECT_EQ(Translated(SDL_SCANCODE_1, KMOD_RSHIFT).character, UInt32('!'));
        EXPECT_EQ(Translated(SDL_SCANCODE_GRAVE, KMOD_LSHIFT).character, UInt32('~'));
        EXPECT_EQ(Translated(SDL_SCANCODE_APOSTROPHE, KMOD_LSHIFT).character, UInt32('"'));
        EXPECT_EQ(Translated(SDL_SCANCODE_SPACE, KMOD_LSHIFT).character, UInt32(' '));
        // The shifted key's code stays the key's own.
        EXPECT_EQ(Translated(SDL_SCANCODE_SLASH, KMOD_LSHIFT).keyCode, 0x2Cu);

        // A German layout: Shift+7 is "/", Shift+ß is "?"; a key it does not know, or one
        // whose shifted level is no character, falls back to the US table.
        SDLKeys::SetShiftedLookup([](UInt32 unshifted) -> UInt32 {
            switch (unshifted) {
            case '7':
                return '/';
            case 0xDF: // ß
                return '?';
            case ',':
                return 0x08; // not a character
            default:
                return 0;
            }
        });
        EXPECT_EQ(Translated(SDL_SCANCODE_7, KMOD_LSHIFT).character, UInt32('/'));
        SDL_Keysym sharpS = Keysym(SDL_SCANCODE_MINUS, KMOD_LSHIFT);
        sharpS.sym = 0xDF;
        MacKey key;
        ASSERT_TRUE(SDLKeys::Translate(sharpS, &key));
        EXPECT_EQ(key.character, UInt32('?'));
        EXPECT_EQ(Translated(SDL_SCANCODE_COMMA, KMOD_LSHIFT).character, UInt32('<'));
        EXPECT_EQ(Translated(SDL_SCANCODE_Q, KMOD_LSHIFT).character, UInt32('Q')) << "letters are the layout's own";
        SDLKeys::SetShiftedLookup(nullptr);
    }

    TEST(SDLKeys, TheLayoutGivesTheCharacterAndThePositionTheCode)
    {
        // A French layout puts A where the ANSI Q is.
        SDL_Keysym keysym = Keysym(SDL_SCANCODE_Q);
        keysym.sym = SDLK_a;
        MacKey key;
        ASSERT_TRUE(SDLKeys::Translate(keysym, &key));
        EXPECT_EQ(key.keyCode, kVK_ANSI_Q);
        EXPECT_EQ(key.character, UInt32('a'));
        // A key typing a letter outside ASCII.
        keysym = Keysym(SDL_SCANCODE_SEMICOLON);
        keysym.sym = 0xE9; // é
        ASSERT_TRUE(SDLKeys::Translate(keysym, &key));
        EXPECT_EQ(key.character, 0xE9u);
    }

    TEST(SDLKeys, KeysTheMacLacksAreRefused)
    {
        MacKey key;
        EXPECT_FALSE(SDLKeys::Translate(Keysym(SDL_SCANCODE_AUDIOPLAY), &key));
        EXPECT_FALSE(SDLKeys::Translate(Keysym(SDL_SCANCODE_LCTRL), &key));
        EXPECT_FALSE(SDLKeys::Translate(Keysym(SDL_SCANCODE_A), nullptr));
        EXPECT_TRUE(SDLKeys::IsModifierKey(SDL_SCANCODE_RGUI));
        EXPECT_TRUE(SDLKeys::IsModifierKey(SDL_SCANCODE_LALT));
        EXPECT_FALSE(SDLKeys::IsModifierKey(SDL_SCANCODE_A));
    }

    TEST(SDLKeys, CtrlIsCommandAltIsOptionSuperIsControl)
    {
        EXPECT_EQ(SDLKeys::Modifiers(KMOD_NONE), 0u);
        EXPECT_EQ(SDLKeys::Modifiers(KMOD_LCTRL), UInt32(cmdKey));
        EXPECT_EQ(SDLKeys::Modifiers(KMOD_RCTRL), UInt32(cmdKey));
        EXPECT_EQ(SDLKeys::Modifiers(KMOD_LALT), UInt32(optionKey));
        EXPECT_EQ(SDLKeys::Modifiers(KMOD_RALT), UInt32(optionKey));
        EXPECT_EQ(SDLKeys::Modifiers(KMOD_LGUI), UInt32(controlKey));
        EXPECT_EQ(SDLKeys::Modifiers(KMOD_RSHIFT), UInt32(shiftKey));
        EXPECT_EQ(SDLKeys::Modifiers(KMOD_LCTRL | KMOD_LALT | KMOD_LSHIFT), UInt32(cmdKey | optionKey | shiftKey));
        // Num Lock and Caps Lock are no modifiers of the Mac's chords.
        EXPECT_EQ(SDLKeys::Modifiers(KMOD_NUM | KMOD_CAPS), 0u);
    }

} // namespace
} // namespace tw::display
