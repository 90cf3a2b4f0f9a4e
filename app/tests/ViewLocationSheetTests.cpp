#include "ObjectListTest.h"
#include "app/CSheetViewLocation.h"
#include "docwindow/CViewMap.h"
#include "foundation/CTextUtilities.h"
#include "model/CParserURL.h"

namespace tw::test {
namespace {

    class ViewLocationSheet : public ObjectListTest {
    protected:
        void SetUp() override
        {
            ObjectListTest::SetUp();
            mWindow.reset();
            mBrowser = nullptr;
            mView = mDocument->GetMapView();
            mView->SetMapZoom(CHIView::kZoomFactor, nullptr, 4);
            mView->SetMapCentre(CCoordinate(10, 20));
            CTextUtilities::SetClipboardText(CString("nothing here"));
        }

        CSheetViewLocation* Open(SheetHost<CSheetViewLocation>& host, CCoordinate const& at, unsigned long zoom)
        {
            CSheetViewLocation* sheet = host.Open();
            EXPECT_NE(sheet, nullptr);
            if (!sheet)
                return nullptr;
            sheet->SetMapView(mView, at, zoom);
            host.OnComplete([](CSheetViewLocation* done, UInt32 command) { done->UpdateMapView(command == 'ok  '); });
            return sheet;
        }
        // The view keeps its origin on whole pixels: its centre is the place to within a pixel.
        void ExpectMapAt(CCoordinate const& at, unsigned long zoom)
        {
            EXPECT_EQ(mView->GetMapZoom(), zoom);
            CGPoint const centre = mView->Project(mView->GetMapCentre());
            CGPoint const expected = mView->Project(at);
            EXPECT_NEAR(centre.x, expected.x, 1.0) << at.GetLatitude() << ", " << at.GetLongitude();
            EXPECT_NEAR(centre.y, expected.y, 1.0) << at.GetLatitude() << ", " << at.GetLongitude();
        }
        static SInt32 Slider(WindowRef sheet) { return GetControl32BitValue(Find(sheet, 'zoom')); }
        // The user comes back to the sheet from another window, as after copying a link elsewhere.
        static void Reactivate(SheetHost<CSheetViewLocation>& host)
        {
            {
                CMacWindow other { CString("Tarnwick"), CString("Test") };
                other.SetVisible(true);
                other.Select(true);
                Run();
            }
            host.GetWindow().Select(true);
            Run();
        }

        CViewMap* mView = nullptr;
    };

    TEST_F(ViewLocationSheet, MarksThePlaceWithATemporaryTargetAndMovesTheMapThere)
    {
        SheetHost<CSheetViewLocation> host;
        CSheetViewLocation* editor = Open(host, CCoordinate(57.7, 11.97), 12);
        ASSERT_NE(editor, nullptr);
        WindowRef const sheet = host.GetSheetWindow();
        CMapWaypoint* target = editor->GetTarget();
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(mDocument->GetObjects().back(), target);
        EXPECT_EQ(target->GetAttributes(), 14u);
        EXPECT_EQ(target->GetSymbol(), kWaypointSymbolDefault);
        EXPECT_EQ(target->GetOptions(), kWaypointShowSymbol);
        EXPECT_EQ(Text(sheet, 'elat'), CCoordinate(57.7, 11.97).GetLatitudeString().GetStdString());
        EXPECT_EQ(Text(sheet, 'elon'), CCoordinate(57.7, 11.97).GetLongitudeString().GetStdString());
        EXPECT_EQ(Slider(sheet), 12);
        EXPECT_EQ(Focus(sheet), Find(sheet, 'elat'));
        ExpectMapAt(CCoordinate(57.7, 11.97), 12);
        // The target is in no list.
        CBrowserWaypoints list;
        list.SetDocument(mDocument.get());
        EXPECT_FALSE(CBrowserMapObject::FilterItem(CString(), target));
        Shot("sheet-view-location.png");
    }

    TEST_F(ViewLocationSheet, OpensWithThePlaceSelectedSoThatTypingReplacesIt)
    {
        SheetHost<CSheetViewLocation> host;
        ASSERT_NE(Open(host, CCoordinate(57.7, 11.97), 12), nullptr);
        for (char c : std::string("48.5")) {
            InputDriver::Key(0, UInt32(c));
            InputDriver::Type(std::string(1, c));
        }
        Run();
        EXPECT_EQ(Text(host.GetSheetWindow(), 'elat'), "48.5");
    }

