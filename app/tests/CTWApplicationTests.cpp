#include "docwindow/CViewMap.h"
#include "docwindow/tests/DocumentTest.h"
#include "foundation/CTextUtilities.h"
#include "framework/CFileDialog.h"
#include "model/CMapWaypoint.h"
#include "model/CParserURL.h"
#include "services/InternetConfig.h"
#include "tests/support/OpenRecorder.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuCalls.h"

#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// The application object: preference defaults, the global document, links from
// outside, the open dialog's filter, default object styles and its commands.

namespace tw::test {
namespace {

    using toolbox::dialogs::Responders;

    class TWApplication : public DocumentTest {
    protected:
        CFile GlobalFile() const
        {
            std::string const name = CTextUtilities::GetBundleString("DocGlobalDocument").GetStdString();
            return CFile(CString((ApplicationSupport() / (name + ".twk")).c_str()));
        }
        // The rest of the start: the update check (not due on a first start), then the documents.
        void FinishStart() { ASSERT_EQ(mApp->InitialiseFinish(), noErr); }
        static CWindowDocument* OnlyDocument()
        {
            std::vector<CDocument*> const documents = CDocument::GetDocuments(false);
            return documents.size() == 1 ? dynamic_cast<CWindowDocument*>(documents.front()) : nullptr;
        }
    };

    TEST_F(TWApplication, AFirstStartWritesTheDefaultsAndALaterOneKeepsTheUsersValues)
    {
        StartApp();
        CPreferences& prefs = mApp->GetPreferences();
        EXPECT_FALSE(prefs.GetBoolean("ShowGrid", true));
        EXPECT_EQ(prefs.GetInteger("MapUnits", 0), 1);
        EXPECT_EQ(prefs.GetInteger("MapCoordinates", 0), 1);
        EXPECT_TRUE(prefs.GetBoolean("GlobalDocument", false));
        for (char const* key : { "ResizeOnZoom", "DeviceLog", "DeviceReset" }) {
            EXPECT_TRUE(prefs.PrefExists(key)) << key;
            EXPECT_FALSE(prefs.GetBoolean(key, true)) << key;
        }
        prefs.SetBoolean("GlobalDocument", false);
        prefs.SetInteger("MapUnits", 0);
        prefs.SetBoolean("ShowGrid", true);
        mApp.reset();

        StartApp();
        EXPECT_FALSE(mApp->GetPreferences().GetBoolean("GlobalDocument", true));
        EXPECT_EQ(mApp->GetPreferences().GetInteger("MapUnits", 1), 0);
        EXPECT_TRUE(mApp->GetPreferences().GetBoolean("ShowGrid", false));
    }

    TEST_F(TWApplication, TheGlobalDocumentIsMadeOnTheFirstStartAndOpenedOnTheNext)
    {
        StartApp();
        FinishStart();
        CWindowDocument* document = OnlyDocument();
        ASSERT_NE(document, nullptr);
        CFile const file = GlobalFile();
        ASSERT_TRUE(file.FileExists()) << "written at once";
        EXPECT_TRUE(document->GetFile().IsSameFile(file));
        CString const name = CTextUtilities::GetBundleString("DocGlobalDocument");
        EXPECT_EQ(file.GetDisplayName(), name) << "the extension is hidden";
        EXPECT_EQ(document->GetSaveMode(), UInt32(CDocument::kSaveModeAlways));
        EXPECT_EQ(document->GetWindow()->GetTitle(), name);

        // Quitting saves it without a question.
        auto* camp = new CMapWaypoint();
        camp->SetName("Camp");
        document->AddObject(camp);
        mApp->CommandQuit();
        EXPECT_TRUE(CDocument::GetDocuments(false).empty());
        EXPECT_EQ(Responders::History().size(), 0u) << "nothing was asked";
        mApp.reset();

        StartApp();
        FinishStart();
        document = OnlyDocument();
        ASSERT_NE(document, nullptr);
        EXPECT_TRUE(document->GetFile().IsSameFile(file));
        ASSERT_EQ(document->GetObjects().size(), 1u);
        EXPECT_EQ(document->GetObjects()[0]->GetName().GetStdString(), "Camp");
        EXPECT_EQ(document->GetSaveMode(), UInt32(CDocument::kSaveModeAlways));
    }

