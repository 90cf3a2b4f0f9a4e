#include "toolbox/WindowMenu.h"

#include "events/Target.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Window.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/WindowList.h"
#include "toolbox/toolbar/ToolbarCalls.h"
#include "toolbox/toolbar/ToolbarCustomize.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace tw::toolbox {

namespace {

    std::vector<WeakRef<Window>> sListed; // in the order first listed

    bool BelongsInMenu(Window* window)
    {
        return window && window->HasAttribute(kWindowInWindowMenuAttribute) && window->IsVisible()
            && window->GetWindowClass() != kSheetWindowClass && !window->GetSheetParent()
            && window->GetModality() != kWindowModalityAppModal;
    }

    // The windows the menu lists now: those listed before keep their places, new ones come last.
    std::vector<Window*> ListedWindows()
    {
        std::erase_if(sListed, [](WeakRef<Window> const& ref) { return !BelongsInMenu(ref.Get()); });
        std::vector<Window*> windows;
        for (WeakRef<Window> const& ref : sListed)
            windows.push_back(ref.Get());
        std::vector<Window*> const& all = WindowList::FrontToBack();
        for (auto it = all.rbegin(); it != all.rend(); ++it)
            if (BelongsInMenu(*it) && std::find(windows.begin(), windows.end(), *it) == windows.end()) {
                windows.push_back(*it);
                sListed.emplace_back(*it);
            }
        return windows;
    }

    // The windows Command-` steps through, front to back; a folded one opens out when its turn comes.
    std::vector<Window*> RotatableWindows()
    {
        std::vector<Window*> windows;
        for (Window* window : WindowList::FrontToBack())
            if (BelongsInMenu(window) && WindowList::Layer(window) == 1)
                windows.push_back(window);
        return windows;
    }

    Window* FrontWindow()
    {
        Window* front = WindowList::FrontNonFloating();
        return front && front->GetSheetParent() ? front->GetSheetParent() : front;
    }

    // The window a chosen item of the menu names, or null.
    Window* WindowOfItem(Menu* menu, MenuItemIndex index)
    {
        MenuItem const* item = menu ? menu->Item(index) : nullptr;
        if (!item || !item->listsWindow)
            return nullptr;
        std::size_t position = 0;
        for (MenuItemIndex i = 1; i < index; ++i)
            if (menu->Item(i)->listsWindow && !menu->Item(i)->IsSeparator())
                ++position;
        std::vector<Window*> const windows = ListedWindows();
        return position < windows.size() ? windows[position] : nullptr;
    }

    bool IsEnabledNow(MenuCommand command, Menu* menu, MenuItemIndex index)
    {
        Window* const front = FrontWindow();
        switch (command) {
        case kHICommandSelectWindow:
            return WindowOfItem(menu, index) != nullptr;
        case kHICommandRotateWindowsForward:
        case kHICommandRotateWindowsBackward:
            return RotatableWindows().size() > 1;
        case kHICommandMinimizeWindow: // a second time it opens the window out again
            return front && front->HasAttribute(kWindowCollapseBoxAttribute);
        case kHICommandZoomWindow:
            return front && front->HasAttribute(kWindowFullZoomAttribute) && !front->IsCollapsed();
        case kHICommandArrangeInFront:
            return !ListedWindows().empty();
        case kHICommandCustomizeToolbar:
            return toolbar::CanCustomize(front);
        default:
            return false;
        }
    }

    bool IsWindowCommand(MenuCommand command)
    {
        switch (command) {
        case kHICommandSelectWindow:
        case kHICommandRotateWindowsForward:
        case kHICommandRotateWindowsBackward:
        case kHICommandMinimizeWindow:
        case kHICommandZoomWindow:
        case kHICommandArrangeInFront:
        case kHICommandCustomizeToolbar:
            return true;
        default:
            return false;
        }
    }

