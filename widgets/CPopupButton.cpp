#include "widgets/CPopupButton.h"

#include "framework/CMenuUtilities.h"
#include "quartz/CGImage.h"
#include "render/CCoreGraphicsUtilities.h"
#include "toolbox/MenuCalls.h"

#include <algorithm>

CPopupButton::CPopupButton(HIObjectRef object)
    : CControl(object)
{
    mMenu = GetControlPopupMenuHandle(GetControlRef());
    if (mMenu)
        RetainMenu(mMenu);
}

CPopupButton::~CPopupButton()
{
    if (mMenu)
        ReleaseMenu(mMenu);
}

void CPopupButton::SetItemText(bool byCommand, UInt32 item, CString const& text)
{
    CMenuUtilities::SetMenuItemText(mMenu, byCommand, item, text);
    SetNeedsDisplay(true, nullptr);
}

OSStatus CPopupButton::SetItemImage(bool byCommand, UInt32 item, CFile const& file, CGSize const& size)
{
    CGImageRef image = CCoreGraphicsUtilities::LoadImage(file, size);
    if (!image)
        return fnfErr;
    MenuItemIndex const index = CMenuUtilities::GetMenuItemIndex(mMenu, byCommand, item);
    OSStatus const status = SetMenuItemIconHandle(mMenu, index, 7 /* CGImage */, reinterpret_cast<CFTypeRef>(image));
    CGImageRelease(image);
    return status;
}

void CPopupButton::InsertItem(CString const& text, UInt16 afterItem, UInt32 attributes, UInt32 commandID)
{
    InsertMenuItemTextWithCFString(mMenu, text.GetCFString(), afterItem, attributes, commandID);
    SetMaximumValue(GetMaximumValue() + 1);
}

// Deletes no more items than the menu has, whatever the maximum said.
void CPopupButton::DeleteAllMenuItems()
{
    long const count = std::min<long>(GetMaximumValue(), mMenu ? CountMenuItems(mMenu) : 0);
    if (count > 0)
        DeleteMenuItems(mMenu, 1, static_cast<ItemCount>(count));
    SetMaximumValue(0);
}

CString CPopupButton::GetTextValue() const
{
    long const value = GetCurrentValue();
    if (GetMaximumValue() < 1 || !mMenu || value < 1)
        return CString();
    CFStringRef text = nullptr;
    if (CopyMenuItemTextAsCFString(mMenu, static_cast<MenuItemIndex>(value), &text) != noErr || !text)
        return CString();
    return CString(text, true);
}
