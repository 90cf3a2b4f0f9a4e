#include "model/CRoadGraph.h"

#include "mapdata/CRegionLayer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <queue>
#include <unordered_map>

namespace {
constexpr double kDegreesToRadians = M_PI / 180;
constexpr double kEquatorialRadius = 6378137; // [m] WGS84
constexpr double kEccentricitySquared = 0.00669437999014;
constexpr double kPointsPerDegree = 1e7; // lines meet where their points agree to about a centimetre
constexpr double kFirstSnapRadius = 50; // [m]
constexpr UInt32 kNone = std::numeric_limits<UInt32>::max();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Metres per degree of longitude and of latitude at a latitude.
struct LocalScale {
    double x;
    double y;
};

LocalScale GetLocalScale(double latitude)
{
    double phi = latitude * kDegreesToRadians;
    double sine = std::sin(phi);
    double w = 1 - kEccentricitySquared * sine * sine;
    double normal = kEquatorialRadius / std::sqrt(w);
    double meridian = kEquatorialRadius * (1 - kEccentricitySquared) / (w * std::sqrt(w));
    return { normal * std::cos(phi) * kDegreesToRadians, meridian * kDegreesToRadians };
}

UInt64 GetNodeKey(SGPoint const& point)
{
    auto x = UInt32(SInt32(std::llround(point.x * kPointsPerDegree)));
    auto y = UInt32(SInt32(std::llround(point.y * kPointsPerDegree)));
    return (UInt64(x) << 32) | y;
}

bool IsUsablePoint(SGPoint const& point)
{
    return std::isfinite(point.x) && std::isfinite(point.y) && std::fabs(point.x) <= 180 && std::fabs(point.y) <= 90;
}

struct QueueEntry {
    double estimate; // [s] cost so far plus the heuristic
    double cost; // [s] so far
    UInt32 node;
    bool operator>(QueueEntry const& other) const { return estimate > other.estimate; }
};
} // namespace

double CRoadGraph::GetSpeed(LayerFeature feature)
{
    double kmh = 30;
    switch (feature) {
    case kLayerFeatureMotorway:
        kmh = 110;
        break;
    case kLayerFeatureTrunkRoad:
        kmh = 90;
        break;
    case kLayerFeaturePrimaryRoad:
        kmh = 70;
        break;
    case kLayerFeatureSecondaryRoad:
        kmh = 60;
        break;
    case kLayerFeatureTertiaryRoad:
        kmh = 50;
        break;
    default:
        break;
    }
    return kmh / 3.6;
}

SInt32 CRoadGraph::GetOneWayDirection(CString const& value)
{
    std::string text = value.GetStdString();
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (text == "yes" || text == "1" || text == "true")
        return 1;
    return text == "-1" ? -1 : 0;
}

double CRoadGraph::GetLocalDistance(SGPoint const& a, SGPoint const& b)
{
    LocalScale scale = GetLocalScale((a.y + b.y) / 2);
    return std::hypot((b.x - a.x) * scale.x, (b.y - a.y) * scale.y);
}

