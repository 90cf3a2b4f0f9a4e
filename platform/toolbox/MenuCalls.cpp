#include "toolbox/MenuCalls.h"

#include "corefoundation/CFString.h"
#include "toolbox/LiveCalls.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/ScreenSink.h"
#include "toolbox/ToolboxErrors.h"

using tw::toolbox::IfLive;
using tw::toolbox::LiveMenu;
using tw::toolbox::Menu;
using tw::toolbox::MenuBar;
using tw::toolbox::MenuItem;
using tw::toolbox::ReadLive;

namespace {

MenuItem* ItemOf(MenuRef menu, MenuItemIndex index)
{
    Menu* live = LiveMenu(menu);
    return live ? live->Item(index) : nullptr;
}

SInt32 Packed(Menu* menu, MenuItemIndex item) { return menu ? (static_cast<SInt32>(menu->GetID()) << 16) | item : 0; }

} // namespace

OSStatus CreateNewMenu(MenuID id, MenuAttributes attributes, MenuRef* outMenu)
{
    if (!outMenu)
        return paramErr;
    *outMenu = new Menu(id, attributes);
    return noErr;
}

OSStatus RetainMenu(MenuRef menu)
{
    if (!LiveMenu(menu))
        return paramErr;
    menu->Retain();
    return noErr;
}

OSStatus ReleaseMenu(MenuRef menu)
{
    if (!menu)
        return paramErr;
    menu->Release();
    return noErr;
}

void DisposeMenu(MenuRef menu) { ReleaseMenu(menu); }

MenuID GetMenuID(MenuRef menu)
{
    Menu* live = LiveMenu(menu);
    return live ? live->GetID() : 0;
}

void SetMenuID(MenuRef menu, MenuID id)
{
    if (Menu* live = LiveMenu(menu))
        live->SetID(id);
}

MenuRef GetMenuRef(MenuID id) { return Menu::FindByID(id); }
MenuRef GetMenuHandle(MenuID id) { return Menu::FindByID(id); }

OSStatus SetMenuTitleWithCFString(MenuRef menu, CFStringRef title)
{
    return IfLive(LiveMenu(menu), [&](Menu* live) {
        live->SetTitle(title);
        InvalMenuBar();
    });
}

OSStatus CopyMenuTitleAsCFString(MenuRef menu, CFStringRef* outTitle)
{
    return ReadLive(LiveMenu(menu), outTitle, [&](Menu* live) {
        return live->GetTitle() ? CFStringCreateCopy(nullptr, live->GetTitle())
                                : CFStringCreateWithCString(nullptr, "", kCFStringEncodingUTF8);
    });
}

void EnableAllMenuItems(MenuRef menu)
{
    if (Menu* live = LiveMenu(menu)) {
        live->SetEnabled(true);
        for (MenuItemIndex i = 1; i <= live->Count(); ++i)
            live->Item(i)->enabled = true;
    }
}

void DisableAllMenuItems(MenuRef menu)
{
    if (Menu* live = LiveMenu(menu))
        for (MenuItemIndex i = 1; i <= live->Count(); ++i)
            live->Item(i)->enabled = false;
}

UInt16 CountMenuItems(MenuRef menu)
{
    Menu* live = LiveMenu(menu);
    return live ? static_cast<UInt16>(live->Count()) : 0;
}

OSStatus AppendMenuItemTextWithCFString(
    MenuRef menu, CFStringRef text, MenuItemAttributes attributes, MenuCommand command, MenuItemIndex* outIndex)
{
    return IfLive(LiveMenu(menu), [&](Menu* live) {
        MenuItemIndex const index = live->Insert(static_cast<MenuItemIndex>(live->Count()), text, attributes, command);
        if (outIndex)
            *outIndex = index;
    });
}

OSStatus InsertMenuItemTextWithCFString(
    MenuRef menu, CFStringRef text, MenuItemIndex after, MenuItemAttributes attributes, MenuCommand command)
{
    return IfLive(LiveMenu(menu), [&](Menu* live) { live->Insert(after, text, attributes, command); });
}

