// Receivers on the map of a document window: NMEA receivers on pseudo-terminals, found by the
// application's own device registry on the real clock, each playing a position chosen by the
// test. Markers stand where the receivers are; the map follows the one recording into its
// document, or those kept in view; a receiver that loses its fix is nowhere until it returns.
#include "app/windows/CViewCompass.h"
#include "app/windows/CWindowDevice.h"
#include "devices/CDevice.h"
#include "devices/CDeviceManager.h"
#include "docwindow/CViewMap.h"
#include "docwindow/IDeviceSheets.h"
#include "docwindow/tests/ReceiverDocumentTest.h"
#include "model/CMapTrack.h"
#include "widgets/CPopupButton.h"
#include "widgets/CStaticText.h"

#include <mutex>
#include <cmath>
#include <cstdio>

namespace tw::test {
namespace {

    // Degrees as NMEA writes them: degrees and decimal minutes, then the hemisphere.
    std::string Angle(double degrees, bool latitude)
    {
        double const magnitude = std::fabs(degrees);
        int const whole = int(magnitude);
        char text[32];
        std::snprintf(text, sizeof text, latitude ? "%02d%07.4f,%c" : "%03d%07.4f,%c", whole, (magnitude - whole) * 60,
            latitude ? (degrees < 0 ? 'S' : 'N') : (degrees < 0 ? 'W' : 'E'));
        return text;
    }

    // One moment of a receiver that knows where it is, heading that way.
    std::string FixAt(CCoordinate const& where, double course)
    {
        std::string const position
            = Angle(where.GetLatitude(), true) + "," + Angle(where.GetLongitude(), false);
        char rmc[160], gga[160];
        std::snprintf(rmc, sizeof rmc, "GPRMC,120000.00,A,%s,1.50,%.1f,170524,,,A", position.c_str(), course);
        std::snprintf(gga, sizeof gga, "GPGGA,120000.00,%s,1,08,1.0,10.0,M,39.4,M,,", position.c_str());
        return Sentence(rmc) + Sentence(gga);
    }

    // One moment of a receiver that has lost its fix.
    std::string NoFix()
    {
        return Sentence("GPRMC,120000.00,V,,,,,,,170524,,,N") + Sentence("GPGGA,120000.00,,,,,0,00,99.9,,,,,,");
    }

    CCoordinate const kHarbour(57.7065, 11.9390);
    CCoordinate const kPark(57.6990, 11.9850);
    CCoordinate const kFarAway(45.42, -75.69);
    constexpr double kTolerance = 2e-4; // [deg] a pixel or two at level 14

    // A receiver whose moments the test changes while it plays.
    struct Receiver {
        explicit Receiver(std::string const& first)
            : moment(std::make_shared<std::string>(first))
        {
            auto shared = moment;
            auto guard = lock;
            terminal.Play(
                [shared, guard](unsigned) {
                    std::lock_guard hold(*guard);
                    return *shared;
                },
                0.05);
        }
        ~Receiver() { terminal.StopPlaying(); }
        void Say(std::string const& text)
        {
            std::lock_guard hold(*lock);
            *moment = text;
        }
        std::shared_ptr<std::mutex> lock = std::make_shared<std::mutex>();
        std::shared_ptr<std::string> moment;
        PseudoTerminal terminal;
    };

    class MapReceivers : public ReceiverDocumentTest {
    protected:
        // The application reading the receivers' terminals, once each knows where it is; the
        // devices in the order of the receivers.
        void Start(std::vector<Receiver*> const& receivers)
        {
            CDeviceManager::Setup setup;
            setup.descriptionFolders = CDeviceManager::GetDescriptionFolders();
            for (Receiver* receiver : receivers)
                setup.serialPorts.push_back(CString(receiver->terminal.GetPath().c_str()));
            StartApplication(std::move(setup));
            CDeviceManager& devices = CTWApplication::GetDeviceManager();
            ASSERT_TRUE(RunLoopUntil(
                [&] {
                    return devices.GetDevices().size() == receivers.size()
                        && std::all_of(devices.GetDevices().begin(), devices.GetDevices().end(),
                            [](CDevice* device) { return device->IsLocationKnown(); });
                },
                20))
                << devices.GetDevices().size() << " receivers";
            mDevices.clear();
            for (Receiver* receiver : receivers)
                for (CDevice* device : devices.GetDevices())
                    if (device->GetInfo().GetDevicePath() == CString(receiver->terminal.GetPath().c_str()))
                        mDevices.push_back(device);
            ASSERT_EQ(mDevices.size(), receivers.size());
        }

