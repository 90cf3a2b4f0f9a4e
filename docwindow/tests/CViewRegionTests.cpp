// The region bar over the world pack: its crumbs by place and zoom level, kept
// while the map pans within one area, and a chosen crumb shown through the document.
#include "docwindow/CViewRegion.h"
#include "docwindow/tests/DocumentTest.h"
#include "docwindow/tests/MapViewTest.h"
#include "foundation/CTextUtilities.h"

namespace tw::test {
namespace {

    // What the document window does for its region bar: gives its map and shows regions.
    struct RegionDocument {
        CViewMap* GetMapView() const { return mMap; }
        void ShowRegion(CCoordinateRect const& region, bool record)
        {
            mShown.push_back(region);
            mRecorded.push_back(record);
        }
        CViewMap* mMap = nullptr;
        std::vector<CCoordinateRect> mShown;
        std::vector<bool> mRecorded;
    };

    class RegionBar : public MapViewTest {
    protected:
        void SetUp() override
        {
            MapViewTest::SetUp();
            CGRect const frame = CGRectMake(0, 0, 500, 22);
            CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
            init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
            HIObjectRef object = nullptr;
            ASSERT_EQ(HIObjectCreate(CFSTR("com.tarnwick.hiview.region"), init.GetEvent(), &object), noErr);
            HIViewAddSubview(mContent, reinterpret_cast<HIViewRef>(object));
            CFRelease(object);
            mRegion = dynamic_cast<CViewRegion*>(CHIObject::GetHIObject(object));
            ASSERT_NE(mRegion, nullptr);
            // The map below the bar, as in the document window.
            mView->GetSuperHIView()->SetFrame(CGRectMake(0, 30, 655, 385));
            mRegionDocument.mMap = mView;
            mRegion->SetDocument(&mRegionDocument);
        }

        std::vector<std::string> Crumbs() const
        {
            std::vector<std::string> titles;
            for (CString const& title : mRegion->GetCrumbs())
                titles.push_back(title.GetStdString());
            return titles;
        }

        CViewRegion* mRegion = nullptr;
        RegionDocument mRegionDocument;
    };

    TEST_F(RegionBar, GoteborgAtLevelTenReadsWorldCountryAndState)
    {
        Show(kGoteborg, 10);
        EXPECT_EQ(Crumbs(), (std::vector<std::string> { "World", "Sweden", "Västra Götaland" }));
        ASSERT_EQ(mRegion->GetCrumbBounds().size(), 3u);
        SGBounds const sweden = mRegion->GetCrumbBounds()[1];
        EXPECT_LT(sweden.xmin, 12);
        EXPECT_GT(sweden.xmax, 23);
        EXPECT_GT(sweden.ymax, 68) << "the country's own bounds";
        SGBounds const world = mRegion->GetCrumbBounds()[0];
        EXPECT_EQ(world.xmin, -180);
        EXPECT_EQ(world.ymax, 90);

        // Panning to Ottawa follows at once.
        mView->SetMapCentre(kOttawa);
        EXPECT_EQ(Crumbs(), (std::vector<std::string> { "World", "Canada", "Ontario" }));
    }

    TEST_F(RegionBar, OverTheSeaTheNearestAreaIsNamed)
    {
        Show(CCoordinate(55.08, 11.62), 10); // the water between Zealand and Lolland
        std::vector<std::string> const crumbs = Crumbs();
        ASSERT_EQ(crumbs.size(), 3u);
        EXPECT_EQ(crumbs[1], "Denmark");
        EXPECT_EQ(crumbs[2], "Sjaælland") << "the region of the nearest shores (as the pack spells it)";
        Show(CCoordinate(45, -35), 10); // mid-Atlantic: nothing near
        EXPECT_EQ(Crumbs(), std::vector<std::string> { "World" });
    }

    // Offshore, outside every nearby area's bounds: the nearest shore among many is found even
    // though most shapes are passed over on their bounds alone.
    TEST_F(RegionBar, OffshoreTheNearestOfManyShoresIsNamed)
    {
        struct Place {
            CCoordinate middle;
            unsigned long level;
            std::vector<std::string> expected;
        };
        Place const places[] = {
            { CCoordinate(55.5, 7.0), 7, { "World", "Denmark", "Syddanmark" } },
            { CCoordinate(55.5, 7.0), 8, { "World", "Denmark", "Syddanmark" } },
            { CCoordinate(57.0, 3.5), 6, { "World", "Norway" } },
            { CCoordinate(50.2, -1.5), 8, { "World", "United Kingdom", "Isle of Wight" } },
            { CCoordinate(36.5, 25.5), 7, { "World", "Greece", "Notio Aigaio" } },
            { CCoordinate(59.8, 25.5), 8, { "World", "Estonia", "Harju" } },
            { CCoordinate(44.0, 8.5), 7, { "World", "Italy", "Savona" } },
        };
        for (Place const& place : places) {
            Show(place.middle, place.level);
            EXPECT_EQ(Crumbs(), place.expected) << place.middle.GetLatitude() << ", " << place.middle.GetLongitude();
        }
    }

