// What the map view draws: the background around a small world, every visible tile
// with the names over it apart from each other, the grid, the objects in their order
// and the printed page.
#include "docwindow/tests/MapViewTest.h"
#include "model/CMapCrop.h"
#include "render/CCoreGraphicsUtilities.h"
#include "tests/support/Canvas.h"

#include <cstdlib>

namespace tw::test {
namespace {

    class MapDraw : public MapViewTest {
    protected:
        Pixel MapPixel(PixelProbe const& probe, CGPoint image)
        {
            CGPoint const origin = mView->GetImageOrigin();
            CGRect const content = mView->GetZoomContent();
            CGPoint const p
                = ViewInWindow({ content.origin.x + image.x - origin.x, content.origin.y + image.y - origin.y });
            return probe.At(int(std::floor(p.x)), int(std::floor(p.y)));
        }
        // Rows (or columns) where the map steps sharply across a tile edge but not beside it: a
        // seam. Counted over every tile edge inside the visible part, away from the names (a
        // line of text may sit on an edge).
        int SeamPixels(PixelProbe const& probe)
        {
            auto step
                = [](Pixel a, Pixel b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); };
            auto named = [this](CGPoint p) {
                for (CGRect const& name : mView->GetFootprints())
                    if (CGRectContainsPoint(CGRectInset(name, -3, -3), p))
                        return true;
                return false;
            };
            CGRect const visible = CGRectInset(mView->GetVisibleContent(), 2, 2);
            int seams = 0;
            for (double x = std::ceil(CGRectGetMinX(visible) / 256) * 256; x < CGRectGetMaxX(visible); x += 256)
                for (double y = CGRectGetMinY(visible); y < CGRectGetMaxY(visible); ++y) {
                    Pixel const a = MapPixel(probe, { x - 2, y }), b = MapPixel(probe, { x - 1, y }),
                                c = MapPixel(probe, { x, y }), d = MapPixel(probe, { x + 1, y });
                    seams += !named({ x, y }) && step(b, c) >= 8 && step(a, b) <= 2 && step(c, d) <= 2;
                }
            for (double y = std::ceil(CGRectGetMinY(visible) / 256) * 256; y < CGRectGetMaxY(visible); y += 256)
                for (double x = CGRectGetMinX(visible); x < CGRectGetMaxX(visible); ++x) {
                    Pixel const a = MapPixel(probe, { x, y - 2 }), b = MapPixel(probe, { x, y - 1 }),
                                c = MapPixel(probe, { x, y }), d = MapPixel(probe, { x, y + 1 });
                    seams += !named({ x, y }) && step(b, c) >= 8 && step(a, b) <= 2 && step(c, d) <= 2;
                }
            return seams;
        }
        // Every tile of the visible part is there with its image and names, as many as cover it.
        void ExpectEveryTileDrawn(unsigned long level)
        {
            CGRect const visible = mView->GetVisibleContent();
            CMapGeometry::TileRange const range = CMapGeometry::GetTileRange(visible, UInt32(level));
            std::vector<CLayerTile*> const tiles = mView->GetTilesInRect(visible, false);
            EXPECT_EQ(tiles.size(), std::size_t(range.right - range.left + 1) * (range.bottom - range.top + 1))
                << level;
            for (CLayerTile* tile : tiles) {
                EXPECT_TRUE(tile->HasImage()) << "level " << level;
                EXPECT_TRUE(tile->HasLabels()) << "level " << level;
            }
        }
    };

    // A filled square that can be told whether it may be moved.
    class Square : public CCanvasObject {
    public:
        Square(CGRect bounds, ColourRGBA colour, bool movable)
            : mColour(colour)
        {
            SetBounds(bounds);
            SetAttributes(0, movable ? 0u : UInt32(kAttributeMovable));
        }
        void Draw(CGContextRef context) override
        {
            CCoreGraphicsUtilities::SetFillColour(context, mColour);
            CGContextFillRect(context, GetBounds());
        }

    private:
        ColourRGBA mColour;
    };

    TEST_F(MapDraw, EveryVisibleTileIsDrawnAndTheNamesNeverMeet)
    {
        for (auto [place, level] : { std::pair { kEurope, 4UL }, { kGoteborg, 14UL }, { kOttawa, 11UL } }) {
            Show(place, level);
            ASSERT_TRUE(Settle()) << level;
            ExpectEveryTileDrawn(level);
            EXPECT_LT(SeamPixels(ProbeMap()), 4) << "a line along the tile edges at level " << level;
            std::vector<CGRect> const& names = mView->GetFootprints();
            EXPECT_GT(names.size(), 3u) << level;
            for (std::size_t i = 0; i < names.size(); ++i)
                for (std::size_t j = i + 1; j < names.size(); ++j)
                    EXPECT_FALSE(CGRectIntersectsRect(names[i], names[j])) << level << ": names " << i << " and " << j;
            EXPECT_GT(mView->GetRenderer()->GetShownLabelCount(), 3u) << level;
        }
    }

