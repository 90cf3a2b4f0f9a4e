// The map tools in the document window: its toolbar, and tools chosen there and used on its map.

#include "DocumentTest.h"
#include "docwindow/CToolbarDocument.h"
#include "docwindow/CViewMap.h"
#include "model/CMapRoute.h"
#include "model/CMapWaypoint.h"
#include "tests/support/InputDriver.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Theme.h"
#include "toolbox/View.h"
#include "toolbox/databrowser/DataBrowserView.h"
#include "widgets/CDataBrowser.h"
#include "toolbox/Window.h"
#include "toolbox/toolbar/Toolbar.h"
#include "toolbox/toolbar/ToolbarCalls.h"
#include "toolbox/toolbar/ToolbarCustomize.h"
#include "toolbox/toolbar/ToolbarItem.h"
#include "toolbox/toolbar/ToolbarStrip.h"
#include "widgets/CHISearchField.h"

#include <initializer_list>

namespace tw::test {
namespace {

    class DocumentTools : public DocumentTest {
    protected:
        void SetUp() override
        {
            DocumentTest::SetUp();
            StartApp();
            mDocument = NewDocument();
            ASSERT_NE(mDocument, nullptr);
            ManualClock::RunFor(0.1);
        }
        WindowRef Window() const { return mDocument->GetWindow()->GetWindowRef(); }
        // Waypoints in Göteborg, listed by name.
        void AddWaypoints(std::initializer_list<char const*> names)
        {
            for (char const* name : names) {
                auto* waypoint = new CMapWaypoint();
                waypoint->SetName(name);
                waypoint->SetPosition(CCoordinate(57.7, 11.95));
                mDocument->AddObject(waypoint);
            }
        }
        std::size_t ListRows() const
        {
            return toolbox::databrowser::FindDataBrowser(mDocument->GetList()->GetHIViewRef())
                ->Model()
                .Items(kDataBrowserItemAnyState)
                .size();
        }
        toolbox::toolbar::ToolbarStrip* Strip() const
        {
            HIToolbarRef ref = nullptr;
            GetWindowToolbar(Window(), &ref);
            toolbox::toolbar::Toolbar* toolbar = ref ? toolbox::toolbar::Toolbar::From(ref) : nullptr;
            return toolbar ? toolbox::toolbar::ToolbarStrip::Find(toolbar->GetStrip()) : nullptr;
        }
        static CGPoint Global(HIViewRef view, CGPoint local)
        {
            CGPoint const inWindow = view->ToWindow(local);
            CGRect const structure = view->GetWindow()->GetStructure();
            return { structure.origin.x + inWindow.x, structure.origin.y + inWindow.y };
        }
        toolbox::toolbar::ToolbarItem* Item(MenuCommand command) const
        {
            for (auto const& slot : Strip()->Layout())
                if (slot.item->GetCommand() == command)
                    return slot.item;
            return nullptr;
        }
        void ClickToolbar(MenuCommand command)
        {
            HIToolbarRef ref = nullptr;
            GetWindowToolbar(Window(), &ref);
            toolbox::View* strip = toolbox::toolbar::Toolbar::From(ref)->GetStrip();
            for (auto const& slot : Strip()->Layout())
                if (slot.item->GetCommand() == command) {
                    InputDriver::Click(Global(strip, { CGRectGetMidX(slot.frame), CGRectGetMidY(slot.frame) }));
                    ManualClock::RunFor(0.6);
                    return;
                }
            ADD_FAILURE() << "no toolbar item sends " << command;
        }
        // A point of the map, from the top-left corner of its visible part, on the screen.
        CGPoint OnMap(double x, double y) const
        {
            CViewMap* map = mDocument->GetMapView();
            CGRect const content = map->GetZoomContent();
            return Global(map->GetHIViewRef(), { content.origin.x + x, content.origin.y + y });
        }
        void ClickMap(double x, double y)
        {
            InputDriver::Click(OnMap(x, y));
            ManualClock::RunFor(0.6);
        }
        bool Selected(MenuCommand command) const
        {
            toolbox::toolbar::ToolbarItem* item = Item(command);
            return item && (item->GetAttributes() & kHIToolbarItemSelected);
        }

        CWindowDocument* mDocument = nullptr;
    };

