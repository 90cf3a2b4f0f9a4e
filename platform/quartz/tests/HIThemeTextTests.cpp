#include "quartz/TextLayout.h"
#include "tests/support/Canvas.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

using tw::test::Canvas;
using tw::test::IsInk;
using tw::test::Pixel;
using tw::test::PixelBox;

namespace {

HIThemeTextInfo Info(ThemeFontID font = kThemeSystemFont,
    HIThemeTextHorizontalFlush h = kHIThemeTextHorizontalFlushLeft,
    HIThemeTextVerticalFlush v = kHIThemeTextVerticalFlushTop)
{
    HIThemeTextInfo info;
    info.fontID = font;
    info.horizontalFlushness = h;
    info.verticalFlushness = v;
    return info;
}

CGSize Measure(char const* text, HIThemeTextInfo info, CGFloat width = 0)
{
    CGSize size;
    CGFloat baseline;
    CFStringRef string = CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8);
    EXPECT_EQ(HIThemeGetTextDimensions(string, width, &info, &size.width, &size.height, &baseline), noErr);
    EXPECT_LT(baseline, 0);
    CFRelease(string);
    return size;
}

PixelBox InkOf(Canvas const& canvas)
{
    auto const box = canvas.Probe().Bounds(IsInk);
    EXPECT_TRUE(box.has_value());
    return box.value_or(PixelBox {});
}

// Row (from the top of the ink) where the ink is widest.
int WidestInkRow(Canvas const& canvas, PixelBox ink)
{
    int best = ink.top, bestCount = -1;
    for (int y = ink.top; y < ink.bottom; ++y) {
        int const count = canvas.Probe().Count({ ink.left, y, ink.right, y + 1 }, IsInk);
        if (count > bestCount) {
            best = y;
            bestCount = count;
        }
    }
    return best - ink.top;
}

} // namespace

TEST(HIThemeText, InkStaysInsideTheBox)
{
    Canvas canvas(200, 60, Canvas::Orientation::Flipped);
    HIRect const box = CGRectMake(20, 10, 160, 40);
    HIThemeTextInfo info = Info();
    EXPECT_EQ(
        HIThemeDrawTextBox(CFSTR("Hello, Tarnwick"), &box, &info, canvas.Context(), kHIThemeOrientationNormal), noErr);
    PixelBox const ink = InkOf(canvas);
    EXPECT_GE(ink.left, 20);
    EXPECT_LE(ink.right, 180);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.bottom, 50);
    EXPECT_LT(ink.left, 25);
    EXPECT_LT(ink.top, 16); // flush top
    EXPECT_FALSE(info.truncationHappened);
}

TEST(HIThemeText, FlushnessPlacesTheText)
{
    HIRect const box = CGRectMake(0, 0, 200, 60);
    PixelBox ink[3];
    HIThemeTextHorizontalFlush const flushes[]
        = { kHIThemeTextHorizontalFlushLeft, kHIThemeTextHorizontalFlushCenter, kHIThemeTextHorizontalFlushRight };
    for (int i = 0; i < 3; ++i) {
        Canvas canvas(200, 60, Canvas::Orientation::Flipped);
        HIThemeTextInfo info = Info(kThemeSystemFont, flushes[i], kHIThemeTextVerticalFlushBottom);
        HIThemeDrawTextBox(CFSTR("Flush"), &box, &info, canvas.Context(), kHIThemeOrientationNormal);
        ink[i] = InkOf(canvas);
        EXPECT_GT(ink[i].bottom, 50); // flush bottom
    }
    EXPECT_LT(ink[0].left, 3);
    EXPECT_NEAR((ink[1].left + ink[1].right) / 2.0, 100, 3);
    EXPECT_GT(ink[2].right, 196);
    EXPECT_GT(ink[2].left, 150);
}

TEST(HIThemeText, TextIsUprightInFlippedAndYUpContexts)
{
    // A "T" is widest at its top, on screen, whichever way the context's y runs; flush top keeps it near the
    // box's visual top.
    for (auto orientation : { Canvas::Orientation::Flipped, Canvas::Orientation::YUp }) {
        Canvas canvas(100, 100, orientation);
        HIRect const box = CGRectMake(10, 10, 80, 80);
        HIThemeTextInfo info = Info(kThemeEmphasizedSystemFont);
        HIThemeDrawTextBox(CFSTR("T"), &box, &info, canvas.Context(), kHIThemeOrientationNormal);
        PixelBox const ink = InkOf(canvas);
        EXPECT_LE(WidestInkRow(canvas, ink), 2);
        EXPECT_LT(ink.top, 20);
    }
}

