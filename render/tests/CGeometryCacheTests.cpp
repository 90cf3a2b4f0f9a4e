#include "mapdata/CRegionLayer.h"
#include "render/CGeometryCache.h"
#include "render/CMapGeometry.h"
#include "render/tests/RenderTestSupport.h"

#include <algorithm>
#include <map>
#include <gtest/gtest.h>

namespace {

SGShape Square(double x, double y, double side)
{
    SGShape shape;
    shape.type = kSGShapePolygon;
    shape.parts = { 0 };
    shape.points = { { x, y }, { x, y + side }, { x + side, y + side }, { x + side, y }, { x, y } };
    return shape;
}

// A layer of the world pack.
CRegionLayer* FindLayer(CMapManager& manager, char const* identifier)
{
    for (CMapPack const* pack : manager.GetMapPacks()) {
        if (pack->GetIdentifier() != CString("com.tarnwick.map.world"))
            continue;
        CMapRegion const* region = pack->GetRegion(0);
        for (std::size_t i = 0; i < region->GetLayerCount(); ++i)
            if (region->GetLayer(i)->GetIdentifier() == CString(identifier))
                return region->GetLayer(i);
    }
    return nullptr;
}

double gNow = 1000;
double TestClock() { return gNow; }

} // namespace

TEST(GeometryBuilder, SharedBordersAreFoundOnceAndCoastsNever)
{
    // Two squares side by side, the right one simplified a little apart from the left.
    SGShape left = Square(0, 0, 1);
    SGShape right = Square(1, 0, 1);
    right.points[0].x = right.points[1].x = 1.01;
    left.bounds = { 0, 0, 1, 1 };
    right.bounds = { 1, 0, 2, 1 };
    // Left: up the west side (coast), along the top (coast), down the east side (border), back along the bottom.
    EXPECT_EQ(GeometryBuilder::FindSharedBorders(left, 0, { { 1, right } }, 0.025), (std::vector<UInt8> { 0, 0, 1, 0, 0 }));
    // The right square's copy of the border is left to the square with the lower id: drawn once.
    EXPECT_EQ(GeometryBuilder::FindSharedBorders(right, 1, { { 0, left } }, 0.025), (std::vector<UInt8>(5, 0)));
    // With the ids the other way round, the right square draws it.
    EXPECT_EQ(GeometryBuilder::FindSharedBorders(right, 0, { { 1, left } }, 0.025), (std::vector<UInt8> { 1, 0, 0, 0, 0 }));
    // Apart by more than the tolerance: no border.
    SGShape far = Square(1.1, 0, 1);
    far.bounds = { 1.1, 0, 2.1, 1 };
    EXPECT_EQ(GeometryBuilder::FindSharedBorders(left, 0, { { 1, far } }, 0.025), (std::vector<UInt8>(5, 0)));
}

TEST(GeometryBuilder, CountryBordersLeaveTheCoastsOutAndAreDrawnByOneSide)
{
    auto manager = tw::test::LoadMaps();
    ASSERT_TRUE(manager);
    CRegionLayer* countries = FindLayer(*manager, "countries");
    ASSERT_NE(countries, nullptr);
    CMapGeometry const geometry(*manager);
    std::map<std::string, std::shared_ptr<CachedShape>> shapes;
    for (UInt32 id = 0; id < countries->GetShapeFile().GetShapeCount(); ++id) {
        std::string const name = countries->GetAttributeString(id, 0, true).GetStdString();
        if (name == "Iceland" || name == "Switzerland" || name == "Austria")
            shapes[name] = GeometryBuilder::Build(countries, id, geometry, true);
    }
    ASSERT_EQ(shapes.size(), 3u);
    auto drawn = [](CachedShape const& shape) { return std::count(shape.shared.begin(), shape.shared.end(), 1); };
    EXPECT_EQ(drawn(*shapes["Iceland"]), 0); // all coast
    // The Swiss-Austrian border is drawn from one side only.
    std::ptrdiff_t const swiss = drawn(*shapes["Switzerland"]), austrian = drawn(*shapes["Austria"]);
    EXPECT_GT(swiss + austrian, 0);
    auto nearAustria = [&](CachedShape const& shape, CachedShape const& other) {
        int flagged = 0;
        for (std::size_t i = 0; i + 1 < shape.points.size(); ++i) {
            CGPoint const m { (shape.points[i].x + shape.points[i + 1].x) / 2, (shape.points[i].y + shape.points[i + 1].y) / 2 };
            for (CGPoint const& p : other.points)
                if (shape.shared[i] && std::fabs(p.x - m.x) < 1e-4 && std::fabs(p.y - m.y) < 1e-4) {
                    ++flagged;
                    break;
                }
        }
        return flagged;
    };
    int const fromSwiss = nearAustria(*shapes["Switzerland"], *shapes["Austria"]);
    int const fromAustria = nearAustria(*shapes["Austria"], *shapes["Switzerland"]);
    EXPECT_TRUE((fromSwiss > 0) != (fromAustria > 0)) << fromSwiss << " " << fromAustria;
}

