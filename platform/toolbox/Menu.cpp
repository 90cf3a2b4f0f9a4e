#include "toolbox/Menu.h"

#include "corefoundation/CFString.h"
#include "toolbox/ObjectClass.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/ToolboxTypeIDs.h"
#include "toolbox/WindowList.h"
#include "toolbox/WindowMenu.h"

#include <algorithm>

namespace tw::toolbox {

namespace {

    std::vector<Menu*>& AllMenus()
    {
        static std::vector<Menu*> menus; // weak: each menu leaves when freed
        return menus;
    }

} // namespace

Menu::Menu(MenuID id, MenuAttributes attributes)
    : HIObject(ObjectClass::Find("com.apple.menu"), events::Target::Kind::Menu)
    , mID(id)
    , mAttributes(attributes)
{
    GetTarget().SetParent(GetApplicationEventTarget());
    AllMenus().push_back(this);
}

Menu::~Menu()
{
    Dispose();
    std::erase(AllMenus(), this);
}

CFTypeID Menu::TypeID() const { return kTWTypeIDMenu; }

Menu* LiveMenu(MenuRef ref)
{
    HIObject* object = HIObject::Live(ref);
    return object && object->TypeID() == kTWTypeIDMenu ? static_cast<Menu*>(object) : nullptr;
}

Menu* Menu::FindByID(MenuID id)
{
    if (id == 0)
        return nullptr;
    for (Menu* menu : AllMenus())
        if (menu->mID == id && !menu->IsDisposed())
            return menu;
    return nullptr;
}

void Menu::SetTitle(CFStringRef title)
{
    CFStringRef const old = mTitle;
    mTitle = title ? CFStringCreateCopy(nullptr, title) : nullptr;
    if (old)
        CFRelease(old);
}

MenuItem* Menu::Item(MenuItemIndex index)
{
    return index >= 1 && index <= mItems.size() ? &mItems[index - 1] : nullptr;
}

MenuItemIndex Menu::Insert(MenuItemIndex after, CFStringRef text, MenuItemAttributes attributes, MenuCommand command)
{
    after = std::min<MenuItemIndex>(after, static_cast<MenuItemIndex>(mItems.size()));
    MenuItem item;
    item.text = text ? CFStringCreateCopy(nullptr, text) : nullptr;
    item.attributes = attributes;
    item.command = command;
    item.enabled = !(attributes & kMenuItemAttrDisabled);
    mItems.insert(mItems.begin() + after, item);
    return after + 1;
}

OSStatus Menu::Delete(MenuItemIndex index)
{
    if (!Item(index))
        return menuItemNotFoundErr;
    MenuItem item = mItems[index - 1];
    mItems.erase(mItems.begin() + (index - 1));
    ReleaseItem(item);
    return noErr;
}

void Menu::SetItemText(MenuItem& item, CFStringRef text)
{
    CFStringRef const old = item.text;
    item.text = text ? CFStringCreateCopy(nullptr, text) : nullptr;
    if (old)
        CFRelease(old);
}

void Menu::SetSubmenu(MenuItem& item, Menu* submenu)
{
    if (submenu)
        submenu->Retain();
    if (item.submenu)
        item.submenu->Release();
    item.submenu = submenu;
}

bool Menu::FindCommand(MenuCommand command, Menu** outMenu, MenuItemIndex* outIndex)
{
    for (std::size_t i = 0; i < mItems.size(); ++i) {
        if (mItems[i].command == command) {
            *outMenu = this;
            *outIndex = static_cast<MenuItemIndex>(i + 1);
            return true;
        }
        if (mItems[i].submenu && mItems[i].submenu->FindCommand(command, outMenu, outIndex))
            return true;
    }
    return false;
}

namespace {

    // The editing commands need a focus that can edit: no answer disables them.
    bool NeedsAnEditor(MenuCommand command)
    {
        switch (command) {
        case kHICommandUndo:
        case kHICommandRedo:
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

} // namespace

void Menu::UpdateStatus()
{
    WindowList::InstallFocusProvider();
    Protector protect(this);
    WindowMenu::Refresh(this);
    for (std::size_t i = 0; i < mItems.size() && !IsDisposed(); ++i) {
        MenuCommand const id = mItems[i].command;
        if (id == 0)
            continue;
        EventRef event = nullptr;
        if (CreateEvent(nullptr, kEventClassCommand, kEventCommandUpdateStatus, GetCurrentEventTime(), 0, &event))
            continue;
        HICommandExtended command {};
        command.attributes = kHICommandFromMenu;
        command.commandID = id;
        command.source.menu.menuRef = this;
        command.source.menu.menuItemIndex = static_cast<MenuItemIndex>(i + 1);
        SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
        // The menu's own handlers (a binding on the menu) answer first; what they
        // leave goes the usual way, from the user focus up.
        OSStatus answer = SendEventToEventTargetWithOptions(event, &GetTarget(), kEventTargetDontPropagate);
        if (answer == eventNotHandledErr && !IsDisposed())
            answer = SendEventToEventTarget(event, GetUserFocusEventTarget());
        ReleaseEvent(event);
        // Other items nobody answers for keep their state.
        if (answer == eventNotHandledErr && !IsDisposed() && i < mItems.size() && NeedsAnEditor(id))
            mItems[i].enabled = false;
    }
}

void Menu::SendDisposeEvent()
{
    EventRef event = nullptr;
    if (CreateEvent(nullptr, kEventClassMenu, kEventMenuDispose, GetCurrentEventTime(), 0, &event) != noErr)
        return;
    MenuRef self = this;
    SetEventParameter(event, kEventParamDirectObject, typeMenuRef, sizeof self, &self);
    SendToAll(event);
    ReleaseEvent(event);
}

void Menu::ReleaseItem(MenuItem& item)
{
    if (item.text)
        CFRelease(item.text);
    if (item.submenu)
        item.submenu->Release();
    if (item.icon)
        CFRelease(item.icon);
    item = MenuItem {};
}

void Menu::ReleaseContents()
{
    std::vector<MenuItem> items;
    items.swap(mItems);
    for (MenuItem& item : items)
        ReleaseItem(item);
    if (mTitle)
        CFRelease(mTitle);
    mTitle = nullptr;
}

} // namespace tw::toolbox
