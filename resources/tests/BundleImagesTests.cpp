// The interface images of the bundle load the way their views load them, at the size
// those views lay them out, and show what the views rely on.
#include "foundation/CFile.h"
#include "foundation/CFileUtilities.h"
#include "mapdata/CMapManager.h"
#include "render/CCoreGraphicsUtilities.h"
#include "render/CImage.h"
#include "render/CMapGeometry.h"
#include "tests/support/PixelProbe.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <optional>
#include <tuple>
#include <utility>

namespace {

using tw::test::Pixel;
using tw::test::PixelProbe;

CFile Resource(char const* name) { return CFileUtilities::GetBundleResource(name, CString(), CString()); }

// The toolbars' way: a 32-bit image read from the file.
CGImageRef LoadAsToolbarImage(char const* name)
{
    CImage image(0, 0, 32, 1);
    if (image.CreateFromFile(Resource(name)) != noErr)
        return nullptr;
    return image.GetAsCGImageRef(nullptr, false);
}

PixelProbe Probe(CGImageRef image)
{
    cairo_surface_t* s = image->Surface();
    cairo_surface_flush(s);
    return PixelProbe(cairo_image_surface_get_data(s), cairo_image_surface_get_width(s),
        cairo_image_surface_get_height(s), size_t(cairo_image_surface_get_stride(s)));
}

bool IsOpaque(Pixel p) { return p.a == 255; }
bool IsRed(Pixel p) { return p.a > 200 && p.r > 150 && p.g < 120 && p.b < 120; }
bool IsLight(Pixel p) { return p.a > 200 && p.r > 200 && p.g > 200 && p.b > 200; }
bool IsWater(Pixel p) { return p.b > p.r + 20; }
bool IsLand(Pixel p) { return p.r >= p.b; }

} // namespace

TEST(BundleImages, ToolbarIconsLoadAt32PixelsWithClearCornersAndInk)
{
    for (char const* name : { "DocWaypoint.png", "DocRoute.png", "DocHand.png", "DocZoom.png", "DocRuler.png",
             "DocNote.png", "DocRectangle.png", "DocCircle.png", "DocLine.png", "DocInspector.png", "DocDevice.png",
             "DocSynchronise.png", "PrefGeneral.png", "PrefUpdate.png", "PrefDebug.png" }) {
        SCOPED_TRACE(name);
        CGImageRef icon = LoadAsToolbarImage(name);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(CGImageGetWidth(icon), 32u);
        EXPECT_EQ(CGImageGetHeight(icon), 32u);
        // The toolbar's own ground and its selected look show around the picture.
        PixelProbe const pixels = Probe(icon);
        for (auto [x, y] : { std::pair { 0, 0 }, { 31, 0 }, { 0, 31 }, { 31, 31 } })
            EXPECT_TRUE(tw::test::IsClear(pixels.At(x, y))) << x << ", " << y;
        EXPECT_GT(pixels.Count(pixels.Whole(), IsOpaque), 30);
        CGImageRelease(icon);
    }
}

