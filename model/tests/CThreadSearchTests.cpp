#include "foundation/CMsgListener.h"
#include "model/CPlaceSearch.h"
#include "model/CThreadSearch.h"
#include "model/ISearchQuerySource.h"
#include "model/tests/MapPackTestSupport.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace tw::test;

namespace {

using Clock = std::chrono::steady_clock;

// A find window's part in a search: it hands out its query and hears the worker.
class FindWindow : public ISearchQuerySource, public CMsgListener {
public:
    SearchQuery GetQuery() const override
    {
        ++mQueryReads;
        return mQuery;
    }
    void DoMessage(UInt32 message, void* parameter) override
    {
        mMessages.push_back(message);
        mParameters.push_back(parameter);
        mOnMainThread = mOnMainThread && std::this_thread::get_id() == mMainThread;
        if (message == CThreadSearch::kMsgSearchMore) {
            // What the window does: copy the results under the worker's lock.
            auto* worker = static_cast<CThreadSearch*>(parameter);
            mCopied = worker->LockResults();
            worker->UnlockResults();
            mBatchSizes.push_back(mCopied.size());
        }
    }
    bool IsComplete() const { return !mMessages.empty() && mMessages.back() == CThreadSearch::kMsgSearchComplete; }
    void Reset()
    {
        mMessages.clear();
        mParameters.clear();
        mBatchSizes.clear();
        mCopied.clear();
    }

    SearchQuery mQuery;
    mutable std::atomic<int> mQueryReads { 0 };
    std::vector<UInt32> mMessages;
    std::vector<void*> mParameters;
    std::vector<std::size_t> mBatchSizes;
    std::vector<SearchResult> mCopied;
    std::thread::id mMainThread = std::this_thread::get_id();
    bool mOnMainThread = true;
};

template <typename Condition> bool RunLoopUntil(Condition condition)
{
    auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!condition() && Clock::now() < deadline)
        RunCurrentEventLoop(0.02);
    return condition();
}

class ThreadSearch : public ::testing::Test {
protected:
    void SetUp() override { CThreadSearch::SetMapManager(&BundledMaps()); }
    void TearDown() override { CThreadSearch::SetMapManager(nullptr); }
};

TEST_F(ThreadSearch, StreamsResultsNearestFirstThenCompletesOnTheMainThread)
{
    FindWindow window;
    window.mQuery.centre = CCoordinate(51.5074, -0.1278);
    window.mQuery.radius = 100000;
    CThreadSearch worker(&window);
    ASSERT_EQ(worker.PostMessage(CThreadTask::kMsgRunTask), noErr);
    ASSERT_TRUE(RunLoopUntil([&] { return window.IsComplete() && !worker.IsBusy(); }));

    EXPECT_TRUE(window.mOnMainThread);
    EXPECT_EQ(window.mQueryReads, 1);
    ASSERT_GE(window.mMessages.size(), 3u); // more than one batch, then the end
    for (std::size_t i = 0; i + 1 < window.mMessages.size(); ++i)
        EXPECT_EQ(window.mMessages[i], CThreadSearch::kMsgSearchMore);
    for (void* parameter : window.mParameters)
        EXPECT_EQ(parameter, &worker);
    // Each batch added to the ones before.
    EXPECT_TRUE(std::is_sorted(window.mBatchSizes.begin(), window.mBatchSizes.end()));
    EXPECT_LT(window.mBatchSizes.front(), window.mBatchSizes.back());

    std::vector<SearchResult> expected;
    CPlaceSearch search(BundledMaps(), window.mQuery);
    for (std::vector<SearchResult> ring; !search.IsFinished();) {
        search.NextRing(ring);
        expected.insert(expected.end(), ring.begin(), ring.end());
    }
    std::vector<SearchResult>& results = worker.LockResults();
    ASSERT_EQ(results.size(), expected.size());
    for (std::size_t i = 0; i < results.size(); ++i)
        EXPECT_EQ(results[i].name, expected[i].name);
    worker.UnlockResults();
    EXPECT_EQ(window.mCopied.size(), expected.size());
}

