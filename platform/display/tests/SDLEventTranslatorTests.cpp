#include "SDLKeyEvent.h"
#include "display/SDLEventTranslator.h"

#include <cstring>
#include <gtest/gtest.h>

namespace tw::display {
namespace {

    class SDLEventTranslatorTest : public ::testing::Test {
    protected:
        SDLTranslation Translate(SDL_Event const& event, Uint16 modState = KMOD_NONE, CGPoint pointer = { 0, 0 })
        {
            SDLTranslation out;
            mTranslator.Translate(event, modState, pointer, out);
            return out;
        }
        static std::vector<InputEvent> Inputs(SDLTranslation const& out)
        {
            std::vector<InputEvent> inputs;
            for (auto const& item : out)
                if (auto const* input = std::get_if<InputEvent>(&item))
                    inputs.push_back(*input);
            return inputs;
        }
        static InputEvent Only(SDLTranslation const& out)
        {
            std::vector<InputEvent> const inputs = Inputs(out);
            EXPECT_EQ(out.size(), 1u);
            return inputs.empty() ? InputEvent {} : inputs.front();
        }

        static SDL_Event Button(Uint32 type, Uint8 button, int x, int y)
        {
            SDL_Event event {};
            event.type = type;
            event.button.button = button;
            event.button.x = x;
            event.button.y = y;
            return event;
        }
        static SDL_Event Key(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod, Uint8 repeat = 0)
        {
            return test::SDLKeyEvent(type, scancode, sym, mod, repeat);
        }
        static SDL_Event Drop(Uint32 type, char* item = nullptr)
        {
            SDL_Event event {};
            event.type = type;
            event.drop.file = item;
            return event;
        }

        SDLEventTranslator mTranslator;
    };

