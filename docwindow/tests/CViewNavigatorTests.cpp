// The navigator view beside a map view: the world fitted into it, the red marker
// over what the map shows, and clicks and drags that move the map.
#include "display/CursorState.h"
#include "docwindow/CViewNavigator.h"
#include "docwindow/tests/MapViewTest.h"

namespace tw::test {
namespace {

    bool IsMarkerRed(Pixel p) { return p.r > 200 && p.g < 60 && p.b < 60; }

    class Navigator : public MapViewTest {
    protected:
        void SetUp() override
        {
            MapViewTest::SetUp();
            // A palette of its own beside the map's window.
            Rect const content { 60, 720, 60 + 180, 720 + 240 };
            ASSERT_EQ(CreateNewWindow(kFloatingWindowClass, kWindowStandardFloatingAttributes, &content, &mPalette),
                noErr);
            ControlRef root = nullptr;
            GetRootControl(mPalette, &root);
            CGRect const frame = CGRectMake(10, 10, 220, 160);
            CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
            init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
            HIObjectRef object = nullptr;
            ASSERT_EQ(HIObjectCreate(CFSTR("com.tarnwick.hiview.navigator"), init.GetEvent(), &object), noErr);
            HIViewAddSubview(root, reinterpret_cast<HIViewRef>(object));
            CFRelease(object);
            mNavigator = dynamic_cast<CViewNavigator*>(CHIObject::GetHIObject(object));
            ASSERT_NE(mNavigator, nullptr);
            ShowWindow(mPalette);
            ManualClock::RunFor(0.1);
        }
        void TearDown() override
        {
            if (mPalette)
                DisposeWindow(mPalette);
            display::CursorState::Reset();
            MapViewTest::TearDown();
        }

        void Draw()
        {
            mPalette->Update();
            mWindow->Update();
        }
        // A point of the navigator on the screen.
        CGPoint OnScreen(CGPoint view) const
        {
            HIViewConvertPoint(&view, mNavigator->GetHIViewRef(), nullptr);
            Rect structure {};
            GetWindowBounds(mPalette, kWindowStructureRgn, &structure);
            return { view.x + structure.left, view.y + structure.top };
        }
        CGPoint MapMiddle()
        {
            CGRect const visible = mView->GetVisibleContent();
            return { CGRectGetMidX(visible), CGRectGetMidY(visible) };
        }

        WindowRef mPalette = nullptr;
        CViewNavigator* mNavigator = nullptr;
    };

    TEST_F(Navigator, WithoutAMapViewTheWorldFillsASquareWithAFrameAndNoMarker)
    {
        ASSERT_TRUE(mNavigator->HasWorldPicture()) << "NavMap.png from the bundle";
        Draw();
        CGRect const map = mNavigator->GetMapRect();
        EXPECT_DOUBLE_EQ(map.size.width, 160);
        EXPECT_DOUBLE_EQ(map.size.height, 160);
        EXPECT_DOUBLE_EQ(map.origin.x, 30) << "centred in the 220-point width";
        EXPECT_TRUE(CGRectIsEmpty(mNavigator->GetMarkerRect()));

        PixelProbe const probe = ProbeWindow(mPalette);
        Pixel const frame = probe.At(10 + 30, 10 + 80); // the left edge of the world, half-way down
        EXPECT_LT(frame.r + frame.g + frame.b, 200) << "the black frame";
        EXPECT_EQ(probe.Count({ 40, 20, 190, 170 }, IsMarkerRed), 0) << "no marker";
        EXPECT_GT(probe.Count({ 40, 20, 190, 170 }, [](Pixel p) { return p.b > p.r + 30; }), 1000)
            << "the world's seas";

        // A click moves nothing and is harmless.
        InputDriver::Click(OnScreen({ 60, 60 }));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mNavigator->GetMapView(), nullptr);
    }

    TEST_F(Navigator, TheMarkerFramesWhatTheMapShows)
    {
        Show(kGoteborg, 3);
        mNavigator->SetMapView(mView);
        Draw();
        CGRect const map = mNavigator->GetMapRect();
        CGRect const visible = mView->GetVisibleContent();
        CGSize const image = mView->GetImageSize();
        double const scale = map.size.width / image.width;
        CGRect const marker = mNavigator->GetMarkerRect();
        EXPECT_NEAR(marker.origin.x, map.origin.x + visible.origin.x * scale, 1e-6);
        EXPECT_NEAR(marker.size.width, visible.size.width * scale, 1e-6);
        EXPECT_NEAR(marker.origin.y, map.origin.y + visible.origin.y * scale, 1e-6);

        PixelProbe const probe = ProbeWindow(mPalette);
        CGPoint edge { CGRectGetMidX(marker), marker.origin.y };
        HIViewConvertPoint(&edge, mNavigator->GetHIViewRef(), nullptr);
        EXPECT_TRUE(IsMarkerRed(probe.At(int(edge.x), int(edge.y)))) << "the red marker";

        // At a deep level the marker stays 10 points wide around its middle.
        Show(kGoteborg, 14);
        Draw();
        CGRect const small = mNavigator->GetMarkerRect();
        EXPECT_DOUBLE_EQ(small.size.width, CViewNavigator::kMarkerMinimum);
        EXPECT_DOUBLE_EQ(small.size.height, CViewNavigator::kMarkerMinimum);
        CGPoint const middle = MapMiddle();
        double const deep = mNavigator->GetMapRect().size.width / mView->GetImageSize().width;
        EXPECT_NEAR(CGRectGetMidX(small), mNavigator->GetMapRect().origin.x + middle.x * deep, 0.5);

        // Showing the whole width: the marker spans the whole map.
        Show(kGoteborg, 0);
        Draw();
        ASSERT_GE(mView->GetVisibleContent().size.width, mView->GetImageSize().width);
        EXPECT_DOUBLE_EQ(mNavigator->GetMarkerRect().origin.x, mNavigator->GetMapRect().origin.x);
        EXPECT_DOUBLE_EQ(mNavigator->GetMarkerRect().size.width, mNavigator->GetMapRect().size.width);
    }

