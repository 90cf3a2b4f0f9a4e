#pragma once

// Window classes, attributes and region codes, with Carbon's values.

#include "corefoundation/CFString.h"
#include "toolbox/HIToolboxTypes.h"

enum : WindowClass {
    kAlertWindowClass = 1,
    kMovableAlertWindowClass = 2,
    kModalWindowClass = 3,
    kMovableModalWindowClass = 4,
    kFloatingWindowClass = 5,
    kDocumentWindowClass = 6,
    kUtilityWindowClass = 8,
    kHelpWindowClass = 10,
    kSheetWindowClass = 11,
    kToolbarWindowClass = 12,
    kPlainWindowClass = 13,
    kOverlayWindowClass = 14,
    kSheetAlertWindowClass = 15,
    kAltPlainWindowClass = 16,
    kSimpleWindowClass = 18,
    kDrawerWindowClass = 20,
    kAllWindowClasses = 0xFFFFFFFF,
};

enum : WindowAttributes {
    kWindowNoAttributes = 0,
    kWindowCloseBoxAttribute = 1 << 0,
    kWindowHorizontalZoomAttribute = 1 << 1,
    kWindowVerticalZoomAttribute = 1 << 2,
    kWindowFullZoomAttribute = kWindowHorizontalZoomAttribute | kWindowVerticalZoomAttribute,
    kWindowCollapseBoxAttribute = 1 << 3,
    kWindowResizableAttribute = 1 << 4,
    kWindowSideTitlebarAttribute = 1 << 5,
    kWindowToolbarButtonAttribute = 1 << 6,
    kWindowNoUpdatesAttribute = 1 << 16,
    kWindowNoActivatesAttribute = 1 << 17,
    kWindowOpaqueForEventsAttribute = 1 << 18,
    kWindowCompositingAttribute = 1 << 19,
    kWindowNoShadowAttribute = 1 << 21,
    kWindowHideOnSuspendAttribute = 1 << 24,
    kWindowAsyncDragAttribute = 1 << 23,
    kWindowStandardHandlerAttribute = 1 << 25,
    kWindowHideOnFullScreenAttribute = 1 << 26,
    kWindowInWindowMenuAttribute = 1 << 27,
    kWindowLiveResizeAttribute = 1 << 28,
    kWindowIgnoreClicksAttribute = 1 << 29,
    kWindowNoConstrainAttribute = 1U << 31,
    kWindowStandardDocumentAttributes
    = kWindowCloseBoxAttribute | kWindowFullZoomAttribute | kWindowCollapseBoxAttribute | kWindowResizableAttribute,
    kWindowStandardFloatingAttributes = kWindowCloseBoxAttribute | kWindowCollapseBoxAttribute,
};

using WindowRegionCode = UInt16;
enum : WindowRegionCode {
    kWindowTitleBarRgn = 0,
    kWindowTitleTextRgn = 1,
    kWindowCloseBoxRgn = 2,
    kWindowZoomBoxRgn = 3,
    kWindowDragRgn = 5,
    kWindowGrowRgn = 6,
    kWindowCollapseBoxRgn = 7,
    kWindowStructureRgn = 32,
    kWindowContentRgn = 33,
    kWindowUpdateRgn = 34,
    kWindowOpaqueRgn = 35,
    kWindowGlobalPortRgn = 40,
};

// Where a point on a window falls.
using WindowPartCode = SInt16;
enum : WindowPartCode {
    inNoWindow = 0,
    inMenuBar = 1,
    inDesk = 0,
    inContent = 3,
    inDrag = 4,
    inGrow = 5,
    inGoAway = 6,
    inZoomIn = 7,
    inZoomOut = 8,
    inCollapseBox = 11,
    inStructure = 15,
};

using WindowModality = UInt32;
enum : WindowModality {
    kWindowModalityNone = 0,
    kWindowModalitySystemModal = 1,
    kWindowModalityAppModal = 2,
    kWindowModalityWindowModal = 3,
};

// What a bounds-changed event reports in its 'attr' parameter.
enum : UInt32 {
    kWindowBoundsChangeUserDrag = 1 << 0,
    kWindowBoundsChangeUserResize = 1 << 1,
    kWindowBoundsChangeSizeChanged = 1 << 2,
    kWindowBoundsChangeOriginChanged = 1 << 3,
    kWindowBoundsChangeZoom = 1 << 4,
};

using PropertyCreator = OSType;
using PropertyTag = OSType;
using GrafPtr = WindowRef;
using CGrafPtr = WindowRef;
