#include "WindowsTest.h"

#include "mapdata/CMapManager.h"
#include "model/CMapWaypoint.h"
#include "model/CPlaceSearch.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/MenuBar.h"
#include "toolbox/Theme.h"
#include "widgets/CChasingArrows.h"
#include "widgets/CDataBrowser.h"
#include "widgets/CHISearchField.h"
#include "widgets/CPopupButton.h"
#include "widgets/CPushButton.h"
#include "widgets/CStaticText.h"

namespace tw::test {
namespace {

    class FindWindow : public WindowsTest {
    protected:
        static constexpr UInt32 kKeyReturn = 36, kKeyEscape = 53, kKeyTab = 48, kKeyDown = 125;

        CWindowFind* Open()
        {
            CWindowFind* window = CWindowFind::GetInstance();
            EXPECT_NE(window, nullptr);
            if (!window)
                return nullptr;
            window->BeginFind(&mDocument);
            window->GetWorker()->AddListener(&mLog);
            return window;
        }
        CWindowFind* Window() { return CWindowFind::GetInstance(); }
        template <typename T> T* View(OSType id) { return T::Find(Window(), id, 0); }
        bool Searching() { return View<CChasingArrows>('tpro')->IsVisible() || Window()->GetWorker()->IsBusy(); }
        bool WaitForResults() { return RunLoopUntil([&] { return !Searching(); }); }
        std::vector<DataBrowserItemID> Rows()
        {
            return View<CDataBrowser>('rslt')->FindItems(kDataBrowserItemAnyState, kDataBrowserNoItem, true);
        }
        std::string Total() { return View<CStaticText>('totl')->GetTextValue().GetStdString(); }
        void Select(std::size_t row)
        {
            std::vector<DataBrowserItemID> const items { Rows().at(row) };
            View<CDataBrowser>('rslt')->SetSelection(&items, kDataBrowserItemsAssign);
            RunCurrentEventLoop(0.05);
        }
        // A command as a popup's item or a button sends it, through the window.
        void Send(UInt32 command) { CCarbonEvent::CreateWithHICommandID(command).SendToWindow(WindowRef()); }
        ::WindowRef WindowRef() { return Window()->GetWindow()->GetWindowRef(); }
        // The places a search of that query finds, in order.
        static std::vector<CString> Expected(SearchQuery const& query)
        {
            std::vector<CString> names;
            CPlaceSearch search(BundledMaps(), query);
            for (std::vector<SearchResult> ring; !search.IsFinished();) {
                search.NextRing(ring);
                for (SearchResult const& result : ring)
                    names.push_back(result.name);
            }
            return names;
        }
        static std::vector<CString> Names(std::vector<SearchResult> const& results)
        {
            std::vector<CString> names;
            for (SearchResult const& result : results)
                names.push_back(result.name);
            return names;
        }
        // Presses on the popup and lets go over the item once its menu shows.
        void Choose(OSType popup, MenuItemIndex item)
        {
            static MenuItemIndex sItem = 0;
            sItem = item;
            InputDriver::MouseDown(Centre(View<CPopupButton>(popup)));
            EventLoopTimerRef timer = nullptr;
            InstallEventLoopTimer(
                GetMainEventLoop(), 0.1, 0,
                [](EventLoopTimerRef t, void*) {
                    RemoveEventLoopTimer(t);
                    std::vector<toolbox::OpenMenu> const& open = toolbox::MenuBar::Open();
                    ASSERT_FALSE(open.empty()) << "the popup's menu did not open";
                    toolbox::OpenMenu const& menu = open.back();
                    CGFloat const y = menu.frame.origin.y + 4 + (sItem - 1) * toolbox::Theme::kMenuItemHeight;
                    CGPoint const at { CGRectGetMidX(menu.frame), y + toolbox::Theme::kMenuItemHeight / 2 };
                    InputDriver::MouseMove(at);
                    InputDriver::MouseUp(at);
                },
                nullptr, &timer);
            RunLoopUntil([] { return false; }, 0.5);
        }

        FindDocumentStandIn mDocument;
        MessageLog mLog;
    };

