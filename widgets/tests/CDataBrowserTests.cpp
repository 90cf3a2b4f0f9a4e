#include "WidgetTest.h"
#include "corefoundation/CFString.h"
#include "foundation/CMsgListener.h"
#include "framework/CCarbonEvent.h"
#include "toolbox/databrowser/DataBrowserCalls.h"
#include "widgets/CDataBrowser.h"
#include "widgets/CDataBrowserSource.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tw::test {

namespace {

    using Ids = std::vector<DataBrowserItemID>;

    // A source over a list of ids that the filter narrows to those whose decimal text holds it.
    class ListSource : public CDataBrowserSource {
    public:
        explicit ListSource(Ids ids, bool headers = true)
            : mIds(std::move(ids))
            , mHeaders(headers)
        {
        }
        std::vector<DBHeader> GetListHeaders() override
        {
            if (!mHeaders)
                return {};
            return { MakeListHeader(
                'name', kDataBrowserTextType, CString("Name"), 80, 300, kDataBrowserListViewSortableColumn) };
        }
        void PopulateBrowser() override
        {
            ++populated;
            Ids shown;
            std::string const filter = GetBrowser()->GetFilter().GetUTF8();
            for (DataBrowserItemID id : mIds) {
                if (std::to_string(id).find(filter) != std::string::npos)
                    shown.push_back(id);
            }
            GetBrowser()->AddItems(shown);
        }
        OSStatus GetItemData(DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID) override
        {
            asked.push_back(item);
            CFStringRef text = cf::CreateString(std::to_string(item));
            SetDataBrowserItemDataText(data, text);
            CFRelease(text);
            return noErr;
        }
        long CompareItems(DataBrowserItemID one, DataBrowserItemID two, DataBrowserPropertyID) override
        {
            return mCompare ? mCompare(one, two) : CDataBrowserSource::CompareItems(one, two, 0);
        }
        void ItemRemoved(DataBrowserItemID item) override { removed.push_back(item); }
        void ItemDeselected(DataBrowserItemID item) override { deselected.push_back(item); }
        void ItemSelected(DataBrowserItemID item) override { selected.push_back(item); }

        Ids asked, removed, deselected, selected;
        int populated = 0;
        long (*mCompare)(DataBrowserItemID, DataBrowserItemID) = nullptr;

    private:
        Ids mIds;
        bool mHeaders;
    };

    class DataBrowserWrapper : public WidgetTest {
    protected:
        void SetUp() override
        {
            WidgetTest::SetUp();
            Rect const bounds { 10, 10, 210, 310 };
            ControlRef control = nullptr;
            ASSERT_EQ(CreateDataBrowserControl(mWindow, &bounds, kDataBrowserListView, &control), noErr);
            mBrowser = dynamic_cast<CDataBrowser*>(CControl::GetCControl(control));
            ASSERT_NE(mBrowser, nullptr);
        }
        void TearDown() override
        {
            if (mBrowser)
                mBrowser->SetSource(nullptr);
            WidgetTest::TearDown();
        }
        UInt32 Columns()
        {
            UInt32 count = 0;
            GetDataBrowserTableViewColumnCount(mBrowser->GetControlRef(), &count);
            return count;
        }
        OSStatus Key(UInt32 code)
        {
            CCarbonEvent event(kEventClassKeyboard, kEventRawKeyDown);
            event.SetParameter(kEventParamKeyCode, typeUInt32, sizeof code, &code);
            return SendEventToEventTarget(event.GetEvent(), GetControlEventTarget(mBrowser->GetControlRef()));
        }

        CDataBrowser* mBrowser = nullptr;
    };

    TEST_F(DataBrowserWrapper, ASourceFillsTheListAndItsHeadersBecomeColumns)
    {
        ListSource source({ 11, 12, 21 });
        mBrowser->SetSource(&source);
        EXPECT_EQ(source.GetBrowser(), mBrowser);
        EXPECT_EQ(mBrowser->FindItems(kDataBrowserItemAnyState, 0, true), (Ids { 11, 12, 21 }));
        EXPECT_EQ(Columns(), 1u);
        EXPECT_EQ(mBrowser->CountItems(kDataBrowserItemAnyState, 0, true), 3u);
        // The filter narrows; the same filter again still repopulates.
        mBrowser->SetFilter(CString("1"));
        EXPECT_EQ(mBrowser->FindItems(kDataBrowserItemAnyState, 0, true), (Ids { 11, 12, 21 }));
        mBrowser->SetFilter(CString("2"));
        EXPECT_EQ(mBrowser->FindItems(kDataBrowserItemAnyState, 0, true), (Ids { 12, 21 }));
        int const before = source.populated;
        mBrowser->SetFilter(CString("2"));
        EXPECT_EQ(source.populated, before + 1);
        EXPECT_EQ(mBrowser->GetStyle(), UInt32(kDataBrowserListView));
    }

