// The twins of map objects: their making and going with the document's messages, selection
// both ways, visibility, and the polyline helpers.

#include "MapToolTest.h"
#include "docwindow/CCanvasRectangle.h"
#include "docwindow/CCanvasTrack.h"

namespace tw::test {
namespace {

    class MapTwins : public MapToolTest { };

    TEST_F(MapTwins, TheDocumentsMessagesMakeMoveAndRemoveTwins)
    {
        auto* rectangle = new CMapRectangle;
        rectangle->SetBounds(mView->Unproject(CGRectMake(At(100, 100).x, At(100, 100).y, 40, 20)));
        rectangle->SetAttributes(kMapObjectAttrSelected, 0);
        mDocument.mObjects.push_back(rectangle);
        rectangle->AddListener(&mDocument);
        mDocument.BroadcastMessage('doad', rectangle);
        CCanvasMapObject* twin = mView->FindCanvasObject(rectangle);
        ASSERT_NE(dynamic_cast<CCanvasRectangle*>(twin), nullptr);
        EXPECT_TRUE(twin->IsSelected()) << "a selected object comes selected";
        EXPECT_EQ(twin->GetMapView(), mView);
        EXPECT_NEAR(twin->GetBounds().size.width, 40, 0.01);

        // A change of the object, and of the level, reach the twin.
        rectangle->SetBounds(mView->Unproject(CGRectMake(At(100, 100).x, At(100, 100).y, 60, 20)));
        EXPECT_NEAR(twin->GetBounds().size.width, 60, 0.01);
        mView->SetMapZoom(CHIView::kZoomIn, nullptr, 0);
        EXPECT_NEAR(twin->GetBounds().size.width, 120, 0.01);

        // Selection in the document reaches the map, and the other way round.
        mDocument.SelectObject(nullptr, false);
        EXPECT_FALSE(twin->IsSelected());
        twin->SetSelected(true);
        EXPECT_TRUE(rectangle->IsSelected());

        // An unknown type gets no twin; a reset rebuilds from the document.
        auto* other = new CMapRectangle;
        mDocument.mObjects.push_back(other);
        mDocument.BroadcastMessage('dors', nullptr);
        EXPECT_EQ(mView->GetObjects(nullptr, CCanvasView::kMaskAll).size(), 2u);
        EXPECT_NE(mView->FindCanvasObject(other), nullptr);
        mDocument.RemoveObject(rectangle);
        EXPECT_EQ(mView->FindCanvasObject(rectangle), nullptr);
        EXPECT_EQ(mView->GetObjects(nullptr, CCanvasView::kMaskAll).size(), 1u);
    }

    TEST_F(MapTwins, DeleteRemovesTheSelectedObjectsAndReturnOpensTheFirst)
    {
        std::vector<CMapObject*> made;
        for (double const x : { 100.0, 200.0, 300.0 }) {
            auto* rectangle = new CMapRectangle;
            rectangle->SetBounds(mView->Unproject(CGRectMake(At(x, 100).x, At(x, 100).y, 40, 40)));
            mDocument.AddObject(rectangle);
            made.push_back(rectangle);
        }
        mDocument.SelectObject(made[0], true);
        mDocument.SelectObject(made[2], true);
        mView->OpenSelection();
        EXPECT_EQ(mDocument.mEdited.size(), 1u);
        mView->RemoveSelection();
        EXPECT_EQ(mDocument.mObjects, std::vector<CMapObject*>({ made[1] }));
        EXPECT_EQ(mView->GetObjects(nullptr, CCanvasView::kMaskAll).size(), 1u);
    }

    TEST_F(MapTwins, SmallTwinsAreNeitherDrawnNorHitButInvertedOnesStayVisible)
    {
        auto* rectangle = new CMapRectangle;
        mDocument.AddObject(rectangle);
        CCanvasMapObject* twin = mView->FindCanvasObject(rectangle);
        twin->SetBounds(CGRectMake(100, 100, 4, 4));
        EXPECT_FALSE(twin->IsVisible());
        twin->SetBounds(CGRectMake(100, 100, 5, 1));
        EXPECT_TRUE(twin->IsVisible());
        twin->SetBounds(CGRectMake(100, 100, -30, -20)); // resized past its opposite corner
        EXPECT_TRUE(twin->IsVisible());
    }