OSStatus CRoadGraph::Build(std::vector<CRegionLayer*> const& layers, std::atomic<bool> const& cancel)
{
    std::unordered_map<UInt64, UInt32> nodeIds;
    auto nodeOf = [&](SGPoint const& point) {
        auto [entry, added] = nodeIds.try_emplace(GetNodeKey(point), UInt32(mNodes.size()));
        if (added)
            mNodes.push_back(point);
        return entry->second;
    };
    SGShape shape;
    for (CRegionLayer* layer : layers) {
        if (layer->Open() != noErr)
            continue;
        CShapeFile const& shapes = layer->GetShapeFile();
        CDBaseFile const& attributes = layer->GetAttributes();
        SInt32 const oneWayField = attributes.FindField("oneway");
        UInt32 count = shapes.GetShapeCount();
        for (UInt32 id = 0; id < count; ++id) {
            if ((id & 255) == 0 && cancel.load(std::memory_order_relaxed))
                return userCanceledErr;
            if (shapes.GetShape(id, shape) != noErr || shape.type != kSGShapePolyLine
                || layer->GetAttributes().IsDeleted(id))
                continue;
            double speed = GetSpeed(layer->GetFeature(id));
            auto const direction
                = SInt8(oneWayField < 0 ? 0 : GetOneWayDirection(attributes.GetString(id, UInt32(oneWayField), true)));
            mMaxSpeed = std::max(mMaxSpeed, speed);
            for (UInt32 part = 0; part < shape.GetPartCount(); ++part) {
                UInt32 previous = kNone;
                for (UInt32 i = shape.parts[part]; i < shape.GetPartEnd(part); ++i) {
                    if (!IsUsablePoint(shape.points[i]))
                        continue;
                    UInt32 node = nodeOf(shape.points[i]);
                    if (previous != kNone && previous != node) {
                        double length = GetLocalDistance(mNodes[previous], mNodes[node]);
                        mEdges.push_back(Edge { previous, node, float(length / speed), direction });
                    }
                    previous = node;
                }
            }
        }
    }
    BuildAdjacency();
    BuildEdgeIndex();
    return noErr;
}

void CRoadGraph::BuildAdjacency()
{
    mFirstArc.assign(mNodes.size() + 1, 0);
    for (Edge const& edge : mEdges) {
        mFirstArc[edge.from + 1] += edge.IsForwardOpen();
        mFirstArc[edge.to + 1] += edge.IsBackwardOpen();
    }
    for (std::size_t i = 1; i < mFirstArc.size(); ++i)
        mFirstArc[i] += mFirstArc[i - 1];
    mArcs.resize(mFirstArc.back());
    std::vector<UInt32> next(mFirstArc.begin(), mFirstArc.end() - 1);
    for (UInt32 id = 0; id < mEdges.size(); ++id) {
        Edge const& edge = mEdges[id];
        if (edge.IsForwardOpen())
            mArcs[next[edge.from]++] = Arc { edge.to, id };
        if (edge.IsBackwardOpen())
            mArcs[next[edge.to]++] = Arc { edge.from, id };
    }
}

void CRoadGraph::BuildEdgeIndex()
{
    std::vector<CSpatialIndex::Entry> entries;
    entries.reserve(mEdges.size());
    for (UInt32 id = 0; id < mEdges.size(); ++id) {
        SGPoint const& a = mNodes[mEdges[id].from];
        SGPoint const& b = mNodes[mEdges[id].to];
        entries.push_back(
            { SGBounds { std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y) }, id });
    }
    mEdgeIndex.Build(std::move(entries));
}

// The point of the edge nearest to the given one, in a plane tangent at the given point.
void CRoadGraph::ProjectOnEdge(UInt32 edge, SGPoint const& point, Snap& snap) const
{
    SGPoint const& a = mNodes[mEdges[edge].from];
    SGPoint const& b = mNodes[mEdges[edge].to];
    LocalScale scale = GetLocalScale(point.y);
    double ax = (a.x - point.x) * scale.x, ay = (a.y - point.y) * scale.y;
    double dx = (b.x - a.x) * scale.x, dy = (b.y - a.y) * scale.y;
    double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? std::clamp(-(ax * dx + ay * dy) / lengthSquared, 0.0, 1.0) : 0;
    snap.edge = edge;
    snap.fraction = t;
    snap.point = SGPoint { a.x + t * (b.x - a.x), a.y + t * (b.y - a.y) };
    snap.distance = std::hypot(ax + t * dx, ay + t * dy);
}