    TEST_F(FindWindow, PlacesAroundGoteborgWithinFiveKilometresStreamInNearestFirstThenTheSearchCompletes)
    {
        CWindowFind* window = Open();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(IsWindowVisible(WindowRef()));
        SearchQuery const query = window->GetQuery();
        EXPECT_EQ(query.category, kSearchCategoryAll);
        EXPECT_DOUBLE_EQ(query.radius, 5000) << "5 km when the units are metric";
        EXPECT_NEAR(query.centre.GetLatitude(), 57.7089, 1e-9);
        EXPECT_TRUE(View<CChasingArrows>('tpro')->IsVisible()) << "the arrows turn while the worker searches";
        ASSERT_TRUE(WaitForResults());

        ASSERT_GE(mLog.entries.size(), 2u);
        EXPECT_EQ(mLog.entries.back().message, CThreadSearch::kMsgSearchComplete);
        for (std::size_t i = 0; i + 1 < mLog.entries.size(); ++i)
            EXPECT_EQ(mLog.entries[i].message, CThreadSearch::kMsgSearchMore);
        std::vector<SearchResult> const& results = window->GetResults();
        ASSERT_FALSE(results.empty());
        EXPECT_EQ(Names(results), Expected(query));
        double last = 0;
        for (SearchResult const& result : results) {
            double const distance = BundledMaps().GetDistance(result.position, query.centre);
            EXPECT_LE(distance, 5000) << result.name.GetStdString();
            EXPECT_GE(distance, last) << "nearest first";
            last = distance;
        }
        EXPECT_EQ(Rows().size(), results.size());
        EXPECT_NE(Total().find(std::to_string(results.size())), std::string::npos) << Total();
        EXPECT_FALSE(View<CChasingArrows>('tpro')->IsVisible());
        EXPECT_FALSE(View<CPushButton>('addw')->IsEnabled()) << "nothing selected yet";
    }

    TEST_F(FindWindow, ANewRadiusOrCategoryRestartsTheSearchWithoutAStaleResult)
    {
        CWindowFind* window = Open();
        ASSERT_TRUE(WaitForResults());
        ASSERT_FALSE(window->GetResults().empty());

        // The radius popup's third item, with the mouse.
        Choose('rads', 3);
        EXPECT_EQ(View<CPopupButton>('rads')->GetCurrentValue(), 3);
        EXPECT_DOUBLE_EQ(window->GetQuery().radius, 50000);
        ASSERT_TRUE(WaitForResults());
        std::vector<CString> const wide = Names(window->GetResults());
        EXPECT_EQ(wide, Expected(window->GetQuery()));
        EXPECT_GT(wide.size(), 1u);

        // Opened again, the window keeps the radius chosen and searches within it.
        window->BeginFind(&mDocument);
        EXPECT_EQ(View<CPopupButton>('rads')->GetCurrentValue(), 3);
        EXPECT_DOUBLE_EQ(window->GetQuery().radius, 50000);
        ASSERT_TRUE(WaitForResults());

        // A new category in the middle of that: nothing of the wider search stays listed.
        Send('50  ');
        Send('ftra');
        EXPECT_TRUE(window->GetResults().empty()) << "the results before are gone at once";
        EXPECT_TRUE(Rows().empty());
        EXPECT_EQ(Total(), "No places found");
        EXPECT_EQ(window->GetQuery().category, kSearchCategoryTransport);
        mLog.entries.clear();
        ASSERT_TRUE(WaitForResults());
        EXPECT_EQ(mLog.Count(CThreadSearch::kMsgSearchComplete), 1u) << "the stopped search says nothing more";
        EXPECT_EQ(Names(window->GetResults()), Expected(window->GetQuery()));
        for (SearchResult const& result : window->GetResults())
            EXPECT_TRUE(CPlaceSearch::IsInCategory(result.feature, kSearchCategoryTransport))
                << result.name.GetStdString();
    }

