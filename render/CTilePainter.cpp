#include "render/CTilePainter.h"

#include "mapdata/CMapManager.h"
#include "mapdata/CRegionLayer.h"
#include "render/CCoreGraphicsUtilities.h"
#include "render/CGeometryCache.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace {

constexpr double kThinning = 0.35; // [px] points closer than this to the last one are dropped
constexpr CGFloat kLabelGap = 2; // [px] between a marker and its name
constexpr CGFloat kLinePadding = 10; // [px] of straight road before and after a road name
constexpr CGFloat kAreaPadding = 8; // [px] an area is this much wider than its name, or goes unnamed
constexpr CGFloat kRoundWidth = 2.5; // [px] lines this wide get round joins and caps
constexpr float kFirstPriority = 1000; // above every priority a style gives
constexpr double kLeastArea = 6; // [px²] parts of areas whose bounds are smaller are left out at this level

enum class Pass { kCasing, kFill, kStroke };

struct LayerFilterContext {
    UInt32 level;
};

bool LayerIsVisible(CRegionLayer const* layer, void* context)
{
    return CMapStyles::IsCategoryVisible(layer->GetCategory(), static_cast<LayerFilterContext*>(context)->level);
}

// Islands and ponds too small to see at the level are generalised away, as on a printed map.
bool IsSpeck(CGRect const& unitBounds, double side)
{
    return unitBounds.size.width * side * unitBounds.size.height * side < kLeastArea;
}

UInt64 Mix(UInt64 hash, UInt64 value)
{
    hash ^= value + 0x9E3779B97F4A7C15ULL + (hash << 6) + (hash >> 2);
    return hash;
}

} // namespace

struct CTilePainter::Frame {
    CGRect rect; // [image px]
    UInt32 level;
    double side; // [px] of the world image
    CGRect grown; // [tile px] the rectangle plus the margin, in the rectangle's own coordinates
    CGRect unit; // the grown rectangle in unit world coordinates
};

struct CTilePainter::Item {
    MapStyle const* style;
    CGeometryCache::ShapeRef shape;
    CRegionLayer const* layer;
    UInt32 id;
    double shift; // whole worlds to the right
};

struct CTilePainter::Op {
    SInt32 order;
    Pass pass;
    MapStyle const* style;
    std::size_t item;
};

CTilePainter::CTilePainter(CMapManager& manager, CGeometryCache& cache)
    : mManager(manager)
    , mCache(cache)
    , mGeometry(manager)
{
}

OSStatus CTilePainter::Paint(CGContextRef context, CGRect const& rect, UInt32 level, std::vector<CMapLabel>& labels,
    std::atomic<bool> const* stop)
{
    Frame frame;
    frame.rect = CGRectStandardize(rect);
    frame.level = std::min(level, CMapGeometry::kZoomMaximum);
    frame.side = CMapGeometry::GetImageSide(frame.level);
    frame.grown = CGRectMake(-kMargin, -kMargin, frame.rect.size.width + 2 * kMargin,
        frame.rect.size.height + 2 * kMargin);
    frame.unit = CGRectMake((frame.rect.origin.x - kMargin) / frame.side, (frame.rect.origin.y - kMargin) / frame.side,
        frame.grown.size.width / frame.side, frame.grown.size.height / frame.side);

    // 1. The sea under everything.
    CGContextSaveGState(context);
    CGContextClipToRect(context, frame.rect);
    CCoreGraphicsUtilities::SetFillColour(context, CMapStyles::GetSeaColour());
    CGContextFillRect(context, frame.rect);

    // 2. The shapes, in tile coordinates.
    std::vector<Item> items;
    CollectItems(frame, items);
    CGContextTranslateCTM(context, frame.rect.origin.x, frame.rect.origin.y);
    DrawOps(context, frame, items, stop);
    CGContextRestoreGState(context);
    if (stop && *stop)
        return userCanceledErr;

    // 3. The names anchored here.
    std::size_t const first = labels.size();
    CollectLabels(frame, items, labels);
    for (std::size_t i = first; i < labels.size(); ++i)
        labels[i].Offset(frame.rect.origin.x, frame.rect.origin.y);
    return stop && *stop ? userCanceledErr : noErr;
}

