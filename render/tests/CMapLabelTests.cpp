#include "render/CMapLabel.h"
#include "render/IMapView.h"
#include "tests/support/PixelProbe.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <thread>
#include <vector>

namespace {

LabelStyle Style(bool upper = false, UInt32 tracking = 0, bool italic = false)
{
    LabelStyle style;
    style.kind = LabelKind::kPoint;
    style.size = { { { 0, 12 }, { 1, 12 }, { 2, 12 }, { 3, 12 } } };
    style.upper = upper;
    style.tracking = tracking;
    style.italic = italic;
    style.colour = { 0, 0, 0, 1 };
    style.halo = { 1, 1, 1, 1 };
    style.haloWidth = 2;
    return style;
}

// Ink of the label's image: how many pixels, and a checksum of them.
std::pair<int, UInt64> Ink(CMapLabel const& label)
{
    CGRect const bounds = label.GetBounds(0);
    size_t const width = size_t(bounds.size.width), height = size_t(bounds.size.height);
    CGContextRef bitmap = CGBitmapContextCreate(
        nullptr, width, height, 8, 0, nullptr, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
    CGContextTranslateCTM(bitmap, 0, CGFloat(height));
    CGContextScaleCTM(bitmap, 1, -1);
    CGContextTranslateCTM(bitmap, -bounds.origin.x, -bounds.origin.y);
    label.Draw(bitmap, 0, false);
    tw::test::PixelProbe const probe(CGBitmapContextGetData(bitmap), int(width), int(height),
        CGBitmapContextGetBytesPerRow(bitmap));
    int ink = 0;
    UInt64 sum = 0;
    for (int y = 0; y < probe.Height(); ++y)
        for (int x = 0; x < probe.Width(); ++x) {
            tw::test::Pixel const p = probe.At(x, y);
            ink += p.a > 0;
            sum = sum * 31 + p.a + p.r * 7 + p.g * 13;
        }
    CGContextRelease(bitmap);
    return { ink, sum };
}

} // namespace

TEST(CMapLabel, CapitalsAndSpacingWidenTheTextAndRotationItsImage)
{
    LabelStyle const plain = Style(), spaced = Style(true, 1), slanted = Style(false, 0, true);
    CMapLabel const a(1, 0, CString("Göteborg"), plain, 12, 0);
    CMapLabel const b(2, 0, CString("Göteborg"), spaced, 12, 0);
    CMapLabel const c(3, 0, CString("Göteborg"), slanted, 12, 0);
    EXPECT_EQ(b.GetText(), CString("G\u200AÖ\u200AT\u200AE\u200AB\u200AO\u200AR\u200AG"));
    EXPECT_GT(a.GetTextSize().width, 40);
    EXPECT_GT(b.GetTextSize().width, a.GetTextSize().width);
    EXPECT_GT(c.GetTextSize().width, a.GetTextSize().width);
    // Larger type, larger text.
    CMapLabel const big(4, 0, CString("Göteborg"), plain, 24, 0);
    EXPECT_NEAR(big.GetTextSize().width, 2 * a.GetTextSize().width, 3);

    CMapLabel upright(5, 0, CString("Kungsgatan"), plain, 12, 0);
    CMapLabel turned(6, 0, CString("Kungsgatan"), plain, 12, float(std::numbers::pi / 4));
    upright.AddPlacement({ { 100, 100 }, {} });
    turned.AddPlacement({ { 100, 100 }, {} });
    ASSERT_EQ(upright.RenderImage(), noErr);
    ASSERT_EQ(turned.RenderImage(), noErr);
    CGRect const flat = upright.GetBounds(0), steep = turned.GetBounds(0);
    EXPECT_GT(steep.size.height, 2 * flat.size.height);
    EXPECT_LT(steep.size.width, flat.size.width);
    // Both centred where the placement says.
    EXPECT_NEAR(CGRectGetMidX(flat), 100, 1);
    EXPECT_NEAR(CGRectGetMidY(steep), 100, 1);
}

TEST(CMapLabel, PlacementTakesTheFirstPlaceWhoseFootprintsAreFree)
{
    class Footprints : public IMapView {
    public:
        std::vector<CGRect> mReserved;
        std::vector<CLayerTile*> GetTilesInRect(CGRect const&, bool) override { return {}; }
        bool AddFootprint(CGRect const& rect, bool reserve) override
        {
            for (CGRect const& r : mReserved)
                if (CGRectIntersectsRect(CGRectInset(r, -0.001, -0.001), rect))
                    return false;
            if (reserve)
                mReserved.push_back(rect);
            return true;
        }
        unsigned long GetMapZoom() const override { return 5; }
        CLayerRenderer* GetRenderer() override { return nullptr; }
        CMapManager* GetMapManager() const override { return nullptr; }
        void InvalidateRect(CGRect const&) override { }
        CGRect GetVisibleImageRect() override { return CGRectNull; }
        bool IsPrinting() const override { return false; }
    } view;
    LabelStyle const style = Style();
    CMapLabel label(1, 0, CString("Borås"), style, 12, 0);
    CGRect const marker = CGRectMake(95, 95, 10, 10);
    label.AddPlacement({ { 140, 100 }, { CGRectMake(110, 92, 60, 16), marker } }); // right
    label.AddPlacement({ { 60, 100 }, { CGRectMake(30, 92, 60, 16), marker } }); // left
    view.mReserved = { CGRectMake(150, 80, 10, 40) }; // something on the right
    EXPECT_EQ(label.Place(view), 1);
    EXPECT_EQ(view.mReserved.size(), 3u); // text and marker, both reserved
    // Nothing left: the label is not shown, and reserves nothing.
    EXPECT_EQ(label.Place(view), -1);
    EXPECT_EQ(view.mReserved.size(), 3u);
}

// Text is measured and drawn on the render workers: Pango gives each thread its own font map.
TEST(CMapLabel, WorkersMeasureAndDrawTextAsTheMainThreadDoes)
{
    LabelStyle const style = Style(true, 1, true);
    char const* names[] = { "Göteborg", "Ottawa", "Île-de-France", "Kraków", "Москва", "東京" };
    std::vector<std::pair<int, UInt64>> expected;
    for (char const* name : names) {
        CMapLabel label(1, 0, CString(name), style, 13, 0.3f);
        label.AddPlacement({ { 80, 40 }, {} });
        ASSERT_EQ(label.RenderImage(), noErr);
        expected.push_back(Ink(label));
        EXPECT_GT(expected.back().first, 50) << name;
    }
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 10; ++round)
                for (std::size_t i = 0; i < std::size(names); ++i) {
                    CMapLabel label(1, 0, CString(names[i]), style, 13, 0.3f);
                    label.AddPlacement({ { 80, 40 }, {} });
                    if (label.RenderImage() != noErr || Ink(label) != expected[i])
                        ++mismatches[std::size_t(t)];
                }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, (std::vector<int> { 0, 0, 0, 0 }));
}
