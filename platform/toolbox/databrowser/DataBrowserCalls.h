#pragma once

// The Data Browser: a list view of items named by pointer-sized ids. It keeps
// no item data of its own: values, order, help, drags and the contextual menu
// come from the callbacks the program installs, and changes go out as item
// notifications. Values are Carbon's, since nibs and callers store them.

#include "services/AppleEvents.h"
#include "services/Icons.h"
#include "toolbox/HIViewTypes.h"
#include "toolbox/MenuTypes.h"
#include "toolbox/WindowTypes.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <cstdint>

namespace tw::toolbox::databrowser {
struct ItemData;
}

using DataBrowserItemID = std::uintptr_t; // carries object addresses
using DataBrowserPropertyID = UInt32;
using DataBrowserPropertyType = OSType;
using DataBrowserPropertyFlags = UInt32;
using DataBrowserViewStyle = OSType;
using DataBrowserItemState = UInt32;
using DataBrowserSetOption = UInt32;
using DataBrowserSelectionFlags = UInt32;
using DataBrowserSortOrder = UInt16;
using DataBrowserItemNotification = UInt32;
using DataBrowserTableViewHiliteStyle = UInt32;
using DataBrowserRevealOptions = UInt8;
using DataBrowserTableViewColumnIndex = UInt32;
using DataBrowserItemDataRef = tw::toolbox::databrowser::ItemData*;
using ThemeButtonValue = UInt16;
using HMContentRequest = SInt16;
using HMContentProvidedType = SInt16;
using ItemReference = UInt32;

enum : DataBrowserItemID { kDataBrowserNoItem = 0 };
enum : DataBrowserViewStyle { kDataBrowserListView = 'lstv', kDataBrowserColumnView = 'clmv' };
enum : DataBrowserPropertyID { kDataBrowserItemNoProperty = 0 };
enum : DataBrowserPropertyType {
    kDataBrowserTextType = 'text',
    kDataBrowserIconType = 'icon',
    kDataBrowserIconAndTextType = 'ticn',
    kDataBrowserCheckboxType = 'chbx',
};
enum : DataBrowserPropertyFlags {
    kDataBrowserPropertyIsMutable = 1 << 0,
    kDataBrowserTruncateTextAtEnd = 0x200,
    kDataBrowserListViewMovableColumn = 0x20000,
    kDataBrowserListViewSortableColumn = 0x40000,
};
enum : DataBrowserItemState {
    kDataBrowserItemNoState = 0,
    kDataBrowserItemIsSelected = 1,
    kDataBrowserItemAnyState = 0xFFFFFFFF,
};
enum : DataBrowserSetOption {
    kDataBrowserItemsAdd = 0,
    kDataBrowserItemsAssign = 1,
    kDataBrowserItemsToggle = 2,
    kDataBrowserItemsRemove = 3,
};
enum : DataBrowserSelectionFlags {
    kDataBrowserDragSelect = 1 << 0,
    kDataBrowserSelectOnlyOne = 1 << 1,
    kDataBrowserResetSelection = 1 << 2,
    kDataBrowserCmdTogglesSelection = 1 << 3,
    kDataBrowserNoDisjointSelection = 1 << 4,
    kDataBrowserAlwaysExtendSelection = 1 << 5,
    kDataBrowserNeverEmptySelectionSet = 1 << 6,
};
enum : DataBrowserSortOrder {
    kDataBrowserOrderUndefined = 0,
    kDataBrowserOrderIncreasing = 1,
    kDataBrowserOrderDecreasing = 2,
};
enum : DataBrowserTableViewHiliteStyle {
    kDataBrowserTableViewMinimalHilite = 0,
    kDataBrowserTableViewFillHilite = 1,
};
enum : OptionBits {
    kDataBrowserAttributeNone = 0,
    kDataBrowserAttributeListViewAlternatingRowColors = 1 << 1,
    kDataBrowserAttributeListViewDrawColumnDividers = 1 << 2,
};
enum : DataBrowserRevealOptions {
    kDataBrowserRevealOnly = 0,
    kDataBrowserRevealAndCenterInView = 1 << 0,
    kDataBrowserRevealWithoutSelecting = 1 << 1,
};
enum : DataBrowserItemNotification {
    kDataBrowserItemAdded = 1,
    kDataBrowserItemRemoved = 2,
    kDataBrowserEditStarted = 3,
    kDataBrowserEditStopped = 4,
    kDataBrowserItemSelected = 5,
    kDataBrowserItemDeselected = 6,
    kDataBrowserItemDoubleClicked = 7,
    kDataBrowserContainerOpened = 8,
    kDataBrowserContainerClosing = 9,
    kDataBrowserContainerClosed = 10,
    kDataBrowserContainerSorting = 11,
    kDataBrowserContainerSorted = 12,
    kDataBrowserUserStateChanged = 13,
    kDataBrowserSelectionSetChanged = 14,
    kDataBrowserTargetChanged = 15,
    kDataBrowserUserToggledContainer = 16,
};
enum : DataBrowserTableViewColumnIndex { kDataBrowserListViewAppendColumn = 0xFFFFFFFF };
enum : ThemeButtonValue { kThemeButtonOff = 0, kThemeButtonOn = 1, kThemeButtonMixed = 2 };
enum : HMContentProvidedType { kHMContentProvided = 0, kHMContentNotProvided = 1 };
enum : UInt32 { kCMHelpItemRemoveHelp = 3 };
inline constexpr OSStatus errDataBrowserNotConfigured = -4970;
inline constexpr OSStatus errDataBrowserItemNotAdded = -4975;
inline constexpr OSStatus errDataBrowserPropertyNotFound = -4976;
inline constexpr OSStatus errDataBrowserInvalidPropertyPart = -4977;
inline constexpr OSStatus errDataBrowserInvalidPropertyData = -4978;
inline constexpr OSStatus errDataBrowserPropertyNotSupported = -4979;

