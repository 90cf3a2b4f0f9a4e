// Routing of route legs on their worker, with routers of the tests' own.

#include "foundation/CMsgListener.h"
#include "foundation/CThreadTask.h"
#include "mapdata/CMapManager.h"
#include "model/CRouteManager.h"
#include "model/tests/MapPackTestSupport.h"
#include "model/tests/ModelTestSupport.h"
#include "tests/support/ManualClock.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using namespace tw::test;

namespace {

using Clock = std::chrono::steady_clock;

// Routes every leg through a point beside its middle, so a routed leg is told from a
// straight one. A leg whose start lies at a blocked latitude waits until cancelled or released.
class TestRouter : public IRoadRouter {
public:
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<std::pair<CCoordinate, CCoordinate>> mRequests;
    double mBlockedLatitude = NAN;
    bool mBlocked = false; // a leg waits now
    int mCancelled = 0;
    OSStatus mAnswer = noErr;
    std::vector<CCoordinate> mPathOverride;
    double mLengthOverride = NAN;

    OSStatus RouteLeg(
        CCoordinate const& from, CCoordinate const& to, std::atomic<bool> const& cancel, RoadLegResult& result) override
    {
        std::unique_lock lock(mMutex);
        mRequests.emplace_back(from, to);
        if (from.GetLatitude() == mBlockedLatitude) {
            mBlocked = true;
            mChanged.notify_all();
            while (!cancel && from.GetLatitude() == mBlockedLatitude)
                mChanged.wait_for(lock, std::chrono::milliseconds(1));
            mBlocked = false;
            if (cancel) {
                ++mCancelled;
                return userCanceledErr;
            }
        }
        if (mAnswer != noErr)
            return mAnswer;
        CCoordinate middle(
            (from.GetLatitude() + to.GetLatitude()) / 2 + 0.001, (from.GetLongitude() + to.GetLongitude()) / 2);
        result.path = mPathOverride.empty() ? std::vector<CCoordinate> { from, middle, to } : mPathOverride;
        result.length = std::isnan(mLengthOverride) ? 777 : mLengthOverride;
        result.status = kRouteStatusRouted;
        return noErr;
    }

    int Cancelled()
    {
        std::lock_guard lock(mMutex);
        return mCancelled;
    }
    std::size_t Requests()
    {
        std::lock_guard lock(mMutex);
        return mRequests.size();
    }
    std::size_t CountRequestsFrom(double latitude)
    {
        std::lock_guard lock(mMutex);
        return std::size_t(std::count_if(mRequests.begin(), mRequests.end(),
            [latitude](auto const& request) { return request.first.GetLatitude() == latitude; }));
    }
    void Release()
    {
        std::lock_guard lock(mMutex);
        mBlockedLatitude = NAN;
        mChanged.notify_all();
    }
    bool WaitUntilBlocked()
    {
        std::unique_lock lock(mMutex);
        return mChanged.wait_for(lock, std::chrono::seconds(10), [this] { return mBlocked; });
    }
};

class NeedsDisplay : public CMsgListener {
public:
    int mCount = 0;
    void DoMessage(UInt32 message, void*) override { mCount += message == kMsgMapObjectNeedsDisplay; }
};

class RouteRouting : public ::testing::Test {
protected:
    void SetUp() override
    {
        CThreadTask::ResetForTesting(); // the hand-off timer comes back with the first worker
        IRoadRouter::SetDefault(&mRouter);
        for (int i = 0; i < 4; ++i) {
            mPoints.push_back(std::make_unique<CMapWaypoint>());
            mPoints.back()->SetPosition(CCoordinate(50 + i, 10));
        }
    }
    void TearDown() override
    {
        mRouter.Release();
        mRoute.reset();
        mPoints.clear();
        IRoadRouter::SetDefault(nullptr);
        CThreadTask::ResetForTesting();
    }

    void MakeRoute(int points)
    {
        mRoute = std::make_unique<CMapRoute>();
        mRoute->AddListener(&mNeedsDisplay);
        for (int i = 0; i < points; ++i)
            mRoute->AddWaypoint(-1, mPoints[std::size_t(i)].get(), true);
    }

