#pragma once

// Road routing of route legs over the road layers of the map packs: the layers under
// a leg become one road graph, built once and cached, on which the leg's ends are
// snapped to their nearest roads and joined by the fastest path. A member of the
// application object, which installs it as the default road router; route workers
// call RouteLeg on their own threads, and the cache's one lock serves them all.

#include "model/CRoadGraph.h"
#include "model/IRoadRouter.h"

#include <condition_variable>
#include <memory>
#include <mutex>

class CMapManager;

class CRouteManager : public IRoadRouter {
public:
    // A leg's end further than this from every road has no road under it [m].
    static constexpr double kMaxSnapDistance = 2000;
    // Graphs kept for other sets of road layers (the least recently used goes first).
    static constexpr std::size_t kMaxCachedGraphs = 4;

    // Caches the pointer only: the map manager may not be built yet (the application
    // object builds it after this).
    explicit CRouteManager(CMapManager* mapManager);
    CRouteManager(CRouteManager const&) = delete;
    CRouteManager& operator=(CRouteManager const&) = delete;

    // Beyond the router's promise: paramErr, with the straight leg and no roads, for an end
    // that is no place on the globe (not finite, or past the poles or the date line).
    OSStatus RouteLeg(CCoordinate const& from, CCoordinate const& to, std::atomic<bool> const& cancel,
        RoadLegResult& result) override;

    // Forgets every graph, for after the map packs were loaded again; no leg may be routing.
    void FlushGraphs();
    std::size_t GetCachedGraphCount() const;

private:
    using Key = std::vector<CRegionLayer*>; // sorted
    struct CachedGraph {
        Key key;
        std::shared_ptr<CRoadGraph const> graph; // null while one worker builds it
        UInt64 lastUse = 0;
    };

    // The graph of the layers: cached, built by this call, or awaited while another builds it.
    OSStatus GetGraph(Key const& key, std::atomic<bool> const& cancel, std::shared_ptr<CRoadGraph const>& graph);
    void AddGraph(Key const& key, std::shared_ptr<CRoadGraph const> graph); // under mCacheLock
    std::vector<CRegionLayer*> GetRoadLayers(CCoordinate const& from, CCoordinate const& to) const;
    OSStatus RouteOnGraph(CRoadGraph const& graph, CCoordinate const& from, CCoordinate const& to,
        std::atomic<bool> const& cancel, RoadLegResult& result) const;
    double GetPathLength(std::vector<CCoordinate> const& path) const;

    CMapManager* mMapManager; // borrowed
    mutable std::mutex mCacheLock; // guards mCache and mUseCount
    std::condition_variable mCacheChanged;
    std::vector<CachedGraph> mCache;
    UInt64 mUseCount = 0;
};
