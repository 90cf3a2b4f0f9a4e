#include "WidgetTest.h"
#include "framework/CMacWindow.h"
#include "widgets/ControlClasses.h"

namespace tw::test {
namespace {

    using RootControl = WidgetTest;

    // The window's own layout already resizes its content view; the root control's
    // answers (window content bounds, and setting them only invalidates) keep the
    // resize from being applied a second time.
    TEST_F(RootControl, AResizedWindowKeepsItsContentViewTheSizeOfItsContent)
    {
        InstallControlWindowSupport();
        CMacWindow window(kDocumentWindowClass, kWindowStandardHandlerAttribute, CRect(0, 0, 364, 399), 49);
        ASSERT_NE(window.GetWindowRef(), nullptr);
        window.SetWindowBounds(CRect(100, 100, 372, 499), kWindowContentRgn, 0);
        ControlRef content = nullptr;
        GetRootControl(window.GetWindowRef(), &content);
        HIRect frame {};
        HIViewGetFrame(content, &frame);
        EXPECT_EQ(frame.size.height, 272);
        EXPECT_EQ(frame.size.width, 399);
    }

} // namespace
} // namespace tw::test