    TEST_F(MapDraw, TheGridFollowsTheLevelsSpacing)
    {
        mApp->GetPreferences().SetBoolean("ShowGrid", true);
        Show(CCoordinate(0, 0), 0);
        ASSERT_TRUE(Settle());
        PixelProbe const gridless = ProbeMap();
        mApp->GetPreferences().SetBoolean("ShowGrid", false);
        mView->SetNeedsDisplay(true, nullptr);
        ASSERT_TRUE(Settle());
        PixelProbe const plain = ProbeMap();
        int differ = 0;
        for (int y = 0; y < plain.Height(); ++y)
            for (int x = 0; x < plain.Width(); ++x)
                differ += std::abs(plain.At(x, y).g - gridless.At(x, y).g) > 2;
        EXPECT_EQ(differ, 0) << "level 0 has no grid";

        // At level 9 a line every degree: each meridian darkens its column against its neighbour.
        mApp->GetPreferences().SetBoolean("ShowGrid", true);
        Show(CCoordinate(0.5, 0.5), 9);
        ASSERT_TRUE(Settle());
        PixelProbe const grid = ProbeMap();
        CGRect const visible = mView->GetVisibleContent();
        CGFloat const y = CGRectGetMidY(visible) + 0.5;
        CGFloat const step = mView->Project(CCoordinate(0, 1)).x - mView->Project(CCoordinate(0, 0)).x;
        int lines = 0;
        for (double longitude : { 0.0, 1.0 }) {
            CGFloat const x = std::floor(mView->Project(CCoordinate(0, longitude)).x) + 0.5;
            if (x < CGRectGetMinX(visible) || x > CGRectGetMaxX(visible))
                continue;
            Pixel const on = MapPixel(grid, { x, y }), off = MapPixel(grid, { x + 3, y });
            EXPECT_LT(on.r + on.g + on.b, off.r + off.g + off.b) << longitude;
            ++lines;
        }
        EXPECT_EQ(lines, 2) << "two meridians in a view " << visible.size.width << " wide, " << step << " apart";
        // Halfway between the meridians there is none.
        CGFloat const between = std::floor(mView->Project(CCoordinate(0, 0.5)).x) + 0.5;
        Pixel const open = MapPixel(grid, { between, y }), near = MapPixel(grid, { between + 3, y });
        EXPECT_NEAR(open.r + open.g + open.b, near.r + near.g + near.b, 6);
    }

    TEST_F(MapDraw, ObjectsThatCannotMoveLieUnderThoseThatCanWhateverTheirOrder)
    {
        Show(kEurope, 6);
        ASSERT_TRUE(Settle());
        CGRect const visible = mView->GetVisibleContent();
        CGRect const area = CGRectMake(CGRectGetMidX(visible) - 40, CGRectGetMidY(visible) - 40, 80, 80);
        auto* movable = new Square(area, { 1, 0, 0, 1 }, true);
        auto* fixed = new Square(CGRectInset(area, -20, -20), { 0, 0, 1, 1 }, false);
        mView->AddObject(movable);
        mView->AddObject(fixed); // topmost in z-order, but drawn first
        movable->SetSelected(true);
        ASSERT_TRUE(Settle());
        PixelProbe const probe = ProbeMap();
        EXPECT_TRUE(IsColour(MapPixel(probe, { CGRectGetMidX(area), CGRectGetMidY(area) }), 255, 0, 0));
        EXPECT_TRUE(IsColour(MapPixel(probe, { CGRectGetMinX(area) - 10, CGRectGetMidY(area) }), 0, 0, 255));
        // The selected resizable square shows its grow boxes, drawn over the blue.
        Pixel const handle = MapPixel(probe, { CGRectGetMinX(area) - 1, CGRectGetMinY(area) - 1 });
        EXPECT_FALSE(IsColour(handle, 0, 0, 255, 255, 20)) << "a grow box at the corner";
    }

