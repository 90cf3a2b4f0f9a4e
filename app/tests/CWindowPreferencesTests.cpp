#include "PreferencesTest.h"
#include "app/CToolbarPreferences.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/toolbar/ToolbarCalls.h"

namespace tw::test {
namespace {

    using PreferencesWindow = PreferencesTest;

    TEST_F(PreferencesWindow, TheMenuCommandShowsOneWindowWithTheGeneralPanelAndClosingOnlyHidesIt)
    {
        OpenByKey();
        CWindowPreferences* window = Instance();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(IsWindowVisible(Window())) << "the command shows the window";
        EXPECT_EQ(toolbox::WindowList::FrontNonFloating(), Window());
        EXPECT_EQ(window->GetPanel(), CString(CWindowPreferences::kNibPrefsGeneral));
        EXPECT_NE(Find('grid'), nullptr);
        EXPECT_EQ(window->GetTWApp(), CTWApplication::GetTWApp()) << "the window takes the map application";
        EXPECT_NE(window->GetTWApp(), nullptr);

        InputDriver::Key(kKeyW, 'w', cmdKey);
        Run();
        EXPECT_FALSE(IsWindowVisible(Window()));
        EXPECT_EQ(Instance(), window) << "closed is hidden, never destroyed";
        OpenByKey();
        EXPECT_TRUE(IsWindowVisible(Window()));
        EXPECT_EQ(Instance(), window);
    }

    TEST_F(PreferencesWindow, TheToolbarCommandsOfTheMenuAreDisabledWhileTheWindowIsInFront)
    {
        OpenByKey();
        HICommandExtended customise {};
        customise.commandID = kHICommandCustomizeToolbar;
        customise.attributes = kHICommandFromMenu;
        EXPECT_EQ(Instance()->GetMenuStatus(customise), CCarbonEventHandler::kMenuStatusDisable);
        MenuRef menu = nullptr;
        MenuItemIndex index = 0;
        ASSERT_EQ(GetIndMenuItemWithCommandID(nullptr, 'tbTo', 1, &menu, &index), noErr);
        menu->UpdateStatus();
        EXPECT_FALSE(IsMenuItemEnabled(menu, index)) << "the menu asks the window in front";
        ASSERT_EQ(GetIndMenuItemWithCommandID(nullptr, 'clos', 1, &menu, &index), noErr);
        menu->UpdateStatus();
        EXPECT_TRUE(IsMenuItemEnabled(menu, index)) << "other commands go on to the window controller";
    }

    TEST_F(PreferencesWindow, WithoutOptionAtTheFirstOpeningTheDebugPanelCannotBeReached)
    {
        OpenByKey();
        EXPECT_EQ(ToolbarCommands(), (std::vector<std::string> { "pgen", "psup" }));
        // The toolbar is made once, with the window: Option held later changes nothing.
        InputDriver::Key(kKeyW, 'w', cmdKey);
        OpenByMenuWithOption();
        EXPECT_TRUE(IsWindowVisible(Window())) << "the menu item chosen with Option opens the window too";
        EXPECT_EQ(ToolbarCommands(), (std::vector<std::string> { "pgen", "psup" }));
        ClickToolbar('psup');
        ClickToolbar('pgen');
        EXPECT_EQ(Instance()->GetPanel(), CString(CWindowPreferences::kNibPrefsGeneral));
    }

    TEST_F(PreferencesWindow, OptionHeldAtTheFirstOpeningAddsTheDebugItemThatShowsTheDebugPanel)
    {
        OpenByMenuWithOption();
        ASSERT_TRUE(IsWindowVisible(Window()));
        EXPECT_EQ(ToolbarCommands(), (std::vector<std::string> { "pgen", "psup", "pbug" }));
        ClickToolbar('pbug');
        EXPECT_EQ(Instance()->GetPanel(), CString(CWindowPreferences::kNibPrefsDebug));
        EXPECT_NE(Find('rset'), nullptr);
        EXPECT_EQ(Find('grid'), nullptr) << "a panel replaces the one before";
    }

    TEST_F(PreferencesWindow, CtrlTabAndCtrlPageKeysStepThroughThePanelsTheToolbarOffers)
    {
        constexpr UInt32 kPageUp = 116, kPageDown = 121;
        auto const panels = [&](std::vector<std::pair<UInt32, UInt32>> const& keys) {
            std::vector<std::string> shown;
            for (auto [code, modifiers] : keys) {
                InputDriver::Key(code, code == kKeyTab ? '\t' : 0, modifiers);
                Run();
                shown.push_back(Instance()->GetPanel().GetStdString());
            }
            return shown;
        };
        OpenByKey();
        std::string const general = CWindowPreferences::kNibPrefsGeneral, update = CWindowPreferences::kNibPrefsUpdate;
        EXPECT_EQ(panels({ { kKeyTab, cmdKey }, { kKeyTab, cmdKey }, { kKeyTab, cmdKey | shiftKey },
                      { kPageDown, cmdKey }, { kPageUp, cmdKey } }),
            (std::vector<std::string> { update, general, update, general, update }));
        InputDriver::Key(kKeyW, 'w', cmdKey);
        Run();
        CWindowPreferences::ResetForTesting();
        OpenByMenuWithOption(); // with the Debug panel
        EXPECT_EQ(panels({ { kPageUp, cmdKey }, { kPageUp, cmdKey }, { kKeyTab, cmdKey } }),
            (std::vector<std::string> { CWindowPreferences::kNibPrefsDebug, update, CWindowPreferences::kNibPrefsDebug }));
        EXPECT_EQ(panels({ { kKeyTab, 0 } }), std::vector<std::string> { CWindowPreferences::kNibPrefsDebug })
            << "Tab alone moves the focus, not the panel";
    }

