#include "render/CGeometryCache.h"

#include "mapdata/CRegionLayer.h"
#include "render/CMapGeometry.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr double kBorderTolerance = 0.025; // [deg] sides of a border simplified apart stay this close
constexpr double kBorderCell = 0.1; // [deg] grid cell of the border search
constexpr double kPolarEdge = 85; // [deg] edges between points this far south or north run along a pole

double (*gClock)() = nullptr; // test only

// People in a place whose pack gives only a class or a category number.
double EstimatePopulation(LayerFeature feature)
{
    switch (feature) {
    case kLayerFeatureCityLarge:
        return 1e6;
    case kLayerFeatureCityMedium:
        return 1e5;
    default:
        return 1e4;
    }
}

double SignedArea(CGPoint const* p, std::size_t n)
{
    double area = 0;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++)
        area += (p[j].x - p[i].x) * (p[j].y + p[i].y);
    return area / 2;
}

// Where a ring's name goes: its centroid when that lies inside, else the middle of the widest
// span across the ring at the centroid's height; with the span's width.
std::pair<CGPoint, double> RingLabelPoint(CGPoint const* p, std::size_t n)
{
    double cx = 0, cy = 0, a = 0;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        double const cross = p[j].x * p[i].y - p[i].x * p[j].y;
        a += cross;
        cx += (p[j].x + p[i].x) * cross;
        cy += (p[j].y + p[i].y) * cross;
    }
    if (std::fabs(a) < 1e-18)
        return { p[0], 0 };
    cx /= 3 * a;
    cy /= 3 * a;
    std::vector<double> crossings;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++)
        if ((p[i].y > cy) != (p[j].y > cy))
            crossings.push_back(p[j].x + (cy - p[j].y) * (p[i].x - p[j].x) / (p[i].y - p[j].y));
    std::sort(crossings.begin(), crossings.end());
    CGPoint best { cx, cy };
    double bestWidth = 0;
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
        double const width = crossings[i + 1] - crossings[i];
        if (cx >= crossings[i] && cx <= crossings[i + 1])
            return { { cx, cy }, width };
        if (width > bestWidth) {
            bestWidth = width;
            best = { (crossings[i] + crossings[i + 1]) / 2, cy };
        }
    }
    return { best, bestWidth };
}

void SetAreaLabel(CachedShape& shape)
{
    double largest = 0;
    for (UInt32 part = 0; part < shape.parts.size(); ++part) {
        std::size_t const first = shape.parts[part], count = shape.GetPartEnd(part) - first;
        if (count < 3)
            continue;
        double const area = std::fabs(SignedArea(&shape.points[first], count));
        if (area > largest) {
            largest = area;
            std::tie(shape.labelPoint, shape.labelWidth) = RingLabelPoint(&shape.points[first], count);
        }
    }
}

SGBounds PartBounds(SGShape const& shape, UInt32 part, double grow)
{
    SGBounds b { 1e9, 1e9, -1e9, -1e9 };
    for (UInt32 i = shape.parts[part]; i < shape.GetPartEnd(part); ++i) {
        b.xmin = std::min(b.xmin, shape.points[i].x);
        b.ymin = std::min(b.ymin, shape.points[i].y);
        b.xmax = std::max(b.xmax, shape.points[i].x);
        b.ymax = std::max(b.ymax, shape.points[i].y);
    }
    return { b.xmin - grow, b.ymin - grow, b.xmax + grow, b.ymax + grow };
}

bool Meet(SGBounds const& a, SGBounds const& b)
{
    return a.xmin <= b.xmax && b.xmin <= a.xmax && a.ymin <= b.ymax && b.ymin <= a.ymax;
}

double SquaredDistanceToSegment(SGPoint p, SGPoint a, SGPoint b)
{
    double const dx = b.x - a.x, dy = b.y - a.y;
    double const length = dx * dx + dy * dy;
    double t = length > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length : 0;
    t = std::clamp(t, 0.0, 1.0);
    double const ex = p.x - (a.x + t * dx), ey = p.y - (a.y + t * dy);
    return ex * ex + ey * ey;
}

} // namespace