    TEST_F(FindWindow, TheSelectedPlaceIsPreviewedAndReturnAddsItAsTheOnlyWaypoint)
    {
        CWindowFind* window = Open();
        Send('50  ');
        ASSERT_TRUE(WaitForResults());
        ASSERT_GE(Rows().size(), 2u);

        Select(0);
        ASSERT_EQ(mDocument.objects.size(), 1u);
        CMapObject* preview = mDocument.objects[0];
        EXPECT_EQ(window->GetPreview(), preview);
        EXPECT_EQ(preview->GetAttributes(), UInt32(kMapObjectAttrTemporary | kMapObjectAttrHalo | kMapObjectAttrLarge));
        EXPECT_EQ(mDocument.shown.back(), preview);
        EXPECT_GE(mDocument.selectionCleared, 1);
        EXPECT_TRUE(View<CPushButton>('addw')->IsEnabled());

        // The keyboard alone: Tab from the search field to the list, down a row.
        InputDriver::Key(kKeyTab, '\t');
        InputDriver::Key(kKeyDown, 0x1F);
        RunCurrentEventLoop(0.1);
        SearchResult const* chosen = window->GetSelection();
        ASSERT_EQ(chosen, reinterpret_cast<SearchResult const*>(Rows().at(1)));
        ASSERT_NE(chosen, nullptr);
        ASSERT_EQ(mDocument.objects.size(), 1u) << "another selection replaces the preview";
        EXPECT_EQ(mDocument.objects[0]->GetName(), chosen->name);
        CString const name = chosen->name;
        CString const kind = BundledMaps().GetFeatureName(chosen->feature);

        InputDriver::Key(kKeyReturn, '\r');
        RunCurrentEventLoop(0.1);
        ASSERT_EQ(mDocument.objects.size(), 1u) << "the preview went, the waypoint came";
        auto* waypoint = dynamic_cast<CMapWaypoint*>(mDocument.objects[0]);
        ASSERT_NE(waypoint, nullptr);
        EXPECT_EQ(waypoint->GetAttributes(), 0u) << "an ordinary waypoint";
        EXPECT_EQ(waypoint->GetName(), name);
        EXPECT_EQ(waypoint->GetDescription(), kind);
        EXPECT_FALSE(IsWindowVisible(WindowRef()));
        EXPECT_EQ(window->GetDocument(), nullptr);
        EXPECT_EQ(window->GetPreview(), nullptr);
        EXPECT_TRUE(window->GetResults().empty());
    }

    TEST_F(FindWindow, DismissingRemovesThePreviewAndAddWithoutASelectionAddsNothing)
    {
        CWindowFind* window = Open();
        Send('50  ');
        ASSERT_TRUE(WaitForResults());
        Select(0);
        ASSERT_EQ(mDocument.objects.size(), 1u);
        InputDriver::Key(kKeyEscape, 0x1B);
        RunCurrentEventLoop(0.1);
        EXPECT_TRUE(mDocument.objects.empty()) << "Escape is Done: the preview goes with the window";
        EXPECT_FALSE(IsWindowVisible(WindowRef()));

        Open();
        ASSERT_TRUE(WaitForResults());
        Send(CWindowFind::kCommandAddWaypoint);
        EXPECT_TRUE(mDocument.objects.empty());
        EXPECT_FALSE(IsWindowVisible(WindowRef()));
        EXPECT_EQ(window->GetDocument(), nullptr);
    }

    TEST_F(FindWindow, TheNameFilterKeepsAKindOfPlaceAndTheTotalCountsWhatIsListed)
    {
        CWindowFind* window = Open();
        Send('100 ');
        ASSERT_TRUE(WaitForResults());
        std::vector<SearchResult> const results = window->GetResults();
        ASSERT_GE(results.size(), 3u);
        // The kind of the last place, typed into the search field, lists every place of that kind.
        CString const kind = BundledMaps().GetFeatureName(results.back().feature);
        std::size_t const ofKind = std::count_if(results.begin(), results.end(),
            [&](SearchResult const& result) { return result.feature == results.back().feature; });
        InputDriver::Click(Centre(View<CHISearchField>('name')));
        InputDriver::Type(kind.GetStdString());
        RunLoopUntil([&] { return Rows().size() != results.size(); }, 2);
        EXPECT_GE(Rows().size(), ofKind);
        for (DataBrowserItemID row : Rows()) {
            auto const* result = reinterpret_cast<SearchResult const*>(row);
            EXPECT_TRUE(result->name.Contains(kind) || BundledMaps().GetFeatureName(result->feature).Contains(kind));
        }
        std::string const total = Total();
        EXPECT_EQ(total, Rows().size() == 1 ? "1 place found" : std::to_string(Rows().size()) + " places found");

        // A filter matching one place's full name, then none.
        View<CHISearchField>('name')->SetTextValue(results.front().name);
        window->DoMessage(CHISearchField::kMsgTextAccepted, nullptr);
        std::size_t const sameName = std::count_if(results.begin(), results.end(),
            [&](SearchResult const& result) { return result.name.Contains(results.front().name); });
        if (sameName == 1) {
            EXPECT_EQ(Total(), "1 place found");
        }
        View<CHISearchField>('name')->SetTextValue("no place is called this");
        window->DoMessage(CHISearchField::kMsgTextAccepted, nullptr);
        EXPECT_TRUE(Rows().empty());
        EXPECT_EQ(Total(), "No places found") << "though the search found places";
        EXPECT_EQ(window->GetResults().size(), results.size());
    }