void DeleteMenuItem(MenuRef menu, MenuItemIndex index)
{
    if (Menu* live = LiveMenu(menu))
        live->Delete(index);
}

OSStatus DeleteMenuItems(MenuRef menu, MenuItemIndex first, ItemCount count)
{
    Menu* live = LiveMenu(menu);
    if (!live || !live->Item(first))
        return live ? OSStatus { menuItemNotFoundErr } : OSStatus { paramErr };
    for (ItemCount i = 0; i < count && live->Item(first); ++i)
        live->Delete(first);
    return noErr;
}

OSStatus SetMenuItemTextWithCFString(MenuRef menu, MenuItemIndex index, CFStringRef text)
{
    return IfLive(
        ItemOf(menu, index), [&](MenuItem* item) { LiveMenu(menu)->SetItemText(*item, text); }, menuItemNotFoundErr);
}

OSStatus CopyMenuItemTextAsCFString(MenuRef menu, MenuItemIndex index, CFStringRef* outText)
{
    return ReadLive(
        ItemOf(menu, index), outText,
        [&](MenuItem* item) {
            return item->text ? CFStringCreateCopy(nullptr, item->text)
                              : CFStringCreateWithCString(nullptr, "", kCFStringEncodingUTF8);
        },
        menuItemNotFoundErr);
}

OSStatus SetMenuItemCommandID(MenuRef menu, MenuItemIndex index, MenuCommand command)
{
    return IfLive(
        ItemOf(menu, index), [&](MenuItem* item) { item->command = command; }, menuItemNotFoundErr);
}

OSStatus GetMenuItemCommandID(MenuRef menu, MenuItemIndex index, MenuCommand* outCommand)
{
    return ReadLive(
        ItemOf(menu, index), outCommand, [&](MenuItem* item) { return item->command; }, menuItemNotFoundErr);
}

OSStatus SetMenuItemCommandKey(MenuRef menu, MenuItemIndex index, Boolean, UInt16 key)
{
    return IfLive(
        ItemOf(menu, index), [&](MenuItem* item) { item->key = key; }, menuItemNotFoundErr);
}

OSStatus GetMenuItemCommandKey(MenuRef menu, MenuItemIndex index, Boolean, UInt16* outKey)
{
    return ReadLive(
        ItemOf(menu, index), outKey, [&](MenuItem* item) { return item->key; }, menuItemNotFoundErr);
}

OSStatus SetMenuItemModifiers(MenuRef menu, MenuItemIndex index, UInt8 modifiers)
{
    return IfLive(
        ItemOf(menu, index), [&](MenuItem* item) { item->modifiers = modifiers; }, menuItemNotFoundErr);
}

OSStatus GetMenuItemModifiers(MenuRef menu, MenuItemIndex index, UInt8* outModifiers)
{
    return ReadLive(
        ItemOf(menu, index), outModifiers, [&](MenuItem* item) { return item->modifiers; }, menuItemNotFoundErr);
}

void SetItemMark(MenuRef menu, MenuItemIndex index, CharParameter mark)
{
    if (MenuItem* item = ItemOf(menu, index))
        item->mark = mark;
}

void GetItemMark(MenuRef menu, MenuItemIndex index, CharParameter* outMark)
{
    MenuItem* item = ItemOf(menu, index);
    if (outMark)
        *outMark = item ? item->mark : CharParameter { noMark };
}

void CheckMenuItem(MenuRef menu, MenuItemIndex index, Boolean checked)
{
    SetItemMark(menu, index, checked ? checkMark : noMark);
}

void EnableMenuItem(MenuRef menu, MenuItemIndex index)
{
    if (index == 0) {
        if (Menu* live = LiveMenu(menu))
            live->SetEnabled(true);
    } else if (MenuItem* item = ItemOf(menu, index)) {
        item->enabled = true;
    }
}

