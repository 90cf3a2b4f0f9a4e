#include "ObjectListTest.h"
#include "app/CSheetRoute.h"
#include "docwindow/CViewMap.h"
#include "model/CMapCodingUtilities.h"
#include "render/CMapGeometry.h"

#include <chrono>
#include <functional>
#include <thread>

namespace tw::test {
namespace {

    class RouteSheet : public ObjectListTest {
    protected:
        void SetUp() override
        {
            ObjectListTest::SetUp();
            mA = AddWaypoint("A", 57.70, 11.90);
            mB = AddWaypoint("B", 57.71, 11.95);
            mC = AddWaypoint("C", 57.72, 12.00);
            mRoute = AddRoute("Coast");
            mRoute->SetDescription("Along the shore");
            for (CMapWaypoint* waypoint : { mA, mB, mC })
                mRoute->AddWaypoint(-1, waypoint, false);
            mWindow.reset(); // the sheets need no list window of their own
            mBrowser = nullptr;
        }

        CSheetRoute* Open(SheetHost<CSheetRoute>& host)
        {
            CSheetRoute* sheet = host.Open();
            EXPECT_NE(sheet, nullptr);
            if (!sheet)
                return nullptr;
            sheet->SetDocument(mDocument.get());
            sheet->SetObject(mRoute);
            host.OnComplete([](CSheetRoute* done, UInt32 command) {
                if (command == 'ok  ')
                    done->UpdateObject();
                else
                    done->CancelEdit();
            });
            return sheet;
        }

        std::vector<std::string> Legs() const
        {
            std::vector<std::string> names;
            for (RouteSegment const& segment : mRoute->GetSegments())
                names.push_back(segment.waypoint->GetName().GetStdString());
            return names;
        }
        static std::vector<std::string> Working(CSheetRoute const* sheet)
        {
            std::vector<std::string> names;
            for (RouteSegment const& segment : sheet->GetWorkingList())
                names.push_back(segment.waypoint->GetName().GetStdString());
            return names;
        }
        // The legs' list in the sheet and one of its rows on the screen.
        static ControlRef List(WindowRef sheet) { return Find(sheet, 'wayp'); }
        static CGPoint Row(WindowRef sheet, std::size_t row)
        {
            CGRect const rect = toolbox::databrowser::FindDataBrowser(List(sheet))->RowRect(row);
            return Global(List(sheet), { rect.origin.x + 30, CGRectGetMidY(rect) });
        }
        static std::vector<bool> Buttons(WindowRef sheet)
        {
            return { IsControlEnabled(Find(sheet, 'delw')) != 0, IsControlEnabled(Find(sheet, 'up  ')) != 0,
                IsControlEnabled(Find(sheet, 'down')) != 0 };
        }
        static std::vector<DataBrowserItemID> Chosen(WindowRef sheet)
        {
            return toolbox::databrowser::FindDataBrowser(List(sheet))->Model().Items(kDataBrowserItemIsSelected);
        }

        CMapWaypoint* mA = nullptr;
        CMapWaypoint* mB = nullptr;
        CMapWaypoint* mC = nullptr;
        CMapRoute* mRoute = nullptr;
    };

    TEST_F(RouteSheet, ShowsTheRouteAndEnablesTheButtonsByTheChosenLeg)
    {
        SheetHost<CSheetRoute> host;
        ASSERT_NE(Open(host), nullptr);
        WindowRef const sheet = host.GetSheetWindow();
        EXPECT_EQ(Text(sheet, 'name'), "Coast");
        EXPECT_EQ(Text(sheet, 'desc'), "Along the shore");
        EXPECT_EQ(toolbox::databrowser::FindDataBrowser(List(sheet))->Model().Items(0),
            (std::vector<DataBrowserItemID> { 1, 2, 3 }));
        for (RouteSegment const& segment : host.GetSheet()->GetWorkingList())
            EXPECT_EQ(segment.status, UInt32(kRouteStatusUnrouted));
        EXPECT_EQ(Buttons(sheet), (std::vector<bool> { false, false, false }));
        InputDriver::Click(Row(sheet, 1));
        Run(1.0);
        EXPECT_EQ(Buttons(sheet), (std::vector<bool> { true, true, true }));
        InputDriver::Click(Row(sheet, 0));
        Run(1.0);
        EXPECT_EQ(Buttons(sheet), (std::vector<bool> { true, false, true }));
        InputDriver::Click(Row(sheet, 2));
        Run(1.0);
        EXPECT_EQ(Buttons(sheet), (std::vector<bool> { true, true, false }));
        // Only one row can be chosen.
        InputDriver::Click(Row(sheet, 0), shiftKey);
        Run(1.0);
        EXPECT_EQ(Chosen(sheet).size(), 1u);
        Shot("sheet-route.png");
    }

