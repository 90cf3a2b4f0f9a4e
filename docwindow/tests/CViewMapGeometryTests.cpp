// The map view's geometry: projection at every level, how zoom requests pick levels,
// the image origin, the tile grid and the view link.
#include "docwindow/tests/MapViewTest.h"
#include "framework/CMacWindow.h"
#include "widgets/ControlClasses.h"

#include <cmath>

namespace tw::test {
namespace {

    class MapGeometry : public MapViewTest { };

    TEST_F(MapGeometry, TheWorldFillsTheImageOfEveryLevel)
    {
        EXPECT_EQ(mView->GetImageSize().width, 0) << "no image before the first zoom";
        EXPECT_TRUE(mView->GetTilesInRect(CGRectMake(0, 0, 100, 100), true).empty());

        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, 0);
        EXPECT_EQ(mView->GetImageSize().width, 256);
        EXPECT_EQ(mView->GetImageSize().height, 256);
        CGPoint const middle = mView->Project(CCoordinate(0, 0));
        EXPECT_NEAR(middle.x, 128, 1e-9);
        EXPECT_NEAR(middle.y, 128, 1e-9);
        EXPECT_EQ(mView->GetTilesInRect(CGRectMake(0, 0, 256, 256), true).size(), 1u) << "one tile";

        CCoordinate const places[] = { CCoordinate(0, 0), CCoordinate(57.705, 11.965), CCoordinate(-33.8568, 151.2153),
            CCoordinate(83.9, -179.999), CCoordinate(-83.9, 179.999), CCoordinate(45.42, -75.69) };
        for (unsigned long level = 0; level <= CViewMap::kZoomMaximum; ++level) {
            mView->SetMapZoom(CHIView::kZoomFactor, nullptr, level);
            ASSERT_EQ(mView->GetMapZoom(), level);
            double const side = 256.0 * double(1UL << level);
            EXPECT_EQ(mView->GetImageSize().width, side) << level;
            EXPECT_NEAR(mView->Project(CCoordinate(10, -180)).x, 0, 1e-6) << level;
            EXPECT_NEAR(mView->Project(CCoordinate(-10, 180)).x, side, 1e-6) << level;
            EXPECT_NEAR(mView->Project(CCoordinate(84, 0)).y, 0, 1e-6) << "the top edge is 84° north";
            EXPECT_NEAR(mView->Project(CCoordinate(-84, 0)).y, side, 1e-6 * std::max(1.0, side / 1e6));
            for (CCoordinate const& place : places) {
                CCoordinate const back = mView->Unproject(mView->Project(place));
                EXPECT_NEAR(back.GetLatitude(), place.GetLatitude(), 1e-9) << level;
                EXPECT_NEAR(back.GetLongitude(), place.GetLongitude(), 1e-9) << level;
            }
            CCoordinateRect const area(CCoordinate(60, 5), CCoordinate(55, 15));
            CGRect const projected = mView->Project(area);
            EXPECT_GT(projected.size.width, 0);
            EXPECT_GT(projected.size.height, 0) << "north is up: the bottom-right lies below";
            CCoordinateRect const back = mView->Unproject(projected);
            EXPECT_NEAR(back.GetTopLeft().GetLatitude(), 60, 1e-9);
            EXPECT_NEAR(back.GetBottomRight().GetLongitude(), 15, 1e-9);
        }
    }

