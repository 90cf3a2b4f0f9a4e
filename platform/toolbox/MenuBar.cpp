#include "toolbox/MenuBar.h"

#include "toolbox/Menu.h"
#include "toolbox/ModalLoop.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/ScreenSink.h"
#include "toolbox/Theme.h"
#include "toolbox/WindowList.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace tw::toolbox {

namespace {

    Menu* sRoot = nullptr; // retains
    std::vector<OpenMenu> sOpen;

    constexpr CGFloat kScrollStep = Theme::kMenuItemHeight; // [px] one hover tick of a scroll strip
    constexpr EventTimeout kScrollInterval = 0.05; // [s] between hover ticks
    constexpr CGFloat kScreenMargin = 4; // [px] kept free below a menu that fills the screen

    CGFloat MaxScroll(OpenMenu const& open)
    {
        return std::max<CGFloat>(0, Theme::MenuHeight(open.menu) - open.frame.size.height);
    }

    // Which scroll strip of an open menu holds a global point: -1 the upper, 1 the lower, 0 neither.
    int ScrollStripAt(OpenMenu const& open, CGPoint p)
    {
        if (!CGRectContainsPoint(open.frame, p))
            return 0;
        if (open.scroll > 0 && p.y < open.frame.origin.y + Theme::kMenuScrollArrowHeight)
            return -1;
        if (open.scroll < MaxScroll(open) && p.y >= CGRectGetMaxY(open.frame) - Theme::kMenuScrollArrowHeight)
            return 1;
        return 0;
    }

    // Where an item's row starts, from the top of the menu's items [px].
    CGFloat ItemTop(Menu* menu, MenuItemIndex index)
    {
        CGFloat y = 4;
        for (MenuItemIndex i = 1; i < index && i <= menu->Count(); ++i) {
            MenuItem const* item = menu->Item(i);
            if (!item->IsHidden())
                y += item->IsSeparator() ? Theme::kMenuSeparatorHeight : Theme::kMenuItemHeight;
        }
        return y;
    }