    TEST_F(ViewLocationSheet, TypedPlacesMoveTheMapWithinTwoSecondsAndBadTextKeepsTheTargets)
    {
        SheetHost<CSheetViewLocation> host;
        CSheetViewLocation* editor = Open(host, CCoordinate(57.7, 11.97), 12);
        ASSERT_NE(editor, nullptr);
        Retype("48.8584");
        Run(1.0);
        ExpectMapAt(CCoordinate(57.7, 11.97), 12); // not yet
        Run(1.2);
        ExpectMapAt(CCoordinate(48.8584, 11.97), 12);
        EXPECT_NEAR(editor->GetTarget()->GetPosition().GetLatitude(), 48.8584, 1e-9);
        EXPECT_EQ(Text(host.GetSheetWindow(), 'elat'), "48.8584"); // what was typed stays as typed
        // The same place again, or text that does not read, moves nothing.
        MessageCounter moves(*mView, CViewMap::kMsgOriginChanged);
        Retype("48.8584 N");
        Run(2.1);
        Retype("48.8");
        Key(kKeyDelete, 8);
        Retype("4x");
        Run(4.1);
        EXPECT_EQ(moves.count, 0);
        EXPECT_NEAR(editor->GetTarget()->GetPosition().GetLatitude(), 48.8584, 1e-9);
        // OK is refused while a field does not read.
        Key(kKeyReturn, '\r');
        EXPECT_TRUE(host.GetCompleted().empty());
        EXPECT_EQ(toolbox::Beeper::Count(), 1u);
        Retype("-33.8568");
        Key(kKeyTab, '\t');
        Retype("151.2153");
        Key(kKeyReturn, '\r');
        EXPECT_EQ(host.GetCompleted(), (std::vector<UInt32> { 'ok  ' }));
        ExpectMapAt(CCoordinate(-33.8568, 151.2153), 12);
        EXPECT_TRUE(mDocument->GetObjects().empty()); // the target went
    }

    TEST_F(ViewLocationSheet, TheSliderAndItsKeysZoomTheMap)
    {
        SheetHost<CSheetViewLocation> host;
        ASSERT_NE(Open(host, CCoordinate(57.7, 11.97), 12), nullptr);
        WindowRef const sheet = host.GetSheetWindow();
        Key(kKeyTab, '\t');
        Key(kKeyTab, '\t');
        EXPECT_EQ(Focus(sheet), Find(sheet, 'zoom'));
        Key(124 /* right */, 0);
        EXPECT_EQ(mView->GetMapZoom(), 13u);
        Key(123 /* left */, 0);
        Key(123, 0);
        EXPECT_EQ(mView->GetMapZoom(), 11u);
        Key(kKeyEscape, 0x1B);
        ExpectMapAt(CCoordinate(10, 20), 4);
    }

    // The slider's command is the sheet's: it never goes on to zoom the window.
    TEST_F(ViewLocationSheet, TheSliderLeavesTheWindowsSizeAlone)
    {
        int zooms = 0;
        EventTypeSpec const command { kEventClassCommand, kEventCommandProcess };
        EventHandlerRef handler = nullptr;
        InstallEventHandler(
            GetApplicationEventTarget(),
            [](EventHandlerCallRef, EventRef event, void* data) -> OSStatus {
                HICommand hi {};
                GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof hi, nullptr, &hi);
                if (hi.commandID == kHICommandZoomWindow)
                    ++*static_cast<int*>(data);
                return eventNotHandledErr;
            },
            1, &command, &zooms, &handler);
        SheetHost<CSheetViewLocation> host;
        ASSERT_NE(Open(host, CCoordinate(57.7, 11.97), 12), nullptr);
        WindowRef const sheet = host.GetSheetWindow();
        Rect before {};
        GetWindowBounds(host.GetWindow().GetWindowRef(), kWindowStructureRgn, &before);
        Key(kKeyTab, '\t');
        Key(kKeyTab, '\t');
        ASSERT_EQ(Focus(sheet), Find(sheet, 'zoom'));
        Key(124 /* right */, 0);
        Key(124, 0);
        EXPECT_EQ(mView->GetMapZoom(), 14u);
        EXPECT_EQ(zooms, 0) << "the window's Zoom command was sent";
        Rect after {};
        GetWindowBounds(host.GetWindow().GetWindowRef(), kWindowStructureRgn, &after);
        EXPECT_EQ(after.right - after.left, before.right - before.left);
        EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
        RemoveEventHandler(handler);
        Key(kKeyEscape, 0x1B);
    }

    TEST_F(ViewLocationSheet, CancelReturnsToTheOldViewAndLeavesNoTarget)
    {
        SheetHost<CSheetViewLocation> host;
        ASSERT_NE(Open(host, CCoordinate(57.7, 11.97), 12), nullptr);
        Retype("40");
        Run(2.1);
        ExpectMapAt(CCoordinate(40, 11.97), 12);
        Key(kKeyEscape, 0x1B);
        EXPECT_EQ(host.GetCompleted(), (std::vector<UInt32> { 'not!' }));
        ExpectMapAt(CCoordinate(10, 20), 4);
        EXPECT_TRUE(mDocument->GetObjects().empty());
    }

