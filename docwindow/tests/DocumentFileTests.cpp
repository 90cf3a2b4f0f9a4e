#include "DocumentTest.h"
#include "corefoundation/PropertyListWriter.h"
#include "display/SessionEnd.h"
#include "docwindow/CDocumentImport.h"
#include "docwindow/tests/fuzz/FuzzDocumentEntry.h"
#include "docwindow/CViewMap.h"
#include "foundation/CTextUtilities.h"
#include "framework/CFileErrorText.h"
#include "model/CMapCircle.h"
#include "model/CMapCrop.h"
#include "model/CMapLine.h"
#include "model/CMapNote.h"
#include "model/CMapRectangle.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "widgets/CSplitterView.h"

#include <cmath>
#include <filesystem>
#include <sys/stat.h>

// The document file: what a saved document holds, read back by the program and by
// Python's plistlib, and what the program makes of damaged and foreign files.

namespace tw::test {
namespace {

    using toolbox::dialogs::Responders;

    CCoordinateRect Box(double north, double west, double south, double east)
    {
        return CCoordinateRect(CCoordinate(north, west), CCoordinate(south, east));
    }

    // One object of every kind; the route runs from the first waypoint to the second.
    void AddEveryKind(CWindowDocument* document)
    {
        auto* camp = new CMapWaypoint();
        camp->SetName("Camp");
        camp->SetPosition(CCoordinate(57.7089, 11.9746, 12));
        camp->SetSymbol('camp');
        auto* lake = new CMapWaypoint();
        lake->SetName("Sjön");
        lake->SetPosition(CCoordinate(57.69, 12.03));
        auto* route = new CMapRoute();
        route->SetName("Walk");
        route->AddWaypoint(-1, camp, false);
        route->AddWaypoint(-1, lake, false);
        auto* track = new CMapTrack();
        track->SetName("Morning");
        std::vector<CCoordinatePVT> samples;
        for (int i = 0; i < 3; ++i)
            samples.emplace_back(CCoordinate(57.70 + i * 0.001, 11.97), CDateTime(7.0e8 + i * 10));
        track->SetSamples(samples);
        auto* note = new CMapNote();
        note->SetName("Note");
        note->SetDescription("Bring water.");
        note->SetPosition(CCoordinate(57.71, 11.98));
        auto* line = new CMapLine();
        line->SetName("Line");
        line->SetStart(CCoordinate(57.6, 11.9));
        line->SetEnd(CCoordinate(57.8, 12.1));
        MapObjectStyle style;
        style.lineWidth = 4;
        style.lineStyle = kMapLineDashed;
        style.frame = { 1, 0, 0, 1 };
        line->SetStyle(style);
        auto* rectangle = new CMapRectangle();
        rectangle->SetBounds(Box(58, 11, 57, 12));
        auto* circle = new CMapCircle();
        circle->SetBounds(Box(57.9, 11.5, 57.5, 12.5));
        auto* crop = new CMapCrop();
        crop->SetBounds(Box(59, 10, 56, 13));
        document->AddObjects({ camp, lake, route, track, note, line, rectangle, circle, crop });
    }

    // Runs a Python script whose first argument is the file; its output.
    std::string Python(std::string const& script, std::string const& path)
    {
        TempFolder folder;
        WriteFile(folder / "script.py", script);
        std::string output;
        int const status = RunCommand("python3 '" + (folder / "script.py").string() + "' '" + path + "' 2>&1", &output);
        EXPECT_EQ(status, 0) << output;
        return output;
    }

    class DocumentFile : public DocumentTest {
    protected:
        void SetUp() override
        {
            DocumentTest::SetUp();
            StartApp();
        }
        // A saved document of every kind of object, closed again.
        std::string SaveEveryKind(char const* name)
        {
            CWindowDocument* document = NewDocument();
            AddEveryKind(document);
            std::string const path = PathFor(name);
            document->SetFile(FileAt(path));
            EXPECT_EQ(document->SaveDocument(), noErr);
            delete document;
            return path;
        }
        CWindowDocument* Open(std::string const& path)
        {
            CFile const file = FileAt(path);
            return NewDocument(&file);
        }
    };