// Callbacks.
using DataBrowserItemDataProcPtr = OSStatus (*)(ControlRef browser, DataBrowserItemID item,
    DataBrowserPropertyID property, DataBrowserItemDataRef data, Boolean setValue);
using DataBrowserItemCompareProcPtr = Boolean (*)(
    ControlRef browser, DataBrowserItemID itemOne, DataBrowserItemID itemTwo, DataBrowserPropertyID sortProperty);
using DataBrowserItemNotificationWithItemProcPtr = void (*)(
    ControlRef browser, DataBrowserItemID item, DataBrowserItemNotification message, DataBrowserItemDataRef itemData);
using DataBrowserGetHelpContentProcPtr
    = void (*)(ControlRef browser, DataBrowserItemID item, DataBrowserPropertyID property, HMContentRequest request,
        HMContentProvidedType* outContentProvided, HMHelpContentRec* ioHelpContent);
using DataBrowserAddDragItemProcPtr
    = Boolean (*)(ControlRef browser, DragRef drag, DataBrowserItemID item, ItemReference* outItemRef);
using DataBrowserAcceptDragProcPtr = Boolean (*)(ControlRef browser, DragRef drag, DataBrowserItemID item);
using DataBrowserReceiveDragProcPtr = Boolean (*)(ControlRef browser, DragRef drag, DataBrowserItemID item);
using DataBrowserPostProcessDragProcPtr = void (*)(ControlRef browser, DragRef drag, OSStatus trackDragResult);
using DataBrowserGetContextualMenuProcPtr = void (*)(
    ControlRef browser, MenuRef* outMenu, UInt32* outHelpType, CFStringRef* outHelpItemString, AEDesc* outSelection);
using DataBrowserSelectContextualMenuProcPtr
    = void (*)(ControlRef browser, MenuRef menu, UInt32 selectionType, SInt16 menuID, MenuItemIndex menuItem);

enum : UInt32 { kDataBrowserLatestCallbacks = 0 };

