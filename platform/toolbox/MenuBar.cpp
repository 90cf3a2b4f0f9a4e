#include "toolbox/MenuBar.h"

#include "toolbox/Menu.h"
#include "toolbox/ModalLoop.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/ScreenSink.h"
#include "toolbox/Theme.h"
#include "toolbox/WindowList.h"

#include <algorithm>
#include <cwctype>

namespace tw::toolbox {

namespace {

    Menu* sRoot = nullptr; // retains
    std::vector<OpenMenu> sOpen;

    // The item of an open menu under a global point (0 when none), choosable or not.
    MenuItemIndex ItemAt(OpenMenu const& open, CGPoint p)
    {
        if (!CGRectContainsPoint(open.frame, p))
            return 0;
        CGFloat y = open.frame.origin.y + 4;
        for (MenuItemIndex i = 1; i <= open.menu->Count(); ++i) {
            MenuItem const* item = open.menu->Item(i);
            if (item->IsHidden())
                continue;
            CGFloat const h = item->IsSeparator() ? Theme::kMenuSeparatorHeight : Theme::kMenuItemHeight;
            if (p.y >= y && p.y < y + h)
                return i;
            y += h;
        }
        return 0;
    }

    bool IsChoosable(OpenMenu const& open, MenuItemIndex index)
    {
        MenuItem const* item = open.menu->Item(index);
        return item && open.menu->IsEnabled() && item->enabled && !item->IsSeparator() && !item->IsSectionHeader()
            && !item->submenu && (!open.editOnly || MenuBar::IsStandardEditCommand(item->command));
    }

    int TitleAt(CGPoint p)
    {
        if (p.y < 0 || p.y >= Screen::kMenuBarHeight)
            return -1;
        std::vector<CGRect> const titles = Theme::MenuBarTitleRects();
        for (std::size_t i = 0; i < titles.size(); ++i)
            if (p.x >= titles[i].origin.x && p.x < CGRectGetMaxX(titles[i]))
                return static_cast<int>(i);
        return -1;
    }

} // namespace

Menu* MenuBar::GetRoot() { return sRoot; }

void MenuBar::SetRoot(Menu* root)
{
    if (root)
        root->Retain();
    if (sRoot)
        sRoot->Release();
    sRoot = root;
    ChangedOnScreen({ { 0, 0 }, { Screen::GetSize().width, Screen::kMenuBarHeight } });
}

std::vector<Menu*> MenuBar::Menus()
{
    std::vector<Menu*> menus;
    if (sRoot && !sRoot->IsDisposed())
        for (MenuItemIndex i = 1; i <= sRoot->Count(); ++i)
            if (Menu* submenu = sRoot->Item(i)->submenu)
                menus.push_back(submenu);
    return menus;
}

std::vector<OpenMenu> const& MenuBar::Open() { return sOpen; }

void MenuBar::ChangedOnScreen(CGRect global) { Screen::Changed(global); }

void MenuBar::Invalidate() { ChangedOnScreen({ { 0, 0 }, { Screen::GetSize().width, Screen::kMenuBarHeight } }); }

bool MenuBar::IsStandardEditCommand(MenuCommand command)
{
    switch (command) {
    case kHICommandUndo:
    case kHICommandCut:
    case kHICommandCopy:
    case kHICommandPaste:
    case kHICommandClear:
    case kHICommandSelectAll:
        return true;
    default:
        return false;
    }
}

bool MenuBar::HasEditCommands(Menu* menu)
{
    for (MenuItemIndex i = 1; i <= menu->Count(); ++i)
        if (IsStandardEditCommand(menu->Item(i)->command))
            return true;
    return false;
}

bool MenuBar::CanChoose(Menu* menu, MenuItemIndex index)
{
    MenuItem const* item = menu ? menu->Item(index) : nullptr;
    return item && menu->IsEnabled() && item->enabled
        && (!ModalLoop::IsRunning() || IsStandardEditCommand(item->command));
}

void MenuBar::OpenMenuAt(Menu* menu, CGPoint topLeft, bool editOnly)
{
    menu->UpdateStatus();
    CGSize const size = Theme::MenuSize(menu);
    CGRect frame { topLeft, size };
    CGSize const screen = Screen::GetSize();
    frame.origin.x = std::max(0.0, std::min(frame.origin.x, screen.width - size.width));
    frame.origin.y = std::max(Screen::kMenuBarHeight, std::min(frame.origin.y, screen.height - size.height));
    menu->Retain();
    sOpen.push_back({ menu, frame, 0, editOnly });
    ChangedOnScreen(frame);
}

void MenuBar::CloseFrom(std::size_t level)
{
    while (sOpen.size() > level) {
        OpenMenu const open = sOpen.back();
        sOpen.pop_back();
        ChangedOnScreen(open.frame);
        open.menu->Release();
    }
}

bool MenuBar::TrackBar(CGPoint global, Menu** outMenu, MenuItemIndex* outItem)
{
    return Track(global, true, true, outMenu, outItem);
}

bool MenuBar::TrackPopUp(
    Menu* menu, CGPoint topLeft, MenuItemIndex atItem, bool mouseIsDown, Menu** outMenu, MenuItemIndex* outItem)
{
    if (!menu || menu->IsDisposed())
        return false;
    CGPoint origin = topLeft;
    if (atItem > 1)
        origin.y -= 4 + (atItem - 1) * Theme::kMenuItemHeight;
    CloseFrom(0);
    OpenMenuAt(menu, origin, false);
    return Track(MouseSession::GetLocation(), mouseIsDown, false, outMenu, outItem);
}

// Follows the mouse over the bar and the open menus. Releasing over a choosable
// item chooses it; releasing over the bar title keeps the menu open for a second click.
bool MenuBar::Track(CGPoint p, bool mouseIsDown, bool inBar, Menu** outMenu, MenuItemIndex* outItem)
{
    bool chosen = false;
    std::vector<Menu*> const bar = inBar ? Menus() : std::vector<Menu*> {};
    for (;;) {
        int const title = inBar ? TitleAt(p) : -1;
        if (title >= 0 && title != sHighlighted && title < static_cast<int>(bar.size())) {
            CloseFrom(0);
            sHighlighted = title;
            ChangedOnScreen({ { 0, 0 }, { Screen::GetSize().width, Screen::kMenuBarHeight } });
            OpenMenuAt(bar[title], { Theme::MenuBarTitleRects()[title].origin.x, Screen::kMenuBarHeight },
                ModalLoop::IsRunning());
        }
        // Highlight the item under the mouse in the deepest menu that holds it; open submenus.
        for (std::size_t level = sOpen.size(); level-- > 0;) {
            MenuItemIndex const item = ItemAt(sOpen[level], p);
            if (item == 0 && level + 1 < sOpen.size())
                continue;
            if (sOpen[level].highlighted != item) {
                sOpen[level].highlighted = item;
                ChangedOnScreen(sOpen[level].frame);
                CloseFrom(level + 1);
                MenuItem const* entry = item ? sOpen[level].menu->Item(item) : nullptr;
                if (entry && entry->submenu && sOpen[level].menu->IsEnabled() && entry->enabled
                    && !sOpen[level].editOnly)
                    OpenMenuAt(entry->submenu,
                        { CGRectGetMaxX(sOpen[level].frame) - 2,
                            sOpen[level].frame.origin.y + 4 + (item - 1) * Theme::kMenuItemHeight },
                        false);
            }
            break;
        }
        CGPoint global {};
        UInt32 modifiers = 0;
        MouseTrackingResult result = 0;
        MouseSession::Next(kEventDurationForever, &global, &modifiers, &result);
        p = global;
        if (result == kMouseTrackingUserCancelled)
            break;
        if (result != kMouseTrackingMouseUp)
            continue;
        if (inBar && mouseIsDown && TitleAt(p) >= 0) {
            mouseIsDown = false; // the first release on the title keeps the menu open
            continue;
        }
        for (std::size_t level = sOpen.size(); level-- > 0;) {
            MenuItemIndex const item = ItemAt(sOpen[level], p);
            if (item && IsChoosable(sOpen[level], item)) {
                *outMenu = sOpen[level].menu;
                *outItem = item;
                chosen = true;
                break;
            }
        }
        break;
    }
    if (chosen)
        (*outMenu)->Retain();
    CloseFrom(0);
    if (sHighlighted >= 0) {
        sHighlighted = -1;
        ChangedOnScreen({ { 0, 0 }, { Screen::GetSize().width, Screen::kMenuBarHeight } });
    }
    if (chosen)
        (*outMenu)->Release(); // still held by its parent menu or its owner
    return chosen;
}

OSStatus MenuBar::SendCommand(Menu* menu, MenuItemIndex index, UInt32 modifiers)
{
    MenuItem const* item = menu ? menu->Item(index) : nullptr;
    if (!item || item->command == 0)
        return eventNotHandledErr;
    EventRef event = nullptr;
    if (CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, GetCurrentEventTime(), 0, &event) != noErr)
        return paramErr;
    HICommandExtended command {};
    command.attributes = kHICommandFromMenu;
    command.commandID = item->command;
    command.source.menu.menuRef = menu;
    command.source.menu.menuItemIndex = index;
    SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
    SetEventParameter(event, kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
    WindowList::InstallFocusProvider();
    OSStatus const status = SendEventToEventTarget(event, GetUserFocusEventTarget());
    ReleaseEvent(event);
    return status;
}

namespace {

