#include "ObjectListTest.h"
#include "foundation/CTextUtilities.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/MenuCalls.h"

namespace tw::test {
namespace {

    using ObjectList = ObjectListTest;

    TEST_F(ObjectList, ListsEveryObjectOfItsKindButTemporaryOnesInDocumentOrder)
    {
        AddWaypoint("Beta", 1, 1);
        AddRoute("Loop");
        AddWaypoint("Alpha", 2, 2);
        CMapWaypoint* temporary = AddWaypoint("Target", 3, 3);
        temporary->SetAttributes(kMapObjectAttrTemporary, 0);
        AddTrack("Run", 1000);
        CBrowserWaypoints waypoints;
        Attach(waypoints);
        EXPECT_EQ(Names(), (std::vector<std::string> { "Beta", "Alpha" }));
        // Four columns titled from the bundle, the position ones cut at their end.
        std::vector<toolbox::databrowser::Column> const& columns = View()->Model().GetColumns();
        ASSERT_EQ(columns.size(), 4u);
        EXPECT_EQ(columns[0].title, CTextUtilities::GetBundleString("BrowserName").GetStdString());
        EXPECT_EQ(columns[2].title, "Latitude");
        EXPECT_EQ(columns[2].property.propertyFlags, 0x60200u);
        EXPECT_EQ(columns[1].property.propertyFlags, 0x60000u);
        CBrowserRoutes routes;
        Attach(routes);
        EXPECT_EQ(Names(), (std::vector<std::string> { "Loop" }));
        EXPECT_EQ(View()->Model().GetColumns().size(), 2u);
        CBrowserTracks tracks;
        Attach(tracks);
        EXPECT_EQ(Names(), (std::vector<std::string> { "Run" }));
        EXPECT_EQ(Cell(Rows().at(0), 'time'), "0:01:00");
        EXPECT_EQ(Cell(Rows().at(0), 'nope'), "<none>");
    }

    // A list as narrow as the document window's at its default split scrolls sideways to its
    // position columns instead of hiding them.
    TEST_F(ObjectList, ANarrowListScrollsToItsLastColumn)
    {
        AddWaypoint("Beta", 1, 1);
        HIRect frame {};
        HIViewGetFrame(mBrowser->GetControlRef(), &frame);
        frame.size.width = 245;
        HIViewSetFrame(mBrowser->GetControlRef(), &frame);
        CBrowserWaypoints waypoints;
        Attach(waypoints);
        toolbox::databrowser::DataBrowserView* view = View();
        CGRect const bar = view->HorizontalBarRect();
        ASSERT_FALSE(CGRectIsEmpty(bar)) << "a horizontal scroll bar";
        std::vector<CGRect> columns = view->ColumnRects();
        ASSERT_EQ(columns.size(), 4u);
        CGRect const rows = view->RowsRect();
        EXPECT_GT(CGRectGetMinX(columns[3]), CGRectGetMaxX(rows)) << "longitude starts out of sight";
        // A click at the bar's right end pages along until the last column shows whole.
        for (int i = 0; i < 10; ++i) {
            CGFloat const before = view->GetLeft();
            CGPoint at { CGRectGetMaxX(bar) - 4, CGRectGetMidY(bar) };
            HIViewConvertPoint(&at, mBrowser->GetControlRef(), nullptr);
            Rect structure {};
            GetWindowBounds(GetControlOwner(mBrowser->GetControlRef()), kWindowStructureRgn, &structure);
            InputDriver::Click({ at.x + structure.left, at.y + structure.top });
            ManualClock::RunFor(0.1);
            if (view->GetLeft() == before)
                break;
        }
        columns = view->ColumnRects();
        EXPECT_LE(CGRectGetMaxX(columns[3]), CGRectGetMaxX(rows) + 0.5);
        EXPECT_GE(CGRectGetMinX(columns[3]), CGRectGetMinX(rows));
    }

