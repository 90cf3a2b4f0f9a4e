#include "DisplayTest.h"
#include "SDLKeyEvent.h"
#include "display/SDLEventTranslator.h"
#include "display/SDLKeys.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Theme.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <cstdlib>
#include <cwctype>
#include <functional>
#include <list>
#include <tuple>

namespace tw::test {
namespace {

    using display::kVK_DownArrow;
    using display::kVK_Escape;
    using display::kVK_LeftArrow;
    using display::kVK_Return;
    using display::kVK_RightArrow;
    using display::kVK_UpArrow;

    // Runs actions from timers, which fire inside the nested loop of an open menu.
    class Later {
    public:
        ~Later()
        {
            for (EventLoopTimerRef timer : mTimers)
                RemoveEventLoopTimer(timer);
        }
        void At(EventTime seconds, std::function<void()> action)
        {
            mActions.push_back(std::move(action));
            EventLoopTimerRef timer = nullptr;
            InstallEventLoopTimer(
                GetMainEventLoop(), seconds, 0,
                [](EventLoopTimerRef, void* data) { (*static_cast<std::function<void()>*>(data))(); },
                &mActions.back(), &timer);
            mTimers.push_back(timer);
        }

    private:
        std::list<std::function<void()>> mActions;
        std::vector<EventLoopTimerRef> mTimers;
    };

    // The screen as a PNG in $TW_SCREENSHOT_DIR, when set, for a person to look at.
    void Shot(char const* name)
    {
        if (char const* folder = std::getenv("TW_SCREENSHOT_DIR"))
            display::WindowServer::Get().WritePNG(std::string(folder) + "/" + name);
    }

    struct Commands {
        std::vector<std::string> processed;
    };

    OSStatus RecordCommand(EventHandlerCallRef, EventRef event, void* userData)
    {
        HICommandExtended command {};
        GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
        if (GetEventKind(event) == kEventCommandUpdateStatus) {
            // Everything is enabled but Revert, which keys must step over.
            if (command.commandID == 'rvrt')
                DisableMenuItem(command.source.menu.menuRef, command.source.menu.menuItemIndex);
            else
                EnableMenuItem(command.source.menu.menuRef, command.source.menu.menuItemIndex);
            return noErr;
        }
        static_cast<Commands*>(userData)->processed.push_back(Code(command.commandID));
        return noErr;
    }

    class MenuKeyboard : public DisplayTest {
    protected:
        void SetUp() override
        {
            DisplayTest::SetUp();
            ASSERT_EQ(SetMenuBarFromNib(mNib, CFSTR("MenuBar")), noErr);
            EventTypeSpec const specs[]
                = { { kEventClassCommand, kEventCommandProcess }, { kEventClassCommand, kEventCommandUpdateStatus } };
            InstallEventHandler(GetApplicationEventTarget(), RecordCommand, 2, specs, &mCommands, &mHandler);
        }
        void TearDown() override
        {
            RemoveEventHandler(mHandler);
            DisplayTest::TearDown();
        }

        // Clicks a title of the bar: the menu opens and stays open.
        static void ClickTitle(std::size_t index)
        {
            std::vector<CGRect> const titles = toolbox::Theme::MenuBarTitleRects();
            ASSERT_LT(index, titles.size());
            InputDriver::Click({ CGRectGetMidX(titles[index]), 11 });
        }
        static void Press(UInt32 code, UInt32 character = 0, UInt32 modifiers = 0)
        {
            InputDriver::Key(code, character, modifiers);
        }
        static void TypeKeys(std::string const& text)
        {
            for (char c : text)
                Press(0, static_cast<UInt32>(c));
        }
        // The open menus' titles and highlighted items, deepest last.
        static std::vector<std::string> Highlights()
        {
            std::vector<std::string> out;
            for (toolbox::OpenMenu const& open : toolbox::MenuBar::Open()) {
                toolbox::MenuItem const* item = open.menu->Item(open.highlighted);
                out.push_back(cf::ToUTF8(open.menu->GetTitle()) + ":" + (item ? cf::ToUTF8(item->text) : ""));
            }
            return out;
        }

        Commands mCommands;
        EventHandlerRef mHandler = nullptr;
        Later mLater;
    };