    TEST_F(DataBrowserWrapper, SwitchingSourcesSendsNoStaleIdToTheNewOne)
    {
        ListSource first({ 1, 2, 3 }), second({ 7, 8 });
        mBrowser->SetSource(&first);
        Ids const chosen { 2, 3 };
        mBrowser->SetSelection(&chosen, kDataBrowserItemsAssign);
        mBrowser->SetSource(&second);
        EXPECT_EQ(first.removed, (Ids { 1, 2, 3 }));
        EXPECT_TRUE(second.removed.empty());
        EXPECT_TRUE(second.deselected.empty());
        EXPECT_TRUE(first.deselected.empty()); // removal is no deselection
        EXPECT_EQ(first.GetBrowser(), nullptr);
        EXPECT_EQ(mBrowser->FindItems(kDataBrowserItemAnyState, 0, true), (Ids { 7, 8 }));
    }

    TEST_F(DataBrowserWrapper, AssigningAnEmptySelectionClearsIt)
    {
        ListSource source({ 1, 2, 3 });
        mBrowser->SetSource(&source);
        Ids const all { 1, 2, 3 };
        mBrowser->SetSelection(&all, kDataBrowserItemsAssign);
        Ids const none;
        mBrowser->SetSelection(&none, kDataBrowserItemsRemove); // nothing to remove
        EXPECT_EQ(mBrowser->CountItems(kDataBrowserItemIsSelected, 0, true), 3u);
        mBrowser->SetSelection(&none, kDataBrowserItemsAssign);
        EXPECT_EQ(mBrowser->CountItems(kDataBrowserItemIsSelected, 0, true), 0u);
        mBrowser->SetSelection(&all, kDataBrowserItemsAssign);
        mBrowser->SetSelection(nullptr, kDataBrowserItemsAssign);
        EXPECT_EQ(source.deselected.size(), 6u);
    }

    TEST_F(DataBrowserWrapper, OnlyMinusOnePutsTheFirstItemFirst)
    {
        ListSource source({ 3, 1, 2 });
        source.mCompare = [](DataBrowserItemID one, DataBrowserItemID two) -> long { return one < two ? 1 : 0; };
        mBrowser->SetSource(&source);
        SetDataBrowserSortProperty(mBrowser->GetControlRef(), 'name');
        SetDataBrowserSortOrder(mBrowser->GetControlRef(), kDataBrowserOrderIncreasing);
        EXPECT_EQ(mBrowser->FindItems(kDataBrowserItemAnyState, 0, true), (Ids { 3, 1, 2 }));
        source.mCompare = [](DataBrowserItemID one, DataBrowserItemID two) -> long { return one < two ? -1 : 1; };
        mBrowser->RefreshItems(nullptr);
        EXPECT_EQ(mBrowser->FindItems(kDataBrowserItemAnyState, 0, true), (Ids { 1, 2, 3 }));
    }

    TEST_F(DataBrowserWrapper, ColumnsStayWithAColumnStyleOrAHeaderlessSource)
    {
        ListSource withHeaders({ 1 }), without({ 2 }, false);
        mBrowser->SetSource(&withHeaders);
        ASSERT_EQ(Columns(), 1u);
        mBrowser->SetSource(&without);
        EXPECT_EQ(Columns(), 1u);
        mBrowser->SetStyle(kDataBrowserColumnView);
        mBrowser->SetSource(&withHeaders);
        EXPECT_EQ(Columns(), 0u);
        EXPECT_EQ(mBrowser->GetStyle(), UInt32(kDataBrowserColumnView));
    }