    TEST(MapTwinLines, AVertexOrASegmentWithinTheToleranceIsAHit)
    {
        std::vector<CGPoint> const line { { 10, 10 }, { 110, 10 }, { 110, 60 } };
        EXPECT_TRUE(CCanvasMapObject::IsLineHitBy(line, 3, { 60, 13 }));
        EXPECT_FALSE(CCanvasMapObject::IsLineHitBy(line, 3, { 60, 13.5 }));
        EXPECT_TRUE(CCanvasMapObject::IsLineHitBy(line, 3, { 113, 40 }));
        EXPECT_FALSE(CCanvasMapObject::IsLineHitBy(line, 3, { 5, 5 })) << "beyond the end";
        // Two points in one pixel make no segment: only their vertices count.
        std::vector<CGPoint> const dot { { 10.1, 10.1 }, { 10.9, 10.9 } };
        EXPECT_TRUE(CCanvasMapObject::IsLineHitBy(dot, 1, { 10.1, 11 }));
        EXPECT_FALSE(CCanvasMapObject::IsLineHitBy({ { 10.2, 10.2 }, { 10.9, 10.2 } }, 0.1f, { 10.55, 10.2 }));
        // Far out, points 65536 pixels apart are different pixels.
        std::vector<CGPoint> const far { { 100000, 5000 }, { 165536, 5000 } };
        EXPECT_TRUE(CCanvasMapObject::IsLineHitBy(far, 4, { 130000, 5002 }));
        EXPECT_FALSE(CCanvasMapObject::IsLineHitBy({}, 4, { 0, 0 }));
    }

    TEST_F(MapTwins, ReductionKeepsThePointsMoreThanTwoPixelsApart)
    {
        auto* track = new CMapTrack;
        mDocument.AddObject(track);
        CCanvasMapObject* twin = mView->FindCanvasObject(track);
        std::vector<CGPoint> points;
        CGPoint const base = At(100, 100);
        auto at = [&](double dx, double dy) { return mView->Unproject(CGPointMake(base.x + dx, base.y + dy)); };
        twin->ProjectReduce({}, points);
        EXPECT_TRUE(points.empty());
        twin->ProjectReduce({ at(0, 0) }, points);
        EXPECT_EQ(points.size(), 1u);
        twin->ProjectReduce({ at(0, 0), at(1, 1), at(1.5, 0), at(0, 1.9) }, points);
        EXPECT_EQ(points.size(), 1u) << "all within 2 pixels of the first";
        twin->ProjectReduce({ at(0, 0), at(2.5, 0), at(3, 0), at(6, 0), at(7, 0) }, points);
        ASSERT_EQ(points.size(), 3u) << "the last is dropped when it lies close to the last kept";
        EXPECT_NEAR(points[1].x, base.x + 2.5, 0.01);
        EXPECT_NEAR(points[2].x, base.x + 6, 0.01);
    }