    // Routes every leg along roads but the one starting at "B", which no road joins.
    class RoadsButFromB : public IRoadRouter {
    public:
        OSStatus RouteLeg(CCoordinate const& from, CCoordinate const& to, std::atomic<bool> const&,
            RoadLegResult& result) override
        {
            bool const fromB = std::fabs(from.GetLatitude() - 57.71) < 1e-9;
            result.path = { from, CCoordinate((from.GetLatitude() + to.GetLatitude()) / 2, from.GetLongitude()), to };
            result.length = -1;
            result.status = fromB ? kRouteStatusNoPath : kRouteStatusRouted;
            if (fromB)
                result.path = { from, to };
            return noErr;
        }
    };

    TEST_F(RouteSheet, SaysWhichLegsAreStraightThoughAmongRoadsAndWhy)
    {
        // Routed through the given router (none: every leg straight, far from any road map).
        auto routed = [&](char const* name, IRoadRouter* router) {
            IRoadRouter::SetDefault(router);
            CMapRoute* const route = AddRoute(name);
            for (CMapWaypoint* waypoint : { mA, mB, mC })
                route->AddWaypoint(-1, waypoint, true);
            for (int i = 0; i < 1000 && route->GetSegments()[1].status == kRouteStatusUnrouted; ++i) {
                Run(0.05);
                std::this_thread::sleep_for(std::chrono::milliseconds(2)); // the worker's own time
            }
            IRoadRouter::SetDefault(nullptr);
            return route;
        };
        RoadsButFromB roads;
        mRoute = routed("Walk", &roads);
        ASSERT_EQ(mRoute->GetSegments()[0].status, UInt32(kRouteStatusRouted));
        ASSERT_EQ(mRoute->GetSegments()[1].status, UInt32(kRouteStatusNoPath));
        {
            SheetHost<CSheetRoute> host;
            ASSERT_NE(Open(host), nullptr);
            std::string const said = Text(host.GetSheetWindow(), 'legs');
            EXPECT_NE(said.find("“B” to “C”, as no road joins its ends"), std::string::npos) << said;
            EXPECT_EQ(said.find("“A”"), std::string::npos) << "the routed leg is not named: " << said;
            Shot("sheet-route-straight.png");
        }
        // Legs outside every road map are straight as a matter of course: no word.
        mRoute = routed("Sail", nullptr);
        ASSERT_EQ(mRoute->GetSegments()[0].status, UInt32(kRouteStatusNoRoads));
        SheetHost<CSheetRoute> host;
        ASSERT_NE(Open(host), nullptr);
        EXPECT_EQ(Text(host.GetSheetWindow(), 'legs'), "");
    }