TEST(GeometryBuilder, CountriesAcrossTheAntimeridianStayInOnePiece)
{
    auto manager = tw::test::LoadMaps();
    ASSERT_TRUE(manager);
    CRegionLayer* countries = FindLayer(*manager, "countries");
    ASSERT_NE(countries, nullptr);
    CMapGeometry const geometry(*manager);
    int checked = 0;
    for (UInt32 id = 0; id < countries->GetShapeFile().GetShapeCount(); ++id) {
        CString const name = countries->GetAttributeString(id, 0, true);
        if (name != CString("Fiji") && name != CString("Russia"))
            continue;
        auto shape = GeometryBuilder::Build(countries, id, geometry, false);
        ASSERT_TRUE(shape);
        ++checked;
        for (UInt32 part = 0; part < shape->parts.size(); ++part) {
            // No part jumps across the world, and each lies mostly inside the image.
            for (UInt32 i = shape->parts[part] + 1; i < shape->GetPartEnd(part); ++i)
                EXPECT_LT(std::fabs(shape->points[i].x - shape->points[i - 1].x), 0.25) << name.GetUTF8();
            CGRect const bounds = shape->partBounds[part];
            EXPECT_GT(CGRectGetMidX(bounds), -0.01);
            EXPECT_LT(CGRectGetMidX(bounds), 1.01);
        }
    }
    EXPECT_EQ(checked, 2);
}

TEST(CGeometryCache, ShapesAreReadOnceAndPurgedWhenUnused)
{
    auto manager = tw::test::LoadMaps();
    ASSERT_TRUE(manager);
    CRegionLayer* places = FindLayer(*manager, "places");
    ASSERT_NE(places, nullptr);
    CMapGeometry const geometry(*manager);
    CGeometryCache cache;
    CGeometryCache::SetClockForTesting(TestClock);
    std::vector<CGeometryCache::ShapeRef> first, again;
    cache.GetShapes(places, { 0, 1, 2 }, false, geometry, first);
    ASSERT_EQ(first.size(), 3u);
    ASSERT_TRUE(first[0]);
    EXPECT_FALSE(first[0]->name.empty());
    EXPECT_GT(first[0]->population, 1e6); // the pack lists its places greatest first
    cache.GetShapes(places, { 2, 0 }, false, geometry, again);
    EXPECT_EQ(again[0].get(), first[2].get()); // the same entry, not read again
    EXPECT_EQ(cache.GetCount(), 3u);

    // One entry used again a minute later survives the purge two minutes after the first use.
    gNow += 60;
    cache.GetShapes(places, { 1 }, false, geometry, again);
    cache.SchedulePurge();
    EXPECT_TRUE(cache.IsPurgeScheduled());
    gNow += 61;
    cache.Purge();
    EXPECT_EQ(cache.GetCount(), 1u);
    EXPECT_TRUE(cache.IsPurgeScheduled());
    gNow += 120;
    cache.Purge();
    EXPECT_EQ(cache.GetCount(), 0u);
    EXPECT_FALSE(cache.IsPurgeScheduled()); // nothing left: no timer runs
    CGeometryCache::SetClockForTesting(nullptr);
}
