// A live track recorded into a map document from an NMEA receiver on a pseudo-terminal that
// replays the walk log, on the real clock: the application's own device registry finds the
// receiver, the record sheet offers it once it knows where it is, and the track that ends
// holds the log's points and is shown in the tracks list with its editor asked for.
#include "app/CDocumentShell.h"
#include "app/DeviceSheetSupport.h"
#include "devices/CDevice.h"
#include "devices/CDeviceManager.h"
#include "devices/CDeviceNMEA.h"
#include "docwindow/IDeviceSheets.h"
#include "docwindow/tests/ReceiverDocumentTest.h"
#include "tests/support/InputDriver.h"
#include "model/CMapTrack.h"
#include "widgets/CHISegmentedView.h"

#include <cstdlib>

namespace tw::test {
namespace {

    class RecordingShell : public CDocumentShell {
    public:
        CWindowController* MakeSheet(UInt32 kind, CWindowDocument& document, CMapObject* object) override
        {
            mAsked.push_back({ kind, object });
            return CDocumentShell::MakeSheet(kind, document, object);
        }
        std::vector<std::pair<UInt32, CMapObject*>> mAsked;
    };

    class DocumentRecording : public ReceiverDocumentTest {
    protected:
        // The application on the terminal's receiver, and a new document recording from it with
        // its progress sheet up; the result stays null when a step fails.
        void StartRecording(PseudoTerminal& terminal, CWindowDocument*& result)
        {
            CDeviceManager::Setup setup;
            setup.serialPorts = { CString(terminal.GetPath().c_str()) };
            StartApplication(std::move(setup));
            CWindowDocument::SetShell(&mShell); // in place of the application's, to see what is asked
            CDocument* made = nullptr;
            ASSERT_EQ(mApp->CommandCreate(nullptr, &made), noErr);
            auto* document = dynamic_cast<CWindowDocument*>(made);
            ASSERT_NE(document, nullptr);
            CDeviceManager& devices = CTWApplication::GetDeviceManager();
            ASSERT_TRUE(RunLoopUntil([&] { return devices.IsLocationKnown(); }, 20))
                << devices.GetDevices().size() << " receivers, " << devices.GetDriverCount() << " drivers";

            ASSERT_EQ(Command(document, 'dtrk'), noErr);
            ASSERT_EQ(document->GetSheet(), CWindowDocument::kSheetTrackConfig);
            auto* sheet = dynamic_cast<ITrackConfigSheet*>(document->GetSheetController());
            ASSERT_NE(sheet, nullptr);
            // Offered once it knows where it is (the list is looked at again every second).
            ASSERT_TRUE(RunLoopUntil([&] { return sheet->GetTrackInfo().device != nullptr; }, 5))
                << "the application's registry is the one the sheet lists";
            EXPECT_EQ(sheet->GetTrackInfo().device, devices.GetDevices().front());
            ASSERT_EQ(Command(document, 'ok  '), noErr);
            ASSERT_TRUE(document->IsRecording());
            EXPECT_EQ(document->GetTrackDevice(), devices.GetDevices().front());
            ASSERT_TRUE(RunLoopUntil([&] { return document->HasSheet(); })) << "the progress sheet shows";
            result = document;
        }

        RecordingShell mShell;
    };

