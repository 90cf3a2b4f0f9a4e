// A map document taking data in and giving it out: files dropped on its map or chosen
// from the menu, a dropped link that opens the location sheet after the import's alert,
// synchronising with a simulated receiver and recording a live track from it.
#include "app/CDocumentShell.h"
#include "app/DeviceSheetSupport.h"
#include "devices/CDevice.h"
#include "devices/CDeviceManager.h"
#include "devices/tests/support/DeviceTestSupport.h"
#include "devices/tests/support/SimulatedGarminUnit.h"
#include "display/SessionEnd.h"
#include "docwindow/CViewMap.h"
#include "docwindow/CViewOverlay.h"
#include "docwindow/tests/DocumentTest.h"
#include "foundation/CTextUtilities.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "model/CParserGPX.h"
#include "model/CParserURL.h"
#include "services/Scrap.h"
#include "tests/support/InputDriver.h"
#include "toolbox/HIViewCalls.h"
#include "widgets/CHISegmentedView.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tw::test {
namespace {

    using toolbox::dialogs::Responders;

    CGPSWaypoint TransferWaypoint(char const* name, double latitude, double longitude)
    {
        CGPSWaypoint waypoint;
        waypoint.name = name;
        waypoint.position = CCoordinate(latitude, longitude, 15);
        waypoint.altitudeKnown = true;
        return waypoint;
    }

    // The shell as the application sets it up, for the sheets of these tests.
    class ExchangeShell : public CDocumentShell {
    public:
        CWindowController* MakeSheet(UInt32 kind, CWindowDocument& document, CMapObject* object) override
        {
            mAsked.push_back({ kind, object });
            return CDocumentShell::MakeSheet(kind, document, object);
        }
        std::vector<std::pair<UInt32, CMapObject*>> mAsked; // the sheets asked for, and of what
    };

    class DocumentExchange : public DocumentTest {
    protected:
        void SetUp() override
        {
            DocumentTest::SetUp();
            StartApp();
            CWindowDocument::SetShell(&mShell); // in place of the application's, to see what is asked
            mDocument = NewDocument();
            ASSERT_NE(mDocument, nullptr);
            ManualClock::RunFor(0.2);
        }
        void TearDown() override
        {
            DeviceSheetSupport::SetDeviceManager(nullptr);
            for (CDocument* document : CDocument::GetDocuments(false))
                delete document;
            mManager.reset();
            DocumentTest::TearDown();
            CWindowDocument::SetShell(nullptr);
        }

        // A simulated Garmin unit holding two waypoints and a track, connected.
        CDevice* PlugUnit()
        {
            SimulatedUnits::Reset();
            auto monitor = std::make_unique<FakeDeviceMonitor>();
            monitor->present = { GarminNotice("/sys/usb/1-1", 4) };
            CDeviceManager::Setup setup;
            setup.monitor = std::move(monitor);
            setup.garminTransport = &SimulatedUnits::MakeSimulatedUnit;
            mManager = std::make_unique<CDeviceManager>(std::move(setup));
            mUnit = SimulatedUnits::units.back();
            mUnit->waypoints = { TransferWaypoint("HOME", 57.70887, 11.97456), TransferWaypoint("WORK", 57.689, 11.979) };
            CGPSTrack track;
            track.name = "Morning";
            for (int i = 0; i < 4; ++i)
                track.points.push_back(
                    { CCoordinatePVT(CCoordinate(57.7 + i * 0.001, 11.9, 20), CDateTime(7e8 + i)), true, i == 0 });
            mUnit->tracks = { track };
            ManualClock::RunFor(1.0);
            DeviceSheetSupport::SetDeviceManager(mManager.get());
            // The document's commands ask the manager it was made with: a new window sees this one.
            CViewMap::SetDeviceManager(mManager.get());
            delete mDocument;
            mDocument = NewDocument();
            ManualClock::RunFor(0.2);
            return mManager->GetDevices().empty() ? nullptr : mManager->GetDevices().front();
        }

        std::string WriteFile(char const* name, std::string const& text)
        {
            std::string const path = PathFor(name);
            std::ofstream(path, std::ios::binary) << text;
            return path;
        }