    TEST_F(ViewLocationSheet, PastesEveryKindOfMapLinkAndBeepsAtProse)
    {
        char const* const links[] = {
            "tarnwick://view?lat=57.7089&lon=11.9746&zoom=14",
            "http://www.multimap.com/map/browse.cgi?lat=51.5073&lon=-0.1277&scale=10000&icon=x",
            "http://www.streetmap.co.uk/map.srf?x=530625&y=178388&z=115",
            "http://maps.google.com/maps?ll=51.500152,-0.126236&spn=0.010032,0.027466",
            "<Placemark><name>Pin</name><Point><coordinates>11.9746,57.7089,0</coordinates></Point></Placemark>",
            "http://maps.yahoo.com/#mvt=m&lat=40.748441&lon=-73.985664&mag=3",
            "http://maps.live.com/default.aspx?v=2&cp=47.619~-122.348&style=r&lvl=15",
            "HTTP://MAPS.GOOGLE.COM/maps?LL=45.5,-73.56&Z=10", // capitals in the keys
        };
        SheetHost<CSheetViewLocation> host;
        CSheetViewLocation* editor = Open(host, CCoordinate(0, 0), 3);
        ASSERT_NE(editor, nullptr);
        WindowRef const sheet = host.GetSheetWindow();
        for (char const* link : links) {
            SCOPED_TRACE(link);
            CCoordinate expected;
            unsigned long zoom = 0;
            ASSERT_EQ(CParserURL::ParseURL(CString(link).GetLower(), mView, expected, zoom), noErr);
            CTextUtilities::SetClipboardText(CString(link));
            Reactivate(host);
            Click(sheet, 'purl');
            ExpectMapAt(expected, zoom);
            EXPECT_EQ(Slider(sheet), SInt32(zoom));
            EXPECT_EQ(editor->GetTarget()->GetPosition(), expected);
        }
        EXPECT_EQ(toolbox::Beeper::Count(), 0u);
        CCoordinate const before = mView->GetMapCentre();
        // Prose copied while the sheet is in front: the button, still offered, only beeps.
        CTextUtilities::SetClipboardText(CString("Meet me by the old mill at noon."));
        Click(sheet, 'purl');
        EXPECT_EQ(toolbox::Beeper::Count(), 1u);
        EXPECT_EQ(mView->GetMapCentre(), before);
        Reactivate(host);
        EXPECT_FALSE(IsControlEnabled(Find(sheet, 'purl')));
    }

    TEST_F(ViewLocationSheet, PasteLinkIsOfferedOnlyWhenTheClipboardHoldsALink)
    {
        CTextUtilities::SetClipboardText(CString("Plain words"));
        {
            SheetHost<CSheetViewLocation> host;
            ASSERT_NE(Open(host, CCoordinate(1, 2), 5), nullptr);
            Run();
            EXPECT_FALSE(IsControlEnabled(Find(host.GetSheetWindow(), 'purl')));
            Key(kKeyEscape, 0x1B);
        }
        CTextUtilities::SetClipboardText(CString("https://www.google.com/maps/@57.7089,11.9746,15z"));
        SheetHost<CSheetViewLocation> host;
        ASSERT_NE(Open(host, CCoordinate(1, 2), 5), nullptr);
        Run();
        EXPECT_TRUE(IsControlEnabled(Find(host.GetSheetWindow(), 'purl')));
        // From the keyboard: Tab to the button, Space presses it.
        for (int i = 0; i < 3; ++i)
            Key(kKeyTab, '\t');
        EXPECT_EQ(Focus(host.GetSheetWindow()), Find(host.GetSheetWindow(), 'purl'));
        Key(kKeySpace, ' ');
        ExpectMapAt(CCoordinate(57.7089, 11.9746), 15);
    }

    // Right after typing, before the fields are next looked at: the waypoint goes where they say.
    TEST_F(ViewLocationSheet, AddWaypointLeavesOneSelectedWaypointWhereTheFieldsSay)
    {
        SheetHost<CSheetViewLocation> host;
        ASSERT_NE(Open(host, CCoordinate(57.7, 11.97), 12), nullptr);
        Retype("58.1");
        Click(host.GetSheetWindow(), 'addw');
        EXPECT_EQ(host.GetCompleted(), (std::vector<UInt32> { 'ok  ' }));
        ASSERT_EQ(mDocument->GetObjects().size(), 1u);
        auto* waypoint = dynamic_cast<CMapWaypoint*>(mDocument->GetObjects()[0]);
        ASSERT_NE(waypoint, nullptr);
        EXPECT_TRUE(waypoint->IsSelected());
        EXPECT_EQ(waypoint->GetAttributes(), UInt32(kMapObjectAttrSelected));
        EXPECT_EQ(waypoint->GetPosition(), CCoordinate(58.1, 11.97));
        EXPECT_EQ(waypoint->GetName().GetStdString(), "Untitled");
        ExpectMapAt(CCoordinate(58.1, 11.97), 12);
    }

    TEST_F(ViewLocationSheet, ANewCoordinateFormatRewritesTheFields)
    {
        SheetHost<CSheetViewLocation> host;
        ASSERT_NE(Open(host, CCoordinate(57.75, 11.5), 12), nullptr);
        Prefs().SetInteger("MapCoordinates", kMapCoordinatesDegreesMinutes);
        WindowRef const sheet = host.GetSheetWindow();
        EXPECT_EQ(Text(sheet, 'elat'), CCoordinate(57.75, 11.5).GetLatitudeString().GetStdString());
        EXPECT_NE(Text(sheet, 'elat').find("45"), std::string::npos);
        EXPECT_EQ(Text(sheet, 'elon'), CCoordinate(57.75, 11.5).GetLongitudeString().GetStdString());
    }

} // namespace
} // namespace tw::test