// An empty table (every field null) stops every callback.
struct DataBrowserCallbacks {
    UInt32 version = kDataBrowserLatestCallbacks;
    struct {
        DataBrowserItemDataProcPtr itemDataCallback = nullptr;
        DataBrowserItemCompareProcPtr itemCompareCallback = nullptr;
        DataBrowserItemNotificationWithItemProcPtr itemNotificationCallback = nullptr;
        DataBrowserAddDragItemProcPtr addDragItemCallback = nullptr;
        DataBrowserAcceptDragProcPtr acceptDragCallback = nullptr;
        DataBrowserReceiveDragProcPtr receiveDragCallback = nullptr;
        DataBrowserPostProcessDragProcPtr postProcessDragCallback = nullptr;
        DataBrowserGetContextualMenuProcPtr getContextualMenuCallback = nullptr;
        DataBrowserSelectContextualMenuProcPtr selectContextualMenuCallback = nullptr;
        DataBrowserGetHelpContentProcPtr getHelpContentCallback = nullptr;
    } u;
};

struct DataBrowserPropertyDesc {
    DataBrowserPropertyID propertyID = 0;
    DataBrowserPropertyType propertyType = kDataBrowserTextType;
    DataBrowserPropertyFlags propertyFlags = 0;
};
struct DataBrowserListViewHeaderDesc {
    UInt32 version = 0;
    UInt16 minimumWidth = 0;
    UInt16 maximumWidth = 0;
    SInt16 titleOffset = 0;
    CFStringRef titleString = nullptr; // retained by the browser
    DataBrowserSortOrder initialOrder = kDataBrowserOrderIncreasing;
    // Accepted for compatibility: headers draw in the small system font, text only.
    ControlFontStyleRec btnFontStyle;
    ControlButtonContentInfo btnContentInfo;
};
struct DataBrowserListViewColumnDesc {
    DataBrowserPropertyDesc propertyDesc;
    DataBrowserListViewHeaderDesc headerBtnDesc;
};

// Creation.
OSStatus CreateDataBrowserControl(
    WindowRef window, Rect const* bounds, DataBrowserViewStyle style, ControlRef* outControl);

// Callbacks.
OSStatus InitDataBrowserCallbacks(DataBrowserCallbacks* callbacks);
OSStatus SetDataBrowserCallbacks(ControlRef browser, DataBrowserCallbacks const* callbacks);
OSStatus GetDataBrowserCallbacks(ControlRef browser, DataBrowserCallbacks* outCallbacks);

// Appearance and behaviour. Switching the view style drops every list column.
OSStatus GetDataBrowserViewStyle(ControlRef browser, DataBrowserViewStyle* outStyle);
OSStatus SetDataBrowserViewStyle(ControlRef browser, DataBrowserViewStyle style);
OSStatus GetDataBrowserTableViewHiliteStyle(ControlRef browser, DataBrowserTableViewHiliteStyle* outStyle);
OSStatus SetDataBrowserTableViewHiliteStyle(ControlRef browser, DataBrowserTableViewHiliteStyle style);
OSStatus GetDataBrowserSelectionFlags(ControlRef browser, DataBrowserSelectionFlags* outFlags);
OSStatus SetDataBrowserSelectionFlags(ControlRef browser, DataBrowserSelectionFlags flags);
OSStatus GetDataBrowserHasScrollBars(ControlRef browser, Boolean* outHorizontal, Boolean* outVertical);
OSStatus SetDataBrowserHasScrollBars(ControlRef browser, Boolean horizontal, Boolean vertical);
OSStatus DataBrowserGetAttributes(ControlRef browser, OptionBits* outAttributes);
OSStatus DataBrowserChangeAttributes(ControlRef browser, OptionBits set, OptionBits clear);
OSStatus GetDataBrowserTableViewRowHeight(ControlRef browser, UInt16* outHeight);
OSStatus SetDataBrowserTableViewRowHeight(ControlRef browser, UInt16 height);
OSStatus GetDataBrowserScrollPosition(ControlRef browser, UInt32* outTop, UInt32* outLeft);
OSStatus SetDataBrowserScrollPosition(ControlRef browser, UInt32 top, UInt32 left);

