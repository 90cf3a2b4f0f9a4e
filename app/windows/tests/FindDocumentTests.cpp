#include "app/windows/CWindowFind.h"
#include "app/windows/IFindDocument.h"
#include "docwindow/CViewMap.h"
#include "docwindow/tests/DocumentTest.h"
#include "model/CMapWaypoint.h"
#include "tests/support/InputDriver.h"
#include "widgets/CChasingArrows.h"
#include "widgets/CDataBrowser.h"

#include <chrono>

namespace tw::test {
namespace {

    // The find window over a real document window of the running application.
    class FindInDocument : public DocumentTest {
    protected:
        void TearDown() override
        {
            CWindowFind::ResetForTesting();
            DocumentTest::TearDown();
        }
        // The loop on the manual clock while the worker runs on real time.
        template <typename Condition> static bool Until(Condition condition)
        {
            auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!condition() && std::chrono::steady_clock::now() < deadline)
                ManualClock::RunFor(0.03);
            return condition();
        }
    };

    TEST_F(FindInDocument, TheMapCentreIsSearchedAndAddMakesOneWaypointOfTheDocument)
    {
        StartApp();
        CWindowDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        ASSERT_NE(document->GetMapView(), nullptr);
        document->GetMapView()->SetMapZoom(CHIView::kZoomFactor, nullptr, 10);
        document->GetMapView()->SetMapCentre(CCoordinate(57.7089, 11.9746));
        CCoordinate const centre = document->GetMapView()->GetMapCentre();
        std::size_t const before = document->GetObjects().size();

        CWindowFind* find = CWindowFind::GetInstance();
        ASSERT_NE(find, nullptr);
        CFindDocument target(*document);
        find->BeginFind(&target);
        EXPECT_NEAR(find->GetQuery().centre.GetLatitude(), centre.GetLatitude(), 1e-9);
        CChasingArrows* arrows = CChasingArrows::Find(find, 'tpro', 0);
        ASSERT_TRUE(Until([&] { return !arrows->IsVisible(); }));
        ASSERT_FALSE(find->GetResults().empty());

        CDataBrowser* list = CDataBrowser::Find(find, 'rslt', 0);
        std::vector<DataBrowserItemID> const first {
            list->FindItems(kDataBrowserItemAnyState, kDataBrowserNoItem, true).front()
        };
        list->SetSelection(&first, kDataBrowserItemsAssign);
        ManualClock::RunFor(0.05);
        ASSERT_EQ(document->GetObjects().size(), before + 1) << "the preview is on the map";
        EXPECT_FALSE(document->IsModified()) << "a temporary object changes nothing of the document";
        CString const name = find->GetSelection()->name;

        InputDriver::Key(36, '\r'); // Return: the default button, "Add"
        ManualClock::RunFor(0.1);
        ASSERT_EQ(document->GetObjects().size(), before + 1) << "one waypoint, the preview gone";
        auto* waypoint = dynamic_cast<CMapWaypoint*>(document->GetObjects().back());
        ASSERT_NE(waypoint, nullptr);
        EXPECT_EQ(waypoint->GetName(), name);
        EXPECT_EQ(waypoint->GetAttributes() & kMapObjectAttrTemporary, 0u);
        EXPECT_TRUE(document->IsModified());
        EXPECT_EQ(find->GetDocument(), nullptr);
    }

} // namespace
} // namespace tw::test