    TEST_F(DocumentFile, EveryKindOfObjectAndTheViewComeBackAsTheyWereSaved)
    {
        CWindowDocument* document = NewDocument();
        AddEveryKind(document);
        CDocumentInfo info;
        info.SetAuthor("Åsa Berg");
        info.SetDescription("A day by the lake.");
        document->SetDocumentInfo(info);
        document->GetMapView()->SetMapZoom(CHIView::kZoomFactor, nullptr, 12);
        document->GetMapView()->SetMapCentre(CCoordinate(57.7, 11.97));
        document->GetSplitter()->SetRatio(0.4f);
        std::string const path = PathFor("everything.twk");
        document->SetFile(FileAt(path));
        ASSERT_EQ(document->SaveDocument(), noErr);
        CCoordinate const centre = document->GetMapView()->GetMapCentre();
        delete document;

        document = Open(path);
        ASSERT_NE(document, nullptr);
        EXPECT_FALSE(document->IsModified());
        EXPECT_EQ(Responders::History().size(), 0u) << "nothing to report";
        auto const& objects = document->GetObjects();
        ASSERT_EQ(objects.size(), 9u);
        MapObjectType const types[] = { kMapObjectWaypoint, kMapObjectWaypoint, kMapObjectRoute, kMapObjectTrack,
            kMapObjectNote, kMapObjectLine, kMapObjectRectangle, kMapObjectCircle, kMapObjectCrop };
        for (std::size_t i = 0; i < objects.size(); ++i)
            EXPECT_EQ(objects[i]->GetType(), types[i]) << i;
        auto* camp = static_cast<CMapWaypoint*>(objects[0]);
        EXPECT_EQ(camp->GetName().GetStdString(), "Camp");
        EXPECT_EQ(camp->GetSymbol(), OSType('camp'));
        EXPECT_DOUBLE_EQ(camp->GetPosition().GetLatitude(), 57.7089);
        EXPECT_DOUBLE_EQ(camp->GetPosition().GetAltitude(), 12);
        EXPECT_EQ(objects[1]->GetName().GetStdString(), "Sjön");
        std::vector<RouteSegment> const legs = static_cast<CMapRoute*>(objects[2])->GetSegments();
        ASSERT_EQ(legs.size(), 2u);
        EXPECT_EQ(legs[0].waypoint, objects[0]) << "the route's legs start at the document's own waypoints";
        EXPECT_EQ(legs[1].waypoint, objects[1]);
        EXPECT_EQ(static_cast<CMapTrack*>(objects[3])->GetSamples().size(), 3u);
        EXPECT_EQ(objects[4]->GetDescription().GetStdString(), "Bring water.");
        EXPECT_DOUBLE_EQ(static_cast<CMapLine*>(objects[5])->GetEnd().GetLongitude(), 12.1);
        EXPECT_EQ(objects[5]->GetStyle().lineStyle, MapLineStyle(kMapLineDashed));
        EXPECT_FLOAT_EQ(objects[5]->GetStyle().lineWidth, 4);
        EXPECT_EQ(objects[5]->GetStyle().frame, (ColourRGBA { 1, 0, 0, 1 }));
        EXPECT_DOUBLE_EQ(static_cast<CMapCrop*>(objects[8])->GetBounds().GetTopLeft().GetLatitude(), 59);
        EXPECT_EQ(document->GetDocumentInfo().GetAuthor().GetStdString(), "Åsa Berg");
        EXPECT_EQ(document->GetDocumentInfo().GetDescription().GetStdString(), "A day by the lake.");
        EXPECT_EQ(document->GetMapView()->GetMapZoom(), 12u);
        EXPECT_NEAR(document->GetMapView()->GetMapCentre().GetLatitude(), centre.GetLatitude(), 1e-4);
        EXPECT_NEAR(document->GetMapView()->GetMapCentre().GetLongitude(), centre.GetLongitude(), 1e-4);
        EXPECT_FLOAT_EQ(document->GetSplitter()->GetRatio(), 0.4f);
    }