    // A file whose name begins with "-" is given after "--", on the command line and when it
    // is handed over to the program already running.
    TEST_F(TWApplication, AFileNamedLikeAnOptionOpensAfterTwoDashes)
    {
        StartApp();
        FinishStart();
        CWindowDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        auto* camp = new CMapWaypoint();
        camp->SetName("Camp");
        document->AddObject(camp);
        Responders::SaveAs(PathFor("-walk.twk"));
        ASSERT_EQ(document->CommandSaveAs(), noErr);
        ManualClock::RunFor(0.5);
        delete document;
        mApp.reset();
        Responders::Reset();

        auto openNamed = [](std::string const& name) -> CWindowDocument* {
            for (CDocument* open : CDocument::GetDocuments(false))
                if (open->GetFile().IsSpecified() && open->GetFile().GetFileName().GetStdString() == name)
                    return dynamic_cast<CWindowDocument*>(open);
            return nullptr;
        };
        // Given in the folder it is in, as a shell user types it.
        std::filesystem::path const here = std::filesystem::current_path();
        std::filesystem::current_path(mFolder.Path());
        std::string const dashes = "--", name = "-walk.twk";
        std::vector<char*> argv { const_cast<char*>("tarnwick"), const_cast<char*>(dashes.c_str()),
            const_cast<char*>(name.c_str()), nullptr };
        std::vector<std::string> const words = CTWApplication::HandOverWords(3, argv.data());
        StartApp();
        mApp->SetLaunchArguments(3, argv.data());
        FinishStart();
        ManualClock::RunFor(1);
        std::filesystem::current_path(here);
        CWindowDocument* opened = openNamed("-walk.twk");
        ASSERT_NE(opened, nullptr) << "the file after -- is opened";
        ASSERT_EQ(opened->GetObjects().size(), 1u);
        EXPECT_EQ(opened->GetObjects()[0]->GetName().GetStdString(), "Camp");
        EXPECT_TRUE(Responders::History().empty()) << "nothing to report";
        delete opened;

        // A later start hands it over to the running program.
        CTWApplication::QueueHandedOver(words);
        ManualClock::RunFor(1);
        EXPECT_NE(openNamed("-walk.twk"), nullptr);
    }

    // The global document is its file: a copy saved elsewhere asks like any document, and the
    // file opened again, from the recent items or the open dialog, saves itself at quit.
    TEST_F(TWApplication, SaveAsOfTheGlobalDocumentMakesAnOrdinaryOneAndReopeningTheFileMakesItGlobal)
    {
        StartApp();
        FinishStart();
        CWindowDocument* document = OnlyDocument();
        ASSERT_NE(document, nullptr);
        Responders::SaveAs(PathFor("trip1.twk"));
        EXPECT_EQ(document->CommandSaveAs(), noErr);
        ManualClock::RunFor(0.5);
        ASSERT_TRUE(std::filesystem::is_regular_file(PathFor("trip1.twk")));
        EXPECT_EQ(document->GetSaveMode(), UInt32(CDocument::kSaveModeAsk));
        document->AddObject(new CMapWaypoint());
        EXPECT_EQ(CDocument::GetDocuments(true), std::vector<CDocument*> { document }) << "asked about at quit";

        CFile const global = GlobalFile();
        CDocument* reopened = nullptr;
        ASSERT_EQ(mApp->CommandCreate(&global, &reopened), noErr);
        auto* globalDocument = dynamic_cast<CWindowDocument*>(reopened);
        ASSERT_NE(globalDocument, nullptr);
        EXPECT_EQ(globalDocument->GetSaveMode(), UInt32(CDocument::kSaveModeAlways));
        auto* camp = new CMapWaypoint();
        camp->SetName("Camp");
        globalDocument->AddObject(camp);
        EXPECT_EQ(CDocument::GetDocuments(true), std::vector<CDocument*> { document }) << "never in the review";

        // Discarding the one asked about still saves the global document.
        Responders::Press(toolbox::dialogs::DialogKind::SaveChanges, kNavUserActionDontSaveChanges);
        CApplication::Quit();
        ManualClock::RunFor(1);
        EXPECT_TRUE(CDocument::GetDocuments(false).empty());
        EXPECT_NE(ReadFile(global.GetPath()).find("Camp"), std::string::npos);
    }