bool CRoadGraph::FindNearestRoad(CCoordinate const& coordinate, double maxDistance, Snap& snap) const
{
    SGPoint point { coordinate.GetLongitude(), coordinate.GetLatitude() };
    if (!IsUsablePoint(point) || mEdges.empty() || !(maxDistance > 0))
        return false;
    LocalScale scale = GetLocalScale(point.y);
    bool found = false;
    std::vector<UInt32> edges;
    // Small boxes first: a road is usually near, and a wide box would read thousands of edges.
    for (double radius = std::min(kFirstSnapRadius, maxDistance);; radius = std::min(radius * 4, maxDistance)) {
        double dx = scale.x > 1 ? std::min(radius / scale.x, 360.0) : 360.0;
        double dy = radius / scale.y;
        edges.clear();
        mEdgeIndex.Query(SGBounds { point.x - dx, point.y - dy, point.x + dx, point.y + dy }, edges);
        for (UInt32 edge : edges) {
            Snap candidate;
            ProjectOnEdge(edge, point, candidate);
            if (!found || candidate.distance < snap.distance) {
                snap = candidate;
                found = true;
            }
        }
        if ((found && snap.distance <= radius) || radius >= maxDistance)
            break;
    }
    return found && snap.distance <= maxDistance;
}

double CRoadGraph::GetHeuristic(UInt32 node, SGPoint const& target) const
{
    // A little under the straight line at top speed, so the estimate never exceeds the truth.
    return 0.99 * GetLocalDistance(mNodes[node], target) / mMaxSpeed;
}

OSStatus CRoadGraph::FindPath(
    Snap const& from, Snap const& to, std::atomic<bool> const& cancel, std::vector<SGPoint>& path, bool& found) const
{
    found = false;
    path.clear();
    if (from.edge >= mEdges.size() || to.edge >= mEdges.size())
        return paramErr;
    // Two nodes beyond the graph's: the start (its snap) and the goal (the other snap).
    UInt32 const start = UInt32(mNodes.size()), goal = start + 1;
    std::vector<double> cost(mNodes.size() + 2, kInfinity);
    std::vector<UInt32> previous(mNodes.size() + 2, kNone);
    std::priority_queue<QueueEntry, std::vector<QueueEntry>, std::greater<QueueEntry>> queue;
    auto relax = [&](UInt32 node, double newCost, UInt32 via) {
        if (newCost >= cost[node])
            return;
        cost[node] = newCost;
        previous[node] = via;
        queue.push({ newCost + (node == goal ? 0 : GetHeuristic(node, to.point)), newCost, node });
    };
    Edge const& first = mEdges[from.edge];
    Edge const& last = mEdges[to.edge];
    if (first.IsBackwardOpen())
        relax(first.from, from.fraction * first.time, start);
    if (first.IsForwardOpen())
        relax(first.to, (1 - from.fraction) * first.time, start);
    if (from.edge == to.edge && (to.fraction >= from.fraction ? first.IsForwardOpen() : first.IsBackwardOpen()))
        relax(goal, std::fabs(from.fraction - to.fraction) * first.time, start);
    for (UInt32 steps = 1; !queue.empty(); ++steps) {
        QueueEntry entry = queue.top();
        queue.pop();
        if (entry.node == goal)
            break;
        if (entry.cost > cost[entry.node])
            continue; // a better way reached it since
        if ((steps & 1023) == 0 && cancel.load(std::memory_order_relaxed))
            return userCanceledErr;
        if (entry.node == last.from && last.IsForwardOpen())
            relax(goal, entry.cost + to.fraction * last.time, entry.node);
        if (entry.node == last.to && last.IsBackwardOpen())
            relax(goal, entry.cost + (1 - to.fraction) * last.time, entry.node);
        for (UInt32 i = mFirstArc[entry.node]; i < mFirstArc[entry.node + 1]; ++i)
            relax(mArcs[i].node, entry.cost + mEdges[mArcs[i].edge].time, entry.node);
    }
    if (cost[goal] == kInfinity)
        return noErr;
    path.push_back(to.point);
    for (UInt32 node = previous[goal]; node != start; node = previous[node])
        path.push_back(mNodes[node]);
    path.push_back(from.point);
    std::reverse(path.begin(), path.end());
    found = true;
    return noErr;
}
