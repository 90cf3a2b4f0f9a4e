// The route tool: building a route click by click, finishing, abandoning; and the route and
// track on the map.

#include "MapToolTest.h"
#include "docwindow/CCanvasRoute.h"
#include "docwindow/CCanvasTrack.h"
#include "docwindow/CToolRoute.h"

namespace tw::test {
namespace {

    class RouteTool : public MapToolTest {
    protected:
        CToolRoute* Tool() { return static_cast<CToolRoute*>(mTools.FindTool(kToolRoute)); }
        std::vector<CMapWaypoint*> Waypoints(CMapRoute const* route) const
        {
            std::vector<CMapWaypoint*> found;
            for (RouteSegment const& leg : route->GetSegments())
                found.push_back(leg.waypoint);
            return found;
        }
        // The waypoints of the document's one route; none, and a failure, when it has not one.
        std::vector<CMapWaypoint*> WaypointsOfTheRoute() const
        {
            auto const routes = ObjectsOf<CMapRoute>(kMapObjectRoute);
            EXPECT_EQ(routes.size(), 1u);
            return routes.size() == 1 ? Waypoints(routes[0]) : std::vector<CMapWaypoint*>();
        }
    };

    TEST_F(RouteTool, ThreeClicksAndADoubleClickMakeARouteOfFourNamedWaypoints)
    {
        Choose(kToolRoute);
        Click(At(100, 100));
        Click(At(200, 120));
        Move(At(250, 200));
        ASSERT_TRUE(Tool()->IsBuilding());
        CGPoint const floating = mView->Project(Tool()->GetFloatingEnd()->GetPosition());
        EXPECT_NEAR(floating.x, At(250, 200).x, 0.5) << "the floating end follows the pointer";
        EXPECT_EQ(Waypoints(&Tool()->GetWorkingRoute()).back(), Tool()->GetFloatingEnd()) << "and stays last";
        EXPECT_TRUE(ObjectsOf<CMapRoute>(kMapObjectRoute).empty()) << "the working route is not the document's";
        Click(At(300, 150));
        DoubleClick(At(400, 220));

        auto const routes = ObjectsOf<CMapRoute>(kMapObjectRoute);
        ASSERT_EQ(routes.size(), 1u);
        std::vector<CMapWaypoint*> const waypoints = Waypoints(routes[0]);
        ASSERT_EQ(waypoints.size(), 4u);
        EXPECT_EQ(Name(waypoints[0]), "Route Start");
        EXPECT_EQ(waypoints[0]->GetSymbol(), kWaypointSymbolDefault);
        EXPECT_EQ(Name(waypoints[1]), "Untitled");
        EXPECT_EQ(waypoints[1]->GetSymbol(), kWaypointSymbolDot);
        EXPECT_EQ(Name(waypoints[2]), "Untitled 1");
        EXPECT_EQ(Name(waypoints[3]), "Route End");
        EXPECT_EQ(waypoints[3]->GetSymbol(), kWaypointSymbolDefault);
        EXPECT_NEAR(mView->Project(waypoints[3]->GetPosition()).x, At(400, 220).x, 0.5);
        EXPECT_EQ(Name(routes[0]), "Untitled");
        EXPECT_EQ(Selected(), std::vector<CMapObject*>({ routes[0] }));
        EXPECT_EQ(mDocument.GetTool(), kToolHand);
        EXPECT_EQ(ObjectsOf<CMapWaypoint>(kMapObjectWaypoint).size(), 4u) << "the floating end is gone";
        EXPECT_FALSE(Tool()->IsBuilding());
        EXPECT_TRUE(Tool()->GetWorkingRoute().IsEmpty());
    }

