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
    BuildNetworkReach();
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

// The largest strongly connected part (Kosaraju's two passes, without recursion), then what
// reaches it and what it reaches.
void CRoadGraph::BuildNetworkReach()
{
    std::size_t const count = mNodes.size();
    mLeadsToNetwork.assign(count, false);
    mReachedFromNetwork.assign(count, false);
    if (count == 0)
        return;
    // The arcs turned round.
    std::vector<UInt32> firstBack(count + 1, 0);
    for (Arc const& arc : mArcs)
        ++firstBack[arc.node + 1];
    for (std::size_t i = 1; i <= count; ++i)
        firstBack[i] += firstBack[i - 1];
    std::vector<UInt32> back(mArcs.size());
    {
        std::vector<UInt32> next(firstBack.begin(), firstBack.end() - 1);
        for (UInt32 node = 0; node < count; ++node)
            for (UInt32 i = mFirstArc[node]; i < mFirstArc[node + 1]; ++i)
                back[next[mArcs[i].node]++] = node;
    }
    // First pass: the nodes in the order their depth-first visits finish.
    std::vector<UInt32> finished;
    finished.reserve(count);
    std::vector<bool> seen(count, false);
    std::vector<std::pair<UInt32, UInt32>> stack; // node, its next arc
    for (UInt32 root = 0; root < count; ++root) {
        if (seen[root])
            continue;
        seen[root] = true;
        stack.push_back({ root, mFirstArc[root] });
        while (!stack.empty()) {
            auto& [node, arc] = stack.back();
            if (arc == mFirstArc[node + 1]) {
                finished.push_back(node);
                stack.pop_back();
                continue;
            }
            UInt32 const next = mArcs[arc++].node;
            if (!seen[next]) {
                seen[next] = true;
                stack.push_back({ next, mFirstArc[next] });
            }
        }
    }
    // Second pass on the turned arcs, latest finished first: each sweep is one part.
    std::vector<UInt32> part(count, kNone);
    std::vector<UInt32> sizes;
    std::vector<UInt32> todo;
    for (auto root = finished.rbegin(); root != finished.rend(); ++root) {
        if (part[*root] != kNone)
            continue;
        UInt32 const id = UInt32(sizes.size());
        sizes.push_back(0);
        part[*root] = id;
        todo.push_back(*root);
        while (!todo.empty()) {
            UInt32 const node = todo.back();
            todo.pop_back();
            ++sizes[id];
            for (UInt32 i = firstBack[node]; i < firstBack[node + 1]; ++i)
                if (part[back[i]] == kNone) {
                    part[back[i]] = id;
                    todo.push_back(back[i]);
                }
        }
    }
    UInt32 const largest = UInt32(std::max_element(sizes.begin(), sizes.end()) - sizes.begin());
    auto spread = [&](std::vector<bool>& marked, bool forward) {
        for (UInt32 node = 0; node < count; ++node)
            if (part[node] == largest) {
                marked[node] = true;
                todo.push_back(node);
            }
        while (!todo.empty()) {
            UInt32 const node = todo.back();
            todo.pop_back();
            UInt32 const begin = forward ? mFirstArc[node] : firstBack[node];
            UInt32 const end = forward ? mFirstArc[node + 1] : firstBack[node + 1];
            for (UInt32 i = begin; i < end; ++i) {
                UInt32 const next = forward ? mArcs[i].node : back[i];
                if (!marked[next]) {
                    marked[next] = true;
                    todo.push_back(next);
                }
            }
        }
    };
    spread(mReachedFromNetwork, true);
    spread(mLeadsToNetwork, false);
}

bool CRoadGraph::IsReachable(UInt32 edge, Reach reach) const
{
    Edge const& e = mEdges[edge];
    switch (reach) {
    case Reach::kLeadsToNetwork:
        return (e.IsForwardOpen() && mLeadsToNetwork[e.to]) || (e.IsBackwardOpen() && mLeadsToNetwork[e.from]);
    case Reach::kReachedFromNetwork:
        return (e.IsForwardOpen() && mReachedFromNetwork[e.from])
            || (e.IsBackwardOpen() && mReachedFromNetwork[e.to]);
    default:
        return true;
    }
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

bool CRoadGraph::FindNearestRoad(CCoordinate const& coordinate, double maxDistance, Snap& snap, Reach reach) const
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
            if (!IsReachable(edge, reach))
                continue;
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
