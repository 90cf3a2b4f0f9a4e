// The inspector palette: its panel by tool and selection, the coordinate under
// the mouse, the style editors writing an object's style or a kind's default,
// and the note's text, following the current document.
#include "PaletteTest.h"
#include "app/CWindowObjectPalette.h"
#include "foundation/CTextUtilities.h"
#include "model/CMapCircle.h"
#include "model/CMapLine.h"
#include "model/CMapNote.h"
#include "model/CMapRectangle.h"
#include "model/CMapWaypoint.h"
#include "widgets/CColourPicker.h"
#include "widgets/CPopupButton.h"
#include "widgets/CSlider.h"
#include "widgets/CStaticText.h"

namespace tw::test {
namespace {

    class InspectorWindow : public PaletteTest {
    protected:
        void ResetPalettes() override { CWindowInspector::ResetForTesting(); }

        CWindowInspector* Open()
        {
            CWindowInspector* inspector = CWindowInspector::GetInstance();
            if (inspector && !inspector->GetWindow()->IsVisible()) {
                CCarbonEvent event = CCarbonEvent::CreateWithHICommandID('insp');
                EXPECT_EQ(mApp->DispatchEvent(event, nullptr), noErr);
            }
            Run();
            return inspector;
        }
        // A document made current, with the inspector open on it.
        CWindowDocument* Document()
        {
            CWindowDocument* document = Current();
            Open();
            return document;
        }
        static CWindowInspector* Inspector() { return CWindowInspector::GetInstance(); }
        static std::string Panel() { return Inspector()->GetPanel().GetStdString(); }
        static std::string Text(OSType id)
        {
            CStaticText* text = CStaticText::Find(Inspector()->GetWindow(), id, 0);
            return text ? text->GetTextValue().GetStdString() : "(none)";
        }
        static CPopupButton* Popup(OSType id) { return CPopupButton::Find(Inspector()->GetWindow(), id, 0); }
        static CColourPicker* Picker(OSType id)
        {
            return dynamic_cast<CColourPicker*>(Inspector()->GetWindow()->FindView(id, 0));
        }
        static CSlider* Opacity() { return CSlider::Find(Inspector()->GetWindow(), 'alpa', 0); }
        // What the pop-up does once the user chose an item.
        static void Choose(OSType popup, long item)
        {
            Popup(popup)->SetCurrentValue(item);
            CCarbonEvent command(kEventClassCommand, kEventCommandProcess);
            HICommand const hiCommand { 0, popup, {} };
            command.SetParameter(kEventParamDirectObject, typeHICommand, sizeof hiCommand, &hiCommand);
            command.SendToWindow(Inspector()->GetWindow()->GetWindowRef());
        }
        static std::string Bundle(char const* key) { return CTextUtilities::GetBundleString(key).GetStdString(); }
    };

    // A palette opened over the front document's title bar or toolbar moves clear of them, so a
    // click meant for the search field reaches it; one opened elsewhere stays where it was.
    void MoveWindowStructure(WindowRef window, SInt16 left, SInt16 top)
    {
        Rect frame {}, content {};
        GetWindowBounds(window, kWindowStructureRgn, &frame);
        GetWindowBounds(window, kWindowContentRgn, &content);
        MoveWindow(window, SInt16(left + content.left - frame.left), SInt16(top + content.top - frame.top), false);
    }