TEST(HIThemeText, DrawsInTheFillColourOrStrokesInTheStrokeColour)
{
    auto const strongest = [](Canvas const& canvas) {
        Pixel best;
        auto const probe = canvas.Probe();
        probe.Count(probe.Whole(), [&](Pixel p) {
            if (p.a > best.a)
                best = p;
            return false;
        });
        return best;
    };
    HIRect const box = CGRectMake(0, 0, 120, 40);
    Canvas filled(120, 40, Canvas::Orientation::Flipped), stroked(120, 40, Canvas::Orientation::Flipped);
    CGContextSetRGBFillColor(filled.Context(), 1, 0, 0, 1);
    HIThemeTextInfo info = Info();
    HIThemeDrawTextBox(CFSTR("Colour"), &box, &info, filled.Context(), kHIThemeOrientationNormal);
    CGContextSetRGBFillColor(stroked.Context(), 1, 0, 0, 1);
    CGContextSetRGBStrokeColor(stroked.Context(), 0, 0, 1, 1);
    CGContextSetLineWidth(stroked.Context(), 3.75);
    CGContextSetTextDrawingMode(stroked.Context(), kCGTextStroke);
    HIThemeDrawTextBox(CFSTR("Colour"), &box, &info, stroked.Context(), kHIThemeOrientationNormal);
    Pixel const red = strongest(filled), blue = strongest(stroked);
    EXPECT_GT(red.r, 200);
    EXPECT_EQ(red.b, 0);
    EXPECT_GT(blue.b, 200);
    EXPECT_EQ(blue.r, 0);
    // The outline is wider than the filled glyphs.
    EXPECT_GT(stroked.Probe().Count(stroked.Probe().Whole(), IsInk),
        filled.Probe().Count(filled.Probe().Whole(), IsInk) * 3 / 2);
}

// The shadow is worked out around the glyphs only, not over the whole context: every glyph
// and all of its shadow must still come out, filled or outlined, whichever way y runs. With
// no blur the shadow is the text's coverage without a shadow, moved by the offset.
TEST(HIThemeText, AShadowedTextCastsAllOfItsShadowInALargeContext)
{
    CGFloat const black[] = { 0, 0, 0, 1 };
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGColorRef shadow = CGColorCreate(space, black);
    auto const draw = [](Canvas& canvas, CGTextDrawingMode mode) {
        CGContextRef c = canvas.Context();
        CGContextSetRGBFillColor(c, 1, 0, 0, 1);
        CGContextSetRGBStrokeColor(c, 1, 0, 0, 1);
        CGContextSetLineWidth(c, 12);
        CGContextSetTextDrawingMode(c, mode);
        HIRect const box = CGRectMake(20, 40, 160, 80);
        HIThemeTextInfo info = Info(kThemeEmphasizedSystemFont);
        HIThemeDrawTextBox(CFSTR("Wjg|Qy"), &box, &info, c, kHIThemeOrientationNormal);
    };
    for (auto orientation : { Canvas::Orientation::Flipped, Canvas::Orientation::YUp }) {
        for (CGTextDrawingMode mode : { kCGTextFill, kCGTextStroke }) {
            Canvas plain(400, 160, orientation), shadowed(400, 160, orientation);
            draw(plain, mode);
            CGContextSetShadowWithColor(shadowed.Context(), CGSizeMake(200, 0), 0, shadow);
            draw(shadowed, mode);
            int ink = 0, differ = 0;
            for (int y = 0; y < 160; ++y) {
                for (int x = 0; x < 200; ++x) {
                    int const glyph = plain.At(x, y).a;
                    ink += glyph > 0;
                    differ += std::abs(shadowed.At(x, y).a - glyph) > 1;
                    differ += std::abs(shadowed.At(x + 200, y).a - glyph) > 1;
                }
            }
            EXPECT_GT(ink, 100);
            EXPECT_EQ(differ, 0) << (mode == kCGTextFill ? "filled" : "outlined");
        }
    }
    CGColorRelease(shadow);
    CGColorSpaceRelease(space);
}