    TEST_F(RouteSheet, ReorderingAndRemovingGiveTheLegsExpectedOnOK)
    {
        SheetHost<CSheetRoute> host;
        CSheetRoute* editor = Open(host);
        ASSERT_NE(editor, nullptr);
        WindowRef const sheet = host.GetSheetWindow();
        InputDriver::Click(Row(sheet, 2));
        Run(1.0);
        Click(sheet, 'up  ');
        EXPECT_EQ(Working(editor), (std::vector<std::string> { "A", "C", "B" }));
        EXPECT_EQ(Chosen(sheet), (std::vector<DataBrowserItemID> { 2 })); // the moved leg stays chosen
        Click(sheet, 'up  ');
        EXPECT_EQ(Working(editor), (std::vector<std::string> { "C", "A", "B" }));
        EXPECT_EQ(Buttons(sheet), (std::vector<bool> { true, false, true }));
        Click(sheet, 'down');
        EXPECT_EQ(Working(editor), (std::vector<std::string> { "A", "C", "B" }));
        // The delete key in the list removes the chosen leg, as the button does.
        InputDriver::Click(Row(sheet, 0));
        Run(1.0);
        Key(kKeyDelete, 8);
        EXPECT_EQ(Working(editor), (std::vector<std::string> { "C", "B" }));
        EXPECT_EQ(Chosen(sheet), (std::vector<DataBrowserItemID> { 1 }));
        Click(sheet, 'name');
        Retype("Coast, shortened");
        // Until OK nothing changes; then the route has the legs, all to be routed again.
        EXPECT_EQ(Legs(), (std::vector<std::string> { "A", "B", "C" }));
        Click(sheet, 'ok  ');
        EXPECT_EQ(host.GetCompleted(), (std::vector<UInt32> { 'ok  ' }));
        EXPECT_EQ(Legs(), (std::vector<std::string> { "C", "B" }));
        EXPECT_EQ(mRoute->GetName().GetStdString(), "Coast, shortened");
        EXPECT_EQ(mDocument->GetObjects().size(), 4u); // A stays in the document
    }

    TEST_F(RouteSheet, CancelLeavesTheRouteAndTheDocumentAsTheyWere)
    {
        std::vector<RouteSegment> const before = mRoute->GetSegments();
        std::size_t const objects = mDocument->GetObjects().size();
        SheetHost<CSheetRoute> host;
        CSheetRoute* editor = Open(host);
        ASSERT_NE(editor, nullptr);
        WindowRef const sheet = host.GetSheetWindow();
        Click(sheet, 'addw');
        Click(sheet, 'addw');
        EXPECT_EQ(mDocument->GetObjects().size(), objects + 2);
        InputDriver::Click(Row(sheet, 1));
        Run(1.0);
        Click(sheet, 'delw');
        Click(sheet, 'down');
        Retype("Renamed");
        Key(kKeyEscape, 0x1B);
        EXPECT_EQ(host.GetCompleted(), (std::vector<UInt32> { 'not!' }));
        EXPECT_EQ(mDocument->GetObjects().size(), objects); // both new waypoints went
        std::vector<RouteSegment> const after = mRoute->GetSegments();
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t i = 0; i < after.size(); ++i)
            EXPECT_EQ(after[i].waypoint, before[i].waypoint);
        EXPECT_EQ(mRoute->GetName().GetStdString(), "Coast");
    }

    TEST_F(RouteSheet, NewWaypointsAreNamedUniquelyAndPlacedBesideTheLastOne)
    {
        SheetHost<CSheetRoute> host;
        CSheetRoute* editor = Open(host);
        ASSERT_NE(editor, nullptr);
        WindowRef const sheet = host.GetSheetWindow();
        CViewMap* view = mDocument->GetMapView();
        view->SetMapZoom(CHIView::kZoomFactor, nullptr, 12);
        Click(sheet, 'addw');
        ASSERT_EQ(editor->GetWorkingList().size(), 4u);
        CMapWaypoint* first = editor->GetWorkingList().back().waypoint;
        EXPECT_EQ(first->GetName().GetStdString(), "Untitled");
        EXPECT_EQ(first->GetSymbol(), kWaypointSymbolDot);
        CGPoint const from = view->Project(mC->GetPosition());
        CGPoint const to = view->Project(first->GetPosition());
        EXPECT_NEAR(to.x - from.x, 50, 0.01);
        EXPECT_NEAR(to.y - from.y, -50, 0.01);
        EXPECT_EQ(first->GetPosition().GetAltitude(), 0);
        Click(sheet, 'addw');
        EXPECT_EQ(editor->GetWorkingList().back().waypoint->GetName().GetStdString(), "Untitled 1");
        EXPECT_EQ(Chosen(sheet), (std::vector<DataBrowserItemID> { 5 }));
        // Removing a leg whose waypoint the sheet made deletes it from the document at once.
        std::size_t const objects = mDocument->GetObjects().size();
        Click(sheet, 'delw');
        EXPECT_EQ(mDocument->GetObjects().size(), objects - 1);
        // Removing a leg of an earlier waypoint only drops it from the route.
        InputDriver::Click(Row(sheet, 0));
        Run(1.0);
        Click(sheet, 'delw');
        EXPECT_EQ(mDocument->GetObjects().size(), objects - 1);
        Click(sheet, 'ok  ');
        EXPECT_EQ(Legs(), (std::vector<std::string> { "B", "C", "Untitled" }));
    }