    TEST_F(FindWindow, RadiiReadInKilometresForMetricUnitsAndInMilesOtherwise)
    {
        CWindowFind* window = CWindowFind::GetInstance();
        ASSERT_NE(window, nullptr);
        auto itemText = [&](MenuItemIndex item) {
            CFStringRef text = nullptr;
            CopyMenuItemTextAsCFString(View<CPopupButton>('rads')->GetMenu(), item, &text);
            std::string const value = cf::ToUTF8(text);
            if (text)
                CFRelease(text);
            return value;
        };
        EXPECT_EQ(itemText(1), "5 km");
        for (SInt32 units : { 2, 6, 7 }) {
            Prefs().SetInteger("MapUnits", units);
            EXPECT_EQ(itemText(1), "5 miles") << units;
            EXPECT_EQ(itemText(6), "1,000 miles");
            EXPECT_DOUBLE_EQ(window->GetRadiusInMetres(5), 5 * 1609.344);
        }
        for (SInt32 units : { 1, 4, 5 }) {
            Prefs().SetInteger("MapUnits", units);
            EXPECT_EQ(itemText(3), "50 km") << units;
            EXPECT_DOUBLE_EQ(window->GetRadiusInMetres(50), 50000);
        }
        Prefs().SetInteger("MapUnits", 2);
        window->BeginFind(&mDocument);
        EXPECT_DOUBLE_EQ(window->GetQuery().radius, 5 * 1609.344) << "the first query follows the same rule";
        window->CommandOK();
    }

    TEST_F(FindWindow, TheModalLoopPassesZoomsToTheDocumentAndTheCloseBoxEndsIt)
    {
        CWindowFind* window = CWindowFind::GetInstance();
        ASSERT_NE(window, nullptr);
        mDocument.canZoomIn = false;
        static std::vector<SInt32> sStatus;
        sStatus.clear();
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.3, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                CWindowFind* find = CWindowFind::GetInstance();
                for (UInt32 command : { 'zoin', 'zout', 'zfit' }) {
                    HICommandExtended status {};
                    status.commandID = command;
                    sStatus.push_back(find->GetMenuStatus(status));
                }
                for (UInt32 command : { 'zout', 'zfit' })
                    CCarbonEvent::CreateWithHICommandID(command).SendToWindow(find->GetWindow()->GetWindowRef());
                CCarbonEvent close(kEventClassWindow, kEventWindowClose);
                ::WindowRef ref = find->GetWindow()->GetWindowRef();
                close.SetParameter(kEventParamDirectObject, typeWindowRef, sizeof ref, &ref);
                close.SendToWindow(ref);
            },
            nullptr, &timer);
        window->FindLocation(&mDocument); // returns once the close box ended the loop
        EXPECT_EQ(sStatus, (std::vector<SInt32> { CCarbonEventHandler::kMenuStatusDisable,
                               CCarbonEventHandler::kMenuStatusEnable, CCarbonEventHandler::kMenuStatusEnable }));
        EXPECT_EQ(mDocument.zoomCommands, (std::vector<UInt32> { 'zout', 'zfit' }));
        EXPECT_FALSE(IsWindowVisible(WindowRef()));
        EXPECT_EQ(window->GetDocument(), nullptr);
        EXPECT_FALSE(window->GetWorker()->IsBusy());
        EXPECT_EQ(CWindowFind::GetInstance(), window) << "hidden, never destroyed";
    }

    TEST_F(FindWindow, ScreenshotWithResultsAndAPreview)
    {
        Open();
        Send('50  ');
        ASSERT_TRUE(WaitForResults());
        Select(1);
        Window()->GetWindow()->Select(true);
        std::string const path = Shot("find-window.png");
        PixelProbe const probe = ProbeScreen();
        EXPECT_TRUE(probe.Any(probe.Whole(), IsInk));
        EXPECT_TRUE(std::filesystem::exists(path));
    }

} // namespace
} // namespace tw::test

namespace tw::test {
namespace {

    TEST_F(FindWindow, TheWindowKeepsItsBoundsInThePreferences)
    {
        CWindowFind* window = Open();
        ASSERT_NE(window, nullptr);
        Rect moved { 150, 90, 150 + 400, 90 + 600 };
        SetWindowBounds(WindowRef(), kWindowContentRgn, &moved);
        RunCurrentEventLoop(0.05);
        window->CommandOK();
        EXPECT_TRUE(Prefs().PrefExists("WindowFind"));
        CWindowFind::ResetForTesting();
        Rect bounds {};
        GetWindowBounds(CWindowFind::GetInstance()->GetWindow()->GetWindowRef(), kWindowContentRgn, &bounds);
        EXPECT_EQ(bounds.left, 90);
        EXPECT_EQ(bounds.top, 150);
        EXPECT_EQ(bounds.right - bounds.left, 600);
    }

} // namespace
} // namespace tw::test
