#include "ToolboxTest.h"
#include "toolbox/MenuCalls.h"

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

} // namespace
} // namespace tw::test
