#include "tests/support/Canvas.h"

#include <gtest/gtest.h>

using tw::test::Canvas;
using tw::test::IsClear;
using tw::test::IsInk;

TEST(HIThemeDraw, BrushesSetTheFillAndStrokeColours)
{
    Canvas canvas(10, 10);
    CGContextRef c = canvas.Context();
    EXPECT_EQ(HIThemeSetFill(kThemeBrushMovableModalBackground, nullptr, c, kHIThemeOrientationNormal), noErr);
    CGContextFillRect(c, CGRectMake(0, 0, 10, 10));
    tw::test::Pixel const p = canvas.At(5, 5);
    EXPECT_EQ(p.a, 255);
    EXPECT_GT(p.r, 200);
    EXPECT_EQ(HIThemeSetStroke(kThemeBrushDragHilite, nullptr, c, kHIThemeOrientationNormal), noErr);
    EXPECT_EQ(HIThemeSetFill(12345, nullptr, c, kHIThemeOrientationNormal), paramErr);
    EXPECT_EQ(HIThemeSetFill(kThemeBrushDragHilite, nullptr, nullptr, kHIThemeOrientationNormal), paramErr);
}

TEST(HIThemeDraw, FramesStayInsideAndFocusRingsOutside)
{
    Canvas canvas(60, 60, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    HIRect const rect = CGRectMake(20, 20, 20, 20);
    HIThemeFrameDrawInfo frame;
    EXPECT_EQ(HIThemeDrawFrame(&rect, &frame, c, kHIThemeOrientationNormal), noErr);
    auto probe = canvas.Probe();
    EXPECT_TRUE(probe.All({ 20, 20, 40, 21 }, IsInk));
    EXPECT_TRUE(probe.All({ 21, 21, 39, 39 }, IsClear));
    EXPECT_EQ(probe.Count(probe.Whole(), IsInk), 76);
    EXPECT_EQ(HIThemeDrawFocusRect(&rect, false, c, kHIThemeOrientationNormal), noErr);
    EXPECT_EQ(canvas.Probe().Count(probe.Whole(), IsInk), 76);
    EXPECT_EQ(HIThemeDrawFocusRect(&rect, true, c, kHIThemeOrientationNormal), noErr);
    probe = canvas.Probe();
    EXPECT_TRUE(probe.All({ 17, 17, 43, 18 }, IsInk));
    EXPECT_TRUE(probe.All({ 21, 21, 39, 39 }, IsClear));
    EXPECT_TRUE(IsClear(canvas.At(16, 30)));
}

TEST(HIThemeDraw, SeparatorsRunAlongTheLongerSide)
{
    Canvas canvas(40, 40, Canvas::Orientation::Flipped);
    HIThemeSeparatorDrawInfo info;
    HIRect const across = CGRectMake(0, 10, 40, 3);
    HIRect const down = CGRectMake(30, 0, 2, 40);
    HIThemeDrawSeparator(&across, &info, canvas.Context(), kHIThemeOrientationNormal);
    HIThemeDrawSeparator(&down, &info, canvas.Context(), kHIThemeOrientationNormal);
    auto const probe = canvas.Probe();
    EXPECT_TRUE(probe.All({ 0, 11, 40, 12 }, IsInk));
    EXPECT_TRUE(probe.All({ 31, 0, 32, 40 }, IsInk));
    EXPECT_EQ(probe.Count(probe.Whole(), IsInk), 79);
}

TEST(HIThemeDraw, WindowHeaderHasItsLineAtTheVisualBottom)
{
    for (auto orientation : { Canvas::Orientation::Flipped, Canvas::Orientation::YUp }) {
        Canvas canvas(20, 20, orientation);
        HIThemeBackgroundDrawInfo info;
        info.kind = kThemeBackgroundWindowHeader;
        HIRect const rect = CGRectMake(0, 5, 20, 10);
        HIThemeDrawBackground(&rect, &info, canvas.Context(), kHIThemeOrientationNormal);
        // The rect covers screen rows 5 to 14 either way, being centred in the canvas.
        EXPECT_LT(canvas.At(10, 14).r, canvas.At(10, 6).r);
        EXPECT_TRUE(IsClear(canvas.At(10, 2)));
    }
}
