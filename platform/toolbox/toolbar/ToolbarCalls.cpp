#include "toolbox/toolbar/ToolbarCalls.h"

#include "corefoundation/CFString.h"
#include "toolbox/LiveCalls.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/toolbar/Toolbar.h"
#include "toolbox/toolbar/ToolbarItem.h"
#include "toolbox/toolbar/ToolbarStrip.h"

using tw::toolbox::IfLive;
using tw::toolbox::ReadLive;
using tw::toolbox::View;
using tw::toolbox::Window;
using tw::toolbox::toolbar::Toolbar;
using tw::toolbox::toolbar::ToolbarItem;
using tw::toolbox::toolbar::ToolbarStrip;

namespace {

std::u16string Text(CFStringRef string) { return string ? string->Text() : std::u16string(); }

} // namespace

OSStatus HIToolbarCreate(CFStringRef identifier, OptionBits attributes, HIToolbarRef* outToolbar)
{
    if (!outToolbar)
        return paramErr;
    *outToolbar = nullptr;
    std::string const id = tw::cf::ToUTF8(identifier);
    if (id.empty())
        return paramErr;
    *outToolbar = new Toolbar(id, attributes);
    return noErr;
}

CFStringRef HIToolbarGetIdentifier(HIToolbarRef ref)
{
    Toolbar* toolbar = Toolbar::From(ref);
    return toolbar ? toolbar->GetIdentifierString() : nullptr;
}

OSStatus HIToolbarGetAttributes(HIToolbarRef ref, OptionBits* outAttributes)
{
    return ReadLive(Toolbar::From(ref), outAttributes, [&](Toolbar* toolbar) { return toolbar->GetAttributes(); });
}

OSStatus HIToolbarGetDisplayMode(HIToolbarRef ref, HIToolbarDisplayMode* outMode)
{
    return ReadLive(Toolbar::From(ref), outMode, [&](Toolbar* toolbar) { return toolbar->GetDisplayMode(); });
}

OSStatus HIToolbarSetDisplayMode(HIToolbarRef ref, HIToolbarDisplayMode mode)
{
    Toolbar* toolbar = Toolbar::From(ref);
    if (!toolbar || mode > kHIToolbarDisplayModeLabelOnly)
        return paramErr;
    toolbar->SetDisplayMode(mode);
    // The strip's height follows the mode.
    if (Window* window = toolbar->GetWindow(); window && IsWindowToolbarVisible(window)) {
        ShowHideWindowToolbar(window, false, false);
        ShowHideWindowToolbar(window, true, false);
    }
    return noErr;
}

OSStatus HIToolbarCopyItems(HIToolbarRef ref, CFArrayRef* outItems)
{
    Toolbar* toolbar = Toolbar::From(ref);
    if (!toolbar || !outItems)
        return paramErr;
    toolbar->Populate();
    CFMutableArrayRef items = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    for (ToolbarItem* item : toolbar->GetItems())
        CFArrayAppendValue(items, item);
    *outItems = items;
    return noErr;
}

OSStatus HIToolbarAppendItem(HIToolbarRef ref, HIToolbarItemRef item)
{
    Toolbar* toolbar = Toolbar::From(ref);
    return toolbar ? toolbar->Insert(ToolbarItem::From(item), toolbar->GetItems().size()) : paramErr;
}

OSStatus HIToolbarInsertItemAtIndex(HIToolbarRef ref, HIToolbarItemRef item, CFIndex index)
{
    Toolbar* toolbar = Toolbar::From(ref);
    if (!toolbar || index < 0)
        return paramErr;
    return toolbar->Insert(ToolbarItem::From(item), static_cast<std::size_t>(index));
}

OSStatus HIToolbarRemoveItemAtIndex(HIToolbarRef ref, CFIndex index)
{
    Toolbar* toolbar = Toolbar::From(ref);
    if (!toolbar || index < 0)
        return paramErr;
    return toolbar->Remove(static_cast<std::size_t>(index));
}

OSStatus HIToolbarCreateItemWithIdentifier(
    HIToolbarRef ref, CFStringRef identifier, CFTypeRef, HIToolbarItemRef* outItem)
{
    Toolbar* toolbar = Toolbar::From(ref);
    if (!toolbar || !identifier || !outItem)
        return paramErr;
    *outItem = toolbar->CreateItem(identifier);
    return *outItem ? noErr : eventNotHandledErr;
}

