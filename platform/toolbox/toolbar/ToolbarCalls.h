#pragma once

// Window toolbars: a toolbar holds items made on request from identifiers
// (its handler answers ('tbar', 1..3)); the window shows it as a strip between
// the title bar and the content. A click on an enabled item sends the item's
// command ('cmds', 1) to the window. A configurable toolbar is customised by the user
// through its sheet (ToolbarCustomize.h).

#include "corefoundation/CFArray.h"
#include "quartz/CGImage.h"
#include "services/Icons.h"
#include "toolbox/HIToolboxTypes.h"
#include "toolbox/WindowTypes.h"

using HIToolbarDisplayMode = UInt32;
enum : HIToolbarDisplayMode {
    kHIToolbarDisplayModeDefault = 0,
    kHIToolbarDisplayModeIconAndLabel = 1,
    kHIToolbarDisplayModeIconOnly = 2,
    kHIToolbarDisplayModeLabelOnly = 3,
};
enum : OptionBits {
    kHIToolbarNoAttributes = 0,
    kHIToolbarAutoSavesConfig = 1 << 0,
    kHIToolbarIsConfigurable = 1 << 1,
};
enum : OptionBits {
    kHIToolbarItemNoAttributes = 0,
    kHIToolbarItemAllowDuplicates = 1 << 0,
    kHIToolbarItemCantBeRemoved = 1 << 1,
    kHIToolbarItemAnchoredLeft = 1 << 2,
    kHIToolbarItemIsSeparator = 1 << 3,
    kHIToolbarItemSendCmdToUserFocus = 1 << 4,
    kHIToolbarItemLabelDisabled = 1 << 5,
    kHIToolbarItemDisabled = 1 << 6,
    kHIToolbarItemSelected = 1 << 7,
};
enum : EventParamName {
    kEventParamMutableArray = 'marr',
    kEventParamToolbarItemIdentifier = 'tbii',
    kEventParamToolbarItemConfigData = 'tbid',
};
enum : EventKind { kEventWindowToolbarSwitchMode = 150 };
enum : MenuCommand { kHICommandCustomizeToolbar = 'tcfg', kHICommandShowHideFontPanel = 'shfp' };

#define kHIToolbarSeparatorIdentifier "com.apple.hitoolbox.toolbar.separator"
#define kHIToolbarSpaceIdentifier "com.apple.hitoolbox.toolbar.space"
#define kHIToolbarFlexibleSpaceIdentifier "com.apple.hitoolbox.toolbar.flexiblespace"
#define kHIToolbarCustomizeIdentifier "com.apple.hitoolbox.toolbar.customize"
#define kHIToolbarPrintItemIdentifier "com.apple.hitoolbox.toolbar.print"
#define kHIToolbarFontsItemIdentifier "com.apple.hitoolbox.toolbar.fonts"

// Toolbars.
OSStatus HIToolbarCreate(CFStringRef identifier, OptionBits attributes, HIToolbarRef* outToolbar);
CFStringRef HIToolbarGetIdentifier(HIToolbarRef toolbar); // borrowed
OSStatus HIToolbarGetAttributes(HIToolbarRef toolbar, OptionBits* outAttributes);
OSStatus HIToolbarGetDisplayMode(HIToolbarRef toolbar, HIToolbarDisplayMode* outMode);
OSStatus HIToolbarSetDisplayMode(HIToolbarRef toolbar, HIToolbarDisplayMode mode);
// The items in toolbar order (a new array of retained items); the default set is made on first need.
OSStatus HIToolbarCopyItems(HIToolbarRef toolbar, CFArrayRef* outItems);
OSStatus HIToolbarAppendItem(HIToolbarRef toolbar, HIToolbarItemRef item);
OSStatus HIToolbarInsertItemAtIndex(HIToolbarRef toolbar, HIToolbarItemRef item, CFIndex index);
OSStatus HIToolbarRemoveItemAtIndex(HIToolbarRef toolbar, CFIndex index);
OSStatus HIToolbarCreateItemWithIdentifier(
    HIToolbarRef toolbar, CFStringRef identifier, CFTypeRef configData, HIToolbarItemRef* outItem);

// Items.
OSStatus HIToolbarItemCreate(CFStringRef identifier, OptionBits options, HIToolbarItemRef* outItem);
OSStatus HIToolbarItemCopyIdentifier(HIToolbarItemRef item, CFStringRef* outIdentifier);
OSStatus HIToolbarItemGetAttributes(HIToolbarItemRef item, OptionBits* outAttributes);
OSStatus HIToolbarItemChangeAttributes(HIToolbarItemRef item, OptionBits set, OptionBits clear);
// Items are not shared between windows here: the window must be the toolbar's.
OSStatus HIToolbarItemChangeAttributesInWindow(
    HIToolbarItemRef item, WindowRef window, OptionBits set, OptionBits clear);
OSStatus HIToolbarItemSetLabel(HIToolbarItemRef item, CFStringRef label);
OSStatus HIToolbarItemCopyLabel(HIToolbarItemRef item, CFStringRef* outLabel);
OSStatus HIToolbarItemSetHelpText(HIToolbarItemRef item, CFStringRef shortText, CFStringRef longText);
OSStatus HIToolbarItemSetCommandID(HIToolbarItemRef item, MenuCommand command);
OSStatus HIToolbarItemGetCommandID(HIToolbarItemRef item, MenuCommand* outCommand);
OSStatus HIToolbarItemSetIconRef(HIToolbarItemRef item, IconRef icon);
OSStatus HIToolbarItemSetImage(HIToolbarItemRef item, CGImageRef image);
OSStatus HIToolbarItemSetEnabled(HIToolbarItemRef item, Boolean enabled);
Boolean HIToolbarItemIsEnabled(HIToolbarItemRef item);
HIToolbarRef HIToolbarItemGetToolbar(HIToolbarItemRef item);
// The item's custom view, made on first need through ('tbit', 6); null for plain items.
HIViewRef HIToolbarItemGetView(HIToolbarItemRef item);

// Windows.
OSStatus SetWindowToolbar(WindowRef window, HIToolbarRef toolbar);
OSStatus GetWindowToolbar(WindowRef window, HIToolbarRef* outToolbar);
// Showing grows the window by the strip's height, keeping the content's size; hiding shrinks it.
OSStatus ShowHideWindowToolbar(WindowRef window, Boolean show, Boolean animate);
Boolean IsWindowToolbarVisible(WindowRef window);
