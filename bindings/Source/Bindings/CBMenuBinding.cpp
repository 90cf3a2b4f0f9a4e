#include "bindings/Source/Bindings/CBMenuBinding.h"

#include "bindings/Source/Bindings/CBObjectBindingSupport.h"
#include "toolbox/MenuCalls.h"

#include <cstdio>
#include <cstring>

using namespace tw::bindings;

namespace {

constexpr char const* kKeys[] = { "mark", "enabled", "title" };

EventTypeSpec const kMenuEvents[] = {
    { kEventClassMenu, kEventMenuDispose },
    { kEventClassCommand, kEventCommandUpdateStatus },
};

EventHandlerUPP HandlerUPP()
{
    static EventHandlerUPP const sUPP = NewEventHandlerUPP(CBMenuBinding::EventHandler);
    return sUPP;
}

} // namespace

CBMenuBinding::CBMenuBinding(unsigned long commandID) { SetMenuCommand(commandID); }

CBMenuBinding::~CBMenuBinding() { SetMenuCommand(0); }

CBString CBMenuBinding::GetDebugInfo() const
{
    CFStringRef title = nullptr;
    if (mMenu)
        CopyMenuItemTextAsCFString(mMenu, mItem, &title);
    std::string const text = TextOf(title);
    if (title)
        CFRelease(title);
    char command[5] = {};
    std::memcpy(command, &mCommand, 4); // in memory order
    char info[512];
    std::snprintf(
        info, sizeof info, "[MenuCommand '%.4s', \"%.*s\"]", command, static_cast<int>(text.size()), text.c_str());
    return CBString(info);
}

bool CBMenuBinding::IsBindable(CBString const&) { return false; }

void CBMenuBinding::SetMenuCommand(unsigned long commandID)
{
    ReleaseObject();
    mMenu = nullptr;
    mItem = 0;
    mCommand = UInt32(commandID);
    if (commandID == 0)
        return;
    MenuRef menu = nullptr;
    MenuItemIndex item = 0;
    if (GetIndMenuItemWithCommandID(nullptr, mCommand, 1, &menu, &item) != noErr)
        return;
    mMenu = menu;
    mItem = item;
    WatchObject(GetMenuEventTarget(mMenu), HandlerUPP(), kMenuEvents, this, kKeys);
}

void CBMenuBinding::ApplyValue(CBString const& theKey, CBValue const& theValue)
{
    if (theKey == "mark") {
        UInt32 const mark = theValue.GetUInt32();
        SetItemMark(mMenu, mItem, mark == 0 ? noMark : mark == 1 ? checkMark : diamondMark);
    } else if (theKey == "enabled") {
        if (theValue.GetBoolean())
            EnableMenuCommand(mMenu, mCommand);
        else
            DisableMenuCommand(mMenu, mCommand);
    } else if (theKey == "title") {
        CB_REPORT_STATUS(
            theValue.IsString() ? SetMenuItemTextWithCFString(mMenu, mItem, theValue.GetString()) : paramErr);
    }
}

CBValue CBMenuBinding::ReadValue(CBString const& theKey) const
{
    if (theKey == "mark") {
        CharParameter mark = noMark;
        GetItemMark(mMenu, mItem, &mark);
        return mark == noMark ? MakeBoolean(false) : mark == checkMark ? MakeBoolean(true) : CBValue(UInt32(2));
    }
    if (theKey == "enabled")
        return MakeBoolean(IsMenuItemEnabled(mMenu, mItem));
    if (theKey == "title") {
        CFStringRef text = nullptr;
        CB_REPORT_STATUS(CopyMenuItemTextAsCFString(mMenu, mItem, &text));
        return AdoptString(text);
    }
    return CBValue();
}

bool CBMenuBinding::CheckBound() const { return CB_CHECK(mMenu != NULL); }

OSStatus CBMenuBinding::EventHandler(EventHandlerCallRef, EventRef theEvent, void* userData)
{
    if (!CB_CHECK(userData != NULL))
        return eventNotHandledErr;
    auto* const binding = static_cast<CBMenuBinding*>(userData);
    if (GetEventClass(theEvent) == kEventClassMenu)
        return binding->DoEventMenu(theEvent);
    return binding->DoEventCommand(theEvent);
}

OSStatus CBMenuBinding::DoEventCommand(EventRef theEvent)
{
    if (!CB_CHECK(GetEventClass(theEvent) == kEventClassCommand))
        return eventNotHandledErr;
    HICommandExtended command {};
    if (GetEventParameter(theEvent, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command)
        != noErr)
        return eventNotHandledErr;
    if (command.commandID == mCommand && (command.attributes & kHICommandFromMenu)) {
        SyncValue("mark");
        SyncValue("enabled");
    }
    // The application's own enabling of the command runs after this.
    return eventNotHandledErr;
}

OSStatus CBMenuBinding::DoEventMenu(EventRef theEvent)
{
    if (!CB_CHECK(GetEventClass(theEvent) == kEventClassMenu))
        return eventNotHandledErr;
    if (GetEventKind(theEvent) == kEventMenuDispose)
        delete this;
    return eventNotHandledErr;
}
