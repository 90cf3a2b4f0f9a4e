#include "foundation/CTimerTask.h"

#include <gtest/gtest.h>

namespace {

class Counter : public CTimerTask {
public:
    int mFired = 0;
    bool mDeleteSelf = false;
    int* mFiredAfterDelete = nullptr;

protected:
    void DoTimer() override
    {
        ++mFired;
        if (mDeleteSelf) {
            int* fired = mFiredAfterDelete;
            delete this;
            ++*fired;
        }
    }
};

// Every test runs the loop on the manual clock: time jumps from timer to timer.
class CTimerTaskTest : public testing::Test {
protected:
    void SetUp() override { tw::events::SetManualClock(true); }
    void TearDown() override { tw::events::SetManualClock(false); }
};

} // namespace

TEST_F(CTimerTaskTest, OneShotFiresOnceAndStaysInstalledUntilRemoved)
{
    Counter timer;
    ASSERT_EQ(timer.InstallTimer(0.5, 0), noErr);
    EXPECT_TRUE(timer.IsInstalled());
    EXPECT_FALSE(timer.IsRepeating());
    RunCurrentEventLoop(0.4);
    EXPECT_EQ(timer.mFired, 0);
    RunCurrentEventLoop(2.0);
    EXPECT_EQ(timer.mFired, 1);
    EXPECT_TRUE(timer.IsInstalled());
    timer.RemoveTimer();
    EXPECT_FALSE(timer.IsInstalled());
}

TEST_F(CTimerTaskTest, RepeatingTimerFiresAtEveryInterval)
{
    Counter timer;
    ASSERT_EQ(timer.InstallTimer(0.1, 0.25), noErr);
    EXPECT_TRUE(timer.IsRepeating());
    RunCurrentEventLoop(1.0); // 0.1, 0.35, 0.6, 0.85
    EXPECT_EQ(timer.mFired, 4);

    // Installing again replaces the timer rather than adding a second one.
    timer.mFired = 0;
    ASSERT_EQ(timer.InstallTimer(0.5, 0.5), noErr);
    RunCurrentEventLoop(1.2);
    EXPECT_EQ(timer.mFired, 2);
}

TEST_F(CTimerTaskTest, SetNextFireTimeMovesTheNextFiring)
{
    Counter timer;
    ASSERT_EQ(timer.InstallTimer(10, 0), noErr);
    ASSERT_EQ(timer.SetNextFireTime(0.2), noErr);
    RunCurrentEventLoop(0.3);
    EXPECT_EQ(timer.mFired, 1);

    Counter idle;
    EXPECT_EQ(idle.SetNextFireTime(1), paramErr); // no timer
    EXPECT_EQ(idle.InstallTimer(-1, 0), paramErr);
    ASSERT_EQ(idle.InstallTimer(0.1, 0, true), noErr);
    RunCurrentEventLoop(0.2);
    EXPECT_EQ(idle.mFired, 1);
}

TEST_F(CTimerTaskTest, DestroyedTimerNeverFiresAndMayDeleteItselfWhileFiring)
{
    auto* gone = new Counter;
    gone->InstallTimer(0.1, 0.1);
    delete gone;
    RunCurrentEventLoop(0.5); // would touch freed memory if the timer were left behind

    int firedAfterDelete = 0;
    auto* self = new Counter;
    self->mDeleteSelf = true;
    self->mFiredAfterDelete = &firedAfterDelete;
    self->InstallTimer(0.1, 0.1);
    RunCurrentEventLoop(0.5);
    EXPECT_EQ(firedAfterDelete, 1);
}
