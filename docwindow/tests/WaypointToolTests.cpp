// The waypoint tool and the waypoint's place on the map: names, symbol sizes by level and
// room, labels, and the markers with a halo.

#include "MapToolTest.h"
#include "docwindow/CCanvasWaypoint.h"

namespace tw::test {
namespace {

    class WaypointTool : public MapToolTest {
    protected:
        CCanvasWaypoint* Twin(CMapObject* object) const
        {
            return static_cast<CCanvasWaypoint*>(mView->FindCanvasObject(object));
        }
    };

    TEST_F(WaypointTool, NewWaypointsAreNumberedAndLandWhereTheButtonIsReleased)
    {
        Choose(kToolWaypoint);
        Drag(At(100, 100), At(140, 100), kOption); // released 40 pixels on
        Click(At(300, 200), kOption);
        Click(At(350, 250));
        auto const waypoints = ObjectsOf<CMapWaypoint>(kMapObjectWaypoint);
        ASSERT_EQ(waypoints.size(), 3u);
        EXPECT_EQ(Name(waypoints[0]), "Untitled");
        EXPECT_EQ(Name(waypoints[1]), "Untitled 1");
        EXPECT_EQ(Name(waypoints[2]), "Untitled 2");
        CGPoint const p = mView->Project(waypoints[0]->GetPosition());
        EXPECT_NEAR(p.x, At(140, 100).x, 0.01);
        EXPECT_NEAR(p.y, At(140, 100).y, 0.01);
        EXPECT_EQ(waypoints[0]->GetSymbol(), kWaypointSymbolDefault);
        EXPECT_EQ(waypoints[0]->GetOptions(), kWaypointShowName);
        EXPECT_EQ(Selected(), std::vector<CMapObject*>({ waypoints[2] }));
        EXPECT_EQ(mDocument.GetTool(), kToolHand);
    }

    // While the button is down the new waypoint's symbol follows the pointer; it is not yet
    // the document's.
    TEST_F(WaypointTool, TheSymbolFollowsThePointerWhileTheButtonIsDown)
    {
        Choose(kToolWaypoint);
        Draw();
        auto pixelAt = [&](CGPoint image) {
            CGPoint const screen = Screen(image);
            Rect structure {};
            GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
            return ProbeWindow(mWindow).At(int(screen.x) - structure.left, int(screen.y) - structure.top);
        };
        CGPoint const to = At(300, 200);
        Pixel const before = pixelAt({ to.x - 4, to.y });
        Pixel during {};
        std::size_t objects = 99;
        InputDriver::MouseDown(Screen(At(250, 200)));
        InputDriver::MouseMove(Screen({ to.x - 10, to.y }));
        InputDriver::MouseMove(Screen(to));
        ReleaseLater(to, [&] {
            mWindow->Update();
            during = pixelAt({ to.x - 4, to.y });
            objects = mDocument.mObjects.size();
        });
        EXPECT_EQ(objects, 0u);
        EXPECT_GT(std::abs(during.r - before.r) + std::abs(during.g - before.g) + std::abs(during.b - before.b), 60)
            << "the symbol is drawn under the pointer";
        EXPECT_EQ(mDocument.mObjects.size(), 1u);
    }

    TEST_F(WaypointTool, NearLevelsGiveTheUpperOfTwoWaypointsTheLargeSymbol)
    {
        CMapWaypoint* lower = AddWaypoint(At(200, 200), "Lower");
        CMapWaypoint* upper = AddWaypoint(At(205, 202), "Upper");
        Draw();
        EXPECT_EQ(mView->GetMapZoom(), 12u);
        EXPECT_EQ(Twin(upper)->GetSymbolSize(), kSymbolSizeSmall) << "level 12 has small symbols";
        EXPECT_FALSE(Twin(lower)->IsVisible()) << "its place is taken";
        EXPECT_TRUE(CGRectIsEmpty(Twin(lower)->GetLabelRect())) << "a hidden symbol shows no label";

        mView->SetMapZoom(CHIView::kZoomIn, nullptr, 0);
        Draw();
        // At level 13 the two lie twice as far apart: the upper takes 32 pixels, the lower
        // finds no room for 16 beside it.
        EXPECT_EQ(Twin(upper)->GetSymbolSize(), kSymbolSizeLarge);
        EXPECT_FALSE(Twin(lower)->IsVisible());
        // Moved 60 pixels down, the lower one fits at 16 beside the large symbol.
        CGPoint const above = mView->Project(upper->GetPosition());
        lower->SetPosition(mView->Unproject(CGPointMake(above.x, above.y + 60)));
        Draw();
        EXPECT_TRUE(Twin(lower)->IsVisible());
        EXPECT_EQ(Twin(lower)->GetSymbolSize(), kSymbolSizeLarge) << "room enough below the label";
    }

