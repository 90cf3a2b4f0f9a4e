#pragma once

// The search field: a single-line text field with a search icon, a cancel
// button that empties it, and a grey description while it is empty. Its text
// is control data 'cfst' of part 5. Typing sends ('txfd', 3), Return ('txfd', 1)
// and the cancel button ('srfd', 1).

#include "toolbox/MenuTypes.h"
#include "toolbox/controls/ControlDefinitions.h"

enum : OptionBits {
    kHISearchFieldNoAttributes = 0,
    kHISearchFieldAttributesCancel = 1 << 0,
    kHISearchFieldAttributesSearchIcon = 1 << 1,
};
enum : EventKind { kEventSearchFieldCancelClicked = 1 };

// Unparented; the caller owns the new view.
OSStatus HISearchFieldCreate(
    HIRect const* bounds, OptionBits attributes, MenuRef searchMenu, CFStringRef descriptiveText, HIViewRef* outView);
OSStatus HISearchFieldGetAttributes(HIViewRef field, OptionBits* outAttributes);
OSStatus HISearchFieldChangeAttributes(HIViewRef field, OptionBits set, OptionBits clear);
OSStatus HISearchFieldSetDescriptiveText(HIViewRef field, CFStringRef text);
OSStatus HISearchFieldCopyDescriptiveText(HIViewRef field, CFStringRef* outText);