    TEST_F(DocumentFile, PlistlibReadsTheFileAndObjectsAreNumberedInDocumentOrder)
    {
        CWindowDocument* document = NewDocument();
        auto* first = new CMapWaypoint();
        auto* second = new CMapWaypoint();
        auto* route = new CMapRoute();
        route->AddWaypoint(-1, second, false);
        route->AddWaypoint(-1, first, false);
        first->SetID(7);
        second->SetID(3);
        route->SetID(12);
        auto* target = new CMapWaypoint(); // the program's own marker: not stored
        target->SetAttributes(kMapObjectAttrTemporary, 0);
        document->AddObjects({ first, second, target, route });
        std::string const path = PathFor("numbered.twk");
        document->SetFile(FileAt(path));
        ASSERT_EQ(document->SaveDocument(), noErr);

        std::string const read = Python(R"(import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    d = plistlib.load(f)
print(d['Format'], [o['Type'] for o in d['Objects']], [o['ID'] for o in d['Objects']])
print([leg['ID'] for leg in d['Objects'][2]['Waypoints']], d['ViewZoom'], round(d['SplitterRatio'], 2))
print('ViewCentre' in d, 'WindowBounds' in d, d['Author'] != '')
)",
            path);
        EXPECT_EQ(read,
            "1 ['wayp', 'wayp', 'rout'] [1, 2, 3]\n"
            "[2, 1] "
                + std::to_string(document->GetMapView()->GetMapZoom()) + " 0.3\nTrue True True\n");
    }

    TEST_F(DocumentFile, LoadingAnnouncesTheObjectsOnceAndLeavesTheDocumentUnmodified)
    {
        std::string const path = SaveEveryKind("reload.twk");
        CWindowDocument* document = Open(path);
        ASSERT_NE(document, nullptr);
        BroadcastLog log;
        document->AddListener(&log);
        document->GetObjects()[0]->SetName("Changed");
        document->GetSplitter()->SetRatio(0.6f);
        log.Clear();
        ASSERT_EQ(document->LoadDocument(), noErr); // as Revert does
        EXPECT_EQ(log.Messages(), std::vector<UInt32>({ 'dors' }));
        EXPECT_EQ(document->GetObjects().size(), 9u) << "the file's objects replace the old ones";
        EXPECT_EQ(document->GetObjects()[0]->GetName().GetStdString(), "Camp");
        EXPECT_FALSE(document->IsModified());
        document->RemoveListener(&log);
    }

    struct Damage {
        char const* name;
        char const* edit; // Python statements on the dictionary d
        std::size_t objectsLeft;
        char const* reported; // bundle key of the line the alert must hold
    };

    class DamagedFile : public DocumentFile, public ::testing::WithParamInterface<Damage> { };

    TEST_P(DamagedFile, OpensWhatItCanSaysWhatItDroppedAndKeepsItOnSave)
    {
        Damage const damage = GetParam();
        std::string const path = SaveEveryKind("damaged.twk");
        Python(std::string("import plistlib, sys\nwith open(sys.argv[1], 'rb') as f:\n    d = plistlib.load(f)\n")
                + damage.edit + "\nwith open(sys.argv[1], 'wb') as f:\n    plistlib.dump(d, f)\n",
            path);
        Responders::PressAlertButton(1);
        CWindowDocument* document = Open(path);
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->GetObjects().size(), damage.objectsLeft);
        ASSERT_EQ(Responders::History().size(), 1u) << "one alert says what could not be read";
        std::string const said = Responders::History()[0].text;
        EXPECT_NE(said.find("damaged.twk"), std::string::npos) << said;
        std::string reported = CTextUtilities::GetBundleString(damage.reported).GetStdString();
        reported = reported.substr(0, reported.find('%'));
        EXPECT_NE(said.find(reported), std::string::npos) << said;
        ManualClock::RunFor(1);
        EXPECT_EQ(document->GetSheet(), CWindowDocument::kSheetNone);

