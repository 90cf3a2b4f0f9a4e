#include "DocumentTest.h"
#include "foundation/CProcessUtilities.h"
#include "foundation/CTextUtilities.h"
#include "services/InternetConfig.h"
#include "tests/support/OpenRecorder.h"
#include "docwindow/CViewMap.h"
#include "model/CMapCircle.h"
#include "model/CMapLine.h"
#include "model/CMapWaypoint.h"
#include "widgets/CDataBrowser.h"
#include "widgets/CHistoryButton.h"
#include "widgets/CSplitterView.h"

// The document window's objects, selection, names, tools, regions and history,
// sheets, list and menu status, driven through its operations and commands.

namespace tw::test {
namespace {

    CMapWaypoint* Waypoint(char const* name, double latitude = 0, double longitude = 0)
    {
        auto* waypoint = new CMapWaypoint();
        waypoint->SetName(name);
        waypoint->SetPosition(CCoordinate(latitude, longitude));
        return waypoint;
    }

    class WindowDocument : public DocumentTest {
    protected:
        void SetUp() override
        {
            DocumentTest::SetUp();
            StartApp();
            mDocument = NewDocument();
            ASSERT_NE(mDocument, nullptr);
            mDocument->AddListener(&mLog);
        }
        CWindowDocument* mDocument = nullptr;
        BroadcastLog mLog;
    };

    TEST_F(WindowDocument, AddingSendsOneMessagePerChangeAndSelectionIsClearedFirst)
    {
        CMapWaypoint* camp = Waypoint("Camp");
        mDocument->AddObject(camp);
        EXPECT_EQ(mLog.Messages(), std::vector<UInt32>({ 'doad' }));
        EXPECT_EQ(mLog.mEntries[0].parameter, camp);
        EXPECT_TRUE(mDocument->IsModified());

        mDocument->SelectObject(camp, true);
        mDocument->SelectObject(camp, true); // no change, no message
        mLog.Clear();
        mDocument->AddObjects({ Waypoint("A"), Waypoint("B"), Waypoint("C") });
        EXPECT_EQ(mLog.Messages(), std::vector<UInt32>({ 'dsec', 'dors' })) << "three at once: one rebuild, no doad";
        EXPECT_FALSE(camp->IsSelected());
        EXPECT_EQ(mDocument->GetObjects().size(), 4u);
    }

    TEST_F(WindowDocument, RemovingTellsOfTheObjectWhileItLivesThenOfTheSelectionOnce)
    {
        // Reads the object's name while "dorm" is broadcast: it must still be whole.
        struct NameReader : CMsgListener {
            void DoMessage(UInt32 message, void* parameter) override
            {
                if (message == 'dorm')
                    names.push_back(static_cast<CMapObject*>(parameter)->GetName().GetStdString());
            }
            std::vector<std::string> names;
        } reader;
        CMapWaypoint* camp = Waypoint("Camp");
        CMapWaypoint* lake = Waypoint("Lake");
        mDocument->AddObjects({ camp, lake });
        mDocument->SelectObject(nullptr, true);
        mDocument->AddListener(&reader);
        mLog.Clear();

        mDocument->RemoveObject(camp);
        EXPECT_EQ(mLog.Messages(), std::vector<UInt32>({ 'dorm', 'dsec' }));
        EXPECT_EQ(reader.names, std::vector<std::string>({ "Camp" }));
        ASSERT_EQ(mDocument->GetObjects().size(), 1u);
        EXPECT_FALSE(lake->IsSelected()) << "removing clears the selection";

        CMapWaypoint stranger; // not the document's
        mLog.Clear();
        mDocument->RemoveObjects({ &stranger, lake });
        EXPECT_EQ(mLog.Messages(), std::vector<UInt32>({ 'dors', 'dsec' }));
        EXPECT_TRUE(mDocument->GetObjects().empty());
        mLog.Clear();
        mDocument->RemoveObjects({ &stranger });
        EXPECT_EQ(mLog.Messages(), std::vector<UInt32>()) << "nothing of the document changed";
        mDocument->RemoveListener(&reader);
    }

    TEST_F(WindowDocument, SelectingEveryObjectSendsOneMessage)
    {
        mDocument->AddObjects({ Waypoint("A"), Waypoint("B"), Waypoint("C") });
        mLog.Clear();
        mDocument->SelectObject(nullptr, true);
        mDocument->SelectObject(nullptr, true);
        mDocument->SelectObject(nullptr, false);
        EXPECT_EQ(mLog.Messages(), std::vector<UInt32>({ 'dsec', 'dsec' }));
        EXPECT_EQ(mLog.mEntries[0].parameter, mDocument);
    }