void CTilePainter::CollectItems(Frame const& frame, std::vector<Item>& items) const
{
    // Past the antimeridian the rectangle shows the other end of the world: read that too.
    double const u0 = frame.unit.origin.x, u1 = frame.unit.origin.x + frame.unit.size.width;
    std::vector<std::pair<double, double>> spans;
    if (u1 > 0 && u0 < 1)
        spans.push_back({ std::max(u0, 0.0), std::min(u1, 1.0) });
    if (u0 < 0)
        spans.push_back({ std::max(u0 + 1, 0.0), 1 });
    if (u1 > 1)
        spans.push_back({ 0, std::min(u1 - 1, 1.0) });
    double const v0 = std::clamp(frame.unit.origin.y, -0.5, 1.5);
    double const v1 = std::clamp(frame.unit.origin.y + frame.unit.size.height, -0.5, 1.5);
    double const north = mGeometry.UnprojectUnit({ 0.5, v0 }).GetLatitude();
    double const south = mGeometry.UnprojectUnit({ 0.5, v1 }).GetLatitude();
    LayerFilterContext filter { frame.level };
    // 1. The shapes whose bounds meet the rectangle, each layer once.
    std::map<CRegionLayer*, std::vector<UInt32>> found;
    for (auto const& [west, east] : spans) {
        CCoordinateRect const area(CCoordinate(north, west * 360 - 180), CCoordinate(south, east * 360 - 180));
        SGBounds const bounds = area.GetSGBounds();
        for (CRegionLayer* layer : mManager.GetRegionLayers(area, LayerIsVisible, &filter)) {
            std::vector<UInt32> const ids = layer->GetShapes(bounds);
            found[layer].insert(found[layer].end(), ids.begin(), ids.end());
        }
    }
    // 2. Their styles, and the copies (a world to either side) that the rectangle shows.
    std::vector<CGeometryCache::ShapeRef> shapes;
    for (auto& entry : found) {
        // Named, not bound: lambdas below capture the layer.
        auto* const layer = entry.first;
        auto& ids = entry.second;
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        LayerCategory const category = layer->GetCategory();
        MapStyle const* layerStyle = CMapStyles::Find(category, kLayerFeatureNone);
        if (category == kLayerCategorySettlement) {
            // Places too small for the level are passed over before they are read.
            auto const ranks = mCache.GetRanks(layer);
            double const least = CMapStyles::GetPlacePopulation(frame.level);
            bool const capitals = frame.level >= CMapStyles::GetCapitalZoom();
            std::erase_if(ids, [&](UInt32 id) {
                auto const [population, capital] = ranks->Get(layer, id);
                return population < least && !(capitals && capital);
            });
        } else if (category == kLayerCategoryLand || category == kLayerCategoryRiver) {
            // Land and rivers at another scale than this level's are passed over before they are read.
            std::erase_if(ids, [&](UInt32 id) {
                MapStyle const* style = CMapStyles::Find(category, layer->GetFeature(id));
                return !style || frame.level < style->minZoom || frame.level > style->maxZoom;
            });
        }
        mCache.GetShapes(layer, ids, layerStyle && layerStyle->bordersOnly, mGeometry, shapes);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            CachedShape const* shape = shapes[i].get();
            if (!shape)
                continue;
            MapStyle const* style = CMapStyles::Find(category, shape->feature);
            if (!style || frame.level < style->minZoom || frame.level > style->maxZoom)
                continue;
            if (category == kLayerCategorySettlement && shape->population < CMapStyles::GetPlacePopulation(frame.level)
                && !(shape->capital && frame.level >= CMapStyles::GetCapitalZoom()))
                continue;
            for (double shift : { 0.0, -1.0, 1.0 })
                if (CGRectIntersectsRect(CGRectInset(CGRectOffset(shape->bounds, shift, 0), -1e-12, -1e-12), frame.unit))
                    items.push_back({ style, shapes[i], layer, ids[i], shift });
        }
    }
}