void DisableMenuItem(MenuRef menu, MenuItemIndex index)
{
    if (index == 0) {
        if (Menu* live = LiveMenu(menu))
            live->SetEnabled(false);
    } else if (MenuItem* item = ItemOf(menu, index)) {
        item->enabled = false;
    }
}

Boolean IsMenuItemEnabled(MenuRef menu, MenuItemIndex index)
{
    Menu* live = LiveMenu(menu);
    if (!live)
        return false;
    if (index == 0)
        return live->IsEnabled();
    MenuItem* item = live->Item(index);
    return item && item->enabled && live->IsEnabled();
}

namespace {

OSStatus SetCommandEnabled(MenuRef menu, MenuCommand command, bool enabled)
{
    Menu* start = menu ? LiveMenu(menu) : MenuBar::GetRoot();
    Menu* found = nullptr;
    MenuItemIndex index = 0;
    if (!start || !start->FindCommand(command, &found, &index))
        return menu && !start ? OSStatus { paramErr } : OSStatus { menuItemNotFoundErr };
    found->Item(index)->enabled = enabled;
    return noErr;
}

} // namespace

void EnableMenuCommand(MenuRef menu, MenuCommand command) { SetCommandEnabled(menu, command, true); }
void DisableMenuCommand(MenuRef menu, MenuCommand command) { SetCommandEnabled(menu, command, false); }

Boolean IsMenuCommandEnabled(MenuRef menu, MenuCommand command)
{
    Menu* start = menu ? LiveMenu(menu) : MenuBar::GetRoot();
    Menu* found = nullptr;
    MenuItemIndex index = 0;
    return start && start->FindCommand(command, &found, &index) && found->Item(index)->enabled;
}

OSStatus ChangeMenuItemAttributes(MenuRef menu, MenuItemIndex index, MenuItemAttributes set, MenuItemAttributes clear)
{
    MenuItem* item = ItemOf(menu, index);
    if (!item)
        return menuItemNotFoundErr;
    item->attributes = (item->attributes | set) & ~clear;
    if (set & kMenuItemAttrDisabled)
        item->enabled = false;
    if (clear & kMenuItemAttrDisabled)
        item->enabled = true;
    return noErr;
}

OSStatus GetMenuItemAttributes(MenuRef menu, MenuItemIndex index, MenuItemAttributes* outAttributes)
{
    return ReadLive(
        ItemOf(menu, index), outAttributes,
        [&](MenuItem* item) { return item->attributes | (item->enabled ? 0U : UInt32 { kMenuItemAttrDisabled }); },
        menuItemNotFoundErr);
}

OSStatus SetMenuItemIndent(MenuRef menu, MenuItemIndex index, UInt32 indent)
{
    return IfLive(
        ItemOf(menu, index), [&](MenuItem* item) { item->indent = indent; }, menuItemNotFoundErr);
}

OSStatus SetMenuItemRefCon(MenuRef menu, MenuItemIndex index, URefCon refCon)
{
    return IfLive(
        ItemOf(menu, index), [&](MenuItem* item) { item->refCon = refCon; }, menuItemNotFoundErr);
}

OSStatus GetMenuItemRefCon(MenuRef menu, MenuItemIndex index, URefCon* outRefCon)
{
    return ReadLive(
        ItemOf(menu, index), outRefCon, [&](MenuItem* item) { return item->refCon; }, menuItemNotFoundErr);
}

OSStatus SetMenuItemIconHandle(MenuRef menu, MenuItemIndex index, UInt8, CFTypeRef icon)
{
    MenuItem* item = ItemOf(menu, index);
    if (!item)
        return menuItemNotFoundErr;
    if (icon)
        CFRetain(icon);
    if (item->icon)
        CFRelease(item->icon);
    item->icon = icon;
    return noErr;
}

