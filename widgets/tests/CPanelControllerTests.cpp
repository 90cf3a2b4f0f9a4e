#include "WidgetTest.h"
#include "widgets/CPanelController.h"

namespace tw::test {
namespace {

    class CountingPanels : public CPanelController {
    public:
        using CPanelController::CPanelController;
        void PanelChanged(CString const& panel) override { mChanges.push_back(panel.GetStdString()); }
        std::vector<std::string> mChanges;
    };

    using PanelController = WidgetTest;

    TEST_F(PanelController, SettingTheSamePanelTwiceReloadsItAndDisposesTheOldViews)
    {
        CHIView* host = AddView("com.apple.HIUserPane", CGRectMake(0, 0, 300, 100));
        CountingPanels panels(CString("Tarnwick"));
        panels.SetPanelView(host);
        panels.SetPanel(CString("Test Panel"));
        ASSERT_EQ(host->GetSubHIViewCount(), 2u);
        HIViewRef first = host->GetSubHIView(1)->GetHIViewRef();
        CFRetain(first);
        HIRect frame {};
        HIViewGetFrame(first, &frame);
        EXPECT_TRUE(CGRectEqualToRect(frame, CGRectMake(10, 10, 200, 18))) << "frames kept";
        panels.SetPanel(CString("Test Panel"));
        EXPECT_EQ(host->GetSubHIViewCount(), 2u);
        EXPECT_NE(host->GetSubHIView(1)->GetHIViewRef(), first) << "fresh views from the nib";
        EXPECT_EQ(HIViewGetFrame(first, &frame), paramErr) << "the old panel's views were disposed";
        CFRelease(first);
        EXPECT_EQ(panels.GetPanel(), CString("Test Panel"));
        EXPECT_EQ(panels.mChanges, (std::vector<std::string> { "Test Panel", "Test Panel" }));
    }

    TEST_F(PanelController, AMissingPanelStillEmptiesTheContainerAndTellsOfTheChange)
    {
        CHIView* host = AddView("com.apple.HIUserPane", CGRectMake(0, 0, 300, 100));
        CountingPanels panels(CString("Tarnwick"));
        panels.SetPanelView(host);
        panels.SetPanel(CString("Test Panel"));
        panels.SetPanel(CString("No Such Panel"));
        EXPECT_EQ(host->GetSubHIViewCount(), 0u);
        EXPECT_EQ(panels.mChanges.size(), 2u);
    }

    TEST(CHIViewUtilities, CalculateLayoutAlignsStretchesAndCentres)
    {
        CRect const rect(0, 0, 20, 40); // top, left, bottom, right: 40 x 20
        CRect const container(100, 200, 300, 600);
        CRect r = CHIViewUtilities::CalculateLayout(rect, 2 | 16, container);
        EXPECT_EQ(r.right, 600);
        EXPECT_EQ(r.left, 560);
        EXPECT_EQ(r.bottom, 300);
        EXPECT_EQ(r.top, 280);
        r = CHIViewUtilities::CalculateLayout(rect, 3 | 32, container);
        EXPECT_EQ(r.left, 200);
        EXPECT_EQ(r.right, 600);
        EXPECT_EQ(r.top, 190);
        EXPECT_EQ(r.bottom, 210);
        r = CHIViewUtilities::CalculateLayout(rect, 0, container);
        EXPECT_EQ(r.left, 0) << "no placement leaves the rectangle";
    }

} // namespace
} // namespace tw::test