    TEST_F(MenuKeyboard, ArrowsMoveOverSeparatorsAndDisabledItemsAndReturnChooses)
    {
        std::vector<std::vector<std::string>> seen;
        auto look = [&] { seen.push_back(Highlights()); };
        ClickTitle(1); // File: New, Open…, Open Recent ▸, —, Close, Save, Save As…, Revert (disabled), —, Import…
        mLater.At(0.05, [&] {
            look();
            Press(kVK_DownArrow);
            Press(kVK_DownArrow);
        });
        mLater.At(0.10, [&] {
            look();
            Press(kVK_DownArrow); // Open Recent
            Press(kVK_DownArrow); // over the separator to Close
        });
        mLater.At(0.15, [&] {
            look();
            for (int i = 0; i < 3; ++i)
                Press(kVK_DownArrow); // Save, Save As…, then over Revert and the separator
        });
        mLater.At(0.20, [&] {
            look();
            Shot("menu-keyboard.png");
            Press(kVK_UpArrow);
            Press(kVK_Return);
        });
        Run(0.5);
        ASSERT_EQ(seen.size(), 4u);
        EXPECT_EQ(seen[0], std::vector<std::string> { "File:" }) << "a clicked menu stays open with nothing chosen";
        EXPECT_EQ(seen[1], std::vector<std::string> { "File:Open…" });
        EXPECT_EQ(seen[2], std::vector<std::string> { "File:Close" });
        EXPECT_EQ(seen[3], std::vector<std::string> { "File:Import…" });
        EXPECT_EQ(mCommands.processed, std::vector<std::string> { "svas" });
        EXPECT_TRUE(toolbox::MenuBar::Open().empty());
        EXPECT_EQ(toolbox::MenuBar::HighlightedTitle(), -1);
    }

    TEST_F(MenuKeyboard, RightAndLeftWalkTheBarAndSubmenusAndEscapeClosesWithoutChoosing)
    {
        std::vector<std::vector<std::string>> seen;
        auto look = [&] { seen.push_back(Highlights()); };
        ClickTitle(1);
        mLater.At(0.05, [&] {
            Press(kVK_RightArrow); // no submenu here: the next menu, Edit
        });
        mLater.At(0.10, [&] {
            look();
            Press(kVK_LeftArrow);
            Press(kVK_LeftArrow); // past File to the application menu
        });
        mLater.At(0.15, [&] {
            look();
            Press(kVK_LeftArrow); // from the first menu round to the last, Help
        });
        mLater.At(0.20, [&] {
            look();
            Press(kVK_RightArrow); // round again to the first
            Press(kVK_RightArrow); // File
            Press(kVK_DownArrow);
            Press(kVK_DownArrow);
            Press(kVK_DownArrow); // Open Recent
            Press(kVK_RightArrow); // opens it, its first choosable item highlighted
        });
        mLater.At(0.25, [&] {
            look();
            Shot("menu-keyboard-submenu.png");
            Press(kVK_LeftArrow); // closes the submenu only
        });
        mLater.At(0.30, [&] {
            look();
            Press(kVK_Escape);
        });
        Run(0.5);
        ASSERT_EQ(seen.size(), 5u);
        EXPECT_EQ(seen[0], std::vector<std::string> { "Edit:" });
        EXPECT_EQ(seen[1], std::vector<std::string> { "Tarnwick:" });
        EXPECT_EQ(seen[2], std::vector<std::string> { "Help:" });
        EXPECT_EQ(seen[3], (std::vector<std::string> { "File:Open Recent", "Open Recent:Clear Menu" }));
        EXPECT_EQ(seen[4], std::vector<std::string> { "File:Open Recent" });
        EXPECT_TRUE(mCommands.processed.empty()) << "Escape chose something";
        EXPECT_TRUE(toolbox::MenuBar::Open().empty());
    }

