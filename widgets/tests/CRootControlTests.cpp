#include "WidgetTest.h"
#include "framework/CMacWindow.h"
#include "tests/support/ScreenProbe.h"
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

    // In a window that does not composite the root control erases its content, and the
    // erase keeps the window's outline along the content's edges.
    TEST_F(RootControl, ItsEraseKeepsTheWindowsOutline)
    {
        InstallControlWindowSupport();
        CMacWindow window(kDocumentWindowClass, kWindowStandardHandlerAttribute, CRect(100, 100, 300, 400), 49);
        window.SetVisible(true);
        ManualClock::RunFor(0.5);
        PixelProbe const probe = ProbeWindow(window.GetWindowRef());
        Rect structure {};
        GetWindowBounds(window.GetWindowRef(), kWindowStructureRgn, &structure);
        int const right = structure.right - structure.left - 1;
        int const middle = (structure.bottom - structure.top) / 2;
        Pixel const edge = probe.At(right, middle);
        Pixel const inside = probe.At(right - 10, middle);
        EXPECT_LT(edge.r + 40, inside.r) << "the outline is darker than the background";
    }

} // namespace
} // namespace tw::test
