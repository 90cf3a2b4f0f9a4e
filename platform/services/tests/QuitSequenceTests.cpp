#include "events/CarbonEvents.h"
#include "events/CommandTypes.h"
#include "services/AppleEvents.h"
#include "tests/support/ManualClock.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Each test starts with no Apple event handlers and a clean event system.
class AppleEventDelivery : public testing::Test {
protected:
    AppleEventDelivery() { tw::services::ResetAppleEventsForTesting(); }
    ~AppleEventDelivery() override { tw::services::ResetAppleEventsForTesting(); }

    // Posts a quit command at 1 s and stops the loop at 60 s whatever happens.
    void RunApplicationWithQuitCommand()
    {
        EventRef quit = nullptr;
        CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, kEventAttributeNone, &quit);
        HICommandExtended command {};
        command.commandID = kHICommandQuit;
        SetEventParameter(quit, kEventParamDirectObject, typeHICommand, sizeof command, &command);
        auto post = [](EventLoopTimerRef, void* event) {
            PostEventToQueue(GetMainEventQueue(), static_cast<EventRef>(event), kEventPriorityStandard);
        };
        auto stop = [](EventLoopTimerRef, void* reached) {
            *static_cast<bool*>(reached) = true;
            QuitApplicationEventLoop();
        };
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(GetMainEventLoop(), 1.0, 0, post, quit, &timer);
        InstallEventLoopTimer(GetMainEventLoop(), 60.0, 0, stop, &mGuardReached, &timer);
        RunApplicationEventLoop();
        mEndedAt = tw::test::ManualClock::Now() - mStart;
        ReleaseEvent(quit);
    }

    static OSErr Record(AppleEvent const* event, AppleEvent* reply, SRefCon refcon)
    {
        auto* self = static_cast<AppleEventDelivery*>(refcon);
        AEEventID id = 0;
        AEGetAttributePtr(event, keyEventIDAttr, typeType, nullptr, &id, sizeof id, nullptr);
        self->mSeen.push_back(id);
        if (reply && reply->descriptorType != typeNull)
            AEPutParamPtr(reply, keyDirectObject, typeChar, "done", 4);
        return self->mAnswer;
    }

    tw::test::ManualClock mClock;
    EventTime mStart = tw::test::ManualClock::Now();
    std::vector<AEEventID> mSeen;
    OSErr mAnswer = noErr;
    bool mGuardReached = false;
    EventTime mEndedAt = 0;
};

TEST_F(AppleEventDelivery, UnhandledQuitCommandEndsTheLoopThroughTheQuitAppleEvent)
{
    // The application looks at the quit event but leaves it to the default.
    mAnswer = errAEEventNotHandled;
    ASSERT_EQ(AEInstallEventHandler(kCoreEventClass, kAEQuitApplication, Record, this, false), noErr);
    RunApplicationWithQuitCommand();
    EXPECT_EQ(mSeen, (std::vector<AEEventID> { kAEQuitApplication }));
    EXPECT_FALSE(mGuardReached);
    EXPECT_DOUBLE_EQ(mEndedAt, 1.0);
}

TEST_F(AppleEventDelivery, QuitWithNoHandlersAtAllStillEndsTheLoop)
{
    RunApplicationWithQuitCommand();
    EXPECT_FALSE(mGuardReached);
    EXPECT_DOUBLE_EQ(mEndedAt, 1.0);
}

TEST_F(AppleEventDelivery, AQuitHandlerThatRefusesKeepsTheApplicationRunning)
{
    mAnswer = userCanceledErr;
    ASSERT_EQ(AEInstallEventHandler(kCoreEventClass, kAEQuitApplication, Record, this, false), noErr);
    RunApplicationWithQuitCommand();
    EXPECT_EQ(mSeen, (std::vector<AEEventID> { kAEQuitApplication }));
    EXPECT_TRUE(mGuardReached);
}

TEST_F(AppleEventDelivery, ACommandHandlerThatTakesQuitStopsTheChain)
{
    ASSERT_EQ(AEInstallEventHandler(kCoreEventClass, kAEQuitApplication, Record, this, false), noErr);
    EventTypeSpec const spec { kEventClassCommand, kEventCommandProcess };
    auto take = [](EventHandlerCallRef, EventRef, void*) -> OSStatus { return noErr; };
    InstallEventHandler(GetApplicationEventTarget(), take, 1, &spec, nullptr, nullptr);
    RunApplicationWithQuitCommand();
    EXPECT_TRUE(mSeen.empty());
    EXPECT_TRUE(mGuardReached);
}