    TEST_F(ObjectList, TheFilterMatchesNameOrDescriptionIgnoringCaseWhenTheMessageArrives)
    {
        AddWaypoint("Harbour", 1, 1);
        AddWaypoint("Summit", 2, 2, "view over the HARBOUR");
        CMapWaypoint* kiosk = AddWaypoint("Kiosk", 3, 3);
        CBrowserWaypoints list;
        Attach(list);
        mBrowser->SetFilter("harb");
        EXPECT_EQ(Names(), (std::vector<std::string> { "Harbour", "Summit" }));
        // Added and changed objects are judged against the filter as their message comes.
        AddWaypoint("Harbour light", 4, 4);
        AddWaypoint("Mill", 5, 5);
        EXPECT_EQ(Names(), (std::vector<std::string> { "Harbour", "Summit", "Harbour light" }));
        kiosk->SetName("Harbour kiosk");
        EXPECT_EQ(Names(), (std::vector<std::string> { "Harbour", "Summit", "Harbour light" }));
        // A new filter lists again from the document.
        mBrowser->SetFilter("harb");
        EXPECT_EQ(Names(), (std::vector<std::string> { "Harbour", "Summit", "Harbour kiosk", "Harbour light" }));
        mBrowser->SetFilter("");
        EXPECT_EQ(Rows().size(), 5u);
    }

    TEST_F(ObjectList, FollowsTheDocumentsAddRemoveChangeAndResetMessages)
    {
        CMapWaypoint* one = AddWaypoint("One", 1, 1);
        CMapWaypoint* two = AddWaypoint("Two", 2, 2);
        CBrowserWaypoints list;
        Attach(list);
        CMapWaypoint* three = AddWaypoint("Three", 3, 3);
        EXPECT_EQ(Names(), (std::vector<std::string> { "One", "Two", "Three" }));
        two->SetPosition(CCoordinate(-12.5, 2));
        EXPECT_EQ(Cell(Item(two), 'wlat'), CCoordinate(-12.5, 2).GetLatitudeString().GetStdString());
        mDocument->RemoveObject(one);
        EXPECT_EQ(Names(), (std::vector<std::string> { "Two", "Three" }));
        // Several at once reset the list, the selection included.
        mDocument->SelectObject(three, true);
        auto* four = new CMapWaypoint();
        four->SetName("Four");
        auto* five = new CMapWaypoint();
        five->SetName("Five");
        mDocument->AddObjects({ four, five });
        EXPECT_EQ(Names(), (std::vector<std::string> { "Two", "Three", "Four", "Five" }));
        EXPECT_TRUE(SelectedRows().empty()); // adding deselects everything
        mDocument->SelectObject(five, true);
        EXPECT_EQ(SelectedRows(), (std::vector<DataBrowserItemID> { Item(five) }));
        mDocument->BroadcastMessage('dors', nullptr);
        EXPECT_EQ(Names(), (std::vector<std::string> { "Two", "Three", "Four", "Five" }));
        EXPECT_EQ(SelectedRows(), (std::vector<DataBrowserItemID> { Item(five) }));
        // A list on no browser ignores the document.
        mBrowser->SetSource(nullptr);
        AddWaypoint("Six", 6, 6);
        EXPECT_TRUE(Rows().empty());
    }

    TEST_F(ObjectList, HeaderClicksSortByTextOrByNumberAsTheColumnSays)
    {
        AddWaypoint("b", 9, 100, "Zed");
        AddWaypoint("C", 10, -5, "alpha");
        AddWaypoint("a", -5, 20, "Beta");
        CBrowserWaypoints list;
        Attach(list);
        auto order = [&](DataBrowserPropertyID property) {
            ClickHeader(property);
            if (View()->Model().GetSortOrder() == kDataBrowserOrderDecreasing)
                ClickHeader(property); // ascending
            return Names();
        };
        // Texts compare character by character, capitals first.
        EXPECT_EQ(order('name'), (std::vector<std::string> { "C", "a", "b" }));
        EXPECT_EQ(order('desc'), (std::vector<std::string> { "a", "b", "C" }));
        // Latitude 10 after 9, as a number and not as text.
        EXPECT_EQ(order('wlat'), (std::vector<std::string> { "a", "b", "C" }));
        EXPECT_EQ(order('wlon'), (std::vector<std::string> { "C", "a", "b" }));
    }

