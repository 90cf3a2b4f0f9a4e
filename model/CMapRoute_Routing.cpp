// The routing of a route's legs: the schedule, the worker and the results.

#include "foundation/CThreadTask.h"
#include "foundation/CTimerTask.h"
#include "foundation/StMutexLock.h"
#include "mapdata/CMapManager.h"
#include "model/CMapCodingUtilities.h"
#include "model/CMapRoute.h"
#include "model/CMapWaypoint.h"

#include <chrono>

// One of the route's one-shot timers.
class CRouteTimer : public CTimerTask {
public:
    CRouteTimer(CMapRoute& route, void (CMapRoute::*action)())
        : mRoute(route)
        , mAction(action)
    {
    }

protected:
    // The action may install the timer again, or delete the route and this timer with it.
    void DoTimer() override
    {
        RemoveTimer();
        (mRoute.*mAction)();
    }

private:
    CMapRoute& mRoute; // borrowed: the route owns this timer
    void (CMapRoute::*mAction)();
};

// Routes the queued legs of one route, one after another, and hands the results to
// the main thread every so often and when the queue is empty.
class CRouteWorker : public CThreadTask {
public:
    CRouteWorker(CMapRoute& route, IRoadRouter* router)
        : mRoute(route)
        , mRouter(router)
    {
    }
    ~CRouteWorker() override
    {
        Cancel();
        EndTask();
    }

    OSStatus Start()
    {
        mCancel = false;
        return PostMessage(kMsgRunTask);
    }
    // Returns once the worker is idle; the router sees the flag and gives up its leg.
    void Cancel()
    {
        mCancel = true;
        StopTask();
    }

protected:
    void DoTask() override;
    void DoMainTask() override { mRoute.ResultsReady(); }

private:
    static constexpr std::chrono::milliseconds kHandOffPeriod { 200 };

    CMapRoute& mRoute; // borrowed: the route owns its worker and ends it first
    IRoadRouter* mRouter; // borrowed: process-wide
    std::atomic<bool> mCancel { false };
};

void CRouteWorker::DoTask()
{
    auto lastHandOff = std::chrono::steady_clock::now();
    bool pending = false;
    for (;;) {
        if (mCancel)
            return; // the main thread collects what is done
        CMapRoute::LegResult result {};
        {
            StMutexLock lock(mRoute.mLock);
            if (mRoute.mJobs.empty())
                break;
            result.job = mRoute.mJobs.front();
            mRoute.mJobs.pop_front();
        }
        result.status = mRouter->RouteLeg(result.job.from, result.job.to, mCancel, result.leg);
        if (mCancel)
            return;
        {
            StMutexLock lock(mRoute.mLock);
            mRoute.mResults.push_back(std::move(result));
        }
        pending = true;
        if (std::chrono::steady_clock::now() - lastHandOff >= kHandOffPeriod) {
            UseMainThread();
            lastHandOff = std::chrono::steady_clock::now();
            pending = false;
        }
    }
    if (pending)
        UseMainThread();
}

CMapRoute::CMapRoute()
    : CMapObject(kMapObjectRoute)
    , mScheduleTimer(std::make_unique<CRouteTimer>(*this, &CMapRoute::StartRouting))
    , mResultsTimer(std::make_unique<CRouteTimer>(*this, &CMapRoute::FinishRouting))
{
}

CMapRoute::~CMapRoute()
{
    mScheduleTimer->RemoveTimer();
    mResultsTimer->RemoveTimer();
    mWorker.reset(); // waits until the worker has let go of the route
}

void CMapRoute::ScheduleRouting()
{
    // A later edit moves the routing back: a dragged waypoint is routed once it rests.
    mScheduleTimer->InstallTimer(kRoutingDelay, 0);
}

bool CMapRoute::StopRouting()
{
    if (!mWorker)
        return false;
    mWorker->Cancel();
    mWorker.reset();
    {
        StMutexLock lock(mLock);
        mJobs.clear();
    }
    ApplyResults();
    StMutexLock lock(mLock);
    // Nothing is under way any more: legs still waiting are routed at the next schedule.
    for (RouteSegment& segment : mSegments)
        if (segment.status == kRouteStatusUnrouted)
            segment.serial = 0;
    return true;
}

