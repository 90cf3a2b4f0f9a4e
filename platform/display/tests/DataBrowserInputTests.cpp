#include "ControlTest.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/tests/DataBrowserTestSource.h"

#include <algorithm>
#include <numeric>

namespace tw::test {

namespace {

    // A list of 100 numbered rows, 300 x 200, clicked and typed at like a user would.
    class DataBrowserInput : public ControlTest {
    protected:
        void SetUp() override
        {
            ControlTest::SetUp();
            Rect const bounds { 20, 20, 220, 320 };
            ASSERT_EQ(CreateDataBrowserControl(mWindow, &bounds, kDataBrowserListView, &mBrowser), noErr);
            DataBrowserListViewColumnDesc done = Column(TestSource::kDone, kDataBrowserCheckboxType, CFSTR(""), 24,
                kDataBrowserPropertyIsMutable, kDataBrowserOrderIncreasing);
            DataBrowserListViewColumnDesc name = Column(TestSource::kName, kDataBrowserTextType, CFSTR("Name"), 120,
                kDataBrowserListViewSortableColumn | kDataBrowserListViewMovableColumn, kDataBrowserOrderDecreasing);
            AddDataBrowserListViewColumn(mBrowser, &done, kDataBrowserListViewAppendColumn);
            AddDataBrowserListViewColumn(mBrowser, &name, kDataBrowserListViewAppendColumn);
            mSource.Install(mBrowser);
            std::vector<DataBrowserItemID> items(100);
            std::iota(items.begin(), items.end(), DataBrowserItemID { 1 });
            AddDataBrowserItems(mBrowser, kDataBrowserNoItem, UInt32(items.size()), items.data(), 0);
            GetDataBrowserTableViewRowHeight(mBrowser, &mRowHeight);
            mSource.log.clear();
        }
        void TearDown() override
        {
            TestSource::Current() = nullptr;
            ControlTest::TearDown();
        }

        // The middle of a row of the name column, globally.
        CGPoint Row(int row) { return Global(mBrowser, { 150, 18 + (row + 0.5) * mRowHeight }); }
        std::vector<DataBrowserItemID> Selected()
        {
            std::vector<DataBrowserItemID> selected;
            for (DataBrowserItemID item = 1; item <= 100; ++item) {
                if (IsDataBrowserItemSelected(mBrowser, item))
                    selected.push_back(item);
            }
            return selected;
        }

        ControlRef mBrowser = nullptr;
        TestSource mSource;
        UInt16 mRowHeight = 0;
    };

    using Ids = std::vector<DataBrowserItemID>;

    TEST_F(DataBrowserInput, ClicksSelectShiftExtendsAndCommandToggles)
    {
        InputDriver::Click(Row(2));
        Run();
        EXPECT_EQ(Selected(), (Ids { 3 }));
        EXPECT_EQ(mSource.log, (std::vector<std::string> { "note 5 3", "note 14 0" }));
        InputDriver::Click(Row(5), shiftKey);
        Run();
        EXPECT_EQ(Selected(), (Ids { 3, 4, 5, 6 }));
        InputDriver::Click(Row(4), cmdKey);
        Run();
        EXPECT_EQ(Selected(), (Ids { 3, 4, 6 }));
        // A click below the last row empties the selection; a single-choice list keeps one.
        RemoveDataBrowserItems(mBrowser, kDataBrowserNoItem, 0, nullptr, 0);
        DataBrowserItemID const few[] = { 1, 2 };
        AddDataBrowserItems(mBrowser, kDataBrowserNoItem, 2, few, 0);
        SetDataBrowserSelectionFlags(mBrowser, kDataBrowserSelectOnlyOne);
        InputDriver::Click(Row(0));
        InputDriver::Click(Row(1), shiftKey);
        Run();
        EXPECT_EQ(Selected(), (Ids { 2 }));
        InputDriver::Click(Row(6));
        Run();
        EXPECT_TRUE(Selected().empty());
    }

    TEST_F(DataBrowserInput, ADoubleClickOpensTheItem)
    {
        InputDriver::Click(Row(1));
        InputDriver::Click(Row(1));
        Run();
        EXPECT_EQ(mSource.Notes(kDataBrowserItemDoubleClicked), (Ids { 2 }));
    }

    TEST_F(DataBrowserInput, HeaderClicksSortInTheInitialOrderThenToggle)
    {
        CGPoint const header = Global(mBrowser, { 150, 9 });
        InputDriver::Click(header);
        Run(1.0); // no double click
        DataBrowserSortOrder order = 0;
        GetDataBrowserSortOrder(mBrowser, &order);
        EXPECT_EQ(order, kDataBrowserOrderDecreasing);
        InputDriver::Click(Row(0));
        Run();
        EXPECT_EQ(Selected(), (Ids { 100 }));
        InputDriver::Click(header);
        Run(1.0);
        GetDataBrowserSortOrder(mBrowser, &order);
        EXPECT_EQ(order, kDataBrowserOrderIncreasing);
        // The check box column is not sortable: its header does nothing.
        InputDriver::Click(Global(mBrowser, { 10, 9 }));
        Run(1.0);
        DataBrowserPropertyID property = 0;
        GetDataBrowserSortProperty(mBrowser, &property);
        EXPECT_EQ(property, TestSource::kName);
    }