    TEST_F(InspectorWindow, OpensClearOfTheDocumentsToolbar)
    {
        for (SInt16 documentLeft : { SInt16(20), SInt16(700) }) {
            CWindowDocument* document = Current();
            WindowRef const window = document->GetWindow()->GetWindowRef();
            MoveWindowStructure(window, documentLeft, 40);
            Rect frame {}, content {};
            GetWindowBounds(window, kWindowStructureRgn, &frame);
            GetWindowBounds(window, kWindowContentRgn, &content);
            ASSERT_GT(content.top, frame.top + 40) << "a window with its toolbar";
            WindowRef const palette = Inspector()->GetWindow()->GetWindowRef();
            MoveWindowStructure(palette, SInt16(frame.right - 150), SInt16(frame.top + 30));
            Open();
            Rect placed {};
            GetWindowBounds(palette, kWindowStructureRgn, &placed);
            bool const overBand = placed.left < frame.right && placed.right > frame.left && placed.top < content.top
                && placed.bottom > frame.top;
            EXPECT_FALSE(overBand) << "document at " << documentLeft << ": palette at " << placed.left << ","
                                   << placed.top;
            Rect area {};
            GetAvailableWindowPositioningBounds(GetMainDevice(), &area);
            EXPECT_LE(placed.right, area.right);
            EXPECT_LE(placed.bottom, area.bottom);

            // Hidden and moved below the toolbar by the user, it opens there again.
            CCarbonEvent toggle = CCarbonEvent::CreateWithHICommandID('insp');
            mApp->DispatchEvent(toggle, nullptr);
            MoveWindowStructure(palette, SInt16(frame.left + 40), SInt16(content.top + 60));
            Open();
            GetWindowBounds(palette, kWindowStructureRgn, &placed);
            EXPECT_EQ(placed.left, frame.left + 40);
            EXPECT_EQ(placed.top, content.top + 60);
            mApp->DispatchEvent(toggle, nullptr);
            delete document;
        }
    }

    TEST_F(InspectorWindow, WithNoDocumentTheEmptyPanelShows)
    {
        mApp->SetCurrentDocument(nullptr);
        CWindowInspector* inspector = Open();
        ASSERT_NE(inspector, nullptr);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelEmpty);
        EXPECT_EQ(Text('twhy'), Bundle("InspectorNoOptions"));
        EXPECT_EQ(inspector->GetDocument(), nullptr);
        EXPECT_EQ(MenuMark('insp'), checkMark);
        EXPECT_TRUE(Prefs().GetBoolean(CWindowInspector::kPrefVisible, false));
        inspector->CommandClose();
        Run();
        EXPECT_FALSE(Prefs().GetBoolean(CWindowInspector::kPrefVisible, true));
        EXPECT_EQ(MenuMark('insp'), noMark);
        EXPECT_FALSE(IsWindowVisible(inspector->GetWindow()->GetWindowRef()));
        EXPECT_EQ(Open(), inspector) << "hidden, never destroyed";
    }

    TEST_F(InspectorWindow, TheHandToolShowsTheCoordinateUnderTheMouseOrWhyNothingIsEditable)
    {
        CWindowDocument* document = Document();
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelLocation);
        // The pointer over the map's middle.
        CViewMap* map = document->GetMapView();
        CGRect const visible = map->GetVisibleContent();
        CGPoint middle { visible.size.width / 2, visible.size.height / 2 };
        HIViewConvertPoint(&middle, map->GetHIViewRef(), nullptr);
        Rect structure {};
        GetWindowBounds(document->GetWindow()->GetWindowRef(), kWindowStructureRgn, &structure);
        InputDriver::MouseMove({ middle.x + structure.left - 5, middle.y + structure.top });
        InputDriver::MouseMove({ middle.x + structure.left, middle.y + structure.top });
        Run();
        CCoordinate const under = map->GetMapCentre();
        EXPECT_EQ(Text('lati'), under.GetLatitudeString().GetStdString());
        EXPECT_EQ(Text('long'), under.GetLongitudeString().GetStdString());
        EXPECT_NE(Text('lati').find("57"), std::string::npos) << Text('lati');

