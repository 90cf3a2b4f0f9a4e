#include "WidgetTest.h"
#include "framework/CMacWindow.h"
#include "widgets/CIconControl.h"
#include "widgets/ControlClasses.h"

namespace tw::test {
namespace {

    using IconControl = WidgetTest;

    ControlButtonContentInfo ContentOf(CIconControl* control)
    {
        ControlButtonContentInfo info;
        Size actual = 0;
        EXPECT_EQ(
            GetControlData(control->GetControlRef(), 7, kControlIconContentTag, sizeof info, &info, &actual), noErr);
        return info;
    }

    // The test window's icon view names "Tarnwick.png", which the bundle holds.
    TEST_F(IconControl, TakesItsIconFromTheBundleFileTheNibNames)
    {
        InstallControlWindowSupport();
        CMacWindow window(CString("Tarnwick"), CString("Test"));
        auto* icon = CIconControl::Find(&window, 'icon', 0);
        ASSERT_NE(icon, nullptr) << "the icon view's wrapper is a CIconControl";
        ControlButtonContentInfo const info = ContentOf(icon);
        EXPECT_EQ(info.contentType, kControlContentIconRef);
        EXPECT_NE(info.u.iconRef, nullptr);
    }

} // namespace
} // namespace tw::test
