#include "ToolboxTest.h"
#include "tests/support/Canvas.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Theme.h"

#include <string>
#include <vector>

namespace tw::test {
namespace {

    using Menus = ToolboxTest;

    // An item made disabled says so, whether appended or inserted, until it is enabled.
    TEST_F(Menus, ItemsMadeDisabledReportDisabledWhereverTheyGo)
    {
        MenuRef menu = nullptr;
        ASSERT_EQ(CreateNewMenu(200, 0, &menu), noErr);
        ASSERT_EQ(AppendMenuItemTextWithCFString(menu, CFSTR("Open"), 0, 'open', nullptr), noErr);
        ASSERT_EQ(AppendMenuItemTextWithCFString(menu, CFSTR("Save"), kMenuItemAttrDisabled, 'save', nullptr), noErr);
        ASSERT_EQ(InsertMenuItemTextWithCFString(menu, CFSTR("Close"), 1, kMenuItemAttrDisabled, 'clos'), noErr);
        ASSERT_EQ(InsertMenuItemTextWithCFString(menu, CFSTR("New"), 0, 0, 'new '), noErr);
        ASSERT_EQ(CountMenuItems(menu), 4);
        // New, Open, Close, Save.
        bool const enabled[] = { true, true, false, false };
        for (MenuItemIndex i = 1; i <= 4; ++i) {
            EXPECT_EQ(IsMenuItemEnabled(menu, i), enabled[i - 1]) << i;
            MenuItemAttributes attributes = 0;
            ASSERT_EQ(GetMenuItemAttributes(menu, i, &attributes), noErr);
            EXPECT_EQ((attributes & kMenuItemAttrDisabled) != 0, !enabled[i - 1]) << i;
        }
        MenuCommand command = 0;
        GetMenuItemCommandID(menu, 3, &command);
        EXPECT_EQ(command, UInt32('clos'));
        EnableMenuItem(menu, 3);
        EXPECT_TRUE(IsMenuItemEnabled(menu, 3));
        EXPECT_FALSE(IsMenuItemEnabled(menu, 5)) << "past the last item";
        ReleaseMenu(menu);
    }

    // The menu drawn at the given width, flipped as the screen draws it; the pixels of one row's
    // text from the left edge of the text.
    std::vector<std::uint32_t> RowText(MenuRef menu, CGFloat width, int row, int textWidth)
    {
        CGSize const size = toolbox::Theme::MenuSize(menu);
        Canvas canvas(int(width) + 4, int(size.height) + 4, Canvas::Orientation::Flipped);
        toolbox::Theme::DrawMenu(canvas.Context(), menu, CGRectMake(0, 0, width, size.height), 0, false, 0);
        std::vector<std::uint32_t> pixels;
        int const top = 4 + row * int(toolbox::Theme::kMenuItemHeight);
        for (int y = top; y < top + int(toolbox::Theme::kMenuItemHeight); ++y)
            for (int x = 20; x < 21 + textWidth; ++x) {
                Pixel const p = canvas.At(x, y);
                pixels.push_back(std::uint32_t(p.r) << 16 | std::uint32_t(p.g) << 8 | p.b);
            }
        return pixels;
    }

    // A menu is as wide as its longest item and that item's key: its text is drawn as it would be
    // in a much wider menu, never cut short with an ellipsis.
    TEST_F(Menus, TheLongestItemAndItsKeyFitWhole)
    {
        for (char const* longest : { "Show Waypoints", "Copy View Link", "Import…", "Show Tracks and Routes Together" }) {
            MenuRef menu = nullptr;
            ASSERT_EQ(CreateNewMenu(201, 0, &menu), noErr);
            AppendMenuItemTextWithCFString(menu, CFSTR("Go"), 0, 0, nullptr);
            CFStringRef text = cf::CreateString(longest);
            AppendMenuItemTextWithCFString(menu, text, 0, 0, nullptr);
            SetMenuItemCommandKey(menu, 2, false, 'L');
            SetMenuItemModifiers(menu, 2, kMenuShiftModifier);
            int const textWidth = int(toolbox::Theme::TextWidth(text, kThemeSystemFont));
            CFRelease(text);
            CGFloat const width = toolbox::Theme::MenuSize(menu).width;
            EXPECT_TRUE(RowText(menu, width, 1, textWidth) == RowText(menu, width + 200, 1, textWidth)) << longest;
            ReleaseMenu(menu);
        }
    }

    // A minimised window's diamond is not the front window's check mark.
    TEST_F(Menus, ADiamondMarkIsNotDrawnAsACheck)
    {
        MenuRef menu = nullptr;
        ASSERT_EQ(CreateNewMenu(202, 0, &menu), noErr);
        AppendMenuItemTextWithCFString(menu, CFSTR("Map"), 0, 0, nullptr);
        CGFloat const width = toolbox::Theme::MenuSize(menu).width;
        auto markPixels = [&](CharParameter mark) {
            SetItemMark(menu, 1, mark);
            Canvas canvas(int(width), 40, Canvas::Orientation::Flipped);
            toolbox::Theme::DrawMenu(canvas.Context(), menu, CGRectMake(0, 0, width, 30), 0, false, 0);
            std::vector<bool> ink;
            for (int y = 4; y < 4 + int(toolbox::Theme::kMenuItemHeight); ++y)
                for (int x = 2; x < 20; ++x)
                    ink.push_back(canvas.At(x, y).r < 128);
            return ink;
        };
        std::vector<bool> const none = markPixels(noMark), check = markPixels(checkMark),
                                diamond = markPixels(diamondMark);
        EXPECT_NE(diamond, none) << "a diamond is drawn";
        EXPECT_NE(diamond, check);
        ReleaseMenu(menu);
    }

} // namespace
} // namespace tw::test