    TEST_F(WindowDocument, ObjectChangesReachTheViewsAndOnlyRealChangesMarkTheDocument)
    {
        auto* camp = Waypoint("Camp");
        mDocument->AddObject(camp);
        mDocument->SetModified(false);
        mLog.Clear();
        camp->SetName("Base");
        EXPECT_EQ(mLog.Messages(), std::vector<UInt32>({ 'domo' }));
        EXPECT_TRUE(mDocument->IsModified());

        mDocument->SetModified(false);
        auto* target = Waypoint("Target");
        target->SetAttributes(kMapObjectAttrTemporary, 0);
        mDocument->AddObject(target);
        mDocument->RemoveObject(target);
        EXPECT_FALSE(mDocument->IsModified()) << "a temporary object is the program's, not the user's";
    }

    TEST_F(WindowDocument, UniqueNamesCountUpPastNamesOfTheSameKindIgnoringCase)
    {
        mDocument->AddObjects({ Waypoint("camp"), Waypoint("Camp 1") });
        auto* line = new CMapLine();
        line->SetName("Camp 2");
        mDocument->AddObject(line);
        EXPECT_EQ(mDocument->GetUniqueObjectName(kMapObjectWaypoint, "Camp").GetStdString(), "Camp 2");
        EXPECT_EQ(mDocument->GetUniqueObjectName(kMapObjectLine, "Camp").GetStdString(), "Camp");
        EXPECT_EQ(mDocument->FindNamedObject("CAMP 1", kMapObjectWaypoint), mDocument->GetObjects()[1]);
        EXPECT_EQ(mDocument->GetUniqueObjectName(kMapObjectWaypoint, CString()).GetStdString(), "Untitled");
    }

    TEST_F(WindowDocument, ShapeToolsStartWithNothingSelectedAndEveryToolIsAnnounced)
    {
        auto* camp = Waypoint("Camp");
        mDocument->AddObject(camp);
        mDocument->SelectObject(camp, true);
        mLog.Clear();
        ASSERT_EQ(Command(mDocument, 'dtrl'), noErr);
        EXPECT_EQ(mDocument->GetTool(), kToolRuler);
        EXPECT_TRUE(camp->IsSelected()) << "the ruler keeps the selection";
        ASSERT_EQ(Command(mDocument, 'dtli'), noErr);
        EXPECT_EQ(mDocument->GetTool(), kToolLine);
        EXPECT_FALSE(camp->IsSelected());
        EXPECT_EQ(mLog.Messages(), std::vector<UInt32>({ 'dtoc', 'dsec', 'dtoc' }));
        EXPECT_EQ(mDocument->GetToolbarItem(kToolCrop), nullptr);
    }

    TEST_F(WindowDocument, ShowingAWaypointShowsASmallSquareAroundItAndCirclesShowNothing)
    {
        CViewMap* map = mDocument->GetMapView();
        ASSERT_NE(map, nullptr);
        auto* circle = new CMapCircle();
        circle->SetBounds(CCoordinateRect(CCoordinate(10, 10), CCoordinate(0, 20)));
        mDocument->AddObject(circle);
        unsigned long const before = map->GetMapZoom();
        mDocument->ShowObject(circle);
        EXPECT_EQ(map->GetMapZoom(), before);
        EXPECT_FALSE(mDocument->CanGoBack());

        auto* camp = Waypoint("Camp", 57.7, 11.97);
        mDocument->AddObject(camp);
        mDocument->ShowObject(camp);
        EXPECT_GT(map->GetMapZoom(), 10u) << "a 0.02-degree square fills the view";
        CCoordinate const centre = map->GetMapCentre();
        EXPECT_NEAR(centre.GetLatitude(), 57.7, 0.005);
        EXPECT_NEAR(centre.GetLongitude(), 11.97, 0.005);
    }