OSStatus SetMenuItemHierarchicalMenu(MenuRef menu, MenuItemIndex index, MenuRef submenu)
{
    MenuItem* item = ItemOf(menu, index);
    if (!item || (submenu && !LiveMenu(submenu)) || submenu == menu)
        return item ? OSStatus { paramErr } : OSStatus { menuItemNotFoundErr };
    LiveMenu(menu)->SetSubmenu(*item, submenu);
    return noErr;
}

OSStatus GetMenuItemHierarchicalMenu(MenuRef menu, MenuItemIndex index, MenuRef* outSubmenu)
{
    return ReadLive(
        ItemOf(menu, index), outSubmenu, [&](MenuItem* item) { return item->submenu; }, menuItemNotFoundErr);
}

OSStatus GetMenuItemHierarchicalID(MenuRef menu, MenuItemIndex index, MenuID* outID)
{
    MenuRef submenu = nullptr;
    OSStatus const status = GetMenuItemHierarchicalMenu(menu, index, &submenu);
    if (status == noErr && outID)
        *outID = submenu ? submenu->GetID() : 0;
    return status;
}

OSStatus GetIndMenuItemWithCommandID(
    MenuRef menu, MenuCommand command, UInt32, MenuRef* outMenu, MenuItemIndex* outIndex)
{
    Menu* start = menu ? LiveMenu(menu) : MenuBar::GetRoot();
    Menu* found = nullptr;
    MenuItemIndex index = 0;
    if (!start || !start->FindCommand(command, &found, &index))
        return menuItemNotFoundErr;
    if (outMenu)
        *outMenu = found;
    if (outIndex)
        *outIndex = index;
    return noErr;
}

OSStatus CopyMenuItems(MenuRef source, MenuItemIndex first, ItemCount count, MenuRef destination, MenuItemIndex after)
{
    Menu* from = LiveMenu(source);
    Menu* to = LiveMenu(destination);
    if (!from || !to || !from->Item(first) || first + count - 1 > from->Count())
        return paramErr;
    for (ItemCount i = 0; i < count; ++i) {
        MenuItem const copy = *from->Item(static_cast<MenuItemIndex>(first + i));
        MenuItemIndex const at
            = to->Insert(static_cast<MenuItemIndex>(after + i), copy.text, copy.attributes, copy.command);
        MenuItem* item = to->Item(at);
        item->key = copy.key;
        item->modifiers = copy.modifiers;
        item->mark = copy.mark;
        item->enabled = copy.enabled;
        item->indent = copy.indent;
        item->refCon = copy.refCon;
        to->SetSubmenu(*item, copy.submenu);
    }
    return noErr;
}

OSStatus SetRootMenu(MenuRef menu)
{
    if (menu && !LiveMenu(menu))
        return paramErr;
    MenuBar::SetRoot(menu);
    return noErr;
}

MenuRef AcquireRootMenu()
{
    Menu* root = MenuBar::GetRoot();
    if (!root) {
        root = new Menu(0, 0);
        MenuBar::SetRoot(root);
        root->Release();
    }
    root->Retain();
    return root;
}

void InsertMenu(MenuRef menu, MenuID beforeID)
{
    Menu* live = LiveMenu(menu);
    if (!live)
        return;
    Menu* root = AcquireRootMenu();
    MenuItemIndex after = static_cast<MenuItemIndex>(root->Count());
    for (MenuItemIndex i = 1; i <= root->Count(); ++i)
        if (root->Item(i)->submenu && root->Item(i)->submenu->GetID() == beforeID && beforeID != 0)
            after = i - 1;
    MenuItemIndex const at = root->Insert(after, live->GetTitle(), 0, 0);
    root->SetSubmenu(*root->Item(at), live);
    root->Release();
    InvalMenuBar();
}

void DeleteMenu(MenuID id)
{
    Menu* root = MenuBar::GetRoot();
    for (MenuItemIndex i = 1; root && i <= root->Count(); ++i)
        if (root->Item(i)->submenu && root->Item(i)->submenu->GetID() == id) {
            root->Delete(i);
            break;
        }
    InvalMenuBar();
}

