// The navigator palette: made once from the nib, hidden on close, following the
// current document with its marker and its slider bound both ways to the
// document's zoom, and passing the zoom buttons on to the document's window.
#include "PaletteTest.h"
#include "app/CWindowNavigator.h"
#include "docwindow/CViewNavigator.h"

namespace tw::test {
namespace {

    class NavigatorWindow : public PaletteTest {
    protected:
        void ResetPalettes() override { CWindowNavigator::ResetForTesting(); }

        CWindowNavigator* Open()
        {
            CWindowNavigator* navigator = CWindowNavigator::GetInstance();
            if (navigator && !navigator->GetWindow()->IsVisible()) {
                EXPECT_EQ(Command('navi'), noErr);
            }
            Run();
            return navigator;
        }
        OSStatus Command(UInt32 command)
        {
            CCarbonEvent event = CCarbonEvent::CreateWithHICommandID(command);
            return mApp->DispatchEvent(event, nullptr);
        }
        static WindowRef Palette() { return CWindowNavigator::GetInstance()->GetWindow()->GetWindowRef(); }
        static ControlRef Slider()
        {
            ControlID const id { 'zoom', 0 };
            ControlRef slider = nullptr;
            GetControlByID(Palette(), &id, &slider);
            return slider;
        }
    };

    TEST_F(NavigatorWindow, WithNoDocumentTheButtonsDoNothingAndTheSliderIsBoundToNothing)
    {
        for (CDocument* document : CDocument::GetDocuments(false))
            delete document; // none is current any more
        CWindowNavigator* navigator = Open();
        ASSERT_NE(navigator, nullptr);
        ASSERT_NE(navigator->GetNavigatorView(), nullptr) << "the nib's view of our class";
        EXPECT_EQ(navigator->GetNavigatorView()->GetMapView(), nullptr);
        EXPECT_EQ(navigator->GetDocument(), nullptr);
        EXPECT_TRUE(IsWindowVisible(Palette()));
        ClickControl(Palette(), 'zoin');
        ClickControl(Palette(), 'zout');
        EXPECT_FALSE(IsControlEnabled(Slider())) << "a slider that moves nothing";

        // A document enables it; the last one closed disables it again, whatever level it showed.
        CWindowDocument* document = Current(kPaletteGoteborg, 7);
        Run();
        EXPECT_TRUE(IsControlEnabled(Slider()));
        EXPECT_EQ(GetControl32BitValue(Slider()), 7);
        delete document;
        mApp->SetCurrentDocument(nullptr);
        Run();
        EXPECT_FALSE(IsControlEnabled(Slider()));
    }

    TEST_F(NavigatorWindow, TheSliderAndTheDocumentsZoomFollowEachOther)
    {
        CWindowDocument* document = Current(kPaletteGoteborg, 6);
        CWindowNavigator* navigator = Open();
        EXPECT_EQ(navigator->GetDocument(), document) << "the current document at the palette's start";
        EXPECT_EQ(navigator->GetNavigatorView()->GetMapView(), document->GetMapView());
        EXPECT_EQ(GetControl32BitValue(Slider()), 6) << "the slider shows the level at once";

        SetControl32BitValue(Slider(), 11);
        Run();
        EXPECT_EQ(document->GetMapView()->GetMapZoom(), 11u) << "the slider zooms the map";

        Show(document, kPaletteGoteborg, 3);
        Run();
        EXPECT_EQ(GetControl32BitValue(Slider()), 3) << "the slider follows the map";
    }

    TEST_F(NavigatorWindow, TheZoomButtonsZoomTheDocumentsMap)
    {
        CWindowDocument* document = Current(kPaletteEurope, 5);
        Open();
        ClickControl(Palette(), 'zoin');
        EXPECT_EQ(document->GetMapView()->GetMapZoom(), 6u);
        EXPECT_EQ(GetControl32BitValue(Slider()), 6);
        ClickControl(Palette(), 'zout');
        ClickControl(Palette(), 'zout');
        EXPECT_EQ(document->GetMapView()->GetMapZoom(), 4u);
        EXPECT_EQ(GetControl32BitValue(Slider()), 4);
    }

    TEST_F(NavigatorWindow, AnotherCurrentDocumentTakesTheMarkerAndTheSlider)
    {
        CWindowDocument* first = Current(kPaletteGoteborg, 8);
        CWindowNavigator* navigator = Open();
        CWindowDocument* second = Current(kPaletteOttawa, 4);
        EXPECT_EQ(navigator->GetNavigatorView()->GetMapView(), second->GetMapView());
        EXPECT_EQ(GetControl32BitValue(Slider()), 4);
        SetControl32BitValue(Slider(), 7);
        Run();
        EXPECT_EQ(second->GetMapView()->GetMapZoom(), 7u);
        EXPECT_EQ(first->GetMapView()->GetMapZoom(), 8u) << "the first document is bound no more";
        Show(first, kPaletteGoteborg, 12);
        Run();
        EXPECT_EQ(GetControl32BitValue(Slider()), 7);

        // A closed document lets go of the palette before its map goes.
        delete second;
        mApp->SetCurrentDocument(nullptr);
        EXPECT_EQ(navigator->GetNavigatorView()->GetMapView(), nullptr);
        EXPECT_EQ(navigator->GetDocument(), nullptr);
        mApp->SetCurrentDocument(first);
        EXPECT_EQ(GetControl32BitValue(Slider()), 12);
    }

    TEST_F(NavigatorWindow, TheMenuCommandShowsAndHidesTheSameWindowWhichReopensWhereItWas)
    {
        CWindowNavigator* navigator = Open();
        WindowRef window = Palette();
        EXPECT_EQ(MenuMark('navi'), checkMark);
        EXPECT_TRUE(Prefs().GetBoolean(CWindowNavigator::kPrefVisible, false));
        MoveWindow(window, 300, 420, false);
        Run();
        EXPECT_EQ(Command('navi'), noErr);
        Run();
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_EQ(MenuMark('navi'), noMark);
        EXPECT_FALSE(Prefs().GetBoolean(CWindowNavigator::kPrefVisible, true));
        EXPECT_EQ(Command('navi'), noErr);
        Run();
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(CWindowNavigator::GetInstance(), navigator) << "hidden, never destroyed";

        // The next start shows it where it was, as it was visible at the end.
        CWindowNavigator::ResetForTesting();
        mApp->ShowPalettes();
        Run();
        ASSERT_NE(CWindowNavigator::GetInstance(), nullptr);
        EXPECT_TRUE(IsWindowVisible(Palette()));
        Rect bounds {};
        GetWindowBounds(Palette(), kWindowContentRgn, &bounds);
        EXPECT_EQ(bounds.left, 300);
        EXPECT_EQ(bounds.top, 420);
    }

} // namespace
} // namespace tw::test
