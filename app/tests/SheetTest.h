#pragma once

// Fixture of the sheet and list tests: the program's application object
// (without its splash screen) on the manual clock, a clean preference domain,
// a map manager with the symbol pictures and coordinate texts, and helpers that
// work windows as a user does, through the input funnel.

#include "app/tests/AppWindowTest.h"
#include "display/WindowServer.h"
#include "foundation/CCoordinate.h"
#include "foundation/CPreferences.h"
#include "framework/CMacWindow.h"
#include "framework/ConstructController.h"
#include "mapdata/CMapManager.h"
#include "model/CMapObject.h"
#include "tests/support/InputDriver.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TestSupport.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/Sound.h"
#include "toolbox/Theme.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/WindowList.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "widgets/CViewInvalidator.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tw::test {

using SheetApplication = QuietApplication;

class SheetTest : public AppWindowTest {
protected:
    static constexpr UInt32 kKeyTab = 48, kKeyReturn = 36, kKeyEscape = 53, kKeySpace = 49, kKeyDelete = 51,
                            kKeyDown = 125, kKeyUp = 126;

    void SetUp() override
    {
        display::WindowServer::ResetForTesting();
        toolbox::MenuBar::Reset();
        toolbox::Beeper::ResetForTesting();
        ClearPreferences();
        mApp = std::make_unique<SheetApplication>();
        ASSERT_EQ(mApp->InitialiseBegin(), noErr);
        ASSERT_EQ(mApp->InitialisePreferences(), noErr);
        mManager = std::make_unique<CMapManager>();
        mManager->LoadMapsFrom({});
        CMapObject::SetMapManager(mManager.get());
    }

    void TearDown() override
    {
        mApp.reset();
        DisposeAllWindows();
        Run(1); // redraws still due end with their views
        EXPECT_EQ(CViewInvalidator::GetLiveCount(), 0u);
        CMapObject::SetMapManager(nullptr);
        CCoordinate::SetTextHooks(nullptr, nullptr);
        mManager.reset();
        toolbox::MenuBar::Reset();
        display::WindowServer::ResetForTesting();
        toolbox::Beeper::ResetForTesting();
        ClearPreferences();
    }

    static void ClearPreferences() { RemovePreferences({ "MapUnits", "MapCoordinates" }); }

    CPreferences& Prefs() { return mApp->GetPreferences(); }
    static void Run(EventTime seconds = 0.2) { ManualClock::RunFor(seconds); }

    static void Click(WindowRef window, OSType id)
    {
        ControlRef control = Find(window, id);
        ASSERT_NE(control, nullptr);
        InputDriver::Click(Centre(control));
        Run();
    }
    static void Key(UInt32 code, UInt32 character = 0, UInt32 modifiers = 0)
    {
        InputDriver::Key(code, character, modifiers);
        Run();
    }
    // Chooses everything in the focused field and types over it.
    static void Retype(std::string const& text)
    {
        InputDriver::Key(0, 'a', cmdKey);
        if (text.empty())
            InputDriver::Key(kKeyDelete, 8);
        else
            InputDriver::Type(text);
        Run();
    }
    static std::string Text(WindowRef window, OSType id)
    {
        CFStringRef text = nullptr;
        GetControlData(Find(window, id), 0, kControlEditTextCFStringTag, sizeof text, &text, nullptr);
        std::string const utf8 = cf::ToUTF8(text);
        if (text)
            CFRelease(text);
        return utf8;
    }
    static ControlRef Focus(WindowRef window)
    {
        ControlRef focus = nullptr;
        GetKeyboardFocus(window, &focus);
        return focus;
    }

    // Opens the popup with a press and lets go over the item once its menu shows.
    static void Choose(WindowRef window, OSType id, MenuItemIndex item) { ChooseAt(Centre(Find(window, id)), item); }

    ManualClock mClock;
    std::unique_ptr<SheetApplication> mApp;
    std::unique_ptr<CMapManager> mManager;
};

// A window standing where a document window stands for its sheets: it shows one
// sheet and completes it on "ok  " or "not!", calling back first, as a document
// does; the sheet controller is deleted right there, inside its own command.
template <typename Sheet> class SheetHost {
public:
    using Completion = std::function<void(Sheet* sheet, UInt32 command)>;

    SheetHost()
        : mWindow(CString("Tarnwick"), CString("Test"))
    {
        mWindow.SetVisible(true);
        mWindow.Select(true);
        EventTypeSpec const spec { kEventClassCommand, kEventCommandProcess };
        InstallEventHandler(mWindow.GetEventTarget(), Command, 1, &spec, this, &mHandler);
    }
    ~SheetHost()
    {
        RemoveEventHandler(mHandler);
        Close();
    }

    Sheet* Open()
    {
        mSheet = ConstructController<Sheet>("Tarnwick", Sheet::kNibWindow, false);
        if (mSheet)
            mWindow.BeginSheet(mSheet->GetWindow());
        return mSheet;
    }
    void OnComplete(Completion completion) { mCompletion = std::move(completion); }

    Sheet* GetSheet() const { return mSheet; }
    WindowRef GetSheetWindow() const { return mSheet ? mSheet->GetWindow()->GetWindowRef() : nullptr; }
    CMacWindow& GetWindow() { return mWindow; }
    std::vector<UInt32> const& GetCompleted() const { return mCompleted; }

private:
    void Close()
    {
        if (!mSheet)
            return;
        mWindow.EndSheet();
        delete mSheet;
        mSheet = nullptr;
    }

    static OSStatus Command(EventHandlerCallRef, EventRef event, void* data)
    {
        auto* self = static_cast<SheetHost*>(data);
        HICommandExtended command {};
        GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
        if ((command.commandID != 'ok  ' && command.commandID != 'not!') || !self->mSheet)
            return eventNotHandledErr;
        self->mCompleted.push_back(command.commandID);
        if (self->mCompletion)
            self->mCompletion(self->mSheet, command.commandID);
        self->Close();
        return noErr;
    }

    CMacWindow mWindow;
    EventHandlerRef mHandler = nullptr;
    Sheet* mSheet = nullptr; // owns
    Completion mCompletion;
    std::vector<UInt32> mCompleted;
};

} // namespace tw::test