    TEST_F(ObjectList, AChangedObjectMovesToItsPlaceInTheSortedColumn)
    {
        AddWaypoint("South", -5, 20);
        CMapWaypoint* middle = AddWaypoint("Middle", 9, 100);
        AddWaypoint("North", 10, -5);
        CBrowserWaypoints list;
        Attach(list);
        ClickHeader('wlat');
        if (View()->Model().GetSortOrder() == kDataBrowserOrderDecreasing)
            ClickHeader('wlat'); // ascending
        ASSERT_EQ(Names(), (std::vector<std::string> { "South", "Middle", "North" }));
        middle->SetPosition(CCoordinate(60, 100));
        EXPECT_EQ(Names(), (std::vector<std::string> { "South", "North", "Middle" }));
        EXPECT_EQ(Cell(Item(middle), 'wlat'), CCoordinate(60, 100).GetLatitudeString().GetStdString());
    }

    TEST_F(ObjectList, TracksSortTheirDistanceAndTimeAsShown)
    {
        AddTrack("Nine", 9200);
        AddTrack("Ten", 10200);
        CBrowserTracks list;
        Attach(list);
        ASSERT_EQ(Cell(Item(mDocument->GetObjects()[0]), 'dist'), "9.2 km");
        ASSERT_EQ(Cell(Item(mDocument->GetObjects()[1]), 'dist'), "10 km");
        ClickHeader('dist');
        if (View()->Model().GetSortOrder() == kDataBrowserOrderDecreasing)
            ClickHeader('dist');
        EXPECT_EQ(Names(), (std::vector<std::string> { "Ten", "Nine" })); // "10 km" before "9.2 km"
    }

    TEST_F(ObjectList, ClickingRowsSelectsOnTheDocumentWithOneSelectionMessageEach)
    {
        CMapWaypoint* a = AddWaypoint("A", 1, 1);
        CMapWaypoint* b = AddWaypoint("B", 2, 2);
        CMapWaypoint* c = AddWaypoint("C", 3, 3);
        CMapRoute* route = AddRoute("Route");
        CMapTrack* track = AddTrack("Track", 500);
        CBrowserWaypoints list;
        Attach(list);
        mDocument->SelectObject(route, true);
        mDocument->SelectObject(track, true);
        MessageCounter selections(*mDocument, 'dsec');
        InputDriver::Click(RowPoint(0));
        Run(1.0);
        EXPECT_EQ(selections.count, 1);
        EXPECT_TRUE(a->IsSelected());
        EXPECT_FALSE(route->IsSelected()); // other kinds give way to the list's
        EXPECT_FALSE(track->IsSelected());
        // Shift extends to the third row: every row ends selected, told once.
        InputDriver::Click(RowPoint(2), shiftKey);
        Run(1.0);
        EXPECT_EQ(selections.count, 2);
        EXPECT_TRUE(a->IsSelected() && b->IsSelected() && c->IsSelected());
        EXPECT_EQ(SelectedRows(), (std::vector<DataBrowserItemID> { Item(a), Item(b), Item(c) }));
        // A plain click on the middle row leaves only it.
        InputDriver::Click(RowPoint(1));
        Run(1.0);
        EXPECT_EQ(selections.count, 3);
        EXPECT_FALSE(a->IsSelected());
        EXPECT_TRUE(b->IsSelected());
        EXPECT_FALSE(c->IsSelected());
        // Clicking below the rows deselects.
        InputDriver::Click(Global(mBrowser->GetControlRef(), { 30, 250 }));
        Run(1.0);
        EXPECT_EQ(selections.count, 4);
        EXPECT_FALSE(b->IsSelected());
    }

