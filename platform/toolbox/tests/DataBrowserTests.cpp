#include "DataBrowserTestSource.h"
#include "ToolboxTest.h"
#include "services/MacMemory.h"
#include "tests/support/PixelProbe.h"
#include "toolbox/Window.h"

#include <cairo.h>
#include <cstring>
#include <numeric>

namespace tw::test {

namespace {

    class DataBrowser : public ToolboxTest {
    protected:
        void SetUp() override
        {
            ToolboxTest::SetUp();
            mWindow = MakeWindow(kDocumentWindowClass, { 100, 100, 400, 500 },
                kWindowStandardDocumentAttributes | kWindowStandardHandlerAttribute | kWindowCompositingAttribute);
            Rect const bounds { 10, 10, 210, 310 }; // 300 x 200
            ASSERT_EQ(CreateDataBrowserControl(mWindow, &bounds, kDataBrowserListView, &mBrowser), noErr);
            DataBrowserListViewColumnDesc name = Column(TestSource::kName, kDataBrowserTextType, CFSTR("Name"), 120,
                kDataBrowserListViewSortableColumn, kDataBrowserOrderDecreasing);
            ASSERT_EQ(AddDataBrowserListViewColumn(mBrowser, &name, kDataBrowserListViewAppendColumn), noErr);
            mSource.Install(mBrowser);
            ShowWindow(mWindow);
        }
        void TearDown() override
        {
            DisposeWindow(mWindow);
            TestSource::Current() = nullptr;
            ToolboxTest::TearDown();
        }

        void Add(std::vector<DataBrowserItemID> const& items)
        {
            ASSERT_EQ(AddDataBrowserItems(mBrowser, kDataBrowserNoItem, UInt32(items.size()), items.data(), 0), noErr);
        }
        std::vector<DataBrowserItemID> Items(DataBrowserItemState state = kDataBrowserItemAnyState)
        {
            Handle handle = NewHandle(0);
            EXPECT_EQ(GetDataBrowserItems(mBrowser, kDataBrowserNoItem, true, state, handle), noErr);
            std::vector<DataBrowserItemID> items(std::size_t(GetHandleSize(handle)) / sizeof(DataBrowserItemID));
            if (!items.empty())
                std::memcpy(items.data(), *handle, items.size() * sizeof(DataBrowserItemID));
            DisposeHandle(handle);
            return items;
        }
        PixelProbe Draw()
        {
            mWindow->Update();
            cairo_surface_t* backing = mWindow->GetBackingStore();
            cairo_surface_flush(backing);
            return PixelProbe(cairo_image_surface_get_data(backing), cairo_image_surface_get_width(backing),
                cairo_image_surface_get_height(backing), std::size_t(cairo_image_surface_get_stride(backing)));
        }
        // A point of the browser in window (structure) coordinates.
        CGPoint InWindow(CGPoint p)
        {
            HIViewConvertPoint(&p, mBrowser, nullptr);
            return p;
        }

        WindowRef mWindow = nullptr;
        ControlRef mBrowser = nullptr;
        TestSource mSource;
    };

    using Ids = std::vector<DataBrowserItemID>;

    TEST_F(DataBrowser, ItemsKeepInsertionOrderAndBadBatchesAddNothing)
    {
        Add({ 30, 10, 20 });
        EXPECT_EQ(Items(), (Ids { 30, 10, 20 }));
        EXPECT_EQ(mSource.Notes(kDataBrowserItemAdded), (Ids { 30, 10, 20 }));
        // A duplicate or the null id spoils the whole batch.
        DataBrowserItemID const duplicate[] = { 40, 10 };
        EXPECT_EQ(AddDataBrowserItems(mBrowser, kDataBrowserNoItem, 2, duplicate, 0), errDataBrowserItemNotAdded);
        DataBrowserItemID const null[] = { 50, kDataBrowserNoItem };
        EXPECT_EQ(AddDataBrowserItems(mBrowser, kDataBrowserNoItem, 2, null, 0), errDataBrowserItemNotAdded);
        EXPECT_EQ(AddDataBrowserItems(mBrowser, kDataBrowserNoItem, 1, nullptr, 0), paramErr);
        UInt32 count = 0;
        EXPECT_EQ(GetDataBrowserItemCount(mBrowser, kDataBrowserNoItem, true, kDataBrowserItemAnyState, &count), noErr);
        EXPECT_EQ(count, 3u);
        // Item ids carry whole addresses.
        auto const address = reinterpret_cast<DataBrowserItemID>(&count);
        Add({ address });
        EXPECT_EQ(Items().back(), address);
        // Not a data browser.
        ControlRef other = nullptr;
        GetRootControl(mWindow, &other);
        EXPECT_EQ(GetDataBrowserItemCount(other, kDataBrowserNoItem, true, kDataBrowserItemAnyState, &count), paramErr);
    }

