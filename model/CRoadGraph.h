#pragma once

// A road network made from road layers: one node per distinct point of their lines
// and one edge per line segment, travelled in the time its road class's speed takes,
// both ways unless the layer's "oneway" attribute says otherwise (yes, 1 or true: only
// the way the line is drawn; -1: only against it). Built once by CRouteManager and immutable afterwards, so route
// workers share it without a lock.

#include "foundation/CCoordinate.h"
#include "foundation/SGBounds.h"
#include "mapdata/CSpatialIndex.h"
#include "mapdata/LayerFeature.h"

#include <atomic>
#include <vector>

class CRegionLayer;

class CRoadGraph {
public:
    // Where a coordinate meets its nearest road.
    struct Snap {
        UInt32 edge = 0;
        double fraction = 0; // along the edge from its first node (0) to its second (1)
        SGPoint point; // on the edge
        double distance = 0; // [m] from the coordinate
    };

    // userCanceledErr when cancel became true; the graph is then incomplete and not to be used.
    OSStatus Build(std::vector<CRegionLayer*> const& layers, std::atomic<bool> const& cancel);

    std::size_t GetNodeCount() const { return mNodes.size(); }
    std::size_t GetEdgeCount() const { return mEdges.size(); }

    // Which roads an end may snap to.
    enum class Reach {
        kAnyRoad,
        kLeadsToNetwork, // a start: from it the network's largest joined part can be reached
        kReachedFromNetwork, // an end: it can be reached from that part
    };

    // False when no road (of the reach asked for) lies within maxDistance [m].
    bool FindNearestRoad(
        CCoordinate const& coordinate, double maxDistance, Snap& snap, Reach reach = Reach::kAnyRoad) const;
    // The fastest path from one snap to the other (A*), both snapped points included.
    // noErr with found false when no road joins them; userCanceledErr when cancelled.
    OSStatus FindPath(Snap const& from, Snap const& to, std::atomic<bool> const& cancel, std::vector<SGPoint>& path,
        bool& found) const;

    // [m/s] on roads of the class; minor roads' for anything else in a road layer.
    static double GetSpeed(LayerFeature feature);
    // The direction a "oneway" value allows: 1 as drawn, -1 against, 0 both ways.
    static SInt32 GetOneWayDirection(CString const& value);
    // [m] between nearby points, from the ellipsoid's radii of curvature at their mean latitude.
    static double GetLocalDistance(SGPoint const& a, SGPoint const& b);

private:
    struct Edge {
        UInt32 from = 0;
        UInt32 to = 0;
        float time = 0; // [s]
        SInt8 direction = 0; // 1: only from to to, -1: only to to from, 0: both
        bool IsForwardOpen() const { return direction >= 0; }
        bool IsBackwardOpen() const { return direction <= 0; }
    };
    struct Arc {
        UInt32 node = 0;
        UInt32 edge = 0;
    };

    void BuildAdjacency();
    void BuildEdgeIndex();
    void BuildNetworkReach();
    bool IsReachable(UInt32 edge, Reach reach) const;
    double GetHeuristic(UInt32 node, SGPoint const& target) const;
    void ProjectOnEdge(UInt32 edge, SGPoint const& point, Snap& snap) const;

    std::vector<SGPoint> mNodes;
    std::vector<Edge> mEdges;
    std::vector<UInt32> mFirstArc; // per node, then one past the last: its arcs in mArcs
    std::vector<Arc> mArcs;
    CSpatialIndex mEdgeIndex; // edge bounds
    // Per node: it can reach the largest part of the network in which every node reaches every
    // other, and it can be reached from that part. Islands and one-way pieces cut at the data's
    // edge have neither.
    std::vector<bool> mLeadsToNetwork;
    std::vector<bool> mReachedFromNetwork;
    double mMaxSpeed = 1; // [m/s] of the fastest edge, for an admissible heuristic
};