    TEST_F(RegionBar, TheZoomLevelLimitsTheCrumbs)
    {
        for (unsigned long level : { 0ul, 3ul, 5ul }) {
            Show(kGoteborg, level);
            EXPECT_EQ(Crumbs(), std::vector<std::string> { "World" }) << "level " << level;
        }
        Show(kGoteborg, 6);
        EXPECT_EQ(Crumbs(), (std::vector<std::string> { "World", "Sweden" }));
        Show(kGoteborg, 17);
        EXPECT_EQ(Crumbs().size(), 3u) << "every level the pack has";
    }

    TEST_F(RegionBar, PanningWithinOneAreaLeavesTheCrumbsAlone)
    {
        Show(kGoteborg, 12);
        std::vector<std::string> const before = Crumbs();
        ASSERT_GE(before.size(), 3u);
        mRegion->SetCurrentValue(2); // a rebuilt bar would start again at its first crumb
        CGPoint const origin = mView->GetImageOrigin();
        mView->SetImageOrigin(CGPointMake(origin.x + 40, origin.y - 30), true);
        EXPECT_EQ(Crumbs(), before);
        EXPECT_EQ(mRegion->GetCurrentValue(), 2) << "the same titles are not set again";
    }

    TEST_F(RegionBar, ClickingACrumbShowsItsAreaThroughTheDocumentWithHistory)
    {
        Show(kGoteborg, 10);
        mWindow->Update();
        std::vector<CrumbInfo> const crumbs = mRegion->GetCrumbInfo();
        ASSERT_EQ(crumbs.size(), 3u);
        CGPoint middle { CGRectGetMidX(crumbs[1].frame), CGRectGetMidY(crumbs[1].frame) };
        HIViewConvertPoint(&middle, mRegion->GetHIViewRef(), nullptr);
        Rect structure {};
        GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
        InputDriver::Click({ middle.x + structure.left, middle.y + structure.top });
        ManualClock::RunFor(0.1);
        ASSERT_EQ(mRegionDocument.mShown.size(), 1u);
        EXPECT_TRUE(mRegionDocument.mRecorded[0]);
        SGBounds const shown = mRegionDocument.mShown[0].GetSGBounds();
        SGBounds const sweden = mRegion->GetCrumbBounds()[1];
        EXPECT_DOUBLE_EQ(shown.xmin, sweden.xmin);
        EXPECT_DOUBLE_EQ(shown.ymax, sweden.ymax);
        EXPECT_DOUBLE_EQ(shown.xmax, sweden.xmax);
    }

    TEST_F(RegionBar, WithoutADocumentOnlyTheWorldShowsAndNothingIsFollowed)
    {
        Show(kGoteborg, 10);
        ASSERT_GT(Crumbs().size(), 1u);
        mRegion->SetDocument(nullptr);
        EXPECT_EQ(Crumbs(), std::vector<std::string> { "World" });
        EXPECT_EQ(mRegion->GetMapView(), nullptr);
        mView->SetMapCentre(kOttawa);
        EXPECT_EQ(Crumbs(), std::vector<std::string> { "World" });
        mRegion->SetCurrentValue(0);
        mRegion->CrumbSelected();
        EXPECT_TRUE(mRegionDocument.mShown.empty());
    }

    // The bar of a document window: a chosen crumb is shown and recorded in the history.
    class DocumentRegionBar : public DocumentTest { };

    TEST_F(DocumentRegionBar, ACrumbShowsItsAreaAndTheBackButtonReturns)
    {
        StartApp();
        CWindowDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        CViewRegion* region = CViewRegion::Find(document->GetWindow(), 'regn', 0);
        ASSERT_NE(region, nullptr) << "the window's region bar is ours";
        CViewMap* map = document->GetMapView();
        map->SetMapZoom(CHIView::kZoomFactor, nullptr, 10);
        map->SetMapCentre(kGoteborg);
        std::vector<std::string> titles;
        for (CString const& title : region->GetCrumbs())
            titles.push_back(title.GetStdString());
        EXPECT_EQ(titles, (std::vector<std::string> { "World", "Sweden", "Västra Götaland" }));
        // The state, then the country from the crumbs the state's view shows.
        region->SetCurrentValue(2);
        region->CrumbSelected();
        unsigned long const stateLevel = map->GetMapZoom();
        EXPECT_LT(stateLevel, 10u);
        ASSERT_GE(region->GetCrumbs().size(), 2u);
        EXPECT_EQ(region->GetCrumbs()[1].GetStdString(), "Sweden");
        region->SetCurrentValue(1);
        region->CrumbSelected();
        EXPECT_LT(map->GetMapZoom(), stateLevel) << "the whole country shows";
        EXPECT_NEAR(map->GetMapCentre().GetLongitude(), 17, 3);
        ASSERT_TRUE(document->CanGoBack()) << "each recorded in the history";
        EXPECT_EQ(Command(document, 'hbak'), noErr);
        EXPECT_EQ(map->GetMapZoom(), stateLevel);
    }

} // namespace
} // namespace tw::test