    TEST_F(TWApplication, WithoutAGlobalDocumentTheStartMakesOneUntitledDocument)
    {
        CPreferences prefs;
        prefs.SetBoolean("GlobalDocument", false);
        prefs.Flush();
        StartApp();
        FinishStart();
        CWindowDocument* document = OnlyDocument();
        ASSERT_NE(document, nullptr);
        EXPECT_TRUE(document->IsUntitled());
        EXPECT_EQ(document->GetSaveMode(), UInt32(CDocument::kSaveModeAsk));
        EXPECT_FALSE(GlobalFile().FileExists());
    }

    TEST_F(TWApplication, ADamagedGlobalDocumentIsReportedAndLeftAlone)
    {
        std::filesystem::create_directories(ApplicationSupport());
        WriteFile(GlobalFile().GetPath(), "not a property list");
        StartApp();
        Responders::PressAlertButton(1);
        FinishStart();
        EXPECT_EQ(Responders::History().size(), 1u);
        CWindowDocument* document = OnlyDocument();
        ASSERT_NE(document, nullptr) << "the user is left with a window to work in";
        EXPECT_TRUE(document->IsUntitled());
        EXPECT_EQ(document->GetSaveMode(), UInt32(CDocument::kSaveModeAsk));
        // Nor is it held: another copy of the program (on another display) may have it.
        std::filesystem::path const lock
            = ApplicationSupport() / ("." + GlobalFile().GetFileName().GetStdString() + ".lock");
        int const other = open(lock.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(other, 0) << "the lock file lies beside the document";
        EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0) << "the lock of a file this copy does not use is kept";
        close(other);
        document->AddObject(new CMapWaypoint());
        Responders::Press(toolbox::dialogs::DialogKind::SaveChanges, kNavUserActionDontSaveChanges);
        CApplication::Quit();
        ManualClock::RunFor(1);
        EXPECT_EQ(ReadFile(GlobalFile().GetPath()), "not a property list");
    }