    TEST_F(Navigator, ClickingAndDraggingMoveTheMapThere)
    {
        Show(kEurope, 4);
        mNavigator->SetMapView(mView);
        Draw();
        CGRect const map = mNavigator->GetMapRect();
        // Göteborg's point in the navigator: the map's own projection, scaled down.
        CGPoint const target = mView->Project(kGoteborg);
        double const scale = map.size.width / mView->GetImageSize().width;
        CGPoint const click { map.origin.x + target.x * scale, map.origin.y + target.y * scale };
        InputDriver::Click(OnScreen(click));
        ManualClock::RunFor(0.1);
        CCoordinate const centre = mView->GetMapCentre();
        double const degree = 360 / map.size.width; // one navigator point, in degrees of longitude
        EXPECT_NEAR(centre.GetLongitude(), kGoteborg.GetLongitude(), degree);
        EXPECT_NEAR(centre.GetLatitude(), kGoteborg.GetLatitude(), degree);

        // A drag follows the pointer; the marker followed the map.
        CGPoint const ottawa = mView->Project(kOttawa);
        CGPoint const to { map.origin.x + ottawa.x * scale, map.origin.y + ottawa.y * scale };
        InputDriver::Drag(OnScreen(click), OnScreen(to), 6);
        ManualClock::RunFor(0.1);
        Draw();
        EXPECT_NEAR(mView->GetMapCentre().GetLongitude(), kOttawa.GetLongitude(), degree);
        EXPECT_NEAR(CGRectGetMidX(mNavigator->GetMarkerRect()), to.x, 1);
    }

    TEST_F(Navigator, ClicksNearTheEdgeKeepTheViewInsideTheImage)
    {
        Show(kEurope, 4);
        mNavigator->SetMapView(mView);
        Draw();
        CGRect const map = mNavigator->GetMapRect();
        CGSize const image = mView->GetImageSize();
        for (CGPoint corner : { CGPointMake(map.origin.x + 1, map.origin.y + 1),
                 CGPointMake(CGRectGetMaxX(map) - 1, CGRectGetMaxY(map) - 1) }) {
            InputDriver::Click(OnScreen(corner));
            ManualClock::RunFor(0.1);
            CGRect const visible = mView->GetVisibleContent();
            EXPECT_GE(visible.origin.x, 0);
            EXPECT_GE(visible.origin.y, 0);
            EXPECT_LE(CGRectGetMaxX(visible), image.width + 0.5);
            EXPECT_LE(CGRectGetMaxY(visible), image.height + 0.5);
        }
        EXPECT_NEAR(CGRectGetMaxX(mView->GetVisibleContent()), image.width, 1) << "as far as the image allows";
    }

    TEST_F(Navigator, TheCursorIsAHandOverTheViewAndPointsElsewhere)
    {
        Show(kEurope, 4);
        mNavigator->SetMapView(mView);
        Draw();
        CGRect const marker = mNavigator->GetMarkerRect();
        InputDriver::MouseMove(OnScreen({ CGRectGetMidX(marker), CGRectGetMidY(marker) }));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(display::CursorState::Current().theme, kThemeOpenHandCursor);
        CGRect const map = mNavigator->GetMapRect();
        CGPoint const away { CGRectGetMidX(marker) > CGRectGetMidX(map) ? map.origin.x + 3 : CGRectGetMaxX(map) - 3,
            map.origin.y + 3 };
        InputDriver::MouseMove(OnScreen(away));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(display::CursorState::Current().theme, kThemePointingHandCursor);
        InputDriver::MouseMove(OnScreen({ -40, -40 }));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(display::CursorState::Current().theme, kThemeArrowCursor);
    }

    TEST_F(Navigator, AMapViewThatGoesFirstIsLetGo)
    {
        Show(kEurope, 4);
        mNavigator->SetMapView(mView);
        DisposeWindow(mWindow);
        mWindow = nullptr;
        mView = nullptr;
        ManualClock::RunFor(0.2);
        EXPECT_EQ(mNavigator->GetMapView(), nullptr);
        mPalette->Update(); // drawn as with no map view, without touching the old one
        EXPECT_TRUE(CGRectIsEmpty(mNavigator->GetMarkerRect()));
    }

} // namespace
} // namespace tw::test