    TEST_F(DocumentTools, TheToolbarHoldsTheToolsTheCommandsAndTheSearchFieldInOrder)
    {
        ASSERT_NE(Strip(), nullptr);
        std::vector<std::string> identifiers;
        for (auto const& slot : Strip()->Layout())
            identifiers.push_back(slot.item->GetIdentifier());
        std::string const p = CToolbarDocument::kItemPrefix;
        EXPECT_EQ(identifiers,
            (std::vector<std::string> { p + "inset", p + "waypoint", p + "route", p + "hand", p + "zoom", p + "ruler",
                p + "note", p + "rectangle", p + "circle", p + "line", kHIToolbarFlexibleSpaceIdentifier,
                p + "inspector", p + "device", p + "synchronise", p + "search", p + "inset.trailing" }));
        auto const layout = Strip()->Layout();
        EXPECT_EQ(layout.front().item->GetAttributes() & 0x7F, 103u);
        EXPECT_EQ(layout.back().item->GetAttributes() & 0x7F, 99u);
        ASSERT_NE(mDocument->GetSearchField(), nullptr) << "the field exists once the toolbar is in the window";
        EXPECT_TRUE(Selected('dtha')) << "the hand first";
    }

    TEST_F(DocumentTools, AnItemWhoseIconIsMissingIsLeftOut)
    {
        CToolbarDocument toolbar;
        std::size_t const before = toolbar.GetItemData().size();
        toolbar.AddItem('dtrl', CString("com.tarnwick.tarnwick.toolbar.document.ruler"), CString("DocRuler"),
            CString("DocHelpRuler"), CString("NoSuchIcon.png"));
        EXPECT_EQ(toolbar.GetItemData().size(), before);
        toolbar.AddItem('dtrl', CString("com.tarnwick.tarnwick.toolbar.document.ruler"), CString("DocRuler"),
            CString("DocHelpRuler"), CString("DocRuler.png"));
        ASSERT_EQ(toolbar.GetItemData().size(), before + 1);
        EXPECT_EQ(toolbar.GetItemData().back().mLabel.GetStdString(), "Ruler");
        EXPECT_EQ(toolbar.GetSearch(), nullptr) << "before the search item's view is made";
    }

    // Clicks on the toolbar choose the tool; the map then makes objects of the document.
    TEST_F(DocumentTools, AWaypointAndARouteMadeWithTheToolbarsTools)
    {
        mDocument->ShowRegion(CCoordinateRect(CCoordinate(57.75, 11.9), CCoordinate(57.65, 12.05)), false);
        ClickToolbar('dway');
        EXPECT_EQ(mDocument->GetTool(), kToolWaypoint);
        EXPECT_TRUE(Selected('dway'));
        EXPECT_FALSE(Selected('dtha'));
        ClickMap(100, 100);
        ASSERT_EQ(mDocument->GetObjects().size(), 1u);
        EXPECT_TRUE(mDocument->GetObjects()[0]->IsSelected());
        EXPECT_EQ(mDocument->GetTool(), kToolHand);
        EXPECT_TRUE(Selected('dtha'));

        ClickToolbar('drot');
        ClickMap(300, 100);
        ClickMap(300, 200);
        InputDriver::Click(OnMap(400, 200));
        ManualClock::RunFor(0.1);
        InputDriver::Click(OnMap(400, 200));
        ManualClock::RunFor(0.6);
        std::vector<CMapRoute*> routes;
        for (CMapObject* object : mDocument->GetObjects())
            if (object->IsType(kMapObjectRoute))
                routes.push_back(static_cast<CMapRoute*>(object));
        ASSERT_EQ(routes.size(), 1u);
        EXPECT_EQ(routes[0]->GetSegments().size(), 3u);
        EXPECT_EQ(mDocument->GetObjects().size(), 5u) << "the first waypoint, three for the route, and the route";
        EXPECT_EQ(mDocument->GetTool(), kToolHand);
    }

    // Every tool, the crop area's included, is chosen from the Object menu.
    TEST_F(DocumentTools, TheObjectMenuChoosesEveryTool)
    {
        for (std::size_t tool = 0; tool < std::size(CWindowDocument::kToolCommands); ++tool) {
            MenuCommand const command = CWindowDocument::kToolCommands[tool];
            MenuRef menu = nullptr;
            MenuItemIndex item = 0;
            ASSERT_EQ(GetIndMenuItemWithCommandID(nullptr, command, 1, &menu, &item), noErr) << command;
            menu->UpdateStatus();
            ASSERT_TRUE(IsMenuItemEnabled(menu, item)) << "tool " << tool;
            toolbox::MenuBar::SendCommand(menu, item, 0);
            ManualClock::RunFor(0.1);
            EXPECT_EQ(mDocument->GetTool(), TWTool(tool));
        }
        // The crop tool chosen there makes a crop area.
        mDocument->ShowRegion(CCoordinateRect(CCoordinate(57.75, 11.9), CCoordinate(57.65, 12.05)), false);
        MenuRef menu = nullptr;
        MenuItemIndex item = 0;
        GetIndMenuItemWithCommandID(nullptr, 'dtcr', 1, &menu, &item);
        toolbox::MenuBar::SendCommand(menu, item, 0);
        InputDriver::Drag(OnMap(100, 100), OnMap(250, 200));
        ManualClock::RunFor(0.6);
        EXPECT_NE(mDocument->GetCrop(), nullptr);
    }