    TEST_F(ObjectList, TheDocumentsSelectionShowsInTheListWithoutComingBack)
    {
        std::vector<CMapWaypoint*> waypoints;
        for (int i = 0; i < 60; ++i)
            waypoints.push_back(AddWaypoint(("W" + std::to_string(i)).c_str(), i, i));
        CMapRoute* route = AddRoute("Route");
        CBrowserWaypoints list;
        Attach(list);
        mDocument->SelectObject(route, true);
        MessageCounter selections(*mDocument, 'dsec');
        mDocument->SelectObject(waypoints[50], true);
        // The list took it without selecting anything back on the document.
        EXPECT_EQ(selections.count, 1);
        EXPECT_EQ(SelectedRows(), (std::vector<DataBrowserItemID> { Item(waypoints[50]) }));
        EXPECT_TRUE(route->IsSelected());
        // The first selected row is brought into view.
        CGRect const row = View()->RowRect(50);
        CGRect const rows = View()->RowsRect();
        EXPECT_TRUE(CGRectIntersectsRect(row, rows));
        mDocument->SelectObject(nullptr, false);
        EXPECT_TRUE(SelectedRows().empty());
    }

    TEST_F(ObjectList, DeleteRemovesTheChosenObjectsFromTheDocument)
    {
        CMapWaypoint* a = AddWaypoint("A", 1, 1);
        AddWaypoint("B", 2, 2);
        CMapWaypoint* c = AddWaypoint("C", 3, 3);
        CBrowserWaypoints list;
        Attach(list);
        InputDriver::Click(RowPoint(0));
        InputDriver::Click(RowPoint(2), cmdKey);
        Run(1.0);
        ASSERT_TRUE(a->IsSelected() && c->IsSelected());
        Key(kKeyDelete, 8);
        EXPECT_EQ(mDocument->GetObjects().size(), 1u);
        EXPECT_EQ(Names(), (std::vector<std::string> { "B" }));
        InputDriver::Click(RowPoint(0));
        Run(1.0);
        Key(117, 0x7F); // forward delete
        EXPECT_TRUE(mDocument->GetObjects().empty());
        EXPECT_TRUE(Rows().empty());
    }

    // A row the filter no longer matches stays until the filter changes, yet goes with its object.
    TEST_F(ObjectList, ARowGoesWithItsObjectWhateverTheFilterSays)
    {
        AddWaypoint("Untitled 1", 1, 1);
        AddWaypoint("Untitled 2", 2, 2);
        CBrowserWaypoints list;
        Attach(list);
        mBrowser->SetFilter("1");
        ASSERT_EQ(Names(), (std::vector<std::string> { "Untitled 1" }));
        InputDriver::Click(RowPoint(0));
        InputDriver::Click(RowPoint(0));
        Run(1.0);
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetWaypoint);
        // The document window stands behind the list's: the name is put in its field directly.
        CFStringRef const name = CFSTR("Untitled Z");
        SetControlData(Find(mDocument->GetSheetController()->GetWindow()->GetWindowRef(), 'name'), 0,
            kControlEditTextCFStringTag, sizeof name, &name);
        ASSERT_EQ(EditedName(), "Untitled Z");
        mDocument->CompleteSheet('ok  ');
        Run(1.0);
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        ASSERT_EQ(Names(), (std::vector<std::string> { "Untitled Z" }));
        InputDriver::Click(RowPoint(0));
        Run(1.0);
        Key(kKeyDelete, 8);
        EXPECT_EQ(mDocument->GetObjects().size(), 1u);
        EXPECT_TRUE(Rows().empty());
        Shot("list-after-delete.png"); // draws the list