        // One waypoint: nothing to edit; two objects: several.
        CMapWaypoint* waypoint = Add<CMapWaypoint>(document);
        CMapCircle* circle = Add<CMapCircle>(document);
        document->SelectObject(waypoint, true);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelEmpty);
        EXPECT_EQ(Text('twhy'), Bundle("InspectorNoOptions"));
        EXPECT_EQ(Inspector()->GetObject(), waypoint);
        document->SelectObject(circle, true);
        EXPECT_EQ(Text('twhy'), Bundle("InspectorMultiple"));
        EXPECT_EQ(Inspector()->GetCount(), 2u);
        document->SelectObject(waypoint, false);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelShape);
        EXPECT_EQ(Inspector()->GetObject(), circle);
        EXPECT_EQ(Inspector()->GetType(), kMapObjectCircle);
    }

    TEST_F(InspectorWindow, ADrawingToolEditsTheDefaultOfItsKindAndNoObject)
    {
        CWindowDocument* document = Document();
        CMapCircle* existing = Add<CMapCircle>(document);
        MapObjectStyle const before = existing->GetStyle();
        MapObjectStyle circles;
        circles.lineWidth = 2;
        circles.lineStyle = kMapLineDashed;
        mApp->SetObjectStyle(kMapObjectCircle, circles);
        document->SelectObject(existing, true);

        document->SetTool(kToolCircle);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelShape);
        EXPECT_EQ(Inspector()->GetObject(), nullptr) << "a drawing tool inspects no selection";
        EXPECT_EQ(Popup('fwid')->GetCurrentValue(), 2);
        EXPECT_EQ(Popup('fstl')->GetCurrentValue(), 3);
        EXPECT_TRUE(Picker('fill')->IsVisible());

        Choose('fwid', 4);
        EXPECT_EQ(mApp->GetObjectStyle(kMapObjectCircle).lineWidth, 8.0f);
        EXPECT_EQ(mApp->GetObjectStyle(kMapObjectCircle).lineStyle, kMapLineDashed);
        EXPECT_EQ(existing->GetStyle(), before) << "no existing object changes";

        // A line has no fill; the note tool its panel, the crop tool nothing.
        document->SetTool(kToolLine);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelShape);
        EXPECT_FALSE(Picker('fill')->IsVisible());
        document->SetTool(kToolNote);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelNote);
        EXPECT_EQ(Text('note'), Bundle("InspectorNoText"));
        document->SetTool(kToolCrop);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelEmpty);
        document->SetTool(kToolRuler);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelLocation);
    }

    TEST_F(InspectorWindow, TheShapeEditorsWriteTheSelectedObjectsStyle)
    {
        CWindowDocument* document = Document();
        CMapRectangle* rectangle = Add<CMapRectangle>(document);
        MapObjectStyle style;
        style.lineWidth = 4;
        style.fill = { 0.2f, 0.4f, 0.6f, 0.29f };
        style.frame = { 0.1f, 0.1f, 0.1f, 1 };
        rectangle->SetStyle(style);
        document->SelectObject(rectangle, true);
        ASSERT_EQ(Panel(), CWindowInspector::kNibPanelShape);
        EXPECT_EQ(Opacity()->GetCurrentValue(), 29) << "rounded, not cut to 28";
        EXPECT_EQ(Popup('fwid')->GetCurrentValue(), 3);

        // The opacity is the alpha of both colours.
        Opacity()->SetCurrentValue(60);
        Opacity()->BroadcastMessage(CSlider::kMsgTrackingComplete, Opacity());
        EXPECT_FLOAT_EQ(rectangle->GetStyle().fill.alpha, 0.6f);
        EXPECT_FLOAT_EQ(rectangle->GetStyle().frame.alpha, 0.6f);
        EXPECT_FLOAT_EQ(rectangle->GetStyle().fill.red, 0.2f);

        // A new frame colour keeps the opacity.
        Picker('fram')->SetColour({ 1, 0, 0, 1 });
        Picker('fram')->BroadcastMessage(CColourPicker::kMsgColourChanged, Picker('fram'));
        ColourRGBA const frame = rectangle->GetStyle().frame;
        EXPECT_EQ(frame.red, 1.0f);
        EXPECT_EQ(frame.blue, 0.0f);
        EXPECT_FLOAT_EQ(frame.alpha, 0.6f);
        Choose('fstl', 2);
        EXPECT_EQ(rectangle->GetStyle().lineStyle, kMapLineDotted);
        EXPECT_EQ(mApp->GetObjectStyle(kMapObjectRectangle), MapObjectStyle()) << "the default is not touched";
    }

    TEST_F(InspectorWindow, AWidthThePopupLacksStaysUntilTheUserPicksOne)
    {
        CWindowDocument* document = Document();
        CMapLine* line = Add<CMapLine>(document);
        CMapCircle* circle = Add<CMapCircle>(document);
        MapObjectStyle wide;
        wide.lineWidth = 8;
        circle->SetStyle(wide);
        document->SelectObject(circle, true);
        EXPECT_EQ(Popup('fwid')->GetCurrentValue(), 4);

        // The selection moves from the circle to the line at once.
        MapObjectStyle odd;
        odd.lineWidth = 3;
        line->SetStyle(odd);
        circle->SetAttributes(0, kMapObjectAttrSelected);
        document->SelectObject(line, true);
        ASSERT_EQ(Inspector()->GetObject(), line);
        EXPECT_EQ(Popup('fwid')->GetCurrentValue(), 4) << "the previous item stays";
        Picker('fram')->SetColour({ 0, 0, 1, 1 });
        Picker('fram')->BroadcastMessage(CColourPicker::kMsgColourChanged, Picker('fram'));
        EXPECT_EQ(line->GetStyle().lineWidth, 3.0f) << "a colour change keeps the width";
        Choose('fwid', 1);
        EXPECT_EQ(line->GetStyle().lineWidth, 1.0f);
    }

    TEST_F(InspectorWindow, TheNotePanelFollowsItsObjectAndARemovedObjectLeavesThePanel)
    {
        CWindowDocument* document = Document();
        CMapNote* note = Add<CMapNote>(document);
        note->SetDescription(CString("Meet at the harbour"));
        document->SelectObject(note, true);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelNote);
        EXPECT_EQ(Text('note'), "Meet at the harbour");
        note->SetDescription(CString("Meet at the station")); // the document tells of the change
        EXPECT_EQ(Text('note'), "Meet at the station");
        note->SetDescription(CString());
        EXPECT_EQ(Text('note'), Bundle("InspectorNoText"));

        document->RemoveObject(note);
        EXPECT_EQ(Inspector()->GetObject(), nullptr);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelLocation);
        // Nothing of the removed object is touched afterwards.
        CMapWaypoint* waypoint = Add<CMapWaypoint>(document);
        document->SelectObject(waypoint, true);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelEmpty);
    }

    TEST_F(InspectorWindow, EditingAShapeBringsTheHiddenPaletteForward)
    {
        CWindowDocument* document = Current();
        CMapCircle* circle = Add<CMapCircle>(document);
        ASSERT_FALSE(CWindowInspector::GetInstance()->GetWindow()->IsVisible());
        document->EditObject(circle);
        Run();
        EXPECT_TRUE(Inspector()->GetWindow()->IsVisible());
        EXPECT_EQ(MenuMark('insp'), checkMark);
        EXPECT_EQ(Inspector()->GetDocument(), document);
    }

    TEST_F(InspectorWindow, AnotherDocumentOrNoneIsFollowed)
    {
        CWindowDocument* first = Document();
        CWindowDocument* second = NewDocument();
        second->SetTool(kToolRectangle);
        mApp->SetCurrentDocument(second);
        EXPECT_EQ(Inspector()->GetDocument(), second);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelShape);
        first->SetTool(kToolNote);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelShape) << "the other document is not followed";
        // A closed document lets go of the palette, which follows the document now current.
        delete second;
        EXPECT_EQ(Inspector()->GetDocument(), dynamic_cast<CWindowDocument*>(mApp->GetCurrentDocument()));
        mApp->SetCurrentDocument(nullptr);
        EXPECT_EQ(Inspector()->GetDocument(), nullptr);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelEmpty);
        first->SetTool(kToolLine);
        EXPECT_EQ(Panel(), CWindowInspector::kNibPanelEmpty);
    }

} // namespace
} // namespace tw::test
