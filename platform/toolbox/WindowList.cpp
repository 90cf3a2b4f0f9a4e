#include "toolbox/WindowList.h"

#include "toolbox/ScreenSink.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"

#include <algorithm>

namespace tw::toolbox {

namespace {

    constexpr CGSize kMinimumFrame { 64, 48 }; // [px] the smallest a window is made to fit

    std::vector<Window*>& Windows()
    {
        static std::vector<Window*> windows; // weak: each window removes itself when disposed
        return windows;
    }

    // A window that never activates (a splash screen among the modal windows) floats too.
    bool IsFloatingLayer(Window const* window)
    {
        int const layer = WindowList::Layer(window);
        return (layer != 1 && layer != 4 && layer != 5) || window->HasAttribute(kWindowNoActivatesAttribute);
    }

    bool ShouldBeActive(Window* window, Window* front)
    {
        if (window == front || (front && window == front->GetSheet()))
            return true;
        return window->IsVisible() && WindowList::Layer(window) == 3; // floating palettes stay active
    }

    EventTargetRef ProvideFocus() { return WindowList::UserFocusTarget(); }

    // Stable order by layer, then each sheet moved just in front of its parent.
    void Reorder()
    {
        auto& windows = Windows();
        std::stable_sort(windows.begin(), windows.end(),
            [](Window* a, Window* b) { return WindowList::Layer(a) > WindowList::Layer(b); });
        for (Window* sheet : std::vector<Window*>(windows)) {
            Window* parent = sheet->GetSheetParent();
            if (!parent)
                continue;
            windows.erase(std::find(windows.begin(), windows.end(), sheet));
            windows.insert(std::find(windows.begin(), windows.end(), parent), sheet);
        }
    }

} // namespace

int WindowList::Layer(Window const* window)
{
    if (Window const* parent = window->GetSheetParent())
        return Layer(parent);
    switch (window->GetGroupClass()) {
    case kHelpWindowClass:
        return 7;
    case kOverlayWindowClass:
        return 6;
    case kAlertWindowClass:
    case kMovableAlertWindowClass:
        return 5;
    case kModalWindowClass:
    case kMovableModalWindowClass:
        return 4;
    case kFloatingWindowClass:
    case kUtilityWindowClass:
    case kToolbarWindowClass:
        return 3;
    default:
        return 1;
    }
}

std::vector<Window*> const& WindowList::FrontToBack() { return Windows(); }

void WindowList::Add(Window* window)
{
    Windows().insert(Windows().begin(), window);
    Reorder();
}

void WindowList::Remove(Window* window)
{
    auto& windows = Windows();
    auto const it = std::find(windows.begin(), windows.end(), window);
    if (it != windows.end())
        windows.erase(it);
}

void WindowList::BringToFront(Window* window)
{
    Remove(window);
    Add(window);
    window->InvalidateRect({ { 0, 0 }, window->GetStructure().size });
}

void WindowList::SendToBack(Window* window)
{
    Remove(window);
    Windows().push_back(window);
    Reorder();
    window->InvalidateRect({ { 0, 0 }, window->GetStructure().size });
}

Window* WindowList::FindAt(CGPoint global)
{
    for (Window* window : Windows()) {
        if (!window->IsVisible())
            continue;
        CGRect area = window->GetStructure();
        if (window->IsCollapsed())
            area.size.height = window->GetTitleBarHeight();
        if (CGRectContainsPoint(area, global))
            return window;
    }
    return nullptr;
}

Window* WindowList::FrontNonFloating()
{
    for (Window* window : Windows())
        if (window->IsVisible() && !window->GetSheetParent() && !IsFloatingLayer(window))
            return window;
    return nullptr;
}

Window* WindowList::FrontOfClass(WindowClass windowClass, bool visibleOnly)
{
    for (Window* window : Windows())
        if ((windowClass == kAllWindowClasses || window->GetWindowClass() == windowClass)
            && (!visibleOnly || window->IsVisible()))
            return window;
    return nullptr;
}

void WindowList::UpdateActivation()
{
    Window* front = FrontNonFloating();
    std::vector<Window*> const windows(Windows());
    // A window's handlers may dispose windows, their own included, while activation changes:
    // each is looked at only while it lives, and the disposal of the front window has
    // already brought activation up to date for the windows left.
    auto const gone = [&](Window* window) { return !HIObject::Live(window) || (front && !HIObject::Live(front)); };
    // Deactivations go first so that a window never sees two active windows.
    for (Window* window : windows) {
        if (gone(window))
            continue;
        if (!ShouldBeActive(window, front) && window->IsActive())
            window->SetActive(false);
    }
    for (Window* window : windows) {
        if (gone(window))
            continue;
        if (ShouldBeActive(window, front) && !window->IsActive())
            window->SetActive(true);
    }
}

Window* WindowList::ModalWindow()
{
    for (Window* window : Windows())
        if (window->IsVisible() && window->GetModality() == kWindowModalityAppModal)
            return window;
    return nullptr;
}

EventTargetRef WindowList::UserFocusTarget()
{
    Window* window = ModalWindow();
    if (!window)
        window = FrontNonFloating();
    if (window && window->GetSheet() && window->GetSheet()->IsVisible())
        window = window->GetSheet();
    if (!window)
        return GetApplicationEventTarget();
    if (View* focus = window->GetFocus())
        return &focus->GetTarget();
    return &window->GetTarget();
}

void WindowList::InstallFocusProvider() { events::SetUserFocusProvider(&ProvideFocus); }

void WindowList::KeepInsideDesktop()
{
    CGRect const desktop = Screen::GetAvailableBounds();
    for (Window* window : std::vector<Window*>(Windows())) {
        if (window->GetSheetParent() || window->IsDisposed())
            continue; // a sheet follows its parent
        CGRect frame = window->GetStructure();
        if (window->HasAttribute(kWindowResizableAttribute)) {
            frame.size.width = std::max(kMinimumFrame.width, std::min(frame.size.width, desktop.size.width));
            frame.size.height = std::max(kMinimumFrame.height, std::min(frame.size.height, desktop.size.height));
        }
        // Too big to fit even so: the title bar's left end stays in reach.
        frame.origin.x = std::max(desktop.origin.x, std::min(frame.origin.x, CGRectGetMaxX(desktop) - frame.size.width));
        frame.origin.y = std::max(desktop.origin.y, std::min(frame.origin.y, CGRectGetMaxY(desktop) - frame.size.height));
        if (!CGRectEqualToRect(frame, window->GetStructure()))
            window->SetStructure(frame);
    }
}

} // namespace tw::toolbox
