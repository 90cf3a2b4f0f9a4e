#include "AppTest.h"
#include "foundation/CFileUtilities.h"
#include "toolbox/MenuCalls.h"

#include <string>
#include <vector>

namespace tw::test {
namespace {

    using toolbox::dialogs::Responders;

    class RecentItemsTest : public AppTest {
    protected:
        CFile MakeFile(std::string const& name)
        {
            CFile file(CString(PathFor(name.c_str()).c_str()));
            CFileUtilities::WriteText(file, "x", kCFStringEncodingUTF8);
            return file;
        }
        std::vector<std::string> MenuTitles() const
        {
            std::vector<std::string> titles;
            MenuRef menu = mApp->GetRecentItems().GetMenu();
            for (MenuItemIndex i = 1; menu && i <= CountMenuItems(menu); ++i) {
                CFStringRef text = nullptr;
                CopyMenuItemTextAsCFString(menu, i, &text);
                titles.push_back(text ? CString(text, true).GetStdString() : std::string());
            }
            return titles;
        }
    };

    TEST_F(RecentItemsTest, NewestFirstAtMostSixAndReAddingMovesToTheTop)
    {
        StartApp();
        CRecentItems& recent = mApp->GetRecentItems();
        for (int i = 1; i <= 7; ++i)
            EXPECT_EQ(recent.AddNewFile(MakeFile("file" + std::to_string(i) + ".txt")), noErr);
        std::vector<std::string> expected
            = { "file7.txt", "file6.txt", "file5.txt", "file4.txt", "file3.txt", "file2.txt", "", "Clear Menu" };
        EXPECT_EQ(MenuTitles(), expected) << "the seventh drops the oldest";

        recent.AddNewFile(MakeFile("file4.txt"));
        expected = { "file4.txt", "file7.txt", "file6.txt", "file5.txt", "file3.txt", "file2.txt", "", "Clear Menu" };
        EXPECT_EQ(MenuTitles(), expected) << "moved to the top, nothing dropped";

        MenuRef menu = recent.GetMenu();
        URefCon top = 99;
        URefCon bottom = 99;
        GetMenuItemRefCon(menu, 1, &top);
        GetMenuItemRefCon(menu, 6, &bottom);
        EXPECT_EQ(top, 5u) << "numbered from the oldest";
        EXPECT_EQ(bottom, 0u);
        MenuCommand command = 0;
        GetMenuItemCommandID(menu, 1, &command);
        EXPECT_EQ(command, CRecentItems::kCommandOpen);
    }

    TEST_F(RecentItemsTest, ListSurvivesARestartWithoutFilesThatHaveGone)
    {
        StartApp();
        CFile kept = MakeFile("kept.txt");
        CFile gone = MakeFile("gone.txt");
        mApp->GetRecentItems().AddNewFile(kept);
        mApp->GetRecentItems().AddNewFile(gone);
        std::filesystem::remove(gone.GetPath());
        mApp.reset();
        toolbox::MenuBar::Reset();

        StartApp();
        CFileList const& files = mApp->GetRecentItems().GetFiles();
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(files[0], kept);
        EXPECT_EQ(MenuTitles(), (std::vector<std::string> { "kept.txt", "", "Clear Menu" }));
    }

    TEST_F(RecentItemsTest, ClearLeavesNoneAboveTheKeptItems)
    {
        StartApp();
        mApp->GetRecentItems().AddNewFile(MakeFile("a.txt"));
        CCarbonEvent clear = CCarbonEvent::CreateWithHICommandID(CRecentItems::kCommandClear);
        EXPECT_EQ(mApp->GetRecentItems().DispatchEvent(clear, nullptr), noErr);
        EXPECT_EQ(MenuTitles(), (std::vector<std::string> { "<None>", "", "Clear Menu" }));
        EXPECT_FALSE(IsMenuItemEnabled(mApp->GetRecentItems().GetMenu(), 1));
        mApp->GetRecentItems().AddNewFile(MakeFile("b.txt"));
        EXPECT_TRUE(IsMenuItemEnabled(mApp->GetRecentItems().GetMenu(), 1)) << "a listed file can be chosen";
    }

    // Choosing an item opens it; one that has gone is reported and leaves the list.
    TEST_F(RecentItemsTest, ChoosingAnItemOpensItOrReportsThatItHasGone)
    {
        StartApp();
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        document->SetFile(CFile(CString(PathFor("doc.txt").c_str())));
        ASSERT_EQ(document->SaveDocument(), noErr);
        CFile gone = MakeFile("gone.txt");
        mApp->GetRecentItems().AddNewFile(gone);
        delete document;
        std::filesystem::remove(gone.GetPath());

        MenuRef menu = mApp->GetRecentItems().GetMenu();
        auto choose = [&](MenuItemIndex item) {
            CCarbonEvent event = CCarbonEvent::CreateWithHICommandID(CRecentItems::kCommandOpen);
            HICommandExtended command = event.GetHICommand();
            command.attributes = kHICommandFromMenu;
            command.source.menu.menuRef = menu;
            command.source.menu.menuItemIndex = item;
            event.SetParameter(kEventParamDirectObject, typeHICommand, sizeof command, &command);
            return mApp->GetRecentItems().DispatchEvent(event, nullptr);
        };
        Responders::PressAlertButton(1);
        EXPECT_EQ(choose(1), noErr); // gone.txt, the newest
        EXPECT_EQ(AlertsShown(), 1u);
        EXPECT_EQ(MenuTitles(), (std::vector<std::string> { "doc.txt", "", "Clear Menu" }));
        EXPECT_EQ(choose(1), noErr);
        ASSERT_EQ(CDocument::GetDocuments(false).size(), 1u);
        EXPECT_EQ(CDocument::GetDocuments(false).front()->GetFile().GetPath(), PathFor("doc.txt"));
    }

} // namespace
} // namespace tw::test