    TEST_F(DataBrowserInput, DraggingAMovableHeaderMovesItsColumn)
    {
        InputDriver::Drag(Global(mBrowser, { 150, 9 }), Global(mBrowser, { 5, 9 }));
        Run();
        DataBrowserTableViewColumnIndex position = 9;
        GetDataBrowserTableViewColumnPosition(mBrowser, TestSource::kName, &position);
        EXPECT_EQ(position, 0u);
        DataBrowserPropertyID property = 0;
        GetDataBrowserSortProperty(mBrowser, &property);
        EXPECT_EQ(property, kDataBrowserItemNoProperty); // a move is no sort click
    }

    TEST_F(DataBrowserInput, CheckBoxCellsToggleThroughTheDataCallback)
    {
        InputDriver::Click(Global(mBrowser, { 12, 18 + 2.5 * mRowHeight }));
        Run();
        EXPECT_EQ(mSource.checked, (Ids { 3 }));
        EXPECT_TRUE(Selected().empty()); // the box is no row click
    }

    TEST_F(DataBrowserInput, ArrowKeysMoveTheSelectionAndKeepItInView)
    {
        InputDriver::Click(Row(0));
        Run();
        InputDriver::Key(display::kVK_DownArrow, 0);
        InputDriver::Key(display::kVK_DownArrow, 0);
        InputDriver::Key(display::kVK_DownArrow, 0, shiftKey);
        Run();
        EXPECT_EQ(Selected(), (Ids { 3, 4 }));
        InputDriver::Key(display::kVK_UpArrow, 0);
        Run();
        EXPECT_EQ(Selected(), (Ids { 2 }));
        InputDriver::Key(119, 0); // end
        Run();
        EXPECT_EQ(Selected(), (Ids { 100 }));
        UInt32 top = 0;
        GetDataBrowserScrollPosition(mBrowser, &top, nullptr);
        EXPECT_EQ(top, 100u * mRowHeight - (200 - 18));
    }

    TEST_F(DataBrowserInput, DeleteKeysReachTheProgramsHandlerFirst)
    {
        std::vector<UInt32> codes;
        auto const handler = [](EventHandlerCallRef, EventRef event, void* data) -> OSStatus {
            UInt32 code = 0;
            GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
            static_cast<std::vector<UInt32>*>(data)->push_back(code);
            return code == 51 || code == 117 ? OSStatus(noErr) : OSStatus(eventNotHandledErr);
        };
        EventTypeSpec const rawKey { kEventClassKeyboard, kEventRawKeyDown };
        InstallEventHandler(GetControlEventTarget(mBrowser), handler, 1, &rawKey, &codes, nullptr);
        InputDriver::Click(Row(0));
        InputDriver::Key(display::kVK_Delete, display::kBackspaceCharCode);
        InputDriver::Key(display::kVK_ForwardDelete, 0x7F);
        InputDriver::Key(display::kVK_DownArrow, 0);
        Run();
        EXPECT_EQ(codes, (std::vector<UInt32> { 51, 117, 125 }));
        EXPECT_EQ(Selected(), (Ids { 2 })); // the arrow went on to the browser
    }

    TEST_F(DataBrowserInput, ARightClickSelectsTheRowAndOffersTheSourcesMenu)
    {
        // No menu from the source: nothing to choose from.
        InputDriver::Click(Row(3), 0);
        InputDriver::MouseDown(Row(1), 0, 2);
        InputDriver::MouseUp(Row(1), 0, 2);
        Run();
        EXPECT_EQ(Selected(), (Ids { 2 }));
        EXPECT_EQ(std::count(mSource.log.begin(), mSource.log.end(), "menu"), 1);
        MenuRef menu = nullptr;
        ASSERT_EQ(CreateNewMenu(300, 0, &menu), noErr);
        AppendMenuItemTextWithCFString(menu, CFSTR("Show"), 0, 'show', nullptr);
        AppendMenuItemTextWithCFString(menu, CFSTR("Delete"), 0, 'dele', nullptr);
        mSource.menu = menu;
        mSource.log.clear();
        // Control-click on a selected row keeps the selection; the release picks the second item.
        CGPoint const at = Row(1);
        InputDriver::MouseDown(at, controlKey);
        InputDriver::MouseUp({ at.x + 10, at.y + 4 + 20 + 10 });
        Run();
        EXPECT_EQ(Selected(), (Ids { 2 }));
        EXPECT_EQ(mSource.log, (std::vector<std::string> { "menu", "chose 1 300 2" }));
        mSource.menu = nullptr;
        ReleaseMenu(menu);
    }

    TEST_F(DataBrowserInput, TheWheelAndTheScrollBarScroll)
    {
        InputDriver::Wheel(Row(3), -2);
        Run();
        UInt32 top = 0;
        GetDataBrowserScrollPosition(mBrowser, &top, nullptr);
        EXPECT_EQ(top, 6u * mRowHeight);
        // A press in the track below the thumb pages down.
        InputDriver::Click(Global(mBrowser, { 292, 190 }));
        Run(1.0);
        UInt32 paged = 0;
        GetDataBrowserScrollPosition(mBrowser, &paged, nullptr);
        EXPECT_GT(paged, top + 100);
        // The rows drawn follow: the first row shown is the one scrolled to.
        mSource.dataAsked.clear();
        ProbeScreen();
        ASSERT_FALSE(mSource.dataAsked.empty());
        EXPECT_EQ(mSource.dataAsked.front(), paged / mRowHeight + 1);
    }

} // namespace

} // namespace tw::test