    TEST_F(MapDraw, EverythingOutsideTheCropIsShadedAtEveryDepth)
    {
        Show(kGoteborg, 12);
        ASSERT_TRUE(Settle());
        PixelProbe const before = ProbeMap();
        CGRect const visible = mView->GetVisibleContent();
        CGPoint const in = CGPointMake(CGRectGetMidX(visible), CGRectGetMidY(visible));
        CGPoint const out = CGPointMake(CGRectGetMinX(visible) + 20, CGRectGetMinY(visible) + 20);
        Pixel const inBefore = MapPixel(before, in), outBefore = MapPixel(before, out);

        CMapCrop crop;
        crop.SetBounds(mView->Unproject(CGRectInset(visible, 100, 100)));
        mDocument.mCrop = &crop;
        mView->SetDocument(&mDocument);
        mDocument.BroadcastMessage(CViewMap::kMsgObjectAdded, &crop);
        ASSERT_TRUE(Settle());
        PixelProbe const after = ProbeMap();
        Pixel const inAfter = MapPixel(after, in), outAfter = MapPixel(after, out);
        EXPECT_NEAR(inAfter.g, inBefore.g + (255 - inBefore.g) * 0.1, 2) << "inside, only under the area's light fill";
        EXPECT_NEAR(outAfter.g, outBefore.g * 0.6, 3) << "outside, 40% darker";

        // Far down, with the crop far beyond the view's edges, all of the view is shaded.
        Show(CCoordinate(57.0, 11.0), CViewMap::kZoomMaximum);
        ASSERT_TRUE(Settle());
        PixelProbe const deep = ProbeMap();
        CGRect const now = mView->GetVisibleContent();
        Pixel const corner = MapPixel(deep, { CGRectGetMaxX(now) - 5, CGRectGetMaxY(now) - 5 });
        EXPECT_LT(corner.g, 180) << "shaded land";
        mDocument.mCrop = nullptr;
        mDocument.BroadcastMessage(CViewMap::kMsgObjectRemoved, &crop);
        EXPECT_TRUE(mWindow->NeedsUpdate()) << "the shade goes with the crop";
        ASSERT_TRUE(Settle());
        EXPECT_GT(MapPixel(ProbeMap(), { CGRectGetMaxX(now) - 5, CGRectGetMaxY(now) - 5 }).g, 200);
    }

    TEST_F(MapDraw, APrintedPageCarriesTheMapAsVectorsWithoutWaitingForTiles)
    {
        Show(kGoteborg, 12);
        Canvas page(640, 400, Canvas::Orientation::Flipped);
        CCarbonEvent draw(kEventClassControl, kEventControlDraw);
        draw.SetCGContext(page.Context());
        draw.SetParameterBool(CCanvasView::kEventParamPrinting, true);
        EXPECT_EQ(mView->DoEventControlDraw(draw), noErr);
        EXPECT_FALSE(mView->GetRenderer()->IsRendering()) << "printing asks the workers for nothing";
        EXPECT_EQ(mView->GetTileCount(), 0u);
        PixelProbe const probe = page.Probe();
        EXPECT_EQ(probe.Count(probe.Whole(), IsClear), 0) << "the whole page is map";
        EXPECT_GT(mView->GetFootprints().size(), 0u) << "the page's names took their places";
    }

    TEST_F(MapDraw, AFootprintIsRefusedWhenEmptyOrTouchingAnother)
    {
        EXPECT_FALSE(mView->AddFootprint(CGRectMake(10, 10, 0, 20), true));
        EXPECT_TRUE(mView->GetFootprints().empty()) << "nothing reserved";
        EXPECT_TRUE(mView->AddFootprint(CGRectMake(10, 10, 20, 20), false));
        EXPECT_TRUE(mView->GetFootprints().empty()) << "a test reserves nothing";
        EXPECT_TRUE(mView->AddFootprint(CGRectMake(10, 10, 20, 20), true));
        EXPECT_FALSE(mView->AddFootprint(CGRectMake(30, 10, 20, 20), true)) << "sharing an edge";
        EXPECT_FALSE(mView->AddFootprint(CGRectMake(0, 0, 11, 11), true));
        EXPECT_TRUE(mView->AddFootprint(CGRectMake(30.5, 10, 20, 20), true));
        EXPECT_EQ(mView->GetFootprints().size(), 2u);
        // Each pass starts with none.
        Show(kEurope, 3);
        ASSERT_TRUE(Settle());
        for (CGRect const& name : mView->GetFootprints())
            EXPECT_FALSE(CGRectEqualToRect(name, CGRectMake(10, 10, 20, 20)));
    }

} // namespace
} // namespace tw::test