OSStatus HIToolbarItemCreate(CFStringRef identifier, OptionBits options, HIToolbarItemRef* outItem)
{
    if (!outItem)
        return paramErr;
    *outItem = nullptr;
    std::string const id = tw::cf::ToUTF8(identifier);
    if (id.empty())
        return paramErr;
    *outItem = new ToolbarItem(id, options);
    return noErr;
}

OSStatus HIToolbarItemCopyIdentifier(HIToolbarItemRef ref, CFStringRef* outIdentifier)
{
    return ReadLive(ToolbarItem::From(ref), outIdentifier,
        [&](ToolbarItem* item) { return tw::cf::CreateString(item->GetIdentifier()); });
}

OSStatus HIToolbarItemGetAttributes(HIToolbarItemRef ref, OptionBits* outAttributes)
{
    return ReadLive(ToolbarItem::From(ref), outAttributes, [&](ToolbarItem* item) { return item->GetAttributes(); });
}

OSStatus HIToolbarItemChangeAttributes(HIToolbarItemRef ref, OptionBits set, OptionBits clear)
{
    return IfLive(ToolbarItem::From(ref), [&](ToolbarItem* item) { item->ChangeAttributes(set, clear); });
}

OSStatus HIToolbarItemChangeAttributesInWindow(HIToolbarItemRef ref, WindowRef window, OptionBits set, OptionBits clear)
{
    ToolbarItem* item = ToolbarItem::From(ref);
    if (!item || (window && (!item->GetToolbar() || item->GetToolbar()->GetWindow() != window)))
        return paramErr;
    item->ChangeAttributes(set, clear);
    return noErr;
}

OSStatus HIToolbarItemSetLabel(HIToolbarItemRef ref, CFStringRef label)
{
    return IfLive(ToolbarItem::From(ref), [&](ToolbarItem* item) { item->SetLabel(Text(label)); });
}

OSStatus HIToolbarItemCopyLabel(HIToolbarItemRef ref, CFStringRef* outLabel)
{
    return ReadLive(ToolbarItem::From(ref), outLabel,
        [&](ToolbarItem* item) { return tw::cf::CreateString(tw::cf::UTF16ToUTF8(item->GetLabel())); });
}

OSStatus HIToolbarItemSetHelpText(HIToolbarItemRef ref, CFStringRef shortText, CFStringRef longText)
{
    return IfLive(ToolbarItem::From(ref), [&](ToolbarItem* item) { item->SetHelp(Text(shortText), Text(longText)); });
}

OSStatus HIToolbarItemSetCommandID(HIToolbarItemRef ref, MenuCommand command)
{
    return IfLive(ToolbarItem::From(ref), [&](ToolbarItem* item) { item->SetCommand(command); });
}

OSStatus HIToolbarItemGetCommandID(HIToolbarItemRef ref, MenuCommand* outCommand)
{
    return ReadLive(ToolbarItem::From(ref), outCommand, [&](ToolbarItem* item) { return item->GetCommand(); });
}

OSStatus HIToolbarItemSetIconRef(HIToolbarItemRef ref, IconRef icon)
{
    return IfLive(ToolbarItem::From(ref), [&](ToolbarItem* item) {
        ControlButtonContentInfo content;
        content.contentType = icon ? kControlContentIconRef : kControlContentTextOnly;
        content.u.iconRef = icon;
        item->SetContent(content);
    });
}

OSStatus HIToolbarItemSetImage(HIToolbarItemRef ref, CGImageRef image)
{
    return IfLive(ToolbarItem::From(ref), [&](ToolbarItem* item) {
        ControlButtonContentInfo content;
        content.contentType = image ? kControlContentCGImageRef : kControlContentTextOnly;
        content.u.imageRef = image;
        item->SetContent(content);
    });
}

OSStatus HIToolbarItemSetEnabled(HIToolbarItemRef ref, Boolean enabled)
{
    return IfLive(ToolbarItem::From(ref), [&](ToolbarItem* item) {
        OptionBits const disabled = kHIToolbarItemDisabled;
        item->ChangeAttributes(enabled ? 0 : disabled, enabled ? disabled : 0);
    });
}

Boolean HIToolbarItemIsEnabled(HIToolbarItemRef ref)
{
    ToolbarItem* item = ToolbarItem::From(ref);
    return item && item->IsEnabled();
}

HIToolbarRef HIToolbarItemGetToolbar(HIToolbarItemRef ref)
{
    ToolbarItem* item = ToolbarItem::From(ref);
    return item ? item->GetToolbar() : nullptr;
}

HIViewRef HIToolbarItemGetView(HIToolbarItemRef ref)
{
    ToolbarItem* item = ToolbarItem::From(ref);
    return item ? item->GetView() : nullptr;
}