    // The item of an open menu under a global point (0 when none), choosable or not; the
    // scroll strips hold none.
    MenuItemIndex ItemAt(OpenMenu const& open, CGPoint p)
    {
        if (!CGRectContainsPoint(open.frame, p) || ScrollStripAt(open, p) != 0)
            return 0;
        CGFloat y = open.frame.origin.y + 4 - open.scroll;
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
            && !item->submenu && (!open.editOnly || ModalLoop::Offers(item->command));
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

bool MenuBar::HasOfferedCommands(Menu* menu)
{
    for (MenuItemIndex i = 1; i <= menu->Count(); ++i)
        if (ModalLoop::Offers(menu->Item(i)->command))
            return true;
    return false;
}

bool MenuBar::CanChoose(Menu* menu, MenuItemIndex index)
{
    MenuItem const* item = menu ? menu->Item(index) : nullptr;
    return item && menu->IsEnabled() && item->enabled
        && ModalLoop::Offers(item->command);
}

void MenuBar::OpenMenuAt(Menu* menu, CGPoint topLeft, bool editOnly)
{
    menu->UpdateStatus();
    CGSize const size = Theme::MenuSize(menu);
    CGRect frame { topLeft, size };
    CGSize const screen = Screen::GetSize();
    CGFloat scroll = 0;
    frame.origin.x = std::max(0.0, std::min(frame.origin.x, screen.width - size.width));
    CGFloat const room = screen.height - Screen::kMenuBarHeight - kScreenMargin;
    if (size.height <= room) {
        frame.origin.y = std::max(Screen::kMenuBarHeight, std::min(frame.origin.y, screen.height - size.height));
    } else {
        // Taller than the screen: the menu fills it and scrolls, keeping the items that were
        // to be at the top-left where they were asked for as far as it can.
        frame.origin.y = Screen::kMenuBarHeight;
        frame.size.height = std::floor(room);
        scroll = std::clamp<CGFloat>(frame.origin.y - topLeft.y, 0, size.height - frame.size.height);
    }
    menu->Retain();
    sOpen.push_back({ menu, frame, 0, editOnly, scroll });
    ChangedOnScreen(frame);
}

bool MenuBar::ScrollBy(std::size_t level, CGFloat delta)
{
    OpenMenu& open = sOpen[level];
    CGFloat const scroll = std::clamp<CGFloat>(open.scroll + delta, 0, MaxScroll(open));
    if (scroll == open.scroll)
        return false;
    open.scroll = scroll;
    ChangedOnScreen(open.frame);
    CloseFrom(level + 1);
    return true;
}

void MenuBar::RevealHighlighted(std::size_t level)
{
    OpenMenu& open = sOpen[level];
    if (open.highlighted == 0 || MaxScroll(open) <= 0)
        return;
    CGFloat const top = ItemTop(open.menu, open.highlighted);
    CGFloat const bottom = top + Theme::kMenuItemHeight;
    // The strips take room only while there is more to see on their side; twice settles it.
    for (int pass = 0; pass < 2; ++pass) {
        CGFloat const above = open.scroll > 0 ? Theme::kMenuScrollArrowHeight : 0;
        CGFloat const below = open.scroll < MaxScroll(open) ? Theme::kMenuScrollArrowHeight : 0;
        CGFloat const first = open.scroll + above, last = open.scroll + open.frame.size.height - below;
        if (top < first)
            open.scroll = std::max<CGFloat>(0, top - Theme::kMenuScrollArrowHeight);
        else if (bottom > last)
            open.scroll = std::min(MaxScroll(open), bottom - open.frame.size.height + Theme::kMenuScrollArrowHeight);
    }
    ChangedOnScreen(open.frame);
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

namespace {

    // Whether keys may highlight an item: a choosable one or the parent of a submenu.
    bool IsSelectable(OpenMenu const& open, MenuItemIndex index)
    {
        MenuItem const* item = open.menu->Item(index);
        if (!item || item->IsHidden() || item->IsSeparator() || item->IsSectionHeader() || !open.menu->IsEnabled()
            || !item->enabled)
            return false;
        return item->submenu ? !open.editOnly : IsChoosable(open, index);
    }

    // The next selectable item after the highlighted one, stepping by +1 or -1; the
    // first or last when none is highlighted; the same item at either end.
    MenuItemIndex StepSelection(OpenMenu const& open, int step)
    {
        int const count = static_cast<int>(open.menu->Count());
        int i = open.highlighted != 0 ? open.highlighted : step > 0 ? 0 : count + 1;
        for (i += step; i >= 1 && i <= count; i += step)
            if (IsSelectable(open, static_cast<MenuItemIndex>(i)))
                return static_cast<MenuItemIndex>(i);
        return open.highlighted;
    }

    // The first selectable item whose text starts with what was typed, ignoring case.
    MenuItemIndex FindTyped(OpenMenu const& open, std::u16string const& typed)
    {
        for (MenuItemIndex i = 1; i <= open.menu->Count(); ++i) {
            MenuItem const* item = open.menu->Item(i);
            if (!IsSelectable(open, i) || !item->text || item->text->Text().size() < typed.size())
                continue;
            std::u16string const& text = item->text->Text();
            if (std::equal(typed.begin(), typed.end(), text.begin(),
                    [](char16_t a, char16_t b) { return std::towlower(a) == std::towlower(b); }))
                return i;
        }
        return 0;
    }

    constexpr EventTime kTypeAheadPause = 1.0; // [s] typing after this long starts a new search
    constexpr CGFloat kStillSlop = 4; // [px] a release this close to the press is a click

    // Mac virtual key codes of the keys open menus answer.
    enum : UInt32 {
        kMenuKeyReturn = 36,
        kMenuKeySpace = 49,
        kMenuKeyEscape = 53,
        kMenuKeyEnter = 52,
        kMenuKeyLeft = 123,
        kMenuKeyRight = 124,
        kMenuKeyDown = 125,
        kMenuKeyUp = 126,
    };

} // namespace

bool MenuBar::TrackPopUp(Menu* menu, CGPoint topLeft, MenuItemIndex atItem, bool mouseIsDown, Menu** outMenu,
    MenuItemIndex* outItem, CGPoint const* pressedAt)
{
    if (!menu || menu->IsDisposed())
        return false;
    CGPoint origin = topLeft;
    if (atItem > 1)
        origin.y -= ItemTop(menu, atItem);
    CloseFrom(0);
    OpenMenuAt(menu, origin, false);
    // Opened from the keyboard, the menu shows its current item until the mouse moves.
    if (!mouseIsDown && IsSelectable(sOpen.back(), atItem)) {
        sOpen.back().highlighted = atItem;
        RevealHighlighted(sOpen.size() - 1);
    }
    return Track(pressedAt ? *pressedAt : MouseSession::GetLocation(), mouseIsDown, false, outMenu, outItem);
}

void MenuBar::OpenTitle(int title, std::vector<Menu*> const& bar)
{
    CloseFrom(0);
    sHighlighted = title;
    ChangedOnScreen({ { 0, 0 }, { Screen::GetSize().width, Screen::kMenuBarHeight } });
    OpenMenuAt(bar[static_cast<std::size_t>(title)],
        { Theme::MenuBarTitleRects()[static_cast<std::size_t>(title)].origin.x, Screen::kMenuBarHeight },
        ModalLoop::IsRunning());
}

// The highlight goes along to the neighbouring menu, so that Return there chooses at once.
void MenuBar::OpenNeighbour(int title, std::vector<Menu*> const& bar)
{
    bool const carry = !sOpen.empty() && sOpen.front().highlighted != 0;
    OpenTitle(title, bar);
    if (carry && !sOpen.empty())
        Highlight(0, StepSelection(sOpen.front(), 1));
}

void MenuBar::Highlight(std::size_t level, MenuItemIndex item)
{
    if (sOpen[level].highlighted == item)
        return;
    sOpen[level].highlighted = item;
    ChangedOnScreen(sOpen[level].frame);
    CloseFrom(level + 1);
    RevealHighlighted(level);
}

void MenuBar::OpenSubmenu(std::size_t level)
{
    OpenMenu const& open = sOpen[level];
    MenuItem const* entry = open.highlighted ? open.menu->Item(open.highlighted) : nullptr;
    if (!entry || !entry->submenu || !open.menu->IsEnabled() || !entry->enabled || open.editOnly)
        return;
    CGFloat const y = open.frame.origin.y + ItemTop(open.menu, open.highlighted) - open.scroll;
    OpenMenuAt(entry->submenu, { CGRectGetMaxX(open.frame) - 2, y - 4 }, false);
}

bool MenuBar::TrackFromKeyboard(int title, Menu** outMenu, MenuItemIndex* outItem)
{
    std::vector<Menu*> const bar = Menus();
    if (title < 0 || title >= static_cast<int>(bar.size()) || !sOpen.empty())
        return false;
    OpenTitle(title, bar);
    Highlight(0, StepSelection(sOpen.front(), 1));
    return Track(MouseSession::GetLocation(), false, true, outMenu, outItem, true);
}

int MenuBar::TitleStartingWith(UniChar letter)
{
    std::vector<Menu*> const bar = Menus();
    for (std::size_t i = 0; i < bar.size(); ++i) {
        CFStringRef const title = bar[i]->GetTitle();
        std::u16string const text = title ? title->Text() : std::u16string();
        if (!text.empty() && std::towlower(text.front()) == std::towlower(letter))
            return static_cast<int>(i);
    }
    return -1;
}

bool MenuBar::Track(CGPoint p, bool mouseIsDown, bool inBar, Menu** outMenu, MenuItemIndex* outItem, bool fromKeys)
{
    bool chosen = false;
    std::vector<Menu*> const bar = inBar ? Menus() : std::vector<Menu*> {};
    CGPoint const start = p;
    bool followMouse = !fromKeys && (inBar || mouseIsDown);
    // A quick click that opens a pop-up may be released before the pop-up is tracked, so
    // the button is already up here: its release, where it pressed, still keeps the menu open.
    bool pressed = false;
    bool released = false;
    TypeAhead typed;
    MouseSession::WantKeys(true);
    for (;;) {
        int const title = inBar && followMouse ? TitleAt(p) : -1;
        if (title >= 0 && title != sHighlighted && title < static_cast<int>(bar.size()))
            OpenTitle(title, bar);
        // Highlight the item under the mouse in the deepest menu that holds it; open submenus.
        for (std::size_t level = sOpen.size(); followMouse && level-- > 0;) {
            MenuItemIndex const item = ItemAt(sOpen[level], p);
            if (item == 0 && level + 1 < sOpen.size())
                continue;
            if (sOpen[level].highlighted != item) {
                Highlight(level, item);
                OpenSubmenu(level);
            }
            break;
        }
        // Over a scroll strip the menu scrolls while the mouse rests there.
        std::size_t stripLevel = 0;
        int strip = 0;
        for (std::size_t level = sOpen.size(); followMouse && strip == 0 && level-- > 0;) {
            strip = ScrollStripAt(sOpen[level], p);
            stripLevel = level;
        }
        CGPoint global {};
        UInt32 modifiers = 0;
        MouseTrackingResult result = 0;
        MouseSession::Next(strip != 0 ? kScrollInterval : kEventDurationForever, &global, &modifiers, &result);
        if (result == kMouseTrackingUserCancelled)
            break;
        if (result == kMouseTrackingTimedOut) {
            if (strip != 0)
                ScrollBy(stripLevel, strip * kScrollStep);
            continue;
        }
        TrackedKey key;
        if (MouseSession::TakeKey(&key)) {
            followMouse = false;
            KeyOutcome const outcome = HandleKey(key, inBar, bar, typed, outMenu, outItem);
            if (outcome == KeyOutcome::Continue)
                continue;
            chosen = outcome == KeyOutcome::Choose;
            break;
        }
        if (result == kMouseTrackingKeyModifiersChanged)
            continue;
        followMouse = true;
        p = global;
        if (result == kMouseTrackingMouseDown)
            pressed = true;
        if (result != kMouseTrackingMouseUp)
            continue;
        bool const openingClick = mouseIsDown || (!pressed && !released);
        released = true;
        // The first release where the press was (on the title, or not moved from
        // where a pop-up opened) keeps the menu open for the next click or the keys.
        bool const inPlace
            = inBar ? TitleAt(p) >= 0 : std::abs(p.x - start.x) < kStillSlop && std::abs(p.y - start.y) < kStillSlop;
        if (openingClick && inPlace) {
            mouseIsDown = false;
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
    MouseSession::WantKeys(false);
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

// Up and Down move in the deepest menu, Right opens a submenu or the next menu
// of the bar, Left closes a submenu or opens the previous menu, Return, Enter
// and Space choose, Escape and Command-period close, and typing selects the
// first item that starts with what was typed.
MenuBar::KeyOutcome MenuBar::HandleKey(TrackedKey const& key, bool inBar, std::vector<Menu*> const& bar,
    TypeAhead& typed, Menu** outMenu, MenuItemIndex* outItem)
{
    if (sOpen.empty())
        return KeyOutcome::Cancel;
    std::size_t const level = sOpen.size() - 1;
    OpenMenu const& open = sOpen[level];
    int const titles = static_cast<int>(bar.size());
    switch (key.code) {
    case kMenuKeyEscape:
        return KeyOutcome::Cancel;
    case kMenuKeyDown:
    case kMenuKeyUp:
        Highlight(level, StepSelection(open, key.code == kMenuKeyDown ? 1 : -1));
        return KeyOutcome::Continue;
    case kMenuKeyRight:
        if (open.highlighted && open.menu->Item(open.highlighted)->submenu && IsSelectable(open, open.highlighted)) {
            OpenSubmenu(level);
            if (sOpen.size() > level + 1)
                Highlight(level + 1, StepSelection(sOpen[level + 1], 1));
        } else if (inBar && titles > 0 && sHighlighted >= 0)
            OpenNeighbour((sHighlighted + 1) % titles, bar);
        return KeyOutcome::Continue;
    case kMenuKeyLeft:
        if (level > 0)
            CloseFrom(level);
        else if (inBar && titles > 0 && sHighlighted >= 0)
            OpenNeighbour((sHighlighted + titles - 1) % titles, bar);
        return KeyOutcome::Continue;
    case kMenuKeyReturn:
    case kMenuKeyEnter:
    case kMenuKeySpace:
        if (open.highlighted == 0)
            return KeyOutcome::Cancel;
        if (IsChoosable(open, open.highlighted)) {
            *outMenu = open.menu;
            *outItem = open.highlighted;
            return KeyOutcome::Choose;
        }
        if (IsSelectable(open, open.highlighted)) { // a submenu's parent opens it
            OpenSubmenu(level);
            if (sOpen.size() > level + 1)
                Highlight(level + 1, StepSelection(sOpen[level + 1], 1));
        }
        return KeyOutcome::Continue;
    default:
        break;
    }
    if ((key.modifiers & cmdKey) && key.character == '.')
        return KeyOutcome::Cancel;
    if ((key.modifiers & (cmdKey | controlKey)) || key.character < 0x20 || key.character == 0x7F)
        return KeyOutcome::Continue;
    EventTime const now = GetCurrentEventTime();
    if (typed.at < 0 || now - typed.at > kTypeAheadPause)
        typed.text.clear();
    typed.at = now;
    typed.text += static_cast<char16_t>(key.character);
    MenuItemIndex found = FindTyped(open, typed.text);
    if (found == 0 && typed.text.size() > 1) { // a fresh start with the last letter
        typed.text.assign(1, static_cast<char16_t>(key.character));
        found = FindTyped(open, typed.text);
    }
    if (found != 0)
        Highlight(level, found);
    return KeyOutcome::Continue;
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