    TEST_F(MenuKeyboard, TypingSelectsTheFirstItemThatStartsWithTheTextAndItsTextReachesNoField)
    {
        WindowRef window = ShowNibWindow("Test");
        HIViewRef field = Find(window, 'name');
        ASSERT_NE(field, nullptr);
        SetKeyboardFocus(window, field, kControlFocusNextPart);
        CFStringRef const before = CFSTR("Before");
        SetControlData(field, 0, kControlEditTextCFStringTag, sizeof before, &before);
        std::vector<std::vector<std::string>> seen;
        ClickTitle(1);
        mLater.At(0.05, [&] {
            TypeKeys("p"); // Page Setup… comes first
            InputDriver::Post({ .kind = display::InputKind::Text, .text = "p" });
        });
        mLater.At(0.10, [&] {
            seen.push_back(Highlights());
            TypeKeys("r"); // "pr": Print…
        });
        mLater.At(0.15, [&] { seen.push_back(Highlights()); });
        mLater.At(2.0, [&] {
            TypeKeys("s"); // a pause starts a new search: Save
        });
        mLater.At(2.05, [&] {
            seen.push_back(Highlights());
            TypeKeys("q"); // nothing starts with "sq" or "q": Save stays
        });
        mLater.At(2.10, [&] {
            seen.push_back(Highlights());
            Press(kVK_Return);
        });
        Run(2.5);
        ASSERT_EQ(seen.size(), 4u);
        EXPECT_EQ(seen[0], std::vector<std::string> { "File:Page Setup…" });
        EXPECT_EQ(seen[1], std::vector<std::string> { "File:Print…" });
        EXPECT_EQ(seen[2], std::vector<std::string> { "File:Save" });
        EXPECT_EQ(seen[3], std::vector<std::string> { "File:Save" });
        EXPECT_EQ(mCommands.processed, std::vector<std::string> { "save" });
        EXPECT_EQ(FieldText(field), "Before") << "typing in the menu changed the field";
        DisposeWindow(window);
    }

    TEST_F(MenuKeyboard, ReturnWithNothingHighlightedClosesAndTheMouseTakesOverAgain)
    {
        ClickTitle(2); // Edit
        mLater.At(0.05, [&] { Press(kVK_Return); });
        Run(0.2);
        EXPECT_TRUE(toolbox::MenuBar::Open().empty());
        EXPECT_TRUE(mCommands.processed.empty());

        // Keys highlight, then the mouse moves onto another item and a click chooses that one.
        std::vector<CGRect> const titles = toolbox::Theme::MenuBarTitleRects();
        CGPoint const cut { CGRectGetMidX(titles[2]) + 20, 22 + 4 + 2 * 20 + 8 + 10 };
        ClickTitle(2);
        mLater.At(0.05, [&] {
            Press(kVK_DownArrow);
            InputDriver::MouseMove(cut);
            InputDriver::Click(cut);
        });
        Run(0.2);
        EXPECT_EQ(mCommands.processed, std::vector<std::string> { "cut " });
    }

    // Keys as SDL delivers them: a key-down (with a text event for a printable key) and a key-up,
    // the modifier state in each; a modifier key alone changes only the state.
    class SDLKeyboard {
    public:
        void Down(SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod, char const* text = nullptr)
        {
            Send(SDL_KEYDOWN, scancode, sym, mod);
            if (text) {
                SDL_Event event {};
                event.type = SDL_TEXTINPUT;
                std::snprintf(event.text.text, sizeof event.text.text, "%s", text);
                Translate(event, mod);
            }
        }
        void Up(SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod) { Send(SDL_KEYUP, scancode, sym, mod); }
        void Press(SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod = 0, char const* text = nullptr)
        {
            Down(scancode, sym, mod, text);
            Up(scancode, sym, mod);
        }

    private:
        void Send(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod)
        {
            Translate(SDLKeyEvent(type, scancode, sym, mod), mod);
        }
        void Translate(SDL_Event const& event, Uint16 mod)
        {
            display::SDLTranslation out;
            mTranslator.Translate(event, mod, {}, out);
            for (auto const& input : out)
                InputDriver::Post(std::get<display::InputEvent>(input));
        }
        display::SDLEventTranslator mTranslator;
    };