    TEST_F(WindowDocument, ANewRegionAfterGoingBackDropsTheForwardEntries)
    {
        CHistoryButton* back = CHistoryButton::Find(mDocument->GetWindow(), 'hbak', 0);
        CHistoryButton* forward = CHistoryButton::Find(mDocument->GetWindow(), 'hfwd', 0);
        ASSERT_TRUE(back && forward);
        EXPECT_FALSE(back->IsEnabled());
        EXPECT_EQ(Status(mDocument, 'hbak'), CCarbonEventHandler::kMenuStatusDisable);
        EXPECT_EQ(Command(mDocument, 'hbak'), noErr) << "at the start of the history nothing happens";

        CCoordinateRect const europe(CCoordinate(60, -10), CCoordinate(35, 30));
        CCoordinateRect const sweden(CCoordinate(69, 10), CCoordinate(55, 24));
        CCoordinateRect const canada(CCoordinate(50, -80), CCoordinate(44, -70));
        mDocument->ShowRegion(europe, true);
        mDocument->ShowRegion(sweden, true);
        ASSERT_EQ(Command(mDocument, 'hbak'), noErr);
        EXPECT_TRUE(forward->IsEnabled());
        EXPECT_NEAR(mDocument->GetMapView()->GetMapCentre().GetLongitude(), 10, 3) << "back in Europe";
        mDocument->ShowRegion(canada, true);
        EXPECT_TRUE(back->IsEnabled());
        EXPECT_FALSE(forward->IsEnabled());
        EXPECT_EQ(Status(mDocument, 'hfwd'), CCarbonEventHandler::kMenuStatusDisable);
        ASSERT_EQ(Command(mDocument, 'hbak'), noErr);
        EXPECT_NEAR(mDocument->GetMapView()->GetMapCentre().GetLongitude(), 10, 3) << "Europe, not Sweden";
        EXPECT_FALSE(back->IsEnabled());
    }

    TEST_F(WindowDocument, ZoomCommandsFollowTheLevelAndTheBindableZoomFollowsTheMap)
    {
        CViewMap* map = mDocument->GetMapView();
        map->SetMapZoom(CHIView::kZoomFactor, nullptr, 17);
        EXPECT_EQ(Status(mDocument, 'zoin'), CCarbonEventHandler::kMenuStatusDisable);
        EXPECT_EQ(Status(mDocument, 'zout'), CCarbonEventHandler::kMenuStatusEnable);
        EXPECT_EQ(mDocument->GetBindings()->GetKeyPathValue("zoom").GetUInt32(), 17u);

        // A bound control (the navigator's slider) moves the map.
        CBKeyValueBinding slider;
        ASSERT_EQ(slider.Bind("value", mDocument->GetBindings(), "zoom", nullptr, nullptr), noErr);
        slider.SetKeyPathValue("value", CBValue(UInt32(4)), false);
        EXPECT_EQ(map->GetMapZoom(), 4u);
        ASSERT_EQ(Command(mDocument, 'zout'), noErr);
        EXPECT_EQ(slider.GetKeyPathValue("value").GetUInt32(), 3u) << "the slider follows the map";
        slider.UnbindAll();
    }

    TEST_F(WindowDocument, TheIdealSizeIsTheMapImageWithRoomForScrollBars)
    {
        mDocument->GetMapView()->SetMapZoom(CHIView::kZoomFactor, nullptr, 0);
        CCarbonEvent event(kEventClassWindow, kEventWindowGetIdealSize);
        ASSERT_EQ(mDocument->DoEventWindowGetIdealSize(event), noErr);
        Point size {};
        ASSERT_EQ(event.GetParameter('mDim', typeQDPoint, sizeof size, &size), noErr);
        EXPECT_EQ(size.h, 271);
        EXPECT_EQ(size.v, 271);
    }

    TEST_F(WindowDocument, OneSheetAtATimeAndEveryCommandWaitsForIt)
    {
        toolbox::dialogs::Responders::PressAlertButton(1); // answered once the loop runs
        mDocument->DisplayAlert("First", "Shown as a sheet.");
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetAlert);
        EXPECT_TRUE(mDocument->HasSheet());
        for (UInt32 command : { 'dtha', 'sway', 'srot', 'save' })
            EXPECT_EQ(Status(mDocument, command), CCarbonEventHandler::kMenuStatusDisable) << command;
        EXPECT_EQ(Status(mDocument, 'zfit'), CCarbonEventHandler::kMenuStatusEnable);
        EXPECT_NE(mDocument->BeginSheet(CWindowDocument::kSheetNote, nullptr, false), noErr);

        ManualClock::RunFor(1);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone) << "the sheet's OK ended it";
        EXPECT_FALSE(mDocument->HasSheet());
        EXPECT_EQ(Status(mDocument, 'dtha'), CCarbonEventHandler::kMenuStatusEnable);