        // Where the middle of the map is on the screen.
        CGPoint MapOnScreen() const
        {
            CViewMap* map = mDocument->GetMapView();
            CGRect const bounds = map->GetBounds();
            CGPoint point { CGRectGetMidX(bounds), CGRectGetMidY(bounds) };
            HIViewConvertPoint(&point, map->GetHIViewRef(), nullptr);
            Rect structure {};
            GetWindowBounds(mDocument->GetWindow()->GetWindowRef(), kWindowStructureRgn, &structure);
            return { point.x + structure.left, point.y + structure.top };
        }

        void Drop(std::vector<std::string> const& files, std::string const& text)
        {
            display::InputEvent input = InputDriver::Make(
                files.empty() ? display::InputKind::DropText : display::InputKind::DropFiles, MapOnScreen());
            input.files = files;
            input.text = text;
            InputDriver::Post(input);
            ManualClock::RunFor(0.1);
        }

        template <typename T> std::vector<T*> Objects(MapObjectType type) const
        {
            std::vector<T*> found;
            for (CMapObject* object : mDocument->GetObjects())
                if (object->IsType(type))
                    found.push_back(static_cast<T*>(object));
            return found;
        }

        // The sheet window open over the document, found by one of its controls.
        ControlRef SheetControl(OSType id) const
        {
            for (WindowRef window : toolbox::WindowList::FrontToBack()) {
                if (window == mDocument->GetWindow()->GetWindowRef())
                    continue;
                ControlID const controlID { id, 0 };
                ControlRef control = nullptr;
                if (GetControlByID(window, &controlID, &control) == noErr && control)
                    return control;
            }
            return nullptr;
        }

        ExchangeShell mShell;
        CWindowDocument* mDocument = nullptr;
        std::unique_ptr<CDeviceManager> mManager;
        SimulatedGarminUnit* mUnit = nullptr; // owned by its driver
    };

    constexpr char kTwoWaypoints[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1">
  <wpt lat="57.70887" lon="11.97456"><name>Home</name></wpt>
  <wpt lat="57.689" lon="11.979"><name>Work</name></wpt>
</gpx>
)";

    TEST_F(DocumentExchange, TheOverlayLiesOverTheMapAndFollowsIt)
    {
        CViewOverlay* overlay = mDocument->GetOverlayView();
        ASSERT_NE(overlay, nullptr);
        EXPECT_EQ(mDocument->GetMapView()->GetOverlay(), overlay);
        CGRect const map = mDocument->GetMapView()->GetBounds();
        EXPECT_DOUBLE_EQ(overlay->GetFrame().size.width, map.size.width);
        EXPECT_DOUBLE_EQ(overlay->GetFrame().size.height, map.size.height);
        SizeWindow(mDocument->GetWindow()->GetWindowRef(), 900, 640, true);
        ManualClock::RunFor(0.2);
        CGRect const grown = mDocument->GetMapView()->GetBounds();
        EXPECT_DOUBLE_EQ(overlay->GetFrame().size.width, grown.size.width);
        EXPECT_DOUBLE_EQ(overlay->GetFrame().size.height, grown.size.height);
        EXPECT_FALSE(overlay->GetScaleText().IsEmpty());
    }

