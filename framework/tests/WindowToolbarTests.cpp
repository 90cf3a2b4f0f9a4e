#include "AppTest.h"
#include "corefoundation/CFString.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/toolbar/ToolbarCalls.h"

namespace tw::test {
namespace {

    // A document window carrying a toolbar whose items send document commands.
    class WindowToolbar : public AppTest {
    protected:
        void SetUp() override
        {
            AppTest::SetUp();
            StartApp();
            mDocument = NewDocument();
            ASSERT_NE(mDocument, nullptr);
            mWindow = mDocument->GetWindow()->GetWindowRef();
            ASSERT_EQ(HIToolbarCreate(CFSTR("com.tarnwick.tarnwick.toolbar.test"), 0, &mToolbar), noErr);
            CFArrayRef none = nullptr;
            HIToolbarCopyItems(mToolbar, &none); // the (empty) default set, made before ours
            CFRelease(none);
            for (MenuCommand command : { MenuCommand('save'), MenuCommand('rvrt'), MenuCommand('zzzz') }) {
                HIToolbarItemRef item = nullptr;
                std::string const id = "item." + std::to_string(command);
                CFStringRef identifier = cf::CreateString(id);
                ASSERT_EQ(HIToolbarItemCreate(identifier, 0, &item), noErr);
                CFRelease(identifier);
                HIToolbarItemSetCommandID(item, command);
                ASSERT_EQ(HIToolbarAppendItem(mToolbar, item), noErr);
                mItems.push_back(item);
                CFRelease(item);
            }
        }
        void TearDown() override
        {
            if (mToolbar)
                CFRelease(mToolbar);
            AppTest::TearDown();
        }

        void Attach()
        {
            ASSERT_EQ(SetWindowToolbar(mWindow, mToolbar), noErr);
            ASSERT_EQ(ShowHideWindowToolbar(mWindow, true, false), noErr);
        }

        // The text of the toolbar command's menu item after the menu asked for its state.
        static std::string ToolbarMenuItem(bool* enabled)
        {
            MenuRef menu = nullptr;
            MenuItemIndex index = 0;
            EXPECT_EQ(GetIndMenuItemWithCommandID(nullptr, 'tbTo', 1, &menu, &index), noErr);
            if (!menu)
                return {};
            menu->UpdateStatus();
            *enabled = IsMenuItemEnabled(menu, index);
            CFStringRef text = nullptr;
            CopyMenuItemTextAsCFString(menu, index, &text);
            std::string const result = cf::ToUTF8(text);
            CFRelease(text);
            return result;
        }

        OSStatus SendToggle()
        {
            CCarbonEvent event = CCarbonEvent::CreateWithHICommandID('tbTo');
            return event.SendToWindow(mWindow);
        }

        CDocument* mDocument = nullptr;
        WindowRef mWindow = nullptr;
        HIToolbarRef mToolbar = nullptr;
        std::vector<HIToolbarItemRef> mItems; // borrowed from the toolbar
    };

    TEST_F(WindowToolbar, TheToggleCommandShowsAndHidesTheToolbarAndRenamesItsMenuItem)
    {
        bool enabled = true;
        ToolbarMenuItem(&enabled);
        EXPECT_FALSE(enabled) << "no toolbar, nothing to toggle";
        EXPECT_EQ(mDocument->CommandToggleToolbar(), eventNotHandledErr);

        Attach();
        EXPECT_EQ(ToolbarMenuItem(&enabled), "Hide Toolbar");
        EXPECT_TRUE(enabled);
        EXPECT_EQ(SendToggle(), noErr);
        EXPECT_FALSE(IsWindowToolbarVisible(mWindow));
        EXPECT_EQ(ToolbarMenuItem(&enabled), "Show Toolbar");
        EXPECT_EQ(mDocument->CommandToggleToolbar(), noErr);
        EXPECT_TRUE(IsWindowToolbarVisible(mWindow));
        EXPECT_EQ(ToolbarMenuItem(&enabled), "Hide Toolbar");
    }

    TEST_F(WindowToolbar, ItemsFollowTheDocumentsCommandStatus)
    {
        Attach();
        HIToolbarItemSetEnabled(mItems[1], true);
        HIToolbarItemSetEnabled(mItems[2], false);
        mDocument->InvalidateCommandStatus();
        EXPECT_TRUE(HIToolbarItemIsEnabled(mItems[0])) << "an untitled document can be saved";
        EXPECT_FALSE(HIToolbarItemIsEnabled(mItems[1])) << "nothing to revert to";
        EXPECT_FALSE(HIToolbarItemIsEnabled(mItems[2])) << "no opinion leaves the item as it was";
        HIToolbarItemSetEnabled(mItems[2], true);

        mDocument->SetFile(CFile(CString(PathFor("kept.txt").c_str())));
        ASSERT_EQ(mDocument->SaveDocument(), noErr);
        mDocument->SetModified(true);
        mDocument->InvalidateCommandStatus();
        EXPECT_TRUE(HIToolbarItemIsEnabled(mItems[0]));
        EXPECT_TRUE(HIToolbarItemIsEnabled(mItems[1]));
        EXPECT_TRUE(HIToolbarItemIsEnabled(mItems[2]));

        // Everything of the document waits while a sheet is open on its window.
        toolbox::dialogs::Responders::Cancel(toolbox::dialogs::DialogKind::Save);
        ASSERT_EQ(mDocument->CommandSaveAs(), noErr);
        mDocument->InvalidateCommandStatus();
        EXPECT_FALSE(HIToolbarItemIsEnabled(mItems[0]));
        EXPECT_FALSE(HIToolbarItemIsEnabled(mItems[1]));
        ManualClock::RunFor(1);
        mDocument->InvalidateCommandStatus();
        EXPECT_TRUE(HIToolbarItemIsEnabled(mItems[0]));
    }

} // namespace
} // namespace tw::test
