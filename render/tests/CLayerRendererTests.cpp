#include "foundation/CThreadTask.h"
#include "render/CLayerRenderer.h"
#include "render/CLayerTile.h"
#include "render/CMapSnapshot.h"
#include "render/CTilePainter.h"
#include "render/CGeometryCache.h"
#include "render/CGraphicsUtilities.h"
#include "render/tests/RenderTestSupport.h"
#include "tests/support/PixelProbe.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <set>

using tw::test::Pixel;
using tw::test::PixelProbe;

namespace {

CCoordinate const kEurope(50, 10);
CCoordinate const kGoteborg(57.705, 11.965);

PixelProbe Probe(CGContextRef bitmap)
{
    return PixelProbe(CGBitmapContextGetData(bitmap), int(CGBitmapContextGetWidth(bitmap)),
        int(CGBitmapContextGetHeight(bitmap)), CGBitmapContextGetBytesPerRow(bitmap));
}

// Share of pixels of two equal-sized bitmaps that differ by more than the tolerance in a channel.
double Difference(CGContextRef a, CGContextRef b, int tolerance)
{
    PixelProbe const pa = Probe(a), pb = Probe(b);
    int differ = 0;
    for (int y = 0; y < pa.Height(); ++y)
        for (int x = 0; x < pa.Width(); ++x) {
            Pixel const p = pa.At(x, y), q = pb.At(x, y);
            if (std::abs(p.r - q.r) > tolerance || std::abs(p.g - q.g) > tolerance || std::abs(p.b - q.b) > tolerance
                || std::abs(p.a - q.a) > tolerance)
                ++differ;
        }
    return double(differ) / (pa.Width() * pa.Height());
}

CGContextRef NewBitmap(int width, int height)
{
    CGContextRef bitmap = CGBitmapContextCreate(nullptr, size_t(width), size_t(height), 8, 0, nullptr,
        kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
    CGContextTranslateCTM(bitmap, 0, height);
    CGContextScaleCTM(bitmap, 1, -1);
    return bitmap;
}

// The map view as the renderer sees it, reduced to a list of tiles, a footprint list that
// starts with what the test reserves, and a record of what was marked for redisplay.
class FakeView : public IMapView {
public:
    FakeView(CMapManager& manager, UInt32 level)
        : mManager(manager)
        , mLevel(level)
        , mRenderer(this, 2)
    {
    }
    ~FakeView() override
    {
        mRenderer.StopRendering();
        mTiles.clear();
    }

    CLayerTile* AddTile(UInt32 column, UInt32 row)
    {
        mTiles.push_back(std::make_unique<CLayerTile>(this, CMapGeometry::GetTileRect(column, row)));
        return mTiles.back().get();
    }
    std::vector<CLayerTile*> GetTilesInRect(CGRect const& rect, bool) override
    {
        std::vector<CLayerTile*> tiles;
        for (auto& tile : mTiles)
            if (CGRectIntersectsRect(tile->GetRect(), rect))
                tiles.push_back(tile.get());
        return tiles;
    }
    bool AddFootprint(CGRect const& rect, bool reserve) override { return mFootprints.Add(rect, reserve); }
    unsigned long GetMapZoom() const override { return mLevel; }
    CLayerRenderer* GetRenderer() override { return &mRenderer; }
    CMapManager* GetMapManager() const override { return &mManager; }
    void InvalidateRect(CGRect const& rect) override { mInvalid.push_back(rect); }
    bool IsPrinting() const override { return false; }
    CGRect GetVisibleImageRect() override { return CGRectNull; }

    // Runs the main loop until the renderer has nothing left to do.
    bool Finish()
    {
        auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (mRenderer.IsRendering() && std::chrono::steady_clock::now() < deadline)
            RunCurrentEventLoop(0.005);
        RunCurrentEventLoop(0.1); // the last collection
        return !mRenderer.IsRendering();
    }

    CMapManager& mManager;
    UInt32 mLevel;
    std::vector<std::unique_ptr<CLayerTile>> mTiles;
    CMapFootprints mFootprints;
    std::vector<CGRect> mInvalid;
    CLayerRenderer mRenderer;
};

class LayerRenderer : public testing::Test {
protected:
    void SetUp() override
    {
        mManager = tw::test::LoadMaps();
        ASSERT_TRUE(mManager);
    }
    std::unique_ptr<CMapManager> mManager;
};

} // namespace

TEST_F(LayerRenderer, EveryVisibleTileGetsItsImageAndTheRendererThenFallsIdle)
{
    CMapSnapshot view(*mManager, 4);
    view.SetView(kEurope, 3, CGSizeMake(1280, 800));
    ASSERT_EQ(view.Render(), noErr);
    auto tiles = view.GetTilesInRect(view.GetVisibleRect(), false);
    CMapGeometry::TileRange const range = CMapGeometry::GetTileRange(view.GetVisibleRect(), 3);
    EXPECT_EQ(tiles.size(), (range.right - range.left + 1) * (range.bottom - range.top + 1));
    for (CLayerTile* tile : tiles) {
        EXPECT_TRUE(tile->HasImage());
        EXPECT_TRUE(tile->HasLabels());
        EXPECT_FALSE(tile->IsQueued());
    }
    EXPECT_GT(view.GetRenderer()->GetShownLabelCount(), 20u);
    // Nothing left to do: the collection timer is gone, and the workers' hand-off timer sleeps,
    // so an idle map costs nothing.
    EXPECT_FALSE(view.GetRenderer()->IsRendering());
    EXPECT_FALSE(view.GetRenderer()->IsInstalled());
    auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (CThreadTask::IsHandOffTimerRunning() && std::chrono::steady_clock::now() < deadline)
        RunCurrentEventLoop(0.01);
    EXPECT_FALSE(CThreadTask::IsHandOffTimerRunning());
    // Drawing again asks for nothing new.
    CGContextRef again = NewBitmap(1280, 800);
    CGContextTranslateCTM(again, -view.GetVisibleRect().origin.x, -view.GetVisibleRect().origin.y);
    for (CLayerTile* tile : tiles)
        tile->Draw(again);
    EXPECT_FALSE(view.GetRenderer()->IsInstalled());
    CGContextRelease(again);
}

TEST_F(LayerRenderer, TilesMeetWithoutSeams)
{
    // The same 512-pixel square drawn whole, and as four tiles side by side.
    CTilePainter painter(*mManager, CGeometryCache::GetShared());
    for (auto [centre, level] : { std::pair { kEurope, 5u }, std::pair { kGoteborg, 14u } }) {
        CGPoint const middle = CMapGeometry(*mManager).Project(centre, level);
        CGRect const square = CGRectMake(std::floor(middle.x / 256) * 256 - 256, std::floor(middle.y / 256) * 256 - 256, 512, 512);
        CGContextRef whole = NewBitmap(512, 512);
        CGContextRef tiled = NewBitmap(512, 512);
        CGContextTranslateCTM(whole, -square.origin.x, -square.origin.y);
        CGContextTranslateCTM(tiled, -square.origin.x, -square.origin.y);
        std::vector<CMapLabel> labels;
        ASSERT_EQ(painter.Paint(whole, square, level, labels), noErr);
        std::size_t const names = labels.size();
        labels.clear();
        for (int i = 0; i < 4; ++i)
            painter.Paint(tiled, CGRectMake(square.origin.x + (i % 2) * 256, square.origin.y + (i / 2) * 256, 256, 256),
                level, labels);
        EXPECT_LT(Difference(whole, tiled, 8), 0.001) << "level " << level;
        // Each name is anchored in exactly one tile.
        EXPECT_EQ(labels.size(), names);
        CGContextRelease(whole);
        CGContextRelease(tiled);
    }
}

TEST_F(LayerRenderer, RoadNamesAreNeverUpsideDown)
{
    // The streets of a city run every way, right to left as often as left to right.
    CTilePainter painter(*mManager, CGeometryCache::GetShared());
    std::size_t along = 0;
    for (UInt32 level : { 14u, 15u, 16u }) {
        CGPoint const middle = CMapGeometry(*mManager).Project(kGoteborg, level);
        CGRect const square = CGRectMake(std::floor(middle.x / 256) * 256 - 256, std::floor(middle.y / 256) * 256 - 256, 768, 768);
        CGContextRef bitmap = NewBitmap(768, 768);
        CGContextTranslateCTM(bitmap, -square.origin.x, -square.origin.y);
        std::vector<CMapLabel> labels;
        ASSERT_EQ(painter.Paint(bitmap, square, level, labels), noErr);
        for (CMapLabel const& label : labels) {
            along += label.GetAngle() != 0;
            EXPECT_GT(label.GetAngle(), -M_PI / 2) << label.GetText().GetStdString() << " at level " << level;
            EXPECT_LE(label.GetAngle(), M_PI / 2) << label.GetText().GetStdString() << " at level " << level;
        }
        CGContextRelease(bitmap);
    }
    EXPECT_GT(along, 10u) << "too few names along roads to tell";
}

TEST_F(LayerRenderer, NamesKeepOutOfReservedFootprintsAndOffEachOther)
{
    FakeView view(*mManager, 14);
    CGPoint const middle = CMapGeometry(*mManager).Project(kGoteborg, 14);
    UInt32 const column = UInt32(middle.x / 256), row = UInt32(middle.y / 256);
    for (UInt32 r = row - 1; r <= row + 1; ++r)
        for (UInt32 c = column - 1; c <= column + 1; ++c)
            view.AddTile(c, r);
    CGRect const visible = CGRectMake((column - 1) * 256.0, (row - 1) * 256.0, 768, 768);
    CGContextRef bitmap = NewBitmap(768, 768);
    CGContextTranslateCTM(bitmap, -visible.origin.x, -visible.origin.y);
    for (auto& tile : view.mTiles)
        tile->Draw(bitmap);
    ASSERT_TRUE(view.Finish());
    // A user's object has the middle tile's label space.
    CGRect const reserved = CGRectInset(CMapGeometry::GetTileRect(column, row), 20, 20);
    view.mFootprints.Clear();
    view.mFootprints.Add(reserved, true);
    for (auto& tile : view.mTiles)
        tile->Draw(bitmap);
    view.GetRenderer()->DrawLabels(bitmap, visible);
    ASSERT_GT(view.GetRenderer()->GetShownLabelCount(), 5u);
    // Nothing but the tile image inside the reserved rectangle; names around it.
    CGContextRef tilesOnly = NewBitmap(768, 768);
    CGContextTranslateCTM(tilesOnly, -visible.origin.x, -visible.origin.y);
    for (auto& tile : view.mTiles)
        tile->Draw(tilesOnly);
    PixelProbe const drawn = Probe(bitmap), plain = Probe(tilesOnly);
    int inside = 0, outside = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 768; ++x) {
            Pixel const p = drawn.At(x, y), q = plain.At(x, y);
            bool const differs = p.r != q.r || p.g != q.g || p.b != q.b;
            bool const reservedPixel = CGRectContainsPoint(CGRectOffset(reserved, -visible.origin.x, -visible.origin.y),
                CGPointMake(x + 0.5, y + 0.5));
            (reservedPixel ? inside : outside) += differs;
        }
    EXPECT_EQ(inside, 0);
    EXPECT_GT(outside, 500);
    // Every name took footprints that meet no other.
    std::vector<CGRect> const& footprints = view.mFootprints.GetRects();
    for (std::size_t i = 1; i < footprints.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_FALSE(CGraphicsUtilities::IsIntersecting(footprints[i], footprints[j]));
    // The names placed the first time were marked for redisplay; a second pass alike marks nothing.
    view.mInvalid.clear();
    view.mFootprints.Clear();
    view.mFootprints.Add(reserved, true);
    view.GetRenderer()->DrawLabels(bitmap, visible);
    EXPECT_TRUE(view.mInvalid.empty());
    CGContextRelease(bitmap);
    CGContextRelease(tilesOnly);
}

TEST_F(LayerRenderer, TileImagesAreBoundedLeastRecentlyDrawnFirst)
{
    FakeView view(*mManager, 4);
    view.GetRenderer()->SetImageLimit(6);
    CGContextRef bitmap = NewBitmap(256, 256);
    for (UInt32 i = 0; i < 10; ++i)
        view.AddTile(6 + i % 5, 4 + i / 5);
    for (auto& tile : view.mTiles)
        tile->Draw(bitmap);
    ASSERT_TRUE(view.Finish());
    EXPECT_EQ(view.GetRenderer()->GetImageCount(), 6u);
    int withImages = 0;
    for (auto& tile : view.mTiles)
        withImages += tile->HasImage();
    EXPECT_EQ(withImages, 6);
    // Drawing a tile keeps it: the one drawn last stays while the others make room.
    CLayerTile* kept = nullptr;
    for (auto& tile : view.mTiles)
        if (tile->HasImage())
            kept = tile.get();
    kept->Draw(bitmap);
    for (auto& tile : view.mTiles)
        if (!tile->HasImage())
            tile->Draw(bitmap); // asks for it again
    ASSERT_TRUE(view.Finish());
    EXPECT_EQ(view.GetRenderer()->GetImageCount(), 6u);
    EXPECT_TRUE(kept->HasImage());
    CGContextRelease(bitmap);
}

// A maximised window on a 5K screen shows more tiles than the images kept by default: every
// one of them keeps its image, and the view settles.
TEST_F(LayerRenderer, AViewShowingMoreTilesThanTheLimitSettlesWithEveryTileDrawn)
{
    CMapSnapshot view(*mManager, 4);
    view.SetView(kEurope, 6, CGSizeMake(5200, 3000));
    CMapGeometry::TileRange const range = CMapGeometry::GetTileRange(view.GetVisibleRect(), 6);
    std::size_t const shown = std::size_t(range.right - range.left + 1) * (range.bottom - range.top + 1);
    ASSERT_GT(shown, CLayerRenderer::kImageLimit);
    ASSERT_EQ(view.Render(120), noErr) << "the tiles kept being dropped and drawn again";
    for (CLayerTile* tile : view.GetTilesInRect(view.GetVisibleRect(), false))
        EXPECT_TRUE(tile->HasImage());
    EXPECT_GE(view.GetRenderer()->GetImageCount(), shown);
    // Somewhere else at the same level: what is out of sight goes, down to twice what is shown.
    view.SetView(CCoordinate(-20, -60), 6, CGSizeMake(5200, 3000));
    ASSERT_EQ(view.Render(120), noErr);
    EXPECT_LE(view.GetRenderer()->GetImageCount(), 2 * shown);
    for (CLayerTile* tile : view.GetTilesInRect(view.GetVisibleRect(), false))
        EXPECT_TRUE(tile->HasImage());
}

TEST_F(LayerRenderer, StoppingWithTilesStillRenderingEndsTheWorkersCleanly)
{
    auto view = std::make_unique<CMapSnapshot>(*mManager, 4);
    view->SetView(kEurope, 7, CGSizeMake(1600, 1200));
    EXPECT_EQ(view->Render(0.01), eventLoopTimedOutErr); // tiles queued, some being drawn
    EXPECT_TRUE(view->GetRenderer()->IsRendering());
    view->DestroyTiles();
    EXPECT_FALSE(view->GetRenderer()->IsRendering());
    EXPECT_EQ(view->GetRenderer()->GetWorkerCount(), 0u);
    EXPECT_FALSE(view->GetRenderer()->IsInstalled());
    // Workers are made anew for the next tiles.
    view->SetView(kGoteborg, 12, CGSizeMake(512, 512));
    ASSERT_EQ(view->Render(), noErr);
    EXPECT_EQ(view->GetRenderer()->GetWorkerCount(), 4u);
    // And a view closed in the middle of its work takes its workers with it.
    view->SetView(kEurope, 8, CGSizeMake(1600, 1200));
    view->Render(0.01);
    view.reset();
}

TEST_F(LayerRenderer, PrintingDrawsTheSameMapWithVectors)
{
    CMapSnapshot view(*mManager, 4);
    view.SetView(kGoteborg, 13, CGSizeMake(640, 400));
    ASSERT_EQ(view.Render(), noErr);
    CGContextRef printed = NewBitmap(640, 400);
    CGContextTranslateCTM(printed, -view.GetVisibleRect().origin.x, -view.GetVisibleRect().origin.y);
    view.Print(printed);
    EXPECT_FALSE(view.GetFootprints().empty()); // names placed through the view
    EXPECT_LT(Difference(view.GetBitmap(), printed, 24), 0.03);
    CGContextRelease(printed);
}

TEST_F(LayerRenderer, DrawingWhileWorkersRenderShowsNoTornTiles)
{
    FakeView view(*mManager, 11);
    CGPoint const middle = CMapGeometry(*mManager).Project(kGoteborg, 11);
    UInt32 const column = UInt32(middle.x / 256), row = UInt32(middle.y / 256);
    for (UInt32 r = row - 1; r <= row + 1; ++r)
        for (UInt32 c = column - 1; c <= column + 1; ++c)
            view.AddTile(c, r);
    CGRect const visible = CGRectMake((column - 1) * 256.0, (row - 1) * 256.0, 768, 768);
    auto frame = [&] {
        CGContextRef bitmap = NewBitmap(768, 768);
        CGContextTranslateCTM(bitmap, -visible.origin.x, -visible.origin.y);
        for (auto& tile : view.mTiles)
            tile->Draw(bitmap);
        return bitmap;
    };
    // Frames drawn as fast as possible while the workers fill the tiles in.
    std::vector<CGContextRef> frames { frame() };
    auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    auto allDrawn = [&] {
        return std::all_of(view.mTiles.begin(), view.mTiles.end(), [](auto const& tile) { return tile->HasImage(); });
    };
    while (!allDrawn() && std::chrono::steady_clock::now() < deadline && frames.size() < 40)
        frames.push_back(frame());
    ASSERT_TRUE(view.Finish());
    CGContextRef const last = frame();
    // Each tile of each frame is wholly the loading picture or wholly the finished tile.
    PixelProbe const loading = Probe(frames.front()), done = Probe(last);
    int mixed = 0;
    for (CGContextRef bitmap : frames) {
        PixelProbe const probe = Probe(bitmap);
        for (int t = 0; t < 9; ++t) {
            int asLoading = 0, asDone = 0;
            for (int y = (t / 3) * 256; y < (t / 3 + 1) * 256; ++y)
                for (int x = (t % 3) * 256; x < (t % 3 + 1) * 256; ++x) {
                    Pixel const p = probe.At(x, y), l = loading.At(x, y), d = done.At(x, y);
                    asLoading += p.r == l.r && p.g == l.g && p.b == l.b;
                    asDone += p.r == d.r && p.g == d.g && p.b == d.b;
                }
            mixed += asLoading < 256 * 256 && asDone < 256 * 256;
        }
    }
    EXPECT_EQ(mixed, 0);
    EXPECT_GT(frames.size(), 1u);
    for (CGContextRef bitmap : frames)
        CGContextRelease(bitmap);
    CGContextRelease(last);
}

namespace {

// The names one pass places over the tiles around a point, the view being the given part of them.
std::vector<CLayerRenderer::ShownLabel> PlaceNames(
    FakeView& view, CMapManager& manager, CCoordinate const& centre, UInt32 level, int radius, CGRect visible)
{
    CGPoint const middle = CMapGeometry(manager).Project(centre, level);
    int const tiles = 1 << level;
    int const column = int(middle.x / 256), row = int(middle.y / 256);
    for (int r = std::max(0, row - radius); r <= std::min(tiles - 1, row + radius); ++r)
        for (int c = std::max(0, column - radius); c <= std::min(tiles - 1, column + radius); ++c)
            view.AddTile(UInt32(c), UInt32(r));
    CGContextRef bitmap = NewBitmap(int(visible.size.width), int(visible.size.height));
    CGContextTranslateCTM(bitmap, -visible.origin.x, -visible.origin.y);
    for (auto& tile : view.mTiles)
        tile->Draw(bitmap);
    EXPECT_TRUE(view.Finish());
    view.mFootprints.Clear();
    view.GetRenderer()->DrawLabels(bitmap, visible);
    CGContextRelease(bitmap);
    return view.GetRenderer()->GetShownLabels();
}

} // namespace

// At the world's levels the countries are named before any town takes their room.
TEST_F(LayerRenderer, TheWorldNamesItsCountriesFirst)
{
    FakeView view(*mManager, 2);
    auto const shown = PlaceNames(view, *mManager, CCoordinate(0, 0), 2, 2, CGRectMake(0, 0, 1024, 1024));
    // Country names are set in spaced capitals.
    auto named = [&](std::string const& name) {
        return std::any_of(shown.begin(), shown.end(), [&](CLayerRenderer::ShownLabel const& label) {
            std::string letters;
            for (char c : label.text.GetStdString())
                if (std::isalpha(static_cast<unsigned char>(c)))
                    letters += c;
            return letters == name;
        });
    };
    for (char const* country : { "CANADA", "CHINA", "BRAZIL", "AUSTRALIA", "RUSSIA", "INDIA", "KAZAKHSTAN" })
        EXPECT_TRUE(named(country)) << country;
}

// A name the edge of the map would cut is not drawn.
TEST_F(LayerRenderer, NamesAreDrawnWholeInsideTheMap)
{
    for (auto const& [centre, level] : { std::pair { kGoteborg, 14u }, std::pair { CCoordinate(45.42, -75.69), 14u },
             std::pair { kEurope, 5u } }) {
        FakeView view(*mManager, level);
        CGPoint const middle = CMapGeometry(*mManager).Project(centre, level);
        // A view that does not start on a tile's edge.
        CGRect const visible = CGRectMake(middle.x - 301, middle.y - 217, 602, 434);
        auto const shown = PlaceNames(view, *mManager, centre, level, 2, visible);
        ASSERT_FALSE(shown.empty()) << level;
        for (auto const& label : shown) {
            std::string const text = label.text.GetStdString();
            EXPECT_GE(CGRectGetMinX(label.bounds), CGRectGetMinX(visible)) << text;
            EXPECT_GE(CGRectGetMinY(label.bounds), CGRectGetMinY(visible)) << text;
            EXPECT_LE(CGRectGetMaxX(label.bounds), CGRectGetMaxX(visible)) << text;
            EXPECT_LE(CGRectGetMaxY(label.bounds), CGRectGetMaxY(visible)) << text;
        }
    }
}

// The printed page of a view names the places the screen names, capitals before towns.
TEST_F(LayerRenderer, ThePrintedPageNamesWhatTheScreenNamesCapitalsFirst)
{
    std::size_t compared = 0;
    for (CGSize const size : { CGSizeMake(1024, 768), CGSizeMake(1500, 1000) }) {
        SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
        CMapSnapshot view(*mManager, 4);
        view.SetView(kEurope, 5, size);
        ASSERT_EQ(view.Render(), noErr);
        std::vector<CLayerRenderer::ShownLabel> const screen = view.GetRenderer()->GetShownLabels();
        CGContextRef printed = NewBitmap(int(size.width), int(size.height));
        CGContextTranslateCTM(printed, -view.GetVisibleRect().origin.x, -view.GetVisibleRect().origin.y);
        view.Print(printed);
        CGContextRelease(printed);
        std::vector<ShownMapLabel> const& page = view.GetPrintedLabels();
        auto names = [](std::vector<ShownMapLabel> const& labels) {
            std::multiset<std::string> set;
            for (ShownMapLabel const& label : labels)
                set.insert(label.text.GetStdString());
            return set;
        };
        std::multiset<std::string> const onScreen = names(screen), onPage = names(page);
        EXPECT_EQ(onPage, onScreen);
        compared += onScreen.size();
        for (auto const* labels : { &screen, &page }) {
            std::multiset<std::string> const shown = names(*labels);
            for (char const* capital : { "London", "Paris", "Berlin", "Madrid", "Rome", "Vienna", "Prague", "Warsaw",
                     "Budapest", "Brussels", "Amsterdam", "Bern", "Luxembourg", "Copenhagen", "Kiev", "Minsk" })
                EXPECT_EQ(shown.count(capital), 1u) << capital << (labels == &page ? " on the page" : " on screen");
        }
    }
    EXPECT_GT(compared, 150u);
}

namespace {

LabelStyle PointStyle()
{
    LabelStyle style;
    style.kind = LabelKind::kPoint;
    style.size = { { { 0, 12 }, { 1, 12 }, { 2, 12 }, { 3, 12 } } };
    style.colour = { 0, 0, 0, 1 };
    style.halo = { 1, 1, 1, 1 };
    style.haloWidth = 2;
    return style;
}

// A name at the centre, with a first place to its right and a second to its left.
CMapLabel TwoPlaceLabel(UInt64 id, char const* text, LabelStyle const& style, CGPoint anchor)
{
    CMapLabel label(id, 1, CString(text), style, 12, 0);
    CGSize const size = label.GetTextSize();
    for (CGFloat side : { 1.0, -1.0 }) {
        CGPoint const centre { anchor.x + side * (10 + size.width / 2), anchor.y };
        label.AddPlacement({ centre,
            { CGRectMake(centre.x - size.width / 2, centre.y - size.height / 2, size.width, size.height) } });
    }
    EXPECT_EQ(label.RenderImage(), noErr);
    return label;
}

} // namespace

TEST_F(LayerRenderer, APlaceNamedByTwoPacksIsNamedOnceAndAMovedNameLeavesItsOldPlaceToBeRedrawn)
{
    FakeView view(*mManager, 10);
    CLayerTile* tile = view.AddTile(500, 300);
    CGRect const rect = tile->GetRect();
    CGContextRef bitmap = NewBitmap(256, 256);
    CGContextTranslateCTM(bitmap, -rect.origin.x, -rect.origin.y);
    tile->SetImage(CGBitmapContextCreateImage(bitmap));
    LabelStyle const style = PointStyle();
    CGPoint const middle { CGRectGetMidX(rect), CGRectGetMidY(rect) - 60 };
    std::vector<CMapLabel> labels;
    labels.push_back(TwoPlaceLabel(1, "Alingsås", style, middle));
    labels.push_back(TwoPlaceLabel(2, "Alingsås", style, { middle.x + 2, middle.y + 1 })); // the other pack's
    labels.push_back(TwoPlaceLabel(3, "Lerum", style, { middle.x, middle.y + 100 }));
    tile->SetLabels(std::move(labels));
    tile->SetHasLabels(true);

    // The same place named by two packs: drawn once, though there is room for both.
    view.GetRenderer()->DrawLabels(bitmap, rect);
    std::vector<ShownMapLabel> const first = view.GetRenderer()->GetShownLabels();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(std::count_if(first.begin(), first.end(),
                  [](ShownMapLabel const& shown) { return shown.text == CString("Alingsås"); }),
        1);
    CGRect const before = first[0].text == CString("Lerum") ? first[0].bounds : first[1].bounds;

    // Something takes Lerum's first place: it moves left, and where it was is drawn again
    // (its old text must not stay on the screen).
    view.mInvalid.clear();
    view.mFootprints.Clear();
    view.mFootprints.Add(before, true);
    view.GetRenderer()->DrawLabels(bitmap, rect);
    std::vector<ShownMapLabel> const second = view.GetRenderer()->GetShownLabels();
    auto const lerum = std::find_if(
        second.begin(), second.end(), [](ShownMapLabel const& shown) { return shown.text == CString("Lerum"); });
    ASSERT_NE(lerum, second.end());
    EXPECT_LT(CGRectGetMaxX(lerum->bounds), CGRectGetMinX(before)) << "moved to its left place";
    EXPECT_TRUE(std::any_of(view.mInvalid.begin(), view.mInvalid.end(),
        [&](CGRect const& marked) { return CGRectContainsRect(marked, before); }))
        << "the old place is redrawn";
    CGContextRelease(bitmap);
}

TEST_F(LayerRenderer, TheBoxesKeepingRoadNamesApartLieAlongTheirRoad)
{
    CTilePainter painter(*mManager, CGeometryCache::GetShared());
    std::size_t diagonal = 0;
    for (UInt32 level : { 14u, 15u, 16u }) {
        CGPoint const middle = CMapGeometry(*mManager).Project(kGoteborg, level);
        CGRect const square
            = CGRectMake(std::floor(middle.x / 256) * 256 - 256, std::floor(middle.y / 256) * 256 - 256, 768, 768);
        CGContextRef bitmap = NewBitmap(768, 768);
        CGContextTranslateCTM(bitmap, -square.origin.x, -square.origin.y);
        std::vector<CMapLabel> labels;
        ASSERT_EQ(painter.Paint(bitmap, square, level, labels), noErr);
        for (CMapLabel const& label : labels) {
            double const angle = label.GetAngle();
            if (std::fabs(std::sin(2 * angle)) < 0.3)
                continue; // near level or upright: a mirror would not show
            ++diagonal;
            LabelPlacement const& placement = label.GetPlacements().front();
            ASSERT_GE(placement.footprints.size(), 2u);
            for (CGRect const& box : placement.footprints) {
                double const dx = CGRectGetMidX(box) - placement.centre.x, dy = CGRectGetMidY(box) - placement.centre.y;
                // Across the road's direction from the name's centre: nothing.
                EXPECT_NEAR(-dx * std::sin(angle) + dy * std::cos(angle), 0, 0.5)
                    << label.GetText().GetStdString() << " at level " << level;
            }
        }
        CGContextRelease(bitmap);
    }
    EXPECT_GT(diagonal, 3u) << "too few names along slanting roads to tell";
}

// A view showing a few more tiles than the limit keeps twice what it shows, so what a pan
// left behind is still there when the view comes back.
TEST_F(LayerRenderer, AViewLargerThanTheImageLimitKeepsTwiceItsTiles)
{
    CMapSnapshot view(*mManager, 2);
    view.GetRenderer()->SetImageLimit(16);
    view.SetView(kEurope, 6, CGSizeMake(1100, 900));
    CMapGeometry::TileRange const range = CMapGeometry::GetTileRange(view.GetVisibleRect(), 6);
    std::size_t const shown = std::size_t(range.right - range.left + 1) * (range.bottom - range.top + 1);
    ASSERT_GT(shown, 16u);
    ASSERT_EQ(view.Render(60), noErr);
    std::vector<CLayerTile*> const first = view.GetTilesInRect(view.GetVisibleRect(), false);
    ASSERT_EQ(first.size(), shown);
    // Two tiles east (512 px at level 6: 11.25°).
    view.SetView(CCoordinate(kEurope.GetLatitude(), kEurope.GetLongitude() + 11.25), 6, CGSizeMake(1100, 900));
    ASSERT_EQ(view.Render(60), noErr);
    for (CLayerTile* tile : first)
        EXPECT_TRUE(tile->HasImage()) << "a tile left behind lost its image";
    EXPECT_LE(view.GetRenderer()->GetImageCount(), 2 * shown);
}
