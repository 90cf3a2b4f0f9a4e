// The map view as people see it in its window, kept as pictures: each view is drawn
// through the window server and compared with its reference picture within a tolerance
// (text and antialiasing may move a little). TW_UPDATE_PICTURES=1 writes the references
// anew, to be looked at before committing.
#include "devices/CDevice.h"
#include "devices/CDeviceManager.h"
#include "devices/tests/support/DeviceTestSupport.h"
#include "devices/tests/support/SimulatedGarminUnit.h"
#include "docwindow/tests/MapViewTest.h"
#include "tests/support/Canvas.h"

namespace tw::test {
namespace {

    struct Picture {
        char const* name;
        CCoordinate centre;
        unsigned long level;
    };

    class MapViewPicture : public MapViewTest, public testing::WithParamInterface<Picture> { };

    TEST_P(MapViewPicture, LooksAsItsReference)
    {
        Picture const& picture = GetParam();
        Show(picture.centre, picture.level);
        ASSERT_TRUE(Settle());
        ExpectPicture(picture.name);
    }

    INSTANTIATE_TEST_SUITE_P(Views, MapViewPicture,
        testing::Values(Picture { "europe-level-4", kEurope, 4 }, Picture { "goteborg-level-14", kGoteborg, 14 },
            Picture { "ottawa-level-10", kOttawa, 10 }),
        [](testing::TestParamInfo<Picture> const& info) {
            std::string name = info.param.name;
            std::erase(name, '-');
            return name;
        });

    // A map whose views show the receivers of a registry with one simulated unit.
    class MarkerPicture : public MapViewTest {
    protected:
        void SetUp() override
        {
            SimulatedUnits::Reset();
            auto monitor = std::make_unique<FakeDeviceMonitor>();
            monitor->present = { GarminNotice("usb-1-4", 4) };
            CDeviceManager::Setup setup;
            setup.descriptionFolders = CDeviceManager::GetDescriptionFolders();
            setup.monitor = std::move(monitor);
            setup.garminTransport = &SimulatedUnits::MakeSimulatedUnit;
            mDevices = std::make_unique<CDeviceManager>(std::move(setup));
            CViewMap::SetDeviceManager(mDevices.get());
            MapViewTest::SetUp();
        }
        void TearDown() override
        {
            MapViewTest::TearDown();
            CViewMap::SetDeviceManager(nullptr);
            mDevices.reset();
        }
        std::unique_ptr<CDeviceManager> mDevices;
    };

    TEST_F(MarkerPicture, OneReceiverHeadingNorthEast)
    {
        Show(kGoteborg, 14);
        ManualClock::RunFor(1.0);
        ASSERT_EQ(mDevices->GetDevices().size(), 1u);
        SimulatedUnits::units.back()->SendFix(kGoteborg.GetLatitude(), kGoteborg.GetLongitude(), 1, 1, 12418, 3600);
        ManualClock::RunFor(CViewMap::kDeviceInterval + 0.1);
        ASSERT_EQ(mView->GetDeviceStates().size(), 1u);
        ASSERT_TRUE(Settle());
        // The marker in the middle, and what lies about it.
        CGSize const size = mView->GetVisibleContent().size;
        CGRect const part = CGRectMake(std::floor(size.width / 2) - 36, std::floor(size.height / 2) - 36, 72, 72);
        ExpectPicture("device-marker", &part);

        // A printed page is no place for a live position: the same view drawn for print has
        // no black dots or arrow about the middle.
        auto darkInTheMiddle = [&](bool printing) {
            Canvas page(int(size.width), int(size.height), Canvas::Orientation::Flipped);
            CCarbonEvent draw(kEventClassControl, kEventControlDraw);
            draw.SetCGContext(page.Context());
            draw.SetParameterBool(CCanvasView::kEventParamPrinting, printing);
            EXPECT_EQ(mView->DoEventControlDraw(draw), noErr);
            int const x = int(size.width / 2), y = int(size.height / 2);
            return page.Probe().Count({ x - 20, y - 20, x + 20, y + 20 },
                [](Pixel p) { return p.a > 200 && p.r < 60 && p.g < 60 && p.b < 60; });
        };
        EXPECT_GT(darkInTheMiddle(false), 20) << "on screen";
        EXPECT_EQ(darkInTheMiddle(true), 0) << "on paper";
    }

} // namespace
} // namespace tw::test
