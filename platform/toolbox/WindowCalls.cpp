#include "toolbox/WindowCalls.h"

#include "corefoundation/CFString.h"
#include "toolbox/LiveCalls.h"
#include "toolbox/ModalLoop.h"
#include "toolbox/QDGeometry.h"
#include "toolbox/ScreenSink.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/ToolboxTypeIDs.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/WindowList.h"

#include <algorithm>
#include <cmath>
#include <map>

using tw::toolbox::IfLive;
using tw::toolbox::LiveView;
using tw::toolbox::LiveWindow;
using tw::toolbox::ReadLive;
using tw::toolbox::Screen;
using tw::toolbox::Window;
using tw::toolbox::WindowList;

namespace {

bool IsKnownClass(WindowClass windowClass)
{
    switch (windowClass) {
    case kAlertWindowClass:
    case kMovableAlertWindowClass:
    case kModalWindowClass:
    case kMovableModalWindowClass:
    case kFloatingWindowClass:
    case kDocumentWindowClass:
    case kUtilityWindowClass:
    case kHelpWindowClass:
    case kSheetWindowClass:
    case kToolbarWindowClass:
    case kPlainWindowClass:
    case kOverlayWindowClass:
    case kSheetAlertWindowClass:
    case kAltPlainWindowClass:
    case kSimpleWindowClass:
    case kDrawerWindowClass:
        return true;
    default:
        return false;
    }
}

GDHandle const kMainDevice = reinterpret_cast<GDHandle>(1);

} // namespace

OSStatus CreateNewWindow(
    WindowClass windowClass, WindowAttributes attributes, Rect const* contentBounds, WindowRef* outWindow)
{
    if (!outWindow || !contentBounds)
        return paramErr;
    *outWindow = nullptr;
    if (!IsKnownClass(windowClass))
        return errUnknownWindowClass;
    CGRect content = CGRectStandardize(tw::toolbox::FromQDRect(*contentBounds));
    *outWindow = new Window(windowClass, attributes, content);
    if (windowClass == kMovableModalWindowClass || windowClass == kModalWindowClass || windowClass == kAlertWindowClass
        || windowClass == kMovableAlertWindowClass)
        (*outWindow)->SetModality(kWindowModalityAppModal);
    return noErr;
}

void DisposeWindow(WindowRef window)
{
    auto* object = tw::toolbox::HIObject::Allocated(window);
    if (object && object->TypeID() == kTWTypeIDWindow)
        static_cast<Window*>(object)->DisposeAndRelease();
}

OSStatus RetainWindow(WindowRef window)
{
    if (!tw::toolbox::HIObject::Live(window) && !(window && window->IsDisposed()))
        return paramErr;
    window->Retain();
    return noErr;
}

OSStatus ReleaseWindow(WindowRef window)
{
    if (!window)
        return paramErr;
    window->Release();
    return noErr;
}

ItemCount GetWindowRetainCount(WindowRef window) { return window ? window->RetainCount() : 0; }

void ShowWindow(WindowRef window)
{
    if (Window* live = LiveWindow(window)) {
        if (!live->IsVisible())
            WindowList::BringToFront(live);
        live->SetVisible(true);
    }
}

void HideWindow(WindowRef window)
{
    if (Window* live = LiveWindow(window))
        live->SetVisible(false);
}

Boolean IsWindowVisible(WindowRef window)
{
    Window* live = LiveWindow(window);
    return live && live->IsVisible();
}

void SelectWindow(WindowRef window)
{
    Window* live = LiveWindow(window);
    if (!live)
        return;
    WindowList::BringToFront(live->GetSheetParent() ? live->GetSheetParent() : live);
    WindowList::UpdateActivation();
}

OSStatus ActivateWindow(WindowRef window, Boolean activate)
{
    return IfLive(LiveWindow(window), [&](Window* live) { live->SetActive(activate); });
}

Boolean IsWindowActive(WindowRef window)
{
    Window* live = LiveWindow(window);
    return live && live->IsActive();
}

void BringToFront(WindowRef window)
{
    if (Window* live = LiveWindow(window))
        WindowList::BringToFront(live);
}

void SendBehind(WindowRef window, WindowRef)
{
    if (Window* live = LiveWindow(window)) {
        WindowList::SendToBack(live);
        WindowList::UpdateActivation();
    }
}

WindowRef FrontWindow() { return WindowList::FrontOfClass(kAllWindowClasses, true); }
WindowRef FrontNonFloatingWindow() { return WindowList::FrontNonFloating(); }

WindowRef ActiveNonFloatingWindow()
{
    Window* front = WindowList::FrontNonFloating();
    return front && front->IsActive() ? front : nullptr;
}

