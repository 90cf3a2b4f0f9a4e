#pragma once

// A toolbar's handler for the tests: it lists the default identifiers and makes
// plain items (label, command, a solid red image) or a search field item.

#include "corefoundation/CFString.h"
#include "quartz/CGBitmapContext.h"
#include "quartz/CGColor.h"
#include "toolbox/HIObject.h"
#include "toolbox/toolbar/SearchFieldCalls.h"
#include "toolbox/toolbar/ToolbarCalls.h"

#include <string>
#include <vector>

namespace tw::test {

inline CGImageRef MakeSquareImage(double r, double g, double b)
{
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGContextRef context = CGBitmapContextCreate(
        nullptr, 32, 32, 8, 0, space, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
    CGColorSpaceRelease(space);
    CGContextSetRGBFillColor(context, r, g, b, 1);
    CGContextFillRect(context, CGRectMake(0, 0, 32, 32));
    CGImageRef image = CGBitmapContextCreateImage(context);
    CGContextRelease(context);
    return image;
}

struct ToolbarDelegate {
    std::vector<std::string> defaults;
    std::vector<std::string> allowed; // none: the toolbar takes the defaults
    std::vector<std::string> created; // identifiers asked for
    CGImageRef image = MakeSquareImage(0.9, 0.1, 0.1);
    HIViewRef searchField = nullptr; // weak: the toolbar item holds it
    EventHandlerRef handler = nullptr;

    explicit ToolbarDelegate(HIToolbarRef toolbar, std::vector<std::string> ids)
        : defaults(std::move(ids))
    {
        EventTypeSpec const events[] = { { kEventClassToolbar, kEventToolbarGetDefaultIdentifiers },
            { kEventClassToolbar, kEventToolbarGetAllowedIdentifiers },
            { kEventClassToolbar, kEventToolbarCreateItemWithIdentifier } };
        InstallEventHandler(&toolbar->GetTarget(), Handle, 3, events, this, &handler);
    }
    ~ToolbarDelegate() { CGImageRelease(image); }

    static OSStatus Handle(EventHandlerCallRef, EventRef event, void* data)
    {
        auto* self = static_cast<ToolbarDelegate*>(data);
        if (GetEventKind(event) == kEventToolbarGetDefaultIdentifiers
            || GetEventKind(event) == kEventToolbarGetAllowedIdentifiers) {
            CFMutableArrayRef array = nullptr;
            GetEventParameter(
                event, kEventParamMutableArray, typeCFMutableArrayRef, nullptr, sizeof array, nullptr, &array);
            bool const allowed = GetEventKind(event) == kEventToolbarGetAllowedIdentifiers;
            if (allowed && self->allowed.empty())
                return eventNotHandledErr;
            for (std::string const& id : allowed ? self->allowed : self->defaults) {
                CFStringRef string = cf::CreateString(id);
                CFArrayAppendValue(array, string);
                CFRelease(string);
            }
            return noErr;
        }
        CFStringRef identifier = nullptr;
        GetEventParameter(
            event, kEventParamToolbarItemIdentifier, typeCFStringRef, nullptr, sizeof identifier, nullptr, &identifier);
        std::string const id = cf::ToUTF8(identifier);
        self->created.push_back(id);
        if (id.rfind("com.apple.", 0) == 0 || id == "unknown")
            return noErr; // the standard items are the toolbar's
        HIToolbarItemRef item = nullptr;
        HIToolbarItemCreate(identifier, 0, &item);
        if (id == "search") {
            EventTypeSpec const custom { kEventClassToolbarItem, kEventToolbarItemCreateCustomView };
            InstallEventHandler(&item->GetTarget(), MakeSearchField, 1, &custom, self, nullptr);
            HIToolbarItemSetLabel(item, CFSTR("Search"));
        } else {
            CFStringRef label = cf::CreateString(id);
            HIToolbarItemSetLabel(item, label);
            CFRelease(label);
            HIToolbarItemSetCommandID(item, MenuCommand(id[0]) << 24 | 'cmd');
            HIToolbarItemSetImage(item, self->image);
            CFStringRef help = cf::CreateString("Help for " + id);
            HIToolbarItemSetHelpText(item, help, nullptr);
            CFRelease(help);
        }
        SetEventParameter(event, kEventParamToolbarItem, typeHIToolbarItemRef, sizeof item, &item);
        return noErr;
    }

    static OSStatus MakeSearchField(EventHandlerCallRef, EventRef event, void* data)
    {
        auto* self = static_cast<ToolbarDelegate*>(data);
        HIRect const frame = CGRectMake(0, 0, 120, 19);
        HIViewRef field = nullptr;
        HISearchFieldCreate(&frame, kHISearchFieldAttributesSearchIcon | kHISearchFieldAttributesCancel, nullptr,
            CFSTR("Search"), &field);
        self->searchField = field;
        // The item adopts the new view's reference.
        SetEventParameter(event, kEventParamControlRef, typeControlRef, sizeof field, &field);
        return noErr;
    }
};

} // namespace tw::test
