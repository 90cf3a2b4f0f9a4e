#include "DocumentTest.h"
#include "docwindow/IDocumentSheet.h"
#include "framework/CMacWindow.h"
#include "model/CMapCircle.h"
#include "model/CMapNote.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "tests/support/InputDriver.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/View.h"
#include "toolbox/toolbar/Toolbar.h"
#include "toolbox/toolbar/ToolbarCalls.h"
#include "toolbox/toolbar/ToolbarItem.h"
#include "toolbox/toolbar/ToolbarStrip.h"
#include "widgets/CDataBrowser.h"
#include "widgets/CDataBrowserSource.h"

// The document window's seams to the shell above it: the editor sheets the shell
// makes and the document opens one at a time and ends, the list sources it plugs
// into the list beside the map, and the palettes it asks for.

namespace tw::test {
namespace {

    struct SheetLog {
        int accepted = 0;
        int cancelled = 0;
        int destroyed = 0;
    };

    // A sheet that records how it ended and when it went.
    class StandInSheet : public CWindowController, public IDocumentSheet {
    public:
        explicit StandInSheet(SheetLog* log)
            : mLog(log)
        {
        }
        ~StandInSheet() override { ++mLog->destroyed; }
        void AcceptSheet() override { ++mLog->accepted; }
        void CancelSheet() override { ++mLog->cancelled; }

    private:
        SheetLog* mLog;
    };

    class StandInSource : public CDataBrowserSource {
    public:
        void PopulateBrowser() override { ++populated; }
        OSStatus GetItemData(DataBrowserItemID, DataBrowserItemDataRef, DataBrowserPropertyID) override
        {
            return errDataBrowserPropertyNotSupported;
        }
        int populated = 0;
    };

    class StandInShell : public IDocumentShell {
    public:
        struct Made {
            UInt32 kind;
            CMapObject* object;
        };
        CWindowController* MakeSheet(UInt32 kind, CWindowDocument&, CMapObject* object) override
        {
            made.push_back({ kind, object });
            if (!makeSheets)
                return nullptr;
            auto* sheet = new StandInSheet(&log);
            if (sheet->Initialise(nullptr, "Tarnwick", "Test Sheet") != noErr) {
                delete sheet;
                return nullptr;
            }
            return sheet;
        }
        CDataBrowserSource* MakeListSource(UInt32, CWindowDocument&) override
        {
            sources.push_back(new StandInSource());
            return sources.back();
        }
        void ShowInspector(CWindowDocument&) override { ++inspector; }
        void ShowDeviceWindow(CDevice* device) override { deviceWindows.push_back(device); }
        void FindLocation(CWindowDocument& document) override { finds.push_back(&document); }

        bool makeSheets = true;
        std::vector<Made> made;
        SheetLog log;
        std::vector<StandInSource*> sources; // owned by the document
        int inspector = 0;
        std::vector<CDevice*> deviceWindows;
        std::vector<CWindowDocument*> finds;
    };

    class DocumentShell : public DocumentTest {
    protected:
        void SetUp() override
        {
            DocumentTest::SetUp();
            StartApp();
            CWindowDocument::SetShell(&mShell);
            mDocument = NewDocument();
            ASSERT_NE(mDocument, nullptr);
            ManualClock::RunFor(0.1);
        }
        void TearDown() override
        {
            DocumentTest::TearDown(); // the documents go, and their sheets and sources with them
            EXPECT_EQ(mShell.log.destroyed, int(mShell.made.size() - mRefused));
            CWindowDocument::SetShell(nullptr);
        }
        template <typename T> T* Add(char const* name)
        {
            auto* object = new T();
            object->SetName(name);
            mDocument->AddObject(object);
            return object;
        }

        StandInShell mShell;
        CWindowDocument* mDocument = nullptr;
        std::size_t mRefused = 0; // sheets the shell was asked for and did not make
    };