        // A new map document at level 14, centred far from every receiver.
        CWindowDocument* NewDocument()
        {
            CDocument* made = nullptr;
            EXPECT_EQ(mApp->CommandCreate(nullptr, &made), noErr);
            auto* document = dynamic_cast<CWindowDocument*>(made);
            if (document) {
                RunLoopUntil([] { return false; }, 0.05);
                document->GetMapView()->SetMapZoom(CHIView::kZoomFactor, nullptr, 14);
                document->GetMapView()->SetMapCentre(kFarAway);
            }
            return document;
        }

        // Records a track into the document from that device.
        static void Record(CWindowDocument* document, CDevice* device)
        {
            ASSERT_EQ(Command(document, 'dtrk'), noErr);
            auto* sheet = dynamic_cast<ITrackConfigSheet*>(document->GetSheetController());
            ASSERT_NE(sheet, nullptr);
            ASSERT_TRUE(RunLoopUntil([&] { return sheet->GetTrackInfo().device != nullptr; }, 5));
            // Chosen in the sheet's menu, which lists the receivers in the registry's order.
            auto const& all = CTWApplication::GetDeviceManager().GetDevices();
            auto const index = std::find(all.begin(), all.end(), device) - all.begin();
            CPopupButton* menu = CPopupButton::Find(document->GetSheetController(), 'devi', 0);
            ASSERT_NE(menu, nullptr);
            menu->SetCurrentValue(SInt32(index + 1));
            ASSERT_EQ(sheet->GetTrackInfo().device, device);
            ASSERT_EQ(Command(document, 'ok  '), noErr);
            ASSERT_EQ(document->GetTrackDevice(), device);
        }

        static void ExpectCentre(CViewMap* view, CCoordinate const& where, char const* what)
        {
            CCoordinate const centre = view->GetMapCentre();
            EXPECT_NEAR(centre.GetLatitude(), where.GetLatitude(), kTolerance) << what;
            EXPECT_NEAR(centre.GetLongitude(), where.GetLongitude(), kTolerance) << what;
        }

        std::vector<CDevice*> mDevices; // the registry's
    };

    TEST_F(MapReceivers, AMarkerStandsWhereTheReceiverIsAndTheMapFollowsItOnlyWhileKeptInView)
    {
        Receiver receiver(FixAt(kHarbour, 90));
        Start({ &receiver });
        CWindowDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        CViewMap* view = document->GetMapView();
        CDevice* device = mDevices[0];
        EXPECT_TRUE(view->IsInstalled()) << "a receiver is connected: the markers are kept up to date";

        // The view's own timer puts the marker there.
        ASSERT_TRUE(RunLoopUntil([&] { return !view->GetDeviceStates().empty(); }, 3));
        ASSERT_EQ(view->GetDeviceStates().size(), 1u);
        EXPECT_NEAR(view->GetDeviceStates()[0].position.GetLatitude(), kHarbour.GetLatitude(), 1e-5);
        EXPECT_NEAR(view->GetDeviceStates()[0].position.GetLongitude(), kHarbour.GetLongitude(), 1e-5);
        EXPECT_FLOAT_EQ(view->GetDeviceStates()[0].heading, 90);
        ExpectCentre(view, kFarAway, "a receiver not kept in view does not move the map");

        // It turns and moves: the marker follows at the next update.
        receiver.Say(FixAt(kPark, 225));
        ASSERT_TRUE(RunLoopUntil([&] { return std::fabs(device->GetPosition().GetLatitude() - kPark.GetLatitude()) < 1e-5; }));
        view->UpdateDevices();
        EXPECT_NEAR(view->GetDeviceStates()[0].position.GetLongitude(), kPark.GetLongitude(), 1e-5);
        EXPECT_FLOAT_EQ(view->GetDeviceStates()[0].heading, 225);

        // "Keep its position in view": the map comes to it, and back to it after a drag away.
        device->SetKeepVisible(true);
        view->UpdateDevices();
        ExpectCentre(view, kPark, "kept in view");
        view->SetMapCentre(kHarbour);
        view->UpdateDevices();
        ExpectCentre(view, kPark, "kept in view after the map was moved");
        device->SetKeepVisible(false);
        view->SetMapCentre(kHarbour);
        view->UpdateDevices();
        ExpectCentre(view, kHarbour, "the box cleared: the map stays where it was put");

        // Unplugged: its marker goes at once, and with no receiver left no timer runs.
        receiver.terminal.Close();
        ASSERT_TRUE(RunLoopUntil([&] { return CTWApplication::GetDeviceManager().GetDevices().empty(); }));
        EXPECT_TRUE(view->GetDeviceStates().empty());
        EXPECT_FALSE(view->IsInstalled());
    }

