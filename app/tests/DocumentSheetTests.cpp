// The editor sheets as the document window opens and ends them: from a double-click in
// its list, from its commands, one at a time, written back on OK and undone on Cancel.
#include "ObjectListTest.h"
#include "app/CSheetViewLocation.h"
#include "framework/CCarbonEvent.h"
#include "model/CMapNote.h"

namespace tw::test {
namespace {

    class DocumentSheet : public ObjectListTest {
    protected:
        void SetUp() override
        {
            ObjectListTest::SetUp();
            mWindow.reset(); // the document's own list is used
            mBrowser = mDocument->GetList();
            ASSERT_NE(mBrowser, nullptr);
            // The user comes to the document window by its title bar.
            CGRect const frame = mDocument->GetWindow()->GetWindowRef()->GetStructure();
            InputDriver::Click({ CGRectGetMidX(frame), frame.origin.y + 8 });
            Run(1.0);
        }

        void Command(UInt32 command)
        {
            CCarbonEvent event = CCarbonEvent::CreateWithHICommandID(command);
            mDocument->DispatchEvent(event, nullptr);
            Run(1.0); // a sheet takes the keys once it is in
        }
        void Edit(CMapObject* object)
        {
            mDocument->EditObject(object);
            Run(1.0);
        }
        WindowRef SheetWindow() const
        {
            CWindowController* sheet = mDocument->GetSheetController();
            return sheet && sheet->GetWindow() ? sheet->GetWindow()->GetWindowRef() : nullptr;
        }
        void DoubleClickRow(std::size_t row)
        {
            InputDriver::Click(RowPoint(row));
            InputDriver::Click(RowPoint(row));
            Run(1.0);
        }
        std::size_t RowOf(CMapObject const* object) const
        {
            std::vector<DataBrowserItemID> const rows = Rows();
            return std::size_t(std::find(rows.begin(), rows.end(), Item(object)) - rows.begin());
        }
    };

    TEST_F(DocumentSheet, ADoubleClickInTheListEditsTheObjectWrittenBackOnlyOnOK)
    {
        CMapWaypoint* cairn = AddWaypoint("Cairn", 57.5, -4.25);
        AddWaypoint("Bothy", 57.6, -4.5);
        Command('sway');
        ASSERT_EQ(mBrowser->GetSource(), mDocument->GetListSource(CWindowDocument::kListWaypoints));
        ASSERT_EQ(Rows().size(), 2u);

        // Escape: the typed name goes with the sheet.
        DoubleClickRow(RowOf(cairn));
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetWaypoint);
        EXPECT_EQ(Focus(SheetWindow()), Find(SheetWindow(), 'name'));
        Retype("Summit cairn");
        Key(kKeyEscape, 0x1B);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_EQ(mDocument->GetSheetController(), nullptr);
        EXPECT_EQ(cairn->GetName().GetStdString(), "Cairn");

        // Return: the name and a new latitude are stored, and the list shows them.
        DoubleClickRow(RowOf(cairn));
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetWaypoint);
        Retype("Summit cairn");
        Key(kKeyTab, '\t');
        Key(kKeyTab, '\t');
        Retype("57.25");
        Key(kKeyReturn, '\r');
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_EQ(cairn->GetName().GetStdString(), "Summit cairn");
        EXPECT_NEAR(cairn->GetPosition().GetLatitude(), 57.25, 1e-9);
        EXPECT_EQ(Cell(Item(cairn), 'name'), "Summit cairn");