TEST(BundleImages, MapNoteStaysSharpInBothSymbolSquares)
{
    CGImageRef note = CCoreGraphicsUtilities::LoadImage(Resource("MapNote.png"), CGSizeZero);
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(CGImageGetWidth(note), 32u);
    EXPECT_EQ(CGImageGetHeight(note), 32u);
    // Drawn into the 16-pixel square as the map draws it, the note's straight edges still
    // fall on whole pixels: its top outline row is solid but for the rounded corners.
    for (int side : { 32, 16 }) {
        SCOPED_TRACE(side);
        CGContextRef context = CGBitmapContextCreate(nullptr, size_t(side), size_t(side), 8, 0, nullptr,
            kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
        CGContextDrawImage(context, CGRectMake(0, 0, side, side), note);
        PixelProbe const pixels(CGBitmapContextGetData(context), side, side, CGBitmapContextGetBytesPerRow(context));
        std::optional<tw::test::PixelBox> const body = pixels.Bounds(tw::test::IsInk);
        ASSERT_TRUE(body.has_value());
        int const w = body->right - body->left, h = body->bottom - body->top;
        EXPECT_GE(w, side * 2 / 3);
        EXPECT_GE(pixels.Count({ body->left, body->top, body->right, body->top + 1 }, IsOpaque), w - 2);
        EXPECT_GE(pixels.Count({ body->left, body->top, body->left + 1, body->bottom }, IsOpaque), h * 2 / 3);
        CGContextRelease(context);
    }
    CGImageRelease(note);
}

TEST(BundleImages, CompassNeedlePointsUpOverABaseOfTheSameSquare)
{
    CGImageRef base = CCoreGraphicsUtilities::LoadImage(Resource("CompassBase.png"), CGSizeZero);
    CGImageRef needle = CCoreGraphicsUtilities::LoadImage(Resource("CompassNeedle.png"), CGSizeZero);
    ASSERT_NE(base, nullptr);
    ASSERT_NE(needle, nullptr);
    // Both are drawn into the view's bounds and the needle turns about their centre.
    EXPECT_EQ(CGImageGetWidth(base), CGImageGetHeight(base));
    EXPECT_EQ(CGImageGetWidth(needle), CGImageGetWidth(base));
    EXPECT_EQ(CGImageGetHeight(needle), CGImageGetHeight(base));
    PixelProbe const n = Probe(needle);
    int const c = n.Width() / 2, q = n.Width() / 8;
    // Heading 0 is north: the red end above the centre, the light end below, nothing aside.
    EXPECT_TRUE(IsRed(n.At(c, c - q)));
    EXPECT_TRUE(IsLight(n.At(c - 2, c + q)) || IsLight(n.At(c + 2, c + q)));
    EXPECT_TRUE(tw::test::IsClear(n.At(c - q, c)));
    EXPECT_TRUE(tw::test::IsClear(n.At(c + q, c)));
    PixelProbe const b = Probe(base);
    EXPECT_TRUE(tw::test::IsClear(b.At(0, 0)));
    EXPECT_TRUE(IsOpaque(b.At(c, c)));
    CGImageRelease(base);
    CGImageRelease(needle);
}

TEST(BundleImages, LinePicturesShowTheWidthsAndDashesOfTheMap)
{
    for (auto [name, width] :
        { std::pair { "LineWidth1.png", 1 }, { "LineWidth2.png", 2 }, { "LineWidth4.png", 4 }, { "LineWidth8.png", 8 },
            { "LineStyleSolid.png", 2 }, { "LineStyleDot.png", 2 }, { "LineStyleDash.png", 2 } }) {
        SCOPED_TRACE(name);
        CGImageRef picture = CCoreGraphicsUtilities::LoadImage(Resource(name), CGSizeZero);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(CGImageGetWidth(picture), 48u);
        EXPECT_EQ(CGImageGetHeight(picture), 16u);
        PixelProbe const pixels = Probe(picture);
        std::optional<tw::test::PixelBox> const line = pixels.Bounds(IsOpaque);
        ASSERT_TRUE(line.has_value());
        EXPECT_EQ(line->bottom - line->top, width);
        EXPECT_EQ(pixels.Count(*line, [](Pixel p) { return !IsOpaque(p) && !tw::test::IsClear(p); }), 0)
            << "soft edges";
        CGImageRelease(picture);
    }
    // Along the middle of the line: dots of 2 every 4 pixels, dashes of 5 every 10.
    for (auto [name, on, period] : { std::tuple { "LineStyleDot.png", 2, 4 }, { "LineStyleDash.png", 5, 10 } }) {
        SCOPED_TRACE(name);
        CGImageRef picture = CCoreGraphicsUtilities::LoadImage(Resource(name), CGSizeZero);
        ASSERT_NE(picture, nullptr);
        PixelProbe const pixels = Probe(picture);
        std::optional<tw::test::PixelBox> const line = pixels.Bounds(IsOpaque);
        ASSERT_TRUE(line.has_value());
        int const y = line->top;
        for (int x = line->left; x < line->right; ++x)
            EXPECT_EQ(IsOpaque(pixels.At(x, y)), (x - line->left) % period < on) << "x " << x;
        CGImageRelease(picture);
    }
}

TEST(BundleImages, NavigatorWorldIsTheMapImageOfLevelOne)
{
    CGImageRef world = CCoreGraphicsUtilities::LoadImage(Resource("NavMap.png"), CGSizeZero);
    ASSERT_NE(world, nullptr);
    // The navigator lays it over the map view's image, a square at every level.
    EXPECT_EQ(CGImageGetWidth(world), size_t(CMapGeometry::GetImageSide(1)));
    EXPECT_EQ(CGImageGetHeight(world), CGImageGetWidth(world));
    PixelProbe const pixels = Probe(world);
    EXPECT_TRUE(pixels.All(pixels.Whole(), IsOpaque));
    // Places land where the map view's projection puts them.
    CMapManager manager;
    CMapGeometry const geometry(manager);
    struct Place {
        double latitude, longitude;
        bool land;
    };
    for (Place const& place :
        { Place { 0, -30, false }, Place { 35, -40, false }, Place { -40, -120, false }, Place { 0, 22, true },
            Place { 72, -40, true }, Place { -25, 135, true }, Place { -80, 0, true }, Place { 50, 90, true } }) {
        CGPoint const unit = geometry.ProjectUnit(place.latitude, place.longitude);
        Pixel const p = pixels.At(int(unit.x * pixels.Width()), int(unit.y * pixels.Height()));
        EXPECT_EQ(place.land ? IsLand(p) : IsWater(p), true) << place.latitude << ", " << place.longitude;
    }
    CGImageRelease(world);
}
