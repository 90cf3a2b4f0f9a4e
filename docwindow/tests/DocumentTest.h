#pragma once

// Fixture of the map document and application tests: a clean screen, menu bar,
// Apple events and dialog answers on the manual clock; the application object
// started as far as a test asks; and a listener that records what a document
// broadcasts.

#include "app/CTWApplication.h"
#include "display/WindowServer.h"
#include "docwindow/CWindowDocument.h"
#include "foundation/CMsgListener.h"
#include "framework/CMacWindow.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TestSupport.h"
#include "widgets/CHIObject.h"
#include "widgets/ControlClasses.h"
#include "widgets/CViewInvalidator.h"
#include "toolbox/HIObject.h"
#include "toolbox/MenuBar.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/WindowList.h"
#include "toolbox/dialogs/Responders.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tw::test {

// The application as main runs it, without a splash screen, with an event loop that
// gives up after ten minutes of loop time instead of hanging a test.
class TestTWApplication : public CTWApplication {
public:
    // No receivers are looked for: the tests' own units stand in for them.
    TestTWApplication()
        : CTWApplication(CDeviceManager::Setup {})
    {
    }
    static constexpr EventTime kLoopLimit = 600; // [s] of manual-clock time

    CString GetPropertyString(unsigned long id) const override
    {
        return id == 'spla' ? CString() : CTWApplication::GetPropertyString(id);
    }
    OSStatus RunEventLoop() override
    {
        mTimedOut = false;
        EventLoopTimerRef guard = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), kLoopLimit, 0, NewEventLoopTimerUPP(&TestTWApplication::GiveUp), this, &guard);
        RunApplicationEventLoop();
        RemoveEventLoopTimer(guard);
        return noErr;
    }
    void SetRunning() { SetAppMode(kModeRunning); }
    bool mTimedOut = false;

private:
    static void GiveUp(EventLoopTimerRef, void* data)
    {
        static_cast<TestTWApplication*>(data)->mTimedOut = true;
        QuitApplicationEventLoop();
    }
};

// Every message of a broadcaster, in order.
class BroadcastLog : public CMsgListener {
public:
    struct Entry {
        UInt32 message;
        void* parameter;
    };
    void DoMessage(UInt32 message, void* parameter) override { mEntries.push_back({ message, parameter }); }
    std::size_t Count(UInt32 message) const
    {
        std::size_t count = 0;
        for (Entry const& entry : mEntries)
            count += entry.message == message;
        return count;
    }
    std::vector<UInt32> Messages() const
    {
        std::vector<UInt32> messages;
        for (Entry const& entry : mEntries)
            messages.push_back(entry.message);
        return messages;
    }
    void Clear() { mEntries.clear(); }
    std::vector<Entry> mEntries;
};

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display::WindowServer::ResetForTesting();
        toolbox::MenuBar::Reset();
        services::ResetAppleEventsForTesting();
        toolbox::dialogs::Responders::Reset();
        CDocument::ResetUntitledCountForTesting();
        // The application installs this once per process; a test before may have taken it away.
        InstallControlWindowSupport();
        CPreferences prefs; // each test starts as a first start
        for (char const* key : { "ShowGrid", "MapUnits", "MapCoordinates", "GlobalDocument", "ResizeOnZoom",
                 "DeviceLog", "DeviceReset", "RecentItems", "AppFirstLaunchDate", "AppRunCount",
                 "SoftwareUpdatePeriod", "StyleWaypoint.LineWidth", "StyleWaypoint.LineStyle",
                 "StyleWaypoint.ColourFill", "StyleWaypoint.ColourFrame" })
            prefs.RemovePref(key);
        prefs.Flush();
        std::error_code error;
        std::filesystem::remove_all(ApplicationSupport(), error);
        mLiveAtStart = toolbox::HIObject::LiveCount();
    }
    void TearDown() override
    {
        for (CDocument* document : CDocument::GetDocuments(false))
            delete document;
        mApp.reset();
        for (WindowRef window : std::vector<WindowRef>(toolbox::WindowList::FrontToBack()))
            DisposeWindow(window);
        ManualClock::RunFor(1); // redraws and hand-offs that were still due
        toolbox::MenuBar::Reset();
        EXPECT_EQ(CViewInvalidator::GetLiveCount(), 0u);
        EXPECT_EQ(toolbox::HIObject::LiveCount(), mLiveAtStart) << "toolbox objects leaked";
        EXPECT_EQ(CHIObject::GetRegistrySize(), 0u) << "wrappers outlived their views";
        services::ResetAppleEventsForTesting();
        display::WindowServer::ResetForTesting();
    }

    // The start-up steps up to and including InitialiseSelf: the global document is the test's.
    TestTWApplication& StartApp()
    {
        mApp = std::make_unique<TestTWApplication>();
        EXPECT_EQ(mApp->InitialiseBegin(), noErr);
        EXPECT_EQ(mApp->InitialisePreferences(), noErr);
        EXPECT_EQ(mApp->InitialiseMenuBar(), noErr);
        EXPECT_EQ(mApp->InitialiseSelf(), noErr);
        mApp->SetRunning();
        return *mApp;
    }
    CWindowDocument* NewDocument(CFile const* file = nullptr)
    {
        CDocument* document = nullptr;
        EXPECT_EQ(mApp->CommandCreate(file, &document), noErr);
        return dynamic_cast<CWindowDocument*>(document);
    }
    // Sends a command to the document as a menu item would.
    static OSStatus Command(CWindowDocument* document, UInt32 command)
    {
        CCarbonEvent event = CCarbonEvent::CreateWithHICommandID(command);
        return document->DispatchEvent(event, nullptr);
    }
    static SInt32 Status(CWindowDocument* document, UInt32 command)
    {
        HICommandExtended extended {};
        extended.commandID = command;
        return document->GetMenuStatus(extended);
    }
    static std::filesystem::path ApplicationSupport()
    {
        char const* data = std::getenv("XDG_DATA_HOME");
        return std::filesystem::path(data ? data : "") / "Tarnwick";
    }
    std::string PathFor(std::string const& name) const { return (mFolder.Path() / name).string(); }
    static CFile FileAt(std::string const& path) { return CFile(CString(path.c_str())); }

    ManualClock mClock;
    TempFolder mFolder;
    std::unique_ptr<TestTWApplication> mApp;
    std::size_t mLiveAtStart = 0;
};

} // namespace tw::test
