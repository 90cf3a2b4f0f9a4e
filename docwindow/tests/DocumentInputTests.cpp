#include "DocumentTest.h"
#include "app/CWindowNavigator.h"
#include "app/windows/CWindowFind.h"
#include "docwindow/CViewMap.h"
#include "tests/support/InputDriver.h"
#include "toolbox/HIViewCalls.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/NibCalls.h"
#include "toolbox/ScreenSink.h"
#include "toolbox/Theme.h"
#include "widgets/CDataBrowser.h"
#include "widgets/CHISearchField.h"
#include "widgets/CHISegmentedView.h"
#include "widgets/CHistoryButton.h"
#include "widgets/CSplitterView.h"

#include <cmath>

// The document window as a user drives it: clicks on its buttons and the list
// selector, and the menu keys of the document's commands, through the input funnel.

namespace tw::test {
namespace {

    class DocumentInput : public DocumentTest {
    protected:
        void SetUp() override
        {
            DocumentTest::SetUp();
            StartApp();
            mDocument = NewDocument();
            ASSERT_NE(mDocument, nullptr);
            ManualClock::RunFor(0.1);
        }
        // The global point at the middle of a view of the window.
        CGPoint Middle(OSType signature)
        {
            HIViewRef view = nullptr;
            HIViewID const id { signature, 0 };
            HIViewFindByID(HIViewGetRoot(mDocument->GetWindow()->GetWindowRef()), id, &view);
            EXPECT_NE(view, nullptr) << signature;
            HIRect bounds {};
            HIViewGetBounds(view, &bounds);
            CGPoint p { CGRectGetMidX(bounds), CGRectGetMidY(bounds) };
            HIViewConvertPoint(&p, view, nullptr);
            Rect structure {};
            GetWindowBounds(mDocument->GetWindow()->GetWindowRef(), kWindowStructureRgn, &structure);
            return { p.x + structure.left, p.y + structure.top };
        }
        void Key(UInt32 keyCode, char character)
        {
            InputDriver::Key(keyCode, UInt32(character), cmdKey);
            ManualClock::RunFor(0.1);
        }
        unsigned long Level() const { return mDocument->GetMapView()->GetMapZoom(); }

        CWindowDocument* mDocument = nullptr;
    };

    TEST_F(DocumentInput, TheHistoryButtonsAndKeysMoveThroughTheShownRegions)
    {
        mDocument->ShowRegion(CCoordinateRect(CCoordinate(60, -10), CCoordinate(35, 30)), true);
        unsigned long const europe = Level();
        mDocument->ShowRegion(CCoordinateRect(CCoordinate(57.75, 11.9), CCoordinate(57.65, 12.05)), true);
        unsigned long const city = Level();
        ASSERT_GT(city, europe);

        InputDriver::Click(Middle('hbak'));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(Level(), europe);
        EXPECT_TRUE(mDocument->CanGoForward());
        Key(30, ']'); // Forward
        EXPECT_EQ(Level(), city);
        Key(33, '['); // Back
        EXPECT_EQ(Level(), europe);
        Key(33, '['); // at the start: nothing
        EXPECT_EQ(Level(), europe);
    }

    // Back and Forward know the place chosen in Go to Location, never where the sheet passed on the
    // way; a sheet cancelled (or opened by a link and cancelled) leaves no entry and no unsaved
    // change, even in a document that keeps the view it shows.
    TEST_F(DocumentInput, GoToLocationRecordsOnlyThePlaceChosenAndACancelChangesNothing)
    {
        CViewMap* view = mDocument->GetMapView();
        WindowRef const window = mDocument->GetWindow()->GetWindowRef();
        mDocument->SetSaveMode(CDocument::kSaveModeAlways);
        mDocument->ShowRegion(CCoordinateRect(CCoordinate(60, -10), CCoordinate(35, 30)), true);
        CCoordinate const europe = view->GetMapCentre();
        mDocument->SetModified(false);
        auto const near = [&](CCoordinate const& at) {
            CGPoint const shown = view->Project(view->GetMapCentre());
            CGPoint const expected = view->Project(at);
            return std::abs(shown.x - expected.x) <= 1.0 && std::abs(shown.y - expected.y) <= 1.0;
        };
        auto const escape = [] {
            InputDriver::Key(display::kVK_Escape, display::kEscapeCharCode);
            ManualClock::RunFor(0.5);
        };

        Key(37, 'l');
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetViewLocation);
        InputDriver::TypeKeys("57.7");
        ManualClock::RunFor(2.5); // the map goes to the typed place
        ASSERT_GT(view->GetMapCentre().GetLatitude(), 57.6);
        escape();
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_TRUE(near(europe));
        EXPECT_FALSE(mDocument->IsModified());
        EXPECT_FALSE(IsWindowModified(window)) << "no \"*\" in the title";
        EXPECT_FALSE(mDocument->CanGoBack());
        EXPECT_FALSE(mDocument->CanGoForward());