    // Runs the loop (the clock jumps over the routing delay) until the condition holds.
    template <typename Condition> bool RunUntil(Condition condition)
    {
        auto deadline = Clock::now() + std::chrono::seconds(10);
        while (!condition() && Clock::now() < deadline) {
            ManualClock::RunFor(0.05);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return condition();
    }
    bool AllRouted()
    {
        auto legs = mRoute->GetSegments();
        for (std::size_t i = 0; i + 1 < legs.size(); ++i)
            if (legs[i].status == kRouteStatusUnrouted)
                return false;
        return true;
    }
    std::vector<UInt32> Statuses()
    {
        std::vector<UInt32> statuses;
        for (RouteSegment const& leg : mRoute->GetSegments())
            statuses.push_back(leg.status);
        return statuses;
    }

    ManualClock mClock;
    TestRouter mRouter;
    NeedsDisplay mNeedsDisplay;
    std::vector<std::unique_ptr<CMapWaypoint>> mPoints;
    std::unique_ptr<CMapRoute> mRoute;
};

} // namespace

TEST_F(RouteRouting, LegsAreRoutedOneSecondAfterTheLastEdit)
{
    MakeRoute(3);
    ManualClock::RunFor(0.9);
    EXPECT_EQ(Statuses(), (std::vector<UInt32> { 0, 0, 0 }));
    ASSERT_TRUE(RunUntil([&] { return AllRouted(); }));
    auto legs = mRoute->GetSegments();
    EXPECT_EQ(legs[0].status, kRouteStatusRouted);
    ASSERT_EQ(legs[0].path.size(), 3u);
    EXPECT_EQ(legs[0].path.front(), mPoints[0]->GetPosition());
    EXPECT_EQ(legs[0].path.back(), mPoints[1]->GetPosition());
    EXPECT_DOUBLE_EQ(legs[0].length, 777);
    EXPECT_DOUBLE_EQ(legs[1].bounds.GetTopLeft().GetLatitude(), 52);
    EXPECT_EQ(legs[2].status, kRouteStatusUnrouted); // the last leg leads nowhere
    EXPECT_GE(mNeedsDisplay.mCount, 1);
    EXPECT_EQ(mRouter.Requests(), 2u);
}

TEST_F(RouteRouting, WithoutARouterLegsStayStraightAndSaySo)
{
    IRoadRouter::SetDefault(nullptr);
    MakeRoute(2);
    ASSERT_TRUE(RunUntil([&] { return AllRouted(); }));
    RouteSegment leg = mRoute->GetSegments()[0];
    EXPECT_EQ(leg.status, kRouteStatusNoRoads);
    ASSERT_EQ(leg.path.size(), 2u);
    EXPECT_NEAR(leg.length, CMapManager().GetDistance(mPoints[0]->GetPosition(), mPoints[1]->GetPosition()), 1e-6);
}

TEST_F(RouteRouting, AMovedWaypointHasItsLegsRoutedAgain)
{
    MakeRoute(4);
    ASSERT_TRUE(RunUntil([&] { return AllRouted(); }));
    mPoints[2]->SetPosition(CCoordinate(52.5, 10.5));
    EXPECT_EQ(Statuses(), (std::vector<UInt32> { 1, 0, 0, 0 }));
    ASSERT_TRUE(RunUntil([&] { return AllRouted(); }));
    EXPECT_EQ(mRouter.CountRequestsFrom(50), 1u); // the untouched leg is not routed again
    EXPECT_EQ(mRouter.CountRequestsFrom(52.5), 1u);
    EXPECT_EQ(mRoute->GetSegments()[1].path.back(), CCoordinate(52.5, 10.5));
}

TEST_F(RouteRouting, AnEditWhileRoutingCancelsTheLegAndKeepsWhatIsDone)
{
    mRouter.mBlockedLatitude = 51; // the second leg waits
    MakeRoute(4);
    ManualClock::RunFor(1.05);
    ASSERT_TRUE(mRouter.WaitUntilBlocked());
    // The first leg is done by now; the edit cancels the waiting one.
    mPoints[3]->SetPosition(CCoordinate(53.5, 11));
    EXPECT_EQ(mRouter.Cancelled(), 1);
    EXPECT_EQ(Statuses(), (std::vector<UInt32> { 1, 0, 0, 0 }));
    mRouter.Release();
    ASSERT_TRUE(RunUntil([&] { return AllRouted(); }));
    EXPECT_EQ(mRouter.CountRequestsFrom(50), 1u);
    EXPECT_EQ(mRouter.CountRequestsFrom(51), 2u);
    EXPECT_EQ(mRoute->GetSegments()[2].path.back(), CCoordinate(53.5, 11));
}

TEST_F(RouteRouting, DestroyingWhatARouteUsesWhileItRoutesIsSafe)
{
    mRouter.mBlockedLatitude = 50;
    MakeRoute(3);
    ManualClock::RunFor(1.05);
    ASSERT_TRUE(mRouter.WaitUntilBlocked());
    mPoints[1].reset(); // the route hears it go and stops routing first
    EXPECT_EQ(mRoute->GetSegments().size(), 2u);
    ManualClock::RunFor(1.05);
    ASSERT_TRUE(mRouter.WaitUntilBlocked());
    mRoute.reset(); // waits for its worker, which the router lets go
    EXPECT_EQ(mRouter.Cancelled(), 2);
    ManualClock::RunFor(0.1);
}

TEST_F(RouteRouting, ManyRoutesEditedAndDestroyedWhileRoutingNeverCrash)
{
    std::vector<std::unique_ptr<CMapRoute>> routes;
    for (int i = 0; i < 8; ++i) {
        routes.push_back(std::make_unique<CMapRoute>());
        for (auto const& point : mPoints)
            routes.back()->AddWaypoint(-1, point.get(), true);
    }
    for (int round = 0; round < 20; ++round) {
        ManualClock::RunFor(0.35 * (round % 4));
        mPoints[std::size_t(round % 4)]->SetPosition(CCoordinate(50 + round * 0.01, 10 + round * 0.01));
        if (round % 5 == 4)
            routes.erase(routes.begin());
    }
    routes.clear();
    ManualClock::RunFor(1.5);
    EXPECT_GE(mRouter.Requests(), 1u);
}

// A router's answer is checked before it reaches a leg.
TEST_F(RouteRouting, UnusableAnswersLeaveLegsStraight)
{
    struct Case {
        OSStatus answer;
        std::vector<CCoordinate> path;
        double length;
        UInt32 status;
    };
    std::vector<Case> const cases {
        { noErr, { CCoordinate(50, 10), CCoordinate(NAN, 10), CCoordinate(51, 10) }, 5, kRouteStatusNoPath },
        { noErr, { CCoordinate(50, 10) }, 5, kRouteStatusNoPath },
        { noErr, { CCoordinate(50, 10), CCoordinate(95, 10) }, 5, kRouteStatusNoPath },
        { noErr, { CCoordinate(50, 10), CCoordinate(50.5, 10.5), CCoordinate(51, 10) }, -3, kRouteStatusRouted },
        { memFullErr, {}, 5, kRouteStatusNoPath },
        { userCanceledErr, {}, 5, kRouteStatusCancelled },
    };
    for (Case const& test : cases) {
        mRouter.mAnswer = test.answer;
        mRouter.mPathOverride = test.path.empty() ? std::vector<CCoordinate> { CCoordinate() } : test.path;
        mRouter.mLengthOverride = test.length;
        MakeRoute(2);
        ASSERT_TRUE(RunUntil([&] { return AllRouted(); }));
        RouteSegment leg = mRoute->GetSegments()[0];
        EXPECT_EQ(leg.status, test.status);
        ASSERT_GE(leg.path.size(), 2u);
        for (CCoordinate const& point : leg.path)
            EXPECT_TRUE(std::isfinite(point.GetLatitude()) && std::fabs(point.GetLatitude()) <= 90);
        EXPECT_TRUE(std::isfinite(leg.length) && leg.length >= 0);
        if (leg.status != kRouteStatusRouted) {
            EXPECT_EQ(leg.path.size(), 2u); // straight
        }
    }
}

// With the road router of the map packs: a leg in Göteborg follows its roads, a leg from
// Stockholm to Uppsala (no roads in the test regions) stays straight and says so.
TEST_F(RouteRouting, LegsFollowTheRoadsOfTheMapPacks)
{
    CRouteManager roads(&BundledMaps());
    IRoadRouter::SetDefault(&roads);
    mPoints[0]->SetPosition(CCoordinate(57.6970, 11.9797));
    mPoints[1]->SetPosition(CCoordinate(57.6998, 11.9527));
    mPoints[2]->SetPosition(CCoordinate(59.3293, 18.0686));
    mPoints[3]->SetPosition(CCoordinate(59.8586, 17.6389));
    mRoute = std::make_unique<CMapRoute>();
    for (std::size_t i : { 0u, 1u })
        mRoute->AddWaypoint(-1, mPoints[i].get(), true);
    auto far = std::make_unique<CMapRoute>();
    for (std::size_t i : { 2u, 3u })
        far->AddWaypoint(-1, mPoints[i].get(), true);
    ASSERT_TRUE(RunUntil([&] { return AllRouted() && far->GetSegments()[0].status != kRouteStatusUnrouted; }));

    RouteSegment city = mRoute->GetSegments()[0];
    EXPECT_EQ(city.status, kRouteStatusRouted);
    EXPECT_GT(city.path.size(), 2u);
    double straight = CMapManager().GetDistance(mPoints[0]->GetPosition(), mPoints[1]->GetPosition());
    EXPECT_GE(city.length, straight);
    EXPECT_LT(city.length, 2 * straight);
    RouteSegment country = far->GetSegments()[0];
    EXPECT_EQ(country.status, kRouteStatusNoRoads);
    EXPECT_EQ(country.path.size(), 2u);
    far.reset();
    mRoute.reset(); // before the router goes
}