    bool KeyMatches(MenuItem const& item, UniChar character, UInt32 modifiers)
    {
        if (item.key == 0 || item.IsSeparator())
            return false;
        bool const wantCommand = !(item.modifiers & kMenuNoCommandModifier);
        if (wantCommand != ((modifiers & cmdKey) != 0))
            return false;
        if (((item.modifiers & kMenuOptionModifier) != 0) != ((modifiers & optionKey) != 0))
            return false;
        if (((item.modifiers & kMenuControlModifier) != 0) != ((modifiers & controlKey) != 0))
            return false;
        // Letters need the item's shift; other characters (such as "?") come shifted from the keyboard itself.
        bool const shifted = (modifiers & shiftKey) != 0;
        if (std::iswalpha(item.key) && ((item.modifiers & kMenuShiftModifier) != 0) != shifted)
            return false;
        return std::towlower(item.key) == std::towlower(character);
    }

    bool FindKey(Menu* menu, UniChar character, UInt32 modifiers, Menu** outMenu, MenuItemIndex* outItem, int depth)
    {
        if (depth > 8)
            return false;
        for (MenuItemIndex i = 1; i <= menu->Count(); ++i) {
            MenuItem const* item = menu->Item(i);
            if (KeyMatches(*item, character, modifiers)) {
                *outMenu = menu;
                *outItem = i;
                return true;
            }
            if (item->submenu && FindKey(item->submenu, character, modifiers, outMenu, outItem, depth + 1))
                return true;
        }
        return false;
    }

} // namespace

bool MenuBar::MatchKey(UniChar character, UInt32 modifiers, Menu** outMenu, MenuItemIndex* outItem)
{
    for (Menu* menu : Menus()) {
        if (!FindKey(menu, character, modifiers, outMenu, outItem, 0))
            continue;
        (*outMenu)->UpdateStatus();
        return true;
    }
    return false;
}

void MenuBar::Reset()
{
    CloseFrom(0);
    sHighlighted = -1;
    SetRoot(nullptr);
}

} // namespace tw::toolbox