    // Beside a last waypoint at the world's east edge, zoomed out: the new one is round the
    // world at its west edge, a position the document reads back.
    TEST_F(RouteSheet, NewWaypointsBesideTheWorldsEdgeWrapAround)
    {
        mC->SetPosition(CCoordinate(10, 179.5));
        SheetHost<CSheetRoute> host;
        CSheetRoute* editor = Open(host);
        ASSERT_NE(editor, nullptr);
        CViewMap* view = mDocument->GetMapView();
        for (UInt32 level : { 0u, 2u }) {
            view->SetMapZoom(CHIView::kZoomFactor, nullptr, level);
            ASSERT_EQ(view->GetMapZoom(), level);
            mC->SetPosition(CCoordinate(10, 179.5));
            Click(host.GetSheetWindow(), 'addw');
            CCoordinate const made = editor->GetWorkingList().back().waypoint->GetPosition();
            EXPECT_NEAR(made.GetLongitude(), 179.5 + 50 * 360 / CMapGeometry::GetImageSide(level) - 360, 1e-6);
            EXPECT_TRUE(CMapCodingUtilities::IsValidLongitude(made.GetLongitude())) << made.GetLongitude();
            EXPECT_GT(made.GetLatitude(), 10);
            Click(host.GetSheetWindow(), 'delw');
        }
    }

    TEST_F(RouteSheet, AnEmptyRouteGetsItsFirstNewWaypointAtZeroZero)
    {
        CMapRoute* empty = AddRoute("Empty");
        mRoute = empty;
        SheetHost<CSheetRoute> host;
        CSheetRoute* editor = Open(host);
        ASSERT_NE(editor, nullptr);
        Click(host.GetSheetWindow(), 'addw');
        ASSERT_EQ(editor->GetWorkingList().size(), 1u);
        EXPECT_EQ(editor->GetWorkingList()[0].waypoint->GetPosition(), CCoordinate(0, 0, 0));
    }