std::shared_ptr<CachedShape> GeometryBuilder::Build(
    CRegionLayer* layer, UInt32 id, CMapGeometry const& geometry, bool sharedBorders)
{
    SGShape source;
    if (layer->GetShapeFile().GetShape(id, source) != noErr)
        return nullptr;
    auto shape = std::make_shared<CachedShape>();
    shape->type = source.type;
    shape->feature = layer->GetFeature(id);
    shape->name = layer->GetAttributeString(id, 0, true).GetStdString();
    shape->points.reserve(source.points.size());
    for (UInt32 part = 0; part < source.GetPartCount() || (part == 0 && source.parts.empty()); ++part) {
        UInt32 const first = source.parts.empty() ? 0 : source.parts[part];
        UInt32 const end = source.parts.empty() ? UInt32(source.points.size()) : source.GetPartEnd(part);
        if (first > end || end > source.points.size())
            break;
        shape->parts.push_back(UInt32(shape->points.size()));
        CGRect bounds = CGRectNull;
        double shift = 0, previous = 0, previousY = 0;
        for (UInt32 i = first; i < end; ++i) {
            SGPoint const p = source.points[i];
            // A part that crosses the antimeridian stays in one piece: its longitudes run on past ±180°.
            // An edge along a pole (the cap that closes Antarctica) is left as it is.
            if (i > first && std::fabs(p.x - previous) > 180
                && !(std::fabs(p.y) >= kPolarEdge && std::fabs(previousY) >= kPolarEdge))
                shift += p.x < previous ? 360 : -360;
            previous = p.x;
            previousY = p.y;
            CGPoint const unit = geometry.ProjectUnit(p.y, p.x + shift);
            shape->points.push_back(unit);
            bounds = CGRectUnion(bounds, CGRectMake(unit.x, unit.y, 0, 0));
        }
        // Unwrapping may carry a part's body past the antimeridian: move it back a whole world so
        // that as much of it as can lies within the image.
        double best = 0, bestOverlap = -1;
        for (double k : { 0.0, 1.0, -1.0 }) {
            double const overlap = std::min(bounds.origin.x + bounds.size.width + k, 1.0) - std::max(bounds.origin.x + k, 0.0);
            if (overlap > bestOverlap + 1e-12) {
                bestOverlap = overlap;
                best = k;
            }
        }
        if (best != 0) {
            for (std::size_t i = shape->parts.back(); i < shape->points.size(); ++i)
                shape->points[i].x += best;
            bounds = CGRectOffset(bounds, best, 0);
        }
        shape->partBounds.push_back(bounds);
        shape->bounds = CGRectUnion(shape->bounds, bounds);
        if (source.parts.empty())
            break;
    }
    if (shape->type == kSGShapePolygon)
        SetAreaLabel(*shape);
    if (sharedBorders) {
        std::vector<std::pair<UInt32, SGShape>> neighbours;
        SGBounds const b = source.bounds;
        for (UInt32 other : layer->GetShapes({ b.xmin - kBorderTolerance, b.ymin - kBorderTolerance,
                 b.xmax + kBorderTolerance, b.ymax + kBorderTolerance }))
            if (other != id && layer->GetShapeFile().GetShape(other, neighbours.emplace_back(other, SGShape()).second) != noErr)
                neighbours.pop_back();
        shape->shared = FindSharedBorders(source, id, neighbours, kBorderTolerance);
    }
    if (layer->GetCategory() == kLayerCategorySettlement)
        std::tie(shape->population, shape->capital) = GetPlaceRank(layer, id, shape->feature);
    return shape;
}

std::pair<double, bool> GeometryBuilder::GetPlaceRank(CRegionLayer* layer, UInt32 id, LayerFeature feature)
{
    CDBaseFile const& table = layer->GetAttributes();
    double population = EstimatePopulation(feature);
    bool capital = false;
    if (SInt32 field = table.FindField("population"); field >= 0) {
        if (auto value = table.GetNumber(id, UInt32(field)); value && *value > 0)
            population = *value;
    } else if (SInt32 category = table.FindField("POP_CAT"); category >= 0) {
        if (auto value = table.GetNumber(id, UInt32(category)); value && *value >= 1 && *value <= 6)
            population = std::pow(10.0, 2 + *value);
    }
    if (SInt32 code = table.FindField("fcode"); code >= 0)
        capital = table.GetString(id, UInt32(code), true) == CString("PPLC");
    return { population, capital };
}