WindowRef GetFrontWindowOfClass(WindowClass windowClass, Boolean mustBeVisible)
{
    return WindowList::FrontOfClass(windowClass, mustBeVisible);
}

WindowRef GetNextWindowOfClass(WindowRef after, WindowClass windowClass, Boolean mustBeVisible)
{
    auto const& windows = WindowList::FrontToBack();
    auto it = std::find(windows.begin(), windows.end(), after);
    if (it == windows.end())
        return nullptr;
    for (++it; it != windows.end(); ++it)
        if ((windowClass == kAllWindowClasses || (*it)->GetWindowClass() == windowClass)
            && (!mustBeVisible || (*it)->IsVisible()))
            return *it;
    return nullptr;
}

OSStatus HIWindowGetBounds(WindowRef window, WindowRegionCode region, HIRect* outBounds)
{
    return ReadLive(LiveWindow(window), outBounds,
        [&](Window* live) { return region == kWindowContentRgn ? live->GetContent() : live->GetStructure(); });
}

OSStatus GetWindowBounds(WindowRef window, WindowRegionCode region, Rect* outBounds)
{
    HIRect bounds {};
    OSStatus const status = HIWindowGetBounds(window, region, &bounds);
    if (status == noErr && outBounds)
        *outBounds = tw::toolbox::ToQDRect(bounds);
    return outBounds ? status : paramErr;
}

// The bounds-changing event may adjust the rectangle ('crct') before it is applied.
OSStatus SetWindowBounds(WindowRef window, WindowRegionCode region, Rect const* bounds)
{
    Window* live = LiveWindow(window);
    if (!live || !bounds)
        return paramErr;
    CGRect structure = CGRectStandardize(tw::toolbox::FromQDRect(*bounds));
    if (region == kWindowContentRgn) {
        structure.origin.y -= live->GetContentTop();
        structure.size.height += live->GetContentTop();
    }
    EventRef changing = nullptr;
    if (CreateEvent(nullptr, kEventClassWindow, kEventWindowBoundsChanging, GetCurrentEventTime(), 0, &changing)
        == noErr) {
        WindowRef ref = live;
        HIRect const original = live->GetStructure();
        SetEventParameter(changing, kEventParamDirectObject, typeWindowRef, sizeof ref, &ref);
        SetEventParameter(changing, kEventParamOriginalBounds, typeHIRect, sizeof original, &original);
        SetEventParameter(changing, kEventParamCurrentBounds, typeHIRect, sizeof structure, &structure);
        tw::toolbox::Protector protect(live);
        SendEventToEventTarget(changing, &live->GetTarget());
        GetEventParameter(
            changing, kEventParamCurrentBounds, typeHIRect, nullptr, sizeof structure, nullptr, &structure);
        ReleaseEvent(changing);
        if (live->IsDisposed())
            return paramErr;
    }
    return live->SetStructure(structure);
}

void MoveWindow(WindowRef window, SInt16 left, SInt16 top, Boolean front)
{
    Window* live = LiveWindow(window);
    if (!live)
        return;
    CGRect const content = live->GetContent();
    Rect const bounds
        = tw::toolbox::ToQDRect({ { static_cast<CGFloat>(left), static_cast<CGFloat>(top) }, content.size });
    SetWindowBounds(live, kWindowContentRgn, &bounds);
    if (front)
        SelectWindow(live);
}

void SizeWindow(WindowRef window, SInt16 width, SInt16 height, Boolean)
{
    Window* live = LiveWindow(window);
    if (!live)
        return;
    CGRect const content = live->GetContent();
    Rect const bounds
        = tw::toolbox::ToQDRect({ content.origin, { static_cast<CGFloat>(width), static_cast<CGFloat>(height) } });
    SetWindowBounds(live, kWindowContentRgn, &bounds);
}

OSStatus RepositionWindow(WindowRef window, WindowRef parent, WindowPositionMethod method)
{
    Window* live = LiveWindow(window);
    if (!live)
        return paramErr;
    CGRect const screen = Screen::GetAvailableBounds();
    CGRect s = live->GetStructure();
    s.origin.x = std::floor(screen.origin.x + (screen.size.width - s.size.width) / 2);
    s.origin.y = std::floor(
        screen.origin.y + (screen.size.height - s.size.height) / (method == kWindowAlertPositionOnMainScreen ? 3 : 2));
    if (method == kWindowCascadeOnMainScreen) {
        int count = 0;
        for (Window* other : WindowList::FrontToBack())
            count += other != live && other->IsVisible() && other->GetWindowClass() == live->GetWindowClass();
        s.origin = { screen.origin.x + 20 + 22.0 * (count % 10), screen.origin.y + 10 + 22.0 * (count % 10) };
    }
    s.origin.y = std::max(s.origin.y, screen.origin.y);
    return live->SetStructure(s);
}

