#include "render/CGeometryCache.h"

#include "mapdata/CRegionLayer.h"
#include "render/CMapGeometry.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kBorderTolerance = 0.025; // [deg] sides of a border simplified apart stay this close
constexpr double kBorderCell = 0.25; // [deg] grid cell of the border search
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

// Ranking of a settlement: its population (or a class number standing for one) and capital status.
void SetPlaceRank(CachedShape& shape, CRegionLayer* layer, UInt32 id)
{
    CDBaseFile const& table = layer->GetAttributes();
    shape.population = EstimatePopulation(shape.feature);
    if (SInt32 field = table.FindField("population"); field >= 0) {
        if (auto value = table.GetNumber(id, UInt32(field)); value && *value > 0)
            shape.population = *value;
    } else if (SInt32 category = table.FindField("POP_CAT"); category >= 0) {
        if (auto value = table.GetNumber(id, UInt32(category)); value && *value >= 1 && *value <= 6)
            shape.population = std::pow(10.0, 2 + *value);
    }
    if (SInt32 code = table.FindField("fcode"); code >= 0)
        shape.capital = table.GetString(id, UInt32(code), true) == CString("PPLC");
}

double DistanceToSegment(SGPoint p, SGPoint a, SGPoint b)
{
    double const dx = b.x - a.x, dy = b.y - a.y;
    double const length = dx * dx + dy * dy;
    double t = length > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

} // namespace

std::shared_ptr<CachedShape> GeometryBuilder::Build(CRegionLayer* layer, UInt32 id, CMapGeometry const& geometry)
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
    if (layer->GetCategory() == kLayerCategorySettlement)
        SetPlaceRank(*shape, layer, id);
    return shape;
}

std::vector<std::vector<UInt8>> GeometryBuilder::FindSharedBorders(std::vector<SGShape> const& shapes, double tolerance)
{
    struct Segment {
        UInt32 shape, point;
    };
    std::vector<Segment> segments;
    std::unordered_map<SInt64, std::vector<UInt32>> cells;
    auto cellKey = [](SInt64 cx, SInt64 cy) { return (cx << 32) ^ (cy & 0xFFFFFFFF); };
    auto cellOf = [](double v) { return SInt64(std::floor(v / kBorderCell)); };
    auto forEachSegment = [&](auto&& visit) {
        for (UInt32 s = 0; s < shapes.size(); ++s)
            for (UInt32 part = 0; part < shapes[s].GetPartCount(); ++part)
                for (UInt32 i = shapes[s].parts[part]; i + 1 < shapes[s].GetPartEnd(part); ++i)
                    visit(s, i);
    };
    // 1. Every segment goes into the grid cells its bounds (grown by the tolerance) meet.
    forEachSegment([&](UInt32 s, UInt32 i) {
        SGPoint const a = shapes[s].points[i], b = shapes[s].points[i + 1];
        UInt32 const index = UInt32(segments.size());
        segments.push_back({ s, i });
        for (SInt64 cx = cellOf(std::min(a.x, b.x) - tolerance); cx <= cellOf(std::max(a.x, b.x) + tolerance); ++cx)
            for (SInt64 cy = cellOf(std::min(a.y, b.y) - tolerance); cy <= cellOf(std::max(a.y, b.y) + tolerance);
                 ++cy)
                cells[cellKey(cx, cy)].push_back(index);
    });
    // 2. A segment whose middle lies on another shape's segment is a border. Of the two shapes
    // that share it, the first draws it, so that it is drawn once.
    std::vector<std::vector<UInt8>> shared(shapes.size());
    for (UInt32 s = 0; s < shapes.size(); ++s)
        shared[s].assign(shapes[s].points.size(), 0);
    forEachSegment([&](UInt32 s, UInt32 i) {
        SGPoint const a = shapes[s].points[i], b = shapes[s].points[i + 1];
        SGPoint const middle { (a.x + b.x) / 2, (a.y + b.y) / 2 };
        auto found = cells.find(cellKey(cellOf(middle.x), cellOf(middle.y)));
        if (found == cells.end())
            return;
        for (UInt32 index : found->second) {
            Segment const other = segments[index];
            if (other.shape == s)
                continue;
            SGPoint const* q = &shapes[other.shape].points[other.point];
            if (DistanceToSegment(middle, q[0], q[1]) <= tolerance) {
                shared[s][i] = s < other.shape ? 1 : 0;
                if (s > other.shape)
                    return;
            }
        }
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
    mBorders.erase(layer);
}

std::shared_ptr<CGeometryCache::LayerBorders> CGeometryCache::GetBorders(CRegionLayer* layer)
{
    std::shared_ptr<LayerBorders> borders;
    {
        std::lock_guard lock(mLock);
        CheckLayer(layer);
        auto& slot = mBorders[layer];
        if (!slot.first)
            slot.first = std::make_shared<LayerBorders>();
        slot.second = Now();
        borders = slot.first;
    }
    // The first worker to need the layer finds its borders; the others wait for it.
    std::call_once(borders->once, [&] {
        CShapeFile const& file = layer->GetShapeFile();
        std::vector<SGShape> shapes(file.GetShapeCount());
        for (UInt32 id = 0; id < shapes.size(); ++id)
            file.GetShape(id, shapes[id]);
        borders->shared = GeometryBuilder::FindSharedBorders(shapes, kBorderTolerance);
    });
    return borders;
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
    std::shared_ptr<LayerBorders> borders = sharedBorders ? GetBorders(layer) : nullptr;
    std::vector<ShapeRef> made(missing.size());
    for (std::size_t m = 0; m < missing.size(); ++m) {
        UInt32 const id = ids[missing[m]];
        std::shared_ptr<CachedShape> shape = GeometryBuilder::Build(layer, id, geometry);
        if (shape && borders && id < borders->shared.size())
            shape->shared = borders->shared[id];
        made[m] = std::move(shape);
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
        std::erase_if(mBorders, [&](auto const& item) { return now - item.second.second >= kPurgeAge; });
        for (auto const& item : mShapes)
            oldest = std::min(oldest, item.second.lastUsed);
        for (auto const& item : mBorders)
            oldest = std::min(oldest, item.second.second);
        if (mShapes.empty() && mBorders.empty()) {
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
    mBorders.clear();
    mLayers.clear();
}