        mDocument->CommandViewLocation(CString("tarnwick://view?lat=45.42&lon=-75.69&zoom=9"));
        ManualClock::RunFor(0.5);
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetViewLocation);
        escape();
        EXPECT_FALSE(mDocument->CanGoBack());
        EXPECT_FALSE(mDocument->IsModified());

        Key(37, 'l');
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetViewLocation);
        InputDriver::TypeKeys("57.7");
        InputDriver::Key(display::kVK_Return, display::kReturnCharCode);
        ManualClock::RunFor(0.5);
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        CCoordinate const chosen = view->GetMapCentre();
        unsigned long const level = Level();
        ASSERT_NEAR(chosen.GetLatitude(), 57.7, 0.05); // whole pixels at a low level
        Key(33, '['); // Back
        EXPECT_TRUE(near(europe));
        EXPECT_TRUE(mDocument->CanGoForward());
        Key(30, ']'); // Forward: the place chosen, at its level
        EXPECT_TRUE(near(chosen));
        EXPECT_EQ(Level(), level);
        EXPECT_FALSE(mDocument->CanGoForward());
        EXPECT_TRUE(mDocument->CanGoBack());
    }

    // The bar menu holding the command and the point of its item, as the menu opens under its title.
    bool FindMenuItem(UInt32 command, CGPoint& title, CGPoint& item, toolbox::Menu** menu, MenuItemIndex* index)
    {
        std::vector<toolbox::Menu*> const menus = toolbox::MenuBar::Menus();
        std::vector<CGRect> const titles = toolbox::Theme::MenuBarTitleRects();
        for (std::size_t m = 0; m < menus.size() && m < titles.size(); ++m) {
            CGFloat y = toolbox::Screen::kMenuBarHeight + 4;
            for (MenuItemIndex i = 1; i <= menus[m]->Count(); ++i) {
                toolbox::MenuItem const* entry = menus[m]->Item(i);
                if (entry->IsHidden())
                    continue;
                if (entry->command == command) {
                    title = { CGRectGetMidX(titles[m]), 11 };
                    item = { titles[m].origin.x + 30, y + toolbox::Theme::kMenuItemHeight / 2 };
                    *menu = menus[m];
                    *index = i;
                    return true;
                }
                y += entry->IsSeparator() ? toolbox::Theme::kMenuSeparatorHeight : toolbox::Theme::kMenuItemHeight;
            }
        }
        return false;
    }

    // The global point at the middle of a control of a window.
    CGPoint ControlMiddle(WindowRef window, OSType signature)
    {
        HIViewRef view = nullptr;
        HIViewID const id { signature, 0 };
        HIViewFindByID(HIViewGetRoot(window), id, &view);
        if (!view)
            return {};
        HIRect bounds {};
        HIViewGetBounds(view, &bounds);
        CGPoint p { CGRectGetMidX(bounds), CGRectGetMidY(bounds) };
        HIViewConvertPoint(&p, view, nullptr);
        Rect structure {};
        GetWindowBounds(window, kWindowStructureRgn, &structure);
        return { p.x + structure.left, p.y + structure.top };
    }

    // With the find window up, the map below still zooms by the menu keys, from the Map menu,
    // whose zoom items are offered while the others wait for the window to close, and by the
    // navigator's buttons.
    TEST_F(DocumentInput, TheFindWindowLeavesTheMapToBeZoomedByTheKeysAndTheMapMenu)
    {
        struct Seen {
            CWindowDocument* document = nullptr;
            bool findShown = false;
            std::vector<unsigned long> levels;
            bool zoomInOffered = false, goToOffered = true;
        };
        static Seen* sSeen = nullptr;
        Seen seen;
        seen.document = mDocument;
        sSeen = &seen;
        mDocument->GetMapView()->SetMapZoom(CHIView::kZoomFactor, nullptr, 8);
        CWindowNavigator* navigator = CWindowNavigator::GetInstance();
        ASSERT_NE(navigator, nullptr);
        CCarbonEvent show = CCarbonEvent::CreateWithHICommandID(CWindowNavigator::kCommandShow);
        mApp->DispatchEvent(show, nullptr);
        ManualClock::RunFor(0.2);
        ASSERT_TRUE(IsWindowVisible(navigator->GetWindow()->GetWindowRef()));
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.3, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                Seen& seen = *sSeen;
                auto const level = [&] { return seen.document->GetMapView()->GetMapZoom(); };
                CWindowFind* find = CWindowFind::GetInstance();
                seen.findShown = find && IsWindowVisible(find->GetWindow()->GetWindowRef());
                seen.levels.push_back(level());
                for (auto [code, character] : { std::pair { 24, '=' }, { 24, '=' }, { 27, '-' } }) {
                    InputDriver::Key(UInt32(code), UInt32(character), cmdKey);
                    ManualClock::RunFor(0.1);
                    seen.levels.push_back(level());
                }
                CGPoint title {}, item {};
                toolbox::Menu* menu = nullptr;
                MenuItemIndex index = 0;
                if (FindMenuItem('zoin', title, item, &menu, &index)) {
                    menu->UpdateStatus();
                    seen.zoomInOffered = toolbox::MenuBar::CanChoose(menu, index);
                    InputDriver::MouseDown(title);
                    InputDriver::MouseMove({ title.x, 40 });
                    InputDriver::MouseMove(item);
                    InputDriver::MouseUp(item);
                    ManualClock::RunFor(0.2);
                    seen.levels.push_back(level());
                }
                if (FindMenuItem('gvie', title, item, &menu, &index)) {
                    menu->UpdateStatus();
                    seen.goToOffered = toolbox::MenuBar::CanChoose(menu, index);
                }
                WindowRef const palette = CWindowNavigator::GetInstance()->GetWindow()->GetWindowRef();
                InputDriver::Click(ControlMiddle(palette, 'zoin'));
                ManualClock::RunFor(0.2);
                seen.levels.push_back(level());
                InputDriver::Click(ControlMiddle(palette, 'zoom')); // the slider is no zoom command
                ManualClock::RunFor(0.2);
                seen.levels.push_back(level());
                InputDriver::Key(display::kVK_Escape, display::kEscapeCharCode);
            },
            nullptr, &timer);
        Key(3, 'f'); // returns once Escape closed the find window
        ManualClock::RunFor(0.5);
        EXPECT_TRUE(seen.findShown);
        EXPECT_EQ(seen.levels, (std::vector<unsigned long> { 8, 9, 10, 9, 10, 11, 11 }));
        EXPECT_TRUE(seen.zoomInOffered);
        EXPECT_FALSE(seen.goToOffered) << "only the zooms pass the find window";
        EXPECT_EQ(Level(), 11u);
        ASSERT_NE(CWindowFind::GetInstance(), nullptr);
        EXPECT_FALSE(IsWindowVisible(CWindowFind::GetInstance()->GetWindow()->GetWindowRef()));
        // Once it is closed, the map's other commands are back.
        CGPoint title {}, item {};
        toolbox::Menu* menu = nullptr;
        MenuItemIndex index = 0;
        ASSERT_TRUE(FindMenuItem('gvie', title, item, &menu, &index));
        menu->UpdateStatus();
        EXPECT_TRUE(toolbox::MenuBar::CanChoose(menu, index));
        CWindowFind::ResetForTesting();
        CWindowNavigator::ResetForTesting();
    }

    TEST_F(DocumentInput, TheListSelectorAndItsKeysChooseTheList)
    {
        CHISegmentedView* selector = mDocument->GetListSelector();
        ASSERT_NE(selector, nullptr);
        EXPECT_EQ(selector->GetCurrentValue(), 1) << "the waypoints first";
        Key(19, '2');
        EXPECT_EQ(selector->GetCurrentValue(), 2);
        Key(20, '3');
        EXPECT_EQ(selector->GetCurrentValue(), 3);

        // A click on the first segment.
        HIViewRef view = selector->GetHIViewRef();
        HIRect bounds {};
        HIViewGetBounds(view, &bounds);
        CGPoint p { bounds.size.width / 6, bounds.size.height / 2 };
        HIViewConvertPoint(&p, view, nullptr);
        Rect structure {};
        GetWindowBounds(mDocument->GetWindow()->GetWindowRef(), kWindowStructureRgn, &structure);
        InputDriver::Click({ p.x + structure.left, p.y + structure.top });
        ManualClock::RunFor(0.1);
        EXPECT_EQ(selector->GetCurrentValue(), 1);
    }

    // The divider dragged as far as it goes hides the list; each list's key brings it back.
    TEST_F(DocumentInput, AListDraggedShutComesBackWithTheKeyOfAList)
    {
        CSplitterView* splitter = mDocument->GetSplitter();
        ASSERT_NE(splitter, nullptr);
        HIViewRef list = splitter->GetViewA()->GetHIViewRef();
        auto const listWidth = [&] {
            HIRect frame {};
            HIViewGetFrame(list, &frame);
            return frame.size.width;
        };
        CGFloat const shown = listWidth();
        ASSERT_GT(shown, 100);
        Rect structure {};
        GetWindowBounds(mDocument->GetWindow()->GetWindowRef(), kWindowStructureRgn, &structure);
        for (auto [code, character] : { std::pair { 18, '1' }, std::pair { 19, '2' }, std::pair { 20, '3' } }) {
            SCOPED_TRACE(character);
            CGRect divider {};
            splitter->GetRects(nullptr, nullptr, &divider);
            CGPoint p { CGRectGetMidX(divider), CGRectGetMidY(divider) };
            HIViewConvertPoint(&p, splitter->GetHIViewRef(), nullptr);
            p = { p.x + structure.left, p.y + structure.top };
            InputDriver::Drag(p, { p.x - 100, p.y }, 7);
            InputDriver::Drag({ p.x - 100, p.y }, { CGFloat(structure.left) - 50, p.y }, 9);
            ManualClock::RunFor(0.1);
            ASSERT_LT(listWidth(), 1) << "the drag did not hide the list";
            Key(UInt32(code), character);
            EXPECT_GE(listWidth(), shown - 1);
        }
    }

    TEST_F(DocumentInput, MenuKeysZoomAndAreRefusedWhileASheetIsOpen)
    {
        unsigned long const start = Level();
        Key(24, '='); // Zoom In
        EXPECT_EQ(Level(), start + 1);
        Key(27, '-'); // Zoom Out
        EXPECT_EQ(Level(), start);

        mDocument->ShowRegion(CCoordinateRect(CCoordinate(60, -10), CCoordinate(35, 30)), true);
        mDocument->ShowRegion(CCoordinateRect(CCoordinate(57.75, 11.9), CCoordinate(57.65, 12.05)), true);
        unsigned long const city = Level();
        mDocument->DisplayAlert("A sheet", CString());
        Key(33, '['); // Back: disabled while the sheet is open
        EXPECT_EQ(Level(), city);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetAlert);
    }

    // Which of the views Tab goes round has the keyboard focus.
    std::string FocusName(CWindowDocument* document)
    {
        ControlRef focus = nullptr;
        GetKeyboardFocus(document->GetWindow()->GetWindowRef(), &focus);
        if (!focus)
            return "none";
        if (focus == document->GetMapView()->GetHIViewRef())
            return "map";
        if (focus == document->GetListSelector()->GetHIViewRef())
            return "selector";
        if (focus == document->GetList()->GetHIViewRef())
            return "list";
        if (document->GetSearchField() && focus == document->GetSearchField()->GetHIViewRef())
            return "search";
        return "other";
    }

    TEST_F(DocumentInput, TabAndShiftTabGoRoundTheMapTheListSelectorTheListAndTheSearchField)
    {
        ASSERT_NE(mDocument->GetSearchField(), nullptr);
        std::vector<std::string> seen { FocusName(mDocument) };
        for (int i = 0; i < 4; ++i) {
            InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
            ManualClock::RunFor(0.1);
            seen.push_back(FocusName(mDocument));
        }
        for (int i = 0; i < 2; ++i) {
            InputDriver::Key(display::kVK_Tab, display::kTabCharCode, shiftKey);
            ManualClock::RunFor(0.1);
            seen.push_back(FocusName(mDocument));
        }
        EXPECT_EQ(seen,
            (std::vector<std::string> { "map", "selector", "list", "search", "map", "search", "list" }));
    }

    TEST_F(DocumentInput, TheMapShowsItsFocusAndTakesItsKeysWheneverItHasIt)
    {
        HIViewRef map = mDocument->GetMapView()->GetHIViewRef();
        HIRect bounds {};
        HIViewGetBounds(map, &bounds);
        CGPoint edge { CGRectGetMidX(bounds), bounds.origin.y + 1 }; // inside the ring, at the top
        HIViewConvertPoint(&edge, map, nullptr);
        WindowRef window = mDocument->GetWindow()->GetWindowRef();
        auto const ringShows = [&] {
            ManualClock::RunFor(0.1);
            Pixel const p = ProbeWindow(window).At(int(edge.x), int(edge.y));
            return p.b > p.r + 60; // the focus highlight is blue; the map there is not
        };
        EXPECT_TRUE(ringShows()) << "the map has the focus at first";
        auto const press = [](UInt32 code, char character, UInt32 modifiers = 0) {
            InputDriver::Key(code, UInt32(character), modifiers);
            if (!(modifiers & cmdKey) && character >= 0x20)
                InputDriver::Type(std::string(1, character));
            ManualClock::RunFor(0.1);
        };
        press(display::kVK_Tab, '\t'); // the list selector
        EXPECT_FALSE(ringShows());
        press(6, 'z'); // Z: a letter for the selector, not a tool
        EXPECT_EQ(mDocument->GetTool(), kToolHand);
        press(display::kVK_RightArrow, 0); // the selector's next list
        EXPECT_EQ(mDocument->GetListSelector()->GetCurrentValue(), 2);
        press(display::kVK_Tab, '\t', shiftKey); // back to the map
        EXPECT_TRUE(ringShows());
        press(6, 'z');
        EXPECT_EQ(mDocument->GetTool(), kToolZoom) << "a tool key on the focused map";
        unsigned long const level = Level();
        press(24, '=', cmdKey);
        EXPECT_EQ(Level(), level + 1);
        HIPoint const before = mDocument->GetMapView()->GetImageOrigin();
        press(display::kVK_PageDown, 0);
        EXPECT_GT(mDocument->GetMapView()->GetImageOrigin().y, before.y) << "Page Down scrolls the focused map";
    }

    TEST_F(DocumentInput, ClosingASheetLeavesTheFocusWhereItWas)
    {
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
        ManualClock::RunFor(0.1);
        ASSERT_EQ(FocusName(mDocument), "list");
        mDocument->DisplayAlert("A sheet", CString());
        ManualClock::RunFor(0.5);
        InputDriver::Key(display::kVK_Return, display::kReturnCharCode);
        ManualClock::RunFor(0.5);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_EQ(FocusName(mDocument), "list");
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
        ManualClock::RunFor(0.1);
        EXPECT_EQ(FocusName(mDocument), "search");
    }

    TEST_F(DocumentInput, TabInASheetMovesBetweenTheSheetsFieldsAndLeavesTheWindowsFocus)
    {
        Key(37, 'l'); // Go to Location
        ManualClock::RunFor(0.5);
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetViewLocation);
        WindowRef sheet = mDocument->GetSheetController()->GetWindow()->GetWindowRef();
        auto const focused = [&] {
            ControlRef focus = nullptr;
            GetKeyboardFocus(sheet, &focus);
            ControlID id {};
            if (focus)
                GetControlID(focus, &id);
            return id.signature;
        };
        EXPECT_EQ(focused(), OSType('elat'));
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
        ManualClock::RunFor(0.1);
        EXPECT_EQ(focused(), OSType('elon'));
        EXPECT_EQ(FocusName(mDocument), "map") << "the window's own focus moved under the sheet";
        InputDriver::Key(display::kVK_Escape, display::kEscapeCharCode);
        ManualClock::RunFor(0.5);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
    }

} // namespace
} // namespace tw::test