OSStatus TransitionWindow(WindowRef window, WindowTransitionEffect, WindowTransitionAction action, Rect const* bounds)
{
    Window* live = LiveWindow(window);
    if (!live)
        return paramErr;
    switch (action) {
    case kWindowShowTransitionAction:
        ShowWindow(live);
        return noErr;
    case kWindowHideTransitionAction:
        HideWindow(live);
        return noErr;
    default:
        return bounds ? live->SetStructure(CGRectStandardize(tw::toolbox::FromQDRect(*bounds))) : paramErr;
    }
}

OSStatus GetWindowClass(WindowRef window, WindowClass* outClass)
{
    return ReadLive(LiveWindow(window), outClass, [&](Window* live) { return live->GetWindowClass(); });
}

OSStatus GetWindowAttributes(WindowRef window, WindowAttributes* outAttributes)
{
    return ReadLive(LiveWindow(window), outAttributes, [&](Window* live) { return live->GetAttributes(); });
}

OSStatus ChangeWindowAttributes(WindowRef window, WindowAttributes set, WindowAttributes clear)
{
    return IfLive(LiveWindow(window), [&](Window* live) { live->ChangeAttributes(set, clear); });
}

OSStatus SetWindowTitleWithCFString(WindowRef window, CFStringRef title)
{
    return IfLive(LiveWindow(window), [&](Window* live) { live->SetTitle(title); });
}

OSStatus CopyWindowTitleAsCFString(WindowRef window, CFStringRef* outTitle)
{
    return ReadLive(LiveWindow(window), outTitle, [&](Window* live) {
        return live->GetTitle() ? CFStringCreateCopy(nullptr, live->GetTitle())
                                : CFStringCreateWithCString(nullptr, "", kCFStringEncodingUTF8);
    });
}

namespace {

    // A group is named by its class; the pointer only carries the class.
    struct GroupOfClass {
        WindowClass windowClass;
    };

} // namespace

WindowGroupRef GetWindowGroupOfClass(WindowClass windowClass)
{
    static std::map<WindowClass, GroupOfClass> groups;
    auto [it, added] = groups.try_emplace(windowClass, GroupOfClass { windowClass });
    return reinterpret_cast<WindowGroupRef>(&it->second);
}

OSStatus SetWindowGroup(WindowRef window, WindowGroupRef group)
{
    Window* live = LiveWindow(window);
    if (!live || !group)
        return paramErr;
    live->SetGroupClass(reinterpret_cast<GroupOfClass const*>(group)->windowClass);
    return noErr;
}

OSStatus SetWindowModified(WindowRef window, Boolean modified)
{
    Window* live = LiveWindow(window);
    if (!live)
        return paramErr;
    live->SetModified(modified);
    return noErr;
}

Boolean IsWindowModified(WindowRef window)
{
    Window* live = LiveWindow(window);
    return live && live->IsModified();
}

OSStatus CollapseWindow(WindowRef window, Boolean collapse)
{
    return IfLive(LiveWindow(window), [&](Window* live) { live->SetCollapsed(collapse); });
}

Boolean IsWindowCollapsed(WindowRef window)
{
    Window* live = LiveWindow(window);
    return live && live->IsCollapsed();
}

OSStatus SetWindowAlpha(WindowRef window, CGFloat alpha)
{
    return IfLive(LiveWindow(window), [&](Window* live) { live->SetAlpha(alpha); });
}

OSStatus GetWindowAlpha(WindowRef window, CGFloat* outAlpha)
{
    return ReadLive(LiveWindow(window), outAlpha, [&](Window* live) { return live->GetAlpha(); });
}

CGrafPtr GetWindowPort(WindowRef window) { return LiveWindow(window); }
WindowRef GetWindowFromPort(CGrafPtr port) { return LiveWindow(port); }

OSStatus SetThemeWindowBackground(WindowRef window, SInt16, Boolean update)
{
    return IfLive(LiveWindow(window), [&](Window* live) {
        if (update)
            live->InvalidateRect({ { 0, 0 }, live->GetStructure().size });
    });
}

OSStatus SetWindowProperty(WindowRef window, PropertyCreator creator, PropertyTag tag, ByteCount size, void const* data)
{
    Window* live = LiveWindow(window);
    return live ? live->SetProperty(creator, tag, size, data) : paramErr;
}

OSStatus GetWindowProperty(
    WindowRef window, PropertyCreator creator, PropertyTag tag, ByteCount bufferSize, ByteCount* actualSize, void* data)
{
    Window* live = LiveWindow(window);
    if (!live)
        return paramErr;
    OSStatus const status = live->GetProperty(creator, tag, bufferSize, actualSize, data);
    return status == controlPropertyNotFoundErr ? errWindowPropertyNotFound : status;
}

