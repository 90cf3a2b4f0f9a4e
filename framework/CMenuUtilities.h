#pragma once

// Finding menu items by command, renaming them, and menus from nib files.

#include "foundation/CString.h"
#include "toolbox/MenuTypes.h"

class CMenuUtilities {
public:
    // By command: the index of the first item with it in the menu or its submenus (0 when
    // none); otherwise the value is the index.
    static MenuItemIndex GetMenuItemIndex(MenuRef theMenu, bool byCommand, unsigned long value);
    // Depth first in item order, each submenu searched before the next item.
    static bool FindMenuItemForCommand(
        MenuRef theMenu, unsigned long commandID, MenuRef* outMenu, MenuItemIndex* outIndex);
    // The named menu of the main bundle's nib (+1), or null.
    static MenuRef GetNibMenu(CString const& nibName, CString const& menuName);
    // By command the item is renamed in the menu it was found in; a command found nowhere
    // changes nothing (menuItemNotFoundErr).
    static OSStatus SetMenuItemText(MenuRef theMenu, bool byCommand, unsigned long value, CString const& text);
};