TEST_F(AppleEventDelivery, WaitReplyCallsAtOnceAndNoReplyGoesThroughTheLoop)
{
    ASSERT_EQ(AEInstallEventHandler(kCoreEventClass, typeWildCard, Record, this, false), noErr);
    AppleEvent open, reply;
    AECreateAppleEvent(kCoreEventClass, kAEOpenDocuments, nullptr, kAutoGenerateReturnID, kAnyTransactionID, &open);
    ASSERT_EQ(AESend(&open, &reply, kAEWaitReply, kAENormalPriority, kAEDefaultTimeout, nullptr, nullptr), noErr);
    EXPECT_EQ(mSeen, (std::vector<AEEventID> { kAEOpenDocuments }));
    char text[8] = {};
    Size size = 0;
    EXPECT_EQ(AEGetParamPtr(&reply, keyDirectObject, typeChar, nullptr, text, sizeof text, &size), noErr);
    EXPECT_EQ(std::string(text, std::size_t(size)), "done");
    AEDisposeDesc(&reply);

    mSeen.clear();
    ASSERT_EQ(AESend(&open, nullptr, kAENoReply, kAENormalPriority, kAEDefaultTimeout, nullptr, nullptr), noErr);
    EXPECT_TRUE(mSeen.empty());
    EXPECT_EQ(GetNumEventsInQueue(GetMainEventQueue()), 1u);
    tw::test::ManualClock::RunFor(0.1);
    EXPECT_EQ(mSeen, (std::vector<AEEventID> { kAEOpenDocuments }));
    AEDisposeDesc(&open);
}

TEST_F(AppleEventDelivery, TheApplicationMayProcessTheCarrierEventItself)
{
    ASSERT_EQ(AEInstallEventHandler(kInternetEventClass, kAEGetURL, Record, this, false), noErr);
    struct Seen {
        AEEventClass eventClass = 0;
        OSErr status = 1;
    } seen;
    auto process = [](EventHandlerCallRef, EventRef event, void* userData) -> OSStatus {
        auto* s = static_cast<Seen*>(userData);
        GetEventParameter(
            event, kEventParamAEEventClass, typeType, nullptr, sizeof s->eventClass, nullptr, &s->eventClass);
        EventRecord record;
        if (!ConvertEventRefToEventRecord(event, &record))
            return eventNotHandledErr;
        s->status = AEProcessAppleEvent(&record);
        // The same queued event cannot be processed twice.
        EXPECT_EQ(AEProcessAppleEvent(&record), paramErr);
        return noErr;
    };
    EventTypeSpec const spec { kEventClassAppleEvent, kEventAppleEvent };
    InstallEventHandler(GetApplicationEventTarget(), process, 1, &spec, &seen, nullptr);
    AppleEvent url;
    AECreateAppleEvent(kInternetEventClass, kAEGetURL, nullptr, kAutoGenerateReturnID, kAnyTransactionID, &url);
    AESend(&url, nullptr, kAENoReply, kAENormalPriority, kAEDefaultTimeout, nullptr, nullptr);
    AEDisposeDesc(&url);
    tw::test::ManualClock::RunFor(0.1);
    EXPECT_EQ(seen.eventClass, kInternetEventClass);
    EXPECT_EQ(seen.status, noErr);
    EXPECT_EQ(mSeen, (std::vector<AEEventID> { kAEGetURL }));
}

TEST_F(AppleEventDelivery, HandlerTableInstallsReplacesAndRemoves)
{
    AEEventHandlerUPP found = nullptr;
    SRefCon refcon = nullptr;
    EXPECT_EQ(AEGetEventHandler(kCoreEventClass, kAEOpenApplication, &found, &refcon, false), errAEHandlerNotFound);
    int other = 0;
    ASSERT_EQ(AEInstallEventHandler(kCoreEventClass, kAEOpenApplication, Record, this, false), noErr);
    ASSERT_EQ(AEInstallEventHandler(kCoreEventClass, kAEOpenApplication, Record, &other, false), noErr);
    ASSERT_EQ(AEGetEventHandler(kCoreEventClass, kAEOpenApplication, &found, &refcon, false), noErr);
    EXPECT_EQ(found, Record);
    EXPECT_EQ(refcon, &other);
    EXPECT_EQ(AEInstallEventHandler(kCoreEventClass, kAEOpenApplication, nullptr, this, false), paramErr);
    EXPECT_EQ(AERemoveEventHandler(kCoreEventClass, kAEOpenApplication, Record, false), noErr);
    EXPECT_EQ(AERemoveEventHandler(kCoreEventClass, kAEOpenApplication, Record, false), errAEHandlerNotFound);

    // With no handler, the event is reported as not handled.
    AppleEvent open, reply;
    AECreateAppleEvent(kCoreEventClass, kAEOpenApplication, nullptr, kAutoGenerateReturnID, kAnyTransactionID, &open);
    EXPECT_EQ(AESend(&open, &reply, kAEWaitReply, kAENormalPriority, kAEDefaultTimeout, nullptr, nullptr),
        errAEEventNotHandled);
    SInt32 number = 0;
    EXPECT_EQ(AEGetParamPtr(&reply, keyErrorNumber, typeSInt32, nullptr, &number, sizeof number, nullptr), noErr);
    EXPECT_EQ(number, errAEEventNotHandled);
    AEDisposeDesc(&reply);
    AEDisposeDesc(&open);
}

} // namespace
