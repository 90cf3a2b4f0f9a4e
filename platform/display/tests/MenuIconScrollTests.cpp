#include "ControlTest.h"
#include "quartz/CGBitmapContext.h"
#include "quartz/CGImage.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Theme.h"

#include <functional>
#include <list>
#include <string>
#include <vector>

namespace tw::test {
namespace {

    constexpr UInt32 kKeySpace = 49, kKeyReturn = 36;

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
                [](EventLoopTimerRef, void* data) { (*static_cast<std::function<void()>*>(data))(); }, &mActions.back(),
                &timer);
            mTimers.push_back(timer);
        }

    private:
        std::list<std::function<void()>> mActions;
        std::vector<EventLoopTimerRef> mTimers;
    };

    // A 16-pixel square of one opaque colour.
    CGImageRef SolidImage(double red, double green, double blue)
    {
        CGContextRef c = CGBitmapContextCreate(
            nullptr, 16, 16, 8, 0, nullptr, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
        CGContextSetRGBFillColor(c, red, green, blue, 1);
        CGContextFillRect(c, CGRectMake(0, 0, 16, 16));
        CGImageRef image = CGBitmapContextCreateImage(c);
        CGContextRelease(c);
        return image;
    }

    bool IsRed(Pixel p) { return p.r > 200 && p.g < 60 && p.b < 60; }

    class MenuIconScroll : public ControlTest {
    protected:
        // A popup of the given items at the top-left of the window's content, its value 1.
        ControlRef MakePopup(std::vector<std::string> const& items, MenuRef* outMenu)
        {
            MenuRef menu = nullptr;
            CreateNewMenu(0, 0, &menu);
            for (std::string const& item : items) {
                CFStringRef text = cf::CreateString(item.c_str());
                AppendMenuItemTextWithCFString(menu, text, 0, 0, nullptr);
                CFRelease(text);
            }
            ControlRef popup = nullptr;
            Rect const r { 20, 20, 46, 240 };
            CreatePopupButtonControl(mWindow, &r, nullptr, 0, false, 0, 0, 0, &popup);
            SetControlPopupMenuHandle(popup, menu);
            ReleaseMenu(menu);
            SetControl32BitValue(popup, 1);
            *outMenu = menu;
            return popup;
        }

        Later mLater;
    };

    TEST_F(MenuIconScroll, ItemIconsShowInTheOpenMenuAndOnThePopupItself)
    {
        MenuRef menu = nullptr;
        ControlRef popup = MakePopup({ "Plain", "Flag", "Also plain" }, &menu);
        CGImageRef red = SolidImage(1, 0, 0);
        ASSERT_EQ(SetMenuItemIconHandle(menu, 2, kMenuCGImageRefType, red), noErr);
        CGImageRelease(red); // the menu keeps its own reference
        ASSERT_EQ(SetMenuItemIndent(menu, 2, 1), noErr);

        // The open menu: the icon at the item's indented left, not on the rows without one.
        std::optional<PixelBox> iconInMenu;
        CGRect frame {};
        int redOnOtherRows = -1;
        CGPoint const at = Centre(popup);
        mLater.At(0.05, [&] {
            ASSERT_EQ(toolbox::MenuBar::Open().size(), 1u);
            frame = toolbox::MenuBar::Open()[0].frame;
            PixelProbe const screen = ProbeScreen();
            PixelBox const menuBox { int(frame.origin.x), int(frame.origin.y), int(CGRectGetMaxX(frame)),
                int(CGRectGetMaxY(frame)) };
            iconInMenu = screen.Bounds([&](Pixel p) { return IsRed(p); });
            int const row1 = int(frame.origin.y) + 4, row3 = row1 + 40;
            redOnOtherRows = screen.Count({ menuBox.left, row1, menuBox.right, row1 + 20 }, IsRed)
                + screen.Count({ menuBox.left, row3, menuBox.right, row3 + 20 }, IsRed);
            // Choose the item with the icon.
            InputDriver::MouseMove({ at.x, frame.origin.y + 4 + 30 });
            InputDriver::MouseUp({ at.x, frame.origin.y + 4 + 30 });
        });
        InputDriver::MouseDown(at);
        Run(0.5);
        ASSERT_TRUE(iconInMenu.has_value());
        EXPECT_EQ(iconInMenu->right - iconInMenu->left, 16);
        EXPECT_EQ(iconInMenu->bottom - iconInMenu->top, 16);
        EXPECT_EQ(iconInMenu->left, int(frame.origin.x) + 1 + 20 + 12); // the margin, then one indent
        EXPECT_EQ(iconInMenu->top, int(frame.origin.y) + 4 + 20 + 2); // centred in the second row
        EXPECT_EQ(redOnOtherRows, 0);
        EXPECT_EQ(GetControl32BitValue(popup), 2);

        // The closed popup shows the chosen item's icon left of its text.
        PixelProbe const window = ProbeWindow(mWindow);
        std::optional<PixelBox> const onFace = window.Bounds(IsRed);
        ASSERT_TRUE(onFace.has_value());
        EXPECT_EQ(window.Count(window.Whole(), IsRed), 16 * 16);
        SetControl32BitValue(popup, 1);
        EXPECT_EQ(ProbeWindow(mWindow).Count(window.Whole(), IsRed), 0);
    }

    TEST_F(MenuIconScroll, MenuTallerThanTheScreenFillsItAndScrollsWhileTheMouseRestsOnAnArrow)
    {
        std::vector<std::string> items;
        for (int i = 1; i <= 73; ++i)
            items.push_back("Item " + std::to_string(i));
        MenuRef menu = nullptr;
        ControlRef popup = MakePopup(items, &menu);
        CGFloat const screenHeight = display::WindowServer::Get().GetSize().height;
        CGFloat const needed = toolbox::Theme::MenuHeight(toolbox::LiveMenu(menu));
        ASSERT_GT(needed, screenHeight);

        CGRect frame {};
        CGFloat scrollAtOpen = -1, scrollAfterRest = -1;
        CGPoint const at = Centre(popup);
        mLater.At(0.05, [&] {
            ASSERT_EQ(toolbox::MenuBar::Open().size(), 1u);
            frame = toolbox::MenuBar::Open()[0].frame;
            scrollAtOpen = toolbox::MenuBar::Open()[0].scroll;
            // Rest on the lower arrow.
            InputDriver::MouseMove({ at.x, CGRectGetMaxY(frame) - 5 });
        });
        mLater.At(3.0, [&] {
            scrollAfterRest = toolbox::MenuBar::Open()[0].scroll;
            // The last row now sits just above the lower edge: release on it.
            CGPoint const last { at.x, CGRectGetMaxY(frame) - 10 };
            InputDriver::MouseMove(last);
            InputDriver::MouseUp(last);
        });
        InputDriver::MouseDown(at);
        Run(4.0);
        EXPECT_EQ(frame.origin.y, 22);
        EXPECT_LE(CGRectGetMaxY(frame), screenHeight);
        EXPECT_GT(frame.size.height, screenHeight - 40);
        EXPECT_EQ(scrollAtOpen, 0); // the first item was asked for at the popup, below the bar
        EXPECT_EQ(scrollAfterRest, needed - frame.size.height); // all the way, and no further
        EXPECT_EQ(GetControl32BitValue(popup), 73);
    }

    TEST_F(MenuIconScroll, KeysRevealItemsBeyondTheScreenAndOpeningShowsTheCurrentOne)
    {
        std::vector<std::string> items;
        for (int i = 1; i <= 72; ++i)
            items.push_back("Item " + std::to_string(i));
        items.push_back("Zebra");
        MenuRef menu = nullptr;
        ControlRef popup = MakePopup(items, &menu);
        SetKeyboardFocus(mWindow, popup, kControlFocusNextPart);

        // Typing the start of the last item's name highlights it, scrolled into view.
        CGFloat scroll = -1;
        CGRect frame {};
        mLater.At(0.05, [&] { InputDriver::Key(0, 'z'); });
        mLater.At(0.10, [&] {
            toolbox::OpenMenu const& open = toolbox::MenuBar::Open().at(0);
            scroll = open.scroll;
            frame = open.frame;
            EXPECT_EQ(open.highlighted, 73);
            InputDriver::Key(kKeyReturn, '\r');
        });
        InputDriver::Key(kKeySpace, ' ');
        Run(0.5);
        CGFloat const needed = toolbox::Theme::MenuHeight(toolbox::LiveMenu(menu));
        EXPECT_EQ(scroll, needed - frame.size.height);
        EXPECT_EQ(GetControl32BitValue(popup), 73);

        // Opened again from the keys, the menu shows the current item highlighted where it can be seen.
        mLater.At(0.6, [&] {
            toolbox::OpenMenu const& open = toolbox::MenuBar::Open().at(0);
            EXPECT_EQ(open.highlighted, 73);
            CGFloat const top = 4 + 72 * toolbox::Theme::kMenuItemHeight - open.scroll;
            EXPECT_GE(top, 0);
            EXPECT_LE(top + toolbox::Theme::kMenuItemHeight, open.frame.size.height);
            // Up arrows walk back to the first item, scrolling the menu back to its top.
            for (int i = 0; i < 72; ++i)
                InputDriver::Key(126, 0);
        });
        mLater.At(0.7, [&] {
            toolbox::OpenMenu const& open = toolbox::MenuBar::Open().at(0);
            EXPECT_EQ(open.highlighted, 1);
            EXPECT_EQ(open.scroll, 0);
            InputDriver::Key(53, 0x1B); // Escape: nothing chosen
        });
        InputDriver::Key(kKeySpace, ' ');
        Run(1.0);
        EXPECT_EQ(GetControl32BitValue(popup), 73);
        EXPECT_TRUE(toolbox::MenuBar::Open().empty());
    }

} // namespace
} // namespace tw::test