void ClearMenuBar()
{
    Menu* root = MenuBar::GetRoot();
    while (root && root->Count() > 0)
        root->Delete(1);
    InvalMenuBar();
}

void DrawMenuBar() { InvalMenuBar(); }

void InvalMenuBar()
{
    using tw::toolbox::Screen;
    Screen::Changed({ { 0, 0 }, { Screen::GetSize().width, Screen::kMenuBarHeight } });
}

// The bar's last menu titled "Help", made when absent; custom items start after its own.
OSStatus HMGetHelpMenu(MenuRef* outHelpMenu, MenuItemIndex* outFirstCustomItemIndex)
{
    std::vector<Menu*> const menus = MenuBar::Menus();
    Menu* help = nullptr;
    for (Menu* menu : menus)
        if (menu->GetTitle() && tw::cf::ToUTF8(menu->GetTitle()) == "Help")
            help = menu;
    if (!help) {
        help = new Menu(0, 0);
        help->SetTitle(CFSTR("Help"));
        InsertMenu(help, 0);
        help->Release();
    }
    if (outHelpMenu)
        *outHelpMenu = help;
    if (outFirstCustomItemIndex)
        *outFirstCustomItemIndex = static_cast<MenuItemIndex>(help->Count() + 1);
    return noErr;
}

SInt32 MenuSelect(Point startPoint)
{
    Menu* menu = nullptr;
    MenuItemIndex item = 0;
    CGPoint const p { static_cast<CGFloat>(startPoint.h), static_cast<CGFloat>(startPoint.v) };
    return MenuBar::TrackBar(p, &menu, &item) ? Packed(menu, item) : 0;
}

SInt32 PopUpMenuSelect(MenuRef menu, short top, short left, MenuItemIndex popUpItem)
{
    Menu* live = LiveMenu(menu);
    Menu* chosen = nullptr;
    MenuItemIndex item = 0;
    if (!live)
        return 0;
    bool const down = tw::toolbox::MouseSession::GetButtons() != 0;
    return MenuBar::TrackPopUp(
               live, { static_cast<CGFloat>(left), static_cast<CGFloat>(top) }, popUpItem, down, &chosen, &item)
        ? Packed(chosen, item)
        : 0;
}

OSStatus ContextualMenuSelect(MenuRef menu, Point globalLocation, Boolean, UInt32, ConstStr255Param, void const*,
    UInt32* outSelectionType, MenuID* outMenuID, MenuItemIndex* outItem)
{
    Menu* live = LiveMenu(menu);
    if (!live || !outSelectionType || !outMenuID || !outItem)
        return paramErr;
    Menu* chosen = nullptr;
    MenuItemIndex item = 0;
    bool const down = tw::toolbox::MouseSession::GetButtons() != 0;
    CGPoint const at { static_cast<CGFloat>(globalLocation.h), static_cast<CGFloat>(globalLocation.v) };
    // The menu opens where the click was: a release there is the click's own, not a choice.
    if (!MenuBar::TrackPopUp(live, at, 0, down, &chosen, &item, &at)) {
        *outSelectionType = kCMNothingSelected;
        return userCanceledErr;
    }
    *outSelectionType = kCMMenuItemSelected;
    *outMenuID = chosen->GetID();
    *outItem = item;
    return noErr;
}

Boolean IsMenuKeyEvent(MenuRef, EventRef event, MenuEventOptions, MenuRef* outMenu, MenuItemIndex* outIndex)
{
    UInt32 modifiers = 0;
    char character = 0;
    GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
    GetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, nullptr, sizeof character, nullptr, &character);
    Menu* menu = nullptr;
    MenuItemIndex index = 0;
    if (!MenuBar::MatchKey(static_cast<unsigned char>(character), modifiers, &menu, &index))
        return false;
    if (outMenu)
        *outMenu = menu;
    if (outIndex)
        *outIndex = index;
    return IsMenuItemEnabled(menu, index);
}