std::vector<UInt8> GeometryBuilder::FindSharedBorders(
    SGShape const& shape, UInt32 id, std::vector<std::pair<UInt32, SGShape>> const& others, double tolerance)
{
    struct Entry {
        UInt64 cell;
        UInt32 other, point;
        bool operator<(Entry const& rhs) const { return cell < rhs.cell; }
    };
    auto cellOf = [](double v) { return SInt64(std::floor(v / kBorderCell)); };
    auto key = [](SInt64 cx, SInt64 cy) { return (UInt64(cx + 0x80000000LL) << 32) | UInt64(cy + 0x80000000LL); };
    auto forEachSegment = [](SGShape const& s, auto&& visit) {
        for (UInt32 part = 0; part < s.GetPartCount(); ++part)
            for (UInt32 i = s.parts[part]; i + 1 < s.GetPartEnd(part); ++i)
                visit(i, s.points[i], s.points[i + 1]);
    };
    // 1. The whole degrees the shape's segments (grown by the tolerance) cover, and the bounds of its parts.
    std::vector<bool> covered(360 * 180, false);
    auto degree = [](double lon, double lat) {
        return std::size_t(std::clamp(SInt64(std::floor(lat + 90)), SInt64(0), SInt64(179)) * 360
            + std::clamp(SInt64(std::floor(lon + 180)), SInt64(0), SInt64(359)));
    };
    auto forEachDegree = [&](SGPoint a, SGPoint b, auto&& visit) {
        for (double lat = std::floor(std::min(a.y, b.y) - tolerance); lat <= std::max(a.y, b.y) + tolerance; ++lat)
            for (double lon = std::floor(std::min(a.x, b.x) - tolerance); lon <= std::max(a.x, b.x) + tolerance; ++lon)
                if (visit(degree(lon, lat)))
                    return true;
        return false;
    };
    forEachSegment(shape, [&](UInt32, SGPoint a, SGPoint b) {
        forEachDegree(a, b, [&](std::size_t d) { return covered[d] = true, false; });
    });
    std::vector<SGBounds> parts;
    for (UInt32 part = 0; part < shape.GetPartCount(); ++part)
        parts.push_back(PartBounds(shape, part, tolerance));
    // 2. The segments of the neighbours' parts near the shape's, in the grid cells their bounds
    // (grown by the tolerance) meet, sorted by cell.
    std::vector<Entry> entries;
    for (UInt32 o = 0; o < others.size(); ++o) {
        SGShape const& other = others[o].second;
        for (UInt32 part = 0; part < other.GetPartCount(); ++part) {
            SGBounds const bounds = PartBounds(other, part, 0);
            if (std::none_of(parts.begin(), parts.end(), [&](SGBounds const& p) { return Meet(p, bounds); }))
                continue;
            for (UInt32 i = other.parts[part]; i + 1 < other.GetPartEnd(part); ++i) {
                SGPoint const a = other.points[i], b = other.points[i + 1];
                if (!forEachDegree(a, b, [&](std::size_t d) { return bool(covered[d]); }))
                    continue;
                SInt64 const x0 = cellOf(std::min(a.x, b.x) - tolerance), x1 = cellOf(std::max(a.x, b.x) + tolerance);
                SInt64 const y0 = cellOf(std::min(a.y, b.y) - tolerance), y1 = cellOf(std::max(a.y, b.y) + tolerance);
                for (SInt64 cx = x0; cx <= x1; ++cx)
                    for (SInt64 cy = y0; cy <= y1; ++cy)
                        entries.push_back({ key(cx, cy), o, i });
            }
        }
    }
    std::sort(entries.begin(), entries.end());
    // 3. A segment whose middle lies on a neighbour's segment is a border; the shape draws it
    // unless a neighbour with a lower id shares it.
    std::vector<UInt8> shared(shape.points.size(), 0);
    double const squared = tolerance * tolerance;
    forEachSegment(shape, [&](UInt32 i, SGPoint a, SGPoint b) {
        SGPoint const middle { (a.x + b.x) / 2, (a.y + b.y) / 2 };
        Entry const probe { key(cellOf(middle.x), cellOf(middle.y)), 0, 0 };
        bool found = false, lower = false;
        for (auto e = std::lower_bound(entries.begin(), entries.end(), probe); e != entries.end() && e->cell == probe.cell;
             ++e) {
            SGPoint const* q = &others[e->other].second.points[e->point];
            if (SquaredDistanceToSegment(middle, q[0], q[1]) <= squared) {
                found = true;
                lower = lower || others[e->other].first < id;
            }
        }
        shared[i] = found && !lower;
    });
    return shared;
}

std::size_t CGeometryCache::KeyHash::operator()(Key const& key) const
{
    return std::hash<void const*>()(key.layer) ^ (std::size_t(key.shape) * 0x9E3779B97F4A7C15ULL);
}

CGeometryCache::CGeometryCache() = default;
CGeometryCache::~CGeometryCache() = default;

CGeometryCache& CGeometryCache::GetShared()
{
    // Never destroyed: its timer must not outlive the event loop at exit.
    static CGeometryCache* sCache = new CGeometryCache;
    return *sCache;
}