    TEST_F(PreferencesWindow, EveryPanelShownGetsFreshControlsBoundAnew)
    {
        Prefs().SetBoolean("ShowGrid", true);
        OpenByKey();
        ControlRef first = Find('grid');
        ASSERT_NE(first, nullptr);
        CFRetain(first);
        EXPECT_EQ(Value('grid'), 1);
        for (int round = 0; round < 3; ++round) {
            ClickToolbar('psup');
            EXPECT_EQ(Instance()->GetPanel(), CString(CWindowPreferences::kNibPrefsUpdate));
            EXPECT_EQ(Find('grid'), nullptr);
            ClickToolbar('pgen');
        }
        HIRect frame {};
        EXPECT_EQ(HIViewGetFrame(first, &frame), paramErr) << "the first panel's controls were disposed";
        CFRelease(first);
        ASSERT_NE(Find('grid'), nullptr);
        EXPECT_EQ(Value('grid'), 1) << "the new control took the stored value";
        Click('grid');
        EXPECT_FALSE(Prefs().GetBoolean("ShowGrid", true));
        Prefs().SetBoolean("ShowGrid", true);
        Run();
        EXPECT_EQ(Value('grid'), 1);
        // The Update panel binds its own controls again each time.
        Prefs().SetDate(CApplication::kPrefSoftwareUpdatePeriod, CDateTime(604800.0));
        ClickToolbar('psup');
        EXPECT_EQ(Value('sper'), 4);
    }

    // Bluish pixels on and just around a control: with the focus, its ring.
    int RingPixels(PixelProbe const& screen, CGRect frame)
    {
        PixelBox const box { int(frame.origin.x) - 4, int(frame.origin.y) - 4, int(CGRectGetMaxX(frame)) + 4,
            int(CGRectGetMaxY(frame)) + 4 };
        return screen.Count(box, [](Pixel p) { return p.b > p.r + 60; });
    }

    CGRect GlobalFrame(ControlRef control)
    {
        CGRect const bounds = control->GetBounds();
        CGPoint const inWindow = control->ToWindow(bounds.origin);
        CGRect const structure = control->GetWindow()->GetStructure();
        return { { structure.origin.x + inWindow.x, structure.origin.y + inWindow.y }, bounds.size };
    }

    // Each panel as the user sees it, written as a PNG and probed: a light face with
    // dark text on it, and the keyboard focus ringed once Tab gave it to a control.
    TEST_F(PreferencesWindow, EveryPanelIsDrawnLegiblyAndShowsTheKeyboardFocus)
    {
        OpenByMenuWithOption();
        struct Look {
            MenuCommand command;
            OSType firstControl;
            char const* file;
        };
        for (Look const look :
            { Look { 'pgen', 'grid', "preferences-general.png" }, Look { 'psup', 'sper', "preferences-update.png" },
                Look { 'pbug', 'dlog', "preferences-debug.png" } }) {
            ClickToolbar(look.command);
            CGRect const ring = GlobalFrame(Find(look.firstControl));
            int const before = RingPixels(ProbeScreen(), ring);
            InputDriver::Key(kKeyTab, '\t');
            Run();
            ControlRef focus = nullptr;
            GetKeyboardFocus(Window(), &focus);
            EXPECT_EQ(focus, Find(look.firstControl)) << look.file << ": Tab goes to the first control";
            PixelProbe const screen = ProbeScreen();
            EXPECT_GT(RingPixels(screen, ring), before + 20) << look.file << " " << before << ": the focus is shown";
            Rect content {};
            GetWindowBounds(Window(), kWindowContentRgn, &content);
            PixelBox const face { content.left + 2, content.top + 2, content.right - 2, content.bottom - 2 };
            int const total = (face.right - face.left) * (face.bottom - face.top);
            EXPECT_GT(screen.Count(face, [](Pixel p) { return p.r > 215 && p.g > 215 && p.b > 215; }), total / 2)
                << look.file;
            EXPECT_GT(screen.Count(face, [](Pixel p) { return p.r < 80 && p.g < 80 && p.b < 80; }), total / 200)
                << look.file << ": no text drawn";
            Shot(look.file);
        }
    }

} // namespace
} // namespace tw::test