TEST(HIThemeText, MeasuresWidthWrappingAndFonts)
{
    HIThemeTextInfo const info = Info();
    CGSize const shortText = Measure("Hello", info);
    CGSize const longText = Measure("Hello, wide world", info);
    EXPECT_GT(longText.width, shortText.width);
    EXPECT_DOUBLE_EQ(longText.height, shortText.height);
    CGSize const wrapped = Measure("Hello, wide world", info, 50);
    EXPECT_GT(wrapped.height, 2 * longText.height - 2);
    EXPECT_LE(wrapped.width, 51);
    // Text laid out at exactly its measured width stays on one line.
    EXPECT_DOUBLE_EQ(Measure("Hello, wide world", info, longText.width).height, longText.height);
    EXPECT_LT(Measure("Hello", Info(kThemeMiniSystemFont)).height, shortText.height);
    EXPECT_LT(Measure("Hello", Info(kThemeSmallSystemFont)).height, 20);
    EXPECT_GT(Measure("Hello", Info(kThemeEmphasizedSystemFont)).width, shortText.width);
}

TEST(HIThemeText, TruncationShortensToTheLinesAllowedAndSaysSo)
{
    HIThemeTextInfo info = Info();
    info.truncationPosition = kHIThemeTextTruncationEnd;
    info.truncationMaxLines = 1;
    CGFloat width = 0, height = 0;
    HIThemeGetTextDimensions(CFSTR("A rather long title for a narrow place"), 80, &info, &width, &height, nullptr);
    EXPECT_TRUE(info.truncationHappened);
    EXPECT_LE(width, 81);
    EXPECT_DOUBLE_EQ(height, Measure("A", Info()).height);

    Canvas canvas(300, 40, Canvas::Orientation::Flipped);
    HIRect const box = CGRectMake(0, 0, 300, 40);
    HIThemeDrawTextBox(CFSTR("Short"), &box, &info, canvas.Context(), kHIThemeOrientationNormal);
    EXPECT_FALSE(info.truncationHappened);
    HIRect const narrow = CGRectMake(0, 0, 60, 40);
    HIThemeDrawTextBox(CFSTR("A rather long title"), &narrow, &info, canvas.Context(), kHIThemeOrientationNormal);
    EXPECT_TRUE(info.truncationHappened);
}

TEST(HIThemeText, NullArgumentsAreRefused)
{
    Canvas canvas(10, 10);
    HIThemeTextInfo info = Info();
    HIRect const box = CGRectMake(0, 0, 10, 10);
    EXPECT_EQ(HIThemeDrawTextBox(nullptr, &box, &info, canvas.Context(), 0), paramErr);
    EXPECT_EQ(HIThemeDrawTextBox(CFSTR("x"), nullptr, &info, canvas.Context(), 0), paramErr);
    EXPECT_EQ(HIThemeDrawTextBox(CFSTR("x"), &box, &info, nullptr, 0), paramErr);
    EXPECT_EQ(HIThemeGetTextDimensions(nullptr, 0, &info, nullptr, nullptr, nullptr), paramErr);
}

// Cairo shares its fonts between threads and its font caches are not safe to share: text is
// measured and drawn by one thread at a time, whichever thread asks.
TEST(HIThemeText, TextIsSetByOneThreadAtATime)
{
    std::atomic<int> done { 0 };
    std::vector<std::thread> threads;
    {
        auto const held = tw::quartz::TextLayout::LockFonts(); // as another thread setting text would
        threads.emplace_back([&] {
            Measure("Kraków", Info());
            ++done;
        });
        threads.emplace_back([&] {
            Canvas canvas(160, 30, Canvas::Orientation::Flipped);
            HIRect const box = CGRectMake(0, 0, 160, 30);
            HIThemeTextInfo info = Info();
            HIThemeDrawTextBox(CFSTR("Göteborg"), &box, &info, canvas.Context(), kHIThemeOrientationNormal);
            done += canvas.Probe().Count({ 0, 0, 160, 30 }, IsInk) > 0 ? 1 : 100;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(200)); // time enough to finish both
        EXPECT_EQ(done.load(), 0) << "text was set while another thread held the fonts";
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(done.load(), 2) << "both finished, the drawing with ink, once the fonts were free";
}