    TEST_F(WaypointTool, LabelsFollowTheDisplayOptionAndLevel)
    {
        CMapWaypoint* waypoint = AddWaypoint(At(200, 200), "Harbour");
        Draw();
        CCanvasWaypoint* twin = Twin(waypoint);
        EXPECT_EQ(twin->GetLabel().GetStdString(), "Harbour");
        CGRect const symbol = twin->GetSymbolRect(), label = twin->GetLabelRect();
        ASSERT_FALSE(CGRectIsEmpty(label));
        EXPECT_NEAR(CGRectGetMidX(label), CGRectGetMidX(symbol), 1.0) << "centred below";
        EXPECT_NEAR(CGRectGetMinY(label), std::floor(CGRectGetMaxY(symbol) + 3), 0.01) << "3 pixels under it";
        EXPECT_EQ(label.origin.x, std::floor(label.origin.x)) << "whole pixels";
        EXPECT_NEAR(CGRectGetHeight(twin->GetBounds()), CGRectGetMaxY(label) - CGRectGetMinY(symbol), 0.01);

        waypoint->SetDescription(CString("By the quay"));
        waypoint->SetOptions(kWaypointShowComment);
        EXPECT_EQ(twin->GetLabel().GetStdString(), "By the quay");
        waypoint->SetOptions(kWaypointShowSymbol);
        EXPECT_TRUE(twin->GetLabel().IsEmpty());
        waypoint->SetOptions(kWaypointShowName);
        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, 0);
        Draw();
        EXPECT_TRUE(CGRectIsEmpty(twin->GetLabelRect())) << "no label at the farthest level";
    }

    TEST_F(WaypointTool, AMarkerWithAHaloKeepsItsLargeSymbolAndCannotBeSelected)
    {
        CMapWaypoint* plain = AddWaypoint(At(300, 200), "Plain");
        CMapWaypoint* marker = AddWaypoint(At(302, 201), "Target",
            kMapObjectAttrTemporary | kMapObjectAttrHalo | kMapObjectAttrLarge);
        mView->SetObjectZOrder(CCanvasView::kZOrderAbove, Twin(plain), nullptr);
        Draw();
        EXPECT_EQ(Twin(marker)->GetSymbolSize(), kSymbolSizeLarge) << "under another symbol still";
        EXPECT_TRUE(Twin(marker)->IsVisible());
        EXPECT_FALSE(Twin(marker)->HasAttributes(CCanvasObject::kAttributeSelectable));
        // A click on it with the hand selects nothing.
        CGPoint const free = { CGRectGetMaxX(Twin(marker)->GetSymbolRect()) - 2, CGRectGetMinY(Twin(marker)->GetSymbolRect()) + 2 };
        Twin(plain)->SetVisible(false);
        Click(free);
        EXPECT_FALSE(marker->IsSelected());
        EXPECT_TRUE(Selected().empty());
    }

    TEST_F(WaypointTool, TheHandMovesAWaypointByItsSymbolAndTheLabelComesAlong)
    {
        CMapWaypoint* waypoint = AddWaypoint(At(200, 200), "Quay");
        Draw();
        Drag(At(200, 200), At(260, 230));
        CGPoint const p = mView->Project(waypoint->GetPosition());
        EXPECT_NEAR(p.x, At(260, 230).x, 0.5);
        EXPECT_NEAR(p.y, At(260, 230).y, 0.5);
        EXPECT_TRUE(waypoint->IsSelected());
        Draw();
        EXPECT_NEAR(CGRectGetMidX(Twin(waypoint)->GetSymbolRect()), At(260, 230).x, 0.5);
    }

    // Double click on a waypoint opens its editor; on empty map it centres without a new level.
    TEST_F(WaypointTool, ADoubleClickOpensAWaypointAndCentresOnEmptyMap)
    {
        CMapWaypoint* waypoint = AddWaypoint(At(200, 200), "Quay");
        Draw();
        DoubleClick(At(200, 200));
        EXPECT_EQ(mDocument.mEdited, std::vector<CMapObject*>({ waypoint }));
        CGPoint const image = At(500, 100);
        CCoordinate const there = mView->Unproject(image);
        DoubleClick(image);
        CGPoint const centre = mView->Project(mView->GetMapCentre());
        CGPoint const now = mView->Project(there);
        EXPECT_NEAR(now.x, centre.x, 1);
        EXPECT_NEAR(now.y, centre.y, 1);
        EXPECT_EQ(mView->GetMapZoom(), 12u);
        EXPECT_EQ(mDocument.mEdited.size(), 1u);
    }

} // namespace
} // namespace tw::test