// Columns of the list view.
OSStatus AddDataBrowserListViewColumn(
    ControlRef browser, DataBrowserListViewColumnDesc* column, DataBrowserTableViewColumnIndex position);
OSStatus RemoveDataBrowserTableViewColumn(ControlRef browser, DataBrowserPropertyID column);
OSStatus GetDataBrowserTableViewColumnCount(ControlRef browser, UInt32* outCount);
OSStatus GetDataBrowserTableViewColumnPosition(
    ControlRef browser, DataBrowserPropertyID column, DataBrowserTableViewColumnIndex* outPosition);
OSStatus GetDataBrowserTableViewNamedColumnWidth(ControlRef browser, DataBrowserPropertyID column, UInt16* outWidth);
OSStatus SetDataBrowserTableViewNamedColumnWidth(ControlRef browser, DataBrowserPropertyID column, UInt16 width);

// Sorting: no sort property keeps the order of insertion.
OSStatus GetDataBrowserSortProperty(ControlRef browser, DataBrowserPropertyID* outProperty);
OSStatus SetDataBrowserSortProperty(ControlRef browser, DataBrowserPropertyID property);
OSStatus GetDataBrowserSortOrder(ControlRef browser, DataBrowserSortOrder* outOrder);
OSStatus SetDataBrowserSortOrder(ControlRef browser, DataBrowserSortOrder order);

// Items of a container (the root is kDataBrowserNoItem; lists have no other containers).
OSStatus AddDataBrowserItems(ControlRef browser, DataBrowserItemID container, UInt32 numItems,
    DataBrowserItemID const* items, DataBrowserPropertyID preSortProperty);
// numItems 0 removes every item of the container.
OSStatus RemoveDataBrowserItems(ControlRef browser, DataBrowserItemID container, UInt32 numItems,
    DataBrowserItemID const* items, DataBrowserPropertyID preSortProperty);
// numItems 0 refreshes every item; property 0 every column.
OSStatus UpdateDataBrowserItems(ControlRef browser, DataBrowserItemID container, UInt32 numItems,
    DataBrowserItemID const* items, DataBrowserPropertyID preSortProperty, DataBrowserPropertyID property);
OSStatus GetDataBrowserItemCount(
    ControlRef browser, DataBrowserItemID container, Boolean recurse, DataBrowserItemState state, UInt32* outCount);
// Fills a handle (made with NewHandle) with the matching ids, in display order.
OSStatus GetDataBrowserItems(
    ControlRef browser, DataBrowserItemID container, Boolean recurse, DataBrowserItemState state, Handle items);
OSStatus RevealDataBrowserItem(
    ControlRef browser, DataBrowserItemID item, DataBrowserPropertyID property, DataBrowserRevealOptions options);

// Selection. Assigning no items clears the selection.
OSStatus SetDataBrowserSelectedItems(
    ControlRef browser, UInt32 numItems, DataBrowserItemID const* items, DataBrowserSetOption operation);
Boolean IsDataBrowserItemSelected(ControlRef browser, DataBrowserItemID item);

// Cell values, inside the item data callback.
OSStatus GetDataBrowserItemDataProperty(DataBrowserItemDataRef data, DataBrowserPropertyID* outProperty);
OSStatus SetDataBrowserItemDataText(DataBrowserItemDataRef data, CFStringRef text);
OSStatus GetDataBrowserItemDataText(DataBrowserItemDataRef data, CFStringRef* outText); // a new reference
OSStatus SetDataBrowserItemDataIcon(DataBrowserItemDataRef data, IconRef icon);
OSStatus SetDataBrowserItemDataButtonValue(DataBrowserItemDataRef data, ThemeButtonValue value);
OSStatus GetDataBrowserItemDataButtonValue(DataBrowserItemDataRef data, ThemeButtonValue* outValue);
