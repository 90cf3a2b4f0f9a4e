#include "tests/support/Canvas.h"

#include <gtest/gtest.h>

using tw::test::Canvas;
using tw::test::IsClear;

namespace {

// Black to white, opaque.
void Ramp(void*, CGFloat const* in, CGFloat* out)
{
    out[0] = out[1] = out[2] = in[0];
    out[3] = 1;
}

int released = 0;
void CountRelease(void*) { ++released; }

CGShadingRef CreateRamp(CGPoint start, CGPoint end, bool extendStart, bool extendEnd)
{
    CGFunctionCallbacks const callbacks { 0, Ramp, CountRelease };
    CGFloat const domain[] = { 0, 1 };
    CGFloat const range[] = { 0, 1, 0, 1, 0, 1, 0, 1 };
    CGFunctionRef function = CGFunctionCreate(nullptr, 1, domain, 4, range, &callbacks);
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGShadingRef shading = CGShadingCreateAxial(space, start, end, function, extendStart, extendEnd);
    CGFunctionRelease(function);
    CGColorSpaceRelease(space);
    return shading;
}

} // namespace

TEST(CGShading, AxialShadingFillsTheBandAcrossTheClip)
{
    released = 0;
    Canvas canvas(100, 20, Canvas::Orientation::Flipped);
    CGShadingRef shading = CreateRamp({ 20, 0 }, { 80, 0 }, false, false);
    ASSERT_NE(shading, nullptr);
    CGContextDrawShading(canvas.Context(), shading);
    EXPECT_TRUE(IsClear(canvas.At(10, 10)));
    EXPECT_TRUE(IsClear(canvas.At(90, 10)));
    EXPECT_EQ(canvas.At(22, 0).a, 255);
    EXPECT_EQ(canvas.At(22, 19).a, 255);
    EXPECT_LT(canvas.At(25, 10).r, 40);
    EXPECT_GT(canvas.At(75, 10).r, 215);
    EXPECT_NEAR(canvas.At(50, 10).r, 128, 8);
    CGShadingRelease(shading);
    EXPECT_EQ(released, 1);
}

TEST(CGShading, ExtendedEndsPaintBeyondTheAxis)
{
    Canvas canvas(100, 20, Canvas::Orientation::Flipped);
    CGShadingRef shading = CreateRamp({ 20, 0 }, { 80, 0 }, false, true);
    CGContextDrawShading(canvas.Context(), shading);
    EXPECT_TRUE(IsClear(canvas.At(10, 10)));
    EXPECT_EQ(canvas.At(95, 10).r, 255);
    CGShadingRelease(shading);
}

TEST(CGShading, UnusableFunctionsAreRefused)
{
    CGFunctionCallbacks const noEvaluate { 0, nullptr, nullptr };
    CGFunctionCallbacks const callbacks { 0, Ramp, nullptr };
    EXPECT_EQ(CGFunctionCreate(nullptr, 1, nullptr, 4, nullptr, &noEvaluate), nullptr);
    EXPECT_EQ(CGFunctionCreate(nullptr, 2, nullptr, 4, nullptr, &callbacks), nullptr);
    CGFunctionRef narrow = CGFunctionCreate(nullptr, 1, nullptr, 2, nullptr, &callbacks);
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    EXPECT_EQ(CGShadingCreateAxial(space, {}, { 1, 0 }, narrow, false, false), nullptr);
    CGColorSpaceRelease(space);
    CGFunctionRelease(narrow);
}