    TEST_F(RouteTool, AClickWhereThePointerRestsMakesAWaypointAndNeverTakesTheFloatingEnd)
    {
        Choose(kToolRoute);
        Click(At(100, 100));
        Move(At(200, 150)); // the floating end is now under the pointer
        Click(At(200, 150));
        ASSERT_TRUE(Tool()->IsBuilding());
        std::vector<CMapWaypoint*> const working = Waypoints(&Tool()->GetWorkingRoute());
        ASSERT_EQ(working.size(), 3u) << "start, the new waypoint, the floating end";
        EXPECT_NE(working[1], Tool()->GetFloatingEnd());
        EXPECT_EQ(working[2], Tool()->GetFloatingEnd());
        DoubleClick(At(300, 100));

        std::vector<CMapWaypoint*> const waypoints = WaypointsOfTheRoute();
        ASSERT_EQ(waypoints.size(), 3u);
        EXPECT_EQ(Name(waypoints[1]), "Untitled");
        EXPECT_NEAR(mView->Project(waypoints[1]->GetPosition()).x, At(200, 150).x, 0.5);
        EXPECT_NEAR(mView->Project(waypoints[1]->GetPosition()).y, At(200, 150).y, 0.5);
        EXPECT_EQ(ObjectsOf<CMapWaypoint>(kMapObjectWaypoint).size(), 3u);
    }

    TEST_F(RouteTool, AClickNearAWaypointTakesItAndAFinishOnItKeepsItsName)
    {
        CMapWaypoint* home = AddWaypoint(At(100, 100), "Home");
        CMapWaypoint* shop = AddWaypoint(At(300, 100), "Shop");
        shop->SetSymbol('geoc');
        Choose(kToolRoute);
        Click(At(112, 112)); // 17 pixels away
        Click(At(200, 100));
        DoubleClick(At(300, 118)); // 18 pixels away
        std::vector<CMapWaypoint*> const waypoints = WaypointsOfTheRoute();
        ASSERT_EQ(waypoints.size(), 3u);
        EXPECT_EQ(waypoints[0], home);
        EXPECT_EQ(waypoints[2], shop);
        EXPECT_EQ(Name(shop), "Shop");
        EXPECT_EQ(shop->GetSymbol(), OSType('geoc'));
        EXPECT_EQ(Name(waypoints[1]), "Untitled") << "only a new first waypoint begins the route";
        // 20 pixels away is too far.
        Choose(kToolRoute);
        Click(At(100, 120));
        EXPECT_NE(Waypoints(&Tool()->GetWorkingRoute()).front(), home);
        Escape();
    }

    TEST_F(RouteTool, EscapeAbandonsTheRouteAndTheWaypointsMadeForItOnly)
    {
        CMapWaypoint* home = AddWaypoint(At(100, 100), "Home");
        CMapRectangle* other = new CMapRectangle;
        other->SetBounds(mView->Unproject(CGRectMake(At(400, 300).x, At(400, 300).y, 30, 30)));
        mDocument.AddObject(other);
        Choose(kToolRoute);
        Click(At(100, 100));
        Click(At(200, 150));
        Click(At(250, 250));
        EXPECT_EQ(mDocument.mObjects.size(), 5u) << "two new waypoints and the floating end";
        Escape();
        EXPECT_EQ(mDocument.mObjects, std::vector<CMapObject*>({ home, other }));
        EXPECT_EQ(mView->GetObjects(nullptr, CCanvasView::kMaskAll).size(), 2u);
        EXPECT_FALSE(Tool()->IsBuilding());
        EXPECT_EQ(mDocument.GetTool(), kToolRoute);
        // Choosing another tool abandons too.
        Click(At(300, 300));
        Click(At(320, 200));
        Choose(kToolHand);
        EXPECT_EQ(mDocument.mObjects, std::vector<CMapObject*>({ home, other }));
    }

