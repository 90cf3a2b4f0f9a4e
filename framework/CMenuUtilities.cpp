#include "framework/CMenuUtilities.h"

#include "toolbox/MenuCalls.h"
#include "toolbox/NibCalls.h"
#include "toolbox/ToolboxErrors.h"

namespace {

// The item's submenu, by reference or else by menu id; null when it has none.
MenuRef SubmenuOf(MenuRef theMenu, MenuItemIndex item)
{
    MenuRef submenu = nullptr;
    if (GetMenuItemHierarchicalMenu(theMenu, item, &submenu) == noErr && submenu)
        return submenu;
    MenuID id = 0;
    if (GetMenuItemHierarchicalID(theMenu, item, &id) == noErr && id != 0)
        return GetMenuRef(id);
    return nullptr;
}

} // namespace

MenuItemIndex CMenuUtilities::GetMenuItemIndex(MenuRef theMenu, bool byCommand, unsigned long value)
{
    if (!byCommand)
        return MenuItemIndex(value);
    MenuRef found = nullptr;
    MenuItemIndex index = 0;
    return FindMenuItemForCommand(theMenu, value, &found, &index) ? index : 0;
}

bool CMenuUtilities::FindMenuItemForCommand(
    MenuRef theMenu, unsigned long commandID, MenuRef* outMenu, MenuItemIndex* outIndex)
{
    if (!theMenu || !outMenu || !outIndex)
        return false;
    UInt16 const count = CountMenuItems(theMenu);
    for (MenuItemIndex item = 1; item <= count; item++) {
        MenuCommand command = 0;
        if (GetMenuItemCommandID(theMenu, item, &command) != noErr)
            continue;
        if (command == commandID) {
            *outMenu = theMenu;
            *outIndex = item;
            return true;
        }
        MenuRef const submenu = SubmenuOf(theMenu, item);
        if (submenu && submenu != theMenu && FindMenuItemForCommand(submenu, commandID, outMenu, outIndex))
            return true;
    }
    return false;
}

MenuRef CMenuUtilities::GetNibMenu(CString const& nibName, CString const& menuName)
{
    IBNibRef nib = nullptr;
    if (CreateNibReference(nibName.GetCFString(), &nib) != noErr)
        return nullptr;
    MenuRef menu = nullptr;
    if (CreateMenuFromNib(nib, menuName.GetCFString(), &menu) != noErr)
        menu = nullptr;
    DisposeNibReference(nib);
    return menu;
}

OSStatus CMenuUtilities::SetMenuItemText(MenuRef theMenu, bool byCommand, unsigned long value, CString const& text)
{
    MenuRef target = theMenu;
    MenuItemIndex index = MenuItemIndex(value);
    if (byCommand && !FindMenuItemForCommand(theMenu, value, &target, &index))
        return menuItemNotFoundErr;
    return SetMenuItemTextWithCFString(target, index, text.GetCFString());
}
