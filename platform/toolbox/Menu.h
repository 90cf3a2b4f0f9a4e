#pragma once

#include "toolbox/HIObject.h"
#include "toolbox/MenuTypes.h"

#include <vector>

namespace tw::toolbox {

// One item of a menu.
struct MenuItem {
    CFStringRef text = nullptr; // retains
    MenuCommand command = 0;
    UniChar key = 0; // key equivalent, 0 for none
    UInt8 modifiers = kMenuNoModifiers;
    UniChar mark = noMark;
    MenuItemAttributes attributes = 0;
    UInt32 indent = 0;
    UInt32 refCon = 0;
    Menu* submenu = nullptr; // retains
    CFTypeRef icon = nullptr; // retains
    bool enabled = true;
    bool listsWindow = false; // made by the Window menu for an open window

    bool IsSeparator() const { return attributes & kMenuItemAttrSeparator; }
    bool IsSectionHeader() const { return attributes & kMenuItemAttrSectionHeader; }
    bool IsHidden() const { return attributes & kMenuItemAttrHidden; }
};

// A menu: id, title and items (indexed from 1 in the public calls). Menus with
// a non-zero id are found by GetMenuRef while they live.
class Menu : public HIObject {
public:
    Menu(MenuID id, MenuAttributes attributes);
    ~Menu() override;
    CFTypeID TypeID() const override;

    MenuID GetID() const { return mID; }
    void SetID(MenuID id) { mID = id; }
    CFStringRef GetTitle() const { return mTitle; }
    void SetTitle(CFStringRef title);
    bool IsEnabled() const { return mEnabled; }
    void SetEnabled(bool enabled) { mEnabled = enabled; }
    // The narrowest the menu opens [px]: a pop-up button's menu is never narrower than the button.
    double GetMinimumWidth() const { return mMinimumWidth; }
    void SetMinimumWidth(double width) { mMinimumWidth = width; }
    // The standard Window menu lists the open windows below its own items.
    bool ListsWindows() const { return mListsWindows; }
    void SetListsWindows(bool lists) { mListsWindows = lists; }

    ItemCount Count() const { return mItems.size(); }
    // The item at a public index (from 1), or null.
    MenuItem* Item(MenuItemIndex index);
    MenuItemIndex Insert(MenuItemIndex after, CFStringRef text, MenuItemAttributes attributes, MenuCommand command);
    OSStatus Delete(MenuItemIndex index);
    void SetItemText(MenuItem& item, CFStringRef text);
    void SetSubmenu(MenuItem& item, Menu* submenu);
    // The first item with this command here or in a submenu (depth first).
    bool FindCommand(MenuCommand command, Menu** outMenu, MenuItemIndex* outIndex);

    // Asks the focus for the state of every command item ('cmds' 2), as before opening.
    void UpdateStatus();

    static Menu* FindByID(MenuID id);

protected:
    void SendDisposeEvent() override;
    void ReleaseContents() override;

private:
    static void ReleaseItem(MenuItem& item);

    MenuID mID;
    MenuAttributes mAttributes;
    CFStringRef mTitle = nullptr; // retains
    bool mEnabled = true;
    double mMinimumWidth = 0; // [px]
    bool mListsWindows = false;
    std::vector<MenuItem> mItems;
};

Menu* LiveMenu(MenuRef ref);

} // namespace tw::toolbox