void CTilePainter::DrawOps(
    CGContextRef context, Frame const& frame, std::vector<Item> const& items, std::atomic<bool> const* stop) const
{
    float const zoom = float(frame.level);
    std::vector<Op> ops;
    for (std::size_t i = 0; i < items.size(); ++i) {
        MapStyle const& style = *items[i].style;
        bool const area = items[i].shape->type == kSGShapePolygon;
        if (items[i].shape->type == kSGShapePoint || items[i].shape->type == kSGShapeMultiPoint)
            continue; // markers go with the names
        if (area && style.fill.alpha > 0 && !style.bordersOnly)
            ops.push_back({ style.order, Pass::kFill, &style, i });
        if (style.casing.alpha > 0 && EvaluateRamp(style.casingWidth, zoom) > 0)
            ops.push_back({ style.casingOrder, Pass::kCasing, &style, i });
        if (style.stroke.alpha > 0 && EvaluateRamp(style.width, zoom) > 0)
            ops.push_back({ style.order, Pass::kStroke, &style, i });
    }
    std::stable_sort(ops.begin(), ops.end(), [](Op const& a, Op const& b) {
        if (a.order != b.order)
            return a.order < b.order;
        return a.pass != b.pass ? a.pass < b.pass : a.style < b.style;
    });
    std::vector<ClipRun> runs;
    for (std::size_t begin = 0; begin < ops.size();) {
        if (stop && *stop)
            return;
        std::size_t end = begin;
        while (end < ops.size() && ops[end].order == ops[begin].order && ops[end].pass == ops[begin].pass
            && ops[end].style == ops[begin].style)
            ++end;
        MapStyle const& style = *ops[begin].style;
        CGContextBeginPath(context);
        if (ops[begin].pass == Pass::kFill) {
            for (std::size_t i = begin; i < end; ++i)
                AddRings(context, frame, items[ops[i].item]);
            CCoreGraphicsUtilities::SetFillColour(context, style.fill);
            CGContextFillPath(context);
            begin = end;
            continue;
        }
        bool const casing = ops[begin].pass == Pass::kCasing;
        runs.clear();
        for (std::size_t i = begin; i < end; ++i)
            CollectRuns(frame, items[ops[i].item], frame.grown, runs);
        bool const dashed = !casing && style.dash[0] > 0;
        CCoreGraphicsUtilities::SetStrokeColour(context, casing ? style.casing : style.stroke);
        CGFloat const width = EvaluateRamp(casing ? style.casingWidth : style.width, zoom);
        CGContextSetLineWidth(context, width);
        // Round joins and caps show only on wide lines; on thin ones they cost the rasteriser
        // an arc at every vertex for nothing.
        bool const wide = width >= kRoundWidth;
        CGContextSetLineJoin(context, wide ? kCGLineJoinRound : kCGLineJoinBevel);
        CGContextSetLineCap(context, wide && !dashed ? kCGLineCapRound : kCGLineCapButt);
        for (ClipRun const& run : runs) {
            if (run.points.size() < 2)
                continue;
            if (dashed) {
                CGFloat const lengths[2] = { style.dash[0], style.dash[1] };
                CGContextSetLineDash(context, run.startLength, lengths, 2);
            }
            CGContextAddLines(context, run.points.data(), run.points.size());
            if (dashed)
                CGContextStrokePath(context);
        }
        if (!dashed)
            CGContextStrokePath(context);
        CGContextSetLineDash(context, 0, nullptr, 0);
        begin = end;
    }
}

// Each part of an area that reaches the rectangle, cut to it.
void CTilePainter::AddRings(CGContextRef context, Frame const& frame, Item const& item) const
{
    CachedShape const& shape = *item.shape;
    std::vector<CGPoint>& ring = mRing;
    std::vector<CGPoint>& clipped = mClipped;
    double const dx = item.shift * frame.side - frame.rect.origin.x;
    double const dy = -frame.rect.origin.y;
    for (UInt32 part = 0; part < shape.parts.size(); ++part) {
        if (!CGRectIntersectsRect(CGRectOffset(shape.partBounds[part], item.shift, 0), frame.unit)
            || IsSpeck(shape.partBounds[part], frame.side))
            continue;
        ring.clear();
        for (UInt32 i = shape.parts[part]; i < shape.GetPartEnd(part); ++i)
            ring.push_back({ shape.points[i].x * frame.side + dx, shape.points[i].y * frame.side + dy });
        CClipUtilities::Thin(ring, kThinning);
        CClipUtilities::ClipPolygon(ring, frame.grown, clipped);
        if (clipped.size() < 3)
            continue;
        CGContextAddLines(context, clipped.data(), clipped.size());
        CGContextClosePath(context);
    }
}