    // How a US keyboard types a character: the key, and whether Shift is down.
    bool USKeyFor(UniChar character, SDL_Scancode* scancode, SDL_Keycode* sym, bool* shift)
    {
        UniChar const lower = static_cast<UniChar>(std::towlower(character));
        if (lower >= 'a' && lower <= 'z') {
            *scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_A + (lower - 'a'));
            *sym = lower;
            *shift = false; // the item's own modifiers say whether Shift is wanted
            return true;
        }
        static constexpr std::pair<SDL_Scancode, char> kKeys[] = { { SDL_SCANCODE_1, '1' }, { SDL_SCANCODE_2, '2' },
            { SDL_SCANCODE_3, '3' }, { SDL_SCANCODE_4, '4' }, { SDL_SCANCODE_5, '5' }, { SDL_SCANCODE_6, '6' },
            { SDL_SCANCODE_7, '7' }, { SDL_SCANCODE_8, '8' }, { SDL_SCANCODE_9, '9' }, { SDL_SCANCODE_0, '0' },
            { SDL_SCANCODE_MINUS, '-' }, { SDL_SCANCODE_EQUALS, '=' }, { SDL_SCANCODE_LEFTBRACKET, '[' },
            { SDL_SCANCODE_RIGHTBRACKET, ']' }, { SDL_SCANCODE_BACKSLASH, '\\' }, { SDL_SCANCODE_SEMICOLON, ';' },
            { SDL_SCANCODE_APOSTROPHE, '\'' }, { SDL_SCANCODE_GRAVE, '`' }, { SDL_SCANCODE_COMMA, ',' },
            { SDL_SCANCODE_PERIOD, '.' }, { SDL_SCANCODE_SLASH, '/' } };
        for (auto [code, plain] : kKeys) {
            bool const shifted = display::SDLKeys::USShifted(UInt32(plain)) == character;
            if (UniChar(plain) == character || shifted) {
                *scancode = code;
                *sym = plain;
                *shift = shifted;
                return true;
            }
        }
        return false;
    }

    void CollectKeyedItems(toolbox::Menu* menu, std::vector<toolbox::MenuItem const*>& out)
    {
        for (MenuItemIndex i = 1; i <= menu->Count(); ++i) {
            toolbox::MenuItem const* item = menu->Item(i);
            if (item->key != 0)
                out.push_back(item);
            if (item->submenu)
                CollectKeyedItems(item->submenu, out);
        }
    }

    TEST_F(MenuKeyboard, EveryKeyEquivalentInTheNibFiresItsCommandWhenTypedOnTheKeyboard)
    {
        display::SDLKeys::SetShiftedLookup(nullptr); // the US layout
        std::vector<toolbox::MenuItem const*> items;
        for (toolbox::Menu* menu : toolbox::MenuBar::Menus())
            CollectKeyedItems(menu, items);
        ASSERT_GE(items.size(), 15u);
        SDLKeyboard keys;
        for (toolbox::MenuItem const* item : items) {
            std::string const name = cf::ToUTF8(item->text);
            SDL_Scancode scancode {};
            SDL_Keycode sym = 0;
            bool shift = false;
            ASSERT_TRUE(USKeyFor(item->key, &scancode, &sym, &shift)) << name << ": no key types it";
            Uint16 mod = item->modifiers & kMenuNoCommandModifier ? 0 : KMOD_LCTRL;
            if (shift || (item->modifiers & kMenuShiftModifier))
                mod |= KMOD_LSHIFT;
            if (item->modifiers & kMenuOptionModifier)
                mod |= KMOD_LALT;
            if (item->modifiers & kMenuControlModifier)
                mod |= KMOD_LGUI;
            mCommands.processed.clear();
            keys.Press(scancode, sym, mod);
            Run();
            EXPECT_EQ(mCommands.processed, std::vector<std::string> { Code(item->command) }) << name;
        }
    }

