#pragma once

// Menu Manager calls: menus and items, the menu bar, contextual and pop-up menus, key equivalents.

#include "toolbox/MenuTypes.h"

OSStatus CreateNewMenu(MenuID id, MenuAttributes attributes, MenuRef* outMenu);
OSStatus RetainMenu(MenuRef menu);
OSStatus ReleaseMenu(MenuRef menu);
void DisposeMenu(MenuRef menu);
MenuID GetMenuID(MenuRef menu);
void SetMenuID(MenuRef menu, MenuID id);
MenuRef GetMenuRef(MenuID id);
MenuRef GetMenuHandle(MenuID id);
OSStatus SetMenuTitleWithCFString(MenuRef menu, CFStringRef title);
OSStatus CopyMenuTitleAsCFString(MenuRef menu, CFStringRef* outTitle);
void EnableAllMenuItems(MenuRef menu);
void DisableAllMenuItems(MenuRef menu);

UInt16 CountMenuItems(MenuRef menu);
OSStatus AppendMenuItemTextWithCFString(
    MenuRef menu, CFStringRef text, MenuItemAttributes attributes, MenuCommand command, MenuItemIndex* outIndex);
OSStatus InsertMenuItemTextWithCFString(
    MenuRef menu, CFStringRef text, MenuItemIndex after, MenuItemAttributes attributes, MenuCommand command);
void DeleteMenuItem(MenuRef menu, MenuItemIndex index);
OSStatus DeleteMenuItems(MenuRef menu, MenuItemIndex first, ItemCount count);
OSStatus SetMenuItemTextWithCFString(MenuRef menu, MenuItemIndex index, CFStringRef text);
OSStatus CopyMenuItemTextAsCFString(MenuRef menu, MenuItemIndex index, CFStringRef* outText);
OSStatus SetMenuItemCommandID(MenuRef menu, MenuItemIndex index, MenuCommand command);
OSStatus GetMenuItemCommandID(MenuRef menu, MenuItemIndex index, MenuCommand* outCommand);
OSStatus SetMenuItemCommandKey(MenuRef menu, MenuItemIndex index, Boolean virtualKey, UInt16 key);
OSStatus GetMenuItemCommandKey(MenuRef menu, MenuItemIndex index, Boolean virtualKey, UInt16* outKey);
OSStatus SetMenuItemModifiers(MenuRef menu, MenuItemIndex index, UInt8 modifiers);
OSStatus GetMenuItemModifiers(MenuRef menu, MenuItemIndex index, UInt8* outModifiers);
void SetItemMark(MenuRef menu, MenuItemIndex index, CharParameter mark);
void GetItemMark(MenuRef menu, MenuItemIndex index, CharParameter* outMark);
void CheckMenuItem(MenuRef menu, MenuItemIndex index, Boolean checked);
void EnableMenuItem(MenuRef menu, MenuItemIndex index);
void DisableMenuItem(MenuRef menu, MenuItemIndex index);
Boolean IsMenuItemEnabled(MenuRef menu, MenuItemIndex index);
Boolean IsMenuCommandEnabled(MenuRef menu, MenuCommand command);
OSStatus ChangeMenuItemAttributes(MenuRef menu, MenuItemIndex index, MenuItemAttributes set, MenuItemAttributes clear);
OSStatus GetMenuItemAttributes(MenuRef menu, MenuItemIndex index, MenuItemAttributes* outAttributes);
OSStatus SetMenuItemIndent(MenuRef menu, MenuItemIndex index, UInt32 indent);
OSStatus SetMenuItemRefCon(MenuRef menu, MenuItemIndex index, URefCon refCon);
OSStatus GetMenuItemRefCon(MenuRef menu, MenuItemIndex index, URefCon* outRefCon);
OSStatus SetMenuItemIconHandle(MenuRef menu, MenuItemIndex index, UInt8 iconType, CFTypeRef icon);
OSStatus SetMenuItemHierarchicalMenu(MenuRef menu, MenuItemIndex index, MenuRef submenu);
OSStatus GetMenuItemHierarchicalMenu(MenuRef menu, MenuItemIndex index, MenuRef* outSubmenu);
OSStatus GetMenuItemHierarchicalID(MenuRef menu, MenuItemIndex index, MenuID* outID);
// The first item with the command in the menu (the root menu when null) and its submenus.
OSStatus GetIndMenuItemWithCommandID(
    MenuRef menu, MenuCommand command, UInt32 instance, MenuRef* outMenu, MenuItemIndex* outIndex);
OSStatus CopyMenuItems(MenuRef source, MenuItemIndex first, ItemCount count, MenuRef destination, MenuItemIndex after);

// The menu bar: the root menu's items hold the bar's menus as submenus.
OSStatus SetRootMenu(MenuRef menu);
MenuRef AcquireRootMenu(); // +1
void InsertMenu(MenuRef menu, MenuID beforeID);
void DeleteMenu(MenuID id);
void ClearMenuBar();
void DrawMenuBar();
void InvalMenuBar();
OSStatus HMGetHelpMenu(MenuRef* outHelpMenu, MenuItemIndex* outFirstCustomItemIndex);

// Tracking. The answers pack the menu id in the high 16 bits and the item in the low ones.
SInt32 MenuSelect(Point startPoint);
SInt32 PopUpMenuSelect(MenuRef menu, short top, short left, MenuItemIndex popUpItem);
OSStatus ContextualMenuSelect(MenuRef menu, Point globalLocation, Boolean reserved, UInt32 helpType,
    ConstStr255Param helpItem, void const* selection, UInt32* outSelectionType, MenuID* outMenuID,
    MenuItemIndex* outItem);
// Whether a raw key event matches an enabled item's key equivalent (after the status pass).
Boolean IsMenuKeyEvent(
    MenuRef startMenu, EventRef event, MenuEventOptions options, MenuRef* outMenu, MenuItemIndex* outIndex);