    // Drawing adds only the runs of a long track that the view shows.
    TEST(MapTwinLines, APolylineAddsOnlyThePartsMeetingTheArea)
    {
        CProjectedPolyline polyline;
        for (int i = 0; i < 100000; ++i)
            polyline.EditPoints().push_back({ double(i), double(50 + i % 2) });
        polyline.Measure();
        std::vector<UInt32> pixels(100);
        CGContextRef context = CGBitmapContextCreate(
            pixels.data(), 10, 10, 8, 40, nullptr, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
        ASSERT_NE(context, nullptr);
        CGContextBeginPath(context);
        std::size_t const added = polyline.AddToPath(context, CGRectMake(5000, 0, 300, 100));
        EXPECT_GE(added, 300u);
        EXPECT_LE(added, 310u);
        CGContextBeginPath(context);
        EXPECT_EQ(polyline.AddToPath(context, CGRectMake(0, 200, 1000, 100)), 0u);
        CGContextRelease(context);
    }

    // Strokes the polyline's path for a 20-pixel square area into a bitmap of that area;
    // answers how many pixels of the rectangle were painted.
    int PaintedPixels(CProjectedPolyline const& polyline, CGRect const& inside)
    {
        std::vector<UInt32> pixels(20 * 20, 0);
        CGContextRef context = CGBitmapContextCreate(
            pixels.data(), 20, 20, 8, 80, nullptr, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
        CGContextBeginPath(context);
        polyline.AddToPath(context, CGRectMake(0, 0, 20, 20));
        CGContextSetRGBStrokeColor(context, 0, 0, 0, 1);
        CGContextSetLineWidth(context, 2);
        CGContextStrokePath(context);
        CGContextRelease(context);
        int painted = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) // the first row of memory is the top, y 19 to 20
                painted += pixels[std::size_t(y * 20 + x)] != 0 && CGRectContainsPoint(inside, CGPointMake(x + 0.5, 19.5 - y));
        return painted;
    }

    TEST(MapTwinLines, ARunThatMeetsTheAreaOnlyAtItsLastPointDrawsItsLastSegment)
    {
        // The first run lies far above but for its last point, in the middle of the area; the
        // next run goes off to the right along the middle.
        CProjectedPolyline polyline;
        for (std::size_t i = 0; i < CProjectedPolyline::kRunLength - 1; ++i)
            polyline.EditPoints().push_back({ 100.0 + double(i), -100 });
        polyline.EditPoints().push_back({ 5, -100 });
        polyline.EditPoints().push_back({ 5, 10 }); // the run's last point
        polyline.EditPoints().push_back({ 100, 10 });
        polyline.EditPoints().push_back({ 100, 200 });
        polyline.Measure();
        // The segment coming down column 5 into the middle.
        EXPECT_GE(PaintedPixels(polyline, CGRectMake(4, 0, 2, 8)), 8);
    }

    TEST(MapTwinLines, ALineThatLeavesTheAreaAndComesBackIsNotJoinedAcrossTheOutside)
    {
        // Out to the left along the middle, round the outside, back in from the right.
        CProjectedPolyline polyline;
        polyline.EditPoints() = { { 3, 10 }, { -50, 10 }, { -50, -50 }, { 70, -50 }, { 70, 10 }, { 17, 10 } };
        polyline.Measure();
        EXPECT_GE(PaintedPixels(polyline, CGRectMake(0, 8, 3, 4)), 3) << "the way out";
        EXPECT_GE(PaintedPixels(polyline, CGRectMake(17, 8, 3, 4)), 3) << "the way back";
        EXPECT_EQ(PaintedPixels(polyline, CGRectMake(5, 0, 10, 20)), 0) << "nothing between";
    }

    TEST(MapTwinLines, ALineOutsideTheAreaForMoreThanARunIsNotJoinedAcrossTheOutside)
    {
        // A first run inside but for its last point, far down to the left; a whole run along
        // the outside, below the area, to the right; back in from the lower right.
        CProjectedPolyline polyline;
        std::vector<CGPoint>& points = polyline.EditPoints();
        points.assign(CProjectedPolyline::kRunLength, CGPointMake(3, 10));
        for (std::size_t i = 0; i <= CProjectedPolyline::kRunLength; ++i)
            points.push_back({ -60 + 120.0 * double(i) / CProjectedPolyline::kRunLength, 60 });
        points.push_back({ 17, 10 });
        polyline.Measure();
        EXPECT_GE(PaintedPixels(polyline, CGRectMake(0, 9, 3, 4)), 2) << "the way out";
        EXPECT_GE(PaintedPixels(polyline, CGRectMake(17, 9, 3, 5)), 2) << "the way back";
        EXPECT_EQ(PaintedPixels(polyline, CGRectMake(5, 0, 10, 20)), 0) << "nothing between";
    }

} // namespace
} // namespace tw::test