    // Typed into the toolbar's search field as a keyboard types (each key's text
    // following it), a filter narrows the list once per key.
    TEST_F(DocumentTools, TheSearchFieldFiltersTheListAsTyped)
    {
        AddWaypoints({ "Route start", "Harbour", "Summit", "Rough ground" });
        CHISearchField* field = mDocument->GetSearchField();
        ASSERT_NE(field, nullptr);
        HIRect bounds {};
        HIViewGetBounds(field->GetHIViewRef(), &bounds);
        InputDriver::Click(Global(field->GetHIViewRef(), { CGRectGetMidX(bounds), CGRectGetMidY(bounds) }));
        ManualClock::RunFor(0.1);
        InputDriver::TypeKeys("route");
        ManualClock::RunFor(0.5);
        EXPECT_EQ(field->GetTextValue().GetStdString(), "route");
        EXPECT_EQ(mDocument->GetList()->GetFilter().GetStdString(), "route");
        EXPECT_EQ(ListRows(), 1u);
        // Backspace twice: "rou" finds the rough ground too.
        InputDriver::Key(display::kVK_Delete, display::kBackspaceCharCode);
        InputDriver::Key(display::kVK_Delete, display::kBackspaceCharCode);
        ManualClock::RunFor(0.5);
        EXPECT_EQ(ListRows(), 2u);
        // Ctrl+A and Ctrl+X through the Edit menu empty the field and list everything.
        InputDriver::Key(display::kVK_ANSI_A, 'a', cmdKey);
        InputDriver::Key(7, 'x', cmdKey);
        ManualClock::RunFor(0.5);
        EXPECT_EQ(field->GetTextValue().GetStdString(), "");
        EXPECT_EQ(ListRows(), 4u);
        // Ctrl+V puts the cut text back after typed text.
        InputDriver::TypeKeys("ground ");
        InputDriver::Key(9, 'v', cmdKey);
        ManualClock::RunFor(0.5);
        EXPECT_EQ(field->GetTextValue().GetStdString(), "ground rou");
        EXPECT_EQ(ListRows(), 0u);
    }

    // The user customises the toolbar back to its default set: every item is made anew, the
    // search field too. The window keeps working with the new ones.
    TEST_F(DocumentTools, CustomisingBackToTheDefaultSetKeepsTheSearchFieldTheToolAndTheCommandsStates)
    {
        AddWaypoints({ "Harbour", "Summit", "Rough ground" });
        ClickToolbar('dtha');
        ASSERT_TRUE(Selected('dtha'));
        ASSERT_NE(Item('ddev'), nullptr);
        ASSERT_FALSE(Item('ddev')->IsEnabled()) << "no receiver";
        HIToolbarRef ref = nullptr;
        GetWindowToolbar(Window(), &ref);
        toolbox::toolbar::Toolbar* toolbar = toolbox::toolbar::Toolbar::From(ref);
        toolbox::View* strip = toolbar->GetStrip();
        auto const slot = [&](MenuCommand command) {
            for (auto const& s : Strip()->Layout())
                if (s.item->GetCommand() == command)
                    return Global(strip, { CGRectGetMidX(s.frame), CGRectGetMidY(s.frame) });
            ADD_FAILURE() << "no toolbar item sends " << command;
            return CGPoint {};
        };

        // Right-click on the toolbar, Customize Toolbar… (its menu's first item).
        InputDriver::MouseDown(slot('drot'), 0, 2);
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.1, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                std::vector<toolbox::OpenMenu> const& open = toolbox::MenuBar::Open();
                ASSERT_EQ(open.size(), 1u) << "the toolbar's menu did not open";
                CGPoint const first { CGRectGetMidX(open[0].frame),
                    open[0].frame.origin.y + 4 + toolbox::Theme::kMenuItemHeight / 2 };
                InputDriver::MouseMove(first);
                InputDriver::MouseUp(first, 0, 2);
            },
            nullptr, &timer);
        ManualClock::RunFor(0.6);
        toolbox::Window* sheet = toolbox::toolbar::GetCustomizeSheet(toolbar);
        ASSERT_NE(sheet, nullptr) << "the customise sheet is open";