    TEST_F(DocumentExchange, CopyViewPutsTheViewLinkOnTheClipboard)
    {
        mDocument->ShowRegion(CCoordinateRect(CCoordinate(57.75, 11.9), CCoordinate(57.65, 12.05)), true);
        ASSERT_EQ(Command(mDocument, 'cvie'), noErr);
        ScrapRef scrap = nullptr;
        ASSERT_EQ(GetCurrentScrap(&scrap), noErr);
        Size size = 0;
        ASSERT_EQ(GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size), noErr);
        std::string text(std::size_t(size), '\0');
        ASSERT_EQ(GetScrapFlavorData(scrap, kScrapFlavorTypeText, &size, text.data()), noErr);
        EXPECT_EQ(text, mDocument->GetMapView()->GetMapURL().GetStdString());
        CCoordinate centre;
        unsigned long zoom = 0;
        ASSERT_EQ(CParserURL::ParseViewLink(CString(text.c_str()), centre, zoom), noErr);
        EXPECT_EQ(zoom, mDocument->GetMapView()->GetMapZoom());
    }

    TEST_F(DocumentExchange, AFileDroppedOnTheMapIsImportedAndReported)
    {
        std::string const path = WriteFile("drop.gpx", kTwoWaypoints);
        Responders::PressAlertButton(1);
        Drop({ path }, "");
        ManualClock::RunFor(0.5);
        auto const waypoints = Objects<CMapWaypoint>(kMapObjectWaypoint);
        ASSERT_EQ(waypoints.size(), 2u);
        EXPECT_EQ(waypoints[0]->GetName(), CString("Home"));
        ASSERT_EQ(Responders::History().size(), 1u);
        EXPECT_NE(Responders::History()[0].text.find("2 objects"), std::string::npos) << Responders::History()[0].text;
        // The map shows what came in.
        CCoordinateRect const shown = mDocument->GetMapView()->Unproject(mDocument->GetMapView()->GetVisibleContent());
        EXPECT_TRUE(shown.Contains(waypoints[0]->GetPosition()));
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
    }

    TEST_F(DocumentExchange, AHostileFileIsRefusedWithAClearAlertAndAddsNothing)
    {
        std::string const path = WriteFile("broken.gpx", std::string(kTwoWaypoints).substr(0, 200));
        Responders::PressAlertButton(1);
        mDocument->ImportData(FileAt(path));
        ManualClock::RunFor(0.5);
        EXPECT_TRUE(mDocument->GetObjects().empty());
        ASSERT_EQ(Responders::History().size(), 1u);
        EXPECT_NE(Responders::History()[0].text.find("could not be imported"), std::string::npos);
        EXPECT_FALSE(mDocument->IsModified());
    }

    // What a refused import says is a sentence the user can act on, never a number: a picture
    // called ".gpx" is no GPX file, as it is when called ".png", and a file past a limit names it.
    TEST_F(DocumentExchange, ARefusedImportSaysWhyInWordsAndNamesTheLimitItPassed)
    {
        std::string const picture("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0\x1f\xf3\xffa", 33);
        std::string waypoints = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\">";
        for (int i = 0; i < 11; ++i)
            waypoints += "<wpt lat=\"57.7\" lon=\"11.9\"/>";
        waypoints += "</gpx>\n";
        std::string route = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\"><rte>";
        for (std::size_t i = 0; i <= CParserGPX::kMaxRoutePoints; ++i)
            route += "<rtept lat=\"57.7\" lon=\"11.9\"/>";
        route += "</rte></gpx>\n";
        struct Case {
            char const* name;
            std::string text;
            std::string reason;
        };
        CString objects, points;
        objects.Format(CTextUtilities::GetBundleString("DocImportErrorObjects").GetUTF8(), "10");
        points.Format(CTextUtilities::GetBundleString("DocImportErrorRoutePoints").GetUTF8(), "100,000");
        std::string const kind = CTextUtilities::GetBundleString("DocImportErrorKind").GetStdString();
        Case const cases[] = {
            { "picture.gpx", picture, kind },
            { "picture.loc", picture, kind },
            { "picture.png", picture, kind },
            { "notes.gpx", "Shopping: milk, eggs\n", kind },
            { "many.gpx", waypoints, objects.GetStdString() },
            { "long.gpx", route, points.GetStdString() },
        };
        for (Case const& c : cases) {
            SCOPED_TRACE(c.name);
            CParserGPX::SetMaxObjectsForTesting(c.text == waypoints ? 10 : 0);
            Responders::Reset();
            Responders::PressAlertButton(1);
            std::string const path = WriteFile(c.name, c.text);
            // A ".png" is not taken by a drop on the map; the import command's "All Files" takes it.
            if (std::string_view(c.name).ends_with(".png"))
                mDocument->ImportData(FileAt(path));
            else
                Drop({ path }, "");
            ManualClock::RunFor(0.5);
            EXPECT_TRUE(mDocument->GetObjects().empty());
            ASSERT_EQ(Responders::History().size(), 1u);
            EXPECT_NE(Responders::History()[0].text.find("could not be imported"), std::string::npos);
            EXPECT_EQ(Responders::History()[0].detail, c.reason);
            EXPECT_EQ(Responders::History()[0].detail.find("error"), std::string::npos) << "words, not a code";
        }
        CParserGPX::SetMaxObjectsForTesting(0);
        EXPECT_NE(points.GetStdString().find("100,000 points"), std::string::npos) << points.GetStdString();
    }

    TEST_F(DocumentExchange, TheImportCommandReadsEveryChosenFile)
    {
        std::string const first = WriteFile("first.gpx", kTwoWaypoints);
        std::string const second = WriteFile("second.loc", R"(<?xml version="1.0"?><loc version="1.0">
<waypoint><name id="GC1"><![CDATA[Cache]]></name><coord lat="57.7" lon="11.9"/></waypoint></loc>)");
        // The dialog offers GPX and LOC files only, until its type menu asks for all files:
        // a document or a note among the files asked for is not there to be chosen.
        std::string const document = WriteFile("other.twk", "<plist/>");
        std::string const note = WriteFile("notes.txt", "milk");
        Responders::OpenFiles({ first, second, document, note });
        Responders::PressAlertButton(1);
        Responders::PressAlertButton(1);
        ASSERT_EQ(Command(mDocument, 'dimp'), noErr);
        ManualClock::RunFor(1);
        ASSERT_EQ(Responders::History().size(), 3u) << "the dialog and one alert for each file it offered";
        for (std::size_t i = 1; i < 3; ++i)
            EXPECT_EQ(Responders::History()[i].text.find("could not be imported"), std::string::npos);
        EXPECT_EQ(Objects<CMapWaypoint>(kMapObjectWaypoint).size(), 3u);
    }

    TEST_F(DocumentExchange, ALinkDroppedWithAFileOpensTheLocationSheetAfterTheAlert)
    {
        std::string const path = WriteFile("both.gpx", kTwoWaypoints);
        // The file's alert comes first and the link waits for it: the sheet opens once it is answered.
        Responders::PressAlertButton(1);
        Drop({ path }, "tarnwick://view?lat=45.42&lon=-75.69&zoom=9");
        ManualClock::RunFor(1);
        ASSERT_EQ(Responders::History().size(), 1u);
        EXPECT_NE(Responders::History()[0].text.find("both.gpx"), std::string::npos);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetViewLocation);
        EXPECT_NEAR(mDocument->GetMapView()->GetMapCentre().GetLongitude(), -75.69, 0.01);
        std::size_t own = 0;
        for (CMapObject* object : mDocument->GetObjects())
            own += !(object->GetAttributes() & kMapObjectAttrTemporary);
        EXPECT_EQ(own, 2u) << "the file's waypoints; the sheet's target is its own";
        ASSERT_EQ(Command(mDocument, 'not!'), noErr);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
    }

    TEST_F(DocumentExchange, DropsAreRefusedWhileASheetIsOpen)
    {
        std::string const path = WriteFile("refused.gpx", kTwoWaypoints);
        ASSERT_EQ(Command(mDocument, 'gvie'), noErr);
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetViewLocation);
        std::size_t const before = mDocument->GetObjects().size();
        Drop({ path }, "");
        EXPECT_EQ(mDocument->GetObjects().size(), before);
        EXPECT_TRUE(Responders::History().empty());
        ASSERT_EQ(Command(mDocument, 'not!'), noErr);
    }

    TEST_F(DocumentExchange, ADownloadBringsTheUnitsObjectsIn)
    {
        ASSERT_NE(PlugUnit(), nullptr);
        EXPECT_EQ(Status(mDocument, 'dsyn'), CCarbonEventHandler::kMenuStatusEnable) << "the shell has the sheet";
        ASSERT_EQ(Command(mDocument, 'dsyn'), noErr);
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetTransferConfig);
        EXPECT_EQ(Status(mDocument, 'dsyn'), CCarbonEventHandler::kMenuStatusDisable) << "one sheet at a time";
        Responders::PressAlertButton(1);
        ASSERT_EQ(Command(mDocument, 'ok  '), noErr);
        EXPECT_TRUE(mDocument->IsTransferring());
        ManualClock::RunFor(3);
        EXPECT_FALSE(mDocument->IsTransferring());
        EXPECT_EQ(Objects<CMapWaypoint>(kMapObjectWaypoint).size(), 2u);
        ASSERT_EQ(Objects<CMapTrack>(kMapObjectTrack).size(), 1u);
        EXPECT_EQ(Objects<CMapTrack>(kMapObjectTrack)[0]->GetSamples().size(), 4u);
        ASSERT_FALSE(Responders::History().empty());
        EXPECT_EQ(Responders::History().back().text, CTextUtilities::GetBundleString("DocTransferSuccess").GetStdString());
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
    }

    TEST_F(DocumentExchange, AnUploadSendsTheChosenKinds)
    {
        ASSERT_NE(PlugUnit(), nullptr);
        auto* camp = new CMapWaypoint;
        camp->SetName("Camp");
        camp->SetPosition(CCoordinate(61.6, 8.3));
        mDocument->AddObject(camp);
        mUnit->received.clear();
        ASSERT_EQ(Command(mDocument, 'dsyn'), noErr);
        ControlRef direction = SheetControl('copy');
        ASSERT_NE(direction, nullptr);
        SetControl32BitValue(direction, 2);
        CCarbonEvent copy = CCarbonEvent::CreateWithHICommandID('copy');
        SendEventToEventTarget(copy.GetEvent(), GetControlEventTarget(direction));
        EXPECT_EQ(GetControl32BitValue(SheetControl('rout')), 0) << "the document holds no route";
        Responders::PressAlertButton(1);
        ASSERT_EQ(Command(mDocument, 'ok  '), noErr);
        EXPECT_TRUE(mDocument->GetTransferInfo().toDevice);
        EXPECT_EQ(mDocument->GetTransferInfo().kinds, UInt32(kTransferWaypoints));
        ManualClock::RunFor(3);
        EXPECT_FALSE(mDocument->IsTransferring());
        std::vector<UInt16> ids;
        for (CGarminPacket const& packet : mUnit->received)
            if (packet.id != 10) // not the commands that stop and start live fixes
                ids.push_back(packet.id);
        EXPECT_EQ(ids, std::vector<UInt16>({ 27, 35, 12 })) << "the camp alone was sent";
        EXPECT_EQ(mDocument->GetObjects().size(), 1u) << "nothing came back";
    }

    TEST_F(DocumentExchange, ACancelledTransferChangesNothing)
    {
        ASSERT_NE(PlugUnit(), nullptr);
        ASSERT_EQ(Command(mDocument, 'dsyn'), noErr);
        ASSERT_EQ(Command(mDocument, 'ok  '), noErr);
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetTransferProgress);
        ASSERT_EQ(Command(mDocument, 'not!'), noErr);
        ManualClock::RunFor(3);
        EXPECT_FALSE(mDocument->IsTransferring());
        EXPECT_TRUE(mDocument->GetObjects().empty());
        EXPECT_TRUE(Responders::History().empty()) << "a cancel needs no alert";
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
    }

    TEST_F(DocumentExchange, ARecordedTrackTakesTheLiveFixesAndIsShown)
    {
        EXPECT_EQ(Status(mDocument, 'dsyn'), CCarbonEventHandler::kMenuStatusDisable) << "no receiver";
        EXPECT_EQ(Status(mDocument, 'dtrk'), CCarbonEventHandler::kMenuStatusDisable) << "no receiver";
        CDevice* device = PlugUnit();
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(Status(mDocument, 'dtrk'), CCarbonEventHandler::kMenuStatusDisable) << "no fix yet";
        mUnit->SendFix(57.7, 11.9, 1, 1, 12418, 3600);
        ManualClock::RunFor(0.3);
        EXPECT_EQ(Status(mDocument, 'dtrk'), CCarbonEventHandler::kMenuStatusEnable);
        ASSERT_EQ(Command(mDocument, 'dtrk'), noErr);
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetTrackConfig);
        ASSERT_EQ(Command(mDocument, 'ok  '), noErr);
        EXPECT_TRUE(mDocument->IsRecording());
        EXPECT_EQ(mDocument->GetTrackDevice(), device);
        auto tracks = Objects<CMapTrack>(kMapObjectTrack);
        ASSERT_EQ(tracks.size(), 1u) << "the track is added before recording starts";
        EXPECT_FALSE(tracks[0]->GetName().IsEmpty());
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetTrackProgress);
        EXPECT_TRUE(mDocument->HasSheet()) << "the progress sheet shows while recording";
        for (int i = 1; i <= 5; ++i)
            mUnit->SendFix(57.7 + i * 0.0005, 11.9, 1, 1, 12418, 3600 + i);
        ManualClock::RunFor(0.5);
        ASSERT_EQ(Command(mDocument, 'not!'), noErr); // Stop
        ManualClock::RunFor(0.5);
        EXPECT_FALSE(mDocument->IsRecording());
        EXPECT_EQ(mDocument->GetTrackDevice(), nullptr);
        EXPECT_GE(tracks[0]->GetSamples().size(), 5u);
        EXPECT_EQ(mDocument->GetListSelector()->GetCurrentValue(), 3) << "the tracks list is shown";
        ASSERT_FALSE(mShell.mAsked.empty());
        EXPECT_EQ(mShell.mAsked.back().first, UInt32(CWindowDocument::kSheetTrack)) << "its editor is asked for";
        EXPECT_EQ(mShell.mAsked.back().second, tracks[0]);
        CCoordinateRect const shown = mDocument->GetMapView()->Unproject(mDocument->GetMapView()->GetVisibleContent());
        EXPECT_TRUE(shown.Contains(tracks[0]->GetSamples().back()));
    }

    TEST_F(DocumentExchange, RemovingTheTrackBeingRecordedEndsTheRecording)
    {
        ASSERT_NE(PlugUnit(), nullptr);
        mUnit->SendFix(57.7, 11.9, 1, 1, 12418, 3600);
        ManualClock::RunFor(0.3);
        ASSERT_EQ(Command(mDocument, 'dtrk'), noErr);
        ASSERT_EQ(Command(mDocument, 'ok  '), noErr);
        ManualClock::RunFor(0.1);
        auto tracks = Objects<CMapTrack>(kMapObjectTrack);
        ASSERT_EQ(tracks.size(), 1u);
        mDocument->RemoveObject(tracks[0]);
        EXPECT_FALSE(mDocument->IsRecording());
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        mUnit->SendFix(57.71, 11.9, 1, 1, 12418, 3700); // nothing may write into the gone track
        ManualClock::RunFor(0.5);
        EXPECT_TRUE(mDocument->GetObjects().empty());
    }

    // Imports and saves that take a while: a progress sheet with Cancel after the delay.
    class DocumentWork : public DocumentExchange {
    protected:
        void TearDown() override
        {
            CWindowDocument::SetWorkDelay(-1);
            DocumentExchange::TearDown();
        }
        std::string WriteWaypoints(char const* name, std::size_t count)
        {
            std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<gpx version=\"1.1\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
            for (std::size_t i = 0; i < count; ++i)
                text += "<wpt lat=\"" + std::to_string(50 + double(i % 1000) / 1000) + "\" lon=\""
                    + std::to_string(10 + double(i / 1000) / 1000) + "\"><name>P" + std::to_string(i) + "</name></wpt>\n";
            text += "</gpx>\n";
            return WriteFile(name, text);
        }
        bool AskedForWorkSheet() const
        {
            return std::any_of(mShell.mAsked.begin(), mShell.mAsked.end(),
                [](auto const& asked) { return asked.first == CWindowDocument::kSheetWorkProgress; });
        }
        static std::string Contents(std::string const& path)
        {
            std::ifstream in(path, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        std::size_t FilesInFolder() const
        {
            return std::size_t(std::distance(
                std::filesystem::directory_iterator(mFolder.Path()), std::filesystem::directory_iterator()));
        }
        // A document of that many waypoints saved as "big.twk", unmodified.
        std::string SavedDocument(std::size_t count)
        {
            Responders::PressAlertButton(1);
            mDocument->ImportData(FileAt(WriteWaypoints("source.gpx", count)));
            ManualClock::RunFor(0.1);
            std::string const path = PathFor("big.twk");
            mDocument->SetFile(FileAt(path));
            EXPECT_EQ(mDocument->SaveDocument(), noErr);
            EXPECT_FALSE(mDocument->IsModified());
            Responders::Reset();
            mShell.mAsked.clear();
            return path;
        }
    };

    TEST_F(DocumentWork, AnImportPastTheDelayShowsItsProgressAndCompletes)
    {
        std::string const path = WriteWaypoints("many.gpx", 5000);
        // Within the delay (the test's clock stands still) nothing shows.
        Responders::PressAlertButton(1);
        mDocument->ImportData(FileAt(path));
        EXPECT_FALSE(AskedForWorkSheet());
        EXPECT_EQ(mDocument->GetObjects().size(), 5000u);
        ManualClock::RunFor(0.1);
        // Past it, the sheet shows over the window and closes when the import ends.
        CWindowDocument::SetWorkDelay(0);
        Responders::PressAlertButton(1);
        mDocument->ImportData(FileAt(path));
        EXPECT_TRUE(AskedForWorkSheet());
        EXPECT_EQ(mDocument->GetObjects().size(), 10000u);
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_FALSE(mDocument->IsBusy());
        ASSERT_EQ(Responders::History().size(), 2u);
        EXPECT_NE(Responders::History()[1].text.find("5000 objects"), std::string::npos) << Responders::History()[1].text;
    }

    TEST_F(DocumentWork, CancellingAnImportLeavesTheDocumentAsItWas)
    {
        Responders::PressAlertButton(1);
        mDocument->ImportData(FileAt(WriteFile("two.gpx", kTwoWaypoints)));
        ManualClock::RunFor(0.1);
        mDocument->SetModified(false);
        Responders::Reset();
        std::string const path = WriteWaypoints("many.gpx", 5000);
        CWindowDocument::SetWorkDelay(0);
        // Escape, and Return on the sheet's one button, each press Cancel.
        for (UInt32 key : { UInt32(display::kVK_Escape), UInt32(display::kVK_Return) }) {
            SCOPED_TRACE(key);
            mShell.mAsked.clear();
            if (key == display::kVK_Escape)
                InputDriver::Key(display::kVK_Escape, display::kEscapeCharCode);
            else
                InputDriver::Key(display::kVK_Return, display::kReturnCharCode);
            mDocument->ImportData(FileAt(path));
            EXPECT_TRUE(AskedForWorkSheet());
            EXPECT_EQ(mDocument->GetObjects().size(), 2u);
            EXPECT_FALSE(mDocument->IsModified());
            EXPECT_TRUE(Responders::History().empty()) << "a cancel needs no alert";
            ManualClock::RunFor(0.1);
            EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        }
        // The document goes on as before: the next import is whole.
        CWindowDocument::SetWorkDelay(-1);
        Responders::PressAlertButton(1);
        mDocument->ImportData(FileAt(path));
        EXPECT_EQ(mDocument->GetObjects().size(), 5002u);
    }

    TEST_F(DocumentWork, CancellingASaveLeavesTheFileAsItWasAndTheDocumentModified)
    {
        std::string const path = SavedDocument(2000);
        std::string const before = Contents(path);
        std::size_t const files = FilesInFolder();
        auto* added = new CMapWaypoint;
        added->SetName(CString("Added"));
        ASSERT_TRUE(mDocument->AddObject(added));
        ASSERT_TRUE(mDocument->IsModified());
        CWindowDocument::SetWorkDelay(0);
        InputDriver::Key(display::kVK_Escape, display::kEscapeCharCode);
        EXPECT_EQ(Command(mDocument, 'save'), userCanceledErr);
        EXPECT_TRUE(AskedForWorkSheet());
        EXPECT_TRUE(mDocument->IsModified());
        EXPECT_TRUE(Contents(path) == before) << "the file is as it was";
        EXPECT_EQ(FilesInFolder(), files) << "no temporary file left behind";
        EXPECT_TRUE(Responders::History().empty()) << "a cancel needs no alert";
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        // Not cancelled, the same save writes the file.
        mShell.mAsked.clear();
        EXPECT_EQ(Command(mDocument, 'save'), noErr);
        EXPECT_TRUE(AskedForWorkSheet());
        EXPECT_FALSE(mDocument->IsModified());
        EXPECT_NE(Contents(path).find("Added"), std::string::npos);
    }

    // The global document saves itself at quit: a save stopped there stops the quit, and nothing is lost.
    TEST_F(DocumentWork, CancellingTheSaveAtQuitCancelsTheQuit)
    {
        std::string const path = SavedDocument(2000);
        std::string const before = Contents(path);
        mDocument->SetSaveMode(CDocument::kSaveModeAlways);
        mDocument->SetModified(true);
        CWindowDocument::SetWorkDelay(0);
        InputDriver::Key(display::kVK_Escape, display::kEscapeCharCode);
        mApp->CommandQuit();
        EXPECT_TRUE(AskedForWorkSheet());
        ASSERT_TRUE(CDocument::IsDocument(mDocument));
        EXPECT_TRUE(mDocument->IsModified());
        EXPECT_TRUE(Contents(path) == before) << "the file is as it was";
        EXPECT_EQ(CApplication::GetAppMode(), UInt32(CApplication::kModeRunning));
        EXPECT_TRUE(Responders::History().empty()) << "a cancel needs no alert";
    }

    // A quit asked for while an import runs (its sheet takes the window's events) is refused,
    // by Ctrl+Q or by the window system, though nothing was modified when the import began: the
    // loop runs on afterwards with the document and every object the import brought.
    TEST_F(DocumentWork, AQuitDuringAnImportIsRefusedAndTheProgramRunsOnWithTheObjects)
    {
        CWindowDocument::SetWorkDelay(0);
        std::string const path = WriteWaypoints("many.gpx", 5000);
        for (bool const byKey : { true, false }) {
            SCOPED_TRACE(byKey ? "Ctrl+Q" : "the window system's quit");
            mDocument->SetModified(false);
            std::size_t const before = mDocument->GetObjects().size();
            mShell.mAsked.clear();
            // The import runs from the loop (as the Import command does); the quit comes while it runs.
            std::pair<CWindowDocument*, CFile> work { mDocument, FileAt(path) };
            EventLoopTimerRef import = nullptr;
            InstallEventLoopTimer(
                GetMainEventLoop(), 0, 0,
                [](EventLoopTimerRef, void* data) {
                    auto* work = static_cast<std::pair<CWindowDocument*, CFile>*>(data);
                    work->first->ImportData(work->second);
                },
                &work, &import);
            if (byKey)
                InputDriver::TypeKeys("q", cmdKey);
            else
                InputDriver::Post(InputDriver::Make(display::InputKind::Quit));
            Responders::PressAlertButton(1);
            mApp->RunEventLoop(); // ends at a quit, or at its guard
            RemoveEventLoopTimer(import);
            EXPECT_TRUE(AskedForWorkSheet());
            EXPECT_TRUE(mApp->mTimedOut) << "the quit ended the program";
            ASSERT_TRUE(CDocument::IsDocument(mDocument));
            EXPECT_EQ(mDocument->GetObjects().size(), before + 5000);
            EXPECT_TRUE(mDocument->IsModified());
            EXPECT_EQ(CApplication::GetAppMode(), UInt32(CApplication::kModeRunning));
        }
    }

    // The session hangs up while work runs: the work ends, and at the shutdown that follows what
    // it left is kept for the next start, and only that: a finished save needs no copy.
    TEST_F(DocumentWork, AHangUpDuringWorkKeepsWhatTheWorkLeftForTheNextStart)
    {
        std::string const path = SavedDocument(2000);
        std::string const recovered = mApp->GetRecoveryFolder(true).GetPath();
        auto const copies = [&recovered] {
            std::vector<std::string> found;
            std::error_code error;
            for (auto const& entry : std::filesystem::directory_iterator(recovered, error))
                if (entry.path().extension() != ".from")
                    found.push_back(entry.path().string());
            return found;
        };
        auto const hangUpSoon = [] {
            display::ResetSessionEndForTesting();
            EventLoopTimerRef timer = nullptr;
            InstallEventLoopTimer(
                GetMainEventLoop(), 0, 0, [](EventLoopTimerRef, void*) { display::EndSession(); }, nullptr, &timer);
            return timer;
        };
        CWindowDocument::SetWorkDelay(0);

        auto* added = new CMapWaypoint;
        added->SetName(CString("Added"));
        ASSERT_TRUE(mDocument->AddObject(added));
        EventLoopTimerRef timer = hangUpSoon();
        EXPECT_EQ(Command(mDocument, 'save'), noErr);
        RemoveEventLoopTimer(timer);
        EXPECT_TRUE(AskedForWorkSheet());
        mApp->Shutdown();
        EXPECT_NE(Contents(path).find("Added"), std::string::npos);
        EXPECT_FALSE(mDocument->IsModified());
        EXPECT_TRUE(copies().empty()) << "a copy of what the save wrote";

        // An import into a document with nothing unsaved.
        mShell.mAsked.clear();
        timer = hangUpSoon();
        Responders::PressAlertButton(1);
        mDocument->ImportData(FileAt(WriteWaypoints("more.gpx", 3000)));
        RemoveEventLoopTimer(timer);
        EXPECT_TRUE(AskedForWorkSheet());
        mApp->Shutdown();
        display::ResetSessionEndForTesting();
        std::vector<std::string> const kept = copies();
        ASSERT_EQ(kept.size(), 1u) << "the import was lost";
        EXPECT_NE(Contents(kept[0]).find("P2999"), std::string::npos);
        EXPECT_EQ(Contents(kept[0] + ".from"), path);
    }

    TEST_F(DocumentWork, ASmallSaveShowsNoSheet)
    {
        std::string const path = SavedDocument(3);
        mDocument->SetModified(true);
        EXPECT_EQ(Command(mDocument, 'save'), noErr);
        EXPECT_FALSE(AskedForWorkSheet());
        EXPECT_FALSE(mDocument->IsModified());
        EXPECT_TRUE(Responders::History().empty());
    }

} // namespace
} // namespace tw::test