// The lines of a shape cut to the clip rectangle: an area's outline (or only the borders it shares),
// a line's parts.
void CTilePainter::CollectRuns(Frame const& frame, Item const& item, CGRect const& clip, std::vector<ClipRun>& runs) const
{
    CachedShape const& shape = *item.shape;
    bool const area = shape.type == kSGShapePolygon;
    // A border layer whose borders could not be found draws nothing rather than its coasts.
    if (item.style->bordersOnly && shape.shared.size() != shape.points.size())
        return;
    bool const borders = item.style->bordersOnly;
    double const dx = item.shift * frame.side - frame.rect.origin.x;
    double const dy = -frame.rect.origin.y;
    std::vector<CGPoint>& line = mLine;
    line.clear();
    auto flush = [&] {
        CClipUtilities::Thin(line, kThinning);
        if (line.size() >= 2)
            CClipUtilities::ClipPolyline(line, clip, runs);
        line.clear();
    };
    for (UInt32 part = 0; part < shape.parts.size(); ++part) {
        if (!CGRectIntersectsRect(CGRectOffset(shape.partBounds[part], item.shift, 0), frame.unit)
            || (area && !borders && IsSpeck(shape.partBounds[part], frame.side)))
            continue;
        UInt32 const first = shape.parts[part], end = shape.GetPartEnd(part);
        auto point = [&](UInt32 i) { return CGPoint { shape.points[i].x * frame.side + dx, shape.points[i].y * frame.side + dy }; };
        for (UInt32 i = first; i < end; ++i) {
            if (borders) {
                // Runs of shared segments only.
                if (i + 1 < end && shape.shared[i]) {
                    if (line.empty())
                        line.push_back(point(i));
                    line.push_back(point(i + 1));
                } else if (!line.empty()) {
                    flush();
                }
                continue;
            }
            line.push_back(point(i));
        }
        if (area && !borders && end - first > 2)
            line.push_back(point(first));
        flush();
    }
}

namespace {

CGRect RectAround(CGPoint centre, CGSize size, CGFloat outset)
{
    return CGRectMake(centre.x - size.width / 2 - outset, centre.y - size.height / 2 - outset,
        size.width + 2 * outset, size.height + 2 * outset);
}

bool Contains(CGRect const& rect, CGPoint p)
{
    return p.x >= rect.origin.x && p.x < rect.origin.x + rect.size.width && p.y >= rect.origin.y
        && p.y < rect.origin.y + rect.size.height;
}

// The straightest stretch of the run long enough for the text, nearest the run's middle: its two ends.
bool FindStretch(std::vector<CGPoint> const& points, CGFloat length, CGFloat tolerance, CGPoint& from, CGPoint& to)
{
    std::vector<CGFloat> along(points.size(), 0);
    for (std::size_t i = 1; i < points.size(); ++i)
        along[i] = along[i - 1] + std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
    CGFloat const total = along.back();
    if (total < length)
        return false;
    CGFloat best = -1;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        if (along[i] + length > total)
            break;
        std::size_t j = i + 1;
        while (along[j] < along[i] + length)
            ++j;
        CGFloat const t = (along[i] + length - along[j - 1]) / std::max<CGFloat>(along[j] - along[j - 1], 1e-9);
        CGPoint const end { points[j - 1].x + t * (points[j].x - points[j - 1].x),
            points[j - 1].y + t * (points[j].y - points[j - 1].y) };
        CGFloat const cx = end.x - points[i].x, cy = end.y - points[i].y, chord = std::hypot(cx, cy);
        bool straight = chord > 0.9 * length;
        for (std::size_t k = i + 1; straight && k < j; ++k)
            straight = std::fabs((points[k].x - points[i].x) * cy - (points[k].y - points[i].y) * cx) / chord <= tolerance;
        if (!straight)
            continue;
        CGFloat const score = std::fabs(along[i] + length / 2 - total / 2);
        if (best < 0 || score < best) {
            best = score;
            from = points[i];
            to = end;
        }
    }
    return best >= 0;
}

} // namespace

