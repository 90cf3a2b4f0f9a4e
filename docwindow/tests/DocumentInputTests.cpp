#include "DocumentTest.h"
#include "docwindow/CViewMap.h"
#include "tests/support/InputDriver.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/NibCalls.h"
#include "widgets/CHISegmentedView.h"
#include "widgets/CHistoryButton.h"

// The document window as a user drives it: clicks on its buttons and the list
// selector, and the menu keys of the document's commands, through the input funnel.

namespace tw::test {
namespace {

    class DocumentInput : public DocumentTest {
    protected:
        void SetUp() override
        {
            DocumentTest::SetUp();
            StartApp();
            mDocument = NewDocument();
            ASSERT_NE(mDocument, nullptr);
            ManualClock::RunFor(0.1);
        }
        // The global point at the middle of a view of the window.
        CGPoint Middle(OSType signature)
        {
            HIViewRef view = nullptr;
            HIViewID const id { signature, 0 };
            HIViewFindByID(HIViewGetRoot(mDocument->GetWindow()->GetWindowRef()), id, &view);
            EXPECT_NE(view, nullptr) << signature;
            HIRect bounds {};
            HIViewGetBounds(view, &bounds);
            CGPoint p { CGRectGetMidX(bounds), CGRectGetMidY(bounds) };
            HIViewConvertPoint(&p, view, nullptr);
            Rect structure {};
            GetWindowBounds(mDocument->GetWindow()->GetWindowRef(), kWindowStructureRgn, &structure);
            return { p.x + structure.left, p.y + structure.top };
        }
        void Key(UInt32 keyCode, char character)
        {
            InputDriver::Key(keyCode, UInt32(character), cmdKey);
            ManualClock::RunFor(0.1);
        }
        unsigned long Level() const { return mDocument->GetMapView()->GetMapZoom(); }

        CWindowDocument* mDocument = nullptr;
    };

    TEST_F(DocumentInput, TheHistoryButtonsAndKeysMoveThroughTheShownRegions)
    {
        mDocument->ShowRegion(CCoordinateRect(CCoordinate(60, -10), CCoordinate(35, 30)), true);
        unsigned long const europe = Level();
        mDocument->ShowRegion(CCoordinateRect(CCoordinate(57.75, 11.9), CCoordinate(57.65, 12.05)), true);
        unsigned long const city = Level();
        ASSERT_GT(city, europe);

        InputDriver::Click(Middle('hbak'));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(Level(), europe);
        EXPECT_TRUE(mDocument->CanGoForward());
        Key(30, ']'); // Forward
        EXPECT_EQ(Level(), city);
        Key(33, '['); // Back
        EXPECT_EQ(Level(), europe);
        Key(33, '['); // at the start: nothing
        EXPECT_EQ(Level(), europe);
    }

    TEST_F(DocumentInput, TheListSelectorAndItsKeysChooseTheList)
    {
        CHISegmentedView* selector = mDocument->GetListSelector();
        ASSERT_NE(selector, nullptr);
        EXPECT_EQ(selector->GetCurrentValue(), 1) << "the waypoints first";
        Key(19, '2');
        EXPECT_EQ(selector->GetCurrentValue(), 2);
        Key(20, '3');
        EXPECT_EQ(selector->GetCurrentValue(), 3);

        // A click on the first segment.
        HIViewRef view = selector->GetHIViewRef();
        HIRect bounds {};
        HIViewGetBounds(view, &bounds);
        CGPoint p { bounds.size.width / 6, bounds.size.height / 2 };
        HIViewConvertPoint(&p, view, nullptr);
        Rect structure {};
        GetWindowBounds(mDocument->GetWindow()->GetWindowRef(), kWindowStructureRgn, &structure);
        InputDriver::Click({ p.x + structure.left, p.y + structure.top });
        ManualClock::RunFor(0.1);
        EXPECT_EQ(selector->GetCurrentValue(), 1);
    }

    TEST_F(DocumentInput, MenuKeysZoomAndAreRefusedWhileASheetIsOpen)
    {
        unsigned long const start = Level();
        Key(24, '='); // Zoom In
        EXPECT_EQ(Level(), start + 1);
        Key(27, '-'); // Zoom Out
        EXPECT_EQ(Level(), start);

        mDocument->ShowRegion(CCoordinateRect(CCoordinate(60, -10), CCoordinate(35, 30)), true);
        mDocument->ShowRegion(CCoordinateRect(CCoordinate(57.75, 11.9), CCoordinate(57.65, 12.05)), true);
        unsigned long const city = Level();
        mDocument->DisplayAlert("A sheet", CString());
        Key(33, '['); // Back: disabled while the sheet is open
        EXPECT_EQ(Level(), city);
        EXPECT_EQ(mDocument->GetSheet(), CWindowDocument::kSheetAlert);
    }

} // namespace
} // namespace tw::test