    // Escape with the button still down abandons the route as Escape does otherwise, the first
    // press's waypoint and its name too: nothing of it stays on the map after the release.
    TEST_F(RouteTool, EscapeWithTheButtonDownAbandonsTheRouteAndLeavesNothingOnTheMap)
    {
        CMapWaypoint* home = AddWaypoint(At(300, 300), "Home");
        ASSERT_TRUE(Settle());
        auto const sample = [&] {
            CGPoint const topLeft = ViewInWindow({ 0, 0 });
            CGSize const size = mView->GetMapViewSize();
            PixelProbe const probe = ProbeMap();
            std::vector<Pixel> pixels;
            for (int x = 1; x < int(size.width); x += 2)
                for (int y = 1; y < int(size.height); y += 2)
                    pixels.push_back(probe.At(int(topLeft.x) + x, int(topLeft.y) + y));
            return pixels;
        };
        auto const differing = [](std::vector<Pixel> const& a, std::vector<Pixel> const& b) {
            int differ = 0;
            for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
                differ += a[i].r != b[i].r || a[i].g != b[i].g || a[i].b != b[i].b;
            return differ;
        };
        for (int clicksBefore : { 0, 2 }) {
            SCOPED_TRACE(clicksBefore);
            Choose(kToolRoute);
            for (int i = 0; i < clicksBefore; ++i)
                Click(At(150 + 60 * i, 120));
            CGPoint const from = At(200, 200), to = At(260, 230);
            InputDriver::MouseDown(Screen(from));
            InputDriver::MouseMove(Screen({ from.x + 20, from.y + 10 }));
            InputDriver::MouseMove(Screen(to));
            bool building = false;
            ReleaseLater(to, [&] {
                building = Tool()->IsBuilding();
                InputDriver::Key(53, 0x1B);
                InputDriver::MouseMove(Screen({ to.x + 10, to.y + 5 }));
            });
            EXPECT_TRUE(building) << "the press began a route";
            EXPECT_FALSE(Tool()->IsBuilding()) << "the route kept building after Escape";
            EXPECT_EQ(mDocument.mObjects, std::vector<CMapObject*>({ home }));
            EXPECT_EQ(mDocument.GetTool(), kToolRoute);
            mWindow->Update();
            std::vector<Pixel> const shown = sample();
            mView->SetNeedsDisplay(true, nullptr);
            mWindow->Update();
            EXPECT_EQ(differing(shown, sample()), 0) << "a mark of the abandoned route stayed on the map";
            // The next click begins a new route.
            Click(At(320, 150));
            EXPECT_EQ(Waypoints(&Tool()->GetWorkingRoute()).size(), 2u) << "one waypoint and the floating end";
            Escape();
            EXPECT_EQ(mDocument.mObjects, std::vector<CMapObject*>({ home }));
        }
    }

    // Space held pans with the hand and keeps the route; building goes on after it.
    TEST_F(RouteTool, TheHandHeldWithSpaceKeepsTheRouteBeingBuilt)
    {
        auto const space = [](display::InputKind kind) {
            display::InputEvent input = InputDriver::Make(kind);
            input.keyCode = 49;
            input.character = ' ';
            InputDriver::Post(input);
            if (kind == display::InputKind::KeyDown) {
                display::InputEvent text = InputDriver::Make(display::InputKind::Text);
                text.text = " ";
                InputDriver::Post(text);
            }
            ManualClock::RunFor(0.1);
        };
        Choose(kToolRoute);
        Click(At(100, 100));
        Click(At(200, 120));
        ASSERT_EQ(mDocument.mObjects.size(), 3u) << "two waypoints and the floating end";
        CGPoint const origin = mView->GetImageOrigin();
        space(display::InputKind::KeyDown);
        EXPECT_EQ(mDocument.GetTool(), kToolHand);
        Drag(At(300, 300), At(260, 300));
        EXPECT_NE(mView->GetImageOrigin().x, origin.x) << "the hand panned";
        EXPECT_EQ(mDocument.mObjects.size(), 3u) << "nothing was abandoned";
        space(display::InputKind::KeyUp);
        EXPECT_EQ(mDocument.GetTool(), kToolRoute);
        EXPECT_TRUE(Tool()->IsBuilding());
        Click(At(300, 150));
        DoubleClick(At(400, 220));
        std::vector<CMapWaypoint*> const waypoints = WaypointsOfTheRoute();
        ASSERT_EQ(waypoints.size(), 4u);
        EXPECT_EQ(Name(waypoints[0]), "Route Start");
        EXPECT_EQ(Name(waypoints[3]), "Route End");
        // Another tool chosen for good still abandons.
        Choose(kToolRoute);
        Click(At(100, 300));
        Choose(kToolRuler);
        EXPECT_EQ(ObjectsOf<CMapWaypoint>(kMapObjectWaypoint).size(), 4u);
    }

