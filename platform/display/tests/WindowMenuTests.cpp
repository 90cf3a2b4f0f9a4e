#include "DisplayTest.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Theme.h"
#include "toolbox/Window.h"
#include "toolbox/WindowMenu.h"

namespace tw::test {
namespace {

    // Three document windows made in this order, the last in front, and the Window menu.
    class WindowMenuTest : public DisplayTest {
    protected:
        void SetUp() override
        {
            DisplayTest::SetUp();
            toolbox::WindowMenu::Reset();
            ASSERT_EQ(SetMenuBarFromNib(mNib, CFSTR("MenuBar")), noErr);
            for (char const* title : { "Alpha", "Beta", "Gamma" }) {
                WindowRef window = ShowNibWindow("Test");
                ASSERT_NE(window, nullptr);
                CFStringRef text = cf::CreateString(title);
                SetWindowTitleWithCFString(window, text);
                CFRelease(text);
                mWindows.push_back(window);
            }
            mMenu = GetMenuRef(131);
            ASSERT_NE(mMenu, nullptr);
        }
        void TearDown() override
        {
            for (WindowRef window : mWindows)
                DisposeWindow(window);
            toolbox::WindowMenu::Reset();
            DisplayTest::TearDown();
        }

        // The window items as the open menu shows them: "title" with "*" for the check, "◆" for the diamond.
        std::vector<std::string> Listed()
        {
            toolbox::Menu* menu = toolbox::LiveMenu(mMenu);
            menu->UpdateStatus();
            std::vector<std::string> out;
            for (MenuItemIndex i = 1; i <= menu->Count(); ++i) {
                toolbox::MenuItem const* item = menu->Item(i);
                if (!item->listsWindow || item->IsSeparator())
                    continue;
                std::string text = cf::ToUTF8(item->text);
                if (item->mark == checkMark)
                    text += "*";
                else if (item->mark == diamondMark)
                    text += "◆";
                out.push_back(text);
            }
            return out;
        }
        static std::string FrontTitle()
        {
            toolbox::Window* front = toolbox::WindowList::FrontNonFloating();
            return front ? cf::ToUTF8(front->GetTitle()) : "";
        }
        static void CommandKey(UInt32 code, UInt32 character, UInt32 modifiers = 0)
        {
            InputDriver::Key(code, character, cmdKey | modifiers);
            Run();
        }

        std::vector<WindowRef> mWindows;
        MenuRef mMenu = nullptr;
    };

    TEST_F(WindowMenuTest, ListsTheOpenWindowsInTheOrderTheyCameWithTheFrontOneChecked)
    {
        EXPECT_EQ(Listed(), (std::vector<std::string> { "Alpha", "Beta", "Gamma*" }));
        SelectWindow(mWindows[0]);
        EXPECT_EQ(Listed(), (std::vector<std::string> { "Alpha*", "Beta", "Gamma" })) << "the order moved";
        // A window whose attribute keeps it out, a hidden one and a collapsed one.
        ChangeWindowAttributes(mWindows[1], 0, kWindowInWindowMenuAttribute);
        CollapseWindow(mWindows[2], true);
        EXPECT_EQ(Listed(), (std::vector<std::string> { "Alpha*", "Gamma◆" }));
        HideWindow(mWindows[0]);
        EXPECT_EQ(Listed(), (std::vector<std::string> { "Gamma◆" }));
        // Windows of other classes are not listed unless they ask.
        Rect const bounds { 100, 100, 200, 300 };
        WindowRef palette = nullptr;
        ASSERT_EQ(CreateNewWindow(kFloatingWindowClass, kWindowStandardFloatingAttributes, &bounds, &palette), noErr);
        ShowWindow(palette);
        EXPECT_EQ(Listed(), (std::vector<std::string> { "Gamma◆" }));
        DisposeWindow(palette);
        for (WindowRef window : mWindows)
            HideWindow(window);
        EXPECT_TRUE(Listed().empty());
        toolbox::Menu* menu = toolbox::LiveMenu(mMenu);
        EXPECT_FALSE(menu->Item(static_cast<MenuItemIndex>(menu->Count()))->IsSeparator())
            << "a separator with no window below it";
    }

    TEST_F(WindowMenuTest, ChoosingAWindowFromTheOpenMenuBringsItToTheFront)
    {
        std::vector<CGRect> const titles = toolbox::Theme::MenuBarTitleRects();
        std::vector<toolbox::Menu*> const bar = toolbox::MenuBar::Menus();
        auto const at = std::find(bar.begin(), bar.end(), toolbox::LiveMenu(mMenu));
        ASSERT_NE(at, bar.end());
        std::size_t const index = static_cast<std::size_t>(at - bar.begin());
        ASSERT_GT(titles.size(), index);
        InputDriver::Click({ CGRectGetMidX(titles[index]), 11 });
        // Up from nothing goes to the last item, Gamma; once more to Beta.
        InputDriver::Key(display::kVK_UpArrow, 0);
        InputDriver::Key(display::kVK_UpArrow, 0);
        InputDriver::Key(display::kVK_Return, display::kReturnCharCode);
        Run(0.3);
        EXPECT_EQ(FrontTitle(), "Beta");
        EXPECT_TRUE(toolbox::MenuBar::Open().empty());
        // A collapsed window chosen from the menu opens out again.
        CollapseWindow(mWindows[0], true);
        toolbox::Menu* menu = toolbox::LiveMenu(mMenu);
        menu->UpdateStatus();
        toolbox::Menu* found = nullptr;
        MenuItemIndex item = 0;
        for (MenuItemIndex i = 1; i <= menu->Count(); ++i)
            if (menu->Item(i)->listsWindow && cf::ToUTF8(menu->Item(i)->text) == "Alpha")
                item = i;
        ASSERT_NE(item, 0);
        found = menu;
        ASSERT_TRUE(toolbox::MenuBar::CanChoose(found, item));
        toolbox::MenuBar::SendCommand(found, item, 0);
        EXPECT_EQ(FrontTitle(), "Alpha");
        EXPECT_FALSE(IsWindowCollapsed(mWindows[0]));
    }