OSStatus GetWindowPropertySize(WindowRef window, PropertyCreator creator, PropertyTag tag, ByteCount* outSize)
{
    return outSize ? GetWindowProperty(window, creator, tag, 0, outSize, nullptr) : paramErr;
}

OSStatus RemoveWindowProperty(WindowRef window, PropertyCreator creator, PropertyTag tag)
{
    Window* live = LiveWindow(window);
    if (!live)
        return paramErr;
    return live->RemoveProperty(creator, tag) == noErr ? OSStatus { noErr } : OSStatus { errWindowPropertyNotFound };
}

OSStatus ShowSheetWindow(WindowRef sheet, WindowRef parent)
{
    Window* s = LiveWindow(sheet);
    Window* p = LiveWindow(parent);
    if (!s || !p || s == p || p->GetSheet() || s->GetSheetParent())
        return paramErr;
    OSStatus const status = p->AttachSheet(s);
    if (status != noErr)
        return status;
    s->SetVisible(true);
    WindowList::UpdateActivation();
    return noErr;
}

OSStatus HideSheetWindow(WindowRef sheet)
{
    Window* s = LiveWindow(sheet);
    if (!s || !s->GetSheetParent())
        return paramErr;
    tw::toolbox::Protector protect(s);
    s->SetVisible(false);
    s->GetSheetParent()->DetachSheet();
    WindowList::UpdateActivation();
    return noErr;
}

OSStatus GetSheetWindowParent(WindowRef sheet, WindowRef* outParent)
{
    return ReadLive(LiveWindow(sheet), outParent, [&](Window* s) { return s->GetSheetParent(); });
}

Boolean HIWindowIsDocumentModalTarget(WindowRef window, WindowRef* outOwner)
{
    Window* live = LiveWindow(window);
    Window* sheet = live ? live->GetSheet() : nullptr;
    if (outOwner)
        *outOwner = nullptr;
    if (!sheet || !sheet->IsVisible())
        return false;
    if (outOwner)
        *outOwner = sheet;
    return true;
}

OSStatus SetWindowDefaultButton(WindowRef window, ControlRef button)
{
    Window* live = LiveWindow(window);
    if (!live || (button && !LiveView(button)))
        return paramErr;
    live->SetDefaultButton(LiveView(button));
    return noErr;
}

OSStatus SetWindowCancelButton(WindowRef window, ControlRef button)
{
    Window* live = LiveWindow(window);
    if (!live || (button && !LiveView(button)))
        return paramErr;
    live->SetCancelButton(LiveView(button));
    return noErr;
}

OSStatus GetWindowDefaultButton(WindowRef window, ControlRef* outButton)
{
    return ReadLive(LiveWindow(window), outButton, [&](Window* live) { return live->GetDefaultButton(); });
}

OSStatus GetWindowCancelButton(WindowRef window, ControlRef* outButton)
{
    return ReadLive(LiveWindow(window), outButton, [&](Window* live) { return live->GetCancelButton(); });
}

OSStatus RunAppModalLoopForWindow(WindowRef window)
{
    Window* live = LiveWindow(window);
    if (!live)
        return paramErr;
    tw::toolbox::Protector protect(live);
    WindowModality const before = live->GetModality();
    live->SetModality(kWindowModalityAppModal);
    SelectWindow(live);
    tw::toolbox::ModalLoop::Enter(live->GetModalCommands());
    RunCurrentEventLoop(kEventDurationForever);
    if (!live->IsDisposed())
        live->SetModality(before);
    tw::toolbox::ModalLoop::Leave();
    return noErr;
}

OSStatus SetWindowModalCommands(WindowRef window, UInt32 const* commands, ItemCount count)
{
    Window* live = LiveWindow(window);
    if (!live || (count && !commands))
        return paramErr;
    live->SetModalCommands(std::vector<UInt32>(commands, commands + count));
    return noErr;
}

OSStatus QuitAppModalLoopForWindow(WindowRef window)
{
    if (!window)
        return paramErr;
    return QuitEventLoop(GetMainEventLoop());
}

GDHandle GetMainDevice() { return kMainDevice; }

OSStatus GetWindowGreatestAreaDevice(WindowRef window, WindowRegionCode, GDHandle* outDevice, Rect* outBounds)
{
    if (!LiveWindow(window))
        return paramErr;
    if (outDevice)
        *outDevice = kMainDevice;
    if (outBounds)
        *outBounds = tw::toolbox::ToQDRect(Screen::GetBounds());
    return noErr;
}

OSStatus GetAvailableWindowPositioningBounds(GDHandle device, Rect* outBounds)
{
    if (!outBounds || (device && device != kMainDevice))
        return paramErr;
    *outBounds = tw::toolbox::ToQDRect(Screen::GetAvailableBounds());
    return noErr;
}
