#pragma once

// Fixture of the device and find windows' tests: a clean screen and preference domain,
// the widget and view classes, an application object for the preferences, the real clock
// (search workers and receivers run on threads), and a document the find window can use.

#include "app/tests/AppWindowTest.h"
#include "app/windows/AppWindowClasses.h"
#include "app/windows/CWindowDevices.h"
#include "app/windows/CWindowFind.h"
#include "app/windows/IFindDocument.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "devices/tests/support/DeviceTestSupport.h"
#include "display/WindowServer.h"
#include "foundation/CThreadTask.h"
#include "framework/CApplication.h"
#include "framework/CMacWindow.h"
#include "model/CMapObject.h"
#include "model/CThreadSearch.h"
#include "model/tests/MapPackTestSupport.h"
#include "tests/support/InputDriver.h"
#include "tests/support/ManualClock.h"
#include "tests/support/ScreenProbe.h"
#include "tests/support/TestSupport.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/WindowList.h"
#include "widgets/ControlClasses.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tw::test {

// The document the find window searches: a window whose command handler hears the zoom
// commands, and a plain list of objects.
class FindDocumentStandIn : public IFindDocument {
public:
    FindDocumentStandIn()
    {
        Rect const content { 300, 600, 500, 900 };
        CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &content, &mWindow);
        EventTypeSpec const command { kEventClassCommand, kEventCommandProcess };
        InstallEventHandler(GetWindowEventTarget(mWindow), &FindDocumentStandIn::HearCommand, 1, &command, this,
            nullptr);
    }
    ~FindDocumentStandIn() override
    {
        for (CMapObject* object : objects)
            delete object;
        if (mWindow)
            DisposeWindow(mWindow);
    }

    CCoordinate GetMapCentre() override { return centre; }
    bool CouldZoomMap(CHIView::ZoomType type) const override
    {
        return type == CHIView::kZoomIn ? canZoomIn : canZoomOut;
    }
    WindowRef GetDocumentWindowRef() const override { return mWindow; }
    bool AddObject(CMapObject* object) override
    {
        objects.push_back(object);
        return true;
    }
    void RemoveObject(CMapObject* object) override
    {
        auto found = std::find(objects.begin(), objects.end(), object);
        ASSERT_NE(found, objects.end()) << "removed an object the document does not hold";
        objects.erase(found);
        delete object;
    }
    void ShowObject(CMapObject* object) override { shown.push_back(object); }
    void SelectObject(CMapObject* object, bool select) override
    {
        if (!object && !select)
            ++selectionCleared;
    }

    CCoordinate centre { 57.7089, 11.9746 }; // Göteborg
    bool canZoomIn = true, canZoomOut = true;
    std::vector<CMapObject*> objects; // owned
    std::vector<CMapObject*> shown;
    std::vector<UInt32> zoomCommands;
    int selectionCleared = 0;

private:
    static OSStatus HearCommand(EventHandlerCallRef, EventRef event, void* data)
    {
        HICommandExtended command {};
        GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
        static_cast<FindDocumentStandIn*>(data)->zoomCommands.push_back(command.commandID);
        return noErr;
    }

    WindowRef mWindow = nullptr;
};

class WindowsTest : public AppWindowTest {
protected:
    void SetUp() override
    {
        display::WindowServer::ResetForTesting();
        CThreadTask::ResetForTesting();
        CBPreferenceBinding::InstallPreferencesSupport();
        InstallControlWindowSupport();
        ASSERT_EQ(RegisterAppWindowClasses(), noErr);
        ClearPreferences();
        mApp = std::make_unique<CApplication>();
        CThreadSearch::SetMapManager(&BundledMaps());
        CMapObject::SetMapManager(&BundledMaps());
    }
    void TearDown() override
    {
        CWindowFind::ResetForTesting();
        CWindowDevices::ResetForTesting();
        CWindowDevices::SetDeviceManager(nullptr);
        DisposeAllWindows();
        CThreadSearch::SetMapManager(nullptr);
        CMapObject::SetMapManager(nullptr);
        mApp.reset();
        ClearPreferences();
        display::WindowServer::ResetForTesting();
    }

    CPreferences& Prefs() { return mApp->GetPreferences(); }
    static void ClearPreferences() { RemovePreferences({ "MapUnits", "MapCoordinates", "WindowFind" }); }

    // Where the middle of the view is on the screen.
    static CGPoint Centre(CHIView* view) { return AppWindowTest::Centre(view->GetHIViewRef()); }

    RealClock mClock;
    std::unique_ptr<CApplication> mApp;
};

} // namespace tw::test
