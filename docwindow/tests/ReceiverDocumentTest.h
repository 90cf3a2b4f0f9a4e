#pragma once

// Fixture of the tests that run map documents with live receivers: the application object
// with its own device registry reading the test's serial ports (pseudo-terminals that play a
// receiver), on the real clock, with a clean screen, menu bar, Apple events and dialog answers,
// and nothing left behind.

#include "devices/CDeviceManager.h"
#include "devices/tests/support/DeviceTestSupport.h"
#include "docwindow/tests/DocumentTest.h"
#include "foundation/CThreadTask.h"

namespace tw::test {

// The application with its registry set up by the test.
class ReceiverApplication : public CTWApplication {
public:
    explicit ReceiverApplication(CDeviceManager::Setup devices)
        : CTWApplication(std::move(devices))
    {
    }
    CString GetPropertyString(unsigned long id) const override
    {
        return id == 'spla' ? CString() : CTWApplication::GetPropertyString(id);
    }
    void SetRunning() { SetAppMode(kModeRunning); }
};

class ReceiverDocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CThreadTask::ResetForTesting();
        display::WindowServer::ResetForTesting();
        toolbox::MenuBar::Reset();
        services::ResetAppleEventsForTesting();
        toolbox::dialogs::Responders::Reset();
    }
    void TearDown() override
    {
        for (CDocument* document : CDocument::GetDocuments(false))
            delete document;
        mApp.reset();
        for (WindowRef window : std::vector<WindowRef>(toolbox::WindowList::FrontToBack()))
            DisposeWindow(window);
        // Redraws that were still due go before the next test counts them.
        EXPECT_TRUE(RunLoopUntil([] { return CViewInvalidator::GetLiveCount() == 0; }, 2));
        CWindowDocument::SetShell(nullptr);
        toolbox::MenuBar::Reset();
        services::ResetAppleEventsForTesting();
        display::WindowServer::ResetForTesting();
    }

    // Starts the application as main does, its registry set up as given.
    void StartApplication(CDeviceManager::Setup devices)
    {
        mApp = std::make_unique<ReceiverApplication>(std::move(devices));
        ASSERT_EQ(mApp->InitialiseBegin(), noErr);
        ASSERT_EQ(mApp->InitialisePreferences(), noErr);
        ASSERT_EQ(mApp->InitialiseMenuBar(), noErr);
        ASSERT_EQ(mApp->InitialiseSelf(), noErr);
        mApp->SetRunning();
    }

    static OSStatus Command(CWindowDocument* document, UInt32 command)
    {
        CCarbonEvent event = CCarbonEvent::CreateWithHICommandID(command);
        return document->DispatchEvent(event, nullptr);
    }

    RealClock mClock;
    std::unique_ptr<ReceiverApplication> mApp;
};

} // namespace tw::test