    TEST_F(SDLEventTranslatorTest, ButtonsAreNumberedAsOnTheMacWithTheModifiersOfTheMoment)
    {
        InputEvent down = Only(Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 40, 12)));
        EXPECT_EQ(down.kind, InputKind::MouseDown);
        EXPECT_EQ(down.button, 1);
        EXPECT_EQ(down.location.x, 40);
        EXPECT_EQ(down.location.y, 12);
        // The secondary button gives the contextual click; so does Super (Control) with the first.
        EXPECT_EQ(Only(Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 1))).button, 2);
        EXPECT_EQ(Only(Translate(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 1, 1))).button, 3);
        InputEvent controlClick = Only(Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6), KMOD_LGUI));
        EXPECT_EQ(controlClick.button, 1);
        EXPECT_EQ(controlClick.modifiers, UInt32(controlKey));
        EXPECT_EQ(
            Only(Translate(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5, 6), KMOD_LSHIFT)).kind, InputKind::MouseUp);
        // Side buttons mean nothing to the Mac.
        EXPECT_TRUE(Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 5, 6)).empty());
    }

    TEST_F(SDLEventTranslatorTest, WheelScrollsUpForPositiveYAndCountsLeftAsPositiveX)
    {
        SDL_Event event {};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.y = 2;
        event.wheel.x = 1;
        InputEvent wheel = Only(Translate(event, KMOD_NONE, { 300, 200 }));
        EXPECT_EQ(wheel.kind, InputKind::Wheel);
        EXPECT_EQ(wheel.wheelY, 2);
        EXPECT_EQ(wheel.wheelX, -1);
        EXPECT_EQ(wheel.location.x, 300);
        EXPECT_EQ(wheel.location.y, 200);
        // "Natural" scrolling reports flipped deltas: the user's direction is what counts.
        event.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
        wheel = Only(Translate(event));
        EXPECT_EQ(wheel.wheelY, -2);
        EXPECT_EQ(wheel.wheelX, 1);
        event.wheel.x = event.wheel.y = 0;
        EXPECT_TRUE(Translate(event).empty());
    }

    TEST_F(SDLEventTranslatorTest, KeysCarryCodeCharacterModifiersAndRepeat)
    {
        InputEvent down = Only(Translate(Key(SDL_KEYDOWN, SDL_SCANCODE_Q, SDLK_q, KMOD_LCTRL)));
        EXPECT_EQ(down.kind, InputKind::KeyDown);
        EXPECT_EQ(down.keyCode, kVK_ANSI_Q);
        EXPECT_EQ(down.character, UInt32('q'));
        EXPECT_EQ(down.modifiers, UInt32(cmdKey));
        EXPECT_FALSE(down.repeat);
        EXPECT_TRUE(Only(Translate(Key(SDL_KEYDOWN, SDL_SCANCODE_DOWN, SDLK_DOWN, 0, 1))).repeat);
        InputEvent up = Only(Translate(Key(SDL_KEYUP, SDL_SCANCODE_RETURN, SDLK_RETURN, 0, 1)));
        EXPECT_EQ(up.kind, InputKind::KeyUp);
        EXPECT_EQ(up.keyCode, kVK_Return);
        EXPECT_FALSE(up.repeat);
        EXPECT_TRUE(Translate(Key(SDL_KEYDOWN, SDL_SCANCODE_AUDIOPLAY, SDLK_AUDIOPLAY, 0)).empty());
    }

    TEST_F(SDLEventTranslatorTest, ModifierKeysChangeTheModifiersOnly)
    {
        InputEvent changed = Only(Translate(Key(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT | KMOD_LCTRL)));
        EXPECT_EQ(changed.kind, InputKind::ModifiersChanged);
        EXPECT_EQ(changed.modifiers, UInt32(optionKey | cmdKey));
        changed = Only(Translate(Key(SDL_KEYUP, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LCTRL)));
        EXPECT_EQ(changed.kind, InputKind::ModifiersChanged);
        EXPECT_EQ(changed.modifiers, UInt32(cmdKey));
    }

    TEST_F(SDLEventTranslatorTest, TypedTextIsTextUnlessCommandOrControlIsHeld)
    {
        SDL_Event event {};
        event.type = SDL_TEXTINPUT;
        std::strcpy(event.text.text, "é");
        InputEvent text = Only(Translate(event, KMOD_LSHIFT));
        EXPECT_EQ(text.kind, InputKind::Text);
        EXPECT_EQ(text.text, "é");
        EXPECT_EQ(Only(Translate(event, KMOD_RALT)).text, "é");
        EXPECT_TRUE(Translate(event, KMOD_LCTRL).empty());
        EXPECT_TRUE(Translate(event, KMOD_RGUI).empty());
    }

    TEST_F(SDLEventTranslatorTest, ADropIsGivenWholeAtThePointerWhenItCompletes)
    {
        char first[] = "/home/u/a.gpx";
        char second[] = "/home/u/b c.loc";
        char text[] = "47.1 8.5";
        EXPECT_TRUE(Translate(Drop(SDL_DROPBEGIN)).empty());
        EXPECT_TRUE(Translate(Drop(SDL_DROPFILE, first)).empty());
        EXPECT_TRUE(Translate(Drop(SDL_DROPFILE, second)).empty());
        EXPECT_TRUE(Translate(Drop(SDL_DROPTEXT, text)).empty());
        std::vector<InputEvent> const inputs = Inputs(Translate(Drop(SDL_DROPCOMPLETE), KMOD_NONE, { 320, 240 }));
        ASSERT_EQ(inputs.size(), 2u);
        EXPECT_EQ(inputs[0].kind, InputKind::DropFiles);
        EXPECT_EQ(inputs[0].files, (std::vector<std::string> { first, second }));
        EXPECT_EQ(inputs[0].location.x, 320);
        EXPECT_EQ(inputs[0].location.y, 240);
        EXPECT_EQ(inputs[1].kind, InputKind::DropText);
        EXPECT_EQ(inputs[1].text, text);
        // The next drop starts empty.
        EXPECT_TRUE(Translate(Drop(SDL_DROPBEGIN)).empty());
        EXPECT_TRUE(Inputs(Translate(Drop(SDL_DROPCOMPLETE))).empty());
    }

    TEST_F(SDLEventTranslatorTest, AnItemWithoutABeginIsADropOfItsOwn)
    {
        char file[] = "/tmp/x.gpx";
        InputEvent drop = Only(Translate(Drop(SDL_DROPFILE, file), KMOD_NONE, { 10, 30 }));
        EXPECT_EQ(drop.kind, InputKind::DropFiles);
        EXPECT_EQ(drop.files, std::vector<std::string> { file });
        EXPECT_EQ(drop.location.y, 30);
        EXPECT_TRUE(Translate(Drop(SDL_DROPFILE, nullptr)).empty());
    }

    TEST_F(SDLEventTranslatorTest, TheWindowAsksForAScreenOfItsSizeAndQuitting)
    {
        SDL_Event event {};
        event.type = SDL_WINDOWEVENT;
        event.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
        event.window.data1 = 1024;
        event.window.data2 = 700;
        SDLTranslation out = Translate(event);
        ASSERT_EQ(out.size(), 1u);
        auto const* request = std::get_if<WindowRequest>(&out.front());
        ASSERT_NE(request, nullptr);
        EXPECT_EQ(request->kind, WindowRequestKind::ResizeScreen);
        EXPECT_EQ(request->size.width, 1024);
        EXPECT_EQ(request->size.height, 700);
        event.window.data1 = 0;
        EXPECT_TRUE(Translate(event).empty());
        event.window.event = SDL_WINDOWEVENT_EXPOSED;
        out = Translate(event);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(std::get<WindowRequest>(out.front()).kind, WindowRequestKind::RedrawAll);
        event = {};
        event.type = SDL_QUIT;
        EXPECT_EQ(Only(Translate(event)).kind, InputKind::Quit);
    }

    TEST_F(SDLEventTranslatorTest, TheWindowsFocusIsTheApplicationsActivation)
    {
        SDL_Event event {};
        event.type = SDL_WINDOWEVENT;
        event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
        EXPECT_EQ(Only(Translate(event)).kind, InputKind::Activated);
        event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
        EXPECT_EQ(Only(Translate(event)).kind, InputKind::Deactivated);
    }

} // namespace
} // namespace tw::display
