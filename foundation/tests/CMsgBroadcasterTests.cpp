#include "foundation/CMsgBroadcaster.h"
#include "foundation/CMsgListener.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Records what it hears and runs an optional action on each message.
class Recorder : public CMsgListener {
public:
    Recorder(std::vector<int>* log, int id)
        : mLog(log)
        , mId(id)
    {
    }
    void DoMessage(UInt32 message, void* parameter) override
    {
        mLog->push_back(mId);
        mLast = message;
        mParameter = parameter;
        if (mAction)
            mAction(message);
    }

    std::vector<int>* mLog;
    int mId;
    UInt32 mLast = 0;
    void* mParameter = nullptr;
    std::function<void(UInt32)> mAction;
};

} // namespace

TEST(CMsgBroadcaster, DeliversInOrderOfAttachmentOnce)
{
    std::vector<int> log;
    CMsgBroadcaster broadcaster;
    Recorder a(&log, 1), b(&log, 2), c(&log, 3);
    broadcaster.AddListener(&b);
    broadcaster.AddListener(&a);
    broadcaster.AddListener(&c);
    broadcaster.AddListener(&a); // already attached
    int value = 7;
    broadcaster.BroadcastMessage('test', &value);
    EXPECT_EQ(log, (std::vector<int> { 2, 1, 3 }));
    EXPECT_EQ(a.mLast, UInt32('test'));
    EXPECT_EQ(a.mParameter, &value);
    EXPECT_TRUE(a.IsListeningTo(&broadcaster));

    log.clear();
    broadcaster.SetBroadcasting(false);
    broadcaster.BroadcastMessage('drop', nullptr);
    broadcaster.SetBroadcasting(true);
    b.SetListening(false);
    broadcaster.BroadcastMessage('next', nullptr);
    EXPECT_EQ(log, (std::vector<int> { 1, 3 }));
}

TEST(CMsgBroadcaster, ListenersDetachedDuringABroadcastAreNotCalledAfterwards)
{
    std::vector<int> log;
    CMsgBroadcaster broadcaster;
    Recorder a(&log, 1), b(&log, 2), c(&log, 3);
    for (Recorder* r : { &a, &b, &c })
        broadcaster.AddListener(r);
    a.mAction = [&](UInt32) {
        broadcaster.RemoveListener(&a); // itself
        broadcaster.RemoveListener(&c); // a later one
    };
    broadcaster.BroadcastMessage('one ', nullptr);
    EXPECT_EQ(log, (std::vector<int> { 1, 2 }));
    EXPECT_FALSE(c.IsListeningTo(&broadcaster));

    // Detached and re-attached during the pass: it now sits at the end and waits for the next pass.
    log.clear();
    a.mAction = nullptr;
    broadcaster.AddListener(&a);
    broadcaster.AddListener(&c);
    b.mAction = [&](UInt32) {
        broadcaster.RemoveListener(&c);
        broadcaster.AddListener(&c);
    };
    broadcaster.BroadcastMessage('two ', nullptr);
    EXPECT_EQ(log, (std::vector<int> { 2, 1 }));
}

TEST(CMsgBroadcaster, ListenerDeletedDuringABroadcastIsSkipped)
{
    std::vector<int> log;
    CMsgBroadcaster broadcaster;
    Recorder first(&log, 1);
    auto* second = new Recorder(&log, 2);
    auto* third = new Recorder(&log, 3);
    broadcaster.AddListener(&first);
    broadcaster.AddListener(second);
    broadcaster.AddListener(third);
    first.mAction = [&](UInt32) {
        delete third;
        third = nullptr;
    };
    second->mAction = [&](UInt32) { delete second; }; // deletes itself
    broadcaster.BroadcastMessage('kill', nullptr);
    EXPECT_EQ(log, (std::vector<int> { 1, 2 }));
    log.clear();
    broadcaster.BroadcastMessage('agai', nullptr);
    EXPECT_EQ(log, (std::vector<int> { 1 }));
}

TEST(CMsgBroadcaster, DestroyedDuringItsOwnBroadcastEndsThePassAndSendsEbde)
{
    std::vector<int> log;
    auto* broadcaster = new CMsgBroadcaster;
    Recorder a(&log, 1), b(&log, 2);
    broadcaster->AddListener(&a);
    broadcaster->AddListener(&b);
    std::vector<UInt32> heardByB;
    b.mAction = [&](UInt32 message) { heardByB.push_back(message); };
    a.mAction = [&](UInt32 message) {
        if (message == 'boom')
            delete broadcaster;
    };
    broadcaster->BroadcastMessage('boom', nullptr);
    // b hears only the destruction notice, never the rest of the dead pass.
    EXPECT_EQ(heardByB, (std::vector<UInt32> { CMsgBroadcaster::kMsgBroadcasterDied }));
    EXPECT_FALSE(a.IsListeningTo(broadcaster));
    EXPECT_FALSE(b.IsListeningTo(broadcaster));
}

TEST(CMsgBroadcaster, EbdeCarriesTheBroadcasterAndListenersMayDeleteThemselves)
{
    std::vector<int> log;
    auto* broadcaster = new CMsgBroadcaster;
    broadcaster->SetBroadcasting(false); // the notice goes out anyway
    auto* device = new Recorder(&log, 1);
    Recorder other(&log, 2);
    broadcaster->AddListener(device);
    broadcaster->AddListener(&other);
    void* seen = nullptr;
    device->mAction = [&](UInt32 message) {
        if (message == CMsgBroadcaster::kMsgBroadcasterDied) {
            seen = device->mParameter;
            delete device;
        }
    };
    CMsgBroadcaster* expected = broadcaster;
    delete broadcaster;
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(log, (std::vector<int> { 1, 2 }));
}

TEST(CMsgListener, DestroyedListenerDetachesFromEveryBroadcaster)
{
    std::vector<int> log;
    CMsgBroadcaster one, two;
    {
        Recorder r(&log, 1);
        one.AddListener(&r);
        two.AddListener(&r);
        EXPECT_TRUE(one.HasListener(&r));
    }
    one.BroadcastMessage('x   ', nullptr);
    two.BroadcastMessage('y   ', nullptr);
    EXPECT_TRUE(log.empty());
}