    TEST_F(DocumentRecording, AReplayedLogBecomesATrackWithItsPoints)
    {
        std::vector<std::string> const moments = WalkMoments();
        std::vector<ExpectedFix> const expected = ReadWalkSidecar();
        ASSERT_FALSE(expected.empty());
        PseudoTerminal terminal;
        // One position of the walk over and over, so the receiver is known to be somewhere.
        std::string const waiting = moments[moments.size() / 2];
        terminal.Play([waiting](unsigned) { return waiting; }, 0.05);
        CWindowDocument* document = nullptr;
        StartRecording(terminal, document);
        ASSERT_NE(document, nullptr);

        // The walk, once from its start.
        terminal.StopPlaying();
        CMapTrack* track = document->GetTrackInfo().track;
        ASSERT_NE(track, nullptr);
        // What was on its way arrives: the driver reads the port once a tick.
        std::size_t waited = 0;
        do {
            waited = track->GetSamples().size();
            RunLoopUntil([] { return false; }, CDeviceNMEA::kPositionInterval + 0.25);
        } while (track->GetSamples().size() != waited);
        terminal.Play([moments](unsigned i) { return i < moments.size() ? moments[i] : std::string(); }, 0.05);
        ASSERT_TRUE(RunLoopUntil([&] { return track->GetSamples().size() >= waited + expected.size(); }, 30));
        RunLoopUntil([] { return false; }, 0.3); // nothing more comes
        ASSERT_EQ(Command(document, 'not!'), noErr); // Stop
        ASSERT_TRUE(RunLoopUntil([&] { return !document->IsRecording(); }));

        // The log's points, in order, after what came of the waiting position.
        auto const& samples = track->GetSamples();
        ASSERT_GE(samples.size(), waited + expected.size());
        ASSERT_LE(samples.size(), waited + expected.size() + 2) << "a waiting fix or two on its way at most";
        std::size_t const first = samples.size() - expected.size();
        for (std::size_t i = 0; i < first; ++i)
            EXPECT_EQ(samples[i].GetTime().GetTimeInSeconds(), samples[0].GetTime().GetTimeInSeconds())
                << "the waiting position";
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_DOUBLE_EQ(samples[first + i].GetTime().GetTimeInSeconds(), expected[i].seconds) << i;
            EXPECT_NEAR(samples[first + i].GetLatitude(), expected[i].latitude, 1e-9) << i;
            EXPECT_NEAR(samples[first + i].GetLongitude(), expected[i].longitude, 1e-9) << i;
        }
        EXPECT_EQ(document->GetListSelector()->GetCurrentValue(), 3) << "the tracks list is shown";
        ASSERT_FALSE(mShell.mAsked.empty());
        EXPECT_EQ(mShell.mAsked.back().first, UInt32(CWindowDocument::kSheetTrack)) << "its editor is asked for";
        EXPECT_EQ(mShell.mAsked.back().second, track);
        terminal.Close();
    }

    // Pulled out while recording: the alert says why, and the track's editor opens once it goes.
    TEST_F(DocumentRecording, ARecordingEndedByThePulledReceiverOpensItsEditorAfterTheAlert)
    {
        std::vector<std::string> const moments = WalkMoments();
        PseudoTerminal terminal;
        terminal.Play([moments](unsigned i) { return moments[std::min<std::size_t>(i, moments.size() - 1)]; }, 0.05);
        CWindowDocument* document = nullptr;
        StartRecording(terminal, document);
        ASSERT_NE(document, nullptr);
        CMapTrack* track = document->GetTrackInfo().track;
        ASSERT_NE(track, nullptr);
        ASSERT_TRUE(RunLoopUntil([&] { return track->GetSamples().size() >= 3; }, 10));
        std::size_t const asked = mShell.mAsked.size();

        terminal.Close();
        ASSERT_TRUE(RunLoopUntil([&] { return !document->IsRecording(); }, 10));
        RunLoopUntil([] { return false; }, 0.3);
        EXPECT_EQ(document->GetSheet(), CWindowDocument::kSheetAlert) << "the alert saying why";
        EXPECT_EQ(mShell.mAsked.size(), asked) << "no editor under the alert";
        EXPECT_FALSE(track->GetSamples().empty()) << "the points are kept";

        InputDriver::Key(36, 13); // Return: the alert's button
        ASSERT_TRUE(RunLoopUntil([&] { return mShell.mAsked.size() > asked; }, 5)) << "no editor once it went";
        ASSERT_EQ(mShell.mAsked.size(), asked + 1);
        EXPECT_EQ(mShell.mAsked.back().first, UInt32(CWindowDocument::kSheetTrack));
        EXPECT_EQ(mShell.mAsked.back().second, track);
        EXPECT_EQ(document->GetSheet(), CWindowDocument::kSheetTrack);
        RunLoopUntil([] { return false; }, 0.2); // the alert's window goes
    }

} // namespace
} // namespace tw::test