    TEST_F(DataBrowser, RemovingTellsEachItemAndTheSelectionOnceButNeverDeselects)
    {
        Add({ 1, 2, 3, 4 });
        DataBrowserItemID const chosen[] = { 2, 3 };
        SetDataBrowserSelectedItems(mBrowser, 2, chosen, kDataBrowserItemsAssign);
        mSource.log.clear();
        DataBrowserItemID const gone[] = { 3, 4, 99 };
        EXPECT_EQ(RemoveDataBrowserItems(mBrowser, kDataBrowserNoItem, 3, gone, 0), errDataBrowserItemNotFound);
        EXPECT_EQ(mSource.log, (std::vector<std::string> { "note 2 3", "note 2 4", "note 14 0" }));
        EXPECT_EQ(Items(), (Ids { 1, 2 }));
        EXPECT_EQ(Items(kDataBrowserItemIsSelected), (Ids { 2 }));
        // Removing everything; the removed ids are never asked for again.
        EXPECT_EQ(RemoveDataBrowserItems(mBrowser, kDataBrowserNoItem, 0, nullptr, 0), noErr);
        EXPECT_TRUE(Items().empty());
        mSource.dataAsked.clear();
        mWindow->Update();
        EXPECT_TRUE(mSource.dataAsked.empty());
    }

    TEST_F(DataBrowser, SelectionOperationsAndAnEmptyAssignClears)
    {
        Add({ 1, 2, 3, 4 });
        DataBrowserItemID const first[] = { 1, 2 };
        SetDataBrowserSelectedItems(mBrowser, 2, first, kDataBrowserItemsAssign);
        DataBrowserItemID const toggle[] = { 2, 3 };
        SetDataBrowserSelectedItems(mBrowser, 2, toggle, kDataBrowserItemsToggle);
        EXPECT_EQ(Items(kDataBrowserItemIsSelected), (Ids { 1, 3 }));
        DataBrowserItemID const add[] = { 4, 77 }; // an unknown id is ignored
        SetDataBrowserSelectedItems(mBrowser, 2, add, kDataBrowserItemsAdd);
        EXPECT_EQ(Items(kDataBrowserItemIsSelected), (Ids { 1, 3, 4 }));
        // Removing nothing changes nothing; assigning nothing clears.
        mSource.log.clear();
        SetDataBrowserSelectedItems(mBrowser, 0, nullptr, kDataBrowserItemsRemove);
        EXPECT_TRUE(mSource.log.empty());
        SetDataBrowserSelectedItems(mBrowser, 0, nullptr, kDataBrowserItemsAssign);
        EXPECT_TRUE(Items(kDataBrowserItemIsSelected).empty());
        EXPECT_EQ(mSource.log, (std::vector<std::string> { "note 6 1", "note 6 3", "note 6 4", "note 14 0" }));
        EXPECT_EQ(SetDataBrowserSelectedItems(mBrowser, 0, nullptr, 9), paramErr);
        EXPECT_FALSE(IsDataBrowserItemSelected(mBrowser, 1));
    }