        // Routes and tracks, removed by the document as the map and the sheets remove them.
        CMapRoute* route = AddRoute("Loop 1");
        CMapTrack* track = AddTrack("Run 1", 1000);
        CBrowserRoutes routes;
        Attach(routes);
        mBrowser->SetFilter("1");
        ASSERT_EQ(Names(), (std::vector<std::string> { "Loop 1" }));
        route->SetName("Loop");
        mDocument->RemoveObject(route);
        EXPECT_TRUE(Rows().empty());
        CBrowserTracks tracks;
        Attach(tracks);
        mBrowser->SetFilter("1");
        ASSERT_EQ(Names(), (std::vector<std::string> { "Run 1" }));
        // Listed, then made temporary: the filter no longer lists it.
        track->SetAttributes(kMapObjectAttrTemporary, 0);
        mDocument->RemoveObject(track);
        EXPECT_TRUE(Rows().empty());
        Shot("list-after-remove.png");
    }

    TEST_F(ObjectList, DoubleClickEditsShowsWithOptionOrConfirmsInThePicker)
    {
        AddWaypoint("A", 1, 1);
        CMapWaypoint* b = AddWaypoint("B", 2, 2);
        CBrowserWaypoints list;
        Attach(list);
        InputDriver::Click(RowPoint(0));
        InputDriver::Click(RowPoint(0));
        Run(1.0);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetWaypoint);
        EXPECT_EQ(EditedName(), "A");
        EXPECT_FALSE(MapCentredOn(b->GetPosition()));
        InputDriver::Click(RowPoint(1), optionKey);
        InputDriver::Click(RowPoint(1), optionKey);
        Run(1.0);
        EXPECT_EQ(EditedName(), "A");
        EXPECT_TRUE(MapCentredOn(b->GetPosition()));
        mDocument->CompleteSheet('not!');
        // The picker's list confirms its window instead, and never deletes.
        CBrowserWaypoints picker;
        picker.SetAttributes(CBrowserMapObject::kBrowserOpenConfirm, CBrowserMapObject::kBrowserDefaultAttributes);
        EXPECT_EQ(picker.GetAttributes(), UInt32(CBrowserMapObject::kBrowserOpenConfirm));
        Attach(picker);
        UInt32 confirmed = 0;
        EventTypeSpec const spec { kEventClassCommand, kEventCommandProcess };
        EventHandlerRef handler = nullptr;
        InstallEventHandler(
            mWindow->GetEventTarget(),
            [](EventHandlerCallRef, EventRef event, void* data) -> OSStatus {
                HICommandExtended command {};
                GetEventParameter(
                    event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
                *static_cast<UInt32*>(data) = command.commandID;
                return noErr;
            },
            1, &spec, &confirmed, &handler);
        InputDriver::Click(RowPoint(0));
        InputDriver::Click(RowPoint(0));
        Run(1.0);
        EXPECT_EQ(confirmed, UInt32('ok  '));
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        Key(kKeyDelete, 8);
        EXPECT_EQ(mDocument->GetObjects().size(), 2u);
        RemoveEventHandler(handler);
    }