    // The global document belongs to one running copy: a second one (on another display) works
    // in an untitled document, says why, and never writes the file.
    TEST_F(TWApplication, AGlobalDocumentLockedByAnotherCopyIsLeftToIt)
    {
        StartApp();
        FinishStart();
        ASSERT_NE(OnlyDocument(), nullptr);
        delete OnlyDocument();
        std::string const before = ReadFile(GlobalFile().GetPath());
        mApp.reset();

        std::filesystem::path const lock
            = ApplicationSupport() / ("." + GlobalFile().GetFileName().GetStdString() + ".lock");
        int const other = open(lock.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(other, 0) << "the lock file lies beside the document";
        ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
        StartApp();
        Responders::PressAlertButton(1);
        FinishStart();
        EXPECT_EQ(Responders::History().size(), 1u);
        CWindowDocument* document = OnlyDocument();
        ASSERT_NE(document, nullptr);
        EXPECT_TRUE(document->IsUntitled());
        CFile const global = GlobalFile();
        CDocument* reopened = nullptr;
        ASSERT_EQ(mApp->CommandCreate(&global, &reopened), noErr);
        ASSERT_NE(reopened, nullptr);
        EXPECT_EQ(reopened->GetSaveMode(), UInt32(CDocument::kSaveModeAsk)) << "not saved behind the owner's back";
        close(other);
        EXPECT_EQ(ReadFile(GlobalFile().GetPath()), before);
    }

    // A start that cannot have the global document says so rather than open "untitled" in silence;
    // a preference of the wrong type is read as its default.
    TEST_F(TWApplication, AMissingSupportFolderIsReportedAndAPreferenceOfTheWrongTypeKeepsTheGlobalDocument)
    {
        std::filesystem::create_directories(ApplicationSupport().parent_path());
        WriteFile(ApplicationSupport(), "a file where the folder goes");
        StartApp();
        Responders::PressAlertButton(1);
        FinishStart();
        EXPECT_EQ(Responders::History().size(), 1u);
        ASSERT_NE(OnlyDocument(), nullptr);
        EXPECT_TRUE(OnlyDocument()->IsUntitled());
        delete OnlyDocument();
        mApp.reset();
        std::filesystem::remove(ApplicationSupport());

        StartApp();
        mApp->GetPreferences().SetString("GlobalDocument", CString("yes, please"));
        FinishStart();
        ASSERT_NE(OnlyDocument(), nullptr);
        EXPECT_TRUE(OnlyDocument()->GetFile().IsSameFile(GlobalFile()));
    }

    OSStatus SendLink(CTWApplication& app, char const* link)
    {
        AppleEvent event {};
        AECreateAppleEvent('GURL', 'GURL', nullptr, kAutoGenerateReturnID, kAnyTransactionID, &event);
        AEPutParamPtr(&event, keyDirectObject, typeChar, link, Size(std::strlen(link)));
        OSStatus const status = app.DoAppleEventGetURL(event);
        AEDisposeDesc(&event);
        return status;
    }

    TEST_F(TWApplication, AMapLinkFromOutsideMovesTheCurrentMapOrOpensAWindowForIt)
    {
        StartApp();
        ASSERT_EQ(SendLink(*mApp, "tarnwick://view?lat=57.7&lon=11.97&zoom=10"), noErr);
        CWindowDocument* document = OnlyDocument();
        ASSERT_NE(document, nullptr) << "a new window for the link";
        CViewMap* map = document->GetMapView();
        EXPECT_EQ(map->GetMapZoom(), 10u);
        EXPECT_NEAR(map->GetMapCentre().GetLatitude(), 57.7, 0.01);
        EXPECT_NEAR(map->GetMapCentre().GetLongitude(), 11.97, 0.01);

        mApp->SetCurrentDocument(document);
        ASSERT_EQ(SendLink(*mApp, "tarnwick://view?lat=45.4&lon=-75.7&zoom=8"), noErr);
        EXPECT_EQ(OnlyDocument(), document) << "the current window follows the link";
        EXPECT_EQ(map->GetMapZoom(), 8u);
        EXPECT_NEAR(map->GetMapCentre().GetLongitude(), -75.7, 0.05);
        ASSERT_EQ(SendLink(*mApp, "not a link"), noErr);
        EXPECT_EQ(map->GetMapZoom(), 8u) << "text that is no link changes nothing";
    }

    // A web map link is read whole however long its query; an absurd one is refused in words.
    TEST_F(TWApplication, ALongLinkIsReadWholeAndAnAbsurdOneIsRefused)
    {
        StartApp();
        // Cut at 1,024 bytes, the latitude's digits would leave no longitude and no level.
        std::string link = "tarnwick://view?lat=57.70891" + std::string(1500, '0') + "&lon=11.97456&zoom=16";
        ASSERT_EQ(SendLink(*mApp, link.c_str()), noErr);
        CWindowDocument* document = OnlyDocument();
        ASSERT_NE(document, nullptr);
        CViewMap* map = document->GetMapView();
        EXPECT_EQ(map->GetMapZoom(), 16u);
        EXPECT_NEAR(map->GetMapCentre().GetLatitude(), 57.70891, 1e-4);
        EXPECT_NEAR(map->GetMapCentre().GetLongitude(), 11.97456, 1e-4);

        Responders::PressAlertButton(1);
        std::string absurd = "tarnwick://view?lat=45" + std::string(70 * 1024, '0') + "&lon=10&zoom=3";
        EXPECT_NE(SendLink(*mApp, absurd.c_str()), noErr);
        EXPECT_EQ(Responders::History().size(), 1u) << "the refusal is said";
        EXPECT_EQ(map->GetMapZoom(), 16u) << "and changes nothing";
    }

    // The limit is exact: a link of just that many bytes is followed, one byte more is refused
    // in words and moves nothing.
    TEST_F(TWApplication, ALinkOfExactlyTheLengthLimitIsReadAndOneByteMoreRefused)
    {
        StartApp();
        auto padded = [](std::size_t length) {
            std::string const head = "tarnwick://view?lat=45.4", tail = "&lon=-75.7&zoom=9";
            return head + std::string(length - head.size() - tail.size(), '0') + tail;
        };
        std::string const longest = padded(CParserURL::kMaxLinkLength);
        ASSERT_EQ(longest.size(), std::size_t(CParserURL::kMaxLinkLength));
        ASSERT_EQ(SendLink(*mApp, longest.c_str()), noErr);
        CWindowDocument* document = OnlyDocument();
        ASSERT_NE(document, nullptr);
        CViewMap* map = document->GetMapView();
        EXPECT_EQ(map->GetMapZoom(), 9u);
        EXPECT_NEAR(map->GetMapCentre().GetLongitude(), -75.7, 0.05);
        EXPECT_TRUE(Responders::History().empty()) << "nothing to say";

        mApp->SetCurrentDocument(document);
        Responders::PressAlertButton(1);
        EXPECT_NE(SendLink(*mApp, padded(CParserURL::kMaxLinkLength + 1).c_str()), noErr);
        ASSERT_EQ(Responders::History().size(), 1u) << "the refusal is said";
        EXPECT_EQ(Responders::History()[0].text, "The link could not be followed.");
        EXPECT_EQ(map->GetMapZoom(), 9u) << "and moves nothing";
    }

    TEST_F(TWApplication, ThePalettesHearWhichDocumentIsCurrent)
    {
        StartApp();
        BroadcastLog log;
        mApp->AddListener(&log);
        CWindowDocument* document = NewDocument();
        log.Clear();
        mApp->SetCurrentDocument(document);
        mApp->SetCurrentDocument(nullptr);
        ASSERT_EQ(log.Messages(), std::vector<UInt32>({ 'dact', 'dact' }));
        EXPECT_EQ(log.mEntries[0].parameter, document);
        EXPECT_EQ(log.mEntries[1].parameter, nullptr);
        mApp->RemoveListener(&log);
    }

    // The Map menu as it opens: its items follow the front document window, and with none
    // they are disabled instead of doing nothing.
    TEST_F(TWApplication, DocumentCommandsAreDisabledWithoutADocumentWindow)
    {
        StartApp();
        toolbox::Menu* map = toolbox::LiveMenu(GetMenuRef(134));
        ASSERT_NE(map, nullptr);
        auto enabled = [map](char const* title) {
            map->UpdateStatus();
            for (MenuItemIndex i = 1; i <= map->Count(); ++i)
                if (cf::ToUTF8(map->Item(i)->text) == title)
                    return map->Item(i)->enabled;
            ADD_FAILURE() << "no item " << title;
            return false;
        };
        EXPECT_FALSE(enabled("Zoom In"));
        EXPECT_FALSE(enabled("Zoom to Fit"));
        EXPECT_FALSE(enabled("Go to Location…"));
        CWindowDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        ManualClock::RunFor(0.1);
        EXPECT_TRUE(enabled("Zoom In"));
        EXPECT_TRUE(enabled("Zoom to Fit"));
        EXPECT_FALSE(enabled("Back")) << "nothing shown yet";
        delete document;
        ManualClock::RunFor(0.1);
        EXPECT_FALSE(enabled("Zoom In"));
        EXPECT_FALSE(enabled("Zoom to Fit"));
        HICommandExtended create {};
        create.commandID = 'new ';
        EXPECT_EQ(mApp->GetMenuStatus(create), CCarbonEventHandler::kMenuStatusEnable)
            << "the application's own commands stay its own";
    }

    TEST_F(TWApplication, TheOpenDialogShowsDocumentsByExtensionOrFileType)
    {
        StartApp();
        std::string const upper = PathFor("Trip.TWK");
        std::string const typed = PathFor("Trip");
        std::string const other = PathFor("Trip.gpx");
        for (std::string const& path : { upper, typed, other })
            WriteFile(path, "x");
        CFile typedFile = FileAt(typed);
        ASSERT_EQ(typedFile.SetFileCreatorAndType('TWCK', 'TWck'), noErr);
        auto const shown = [&](std::string const& path) {
            MsgNavFilter filter;
            filter.file = FileAt(path);
            mApp->DoMessage(CFileDialog::kMsgNavFilter, &filter);
            return filter.accept;
        };
        EXPECT_TRUE(shown(upper));
        EXPECT_TRUE(shown(typed));
        EXPECT_FALSE(shown(other));
        EXPECT_TRUE(shown(mFolder.Path().string())) << "folders are never hidden";
        EXPECT_TRUE(shown(PathFor("missing.gpx"))) << "what does not exist is left as proposed";
    }

    TEST_F(TWApplication, NewObjectsTakeTheStoredStyleOfTheirKind)
    {
        StartApp();
        MapObjectStyle const builtIn;
        EXPECT_EQ(mApp->GetObjectStyle('zzzz'), builtIn) << "an unknown kind has the built-in style";
        EXPECT_EQ(mApp->GetObjectStyle(kMapObjectWaypoint), builtIn);

        MapObjectStyle style;
        style.lineWidth = 3;
        style.lineStyle = kMapLineDotted;
        style.fill = { 0, 1, 0, 0.25f };
        style.frame = { 0, 0, 1, 1 };
        mApp->SetObjectStyle(kMapObjectWaypoint, style);
        CMapWaypoint waypoint;
        EXPECT_EQ(waypoint.GetStyle(), style) << "a new object asks the application";
        EXPECT_FLOAT_EQ(mApp->GetPreferences().GetFloat("StyleWaypoint.LineWidth", 0), 3);

        // A later start reads the stored style; a colour that cannot be read is black.
        mApp->GetPreferences().SetString("StyleWaypoint.ColourFill", "green");
        mApp.reset();
        StartApp();
        MapObjectStyle const read = mApp->GetObjectStyle(kMapObjectWaypoint);
        EXPECT_EQ(read.lineStyle, MapLineStyle(kMapLineDotted));
        EXPECT_FLOAT_EQ(read.lineWidth, 3);
        EXPECT_EQ(read.frame, (ColourRGBA { 0, 0, 1, 1 }));
        EXPECT_EQ(read.fill, (ColourRGBA { 0, 0, 0, 1 }));
    }

    TEST_F(TWApplication, WebCommandsOpenTheirLinksAndThePropertiesNameTheProgram)
    {
        StartApp();
        OpenRecorder recorder;
        CCarbonEvent event = CCarbonEvent::CreateWithHICommandID('ogeo');
        EXPECT_EQ(mApp->DoEventCommandProcess(event), noErr);
        EXPECT_NE(recorder.WaitForLog().find(CTextUtilities::GetBundleString("URLGeocaching").GetStdString()),
            std::string::npos);
        EXPECT_EQ(mApp->GetPropertyString('anib').GetStdString(), "Tarnwick");
        EXPECT_EQ(mApp->GetPropertyString('apro').GetStdString(), "TWCK");
        EXPECT_EQ(mApp->GetPropertyString('aver').GetStdString(), "1.1.1");
        EXPECT_EQ(mApp->GetPropertyString('uhlp'), CTextUtilities::GetBundleString("URLOnlineHelp"));
        EXPECT_EQ(mApp->GetPropertyInteger('ndol'), 0u);
        EXPECT_EQ(CTWApplication::GetTWApp(), mApp.get());
    }

    // Help ▸ Tarnwick Help opens the book in the bundle at its start page, a local file the
    // desktop's handler shows without a network.
    TEST_F(TWApplication, HelpOpensTheBooksStartPageFromTheBundle)
    {
        StartApp();
        OpenRecorder recorder;
        CCarbonEvent event = CCarbonEvent::CreateWithHICommandID('ohlp');
        EXPECT_EQ(mApp->DoEventCommandProcess(event), noErr);
        std::string const opened = recorder.WaitForLog();
        ASSERT_EQ(opened.rfind("file://", 0), 0u) << opened;
        std::string const path = opened.substr(7, opened.find('\n') - 7);
        EXPECT_TRUE(path.ends_with("/Help/index.html")) << path;
        EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
        EXPECT_EQ(opened.find(CTextUtilities::GetBundleString("URLOnlineHelp").GetStdString()), std::string::npos)
            << "not the online help";
    }

    // With no program to show the book or the online help, the user is told so in words.
    TEST_F(TWApplication, HelpWithNoProgramToShowItSaysSo)
    {
        StartApp();
        OpenRecorder recorder; // unsets the opener again at the end
        std::filesystem::path const failing = TestHome() / "no-handler.sh";
        WriteFile(failing, "#!/bin/sh\nexit 3\n");
        std::filesystem::permissions(failing, std::filesystem::perms::owner_all);
        setenv(kICOpenCommandVariable, failing.c_str(), 1);
        Responders::PressAlertButton(1);
        CCarbonEvent event = CCarbonEvent::CreateWithHICommandID('ohlp');
        EXPECT_EQ(mApp->DoEventCommandProcess(event), noErr);
        auto const& shown = Responders::History();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, CTextUtilities::GetBundleString("AppHelpFailed").GetStdString());
    }

} // namespace
} // namespace tw::test