    TEST_F(DataBrowser, SortingFollowsTheCompareCallbackAndTheHeaderOrder)
    {
        Add({ 20, 5, 30, 10 });
        DataBrowserPropertyID property = 1;
        GetDataBrowserSortProperty(mBrowser, &property);
        EXPECT_EQ(property, kDataBrowserItemNoProperty);
        EXPECT_EQ(Items(), (Ids { 20, 5, 30, 10 }));
        EXPECT_EQ(SetDataBrowserSortProperty(mBrowser, 'none'), errDataBrowserPropertyNotFound);
        ASSERT_EQ(SetDataBrowserSortProperty(mBrowser, TestSource::kName), noErr);
        EXPECT_EQ(Items(), (Ids { 5, 10, 20, 30 }));
        SetDataBrowserSortOrder(mBrowser, kDataBrowserOrderDecreasing);
        EXPECT_EQ(Items(), (Ids { 30, 20, 10, 5 }));
        // New items take their place in the order.
        Add({ 15 });
        EXPECT_EQ(Items(), (Ids { 30, 20, 15, 10, 5 }));
        EXPECT_FALSE(mSource.Notes(kDataBrowserContainerSorted).empty());
    }

    TEST_F(DataBrowser, ChangingTheStyleDropsTheColumns)
    {
        UInt32 count = 0;
        GetDataBrowserTableViewColumnCount(mBrowser, &count);
        EXPECT_EQ(count, 1u);
        DataBrowserListViewColumnDesc again = Column(TestSource::kName, kDataBrowserTextType, CFSTR("Again"), 50, 0, 1);
        EXPECT_EQ(AddDataBrowserListViewColumn(mBrowser, &again, kDataBrowserListViewAppendColumn),
            errDataBrowserPropertyNotFound);
        SetDataBrowserViewStyle(mBrowser, kDataBrowserColumnView);
        SetDataBrowserViewStyle(mBrowser, kDataBrowserListView);
        GetDataBrowserTableViewColumnCount(mBrowser, &count);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(SetDataBrowserViewStyle(mBrowser, 'xxxx'), paramErr);
    }

    TEST_F(DataBrowser, OnlyTheRowsThatShowAreAskedForTheirValues)
    {
        Ids items(10000);
        std::iota(items.begin(), items.end(), DataBrowserItemID { 1 });
        Add(items);
        UInt16 height = 0;
        GetDataBrowserTableViewRowHeight(mBrowser, &height);
        mSource.dataAsked.clear();
        mWindow->Update();
        // 200 px less the header, rows of `height`: a dozen rows, never thousands.
        std::size_t const visible = std::size_t((200 - 18) / height) + 1;
        EXPECT_LE(mSource.dataAsked.size(), visible + 1);
        EXPECT_GE(mSource.dataAsked.size(), visible - 1);
        EXPECT_EQ(mSource.dataAsked.front(), 1u);
        // Scrolled to the end: the last rows are asked for, and the first are not.
        SetDataBrowserScrollPosition(mBrowser, 1000000, 0);
        mSource.dataAsked.clear();
        mWindow->Update();
        ASSERT_FALSE(mSource.dataAsked.empty());
        EXPECT_EQ(mSource.dataAsked.back(), 10000u);
        EXPECT_GT(mSource.dataAsked.front(), 9980u);
        RevealDataBrowserItem(mBrowser, 500, 0, kDataBrowserRevealAndCenterInView);
        UInt32 top = 0;
        GetDataBrowserScrollPosition(mBrowser, &top, nullptr);
        EXPECT_NEAR(double(top), 499.0 * height - (182.0 - height) / 2, 1.0);
    }