    TEST_F(MapGeometry, ZoomingInOutAndToALevelStaysWithinTheEighteenLevels)
    {
        MapMessageLog log;
        mView->AddListener(&log);
        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, 0);
        EXPECT_FALSE(mView->CouldZoomMap(CHIView::kZoomOut));
        EXPECT_TRUE(mView->CouldZoomMap(CHIView::kZoomIn));
        mView->SetMapZoom(CHIView::kZoomOut, nullptr, 0);
        EXPECT_EQ(mView->GetMapZoom(), 0u) << "out at the first level stays";
        EXPECT_EQ(log.Count(CViewMap::kMsgZoomChanged), 2) << "and still says so";
        mView->SetMapZoom(CHIView::kZoomIn, nullptr, 0);
        EXPECT_EQ(mView->GetMapZoom(), 1u);
        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, 99);
        EXPECT_EQ(mView->GetMapZoom(), CViewMap::kZoomMaximum);
        EXPECT_FALSE(mView->CouldZoomMap(CHIView::kZoomIn));
        EXPECT_FALSE(mView->CouldZoomMap(CHIView::kZoomRect));
        EXPECT_TRUE(mView->CouldZoomMap(CHIView::kZoomFit));
        EXPECT_FALSE(mView->CouldZoomMap(CHIView::ZoomType(5)));
        mView->SetMapZoom(CHIView::kZoomIn, nullptr, 0);
        EXPECT_EQ(mView->GetMapZoom(), CViewMap::kZoomMaximum);
        int const before = log.Count(CViewMap::kMsgZoomChanged);
        mView->SetMapZoom(CHIView::ZoomType(5), nullptr, 3);
        EXPECT_EQ(mView->GetMapZoom(), CViewMap::kZoomMaximum) << "an unknown zoom type does nothing";
        EXPECT_EQ(log.Count(CViewMap::kMsgZoomChanged), before);
        mView->AdjustZoom(CHIView::kZoomFactor, -5, nullptr);
        EXPECT_EQ(mView->GetMapZoom(), 0u) << "a level below the first is the first";
    }

    TEST_F(MapGeometry, ZoomKeepsTheCentreAndARectangleGetsTheDeepestLevelItFits)
    {
        Show(kGoteborg, 10);
        CCoordinate centre = mView->GetMapCentre();
        for (unsigned long level : { 11UL, 15UL, 4UL }) {
            mView->SetMapZoom(CHIView::kZoomFactor, nullptr, level);
            CCoordinate const now = mView->GetMapCentre();
            // Whole pixels of the new level, and the half pixel of an odd visible size.
            double const pixel = 360.0 / (256.0 * double(1UL << level));
            EXPECT_NEAR(now.GetLongitude(), centre.GetLongitude(), 2 * pixel) << level;
            EXPECT_NEAR(now.GetLatitude(), centre.GetLatitude(), 2 * pixel) << level;
        }

        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, 8);
        CGRect const visible = mView->GetVisibleContent();
        // Exactly the visible size: twice as much would not fit, so the level stays and the view
        // moves to the rectangle's centre.
        CGRect same = CGRectOffset(visible, 300, -200);
        mView->SetMapZoom(CHIView::kZoomRect, &same, 0);
        EXPECT_EQ(mView->GetMapZoom(), 8u);
        EXPECT_NEAR(CGRectGetMidX(mView->GetVisibleContent()), CGRectGetMidX(same), 1);
        EXPECT_NEAR(CGRectGetMidY(mView->GetVisibleContent()), CGRectGetMidY(same), 1);
        // A quarter of the width and height fits twice over: two levels deeper, on its centre.
        CGRect const now = mView->GetVisibleContent();
        CGRect quarter = CGRectMake(now.origin.x + 10, now.origin.y + 10, now.size.width / 4, now.size.height / 4);
        CCoordinate const target = mView->Unproject(CGPointMake(CGRectGetMidX(quarter), CGRectGetMidY(quarter)));
        mView->SetMapZoom(CHIView::kZoomRect, &quarter, 0);
        EXPECT_EQ(mView->GetMapZoom(), 10u);
        CGPoint const there = mView->Project(target);
        CGRect const after = mView->GetVisibleContent();
        EXPECT_NEAR(there.x, CGRectGetMidX(after), 1);
        EXPECT_NEAR(there.y, CGRectGetMidY(after), 1);
        // A rectangle drawn from its far corner is the same rectangle.
        CGRect backwards
            = CGRectMake(CGRectGetMaxX(after), CGRectGetMaxY(after), -after.size.width * 4, -after.size.height * 4);
        mView->SetMapZoom(CHIView::kZoomRect, &backwards, 0);
        EXPECT_EQ(mView->GetMapZoom(), 7u) << "four times the view is out by three levels";
    }

    TEST_F(MapGeometry, FitZoomsOutUntilTheWholeWorldFitsTheScreenAndNeverIn)
    {
        // The headless screen is 1280 x 800: the world of level 1 (512 pixels) fits it with the
        // window around it, that of level 2 (1024) does not.
        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, 6);
        mView->SetMapZoom(CHIView::kZoomFit, nullptr, 0);
        EXPECT_EQ(mView->GetMapZoom(), 1u);
        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, 0);
        mView->SetMapZoom(CHIView::kZoomFit, nullptr, 0);
        EXPECT_EQ(mView->GetMapZoom(), 0u);
    }

    TEST_F(MapGeometry, TheImageOriginIsWholePixelsInsideTheImageAndSaysItMoved)
    {
        MapMessageLog log;
        mView->AddListener(&log);
        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, 5);
        int const moves = log.Count(CViewMap::kMsgOriginChanged);
        mView->SetImageOrigin(CGPointMake(10.7, -0.2), true);
        EXPECT_EQ(mView->GetImageOrigin().x, 10);
        EXPECT_EQ(mView->GetImageOrigin().y, 0) << "floored to -1, then kept inside the image";
        mView->SetImageOrigin(CGPointMake(1e9, 1e9), true);
        CGSize const image = mView->GetImageSize();
        CGRect const visible = mView->GetVisibleContent();
        EXPECT_EQ(CGRectGetMaxX(visible), image.width);
        EXPECT_EQ(CGRectGetMaxY(visible), image.height);
        mView->SetImageOrigin(CGPointMake(NAN, 5), true);
        EXPECT_EQ(CGRectGetMaxX(mView->GetVisibleContent()), image.width) << "a non-finite origin moves nothing";
        EXPECT_EQ(log.Count(CViewMap::kMsgOriginChanged), moves + 2);
    }

    TEST_F(MapGeometry, TilesAreMadeOnDemandForThePartOfARectangleInsideTheImage)
    {
        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, 3); // 8 x 8 tiles
        EXPECT_TRUE(mView->GetTilesInRect(CGRectMake(0, 0, 2048, 2048), false).empty()) << "none made yet";
        EXPECT_EQ(mView->GetTile(8, 0, true), nullptr) << "outside the grid";
        std::vector<CLayerTile*> const corner = mView->GetTilesInRect(CGRectMake(-300, -300, 556, 556), true);
        ASSERT_EQ(corner.size(), 1u) << "only the tile inside the image";
        EXPECT_TRUE(CGRectEqualToRect(corner[0]->GetRect(), CGRectMake(0, 0, 256, 256)));
        std::vector<CLayerTile*> const block = mView->GetTilesInRect(CGRectMake(1800, 300, 1000, 300), true);
        ASSERT_EQ(block.size(), 2u) << "column 7, rows 1 and 2; beyond the edge nothing";
        EXPECT_TRUE(CGRectEqualToRect(block[0]->GetRect(), CGRectMake(1792, 256, 256, 256))) << "row by row";
        EXPECT_TRUE(CGRectEqualToRect(block[1]->GetRect(), CGRectMake(1792, 512, 256, 256)));
        EXPECT_EQ(mView->GetTilesInRect(CGRectMake(5000, 5000, 10, 10), true).size(), 0u);
        EXPECT_EQ(mView->GetTile(0, 0, false), corner[0]) << "kept";
        std::size_t const made = mView->GetTileCount();
        mView->SetImageOrigin(CGPointMake(500, 500), true);
        EXPECT_EQ(mView->GetTileCount(), made) << "a scroll keeps the tiles";
        mView->SetMapZoom(CHIView::kZoomIn, nullptr, 0);
        EXPECT_EQ(mView->GetTileCount(), 0u) << "a new level starts a new grid";
    }

    TEST_F(MapGeometry, AViewLinkBringsBackItsPlaceAndLevelAndBadLinksChangeNothing)
    {
        for (auto [place, level] :
            { std::pair { kGoteborg, 14UL }, { kOttawa, 9UL }, { CCoordinate(-41.29, 174.78), 4UL } }) {
            Show(place, level);
            CString const link = mView->GetMapURL();
            CCoordinate const centre = mView->GetMapCentre();
            Show(kEurope, 2);
            mView->SetMapURL(link);
            EXPECT_EQ(mView->GetMapZoom(), level);
            double const pixel = 360.0 / (256.0 * double(1UL << level)); // [deg] of longitude
            EXPECT_NEAR(mView->GetMapCentre().GetLongitude(), centre.GetLongitude(), 1.5 * pixel) << link.GetUTF8();
            EXPECT_NEAR(mView->GetMapCentre().GetLatitude(), centre.GetLatitude(), 1.5 * pixel) << link.GetUTF8();
        }
        CCoordinate const before = mView->GetMapCentre();
        unsigned long const level = mView->GetMapZoom();
        for (char const* bad : { "tarnwick://view?lat=nan&lon=10&zoom=5", "tarnwick://view?lat=10&lon=-inf&zoom=5",
                 "tarnwick://view?lat=1e999&lon=10&zoom=5", "tarnwick://view?lat=10&lon=10",
                 "http://maps.google.com/?ll=1,2&z=3", "", "tarnwick://view?lat=95&lon=10&zoom=5" }) {
            mView->SetMapURL(bad);
            EXPECT_EQ(mView->GetMapZoom(), level) << bad;
            EXPECT_NEAR(mView->GetMapCentre().GetLongitude(), before.GetLongitude(), 1e-9) << bad;
        }
    }

    TEST_F(MapGeometry, AWindowFindsItsMapViewByIdAndNoOtherViewAsOne)
    {
        InstallControlWindowSupport();
        ControlID const map { 'mapv', 0 }, scroll { 'scrl', 0 };
        SetControlID(mView->GetHIViewRef(), &map);
        SetControlID(HIViewGetSuperview(mView->GetHIViewRef()), &scroll);
        {
            CMacWindow window(mWindow);
            EXPECT_EQ(CViewMap::Find(&window, 'mapv', 0), mView);
            EXPECT_EQ(CViewMap::Find(&window, 'scrl', 0), nullptr) << "a scroll view is no map";
            EXPECT_EQ(CViewMap::Find(&window, 'mapv', 1), nullptr);
            EXPECT_EQ(CViewMap::Find(nullptr, 'mapv', 0), nullptr);
        }
        // The support stays: the application installs it once for the whole process.
    }

    TEST_F(MapGeometry, TheLinkParserSeesTheViewsLevelAndVisibleSize)
    {
        Show(kOttawa, 7);
        IMapLinkView const* link = mView;
        EXPECT_EQ(link->GetMapZoom(), 7u);
        CGSize const size = link->GetMapViewSize();
        EXPECT_EQ(size.width, 640);
        EXPECT_EQ(size.height, 400);
    }

} // namespace
} // namespace tw::test