void CTilePainter::CollectLabels(Frame const& frame, std::vector<Item> const& items, std::vector<CMapLabel>& labels) const
{
    float const zoom = float(frame.level);
    CGRect const own = CGRectMake(0, 0, frame.rect.size.width, frame.rect.size.height);
    double const dy = -frame.rect.origin.y;
    std::map<std::string, std::pair<CGFloat, std::size_t>> roads; // best stretch per road name: length, label
    for (Item const& item : items) {
        MapStyle const& style = *item.style;
        LabelStyle const& label = style.label;
        CachedShape const& shape = *item.shape;
        double const dx = item.shift * frame.side - frame.rect.origin.x;
        auto toTile = [&](CGPoint unit) { return CGPoint { unit.x * frame.side + dx, unit.y * frame.side + dy }; };
        bool const named = !shape.name.empty() && label.kind != LabelKind::kNone && frame.level >= label.minZoom
            && frame.level <= label.maxZoom;
        UInt64 const id = Mix(Mix(Mix(UInt64(reinterpret_cast<uintptr_t>(item.layer)), item.id), UInt64(item.shift + 2)),
            UInt64(frame.rect.origin.x) * 0x100000000ULL + UInt64(frame.rect.origin.y));
        float const size = EvaluateRamp(label.size, zoom);
        CString const text(shape.name.c_str());

        if (style.marker != MarkerKind::kNone || label.kind == LabelKind::kPoint) {
            // 1. Points: marker and name together, the name beside the marker where there is room.
            if (shape.points.empty() || !named)
                continue;
            CGPoint const anchor = toTile(shape.points[0]);
            if (!Contains(own, anchor))
                continue;
            float const diameter = EvaluateRamp(style.markerSize, zoom);
            float priority = label.priority;
            if (shape.population > 0)
                priority += 10 * float(std::log10(shape.population)) + (shape.capital ? 25 : 0);
            CMapLabel placed(id, priority, text, label, size, 0);
            CGSize const textSize = placed.GetTextSize();
            CGFloat const r = diameter / 2;
            CGRect const marker = RectAround(anchor, CGSizeMake(diameter, diameter), 1);
            CGFloat const offsetX = r + kLabelGap + textSize.width / 2, offsetY = r + kLabelGap + textSize.height / 2;
            CGPoint const centres[] = { { anchor.x + offsetX, anchor.y }, { anchor.x - offsetX, anchor.y },
                { anchor.x, anchor.y - offsetY }, { anchor.x, anchor.y + offsetY } };
            for (CGPoint const centre : diameter > 0 ? std::vector(std::begin(centres), std::end(centres))
                                                      : std::vector<CGPoint> { anchor }) {
                LabelPlacement placement { centre, { RectAround(centre, textSize, 1) } };
                if (diameter > 0)
                    placement.footprints.push_back(marker);
                placed.AddPlacement(std::move(placement));
            }
            if (diameter > 0)
                placed.SetMarker(style, anchor, diameter);
            labels.push_back(std::move(placed));
        } else if (label.kind == LabelKind::kArea && named) {
            // 2. Areas: the name at the label point of the largest part, when the part is wide enough.
            CGPoint const anchor = toTile(shape.labelPoint);
            if (!Contains(own, anchor))
                continue;
            // A world map names its countries before its towns.
            float const first = zoom < label.firstBelowZoom ? kFirstPriority : 0;
            CMapLabel placed(
                id, first + label.priority + float(std::log10(1 + shape.labelWidth * frame.side)), text, label, size, 0);
            CGSize const textSize = placed.GetTextSize();
            if (shape.labelWidth * frame.side < textSize.width + 2 * kAreaPadding)
                continue;
            placed.AddPlacement({ anchor, { RectAround(anchor, textSize, 1) } });
            labels.push_back(std::move(placed));
        } else if (label.kind == LabelKind::kLine && named) {
            // 3. Lines: along the straightest stretch inside this tile, once per name.
            std::vector<ClipRun> runs;
            CollectRuns(frame, item, own, runs);
            CMapLabel placed(id, label.priority, text, label, size, 0);
            CGSize const textSize = placed.GetTextSize();
            CGFloat const length = textSize.width + 2 * kLinePadding;
            CGPoint from {}, to {};
            bool found = false;
            for (ClipRun const& run : runs)
                found = found || FindStretch(run.points, length, textSize.height * 0.25, from, to);
            if (!found)
                continue;
            CGFloat angle = std::atan2(to.y - from.y, to.x - from.x);
            if (angle > std::numbers::pi / 2)
                angle -= std::numbers::pi;
            else if (angle <= -std::numbers::pi / 2)
                angle += std::numbers::pi;
            CMapLabel along(id, label.priority, text, label, size, float(angle));
            CGPoint const centre { (from.x + to.x) / 2, (from.y + to.y) / 2 };
            LabelPlacement placement { centre, {} };
            // Squares along the text, as high as the text.
            CGFloat const h = textSize.height, w = textSize.width;
            int const count = std::max(1, int(std::ceil(w / h)));
            for (int k = 0; k < count; ++k) {
                CGFloat const t = count == 1 ? 0 : -w / 2 + h / 2 + k * (w - h) / (count - 1);
                CGPoint const c { centre.x + t * std::cos(angle), centre.y + t * std::sin(angle) };
                placement.footprints.push_back(RectAround(c, CGSizeMake(h, h), 0));
            }
            along.AddPlacement(std::move(placement));
            auto [slot, inserted] = roads.try_emplace(shape.name, length, labels.size());
            if (inserted) {
                labels.push_back(std::move(along));
            } else if (length > slot->second.first) {
                slot->second.first = length;
                labels[slot->second.second] = std::move(along);
            }
        }
    }
}