double CGeometryCache::Now()
{
    if (gClock)
        return gClock();
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void CGeometryCache::SetClockForTesting(double (*clock)()) { gClock = clock; }

// Layers are known by address; a layer freed with its map manager may have a successor at the same
// address, whose shapes must not be taken for its own.
void CGeometryCache::CheckLayer(CRegionLayer* layer)
{
    SGBounds const b = layer->GetBounds();
    char print[160];
    std::snprintf(print, sizeof print, "%.9g %.9g %.9g %.9g %d ", b.xmin, b.ymin, b.xmax, b.ymax, int(layer->GetShapeType()));
    std::string const fingerprint = print + layer->GetIdentifier().GetStdString();
    auto [slot, inserted] = mLayers.try_emplace(layer, fingerprint);
    if (inserted || slot->second == fingerprint)
        return;
    slot->second = fingerprint;
    std::erase_if(mShapes, [&](auto const& item) { return item.first.layer == layer; });
    mRanks.erase(layer);
}

CGeometryCache::Ranks::Ranks(UInt32 count)
    : mRanks(new std::atomic<float>[count])
    , mCount(count)
{
    for (UInt32 i = 0; i < count; ++i)
        mRanks[i].store(std::numeric_limits<float>::quiet_NaN(), std::memory_order_relaxed);
}

std::pair<double, bool> CGeometryCache::Ranks::Get(CRegionLayer* layer, UInt32 shape)
{
    if (shape >= mCount)
        return { 0, false };
    float rank = mRanks[shape].load(std::memory_order_relaxed);
    if (std::isnan(rank)) {
        auto const [population, capital] = GeometryBuilder::GetPlaceRank(layer, shape, layer->GetFeature(shape));
        rank = capital ? -float(population) - 1 : float(population);
        mRanks[shape].store(rank, std::memory_order_relaxed);
    }
    return rank < 0 ? std::pair { double(-rank - 1), true } : std::pair { double(rank), false };
}

std::shared_ptr<CGeometryCache::Ranks> CGeometryCache::GetRanks(CRegionLayer* layer)
{
    std::lock_guard lock(mLock);
    CheckLayer(layer);
    auto& entry = mRanks[layer];
    if (!entry.first)
        entry.first = std::make_shared<Ranks>(layer->GetShapeFile().GetShapeCount());
    entry.second = Now();
    return entry.first;
}

void CGeometryCache::GetShapes(CRegionLayer* layer, std::vector<UInt32> const& ids, bool sharedBorders,
    CMapGeometry const& geometry, std::vector<ShapeRef>& shapes)
{
    shapes.assign(ids.size(), nullptr);
    std::vector<std::size_t> missing;
    double const now = Now();
    {
        std::lock_guard lock(mLock);
        CheckLayer(layer);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            auto found = mShapes.find({ layer, ids[i] });
            if (found == mShapes.end()) {
                missing.push_back(i);
                continue;
            }
            found->second.lastUsed = now;
            shapes[i] = found->second.shape;
        }
    }
    if (missing.empty())
        return;
    std::vector<ShapeRef> made(missing.size());
    for (std::size_t m = 0; m < missing.size(); ++m) {
        UInt32 const id = ids[missing[m]];
        made[m] = GeometryBuilder::Build(layer, id, geometry, sharedBorders);
    }
    std::lock_guard lock(mLock);
    for (std::size_t m = 0; m < missing.size(); ++m) {
        if (!made[m])
            continue;
        // Another worker may have made the same shape meanwhile: either copy serves.
        auto [slot, inserted] = mShapes.try_emplace({ layer, ids[missing[m]] }, Entry { made[m], now });
        shapes[missing[m]] = slot->second.shape;
    }
}

void CGeometryCache::Purge()
{
    double const now = Now();
    double oldest = now;
    {
        std::lock_guard lock(mLock);
        std::erase_if(mShapes, [&](auto const& item) { return now - item.second.lastUsed >= kPurgeAge; });
        std::erase_if(mRanks, [&](auto const& item) { return now - item.second.second >= kPurgeAge; });
        for (auto const& item : mShapes)
            oldest = std::min(oldest, item.second.lastUsed);
        for (auto const& item : mRanks)
            oldest = std::min(oldest, item.second.second);
        if (mShapes.empty() && mRanks.empty()) {
            mLayers.clear();
            mTimer.RemoveTimer();
            return;
        }
    }
    // Next when the oldest entry comes of age.
    mTimer.InstallTimer(std::max(0.5, oldest + kPurgeAge - now), 0);
}

void CGeometryCache::SchedulePurge()
{
    if (!mTimer.IsInstalled() && GetCount() > 0)
        mTimer.InstallTimer(kPurgeAge, 0);
}

bool CGeometryCache::IsPurgeScheduled() const { return mTimer.IsInstalled(); }

std::size_t CGeometryCache::GetCount() const
{
    std::lock_guard lock(mLock);
    return mShapes.size();
}

void CGeometryCache::RemoveAll()
{
    std::lock_guard lock(mLock);
    mShapes.clear();
    mRanks.clear();
    mLayers.clear();
}
