#include "model/CRouteManager.h"

#include "mapdata/CMapManager.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {
constexpr double kMinMetresPerDegree = 110574; // [m] a degree of latitude at the equator, the shortest
constexpr std::chrono::milliseconds kBuildWaitSlice { 20 };

bool IsValidCoordinate(CCoordinate const& coordinate)
{
    double latitude = coordinate.GetLatitude(), longitude = coordinate.GetLongitude();
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90
        && std::fabs(longitude) <= 180;
}

bool IsRoadLayer(CRegionLayer const* layer, void*)
{
    return layer->GetCategory() == kLayerCategoryRoad && layer->GetShapeType() == kSGShapePolyLine;
}

CCoordinate ToCoordinate(SGPoint const& point) { return CCoordinate(point.y, point.x); }
} // namespace

CRouteManager::CRouteManager(CMapManager* mapManager)
    : mMapManager(mapManager)
{
}

OSStatus CRouteManager::RouteLeg(
    CCoordinate const& from, CCoordinate const& to, std::atomic<bool> const& cancel, RoadLegResult& result)
{
    // Until a road path is found the leg is the straight line.
    result = RoadLegResult();
    result.path = { from, to };
    result.status = kRouteStatusNoRoads;
    if (!IsValidCoordinate(from) || !IsValidCoordinate(to))
        return paramErr;
    result.length = GetPathLength(result.path);
    if (cancel.load()) {
        result.status = kRouteStatusCancelled;
        return userCanceledErr;
    }
    Key layers = GetRoadLayers(from, to);
    if (layers.empty())
        return noErr;
    std::shared_ptr<CRoadGraph const> graph;
    if (GetGraph(layers, cancel, graph) == userCanceledErr) {
        result.status = kRouteStatusCancelled;
        return userCanceledErr;
    }
    return RouteOnGraph(*graph, from, to, cancel, result);
}

// The road layers under the leg, and as far around it as an end may lie from its road.
std::vector<CRegionLayer*> CRouteManager::GetRoadLayers(CCoordinate const& from, CCoordinate const& to) const
{
    if (!mMapManager)
        return {};
    CCoordinateRect area(from, from);
    area.Union(to);
    double latitudeMargin = kMaxSnapDistance / kMinMetresPerDegree;
    double pole = std::max(std::fabs(from.GetLatitude()), std::fabs(to.GetLatitude())) + latitudeMargin;
    double longitudeMargin = pole < 89 ? latitudeMargin / std::cos(pole * M_PI / 180) : 360;
    area.Inset(-latitudeMargin, -longitudeMargin);
    std::vector<CRegionLayer*> layers = mMapManager->GetRegionLayers(area, &IsRoadLayer, nullptr);
    std::sort(layers.begin(), layers.end());
    layers.erase(std::unique(layers.begin(), layers.end()), layers.end());
    return layers;
}

OSStatus CRouteManager::RouteOnGraph(CRoadGraph const& graph, CCoordinate const& from, CCoordinate const& to,
    std::atomic<bool> const& cancel, RoadLegResult& result) const
{
    CRoadGraph::Snap start, end;
    if (!graph.FindNearestRoad(from, kMaxSnapDistance, start) || !graph.FindNearestRoad(to, kMaxSnapDistance, end))
        return noErr;
    std::vector<SGPoint> points;
    bool found = false;
    OSStatus status = graph.FindPath(start, end, cancel, points, found);
    // The nearest road may be a piece of its own (an island, a one-way piece cut at the data's
    // edge): then the nearest roads joined to the network, within the same distance.
    CRoadGraph::Snap joinedStart, joinedEnd;
    if (status == noErr && !found
        && graph.FindNearestRoad(from, kMaxSnapDistance, joinedStart, CRoadGraph::Reach::kLeadsToNetwork)
        && graph.FindNearestRoad(to, kMaxSnapDistance, joinedEnd, CRoadGraph::Reach::kReachedFromNetwork)
        && (joinedStart.edge != start.edge || joinedEnd.edge != end.edge))
        status = graph.FindPath(joinedStart, joinedEnd, cancel, points, found);
    if (status == userCanceledErr)
        result.status = kRouteStatusCancelled;
    if (status != noErr)
        return status;
    if (!found) {
        result.status = kRouteStatusNoPath;
        return noErr;
    }
    // From the leg's start to its road, along the roads, and from the last road to its end.
    std::vector<CCoordinate> path { from };
    for (SGPoint const& point : points)
        if (CCoordinate next = ToCoordinate(point);
            next.GetLatitude() != path.back().GetLatitude() || next.GetLongitude() != path.back().GetLongitude())
            path.push_back(next);
    if (to.GetLatitude() != path.back().GetLatitude() || to.GetLongitude() != path.back().GetLongitude())
        path.push_back(to);
    if (path.size() < 2)
        path.push_back(to); // both ends at the same place: still a line of two points
    result.path = std::move(path);
    result.length = GetPathLength(result.path);
    result.status = kRouteStatusRouted;
    return noErr;
}

double CRouteManager::GetPathLength(std::vector<CCoordinate> const& path) const
{
    double length = 0;
    if (mMapManager)
        for (std::size_t i = 1; i < path.size(); ++i)
            length += mMapManager->GetDistance(path[i - 1], path[i]);
    return length;
}

OSStatus CRouteManager::GetGraph(
    Key const& key, std::atomic<bool> const& cancel, std::shared_ptr<CRoadGraph const>& graph)
{
    auto sameKey = [&key](CachedGraph const& entry) { return entry.key == key; };
    std::unique_lock lock(mCacheLock);
    for (;;) {
        auto entry = std::find_if(mCache.begin(), mCache.end(), sameKey);
        if (entry == mCache.end())
            break;
        if (entry->graph) {
            entry->lastUse = ++mUseCount;
            graph = entry->graph;
            return noErr;
        }
        // Another worker is building it: wait, but not past a cancellation.
        if (cancel.load())
            return userCanceledErr;
        mCacheChanged.wait_for(lock, kBuildWaitSlice);
    }
    mCache.push_back(CachedGraph { key, nullptr, ++mUseCount });
    lock.unlock();
    auto built = std::make_shared<CRoadGraph>();
    OSStatus status = built->Build(key, cancel);
    lock.lock();
    mCache.erase(std::find_if(mCache.begin(), mCache.end(), sameKey));
    if (status == noErr) {
        AddGraph(key, built);
        graph = std::move(built);
    }
    mCacheChanged.notify_all();
    return status;
}

void CRouteManager::AddGraph(Key const& key, std::shared_ptr<CRoadGraph const> graph)
{
    mCache.push_back(CachedGraph { key, std::move(graph), ++mUseCount });
    while (mCache.size() > kMaxCachedGraphs) {
        auto oldest = mCache.end();
        for (auto entry = mCache.begin(); entry != mCache.end(); ++entry)
            if (entry->graph && (oldest == mCache.end() || entry->lastUse < oldest->lastUse))
                oldest = entry;
        if (oldest == mCache.end())
            break; // only graphs being built are left
        mCache.erase(oldest);
    }
}

void CRouteManager::FlushGraphs()
{
    std::lock_guard lock(mCacheLock);
    std::erase_if(mCache, [](CachedGraph const& entry) { return entry.graph != nullptr; });
}

std::size_t CRouteManager::GetCachedGraphCount() const
{
    std::lock_guard lock(mCacheLock);
    return std::size_t(std::count_if(mCache.begin(), mCache.end(), [](auto const& entry) { return entry.graph; }));
}
