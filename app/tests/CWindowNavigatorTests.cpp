// The navigator palette: made once from the nib, hidden on close, following the
// current document with its marker and its slider bound both ways to the
// document's zoom, and passing the zoom buttons on to the document's window.
#include "PaletteTest.h"
#include "app/CWindowNavigator.h"
#include "docwindow/CViewNavigator.h"
#include "framework/CMacWindow.h"

namespace tw::test {
namespace {

    class NavigatorWindow : public PaletteTest {
    protected:
        void ResetPalettes() override { CWindowNavigator::ResetForTesting(); }

        CWindowNavigator* Open()
        {
            CWindowNavigator* navigator = CWindowNavigator::GetInstance();
            if (navigator)
                navigator->GetWindow()->ToggleVisibility(true);
            Run();
            return navigator;
        }
        ControlRef Slider() const
        {
            ControlID const id { 'zoom', 0 };
            ControlRef slider = nullptr;
            GetControlByID(CWindowNavigator::GetInstance()->GetWindow()->GetWindowRef(), &id, &slider);
            return slider;
        }
        void Press(OSType button)
        {
            ControlID const id { button, 0 };
            ControlRef control = nullptr;
            ASSERT_EQ(GetControlByID(CWindowNavigator::GetInstance()->GetWindow()->GetWindowRef(), &id, &control),
                noErr);
            HIRect frame {};
            HIViewGetFrame(control, &frame);
            CGPoint middle { CGRectGetMidX(frame), CGRectGetMidY(frame) };
            HIViewConvertPoint(&middle, HIViewGetSuperview(control), nullptr);
            Rect structure {};
            GetWindowBounds(
                CWindowNavigator::GetInstance()->GetWindow()->GetWindowRef(), kWindowStructureRgn, &structure);
            InputDriver::Click({ middle.x + structure.left, middle.y + structure.top });
            Run();
        }
    };

    TEST_F(NavigatorWindow, WithNoDocumentTheButtonsDoNothingAndTheSliderIsBoundToNothing)
    {
        CWindowNavigator* navigator = Open();
        ASSERT_NE(navigator, nullptr);
        ASSERT_NE(navigator->GetNavigatorView(), nullptr) << "the nib's view of our class";
        EXPECT_EQ(navigator->GetNavigatorView()->GetMapView(), nullptr);
        EXPECT_TRUE(IsWindowVisible(navigator->GetWindow()->GetWindowRef()));
        Press('zoin');
        Press('zout');
        SetControl32BitValue(Slider(), 9);
        Run();
        EXPECT_EQ(navigator->GetDocument(), nullptr);
        EXPECT_EQ(GetControl32BitValue(Slider()), 9);
    }

    TEST_F(NavigatorWindow, TheSliderAndTheDocumentsZoomFollowEachOther)
    {
        PaletteDocument* document = NewDocument();
        document->Show(kGoteborg, 6);
        CWindowNavigator* navigator = Open();
        mApp->Activate(document);
        EXPECT_EQ(navigator->GetNavigatorView()->GetMapView(), document->mMap);
        EXPECT_EQ(GetControl32BitValue(Slider()), 6) << "the slider shows the level at once";

        SetControl32BitValue(Slider(), 11);
        Run();
        EXPECT_EQ(document->GetZoomKey(), 11u);
        EXPECT_EQ(document->mMap->GetMapZoom(), 11u) << "the slider zooms the map";

        document->Show(kGoteborg, 3);
        Run();
        EXPECT_EQ(GetControl32BitValue(Slider()), 3) << "the slider follows the map";
    }

    TEST_F(NavigatorWindow, TheZoomButtonsGoToTheDocumentsWindow)
    {
        PaletteDocument* document = NewDocument();
        document->Show(kEurope, 5);
        Open();
        mApp->Activate(document);
        Press('zoin');
        EXPECT_EQ(document->mCommands, std::vector<UInt32> { 'zoin' });
        EXPECT_EQ(document->mMap->GetMapZoom(), 6u);
        EXPECT_EQ(GetControl32BitValue(Slider()), 6);
        Press('zout');
        Press('zout');
        EXPECT_EQ(document->mMap->GetMapZoom(), 4u);
        EXPECT_EQ(GetControl32BitValue(Slider()), 4);
    }

    TEST_F(NavigatorWindow, AnotherCurrentDocumentTakesTheMarkerAndTheSlider)
    {
        PaletteDocument* first = NewDocument();
        PaletteDocument* second = NewDocument();
        first->Show(kGoteborg, 8);
        second->Show(kOttawa, 4);
        CWindowNavigator* navigator = Open();
        mApp->Activate(first);
        mApp->Activate(second);
        EXPECT_EQ(navigator->GetNavigatorView()->GetMapView(), second->mMap);
        EXPECT_EQ(GetControl32BitValue(Slider()), 4);
        SetControl32BitValue(Slider(), 7);
        Run();
        EXPECT_EQ(second->mMap->GetMapZoom(), 7u);
        EXPECT_EQ(first->mMap->GetMapZoom(), 8u) << "the first document is bound no more";
        first->Show(kGoteborg, 12);
        Run();
        EXPECT_EQ(GetControl32BitValue(Slider()), 7);

        mApp->Activate(nullptr);
        EXPECT_EQ(navigator->GetNavigatorView()->GetMapView(), nullptr);
        EXPECT_EQ(navigator->GetDocument(), nullptr);
    }

    TEST_F(NavigatorWindow, ClosingHidesTheSameWindowAndTheMenuAndPreferencesFollow)
    {
        CWindowNavigator* navigator = Open();
        WindowRef window = navigator->GetWindow()->GetWindowRef();
        EXPECT_EQ(MenuMark('navi'), checkMark);
        EXPECT_TRUE(Prefs().GetBoolean(CWindowNavigator::kPrefVisible, false));
        MoveWindow(window, 300, 420, false);
        Run();
        navigator->CommandClose();
        Run();
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_EQ(MenuMark('navi'), noMark);
        EXPECT_FALSE(Prefs().GetBoolean(CWindowNavigator::kPrefVisible, true));
        EXPECT_EQ(Open(), navigator) << "hidden, never destroyed";
        Rect bounds {};
        GetWindowBounds(window, kWindowContentRgn, &bounds);
        EXPECT_EQ(bounds.left, 300);

        // The next start puts it where it was.
        CWindowNavigator::ResetForTesting();
        CWindowNavigator* again = Open();
        GetWindowBounds(again->GetWindow()->GetWindowRef(), kWindowContentRgn, &bounds);
        EXPECT_EQ(bounds.left, 300);
        EXPECT_EQ(bounds.top, 420);
    }

} // namespace
} // namespace tw::test
