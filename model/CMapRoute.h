#pragma once

// A route: legs that start at waypoints of the document, in order. The route
// listens to its waypoints and re-routes the legs next to one that moves.
//
// Routing: 1.0 s after the last edit a one-shot timer hands every unrouted leg
// to the route's routing worker, which asks the process-wide road router
// (IRoadRouter) for each leg's path. Results come back to the main thread,
// where they are applied to legs that have not changed since and announced
// with "mdir". An edit first stops the worker (the router sees the cancel
// flag), keeps what was already routed for the untouched legs, and schedules
// the changed legs again. The worker exists while there is routing to do; it
// is ended when the route is done or destroyed.
//
// The route's lock guards the legs and the queues shared with the worker;
// readers take LockSegments/UnlockSegments and edit nothing while they hold
// it (an edit waits for the worker, which may be waiting for the lock).
// Everything else runs on the main thread.

#include "foundation/CMsgListener.h"
#include "foundation/CMutex.h"
#include "model/CMapObject.h"
#include "model/RouteSegment.h"

#include <deque>
#include <map>
#include <memory>

class CMapWaypoint;
class CRouteTimer;
class CRouteWorker;

class CMapRoute : public CMapObject, public CMsgListener {
public:
    static constexpr char const* kKeyWaypoints = "Waypoints";
    static constexpr char const* kKeyLegID = "ID";
    static constexpr char const* kKeyLegStatus = "Status";
    static constexpr char const* kKeyLegLength = "Length";
    static constexpr char const* kKeyLegPath = "Path";
    static constexpr double kRoutingDelay = 1.0; // [s] after the last edit

    CMapRoute();
    ~CMapRoute() override;

    // Inserts a leg for the waypoint at the front (0), before the index, or at the end (-1,
    // or an index past the end); resets the legs next to it; routes after the delay when
    // asked. Broadcasts "mmod".
    void AddWaypoint(SInt32 index, CMapWaypoint* waypoint, bool route);
    // Removes every leg of the waypoint and routes the joined legs again.
    void EraseWaypoint(CMapWaypoint* waypoint);
    // Removes one leg (-1: the last); an index out of range changes nothing.
    void RemoveWaypoint(SInt32 index);
    bool IsEmpty() const;
    CCoordinateRect GetBounds() const;

    std::vector<RouteSegment> GetSegments() const;
    // Replaces every leg; each is unrouted and routed again.
    void SetSegments(std::vector<RouteSegment> const& segments);
    std::vector<RouteSegment>& LockSegments();
    void UnlockSegments();

    // After loading: the legs read by DecodeProperties name their waypoints by ID. Legs
    // whose ID names no waypoint are dropped. Unrouted legs are routed after the delay.
    void ResolveWaypoints(std::map<UInt32, CMapObject*> const& objects);

    // "Waypoints": one dictionary per leg with the waypoint's "ID", and for a routed leg
    // its "Status", "Length" and "Path" (one "latitude longitude altitude" line per point).
    OSStatus EncodeProperties(CFDictionary& properties) const override;
    OSStatus DecodeProperties(CFDictionary const& properties) override;

    void DoMessage(UInt32 message, void* parameter) override;

private:
    friend class CRouteWorker;

    // What a worker needs to route one leg, taken on the main thread.
    struct LegJob {
        UInt64 serial;
        CCoordinate from;
        CCoordinate to;
    };
    struct LegResult {
        LegJob job;
        OSStatus status; // the router's
        RoadLegResult leg;
    };

    // Stops the worker and keeps its finished results; true when routing was under way.
    bool StopRouting();
    void ScheduleRouting();
    void StartRouting(); // the schedule timer
    void FinishRouting(); // the results timer
    bool ApplyResults();
    static void ApplyResult(RouteSegment& segment, LegResult& result);
    // From the worker, on the main thread.
    void ResultsReady();

    void Listen(CMapWaypoint* waypoint);
    void ForgetIfUnused(CMapWaypoint* waypoint);
    void MovedWaypoint(CMapWaypoint const* waypoint);

    mutable CMutex mLock; // guards mSegments, mJobs and mResults
    std::vector<RouteSegment> mSegments;
    std::deque<LegJob> mJobs;
    std::vector<LegResult> mResults;
    std::vector<std::pair<UInt32, RouteSegment>> mUnresolved; // decoded legs by waypoint ID, main thread
    UInt64 mNextSerial = 1; // main thread
    std::unique_ptr<CRouteWorker> mWorker; // owns; null while there is no routing to do
    std::unique_ptr<CRouteTimer> mScheduleTimer; // owns
    std::unique_ptr<CRouteTimer> mResultsTimer; // owns
};