    TEST_F(DataBrowserWrapper, DeleteKeysRemoveTheSelectionOnlyWithASourceInAnActiveBrowser)
    {
        ListSource source({ 1, 2, 3 });
        ShowWindow(mWindow);
        SelectWindow(mWindow);
        EXPECT_EQ(Key(51), eventNotHandledErr); // no source yet: not handled, no crash
        mBrowser->SetSource(&source);
        Ids const chosen { 1, 3 };
        mBrowser->SetSelection(&chosen, kDataBrowserItemsAssign);
        EXPECT_EQ(Key(12), eventNotHandledErr);
        EXPECT_EQ(mBrowser->CountItems(kDataBrowserItemAnyState, 0, true), 3u);
        EXPECT_EQ(Key(117), noErr);
        EXPECT_EQ(mBrowser->FindItems(kDataBrowserItemAnyState, 0, true), (Ids { 2 }));
        mBrowser->SetSelection(nullptr, kDataBrowserItemsAssign);
        Ids const rest { 2 };
        mBrowser->SetSelection(&rest, kDataBrowserItemsAssign);
        // Another window in front makes the browser inactive.
        WindowRef other = nullptr;
        Rect const content { 150, 150, 250, 250 };
        CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &content, &other);
        ShowWindow(other);
        SelectWindow(other);
        ASSERT_FALSE(IsControlActive(mBrowser->GetControlRef()));
        EXPECT_EQ(Key(51), eventNotHandledErr);
        EXPECT_EQ(mBrowser->CountItems(kDataBrowserItemAnyState, 0, true), 1u);
        DisposeWindow(other);
    }

    TEST_F(DataBrowserWrapper, NothingReachesASourceOnceTheWrapperIsGone)
    {
        ListSource source({ 1, 2 });
        mBrowser->SetSource(&source);
        ControlRef const control = mBrowser->GetControlRef();
        DataBrowserCallbacks shared;
        GetDataBrowserCallbacks(control, &shared);
        ASSERT_NE(shared.u.itemDataCallback, nullptr);
        delete mBrowser;
        mBrowser = nullptr;
        EXPECT_EQ(source.GetBrowser(), nullptr);
        // The control's callbacks are gone; the shared ones find no wrapper and answer "not handled".
        DataBrowserCallbacks now;
        GetDataBrowserCallbacks(control, &now);
        EXPECT_EQ(now.u.itemDataCallback, nullptr);
        EXPECT_EQ(shared.u.itemDataCallback(control, 1, 'name', nullptr, false), eventNotHandledErr);
        shared.u.itemNotificationCallback(control, 1, kDataBrowserItemRemoved, nullptr);
        source.asked.clear();
        RemoveDataBrowserItems(control, 0, 0, nullptr, 0);
        EXPECT_TRUE(source.removed.empty());
        EXPECT_TRUE(source.asked.empty());
    }

    TEST_F(DataBrowserWrapper, TheSourceDefaultsRefuseAndBroadcastTheSelection)
    {
        ListSource source({ 1 });
        HMHelpContentRec help {};
        SInt16 provided = 0;
        source.GetItemHelp(1, 0, 0, provided, help);
        EXPECT_EQ(provided, kHMContentNotProvided);
        EXPECT_EQ(help.version, kMacHelpVersion);
        EXPECT_EQ(help.content[0].contentType, OSType(kHMNoContent));
        EXPECT_EQ(source.SetItemData(1, nullptr, 0), errDataBrowserPropertyNotSupported);
        UInt32 helpType = 0;
        AEDesc selection {};
        EXPECT_EQ(source.GetContextualMenu(helpType, selection), nullptr);
        EXPECT_EQ(helpType, 3u);
        EXPECT_FALSE(source.CanDrag(1, nullptr) || source.AcceptDrag(1, nullptr) || source.ReceiveDrag(1, nullptr));
        DBHeader const header = CDataBrowserSource::MakeListHeader('name', 'text', CString("Name"), 70000, 100, 0);
        EXPECT_EQ(header.minimumWidth, UInt16(70000 & 0xFFFF));
        EXPECT_EQ(header.initialOrder, kDataBrowserOrderDecreasing);
        EXPECT_EQ(header.btnFontStyle.font, -4);
        struct Listener : CMsgListener {
            void DoMessage(UInt32 message, void* parameter) override
            {
                if (message == CDataBrowserSource::kMsgSelectionChanged)
                    heard = parameter;
            }
            void* heard = nullptr;
        } listener;
        source.AddListener(&listener);
        mBrowser->SetSource(&source);
        Ids const one { 1 };
        mBrowser->SetSelection(&one, kDataBrowserItemsAssign);
        EXPECT_EQ(listener.heard, &source);
        source.RemoveListener(&listener);
    }

} // namespace

} // namespace tw::test
