#include "framework/CAppleEventHandler.h"
#include "tests/support/ManualClock.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class CRecordingAppleEvents : public CAppleEventHandler {
public:
    OSStatus Note(std::string name, OSStatus result)
    {
        mLog.push_back(std::move(name));
        return result;
    }
    OSStatus DoAppleEvent(AEDesc const&) override { return Note("DoAppleEvent", mCatchAll); }
    OSStatus DoAppleEventOpenApp(AEDesc const&) override { return Note("OpenApp", noErr); }
    OSStatus DoAppleEventOpenDocs(AEDesc const& event) override
    {
        long count = 0;
        AEDesc list { typeNull, nullptr };
        if (AEGetParamDesc(&event, keyDirectObject, typeAEList, &list) == noErr)
            AECountItems(&list, &count);
        AEDisposeDesc(&list);
        return Note("OpenDocs " + std::to_string(count), noErr);
    }
    OSStatus DoAppleEventQuitApp(AEDesc const&) override { return Note("QuitApp", mQuitResult); }
    OSStatus DoAppleEventGetURL(AEDesc const&) override { return Note("GetURL", noErr); }

    std::vector<std::string> mLog;
    OSStatus mCatchAll = eventNotHandledErr;
    OSStatus mQuitResult = noErr;
};

class CAppleEventHandlerTest : public testing::Test {
protected:
    CAppleEventHandlerTest() { tw::services::ResetAppleEventsForTesting(); }
    ~CAppleEventHandlerTest() override { tw::services::ResetAppleEventsForTesting(); }

    static OSErr Send(AEEventClass eventClass, AEEventID eventID, AEDesc const* directObject = nullptr)
    {
        AppleEvent event, reply;
        AECreateAppleEvent(eventClass, eventID, nullptr, kAutoGenerateReturnID, kAnyTransactionID, &event);
        if (directObject)
            AEPutParamDesc(&event, keyDirectObject, directObject);
        OSErr const status
            = AESend(&event, &reply, kAEWaitReply, kAENormalPriority, kAEDefaultTimeout, nullptr, nullptr);
        AEDisposeDesc(&reply);
        AEDisposeDesc(&event);
        return status;
    }

    tw::test::ManualClock mClock;
};

EventTypeSpec const kAllSupported[] = { { kCoreEventClass, kAEOpenApplication }, { kCoreEventClass, kAEOpenDocuments },
    { kCoreEventClass, kAEPrintDocuments }, { kCoreEventClass, kAEQuitApplication },
    { kCoreEventClass, kAEReopenApplication }, { kInternetEventClass, kAEGetURL }, { 0, 0 } };

TEST_F(CAppleEventHandlerTest, SupportedEventsReachTheirOperations)
{
    CRecordingAppleEvents handler;
    ASSERT_EQ(handler.InstallHandler(kAllSupported), noErr);
    AEDescList files;
    AECreateList(nullptr, 0, false, &files);
    AEPutPtr(&files, 0, typeFileURL, "file:///a.gpx", 13);
    AEPutPtr(&files, 0, typeFileURL, "file:///b.loc", 13);
    EXPECT_EQ(Send(kCoreEventClass, kAEOpenApplication), noErr);
    EXPECT_EQ(Send(kCoreEventClass, kAEOpenDocuments, &files), noErr);
    EXPECT_EQ(Send(kInternetEventClass, kAEGetURL), noErr);
    AEDisposeDesc(&files);
    EXPECT_EQ(handler.mLog, (std::vector<std::string> { "OpenApp", "OpenDocs 2", "GetURL" }));
}

TEST_F(CAppleEventHandlerTest, UnhandledOperationsFallToTheCatchAll)
{
    CRecordingAppleEvents handler;
    handler.InstallHandler(kAllSupported);
    handler.mCatchAll = -1;
    // Not overridden: print and reopen go to the catch-all.
    EXPECT_EQ(Send(kCoreEventClass, kAEPrintDocuments), -1);
    handler.mQuitResult = eventNotHandledErr;
    EXPECT_EQ(Send(kCoreEventClass, kAEQuitApplication), -1);
    EXPECT_EQ(handler.mLog, (std::vector<std::string> { "DoAppleEvent", "QuitApp", "DoAppleEvent" }));
}

TEST_F(CAppleEventHandlerTest, OtherIdsReachOnlyTheCatchAll)
{
    CRecordingAppleEvents handler;
    // Installed for every id of both classes, as another part of the application might.
    AEInstallEventHandler(kCoreEventClass, typeWildCard, CAppleEventHandler::EventHandler, &handler, false);
    AEInstallEventHandler(kInternetEventClass, typeWildCard, CAppleEventHandler::EventHandler, &handler, false);
    handler.mCatchAll = noErr;
    EXPECT_EQ(Send(kCoreEventClass, 'odis'), noErr);
    EXPECT_EQ(Send(kInternetEventClass, 'FURL'), noErr);
    EXPECT_EQ(handler.mLog, (std::vector<std::string> { "DoAppleEvent", "DoAppleEvent" }));
}

TEST_F(CAppleEventHandlerTest, OnlySupportedPairsAreInstalled)
{
    CRecordingAppleEvents handler;
    EventTypeSpec const unsupported[] = { { kCoreEventClass, 'odis' }, { 'misc', 'dosc' }, { 0, 0 } };
    EXPECT_EQ(handler.InstallHandler(unsupported), noErr);
    AEEventHandlerUPP found = nullptr;
    EXPECT_EQ(AEGetEventHandler(kCoreEventClass, 'odis', &found, nullptr, false), errAEHandlerNotFound);
    EXPECT_EQ(AEGetEventHandler('misc', 'dosc', &found, nullptr, false), errAEHandlerNotFound);
    EXPECT_EQ(handler.InstallHandler(nullptr), noErr);
}

TEST_F(CAppleEventHandlerTest, ADestroyedHandlerIsNoLongerCalled)
{
    auto handler = std::make_unique<CRecordingAppleEvents>();
    handler->InstallHandler(kAllSupported);
    CRecordingAppleEvents survivor;
    EventTypeSpec const getURL[] = { { kInternetEventClass, kAEGetURL }, { 0, 0 } };
    survivor.InstallHandler(getURL); // replaces the first for this pair
    handler.reset();
    EXPECT_EQ(Send(kCoreEventClass, kAEOpenApplication), errAEEventNotHandled);
    EXPECT_EQ(Send(kInternetEventClass, kAEGetURL), noErr);
    EXPECT_EQ(survivor.mLog, (std::vector<std::string> { "GetURL" }));
}

} // namespace
