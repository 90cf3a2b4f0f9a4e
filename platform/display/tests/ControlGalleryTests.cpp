#include "ControlTest.h"
#include "toolbox/MenuCalls.h"

#include <cstdlib>

namespace tw::test {

namespace {

    using Gallery = ControlTest;

    Rect Box(SInt16 left, SInt16 top, SInt16 width, SInt16 height)
    {
        return { top, left, static_cast<SInt16>(top + height), static_cast<SInt16>(left + width) };
    }

    // One of each standard control, in the states worth seeing.
    void Populate(WindowRef window, MenuRef menu)
    {
        ControlRef c = nullptr;
        Rect r = Box(0, 0, 460, 26);
        CreateWindowHeaderControl(window, &r, false, &c);
        r = Box(16, 36, 90, 30);
        CreatePushButtonControl(window, &r, CFSTR("Cancel"), &c);
        r = Box(112, 36, 90, 30);
        CreatePushButtonControl(window, &r, CFSTR("OK"), &c);
        SetWindowDefaultButton(window, c);
        r = Box(208, 36, 90, 30);
        CreatePushButtonControl(window, &r, CFSTR("Disabled"), &c);
        DisableControl(c);
        r = Box(304, 38, 60, 26);
        CreateBevelButtonControl(window, &r, CFSTR("Bevel"), 0, 0, nullptr, 0, 0, 0, &c);
        r = Box(16, 76, 140, 20);
        CreateCheckBoxControl(window, &r, CFSTR("Checked"), 1, true, &c);
        r = Box(160, 76, 140, 20);
        CreateCheckBoxControl(window, &r, CFSTR("Mixed"), 2, true, &c);
        r = Box(300, 76, 140, 20);
        CreateCheckBoxControl(window, &r, CFSTR("Off"), 0, true, &c);
        ControlRef group = nullptr;
        r = Box(16, 102, 300, 22);
        CreateRadioGroupControl(window, &r, &group);
        for (int i = 0; i < 2; ++i) {
            Rect const rr = Box(static_cast<SInt16>(i * 140), 0, 130, 22);
            CreateRadioButtonControl(nullptr, &rr, i == 0 ? CFSTR("Metric") : CFSTR("Imperial"), 0, true, &c);
            HIViewAddSubview(group, c);
            CFRelease(c);
        }
        SetControl32BitMaximum(group, 2);
        SetControl32BitValue(group, 2);
        r = Box(16, 130, 180, 28);
        CreatePopupButtonControl(window, &r, nullptr, 0, false, 0, 0, 0, &c);
        SetControlPopupMenuHandle(c, menu);
        SetControl32BitValue(c, 2);
        r = Box(210, 130, 230, 30);
        CreateSliderControl(window, &r, 30, 0, 100, 0, 11, true, nullptr, &c);
        r = Box(16, 168, 200, 22);
        CreateEditUnicodeTextControl(window, &r, CFSTR("Zürich – Île-de-France"), false, nullptr, &c);
        SetKeyboardFocus(window, c, kControlFocusNextPart);
        r = Box(230, 168, 210, 22);
        CreateStaticTextControl(window, &r, CFSTR("Static text, DejaVu Sans"), nullptr, &c);
        r = Box(16, 200, 200, 16);
        CreateProgressBarControl(window, &r, 60, 0, 100, false, &c);
        r = Box(230, 200, 180, 16);
        CreateProgressBarControl(window, &r, 0, 0, 100, true, &c);
        r = Box(420, 196, 22, 22);
        CreateChasingArrowsControl(window, &r, &c);
        r = Box(16, 226, 200, 80);
        CreateGroupBoxControl(window, &r, CFSTR("Group"), true, &c);
        HIRect const frame = CGRectMake(230, 230, 210, 26);
        HIViewRef segmented = nullptr;
        HISegmentedViewCreate(&frame, &segmented);
        HISegmentedViewSetSegmentCount(segmented, 3);
        HISegmentedViewSetSegmentLabel(segmented, 1, CFSTR("Map"));
        HISegmentedViewSetSegmentLabel(segmented, 2, CFSTR("List"));
        HISegmentedViewSetSegmentLabel(segmented, 3, CFSTR("Both"));
        SetControl32BitValue(segmented, 1);
        ControlRef root = nullptr;
        GetRootControl(window, &root);
        HIViewAddSubview(root, segmented);
        CFRelease(segmented);
    }

} // namespace

// Builds a window with one of each control and writes the screen where
// TW_CONTROL_GALLERY asks (for looking at), checking a few landmarks on the way.
TEST_F(Gallery, OneOfEachControlDrawsInItsPlace)
{
    MenuRef menu = nullptr;
    CreateNewMenu(0, 0, &menu);
    for (char const* item : { "Kilometres", "Miles", "Nautical miles" }) {
        CFStringRef text = cf::CreateString(item);
        AppendMenuItemTextWithCFString(menu, text, 0, 0, nullptr);
        CFRelease(text);
    }
    SetWindowTitleWithCFString(mWindow, CFSTR("Controls"));
    Populate(mWindow, menu);
    ReleaseMenu(menu);
    Run(0.3);
    if (char const* path = std::getenv("TW_CONTROL_GALLERY")) {
        EXPECT_EQ(display::WindowServer::Get().WritePNG(path), noErr);
    }

    PixelProbe const screen = ProbeScreen();
    Rect content {};
    GetWindowBounds(mWindow, kWindowContentRgn, &content);
    auto const at = [&](int x, int y) { return screen.At(content.left + x, content.top + y); };
    // The default button is filled with the accent colour, the plain one is near white.
    EXPECT_TRUE(IsColour(at(122, 51), 56, 120, 214, 255, 12));
    EXPECT_GT(at(22, 51).r, 240);
    // The checked box is accent, the unchecked one white.
    EXPECT_LT(at(20, 80).r, 100);
    EXPECT_GT(at(304, 86).r, 240);
    // The determinate bar is filled to 60 %: accent at 50 %, grey at 80 %.
    EXPECT_TRUE(IsColour(at(16 + 100, 208), 56, 120, 214, 255, 12));
    EXPECT_FALSE(IsColour(at(16 + 170, 208), 56, 120, 214, 255, 40));
}

} // namespace tw::test