    void Perform(MenuCommand command, Menu* menu, MenuItemIndex index)
    {
        Window* const front = FrontWindow();
        switch (command) {
        case kHICommandSelectWindow:
            if (Window* window = WindowOfItem(menu, index)) {
                if (window->IsCollapsed())
                    window->SetCollapsed(false);
                SelectWindow(window);
            }
            break;
        case kHICommandRotateWindowsForward:
        case kHICommandRotateWindowsBackward:
            WindowMenu::Rotate(command == kHICommandRotateWindowsForward);
            break;
        case kHICommandMinimizeWindow:
            front->SetCollapsed(!front->IsCollapsed());
            break;
        case kHICommandZoomWindow:
            front->Zoom();
            break;
        case kHICommandCustomizeToolbar:
            toolbar::BeginCustomize(front);
            break;
        default: { // bring all to front, keeping their order, the front one last
            std::vector<Window*> const windows = ListedWindows();
            std::vector<Window*> order;
            for (Window* window : WindowList::FrontToBack())
                if (std::find(windows.begin(), windows.end(), window) != windows.end())
                    order.push_back(window);
            for (auto it = order.rbegin(); it != order.rend(); ++it)
                SelectWindow(*it);
            break;
        }
        }
    }

    EventTypeSpec const kCommandEvents[]
        = { { kEventClassCommand, kEventCommandProcess }, { kEventClassCommand, kEventCommandUpdateStatus } };

} // namespace

void WindowMenu::Refresh(Menu* menu)
{
    EnsureStandardHandler();
    if (!menu || !menu->ListsWindows())
        return;
    for (MenuItemIndex i = static_cast<MenuItemIndex>(menu->Count()); i >= 1; --i)
        if (menu->Item(i)->listsWindow)
            menu->Delete(i);
    std::vector<Window*> const windows = ListedWindows();
    if (windows.empty())
        return;
    Window* const front = FrontWindow();
    MenuItemIndex at = static_cast<MenuItemIndex>(menu->Count());
    at = menu->Insert(at, nullptr, kMenuItemAttrSeparator, 0);
    menu->Item(at)->listsWindow = true;
    for (Window* window : windows) {
        at = menu->Insert(at, window->GetTitle() ? window->GetTitle() : CFSTR(""), 0, kHICommandSelectWindow);
        MenuItem* item = menu->Item(at);
        item->listsWindow = true;
        item->mark = window->IsCollapsed() ? diamondMark : window == front ? checkMark : noMark;
    }
}

void WindowMenu::EnsureStandardHandler()
{
    auto* application = static_cast<events::Target*>(GetApplicationEventTarget());
    if (!application->FindHandler(StandardHandler, nullptr))
        application->Install(StandardHandler, std::size(kCommandEvents), kCommandEvents, nullptr,
            events::Target::Placement::Standard, nullptr);
}

void WindowMenu::Rotate(bool forward)
{
    std::vector<Window*> const windows = RotatableWindows();
    if (windows.size() < 2)
        return;
    // The next one comes forward before the front one goes back, so that windows left
    // out of the cycle never come to the front.
    Window* const next = forward ? windows[1] : windows.back();
    if (next->IsCollapsed())
        next->SetCollapsed(false);
    if (forward) {
        SelectWindow(windows[1]);
        WindowList::SendToBack(windows.front());
        WindowList::UpdateActivation();
    } else
        SelectWindow(windows.back());
}

void WindowMenu::Reset() { sListed.clear(); }

OSStatus WindowMenu::StandardHandler(EventHandlerCallRef, EventRef event, void*)
{
    HICommandExtended command {};
    if (GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command)
            != noErr
        || !IsWindowCommand(command.commandID))
        return eventNotHandledErr;
    Menu* menu = (command.attributes & kHICommandFromMenu) ? LiveMenu(command.source.menu.menuRef) : nullptr;
    MenuItemIndex const index = command.source.menu.menuItemIndex;
    bool const enabled = IsEnabledNow(command.commandID, menu, index);
    if (GetEventKind(event) == kEventCommandUpdateStatus) {
        if (menu)
            enabled ? EnableMenuItem(menu, index) : DisableMenuItem(menu, index);
        return noErr;
    }
    if (!enabled)
        return noErr;
    Perform(command.commandID, menu, index);
    return noErr;
}

} // namespace tw::toolbox
