#include "framework/CMenuUtilities.h"
#include "framework/tests/WindowTest.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/ToolboxErrors.h"

namespace tw::test {
namespace {

    class MenuUtilities : public WindowTest {
    protected:
        void SetUp() override
        {
            WindowTest::SetUp();
            // top: 1 "A" 'aaaa', 2 "Sub" -> sub, 3 "Dup" 'dupl', 4 "Last" -> last
            // sub: 1 "Deep" 'deep', 2 "Dup" 'dupl'; last: 1 "Far" 'farr'
            CreateNewMenu(300, 0, &mTop);
            CreateNewMenu(0, 0, &mSub);
            CreateNewMenu(301, 0, &mById);
            AppendMenuItemTextWithCFString(mTop, CFSTR("A"), 0, 'aaaa', nullptr);
            AppendMenuItemTextWithCFString(mTop, CFSTR("Sub"), 0, 0, nullptr);
            AppendMenuItemTextWithCFString(mTop, CFSTR("Dup"), 0, 'dupl', nullptr);
            AppendMenuItemTextWithCFString(mTop, CFSTR("ById"), 0, 0, nullptr);
            AppendMenuItemTextWithCFString(mSub, CFSTR("Deep"), 0, 'deep', nullptr);
            AppendMenuItemTextWithCFString(mSub, CFSTR("Dup"), 0, 'dupl', nullptr);
            AppendMenuItemTextWithCFString(mById, CFSTR("Far"), 0, 'farr', nullptr);
            SetMenuItemHierarchicalMenu(mTop, 2, mSub);
            SetMenuItemHierarchicalMenu(mTop, 4, mById);
        }
        void TearDown() override
        {
            ReleaseMenu(mSub);
            ReleaseMenu(mById);
            ReleaseMenu(mTop);
            WindowTest::TearDown();
        }

        static std::string TextOf(MenuRef menu, MenuItemIndex index)
        {
            CFStringRef text = nullptr;
            CopyMenuItemTextAsCFString(menu, index, &text);
            std::string result = text ? cf::ToUTF8(text) : "";
            if (text)
                CFRelease(text);
            return result;
        }

        MenuRef mTop = nullptr;
        MenuRef mSub = nullptr;
        MenuRef mById = nullptr;
    };

    TEST_F(MenuUtilities, TheSearchGoesDepthFirstThroughSubmenus)
    {
        MenuRef menu = nullptr;
        MenuItemIndex index = 0;
        ASSERT_TRUE(CMenuUtilities::FindMenuItemForCommand(mTop, 'dupl', &menu, &index));
        EXPECT_EQ(menu, mSub) << "the submenu of item 2 comes before item 3";
        EXPECT_EQ(index, 2);
        ASSERT_TRUE(CMenuUtilities::FindMenuItemForCommand(mTop, 'farr', &menu, &index));
        EXPECT_EQ(menu, mById);
        EXPECT_EQ(index, 1);
        EXPECT_FALSE(CMenuUtilities::FindMenuItemForCommand(mTop, 'none', &menu, &index));
        EXPECT_EQ(CMenuUtilities::GetMenuItemIndex(mTop, true, 'deep'), 1);
        EXPECT_EQ(CMenuUtilities::GetMenuItemIndex(mTop, true, 'none'), 0);
        EXPECT_EQ(CMenuUtilities::GetMenuItemIndex(mTop, false, 3), 3);
    }

    TEST_F(MenuUtilities, RenamingByCommandChangesTheItemWhereItWasFound)
    {
        EXPECT_EQ(CMenuUtilities::SetMenuItemText(mTop, true, 'deep', CString("Deeper")), noErr);
        EXPECT_EQ(TextOf(mSub, 1), "Deeper");
        EXPECT_EQ(TextOf(mTop, 1), "A") << "not the same index in the menu searched";
        EXPECT_EQ(CMenuUtilities::SetMenuItemText(mTop, true, 'none', CString("Lost")), menuItemNotFoundErr);
        EXPECT_EQ(CMenuUtilities::SetMenuItemText(mTop, false, 1, CString("First")), noErr);
        EXPECT_EQ(TextOf(mTop, 1), "First");
    }

    TEST_F(MenuUtilities, NibMenusComeFromTheBundle)
    {
        MenuRef menu = CMenuUtilities::GetNibMenu(CString("Tarnwick"), CString("Test Context"));
        ASSERT_NE(menu, nullptr);
        EXPECT_GT(CountMenuItems(menu), 0);
        ReleaseMenu(menu);
        EXPECT_EQ(CMenuUtilities::GetNibMenu(CString("Tarnwick"), CString("No Such Menu")), nullptr);
        EXPECT_EQ(CMenuUtilities::GetNibMenu(CString("NoSuchNib"), CString("Test Context")), nullptr);
    }

} // namespace
} // namespace tw::test