        // An alert while another sheet is open runs on its own and leaves that sheet open.
        ASSERT_EQ(mDocument->BeginSheet(CWindowDocument::kSheetDocumentInfo, nullptr, false), noErr);
        toolbox::dialogs::Responders::PressAlertButton(1);
        mDocument->DisplayAlert("Second", "Shown as a modal alert.");
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetDocumentInfo);
        ASSERT_EQ(Command(mDocument, 'not!'), noErr);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        auto const& shown = toolbox::dialogs::Responders::History();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0].text, "First");
        EXPECT_EQ(shown[1].text, "Second");
    }

    TEST_F(WindowDocument, EditingWhileASheetIsOpenChangesNothing)
    {
        auto* camp = Waypoint("Camp");
        mDocument->AddObject(camp);
        ASSERT_EQ(mDocument->BeginSheet(CWindowDocument::kSheetWaypoint, nullptr, false), noErr);
        mDocument->EditObject(camp);
        mDocument->EditDocument();
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetWaypoint);
        mDocument->CompleteSheet('ok  ');
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        mDocument->CompleteSheet('ok  '); // none open: ignored
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
    }

    TEST_F(WindowDocument, ChoosingAListBringsBackACollapsedList)
    {
        CSplitterView* splitter = mDocument->GetSplitter();
        ASSERT_NE(splitter, nullptr);
        EXPECT_FLOAT_EQ(splitter->GetRatio(), 0.3f);
        splitter->TogglePrimary(); // the map alone
        EXPECT_FLOAT_EQ(splitter->GetRatio(), 0.0f);
        ASSERT_EQ(Command(mDocument, 'srot'), noErr);
        EXPECT_FLOAT_EQ(splitter->GetRatio(), 0.3f);

        splitter->SetRatio(0.04f);
        splitter->TogglePrimary();
        ASSERT_EQ(Command(mDocument, 'stra'), noErr);
        EXPECT_FLOAT_EQ(splitter->GetRatio(), 0.3f) << "a list too narrow to see is widened";
    }

    TEST_F(WindowDocument, CommandsAreEnabledOnlyWhereTheirWindowsCanBeMade)
    {
        // Synchronise needs a receiver that transfers, Record Track one that knows where it is.
        for (UInt32 command : { 'ddev', 'dsyn', 'dtrk' })
            EXPECT_EQ(Status(mDocument, command), CCarbonEventHandler::kMenuStatusDisable) << "no receivers";
        for (UInt32 command : { 'dimp', 'cvie', 'gear', 'gmap', 'gvie', 'find' })
            EXPECT_EQ(Status(mDocument, command), CCarbonEventHandler::kMenuStatusEnable) << command;
        // Without a shell there are no sheets for places or receivers, nor the find window.
        CWindowDocument::SetShell(nullptr);
        for (UInt32 command : { 'gvie', 'find' })
            EXPECT_EQ(Status(mDocument, command), CCarbonEventHandler::kMenuStatusDisable) << command;
    }

    TEST_F(WindowDocument, AWebMapWithNoProgramForLinksSaysSo)
    {
        OpenRecorder recorder;
        ASSERT_EQ(Command(mDocument, 'gmap'), noErr);
        EXPECT_NE(recorder.WaitForLog().find("https://"), std::string::npos);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone) << "a link handed on needs no alert";

        // The desktop's opener gives up at once when nothing opens links.
        std::filesystem::path const failing = TestHome() / "no-handler.sh";
        WriteFile(failing, "#!/bin/sh\nexit 3\n");
        std::filesystem::permissions(failing, std::filesystem::perms::owner_all);
        setenv(kICOpenCommandVariable, failing.c_str(), 1);
        toolbox::dialogs::Responders::PressAlertButton(1);
        ASSERT_EQ(Command(mDocument, 'gmap'), noErr);
        auto const& shown = toolbox::dialogs::Responders::History();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, CTextUtilities::GetBundleString("DocWebMapFailed").GetStdString());
    }

    TEST_F(WindowDocument, AGlobeViewerWithNoProgramForTheFileOrLinksSaysSo)
    {
        OpenRecorder recorder; // unsets the opener again at the end
        unsetenv(CProcessUtilities::kGlobeViewerVariable);
        std::filesystem::path const failing = TestHome() / "no-handler.sh";
        WriteFile(failing, "#!/bin/sh\nexit 3\n");
        std::filesystem::permissions(failing, std::filesystem::perms::owner_all);
        setenv(kICOpenCommandVariable, failing.c_str(), 1);
        toolbox::dialogs::Responders::PressAlertButton(1);
        ASSERT_EQ(Command(mDocument, 'gear'), noErr);
        auto const& shown = toolbox::dialogs::Responders::History();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, CTextUtilities::GetBundleString("DocGlobeFailed").GetStdString());
    }

} // namespace
} // namespace tw::test