        // The default set dragged into the toolbar, then Done with Return.
        toolbox::View* defaultSet = nullptr;
        for (toolbox::View* view : sheet->GetContentView()->GetChildren()) {
            void* behaviour = nullptr;
            if (view->GetProperty('twtb', 'dflt', sizeof behaviour, nullptr, &behaviour) == noErr)
                defaultSet = view;
        }
        ASSERT_NE(defaultSet, nullptr);
        InputDriver::Drag(Global(defaultSet, { 30, CGRectGetMidY(defaultSet->GetBounds()) }), slot('drot'));
        ManualClock::RunFor(0.2);
        InputDriver::Key(display::kVK_Return, '\r');
        ManualClock::RunFor(0.6);
        ASSERT_EQ(toolbox::toolbar::GetCustomizeSheet(toolbar), nullptr) << "Done closed the sheet";

        // The new items show the tool in use and what the commands can do.
        EXPECT_TRUE(Selected('dtha')) << "the tool's highlight went with the old item";
        ASSERT_NE(Item('ddev'), nullptr);
        EXPECT_FALSE(Item('ddev')->IsEnabled()) << "the new Device item looks usable with no receiver";
        ASSERT_NE(Item('drot'), nullptr);
        EXPECT_TRUE(Item('drot')->IsEnabled()) << "the tools stayed disabled as while the sheet was open";