    TEST_F(RouteSheet, AWaypointTheSheetMadeStaysWhileAnotherLegStillUsesIt)
    {
        SheetHost<CSheetRoute> host;
        CSheetRoute* editor = Open(host);
        ASSERT_NE(editor, nullptr);
        WindowRef const sheet = host.GetSheetWindow();
        Click(sheet, 'addw');
        CMapWaypoint* made = editor->GetWorkingList().back().waypoint;
        // The picker offers it like any waypoint of the document: chosen twice over.
        mDocument->SelectObject(made, true);
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.1, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                InputDriver::Key(kKeyDown, 0);
                InputDriver::Key(kKeyDown, 0);
                InputDriver::Key(kKeyDown, 0);
                InputDriver::Key(kKeyDown, 0);
                InputDriver::Key(kKeyReturn, '\r');
            },
            nullptr, &timer);
        Click(sheet, 'adds');
        Run(0.5);
        ASSERT_EQ(Working(editor), (std::vector<std::string> { "A", "B", "C", "Untitled", "Untitled" }));
        std::size_t const objects = mDocument->GetObjects().size();
        Click(sheet, 'delw'); // the last leg, chosen after adding
        EXPECT_EQ(mDocument->GetObjects().size(), objects) << "deleted while a leg still uses it";
        InputDriver::Click(Row(sheet, 3));
        Run(1.0);
        Click(sheet, 'delw');
        EXPECT_EQ(mDocument->GetObjects().size(), objects - 1);
        Key(kKeyEscape, 0x1B);
        EXPECT_EQ(mDocument->GetObjects().size(), objects - 1);
    }

    TEST_F(RouteSheet, ThePickerAddsTheChosenWaypointsInDocumentOrderAndCancelAddsNone)
    {
        CMapWaypoint* d = AddWaypoint("D", 57.73, 12.05);
        mRoute->RemoveWaypoint(-1); // A, B
        SheetHost<CSheetRoute> host;
        CSheetRoute* editor = Open(host);
        ASSERT_NE(editor, nullptr);
        WindowRef const sheet = host.GetSheetWindow();
        std::string prompt;
        std::size_t listed = 0;
        static std::function<void()> sInPicker;
        auto runPicker = [&](std::function<void()> inPicker) {
            sInPicker = std::move(inPicker);
            EventLoopTimerRef timer = nullptr;
            InstallEventLoopTimer(
                GetMainEventLoop(), 0.1, 0,
                [](EventLoopTimerRef t, void*) {
                    RemoveEventLoopTimer(t);
                    sInPicker();
                },
                nullptr, &timer);
            Click(sheet, 'adds');
            Run(0.5);
        };
        // Cancelled: nothing added, nothing left selected.
        runPicker([&] {
            WindowRef picker = GetFrontWindowOfClass(kMovableModalWindowClass, true);
            prompt = cf::ToUTF8(Find(picker, 'rnam')->GetTitle());
            listed = toolbox::databrowser::FindDataBrowser(Find(picker, 'wayp'))->Model().RowCount();
            Shot("dialog-route-waypoints.png");
            InputDriver::Key(kKeyDown, 0);
            InputDriver::Key(kKeyEscape, 0x1B);
        });
        EXPECT_EQ(prompt, "Choose the waypoints to add to “Coast”:");
        EXPECT_EQ(listed, 4u);
        EXPECT_EQ(Working(editor), (std::vector<std::string> { "A", "B" }));
        for (CMapObject* object : mDocument->GetObjects())
            EXPECT_FALSE(object->IsSelected());
        // D then A chosen (Command-clicks), confirmed with Return: added in document order.
        runPicker([&] {
            WindowRef picker = GetFrontWindowOfClass(kMovableModalWindowClass, true);
            ControlRef list = Find(picker, 'wayp');
            auto row = [&](std::size_t index) {
                CGRect const rect = toolbox::databrowser::FindDataBrowser(list)->RowRect(index);
                return Global(list, { rect.origin.x + 30, CGRectGetMidY(rect) });
            };
            InputDriver::Click(row(3));
            InputDriver::Click(row(0), cmdKey);
            InputDriver::Key(kKeyDelete, 8); // the picker never deletes
            InputDriver::Key(kKeyReturn, '\r');
        });
        EXPECT_EQ(Working(editor), (std::vector<std::string> { "A", "B", "A", "D" }));
        EXPECT_EQ(mDocument->GetObjects().size(), 5u);
        EXPECT_FALSE(d->IsSelected());
        EXPECT_FALSE(mA->IsSelected());
        // A double-click confirms the picker too.
        runPicker([&] {
            WindowRef picker = GetFrontWindowOfClass(kMovableModalWindowClass, true);
            ControlRef list = Find(picker, 'wayp');
            CGRect const rect = toolbox::databrowser::FindDataBrowser(list)->RowRect(2);
            CGPoint const at = Global(list, { rect.origin.x + 30, CGRectGetMidY(rect) });
            InputDriver::Click(at);
            InputDriver::Click(at);
        });
        EXPECT_EQ(Working(editor), (std::vector<std::string> { "A", "B", "A", "D", "C" }));
        Click(sheet, 'ok  ');
        EXPECT_EQ(Legs(), (std::vector<std::string> { "A", "B", "A", "D", "C" }));
    }

    TEST_F(RouteSheet, EveryButtonIsReachedFromTheKeyboard)
    {
        SheetHost<CSheetRoute> host;
        CSheetRoute* editor = Open(host);
        ASSERT_NE(editor, nullptr);
        WindowRef const sheet = host.GetSheetWindow();
        EXPECT_EQ(Focus(sheet), Find(sheet, 'name'));
        Key(kKeyTab, '\t');
        Key(kKeyTab, '\t');
        EXPECT_EQ(Focus(sheet), List(sheet));
        Key(kKeyDown, 0);
        Key(kKeyDown, 0); // B chosen
        std::vector<OSType> reached;
        for (int i = 0; i < 5; ++i) {
            Key(kKeyTab, '\t');
            ControlID id {};
            GetControlID(Focus(sheet), &id);
            reached.push_back(id.signature);
        }
        EXPECT_EQ(reached, (std::vector<OSType> { 'adds', 'addw', 'delw', 'up  ', 'down' }));
        Key(kKeySpace, ' '); // Move Down
        EXPECT_EQ(Working(editor), (std::vector<std::string> { "A", "C", "B" }));
        Key(kKeyTab, '\t', shiftKey);
        Key(kKeySpace, ' '); // Move Up
        EXPECT_EQ(Working(editor), (std::vector<std::string> { "A", "B", "C" }));
        Key(kKeyReturn, '\r');
        EXPECT_EQ(host.GetCompleted(), (std::vector<UInt32> { 'ok  ' }));
    }

    // Space as the keyboard gives it: the key goes down, its text follows, held it repeats, then it comes up.
    void PressSpace(int repeats = 0)
    {
        InputDriver::PressAndType(display::kVK_Space, ' ', repeats);
        ManualClock::RunFor(0.2);
    }

    // A button that greys itself hands the focus on; the Space that pressed it types nothing there.
    TEST_F(RouteSheet, TheSpaceThatPressesAButtonIsNotTypedWhereTheFocusGoesNext)
    {
        struct Case {
            std::size_t row; // chosen with the keyboard, from the top
            int tabs; // from the list to the button
            int repeats; // of the held Space
            std::vector<std::string> legs;
        };
        for (Case const& c : { Case { 1, 4, 0, { "B", "A", "C" } }, Case { 1, 5, 0, { "A", "C", "B" } },
                 Case { 2, 3, 0, { "A", "B" } }, Case { 1, 4, 6, { "B", "A", "C" } } }) {
            SCOPED_TRACE(testing::Message() << "row " << c.row << ", tabs " << c.tabs << ", repeats " << c.repeats);
            SheetHost<CSheetRoute> host;
            CSheetRoute* editor = Open(host);
            ASSERT_NE(editor, nullptr);
            WindowRef const sheet = host.GetSheetWindow();
            Key(kKeyTab, '\t');
            Key(kKeyTab, '\t');
            ASSERT_EQ(Focus(sheet), List(sheet));
            for (std::size_t i = 0; i <= c.row; ++i)
                Key(kKeyDown, 0);
            for (int i = 0; i < c.tabs; ++i)
                Key(kKeyTab, '\t');
            PressSpace(c.repeats);
            EXPECT_EQ(Working(editor), c.legs);
            EXPECT_EQ(Focus(sheet), Find(sheet, 'name'));
            EXPECT_EQ(Text(sheet, 'name'), "Coast");
            Key(kKeyReturn, '\r');
            ASSERT_EQ(host.GetCompleted(), (std::vector<UInt32> { 'ok  ' }));
            EXPECT_EQ(mRoute->GetName().GetStdString(), "Coast");
            EXPECT_EQ(Legs(), c.legs);
            // The next case starts from the route as it was.
            mRoute->SetName(CString("Coast"));
            while (mRoute->GetSegments().size())
                mRoute->RemoveWaypoint(0);
            for (CMapWaypoint* waypoint : { mA, mB, mC })
                mRoute->AddWaypoint(-1, waypoint, false);
        }
        // Where the focus stays, the same keys type: the name field takes Space and its repeats.
        SheetHost<CSheetRoute> host;
        ASSERT_NE(Open(host), nullptr);
        WindowRef const sheet = host.GetSheetWindow();
        ASSERT_EQ(Focus(sheet), Find(sheet, 'name'));
        Key(124, 0); // to the end of the name
        PressSpace(2);
        EXPECT_EQ(Text(sheet, 'name'), "Coast   ");
    }

} // namespace
} // namespace tw::test