void CMapRoute::StartRouting()
{
    std::vector<LegJob> jobs;
    {
        StMutexLock lock(mLock);
        for (std::size_t i = 0; i + 1 < mSegments.size(); ++i) {
            RouteSegment& segment = mSegments[i];
            if (segment.status != kRouteStatusUnrouted || segment.serial != 0)
                continue;
            segment.serial = mNextSerial++;
            jobs.push_back(
                { segment.serial, segment.waypoint->GetPosition(), mSegments[i + 1].waypoint->GetPosition() });
        }
    }
    if (jobs.empty())
        return;
    IRoadRouter* router = IRoadRouter::GetDefault();
    if (router) {
        if (!mWorker)
            mWorker = std::make_unique<CRouteWorker>(*this, router);
        {
            StMutexLock lock(mLock);
            mJobs.insert(mJobs.end(), jobs.begin(), jobs.end());
        }
        if (mWorker->Start() == noErr)
            return;
        // No thread to route on: the legs stay straight for now.
        mWorker.reset();
        StMutexLock lock(mLock);
        mJobs.clear();
    }
    {
        StMutexLock lock(mLock);
        for (LegJob const& job : jobs) {
            LegResult result { job, router ? userCanceledErr : noErr, {} };
            result.leg.status = kRouteStatusNoRoads; // without a router every leg is straight
            mResults.push_back(std::move(result));
        }
    }
    FinishRouting();
}

void CMapRoute::ResultsReady()
{
    if (!mResultsTimer->IsInstalled())
        mResultsTimer->InstallTimer(0, 0);
}

void CMapRoute::FinishRouting()
{
    bool changed = ApplyResults();
    if (mWorker) {
        bool drained;
        {
            StMutexLock lock(mLock);
            drained = mJobs.empty() && mResults.empty();
        }
        if (drained && !mWorker->IsBusy())
            mWorker.reset();
        else if (drained)
            mResultsTimer->InstallTimer(0.05, 0); // it is finishing its last hand-off
    }
    // Last: a listener may delete the route.
    if (changed)
        BroadcastNeedsDisplay();
}

bool CMapRoute::ApplyResults()
{
    std::vector<LegResult> results;
    StMutexLock lock(mLock);
    results.swap(mResults);
    bool changed = false;
    for (LegResult& result : results) {
        for (RouteSegment& segment : mSegments) {
            if (segment.serial != result.job.serial || segment.status != kRouteStatusUnrouted)
                continue;
            ApplyResult(segment, result);
            changed = true;
            break;
        }
    }
    return changed;
}

// The router's answer, made safe: a path of finite points inside the world, at least the
// two ends, with a length that fits it. Whatever cannot be used leaves the leg straight.
void CMapRoute::ApplyResult(RouteSegment& segment, LegResult& result)
{
    UInt32 status = result.leg.status;
    if (result.status == userCanceledErr)
        status = kRouteStatusCancelled; // the router gave up on its own
    else if (result.status != noErr)
        status = kRouteStatusNoPath;
    else if (status != kRouteStatusRouted && status != kRouteStatusNoRoads && status != kRouteStatusNoPath)
        status = kRouteStatusNoPath;
    std::vector<CCoordinate> path;
    if (result.status == noErr) {
        path.reserve(result.leg.path.size());
        for (CCoordinate const& point : result.leg.path)
            if (CMapCodingUtilities::IsValidLatitude(point.GetLatitude())
                && CMapCodingUtilities::IsValidLongitude(point.GetLongitude()) && std::isfinite(point.GetAltitude()))
                path.push_back(point);
    }
    double length = result.leg.length;
    if (path.size() < 2 || path.size() != result.leg.path.size()) {
        if (status == kRouteStatusRouted)
            status = kRouteStatusNoPath;
        path = { result.job.from, result.job.to };
        length = -1;
    }
    if (!std::isfinite(length) || length < 0) {
        CMapManager const& manager = GetMapManager();
        length = 0;
        for (std::size_t i = 1; i < path.size(); ++i)
            length += manager.GetDistance(path[i - 1], path[i]);
    }
    segment.path = std::move(path);
    segment.bounds = CCoordinateRect();
    for (CCoordinate const& point : segment.path)
        segment.bounds.Union(point);
    segment.length = length;
    segment.status = status;
    segment.serial = 0;
}