    TEST_F(DataBrowser, WideColumnsScrollSideways)
    {
        Add({ 1, 2 });
        DataBrowserListViewColumnDesc wide
            = Column(TestSource::kDone, kDataBrowserCheckboxType, CFSTR("Done"), 400, 0, kDataBrowserOrderIncreasing);
        AddDataBrowserListViewColumn(mBrowser, &wide, kDataBrowserListViewAppendColumn);
        SetDataBrowserHasScrollBars(mBrowser, true, true);
        // 120 + 400 px of columns in 300 - 15 px: 235 px to scroll.
        SetDataBrowserScrollPosition(mBrowser, 0, 10000);
        UInt32 top = 9, left = 0;
        GetDataBrowserScrollPosition(mBrowser, &top, &left);
        EXPECT_EQ(left, 235u);
        EXPECT_EQ(top, 0u);
        // The name column has gone off to the left: its cells are not drawn in view.
        PixelProbe const probe = Draw();
        CGPoint const origin = InWindow({ 0, 18 });
        EXPECT_FALSE(probe.Any({ int(origin.x) + 2, int(origin.y), int(origin.x) + 60, int(origin.y) + 30 },
            [](Pixel p) { return p.r < 100; }));
        // Narrower columns bring the position back within range.
        RemoveDataBrowserTableViewColumn(mBrowser, TestSource::kDone);
        mWindow->Update();
        HIRect frame {};
        HIViewGetFrame(mBrowser, &frame);
        HIViewSetFrame(mBrowser, &frame); // a bounds change re-clamps
        SetDataBrowserScrollPosition(mBrowser, 0, 10000);
        GetDataBrowserScrollPosition(mBrowser, &top, &left);
        EXPECT_EQ(left, 0u);
    }

    TEST_F(DataBrowser, SelectedAndStripedRowsAreDrawn)
    {
        Add({ 1, 2, 3 });
        DataBrowserChangeAttributes(mBrowser, kDataBrowserAttributeListViewAlternatingRowColors, 0);
        DataBrowserItemID const second = 2;
        SetDataBrowserSelectedItems(mBrowser, 1, &second, kDataBrowserItemsAssign);
        UInt16 h = 0;
        GetDataBrowserTableViewRowHeight(mBrowser, &h);
        PixelProbe const probe = Draw();
        auto const at = [&](double x, double y) {
            CGPoint const p = InWindow({ x, y });
            return probe.At(int(p.x), int(p.y));
        };
        auto const accent = [](Pixel p) { return p.b > 150 && p.r < 150 && p.b - p.r > 60; };
        double const header = 18;
        EXPECT_TRUE(accent(at(250, header + h * 1.5))); // the selected row, right of its text
        Pixel const first = at(250, header + h * 0.5), third = at(250, header + h * 2.5);
        EXPECT_GT(first.r, 250); // white
        EXPECT_LT(at(250, header + h * 3.5).r, 250); // a stripe below the items
        EXPECT_GT(third.r, 250);
        // The row text is drawn dark in the name column.
        CGPoint const text = InWindow({ 4, header });
        EXPECT_TRUE(probe.Any(
            { int(text.x), int(text.y), int(text.x) + 20, int(text.y + h) }, [](Pixel p) { return p.r < 100; }));
    }

    TEST_F(DataBrowser, AnEmptyCallbackTableStopsEveryCall)
    {
        Add({ 1, 2 });
        DataBrowserCallbacks none;
        InitDataBrowserCallbacks(&none);
        SetDataBrowserCallbacks(mBrowser, &none);
        mSource.log.clear();
        mSource.dataAsked.clear();
        Add({ 3 });
        DataBrowserItemID const one = 1;
        SetDataBrowserSelectedItems(mBrowser, 1, &one, kDataBrowserItemsAssign);
        mWindow->Update();
        RemoveDataBrowserItems(mBrowser, kDataBrowserNoItem, 0, nullptr, 0);
        EXPECT_TRUE(mSource.log.empty());
        EXPECT_TRUE(mSource.dataAsked.empty());
    }

    TEST_F(DataBrowser, ACallbackMayDisposeTheBrowser)
    {
        Add({ 1, 2, 3 });
        mSource.onNotify = [&](DataBrowserItemID, DataBrowserItemNotification message) {
            if (message == kDataBrowserItemRemoved)
                DisposeControl(mBrowser);
        };
        EXPECT_EQ(RemoveDataBrowserItems(mBrowser, kDataBrowserNoItem, 0, nullptr, 0), noErr);
        // One removal was told before the browser went; nothing after.
        EXPECT_EQ(mSource.Notes(kDataBrowserItemRemoved), (Ids { 1 }));
        EXPECT_EQ(
            GetDataBrowserItemCount(mBrowser, kDataBrowserNoItem, true, kDataBrowserItemAnyState, nullptr), paramErr);
    }

} // namespace

} // namespace tw::test