    TEST_F(WindowMenuTest, CommandGraveCyclesTheWindowsAndCommandTildeGoesBack)
    {
        std::vector<std::string> fronts;
        for (int i = 0; i < 3; ++i) {
            CommandKey(0x32, '`');
            fronts.push_back(FrontTitle());
        }
        EXPECT_EQ(fronts, (std::vector<std::string> { "Beta", "Alpha", "Gamma" }));
        CommandKey(0x32, '~', shiftKey);
        EXPECT_EQ(FrontTitle(), "Alpha");
        // The windows the menu leaves out are left out of the cycle too.
        ChangeWindowAttributes(mWindows[1], 0, kWindowInWindowMenuAttribute);
        CommandKey(0x32, '`');
        EXPECT_EQ(FrontTitle(), "Gamma");
        CommandKey(0x32, '`');
        EXPECT_EQ(FrontTitle(), "Alpha");
    }

    // The three windows stand at the same place: what the screen shows there is one window's alone.
    TEST_F(WindowMenuTest, CommandMFoldsTheFrontWindowAndTheNextOpenOneComesInFrontOnTheScreenToo)
    {
        Rect gamma {}, beta {};
        GetWindowBounds(mWindows[2], kWindowStructureRgn, &gamma);
        GetWindowBounds(mWindows[1], kWindowStructureRgn, &beta);
        ASSERT_EQ(gamma.left, beta.left);
        ASSERT_EQ(gamma.top, beta.top);
        auto const shows = [&](WindowRef window) {
            PixelProbe const drawn = ProbeWindow(window);
            PixelProbe const screen = ProbeScreen();
            int differ = 0;
            for (int y = 0; y < drawn.Height(); ++y)
                for (int x = 0; x < drawn.Width(); ++x) {
                    Pixel const a = drawn.At(x, y), b = screen.At(x + gamma.left, y + gamma.top);
                    differ += a.a == 255 && (a.r != b.r || a.g != b.g || a.b != b.b);
                }
            return differ;
        };
        CommandKey(0x2E, 'm'); // Command-M folds the front window, Gamma
        EXPECT_TRUE(IsWindowCollapsed(mWindows[2]));
        EXPECT_EQ(FrontTitle(), "Beta");
        EXPECT_TRUE(IsWindowActive(mWindows[1]));
        EXPECT_FALSE(IsWindowActive(mWindows[2]));
        EXPECT_EQ(Listed(), (std::vector<std::string> { "Alpha", "Beta*", "Gamma◆" }));
        EXPECT_EQ(shows(mWindows[1]), 0) << "Gamma's title bar or another window over Beta";
        CommandKey(0x2E, 'm'); // then Beta
        EXPECT_EQ(FrontTitle(), "Alpha");
        EXPECT_EQ(Listed(), (std::vector<std::string> { "Alpha*", "Beta◆", "Gamma◆" }));
        EXPECT_EQ(shows(mWindows[0]), 0);
        CommandKey(0x2E, 'm'); // the last open one folds where it is, and a second time opens out again
        EXPECT_TRUE(IsWindowCollapsed(mWindows[0]));
        EXPECT_EQ(FrontTitle(), "Alpha");
        CommandKey(0x2E, 'm');
        EXPECT_FALSE(IsWindowCollapsed(mWindows[0]));
        EXPECT_EQ(Listed(), (std::vector<std::string> { "Alpha*", "Beta◆", "Gamma◆" }));
        // Cycling to a folded window opens it out.
        CommandKey(0x32, '`');
        EXPECT_EQ(FrontTitle(), "Gamma");
        EXPECT_FALSE(IsWindowCollapsed(mWindows[2]));
        CommandKey(0x32, '~', shiftKey);
        EXPECT_EQ(FrontTitle(), "Alpha");
        EXPECT_FALSE(IsWindowCollapsed(mWindows[0]));
    }

    TEST_F(WindowMenuTest, MinimiseAndZoomActOnTheFrontWindowAndAreDisabledWithoutOne)
    {
        Rect before {};
        GetWindowBounds(mWindows[2], kWindowStructureRgn, &before);
        MenuRef menu = mMenu;
        MenuItemIndex zoom = 0, minimise = 0;
        toolbox::Menu* live = toolbox::LiveMenu(menu);
        live->UpdateStatus();
        for (MenuItemIndex i = 1; i <= live->Count(); ++i) {
            if (live->Item(i)->command == kHICommandZoomWindow)
                zoom = i;
            if (live->Item(i)->command == kHICommandMinimizeWindow)
                minimise = i;
        }
        ASSERT_TRUE(zoom && minimise);
        EXPECT_TRUE(live->Item(zoom)->enabled);
        toolbox::MenuBar::SendCommand(live, zoom, 0);
        Rect after {};
        GetWindowBounds(mWindows[2], kWindowStructureRgn, &after);
        EXPECT_GT(after.right - after.left, before.right - before.left) << "Zoom did not grow the front window";
        CommandKey(0x2E, 'm'); // Command-M
        EXPECT_TRUE(IsWindowCollapsed(mWindows[2]));
        for (WindowRef window : mWindows)
            HideWindow(window);
        live->UpdateStatus();
        EXPECT_FALSE(live->Item(zoom)->enabled);
        EXPECT_FALSE(live->Item(minimise)->enabled);
    }

} // namespace
} // namespace tw::test