        ASSERT_EQ(document->SaveDocument(), noErr);
        std::string const count
            = Python("import plistlib, sys\nwith open(sys.argv[1], 'rb') as f:\n    d = plistlib.load(f)\n"
                     "print(len(d.get('Objects', [])), sorted(o['ID'] for o in d.get('Objects', [])))\n",
                path);
        std::size_t const kept
            = std::string(damage.name) == "UnknownKind" || std::string(damage.name) == "DamagedObject"
            ? damage.objectsLeft + 1
            : damage.objectsLeft;
        std::string numbers;
        for (std::size_t id = 1; id <= kept; ++id)
            numbers += (id > 1 ? ", " : "") + std::to_string(id);
        EXPECT_EQ(count, std::to_string(kept) + " [" + numbers + "]\n") << "numbered 1 to N, unread objects too";
    }

    INSTANTIATE_TEST_SUITE_P(Files, DamagedFile,
        ::testing::Values(Damage { "UnknownKind", "d['Objects'][4]['Type'] = 'zzzz'", 8, "DocLoadUnknownObjects" },
            Damage { "DamagedObject", "del d['Objects'][0]['Position']", 8, "DocLoadDamagedObjects" },
            Damage { "ObjectsNotAList", "d['Objects'] = 'none'", 0, "DocLoadNoObjects" },
            Damage { "OtherFormat", "d['Format'] = 7", 9, "DocLoadUnknownFormat" }),
        [](auto const& info) { return std::string(info.param.name); });

    // A long list is read in parts at once: the objects keep the file's order, routes find
    // their waypoints across parts, and what could not be read is reported and written back
    // in its order.
    TEST_F(DocumentFile, ALongListKeepsItsOrderAndWhatItCouldNotRead)
    {
        std::string const path = PathFor("long.twk");
        Python("import plistlib, sys\n"
               "objects = [{'Type': 'wayp', 'ID': i, 'Name': 'W%d' % i, 'Position': '{57.%d, 11.9, 0}' % i}\n"
               "           for i in range(1, 3001)]\n"
               "objects[999]['Type'] = 'zzzz'\n"
               "del objects[1999]['Position']\n"
               "objects[2499] = 'stray'\n"
               "objects.insert(1200, {'Type': 'trak', 'ID': 5000, 'Name': 'Morning',\n"
               "                      'Samples': '57.7 11.97 0 7e+08 0 1\\n57.701 11.97 0 700000010 0 1\\n'})\n"
               "objects.append({'Type': 'rout', 'ID': 3001, 'Name': 'Walk',\n"
               "                'Waypoints': [{'ID': 1}, {'ID': 1500}, {'ID': 2999}]})\n"
               "with open(sys.argv[1], 'wb') as f:\n"
               "    plistlib.dump({'Format': 1, 'Objects': objects}, f)\n",
            path);
        Responders::PressAlertButton(1);
        CWindowDocument* document = Open(path);
        ASSERT_NE(document, nullptr);
        auto const& objects = document->GetObjects();
        ASSERT_EQ(objects.size(), 2999u);
        std::size_t mismatched = 0;
        std::size_t at = 0;
        for (int id = 1; id <= 3000; ++id) {
            if (id == 1000 || id == 2000 || id == 2500)
                continue;
            if (id == 1201) {
                ASSERT_TRUE(objects[at]->IsType(kMapObjectTrack)) << "a track keeps its place too";
                EXPECT_EQ(static_cast<CMapTrack*>(objects[at++])->GetSamples().size(), 2u);
            }
            mismatched += objects[at++]->GetName().GetStdString() != "W" + std::to_string(id);
        }
        EXPECT_EQ(mismatched, 0u) << "in the file's order";
        ASSERT_TRUE(objects.back()->IsType(kMapObjectRoute));
        std::vector<RouteSegment> const legs = static_cast<CMapRoute*>(objects.back())->GetSegments();
        ASSERT_EQ(legs.size(), 3u);
        EXPECT_EQ(legs[0].waypoint, objects[0]);
        EXPECT_EQ(legs[1].waypoint->GetName().GetStdString(), "W1500");
        EXPECT_EQ(legs[2].waypoint->GetName().GetStdString(), "W2999");
        ASSERT_EQ(Responders::History().size(), 1u);
        std::string const said = Responders::History()[0].text;
        CString unknown, damaged;
        unknown.Format(CTextUtilities::GetBundleString("DocLoadUnknownObjects").GetUTF8(), 1u);
        damaged.Format(CTextUtilities::GetBundleString("DocLoadDamagedObjects").GetUTF8(), 2u);
        EXPECT_NE(said.find(unknown.GetStdString()), std::string::npos) << said;
        EXPECT_NE(said.find(damaged.GetStdString()), std::string::npos) << said;
        ManualClock::RunFor(1);

        ASSERT_EQ(document->SaveDocument(), noErr);
        EXPECT_EQ(Python("import plistlib, sys\nwith open(sys.argv[1], 'rb') as f:\n    d = plistlib.load(f)\n"
                         "o = d['Objects']\nprint(len(o), o[2999]['Type'], o[3000].get('Position'), o[3001])\n",
                      path),
            "3002 zzzz None stray\n");
    }

    TEST_F(DocumentFile, AFileThatIsNoDocumentIsRefusedAndLeftAsItWas)
    {
        std::string const path = SaveEveryKind("truncated.twk");
        std::string const whole = ReadFile(path);
        std::string const cut = whole.substr(0, whole.size() / 2);
        WriteFile(path, cut);
        CFile const file = FileAt(path);
        CDocument* document = nullptr;
        OSStatus const status = mApp->CommandCreate(&file, &document);
        EXPECT_EQ(status, kNothingParseableErr);
        EXPECT_EQ(document, nullptr);
        EXPECT_EQ(ReadFile(path), cut) << "nothing was written over it";
        // Cut short is said as such; "not a document" is for files of another kind.
        EXPECT_EQ(CFileErrorText::GetReason(CFileErrorText::kOpen, file, status),
            CTextUtilities::GetBundleString("It is damaged or cut short: it could not be read to its end."));
        WriteFile(path, "Name,Latitude\nCamp,57.7\n");
        EXPECT_NE(CFileErrorText::GetReason(CFileErrorText::kOpen, file, status),
            CTextUtilities::GetBundleString("It is damaged or cut short: it could not be read to its end."));
    }

    // A file without a format number or without a list of objects opens as it is, without a word:
    // nothing is missing from it. A list that is no list was damaged, and says so.
    TEST_F(DocumentFile, AFileWithoutFormatOrObjectsOpensWithoutAWord)
    {
        struct Case {
            char const* name;
            char const* edit; // Python, on the saved dictionary d
            std::size_t objects;
            char const* told; // what the alert says, null: no alert
        };
        Case const cases[] = {
            { "no-format.twk", "del d['Format']", 9, nullptr },
            { "no-objects.twk", "del d['Objects']", 0, nullptr },
            { "neither.twk", "del d['Format']\ndel d['Objects']", 0, nullptr },
            { "bare.twk", "d = {}", 0, nullptr },
            { "objects-text.twk", "d['Objects'] = 'none'", 0, "no list of objects" },
            { "format-zero.twk", "d['Format'] = 0", 9, "a format this version" },
        };
        for (Case const& c : cases) {
            SCOPED_TRACE(c.name);
            std::string const path = SaveEveryKind(c.name);
            Python(std::string("import plistlib, sys\nwith open(sys.argv[1], 'rb') as f:\n    d = plistlib.load(f)\n")
                    + c.edit + "\nwith open(sys.argv[1], 'wb') as f:\n    plistlib.dump(d, f)\n",
                path);
            Responders::Reset();
            if (c.told)
                Responders::PressAlertButton(1);
            CFile const file = FileAt(path);
            CDocument* opened = nullptr;
            ASSERT_EQ(mApp->CommandCreate(&file, &opened), noErr);
            auto* document = dynamic_cast<CWindowDocument*>(opened);
            ASSERT_NE(document, nullptr);
            ManualClock::RunFor(0.5);
            EXPECT_EQ(document->GetObjects().size(), c.objects);
            ASSERT_EQ(Responders::History().size(), c.told ? 1u : 0u);
            if (c.told) {
                std::string const said = Responders::History()[0].text;
                EXPECT_NE(said.find(c.told), std::string::npos) << said;
            }
            EXPECT_FALSE(document->IsModified());
            document->CommandClose();
            ManualClock::RunFor(0.5);
        }
    }

    // A newer version's file: what this version does not know is written back, and the format
    // number is not lowered without asking.
    TEST_F(DocumentFile, UnknownKeysAreKeptAndANewerFormatIsRewrittenOnlyWhenTheUserSaysSo)
    {
        std::string const path = SaveEveryKind("newer.twk");
        Python("import plistlib, sys\nwith open(sys.argv[1], 'rb') as f:\n    d = plistlib.load(f)\n"
               "d['Format'] = 2\nd['Layers'] = [{'Name': 'Hiking', 'Visible': True}]\n"
               "with open(sys.argv[1], 'wb') as f:\n    plistlib.dump(d, f)\n",
            path);
        std::string const original = ReadFile(path);
        Responders::PressAlertButton(1); // the load report
        CWindowDocument* document = Open(path);
        ASSERT_NE(document, nullptr);
        ManualClock::RunFor(0.5);
        document->AddObject(new CMapWaypoint());

        Responders::PressAlertButton(2); // Cancel
        EXPECT_EQ(document->CommandSave(), userCanceledErr);
        EXPECT_EQ(ReadFile(path), original);
        EXPECT_TRUE(document->IsModified());

        Responders::PressAlertButton(1); // Save
        EXPECT_EQ(document->CommandSave(), noErr);
        std::string const written = Python("import plistlib, sys\nwith open(sys.argv[1], 'rb') as f:\n"
                                           "    d = plistlib.load(f)\nprint(d['Format'], d['Layers'])\n",
            path);
        EXPECT_EQ(written, "1 [{'Name': 'Hiking', 'Visible': True}]\n");
        std::size_t const asked = Responders::History().size();
        document->AddObject(new CMapWaypoint());
        EXPECT_EQ(document->CommandSave(), noErr);
        EXPECT_EQ(Responders::History().size(), asked) << "asked once: the file is in this format now";
    }

    // With nobody to ask (the display is gone), a newer version's file is not rewritten: the
    // changes are kept aside for the next start.
    TEST_F(DocumentFile, AtTheSessionsEndANewerFormatIsKeptAsideNotRewritten)
    {
        std::string const path = SaveEveryKind("newer.twk");
        Python("import plistlib, sys\nwith open(sys.argv[1], 'rb') as f:\n    d = plistlib.load(f)\n"
               "d['Format'] = 2\nwith open(sys.argv[1], 'wb') as f:\n    plistlib.dump(d, f)\n",
            path);
        std::string const original = ReadFile(path);
        std::error_code error;
        std::filesystem::remove_all(mApp->GetRecoveryFolder(false).GetPath(), error);
        Responders::PressAlertButton(1); // the load report
        CWindowDocument* document = Open(path);
        ASSERT_NE(document, nullptr);
        ManualClock::RunFor(0.5);
        document->SetSaveMode(CDocument::kSaveModeAlways);
        document->AddObject(new CMapWaypoint());
        display::ResetSessionEndForTesting();
        display::EndSession();
        display::ResetSessionEndForTesting();
        EXPECT_EQ(ReadFile(path), original);
        EXPECT_FALSE(document->IsModified());
        ASSERT_TRUE(mApp->GetRecoveryFolder(false).IsSpecified());
        EXPECT_FALSE(std::filesystem::is_empty(mApp->GetRecoveryFolder(false).GetPath()));
        std::filesystem::remove_all(mApp->GetRecoveryFolder(false).GetPath(), error);
    }

    // Another program's changes are not overwritten without asking; Revert takes them.
    TEST_F(DocumentFile, AFileChangedOnDiskIsNotOverwrittenWithoutAskingAndRevertTakesItsContents)
    {
        std::string const path = SaveEveryKind("shared.twk");
        CWindowDocument* document = Open(path);
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(Status(document, 'rvrt'), CCarbonEventHandler::kMenuStatusDisable);
        Python("import plistlib, sys\nwith open(sys.argv[1], 'rb') as f:\n    d = plistlib.load(f)\n"
               "d['Objects'][0]['Name'] = 'Renamed elsewhere'\n"
               "with open(sys.argv[1], 'wb') as f:\n    plistlib.dump(d, f)\n",
            path);
        std::string const theirs = ReadFile(path);
        EXPECT_EQ(Status(document, 'rvrt'), CCarbonEventHandler::kMenuStatusEnable) << "the new contents can be had";
        document->AddObject(new CMapWaypoint());

        Responders::PressAlertButton(2); // Cancel
        EXPECT_EQ(document->CommandSave(), userCanceledErr);
        EXPECT_EQ(ReadFile(path), theirs);
        EXPECT_TRUE(document->IsModified());

        Responders::PressAlertButton(3); // Revert
        EXPECT_EQ(document->CommandSave(), userCanceledErr);
        EXPECT_EQ(ReadFile(path), theirs);
        EXPECT_FALSE(document->IsModified());
        ASSERT_FALSE(document->GetObjects().empty());
        EXPECT_EQ(document->GetObjects()[0]->GetName().GetStdString(), "Renamed elsewhere");

        // Once read, the file is this document's again: saving asks nothing.
        std::size_t const asked = Responders::History().size();
        document->AddObject(new CMapWaypoint());
        EXPECT_EQ(document->CommandSave(), noErr);
        EXPECT_EQ(Responders::History().size(), asked);
    }

    // A named pipe is not a file: opening or importing one is refused at once, not waited on.
    TEST_F(DocumentFile, ANamedPipeIsRefusedWhenOpenedOrImported)
    {
        for (char const* name : { "pipe.twk", "pipe.gpx" })
            ASSERT_EQ(mkfifo(PathFor(name).c_str(), 0600), 0);
        CFile const pipe = FileAt(PathFor("pipe.twk"));
        CDocument* opened = nullptr;
        EXPECT_EQ(mApp->CommandCreate(&pipe, &opened), kNotAFileErr);
        EXPECT_EQ(opened, nullptr);

        CWindowDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        std::vector<CMapObject*> objects;
        EXPECT_EQ(CDocumentImport::ReadFile(FileAt(PathFor("pipe.gpx")), objects), kNotAFileErr);
        EXPECT_TRUE(objects.empty());
        CString major, minor;
        CDocumentImport::GetReport(kNotAFileErr, CString("pipe.gpx"), 0, major, minor);
        EXPECT_EQ(minor, CTextUtilities::GetBundleString("It is not an ordinary file: only files can be opened."));
    }

    // Text no document can hold is kept out of objects, and whatever an object holds can be saved.
    TEST_F(DocumentFile, ControlCharactersNeverStopASave)
    {
        CWindowDocument* document = NewDocument();
        auto* camp = new CMapWaypoint();
        camp->SetName(CString("Ca\x01mp\x1B"));
        camp->SetDescription(CString("Line one\nLine\ttwo\x02"));
        document->AddObject(camp);
        EXPECT_EQ(camp->GetName().GetStdString(), "Camp");
        EXPECT_EQ(camp->GetDescription().GetStdString(), "Line one\nLine\ttwo");
        CDocumentInfo info;
        info.SetAuthor(CString("Me\x07"));
        info.SetDescription(CString("\x0BTrip"));
        EXPECT_EQ(info.GetAuthor().GetStdString(), "Me");
        EXPECT_EQ(info.GetDescription().GetStdString(), "Trip");
        std::string const path = PathFor("controls.twk");
        document->SetFile(FileAt(path));
        EXPECT_EQ(document->SaveDocument(), noErr);
        delete document;
        CWindowDocument* reopened = Open(path);
        ASSERT_NE(reopened, nullptr);
        ASSERT_EQ(reopened->GetObjects().size(), 1u);
        EXPECT_EQ(reopened->GetObjects()[0]->GetName().GetStdString(), "Camp");
    }

    // A waypoint that, as the save asks for it, notes how much of the file is on disk by then.
    class WatchedWaypoint : public CMapWaypoint {
    public:
        WatchedWaypoint(std::filesystem::path const& folder, std::vector<std::uintmax_t>& onDisk)
            : mFolder(folder)
            , mOnDisk(onDisk)
        {
        }
        OSStatus EncodeProperties(CFDictionary& properties) const override
        {
            std::uintmax_t bytes = 0;
            for (auto const& entry : std::filesystem::directory_iterator(mFolder))
                bytes += entry.is_regular_file() ? entry.file_size() : 0;
            mOnDisk.push_back(bytes);
            return CMapWaypoint::EncodeProperties(properties);
        }

    private:
        std::filesystem::path mFolder;
        std::vector<std::uintmax_t>& mOnDisk;
    };

    // A large document is written to its file while the later objects are still being made
    // into text: what is held back is never more than about one piece, whatever the size.
    TEST_F(DocumentFile, ALargeSaveReachesTheFileInPiecesAsItGoes)
    {
        constexpr std::size_t kWaypoints = 3000;
        constexpr std::uintmax_t kPiece = tw::cf::PropertyListWriter::kPieceSize;
        TempFolder folder;
        std::vector<std::uintmax_t> onDisk; // as each waypoint is asked for
        CWindowDocument* document = NewDocument();
        std::vector<CMapObject*> waypoints;
        for (std::size_t i = 0; i < kWaypoints; ++i) {
            auto* waypoint = new WatchedWaypoint(folder.Path(), onDisk);
            char name[16];
            std::snprintf(name, sizeof name, "WP%05zu", i);
            waypoint->SetName(name);
            waypoint->SetDescription(CString(std::string(4000, char('a' + i % 26)).c_str()));
            waypoint->SetPosition(CCoordinate(57.7 + i * 1e-5, 11.97));
            waypoints.push_back(waypoint);
        }
        document->AddObjects(waypoints);
        std::string const path = (folder / "large.twk").string();
        document->SetFile(FileAt(path));
        onDisk.clear();
        ASSERT_EQ(document->SaveDocument(), noErr);
        delete document;
        ASSERT_EQ(onDisk.size(), kWaypoints);

        // Where each waypoint lies in the file: the text of those before it was made by the
        // time it was asked for.
        std::string const text = ReadFile(path);
        ASSERT_GT(text.size(), 10 * kPiece);
        std::uintmax_t mostHeld = 0;
        std::size_t from = 0;
        for (std::size_t i = 0; i + 1 < kWaypoints; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "<string>WP%05zu</string>", i);
            std::size_t const at = text.find(name, from);
            ASSERT_NE(at, std::string::npos) << name;
            from = at;
            std::uintmax_t const made = at;
            if (made > onDisk[i + 1])
                mostHeld = std::max(mostHeld, made - onDisk[i + 1]);
        }
        EXPECT_LE(mostHeld, 2 * kPiece) << "the text waited in memory instead of going to the file";
        EXPECT_GE(onDisk.back(), text.size() - 2 * kPiece);
    }

    TEST_F(DocumentFile, AMissingViewAndSplitGiveTheDefaults)
    {
        std::string const path = SaveEveryKind("defaults.twk");
        Python("import plistlib, sys\nwith open(sys.argv[1], 'rb') as f:\n    d = plistlib.load(f)\n"
               "for k in ('ViewCentre', 'ViewZoom', 'SplitterRatio'):\n    del d[k]\n"
               "with open(sys.argv[1], 'wb') as f:\n    plistlib.dump(d, f)\n",
            path);
        CWindowDocument* document = Open(path);
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->GetMapView()->GetMapZoom(), 0u);
        EXPECT_FLOAT_EQ(document->GetSplitter()->GetRatio(), 0.3f);
        EXPECT_EQ(Responders::History().size(), 0u);
    }

    // Far beyond what any fixed limit on a file's size allowed: the file is some 70 MB.
    TEST_F(DocumentFile, AMillionPointTrackIsSavedAndOpensAgainWithEverySample)
    {
        constexpr int kSamples = 1000000;
        std::vector<CCoordinatePVT> samples;
        samples.reserve(kSamples);
        for (int i = 0; i < kSamples; ++i)
            samples.emplace_back(CCoordinate(57.7 + 1e-6 * i, 11.97 + 0.01 * std::sin(i * 1e-3), 20 + (i % 997) * 0.137),
                CDateTime(7.0e8 + i), CCoordinatePVT::Velocity { 1.5, -0.75 + (i % 3), 0.125 }, 3 + i % 5);
        auto* track = new CMapTrack();
        track->SetName("Lång promenad <&>");
        track->SetSamples(samples);
        CWindowDocument* document = NewDocument();
        document->AddObject(track);
        std::string const path = PathFor("million.twk");
        document->SetFile(FileAt(path));
        ASSERT_EQ(document->SaveDocument(), noErr);
        delete document;
        EXPECT_GT(std::filesystem::file_size(path), std::uintmax_t(64) << 20);

        document = Open(path);
        ASSERT_NE(document, nullptr) << "what was saved opens again";
        EXPECT_EQ(Responders::History().size(), 0u) << "nothing to report";
        ASSERT_EQ(document->GetObjects().size(), 1u);
        auto const* read = dynamic_cast<CMapTrack const*>(document->GetObjects()[0]);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->GetName().GetStdString(), "Lång promenad <&>");
        ASSERT_EQ(read->GetSamples().size(), samples.size());
        int differing = 0;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            CCoordinatePVT const& a = samples[i];
            CCoordinatePVT const& b = read->GetSamples()[i];
            bool const same = a.GetLatitude() == b.GetLatitude() && a.GetLongitude() == b.GetLongitude()
                && a.GetAltitude() == b.GetAltitude()
                && a.GetTime().GetTimeInSeconds() == b.GetTime().GetTimeInSeconds()
                && a.GetVelocity(nullptr) == b.GetVelocity(nullptr) && a.GetAccuracy() == b.GetAccuracy();
            if (!same && ++differing <= 3)
                ADD_FAILURE() << "sample " << i << " differs";
        }
        EXPECT_EQ(differing, 0);
    }

    TEST_F(DocumentFile, FuzzSeedCorpusReplaysCleanly)
    {
        EXPECT_GE(ReplayCorpus(std::filesystem::path(TW_SOURCE_DIR) / "docwindow/tests/fuzz/corpus",
                      &tw::fuzz::FuzzDocumentInput),
            6);
    }

} // namespace
} // namespace tw::test