        // A click on the map, Tab round to the search field, and typing filters the list.
        ClickMap(120, 120);
        for (int i = 0; i < 3; ++i) {
            InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
            ManualClock::RunFor(0.1);
        }
        CHISearchField* field = mDocument->GetSearchField();
        ASSERT_NE(field, nullptr);
        ControlRef focus = nullptr;
        GetKeyboardFocus(Window(), &focus);
        EXPECT_EQ(focus, field->GetHIViewRef()) << "Tab did not reach the new search field";
        InputDriver::TypeKeys("harb");
        ManualClock::RunFor(0.5);
        EXPECT_EQ(field->GetTextValue().GetStdString(), "harb");
        EXPECT_EQ(mDocument->GetList()->GetFilter().GetStdString(), "harb");
        EXPECT_EQ(toolbox::databrowser::FindDataBrowser(mDocument->GetList()->GetHIViewRef())
                      ->Model()
                      .Items(kDataBrowserItemAnyState)
                      .size(),
            1u);
    }

    // Ctrl+0 on a fresh start narrows the window: the buttons go behind the chevron before the
    // search field does, Tab reaches the field, and once the field too is hidden the chevron's
    // menu brings it back with the focus.
    TEST_F(DocumentTools, TheSearchFieldStaysWithinReachOfTheKeyboardInANarrowWindow)
    {
        AddWaypoints({ "Harbour", "Summit", "Rough ground" });
        auto const focused = [&] {
            ControlRef focus = nullptr;
            GetKeyboardFocus(Window(), &focus);
            return focus;
        };
        InputDriver::Key(29, '0', cmdKey); // Map ▸ Zoom to Fit
        ManualClock::RunFor(1.0);
        CHISearchField* field = mDocument->GetSearchField();
        ASSERT_NE(field, nullptr);
        ASSERT_FALSE(CGRectIsEmpty(Strip()->ChevronFrame())) << "the fitted window is too narrow for every item";
        EXPECT_TRUE(HIViewIsVisible(field->GetHIViewRef())) << "the search field went behind the chevron";
        ClickMap(120, 120);
        for (int i = 0; i < 3; ++i) {
            InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
            ManualClock::RunFor(0.1);
        }
        EXPECT_EQ(focused(), field->GetHIViewRef()) << "Tab did not reach the search field";
        InputDriver::TypeKeys("harb");
        ManualClock::RunFor(0.5);
        EXPECT_EQ(ListRows(), 1u);
        InputDriver::Key(display::kVK_Escape, 27); // empties the field
        ManualClock::RunFor(0.5);

        // Narrower still: the field is behind the chevron, and its menu's Search brings it back.
        Rect bounds {};
        GetWindowBounds(Window(), kWindowContentRgn, &bounds);
        bounds.right = short(bounds.left + 120);
        SetWindowBounds(Window(), kWindowContentRgn, &bounds);
        ManualClock::RunFor(0.5);
        ClickMap(20, 20);
        ASSERT_FALSE(HIViewIsVisible(field->GetHIViewRef()));
        HIToolbarRef ref = nullptr;
        GetWindowToolbar(Window(), &ref);
        toolbox::View* strip = toolbox::toolbar::Toolbar::From(ref)->GetStrip();
        CGRect const chevron = Strip()->ChevronFrame();
        InputDriver::MouseDown(Global(strip, { CGRectGetMidX(chevron), CGRectGetMidY(chevron) }));
        static std::vector<std::string> sTitles;
        sTitles.clear();
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.1, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                std::vector<toolbox::OpenMenu> const& open = toolbox::MenuBar::Open();
                ASSERT_EQ(open.size(), 1u) << "the chevron's menu did not open";
                MenuItemIndex search = 0;
                for (MenuItemIndex i = 1; i <= CountMenuItems(open[0].menu); ++i) {
                    CFStringRef title = nullptr;
                    CopyMenuItemTextAsCFString(open[0].menu, i, &title);
                    sTitles.push_back(cf::ToUTF8(title));
                    CFRelease(title);
                    if (sTitles.back() == "Search")
                        search = i;
                }
                if (search == 0) {
                    InputDriver::Key(display::kVK_Escape, 27); // the menu does not offer the field
                    return;
                }
                CGPoint const at { CGRectGetMidX(open[0].frame),
                    open[0].frame.origin.y + 4 + (search - 1) * toolbox::Theme::kMenuItemHeight
                        + toolbox::Theme::kMenuItemHeight / 2 };
                InputDriver::MouseMove(at);
                InputDriver::MouseUp(at);
            },
            nullptr, &timer);
        ManualClock::RunFor(0.6);
        EXPECT_NE(std::find(sTitles.begin(), sTitles.end(), "Search"), sTitles.end());
        EXPECT_TRUE(HIViewIsVisible(field->GetHIViewRef()));
        HIRect frame {};
        HIViewGetFrame(field->GetHIViewRef(), &frame);
        EXPECT_LE(CGRectGetMaxX(frame), Strip()->ChevronFrame().origin.x) << "the field lies over the chevron";
        EXPECT_EQ(focused(), field->GetHIViewRef());
        InputDriver::TypeKeys("sum");
        ManualClock::RunFor(0.5);
        EXPECT_EQ(mDocument->GetList()->GetFilter().GetStdString(), "sum");
        EXPECT_EQ(ListRows(), 1u);
    }

    // Ctrl+0 fits the map to the screen with the whole window on it, title bar and toolbar
    // too; and a place saved with the title bar off the screen is not taken back.
    TEST_F(DocumentTools, ZoomToFitKeepsTheWholeWindowOnTheUsableScreen)
    {
        Rect available {};
        GetAvailableWindowPositioningBounds(GetMainDevice(), &available);
        auto const onScreen = [&] {
            Rect structure {};
            GetWindowBounds(Window(), kWindowStructureRgn, &structure);
            return structure.top >= available.top && structure.left >= available.left
                && structure.bottom <= available.bottom && structure.right <= available.right;
        };
        Rect content {}, structure {};
        GetWindowBounds(Window(), kWindowContentRgn, &content);
        GetWindowBounds(Window(), kWindowStructureRgn, &structure);
        ASSERT_GT(content.top - structure.top, 40) << "a title bar and a toolbar above the map";
        InputDriver::Key(29, '0', cmdKey);
        ManualClock::RunFor(1.0);
        Rect fitted {};
        GetWindowBounds(Window(), kWindowStructureRgn, &fitted);
        EXPECT_TRUE(onScreen()) << fitted.top << " " << fitted.left << " " << fitted.bottom << " " << fitted.right;
        EXPECT_EQ(fitted.top, available.top) << "as high as the screen lets it";
        // The content saved at the top of the screen, as the fit placed it before.
        CFDictionary saved;
        saved.SetValueRect(CDocument::kPropertyWindowBounds, CGRectMake(available.left, available.top, 600, 400));
        ASSERT_EQ(mDocument->CDocument::DecodeProperties(saved), noErr);
        ManualClock::RunFor(1.0);
        GetWindowBounds(Window(), kWindowStructureRgn, &fitted);
        EXPECT_TRUE(onScreen()) << fitted.top << " " << fitted.left;
        GetWindowBounds(Window(), kWindowContentRgn, &content);
        EXPECT_EQ(content.right - content.left, 600) << "only moved";
    }

} // namespace
} // namespace tw::test