TEST_F(ThreadSearch, ARunAfterAStopReadsTheNewQueryAndReplacesTheResults)
{
    FindWindow window;
    window.mQuery.centre = CCoordinate(48.8566, 2.3522); // Paris, wide
    window.mQuery.radius = 2000000;
    CThreadSearch worker(&window);
    worker.PostMessage(CThreadTask::kMsgRunTask);
    // What the window does on a new category: stop, change the query, run again.
    worker.StopTask();
    EXPECT_FALSE(worker.IsBusy());
    window.Reset();
    window.mQuery.centre = CCoordinate(57.7089, 11.9746);
    window.mQuery.radius = 20000;
    window.mQuery.category = kSearchCategoryTransport;
    worker.PostMessage(CThreadTask::kMsgRunTask);
    ASSERT_TRUE(RunLoopUntil([&] { return window.IsComplete() && !worker.IsBusy(); }));
    std::vector<SearchResult>& results = worker.LockResults();
    ASSERT_FALSE(results.empty());
    for (SearchResult const& result : results) {
        EXPECT_TRUE(CPlaceSearch::IsInCategory(result.feature, kSearchCategoryTransport)) << result.feature;
        EXPECT_LE(BundledMaps().GetDistance(result.position, window.mQuery.centre), 20000);
    }
    EXPECT_TRUE(std::any_of(results.begin(), results.end(),
        [](SearchResult const& result) { return result.feature == kLayerFeatureAirport; }));
    worker.UnlockResults();
    EXPECT_EQ(std::count(window.mMessages.begin(), window.mMessages.end(), CThreadSearch::kMsgSearchComplete), 1);
}

TEST_F(ThreadSearch, WithoutMapsOrPlacesItOnlyCompletes)
{
    FindWindow window;
    window.mQuery.centre = CCoordinate(0, -30); // the middle of the Atlantic
    window.mQuery.radius = 5000;
    CThreadSearch worker(&window);
    worker.PostMessage(CThreadTask::kMsgRunTask);
    ASSERT_TRUE(RunLoopUntil([&] { return window.IsComplete() && !worker.IsBusy(); }));
    EXPECT_EQ(window.mMessages.size(), 1u);

    CThreadSearch::SetMapManager(nullptr);
    window.Reset();
    window.mQuery.centre = CCoordinate(51.5074, -0.1278);
    worker.PostMessage(CThreadTask::kMsgRunTask);
    ASSERT_TRUE(RunLoopUntil([&] { return window.IsComplete() && !worker.IsBusy(); }));
    EXPECT_EQ(window.mMessages.size(), 1u);
    EXPECT_TRUE(worker.LockResults().empty());
    worker.UnlockResults();
}

TEST_F(ThreadSearch, DeletingTheWorkerWhileItSearchesEndsItQuietly)
{
    FindWindow window;
    window.mQuery.centre = CCoordinate(50, 10);
    window.mQuery.radius = CPlaceSearch::kMaxRadius; // the whole world
    auto worker = std::make_unique<CThreadSearch>(&window);
    worker->PostMessage(CThreadTask::kMsgRunTask);
    RunCurrentEventLoop(0.05);
    worker.reset();
    std::size_t heard = window.mMessages.size();
    RunCurrentEventLoop(0.1);
    EXPECT_EQ(window.mMessages.size(), heard);
    // A window that is no listener is only asked for its query.
    struct QueryOnly : ISearchQuerySource {
        SearchQuery GetQuery() const override { return SearchQuery(); }
    } quiet;
    CThreadSearch silent(&quiet);
    EXPECT_FALSE(silent.HasListener(&window));
    EXPECT_EQ(silent.PostMessage(CThreadTask::kMsgRunTask), noErr);
}

} // namespace
