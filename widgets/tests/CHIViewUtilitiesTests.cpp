#include "WidgetTest.h"
#include "widgets/CHIScrollView.h"
#include "widgets/CScrollableView.h"

namespace tw::test {
namespace {

    using HIViewUtilities = WidgetTest;

    TEST_F(HIViewUtilities, AViewEmbeddedInAScrollViewKeepsItsPlaceAndFrame)
    {
        CGRect const frame = CGRectMake(20, 30, 200, 150);
        CHIView* view = AddView(CScrollableView::kClassID, frame);
        HILayoutInfo layout {};
        layout.binding.right.kind = kHILayoutBindMax;
        HIViewSetLayoutInfo(view->GetHIViewRef(), &layout);

        ASSERT_EQ(CHIViewUtilities::EmbedInScrollView(view, 0), noErr);
        HIViewRef const scroll = HIViewGetSuperview(view->GetHIViewRef());
        ASSERT_NE(scroll, nullptr);
        EXPECT_EQ(HIViewGetSuperview(scroll), mContent) << "the scroll view stands where the view stood";
        EXPECT_NE(dynamic_cast<CHIScrollView*>(CHIViewUtilities::GetCHIView(scroll, true)), nullptr);
        HIRect scrollFrame {};
        HIViewGetFrame(scroll, &scrollFrame);
        EXPECT_TRUE(CGRectEqualToRect(scrollFrame, frame));
        HILayoutInfo scrollLayout {};
        HIViewGetLayoutInfo(scroll, &scrollLayout);
        EXPECT_EQ(scrollLayout.binding.right.kind, kHILayoutBindMax);
        EXPECT_TRUE(HIViewIsVisible(scroll));
    }

} // namespace
} // namespace tw::test