        // A latitude of 95 is refused: the sheet stays and nothing is stored.
        DoubleClickRow(RowOf(cairn));
        Key(kKeyTab, '\t');
        Key(kKeyTab, '\t');
        Retype("95");
        Key(kKeyReturn, '\r');
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetWaypoint);
        Key(kKeyEscape, 0x1B);
        EXPECT_NEAR(cairn->GetPosition().GetLatitude(), 57.25, 1e-9);
    }

    TEST_F(DocumentSheet, EachKindOpensItsOwnSheetOneAtATime)
    {
        CMapRoute* route = AddRoute("Ridge");
        CMapTrack* track = AddTrack("Climb", 1500);
        auto* note = new CMapNote();
        note->SetDescription("Gate locked");
        mDocument->AddObject(note);

        Command('srot');
        DoubleClickRow(RowOf(route));
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetRoute);
        EXPECT_EQ(EditedName(), "Ridge");
        // A second editor never opens over the first.
        Edit(track);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetRoute);
        EXPECT_EQ(EditedName(), "Ridge");
        Key(kKeyEscape, 0x1B);

        Command('stra');
        DoubleClickRow(RowOf(track));
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetTrack);
        EXPECT_EQ(EditedName(), "Climb");
        Key(kKeyEscape, 0x1B);

        Edit(note);
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNote);
        Retype("Gate open");
        Key(kKeyEscape, 0x1B);
        EXPECT_EQ(note->GetDescription().GetStdString(), "Gate locked");
        Edit(note);
        Retype("Gate open");
        Click(SheetWindow(), 'ok  ');
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_EQ(note->GetDescription().GetStdString(), "Gate open");
    }

    TEST_F(DocumentSheet, TheInformationCommandEditsTheAuthorAndDescription)
    {
        EXPECT_EQ(mDocument->GetMenuStatus({ 0, 'doci', {} }), CCarbonEventHandler::kMenuStatusEnable);
        Command('doci');
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetDocumentInfo);
        EXPECT_EQ(mDocument->GetMenuStatus({ 0, 'doci', {} }), CCarbonEventHandler::kMenuStatusDisable);
        CString const author = mDocument->GetDocumentInfo().GetAuthor();
        EXPECT_EQ(Text(SheetWindow(), 'auth'), author.GetStdString());
        Retype("Ann Example");
        Key(kKeyEscape, 0x1B);
        EXPECT_EQ(mDocument->GetDocumentInfo().GetAuthor(), author);
        EXPECT_FALSE(mDocument->IsModified());
        Command('doci');
        Retype("Ann Example");
        Key(kKeyReturn, '\r');
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_EQ(mDocument->GetDocumentInfo().GetAuthor().GetStdString(), "Ann Example");
        EXPECT_TRUE(mDocument->IsModified());
    }

    TEST_F(DocumentSheet, TheRouteEditorCancelledThroughTheDocumentTakesBackTheWaypointsItMade)
    {
        CMapWaypoint* a = AddWaypoint("A", 57.70, 11.90);
        CMapRoute* route = AddRoute("Coast");
        route->AddWaypoint(-1, a, false);
        Edit(route);
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetRoute);
        std::size_t const objects = mDocument->GetObjects().size();
        Click(SheetWindow(), 'addw');
        Click(SheetWindow(), 'addw');
        EXPECT_EQ(mDocument->GetObjects().size(), objects + 2);
        Key(kKeyEscape, 0x1B);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_EQ(mDocument->GetObjects().size(), objects);
        ASSERT_EQ(route->GetSegments().size(), 1u);
        EXPECT_EQ(route->GetSegments()[0].waypoint, a);
    }

    TEST_F(DocumentSheet, TheViewLocationCommandStartsWhereTheMapIsAndCancelGoesBack)
    {
        CViewMap* view = mDocument->GetMapView();
        view->SetMapZoom(CHIView::kZoomFactor, nullptr, 6);
        view->SetMapCentre(CCoordinate(48, 2));
        CCoordinate const before = view->GetMapCentre();
        Command('gvie');
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetViewLocation);
        auto* sheet = dynamic_cast<CSheetViewLocation*>(mDocument->GetSheetController());
        ASSERT_NE(sheet, nullptr);
        ASSERT_NE(sheet->GetTarget(), nullptr);
        EXPECT_EQ(Text(SheetWindow(), 'elat'), before.GetLatitudeString().GetStdString());
        EXPECT_EQ(GetControl32BitValue(Find(SheetWindow(), 'zoom')), 6);
        Retype("57.7");
        Run(2.1);
        EXPECT_GT(view->GetMapCentre().GetLatitude(), 57.6);
        Key(kKeyEscape, 0x1B);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        EXPECT_EQ(view->GetMapZoom(), 6u);
        CGPoint const back = view->Project(view->GetMapCentre());
        CGPoint const expected = view->Project(before);
        EXPECT_NEAR(back.x, expected.x, 1.0);
        EXPECT_NEAR(back.y, expected.y, 1.0);
        EXPECT_TRUE(mDocument->GetObjects().empty()) << "the target stays behind";

        // OK keeps the typed place.
        Command('gvie');
        Retype("57.7");
        Key(kKeyReturn, '\r');
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone);
        CCoordinate const typed(57.7, before.GetLongitude());
        EXPECT_NEAR(view->Project(view->GetMapCentre()).y, view->Project(typed).y, 1.0);
        EXPECT_TRUE(mDocument->GetObjects().empty());
    }

    // The map takes Return and Delete when nothing else has the keys: never while a sheet is open.
    TEST_F(DocumentSheet, KeysTypedInASheetNeverActOnTheMapBelow)
    {
        CMapWaypoint* chosen = AddWaypoint("Chosen", 57.7, 11.9);
        mDocument->SelectObject(chosen, true);
        Command('doci');
        ASSERT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetDocumentInfo);
        Retype("");
        Key(kKeyDelete, 8);
        Key(117, 0x7F); // forward delete
        ASSERT_EQ(mDocument->GetObjects().size(), 1u) << "a delete key in the sheet removed the map's choice";
        Retype("Ann Example");
        Key(kKeyReturn, '\r');
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetNone) << "Return in the sheet did not reach its OK";
        EXPECT_EQ(mDocument->GetDocumentInfo().GetAuthor().GetStdString(), "Ann Example");
        EXPECT_TRUE(chosen->IsSelected());
    }

} // namespace
} // namespace tw::test
