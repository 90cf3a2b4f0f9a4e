#pragma once

// Fixture of the application tests: a clean screen, menu bar, event system (on the
// manual clock), Apple events and dialog answers, and an application object whose
// event loop gives up after ten minutes of loop time instead of hanging a test.

#include "display/WindowServer.h"
#include "framework/CApplication.h"
#include "framework/CDocument.h"
#include "framework/CMacWindow.h"
#include "tests/support/ManualClock.h"
#include "toolbox/MenuBar.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/WindowList.h"
#include "toolbox/dialogs/Responders.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace tw::test {

// A plain document in the nib's empty test window (the "Document" window is the map's).
class TestDocument : public CDocument {
public:
    CString GetPropertyString(unsigned long id) const override
    {
        return id == 'dnwn' ? CString("Test Document") : CDocument::GetPropertyString(id);
    }
};

class TestApplication : public CApplication {
public:
    static constexpr EventTime kLoopLimit = 600; // [s] of manual-clock time

    CString GetPropertyString(unsigned long id) const override
    {
        switch (id) {
        case 'anib':
            return "Tarnwick";
        case 'spla':
            return CString(); // no splash screen in tests
        case 'aver':
            return "1.0";
        default:
            return CApplication::GetPropertyString(id);
        }
    }
    CDocument* CreateDocument() override { return new TestDocument(); }
    OSStatus RunEventLoop() override
    {
        mLoopRan = true;
        mTimedOut = false;
        EventLoopTimerRef guard = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), kLoopLimit, 0, NewEventLoopTimerUPP(&TestApplication::GiveUp), this, &guard);
        RunApplicationEventLoop();
        RemoveEventLoopTimer(guard);
        return noErr;
    }
    void SetCurrentDocument(CDocument* document) override
    {
        // A closed document handed over as current would be used after it was freed.
        if (document && !CDocument::IsDocument(document))
            ++mDeadDocumentsMadeCurrent;
        CApplication::SetCurrentDocument(document);
    }
    void SetRunning() { SetAppMode(kModeRunning); }
    // Runs the loop until the quit sequence ends it; false when it did not.
    bool RunUntilQuit()
    {
        RunEventLoop();
        return !mTimedOut;
    }

    int mDeadDocumentsMadeCurrent = 0;
    bool mLoopRan = false;
    bool mTimedOut = false;

private:
    static void GiveUp(EventLoopTimerRef, void* data)
    {
        static_cast<TestApplication*>(data)->mTimedOut = true;
        QuitApplicationEventLoop();
    }
};

class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display::WindowServer::ResetForTesting();
        toolbox::MenuBar::Reset();
        services::ResetAppleEventsForTesting();
        toolbox::dialogs::Responders::Reset();
        CDocument::ResetUntitledCountForTesting();
        mFolder = std::filesystem::path(std::getenv("TMPDIR"))
            / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(mFolder);
        CPreferences prefs; // each test starts with no recent items and no launch history
        for (char const* key : { "RecentItems", "AppFirstLaunchDate", "AppRunCount", "SoftwareUpdatePeriod" })
            prefs.RemovePref(key);
        prefs.Flush();
    }
    void TearDown() override
    {
        for (CDocument* document : CDocument::GetDocuments(false))
            delete document;
        mApp.reset();
        for (WindowRef window : std::vector<WindowRef>(toolbox::WindowList::FrontToBack()))
            DisposeWindow(window);
        toolbox::MenuBar::Reset();
        services::ResetAppleEventsForTesting();
        display::WindowServer::ResetForTesting();
    }

    TestApplication& StartApp()
    {
        mApp = std::make_unique<TestApplication>();
        EXPECT_EQ(mApp->InitialiseBegin(), noErr);
        EXPECT_EQ(mApp->InitialiseMenuBar(), noErr);
        mApp->SetRunning(); // as after the start-up steps
        return *mApp;
    }
    CDocument* NewDocument(CFile const* file = nullptr)
    {
        CDocument* document = nullptr;
        EXPECT_EQ(mApp->CommandCreate(file, &document), noErr);
        return document;
    }
    std::string PathFor(char const* name) const { return (mFolder / name).string(); }
    static UInt32 AlertsShown()
    {
        UInt32 count = 0;
        for (auto const& shown : toolbox::dialogs::Responders::History())
            count += shown.kind == toolbox::dialogs::DialogKind::Alert;
        return count;
    }

    ManualClock mClock;
    std::unique_ptr<TestApplication> mApp;
    std::filesystem::path mFolder;
};

} // namespace tw::test