    TEST_F(MapReceivers, TheMapFollowsTheReceiverRecordingIntoItsDocumentAndTheMiddleOfThoseKeptInView)
    {
        Receiver harbour(FixAt(kHarbour, 0));
        Receiver park(FixAt(kPark, 0));
        Start({ &harbour, &park });
        CWindowDocument* first = NewDocument();
        CWindowDocument* second = NewDocument();
        ASSERT_TRUE(first && second);
        CViewMap* firstView = first->GetMapView();
        CViewMap* secondView = second->GetMapView();

        // The harbour's receiver records into the second document only.
        Record(second, mDevices[0]);
        ASSERT_TRUE(second->IsRecording());
        firstView->UpdateDevices();
        secondView->UpdateDevices();
        EXPECT_EQ(firstView->GetDeviceStates().size(), 2u) << "every receiver has its marker";
        ExpectCentre(firstView, kFarAway, "a recording into another document is not followed");
        ExpectCentre(secondView, kHarbour, "the receiver recording into this document is followed");

        // Both kept in view: the recording one still leads where it records; elsewhere the map
        // keeps to the middle of the two.
        mDevices[0]->SetKeepVisible(true);
        mDevices[1]->SetKeepVisible(true);
        firstView->UpdateDevices();
        secondView->UpdateDevices();
        ExpectCentre(secondView, kHarbour, "the recording receiver alone");
        CCoordinate const middle((kHarbour.GetLatitude() + kPark.GetLatitude()) / 2,
            (kHarbour.GetLongitude() + kPark.GetLongitude()) / 2);
        ExpectCentre(firstView, middle, "between the two kept in view");

        ASSERT_EQ(Command(second, 'not!'), noErr); // Stop
        ASSERT_TRUE(RunLoopUntil([&] { return !second->IsRecording(); }));
        secondView->UpdateDevices();
        ExpectCentre(secondView, middle, "the recording over, both kept in view");
    }

    TEST_F(MapReceivers, AReceiverThatLosesItsFixIsNowhereUntilTheFixReturns)
    {
        Receiver receiver(FixAt(kHarbour, 45));
        Start({ &receiver });
        CWindowDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        CViewMap* view = document->GetMapView();
        CDevice* device = mDevices[0];
        auto* window = dynamic_cast<CWindowDevice*>(device->GetWindow());
        ASSERT_NE(window, nullptr);
        auto text = [&](OSType id) { return CStaticText::Find(window, id, 0)->GetTextValue().GetStdString(); };
        CViewCompass* compass = CViewCompass::Find(window, 'comp', 0);
        ASSERT_NE(compass, nullptr);
        Record(document, device);
        CMapTrack* track = document->GetTrackInfo().track;
        ASSERT_NE(track, nullptr);
        ASSERT_TRUE(RunLoopUntil([&] { return track->GetSamples().size() >= 2; }));
        window->UpdateDevice();
        EXPECT_NE(text('latt'), "Unknown");
        EXPECT_TRUE(compass->IsCompassEnabled());

        // The fix is lost: no position, no marker, nothing recorded, the map left alone.
        receiver.Say(NoFix());
        ASSERT_TRUE(RunLoopUntil([&] { return !device->IsLocationKnown(); }, 5)) << "still at its old position";
        std::size_t const before = track->GetSamples().size();
        EXPECT_FALSE(CTWApplication::GetDeviceManager().IsLocationKnown());
        window->UpdateDevice();
        for (OSType id : { 'latt', 'long', 'alti', 'velo', 'accu' })
            EXPECT_EQ(text(id), "Unknown");
        EXPECT_FALSE(compass->IsCompassEnabled());
        view->SetMapCentre(kFarAway);
        view->UpdateDevices();
        EXPECT_TRUE(view->GetDeviceStates().empty());
        ExpectCentre(view, kFarAway, "a receiver without a fix is not followed");
        RunLoopUntil([] { return false; }, 1.6); // two reads of the receiver
        EXPECT_EQ(track->GetSamples().size(), before) << "no points while the fix is lost";

        // Back: the new position everywhere, and recorded again.
        receiver.Say(FixAt(kPark, 45));
        ASSERT_TRUE(RunLoopUntil([&] { return device->IsLocationKnown(); }, 5));
        ASSERT_TRUE(RunLoopUntil([&] { return track->GetSamples().size() > before; }, 5));
        EXPECT_NEAR(track->GetSamples().back().GetLatitude(), kPark.GetLatitude(), 1e-5);
        window->UpdateDevice();
        EXPECT_EQ(text('latt'), device->GetPosition().GetLatitudeString().GetStdString());
        EXPECT_TRUE(compass->IsCompassEnabled());
        view->UpdateDevices();
        ASSERT_EQ(view->GetDeviceStates().size(), 1u);
        ExpectCentre(view, kPark, "the recording receiver is followed again");
        ASSERT_EQ(Command(document, 'not!'), noErr);
        ASSERT_TRUE(RunLoopUntil([&] { return !document->IsRecording(); }));
    }

} // namespace
} // namespace tw::test