    TEST_F(ObjectList, TypingTheStartOfANameSelectsItsRowAndReturnOrEnterOpensTheSelection)
    {
        for (char const* name : { "Alder", "Birch", "Bramble", "Cedar" })
            AddWaypoint(name, 1, 1);
        CBrowserWaypoints list;
        Attach(list);
        InputDriver::Click(RowPoint(0)); // the list takes the focus
        Run(1.0);
        auto const type = [](std::string const& text) {
            for (char c : text) {
                InputDriver::Key(0, UInt32(c)); // key-down and up, then the text, as SDL gives them
                InputDriver::Type(std::string(1, c));
                Run(0.2);
            }
        };
        auto const selected = [&] {
            std::vector<DataBrowserItemID> const rows = SelectedRows();
            return rows.size() == 1 ? CBrowserMapObject::GetObject(rows[0])->GetName().GetStdString() : "";
        };
        type("br");
        EXPECT_EQ(selected(), "Bramble");
        type("x"); // nothing starts with "brx": the selection stays
        EXPECT_EQ(selected(), "Bramble");
        Run(1.5); // a pause starts afresh
        type("C");
        EXPECT_EQ(selected(), "Cedar");
        Key(display::kVK_Return, display::kReturnCharCode);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetWaypoint);
        EXPECT_EQ(EditedName(), "Cedar");
        mDocument->CompleteSheet('not!');
        Run(1.5);
        type("a");
        EXPECT_EQ(selected(), "Alder");
        Key(display::kVK_ANSI_KeypadEnter, display::kEnterCharCode);
        EXPECT_EQ(EditedName(), "Alder");
        mDocument->CompleteSheet('not!');
    }

    TEST_F(ObjectList, TheContextualMenuShowsTheChosenObjectsAndNothingElse)
    {
        CMapWaypoint* a = AddWaypoint("A", 1, 1);
        CMapWaypoint* b = AddWaypoint("B", 2, 2);
        CBrowserWaypoints list;
        Attach(list);
        // No row chosen: no menu.
        UInt32 help = 0;
        AEDesc selection {};
        EXPECT_EQ(list.GetContextualMenu(help, selection), nullptr);
        // A right click chooses the row; "Show on Map" shows what is chosen.
        InputDriver::Click(RowPoint(0));
        Run(1.0);
        CGPoint const at = RowPoint(1);
        InputDriver::MouseDown(at, shiftKey, 2);
        InputDriver::MouseUp({ at.x + 10, at.y + 4 + 10 }, 0, 2);
        Run(1.0);
        EXPECT_TRUE(MapCentredOn(b->GetPosition()));
        // Another command of the menu does nothing.
        mDocument->GetMapView()->SetMapZoom(CHIView::kZoomFactor, nullptr, 2);
        MenuRef menu = list.GetContextualMenu(help, selection);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(help, UInt32(kCMHelpItemRemoveHelp));
        AppendMenuItemTextWithCFString(menu, CFSTR("Other"), 0, 'othr', nullptr);
        list.HandleContextualMenu(kCMMenuItemSelected, menu, 201, 2);
        EXPECT_EQ(mDocument->GetMapView()->GetMapZoom(), 2u);
        // Without the menu attribute nothing is offered.
        list.SetAttributes(0, CBrowserMapObject::kBrowserContextMenu);
        EXPECT_EQ(list.GetContextualMenu(help, selection), nullptr);
        (void)a;
    }

    TEST_F(ObjectList, CellsFollowTheUnitsAndCoordinateFormatAtOnce)
    {
        CMapWaypoint* w = AddWaypoint("W", 57.5, 11.75);
        AddTrack("T", 2000);
        CBrowserWaypoints waypoints;
        Attach(waypoints);
        std::string const before = Cell(Item(w), 'wlat');
        // Drawn, the list waits for nothing; a new format has its rows drawn again at once.
        ProbeWindow(mWindow->GetWindowRef());
        ASSERT_FALSE(mWindow->GetWindowRef()->NeedsUpdate());
        Prefs().SetInteger("MapCoordinates", kMapCoordinatesDegreesMinutes);
        EXPECT_TRUE(mWindow->GetWindowRef()->NeedsUpdate());
        EXPECT_NE(Cell(Item(w), 'wlat'), before);
        EXPECT_EQ(Cell(Item(w), 'wlat'), w->GetPosition().GetLatitudeString().GetStdString());
        CBrowserTracks tracks;
        Attach(tracks);
        std::string const metric = Cell(Rows().at(0), 'dist');
        ProbeWindow(mWindow->GetWindowRef());
        ASSERT_FALSE(mWindow->GetWindowRef()->NeedsUpdate());
        Prefs().SetInteger("MapUnits", kMapUnitsImperial);
        EXPECT_TRUE(mWindow->GetWindowRef()->NeedsUpdate());
        EXPECT_NE(Cell(Rows().at(0), 'dist'), metric);
        // Preferences other than these leave the list alone.
        ProbeWindow(mWindow->GetWindowRef());
        Prefs().SetBoolean("ShowGrid", true);
        EXPECT_FALSE(mWindow->GetWindowRef()->NeedsUpdate());
    }

} // namespace
} // namespace tw::test