    TEST_F(MenuKeyboard, F10ATapOfAltAndAltWithAFirstLetterOpenTheClosedMenuBar)
    {
        WindowRef window = ShowNibWindow("Test");
        HIViewRef field = Find(window, 'name');
        ASSERT_NE(field, nullptr);
        SetKeyboardFocus(window, field, kControlFocusNextPart);
        SDLKeyboard keys;
        std::vector<std::vector<std::string>> seen;
        auto lookThenEscape = [&] {
            seen.push_back(Highlights());
            keys.Press(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
        };
        ASSERT_TRUE(toolbox::MenuBar::Open().empty());
        keys.Press(SDL_SCANCODE_F10, SDLK_F10);
        mLater.At(0.05, lookThenEscape);
        Run(0.2);
        keys.Press(SDL_SCANCODE_F10, SDLK_F10); // the highlight goes along to the next menu
        mLater.At(0.05, [&] {
            keys.Press(SDL_SCANCODE_RIGHT, SDLK_RIGHT);
            keys.Press(SDL_SCANCODE_RIGHT, SDLK_RIGHT);
        });
        mLater.At(0.1, lookThenEscape);
        Run(0.2);
        keys.Down(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT); // a tap: down and up alone
        keys.Up(SDL_SCANCODE_LALT, SDLK_LALT, 0);
        mLater.At(0.05, lookThenEscape);
        Run(0.2);
        keys.Down(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
        keys.Press(SDL_SCANCODE_F, 'f', KMOD_LALT, "f");
        keys.Up(SDL_SCANCODE_LALT, SDLK_LALT, 0);
        mLater.At(0.05, [&] {
            seen.push_back(Highlights());
            Shot("menu-alt-f.png");
            keys.Press(SDL_SCANCODE_DOWN, SDLK_DOWN);
            keys.Press(SDL_SCANCODE_RETURN, SDLK_RETURN, 0, nullptr);
        });
        Run(0.2);
        keys.Down(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
        keys.Press(SDL_SCANCODE_M, 'm', KMOD_LALT, "m");
        keys.Up(SDL_SCANCODE_LALT, SDLK_LALT, 0);
        mLater.At(0.05, lookThenEscape);
        Run(0.2);
        ASSERT_EQ(seen.size(), 5u);
        EXPECT_EQ(seen[0], std::vector<std::string> { "Tarnwick:About Tarnwick" }) << "F10";
        EXPECT_EQ(seen[1], std::vector<std::string> { "Edit:Undo" }) << "F10, Right, Right";
        EXPECT_EQ(seen[2], std::vector<std::string> { "Tarnwick:About Tarnwick" }) << "a tap of Alt";
        EXPECT_EQ(seen[3], std::vector<std::string> { "File:New" }) << "Alt+F";
        EXPECT_EQ(seen[4], std::vector<std::string> { "Map:Zoom In" }) << "Alt+M";
        EXPECT_EQ(mCommands.processed, std::vector<std::string> { "open" });
        EXPECT_TRUE(toolbox::MenuBar::Open().empty());
        EXPECT_EQ(FieldText(field), "") << "the letters that opened menus reached the field";
        DisposeWindow(window);
    }

    TEST_F(MenuKeyboard, AltHeldWithAnotherKeyOrAClickOpensNothingAndOtherLettersReachTheFocus)
    {
        WindowRef window = ShowNibWindow("Test");
        HIViewRef field = Find(window, 'name');
        ASSERT_NE(field, nullptr);
        SetKeyboardFocus(window, field, kControlFocusNextPart);
        SDLKeyboard keys;
        std::vector<std::size_t> open;
        keys.Down(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
        keys.Press(SDL_SCANCODE_X, 'x', KMOD_LALT, "x"); // no menu starts with X
        keys.Up(SDL_SCANCODE_LALT, SDLK_LALT, 0);
        keys.Down(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
        InputDriver::Click({ 600, 500 }, optionKey);
        keys.Up(SDL_SCANCODE_LALT, SDLK_LALT, 0);
        keys.Down(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT);
        keys.Down(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LSHIFT | KMOD_LALT); // Alt with Shift is no tap
        keys.Up(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LSHIFT);
        keys.Up(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 0);
        // Nor when the other modifier goes first and Alt is let go alone after it.
        for (auto [scancode, sym, mod] : { std::tuple { SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT },
                 std::tuple { SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL },
                 std::tuple { SDL_SCANCODE_LGUI, SDLK_LGUI, KMOD_LGUI } }) {
            keys.Down(scancode, sym, mod);
            keys.Down(SDL_SCANCODE_LALT, SDLK_LALT, mod | KMOD_LALT);
            keys.Up(scancode, sym, KMOD_LALT);
            keys.Up(SDL_SCANCODE_LALT, SDLK_LALT, 0);
            keys.Down(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT); // Alt first, the other with it
            keys.Down(scancode, sym, mod | KMOD_LALT);
            keys.Up(scancode, sym, KMOD_LALT);
            keys.Up(SDL_SCANCODE_LALT, SDLK_LALT, 0);
        }
        auto lookThenEscape = [&] {
            open.push_back(toolbox::MenuBar::Open().size());
            if (!toolbox::MenuBar::Open().empty())
                keys.Press(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE); // a menu opened in error is not left open
        };
        mLater.At(0.1, lookThenEscape);
        mLater.At(0.2, lookThenEscape);
        Run(0.3);
        EXPECT_EQ(open, (std::vector<std::size_t> { 0, 0 }));
        EXPECT_TRUE(mCommands.processed.empty());
        EXPECT_EQ(FieldText(field), "x");
        DisposeWindow(window);
    }

    TEST_F(MenuKeyboard, ACommandChordOfALetterOutsideASCIIFiresNothing)
    {
        InputDriver::Key(0x29, 0xE9, cmdKey); // Ctrl+é
        InputDriver::Key(0x29, 0xBF, cmdKey | shiftKey); // Ctrl+¿
        Run();
        EXPECT_TRUE(mCommands.processed.empty()) << "a character outside ASCII matched \"?\"";
    }

    // A pop-up button: a click opens its menu and leaves it open, at least as wide
    // as the button; keys move in it; the focused button opens it with Space.
    class PopUpInput : public DisplayTest {
    protected:
        void SetUp() override
        {
            DisplayTest::SetUp();
            Rect const content { 100, 100, 300, 500 };
            ASSERT_EQ(CreateNewWindow(kDocumentWindowClass,
                          kWindowStandardDocumentAttributes | kWindowStandardHandlerAttribute
                              | kWindowCompositingAttribute,
                          &content, &mWindow),
                noErr);
            ShowWindow(mWindow);
            MenuRef menu = nullptr;
            CreateNewMenu(0, 0, &menu);
            for (CFStringRef text : { CFSTR("Metres"), CFSTR("Feet"), CFSTR("Yards") })
                AppendMenuItemTextWithCFString(menu, text, 0, 0, nullptr);
            Rect const r { 20, 20, 46, 260 }; // 240 wide: wider than the menu would be
            CreatePopupButtonControl(mWindow, &r, nullptr, 0, false, 0, 0, 0, &mPopUp);
            SetControlPopupMenuHandle(mPopUp, menu);
            ReleaseMenu(menu);
            SetControl32BitValue(mPopUp, 1);
        }
        void TearDown() override
        {
            DisposeWindow(mWindow);
            DisplayTest::TearDown();
        }
        CGPoint Centre() const
        {
            HIRect b {};
            HIViewGetBounds(mPopUp, &b);
            return Global(mPopUp, { CGRectGetMidX(b), CGRectGetMidY(b) });
        }

        WindowRef mWindow = nullptr;
        ControlRef mPopUp = nullptr;
        Later mLater;
    };

    TEST_F(PopUpInput, AClickOpensTheMenuAtLeastAsWideAsTheButtonAndASecondClickChooses)
    {
        CGPoint const at = Centre();
        std::size_t open = 0;
        CGRect frame {};
        bool pressedLook = true;
        InputDriver::Click(at);
        mLater.At(0.1, [&] {
            open = toolbox::MenuBar::Open().size();
            if (open)
                frame = toolbox::MenuBar::Open().front().frame;
            pressedLook = IsControlHilited(mPopUp);
            Shot("popup-open.png");
            InputDriver::Click({ at.x, at.y + 40 }); // two rows down: Yards
        });
        Run(0.3);
        EXPECT_EQ(open, 1u) << "a click closed the menu it opened";
        EXPECT_GE(frame.size.width, 240);
        EXPECT_FALSE(pressedLook) << "the button changed its look while open";
        EXPECT_EQ(GetControl32BitValue(mPopUp), 3);
        EXPECT_TRUE(toolbox::MenuBar::Open().empty());
    }

    TEST_F(PopUpInput, TheFocusedButtonOpensWithSpaceAndKeysChooseAndEscapeKeepsTheValue)
    {
        ASSERT_EQ(SetKeyboardFocus(mWindow, mPopUp, kControlFocusNextPart), noErr);
        std::vector<std::string> seen;
        InputDriver::Key(display::kVK_Space, ' ');
        mLater.At(0.05, [&] {
            toolbox::OpenMenu const& open = toolbox::MenuBar::Open().at(0);
            seen.push_back(std::to_string(open.highlighted)); // the current item, under the mouse
            InputDriver::Key(kVK_DownArrow, 0);
            InputDriver::Key(kVK_Return, display::kReturnCharCode);
        });
        Run(0.2);
        EXPECT_EQ(seen, std::vector<std::string> { "1" }) << "the current item is not highlighted";
        EXPECT_EQ(GetControl32BitValue(mPopUp), 2);
        InputDriver::Key(kVK_UpArrow, 0);
        mLater.At(0.05, [&] { InputDriver::Key(kVK_Escape, display::kEscapeCharCode); });
        Run(0.2);
        EXPECT_TRUE(toolbox::MenuBar::Open().empty());
        EXPECT_EQ(GetControl32BitValue(mPopUp), 2) << "Escape changed the value";
    }

} // namespace
} // namespace tw::test