    TEST_F(DocumentShell, EachKindOpensItsEditorOneAtATimeAndTheDocumentEndsIt)
    {
        auto* waypoint = Add<CMapWaypoint>("Camp");
        auto* note = Add<CMapNote>("Spring");
        auto* circle = Add<CMapCircle>("Lake");

        mDocument->EditObject(circle);
        EXPECT_EQ(mShell.inspector, 1) << "shapes are edited in the inspector";
        EXPECT_TRUE(mShell.made.empty());
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);

        mDocument->EditObject(waypoint);
        ASSERT_EQ(mShell.made.size(), 1u);
        EXPECT_EQ(mShell.made[0].kind, UInt32(CWindowDocument::kSheetWaypoint));
        EXPECT_EQ(mShell.made[0].object, waypoint);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetWaypoint);
        EXPECT_TRUE(mDocument->HasSheet()) << "shown as a sheet on the window";
        EXPECT_NE(mDocument->GetSheetController(), nullptr);
        EXPECT_EQ(Status(mDocument, 'dtha'), CCarbonEventHandler::kMenuStatusDisable);
        EXPECT_EQ(Status(mDocument, 'doci'), CCarbonEventHandler::kMenuStatusDisable);

        // A second editor waits for the first.
        mDocument->EditObject(note);
        mDocument->EditDocument();
        mDocument->EditObject(circle);
        EXPECT_EQ(mShell.made.size(), 1u);
        EXPECT_EQ(mShell.inspector, 1);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetWaypoint);

        ASSERT_EQ(Command(mDocument, 'ok  '), noErr);
        EXPECT_EQ(mShell.log.accepted, 1);
        EXPECT_EQ(mShell.log.cancelled, 0);
        EXPECT_EQ(mShell.log.destroyed, 1) << "a sheet lives for one edit";
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_FALSE(mDocument->HasSheet());
        EXPECT_EQ(mDocument->GetSheetController(), nullptr);
        EXPECT_EQ(Status(mDocument, 'dtha'), CCarbonEventHandler::kMenuStatusEnable);

        ASSERT_EQ(Command(mDocument, 'doci'), noErr);
        ASSERT_EQ(mShell.made.size(), 2u);
        EXPECT_EQ(mShell.made[1].kind, UInt32(CWindowDocument::kSheetDocumentInfo));
        EXPECT_EQ(mShell.made[1].object, nullptr);
        ASSERT_EQ(Command(mDocument, 'not!'), noErr);
        EXPECT_EQ(mShell.log.cancelled, 1);
        EXPECT_EQ(mShell.log.accepted, 1) << "a cancelled sheet writes nothing back";
        EXPECT_EQ(mShell.log.destroyed, 2);
    }

    TEST_F(DocumentShell, NotesRoutesAndTracksHaveTheirOwnEditorsAndOtherKindsNone)
    {
        struct Case {
            CMapObject* object;
            CWindowDocument::DocumentSheet kind;
        };
        Case const cases[] = {
            { Add<CMapNote>("Spring"), CWindowDocument::kSheetNote },
            { Add<CMapRoute>("Ridge"), CWindowDocument::kSheetRoute },
            { Add<CMapTrack>("Walk"), CWindowDocument::kSheetTrack },
        };
        for (Case const& each : cases) {
            mDocument->EditObject(each.object);
            ASSERT_FALSE(mShell.made.empty());
            EXPECT_EQ(mShell.made.back().kind, UInt32(each.kind));
            EXPECT_EQ(mShell.made.back().object, each.object);
            EXPECT_EQ(mDocument->GetSheet(), each.kind);
            mDocument->CompleteSheet('ok  ');
        }
        EXPECT_EQ(mShell.log.accepted, 3);
        mDocument->EditObject(nullptr);
        EXPECT_EQ(mShell.made.size(), 3u);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
    }

    TEST_F(DocumentShell, TheSheetsOwnButtonEndsItThroughTheDocument)
    {
        auto* waypoint = Add<CMapWaypoint>("Camp");
        mDocument->EditObject(waypoint);
        ASSERT_TRUE(mDocument->HasSheet());
        ManualClock::RunFor(0.2); // the sheet slides out
        // A click on the sheet's OK button: its "ok  " goes up from the sheet to the document.
        WindowRef sheet = mDocument->GetSheetController()->GetWindow()->GetWindowRef();
        HIViewRef button = nullptr;
        HIViewID const id { 'ok  ', 0 };
        ASSERT_EQ(HIViewFindByID(HIViewGetRoot(sheet), id, &button), noErr);
        HIRect bounds {};
        HIViewGetBounds(button, &bounds);
        CGPoint middle { CGRectGetMidX(bounds), CGRectGetMidY(bounds) };
        HIViewConvertPoint(&middle, button, nullptr);
        Rect structure {};
        GetWindowBounds(sheet, kWindowStructureRgn, &structure);
        InputDriver::Click({ middle.x + structure.left, middle.y + structure.top });
        ManualClock::RunFor(0.5);
        EXPECT_EQ(mShell.log.accepted, 1);
        EXPECT_EQ(mShell.log.destroyed, 1);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_FALSE(mDocument->HasSheet());
        EXPECT_EQ(Status(mDocument, 'dtha'), CCarbonEventHandler::kMenuStatusEnable);
    }

    TEST_F(DocumentShell, ASheetTheShellCannotMakeLeavesTheWindowFree)
    {
        mShell.makeSheets = false;
        mRefused = 2;
        mDocument->EditObject(Add<CMapWaypoint>("Camp"));
        mDocument->EditDocument();
        EXPECT_EQ(mShell.made.size(), 2u);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_EQ(Status(mDocument, 'dtha'), CCarbonEventHandler::kMenuStatusEnable);
    }

    TEST_F(DocumentShell, TheFindCommandAsksTheShellForThisDocumentUnlessASheetIsOpen)
    {
        EXPECT_EQ(Status(mDocument, 'find'), CCarbonEventHandler::kMenuStatusEnable);
        EXPECT_EQ(Command(mDocument, 'find'), noErr);
        EXPECT_EQ(mShell.finds, (std::vector<CWindowDocument*> { mDocument }));
        Command(mDocument, 'doci');
        ASSERT_NE(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_EQ(Status(mDocument, 'find'), CCarbonEventHandler::kMenuStatusDisable);
        Command(mDocument, 'find');
        EXPECT_EQ(mShell.finds.size(), 1u) << "not while a sheet is open";
        Command(mDocument, 'not!');
    }

    // With no receiver, Device and Synchronise stay greyed while a sheet is open and after it
    // ends, drawn so as well as marked so: the tools go grey beside them and come back alone.
    TEST_F(DocumentShell, DeviceAndSynchroniseStayGreyedThroughASheetWithNoReceiver)
    {
        WindowRef const window = mDocument->GetWindow()->GetWindowRef();
        HIToolbarRef ref = nullptr;
        GetWindowToolbar(window, &ref);
        toolbox::toolbar::Toolbar* toolbar = ref ? toolbox::toolbar::Toolbar::From(ref) : nullptr;
        ASSERT_NE(toolbar, nullptr);
        toolbox::View* strip = toolbar->GetStrip();
        auto* layout = toolbox::toolbar::ToolbarStrip::Find(strip);
        ASSERT_NE(layout, nullptr);
        auto const item = [&](MenuCommand command) -> toolbox::toolbar::ToolbarItem* {
            for (auto const& slot : layout->Layout())
                if (slot.item->GetCommand() == command)
                    return slot.item;
            return nullptr;
        };
        // Dark pixels of an item's label on the screen: none when it is drawn greyed.
        auto const darkLabel = [&](MenuCommand command) {
            for (auto const& slot : layout->Layout()) {
                if (slot.item->GetCommand() != command)
                    continue;
                CGPoint const topLeft = strip->ToWindow({ slot.frame.origin.x, slot.frame.origin.y + 5 + 32 + 2 });
                CGRect const structure = strip->GetWindow()->GetStructure();
                int const x = int(structure.origin.x + topLeft.x), y = int(structure.origin.y + topLeft.y);
                return ProbeScreen().Count({ x, y, x + int(slot.frame.size.width), y + 14 },
                    [](Pixel p) { return p.r < 100 && p.g < 100 && p.b < 100; });
            }
            ADD_FAILURE() << "no toolbar item sends " << command;
            return -1;
        };
        auto const expectGreyed = [&](char const* when) {
            for (MenuCommand command : { MenuCommand('ddev'), MenuCommand('dsyn') }) {
                ASSERT_NE(item(command), nullptr);
                EXPECT_FALSE(item(command)->IsEnabled()) << when;
                EXPECT_EQ(darkLabel(command), 0) << when;
            }
        };
        ASSERT_GT(darkLabel('dtrl'), 0) << "an enabled label is drawn dark";
        expectGreyed("with no sheet");

        // Ctrl+L: Go to Location.
        InputDriver::Key(37, 'l', cmdKey);
        ManualClock::RunFor(0.6);
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetViewLocation);
        EXPECT_FALSE(item('dtrl')->IsEnabled());
        EXPECT_EQ(darkLabel('dtrl'), 0) << "the tools are greyed under the sheet";
        expectGreyed("with the sheet open");

        Command(mDocument, 'not!');
        ManualClock::RunFor(0.6);
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_GT(darkLabel('dtrl'), 0) << "the tools come back";
        expectGreyed("after the sheet");

        // Behind another window the whole toolbar is drawn greyed, and in front again only the
        // two without a receiver stay so.
        {
            CMacWindow front(CString("Tarnwick"), CString("Test"));
            ASSERT_NE(front.GetWindowRef(), nullptr);
            front.SetVisible(true);
            SelectWindow(front.GetWindowRef());
            ManualClock::RunFor(0.6);
            ASSERT_FALSE(IsWindowActive(window));
            EXPECT_EQ(darkLabel('dtrl'), 0) << "the tools are greyed in an inactive window";
            expectGreyed("behind another window");
        }
        SelectWindow(window);
        ManualClock::RunFor(0.6);
        EXPECT_GT(darkLabel('dtrl'), 0);
        expectGreyed("in front again");
    }

    TEST_F(DocumentShell, TheListShowsTheShellsSourceOfTheChosenSegment)
    {
        ASSERT_EQ(mShell.sources.size(), 3u) << "one source per segment, made with the window";
        CDataBrowser* list = mDocument->GetList();
        ASSERT_NE(list, nullptr);
        for (UInt32 segment = 1; segment <= 3; ++segment)
            EXPECT_EQ(mDocument->GetListSource(segment), mShell.sources[segment - 1]);
        EXPECT_EQ(mDocument->GetListSource(0), nullptr);
        EXPECT_EQ(mDocument->GetListSource(4), nullptr);
        EXPECT_EQ(list->GetSource(), mShell.sources[0]) << "the waypoints first";
        EXPECT_EQ(mDocument->GetListSegment(), UInt32(CWindowDocument::kListWaypoints));

        ASSERT_EQ(Command(mDocument, 'stra'), noErr);
        EXPECT_EQ(list->GetSource(), mShell.sources[2]);
        EXPECT_EQ(mShell.sources[2]->GetBrowser(), list);
        EXPECT_EQ(mShell.sources[0]->GetBrowser(), nullptr) << "the old source let go of the list";
        EXPECT_GE(mShell.sources[2]->populated, 1);
        ASSERT_EQ(Command(mDocument, 'srot'), noErr);
        EXPECT_EQ(list->GetSource(), mShell.sources[1]);
        EXPECT_EQ(mDocument->GetListSegment(), UInt32(CWindowDocument::kListRoutes));
    }

} // namespace
} // namespace tw::test
