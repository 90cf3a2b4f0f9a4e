#include "app/CWindowNavigator.h"

#include "bindings/Source/Bindings/CBControlBinding.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "bindings/Source/Bindings/CBindable.h"
#include "docwindow/CViewNavigator.h"
#include "docwindow/IPaletteDocument.h"
#include "foundation/CMsgBroadcaster.h"
#include "framework/CApplication.h"
#include "framework/CCarbonEvent.h"
#include "framework/CDocument.h"
#include "framework/CMacWindow.h"
#include "framework/ConstructController.h"
#include "toolbox/HIViewCalls.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::atomic_flag sNavigatorMaking = ATOMIC_FLAG_INIT;
CWindowNavigator* sNavigator = nullptr; // owns: the palette lives until the process ends

constexpr OSType kNavigatorControls[] = { 'zoin', 'zout', 'zoom' };

} // namespace

CWindowNavigator* CWindowNavigator::GetInstance()
{
    using namespace std::chrono_literals;
    while (sNavigatorMaking.test_and_set(std::memory_order_acquire))
        std::this_thread::sleep_for(300us);
    if (!sNavigator)
        sNavigator = ConstructController<CWindowNavigator>(kNibFile, kNibWindow, true);
    CWindowNavigator* const instance = sNavigator;
    sNavigatorMaking.clear(std::memory_order_release);
    return instance;
}

void CWindowNavigator::ResetForTesting()
{
    delete sNavigator;
    sNavigator = nullptr;
}

CWindowNavigator::~CWindowNavigator() { delete mZoomBinding; }

OSStatus CWindowNavigator::InitialiseSelf()
{
    CMacWindow* window = GetWindow();
    for (OSType signature : kNavigatorControls)
        window->FindView(signature, 0); // makes the controls' wrappers
    mNavigator = CViewNavigator::Find(window, 'navi', 0);
    CApplication* app = CApplication::GetApp();
    if (app) {
        if (CBPreferenceBinding* prefs = app->GetPreferences().GetBinding()) {
            window->BindBoundsToPrefs(prefs, kPrefBounds);
            window->BindVisibilityToPrefs(prefs, kPrefVisible);
        }
        window->BindVisibilityToMenu(kCommandShow);
        if (auto* broadcaster = dynamic_cast<CMsgBroadcaster*>(app))
            broadcaster->AddListener(this);
        DocumentChanged(dynamic_cast<IPaletteDocument*>(app->GetCurrentDocument()));
    }
    return noErr;
}

void CWindowNavigator::DocumentChanged(IPaletteDocument* document)
{
    delete mZoomBinding;
    mZoomBinding = nullptr;
    mDocument = document;
    if (mNavigator)
        mNavigator->SetMapView(document ? document->GetMapView() : nullptr);
    CBindable* bindable = document ? document->GetPaletteBindable() : nullptr;
    ControlID const slider { 'zoom', 0 };
    ControlRef control = nullptr;
    if (GetControlByID(GetWindow()->GetWindowRef(), &slider, &control) != noErr || !control)
        return;
    // With no document the slider would show the last one's level and move nothing.
    if (!bindable) {
        DisableControl(control);
        return;
    }
    EnableControl(control);
    mZoomBinding = new CBControlBinding(control);
    mZoomBinding->Bind("value", bindable->GetBindings(), IPaletteDocument::kZoomKey, nullptr, nullptr);
}

// The zoom buttons work the document's map as its own commands do; with no document they
// do nothing, and are handled all the same.
OSStatus CWindowNavigator::DoEventCommandProcess(CCarbonEvent& event)
{
    UInt32 const command = event.GetHICommand().commandID;
    if (command != kCommandZoomIn && command != kCommandZoomOut)
        return CWindowController::DoEventCommandProcess(event);
    if (WindowRef window = mDocument ? mDocument->GetPaletteWindow() : nullptr) {
        CCarbonEvent forwarded(kEventClassCommand, kEventCommandProcess);
        HICommand const hiCommand { 0, command, {} };
        forwarded.SetParameter(kEventParamDirectObject, typeHICommand, sizeof hiCommand, &hiCommand);
        forwarded.SendToWindow(window);
    }
    return noErr;
}

void CWindowNavigator::DoMessage(UInt32 message, void* parameter)
{
    if (message == kMsgCurrentDocument)
        DocumentChanged(IPaletteDocument::FromMessage(parameter));
}