    TEST_F(RouteTool, ADoubleClickFirstMakesARouteOfOneWaypointAndStrayDoubleClicksMakeNone)
    {
        Choose(kToolRoute);
        DoubleClick(At(200, 200));
        auto routes = ObjectsOf<CMapRoute>(kMapObjectRoute);
        ASSERT_EQ(routes.size(), 1u);
        EXPECT_EQ(Waypoints(routes[0]).size(), 1u);
        auto* twin = static_cast<CCanvasRoute*>(mView->FindCanvasObject(routes[0]));
        ASSERT_NE(twin, nullptr);
        twin->UpdatePoints();
        EXPECT_LT(twin->GetPoints().size(), 2u);
        EXPECT_EQ(twin->IsHitBy(At(200, 200)), kObjectHitNone) << "one waypoint draws nothing and is not hit";

        // Option keeps the tool; the next click within the double-click time starts a route
        // rather than finishing an empty one.
        Choose(kToolRoute);
        Click(At(100, 300));
        DoubleClick(At(200, 300), kOption);
        EXPECT_EQ(mDocument.GetTool(), kToolRoute);
        EXPECT_EQ(ObjectsOf<CMapRoute>(kMapObjectRoute).size(), 2u);
        InputDriver::MouseDown(Screen(At(300, 300)));
        InputDriver::MouseUp(Screen(At(300, 300)));
        ManualClock::RunFor(0.6);
        EXPECT_EQ(ObjectsOf<CMapRoute>(kMapObjectRoute).size(), 2u);
        EXPECT_TRUE(Tool()->IsBuilding()) << "a new route has begun";
        Escape();
    }

    // A waypoint the user removes while the route is built is forgotten: abandoning later
    // removes nothing else.
    TEST_F(RouteTool, AMadeWaypointRemovedWhileBuildingIsForgotten)
    {
        Choose(kToolRoute);
        Click(At(100, 100));
        Click(At(200, 100));
        auto waypoints = ObjectsOf<CMapWaypoint>(kMapObjectWaypoint);
        ASSERT_EQ(waypoints.size(), 3u);
        mDocument.RemoveObject(waypoints[1]);
        CMapWaypoint* later = AddWaypoint(At(400, 300), "Later");
        Escape();
        EXPECT_EQ(mDocument.mObjects, std::vector<CMapObject*>({ later }));
    }

    TEST_F(RouteTool, RoutesAndTracksAreHitAlongTheirLines)
    {
        auto* track = new CMapTrack;
        std::vector<CCoordinatePVT> samples;
        for (int i = 0; i <= 100; ++i)
            samples.emplace_back(mView->Unproject(At(100 + 3 * i, 300)), CDateTime());
        track->SetSamples(samples);
        mDocument.AddObject(track);
        auto* twin = static_cast<CCanvasTrack*>(mView->FindCanvasObject(track));
        EXPECT_EQ(twin->IsHitBy(At(250, 303.5)), kObjectHitBody);
        EXPECT_EQ(twin->IsHitBy(At(250, 305)), kObjectHitNone);
        EXPECT_FALSE(twin->HasAttributes(CCanvasObject::kAttributeMovable));
        EXPECT_LE(twin->GetPoints().size(), 101u);

        auto* single = new CMapTrack;
        single->SetSamples({ CCoordinatePVT(mView->Unproject(At(500, 100)), CDateTime()) });
        mDocument.AddObject(single);
        CCanvasMapObject* one = mView->FindCanvasObject(single);
        EXPECT_EQ(one->IsHitBy(At(503, 102)), kObjectHitBody) << "one sample is hit within 4 pixels";
        EXPECT_EQ(one->IsHitBy(At(504, 103)), kObjectHitNone);

        Choose(kToolRoute);
        Click(At(100, 100));
        DoubleClick(At(300, 200));
        CMapRoute* route = ObjectsOf<CMapRoute>(kMapObjectRoute).at(0);
        CCanvasMapObject* line = mView->FindCanvasObject(route);
        EXPECT_EQ(line->IsHitBy(At(200, 155)), kObjectHitBody);
        EXPECT_EQ(line->IsHitBy(At(200, 130)), kObjectHitNone);
    }

} // namespace
} // namespace tw::test
