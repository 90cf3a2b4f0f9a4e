#pragma once

// The shared face of the HIToolbox: ref types of drags, toolbars and contexts (the classes
// come with the toolbox), and the event kinds, parameter names and types that
// handlers exchange; the command record, the event classes and the references the
// event core passes along are below, in events/CommandTypes.h. Values are
// Carbon's, since stored and dispatched codes depend on them.

#include "corefoundation/CFBase.h"
#include "events/CarbonEvents.h"
#include "events/CommandTypes.h"
#include "quartz/CGGeometry.h"

namespace tw::toolbox {
class Drag;
} // namespace tw::toolbox

namespace tw::quartz {
class Context;
}

using DragRef = tw::toolbox::Drag*;
using HIToolbarRef = HIObjectRef;
using HIToolbarItemRef = HIObjectRef;
using CGContextRef = tw::quartz::Context*;

using HIPoint = CGPoint;
using HISize = CGSize;
using HIRect = CGRect;

using ControlPartCode = SInt16;
using EventMouseButton = UInt16;
using WindowClass = UInt32;
using WindowAttributes = UInt32;

// Kinds, by event class: kEventClassMouse,
enum : EventKind {
    kEventMouseDown = 1,
    kEventMouseUp = 2,
    kEventMouseMoved = 5,
    kEventMouseDragged = 6,
    kEventMouseEntered = 8,
    kEventMouseExited = 9,
    kEventMouseWheelMoved = 10,

    // kEventClassKeyboard,
    kEventRawKeyDown = 1,
    kEventRawKeyRepeat = 2,
    kEventRawKeyUp = 3,
    kEventRawKeyModifiersChanged = 4,
    kEventHotKeyPressed = 5,
    kEventHotKeyReleased = 6,

    // kEventClassTextInput,
    kEventTextInputUnicodeForKeyEvent = 2,

    // kEventClassApplication,
    kEventAppActivated = 1,
    kEventAppDeactivated = 2,
    kEventAppQuit = 3,

    // kEventClassMenu,
    kEventMenuOpening = 4,
    kEventMenuClosed = 5,
    kEventMenuEnableItems = 8,
    kEventMenuDispose = 1001,

    // kEventClassVolume,
    kEventVolumeMounted = 1,
    kEventVolumeUnmounted = 2,

    // kEventClassScrollable,
    kEventScrollableGetInfo = 1,
    kEventScrollableInfoChanged = 2,
    kEventScrollableScrollTo = 10,

    // kEventClassHIObject,
    kEventHIObjectConstruct = 1,
    kEventHIObjectInitialize = 2,
    kEventHIObjectDestruct = 3,

    // kEventClassTextField,
    kEventTextAccepted = 1,
    kEventTextShouldChange = 2,
    kEventTextDidChange = 3,

    // kEventClassHIComboBox,
    kEventComboBoxListItemSelected = 1,

    // kEventClassInk.
    kEventInkPoint = 10,
    kEventInkGesture = 11,
    kEventInkText = 12,
};

// kEventClassWindow.
enum : EventKind {
    kEventWindowUpdate = 1,
    kEventWindowDrawContent = 2,
    kEventWindowActivated = 5,
    kEventWindowDeactivated = 6,
    kEventWindowGetClickActivation = 7,
    kEventWindowShown = 24,
    kEventWindowHidden = 25,
    kEventWindowBoundsChanging = 26,
    kEventWindowBoundsChanged = 27,
    kEventWindowCollapsed = 67,
    kEventWindowExpanded = 70,
    kEventWindowClose = 72,
    kEventWindowClosed = 73,
    kEventWindowCloseAll = 74,
    kEventWindowZoomed = 76,
    kEventWindowContextualMenuSelect = 78,
    kEventWindowGetIdealSize = 80,
    kEventWindowGetMinimumSize = 81,
    kEventWindowGetMaximumSize = 82,
    kEventWindowConstrain = 83,
    kEventWindowHandleContentClick = 85,
    kEventWindowTransitionStarted = 88,
    kEventWindowTransitionCompleted = 89,
    kEventWindowSheetOpening = 210,
    kEventWindowSheetClosing = 212,
    kEventWindowGetRegion = 1002,
    kEventWindowPaint = 1013,
    kEventWindowTitleChanged = 1020,
};

// kEventClassControl.
enum : EventKind {
    kEventControlHit = 1,
    kEventControlSimulateHit = 2,
    kEventControlHitTest = 3,
    kEventControlDraw = 4,
    kEventControlApplyBackground = 5,
    kEventControlApplyTextColor = 6,
    kEventControlSetFocusPart = 7,
    kEventControlGetFocusPart = 8,
    kEventControlActivate = 9,
    kEventControlDeactivate = 10,
    kEventControlSetCursor = 11,
    kEventControlContextualMenuClick = 12,
    kEventControlClick = 13,
    kEventControlGetNextFocusCandidate = 14,
    kEventControlGetAutoToggleValue = 15,
    kEventControlInterceptSubviewClick = 16,
    kEventControlGetClickActivation = 17,
    kEventControlDragEnter = 18,
    kEventControlDragWithin = 19,
    kEventControlDragLeave = 20,
    kEventControlDragReceive = 21,
    kEventControlInvalidateForSizeChange = 22,
    kEventControlTrackingAreaEntered = 23,
    kEventControlTrackingAreaExited = 24,
    kEventControlTrack = 51,
    kEventControlGetScrollToHereStartPoint = 52,
    kEventControlGetIndicatorDragConstraint = 53,
    kEventControlIndicatorMoved = 54,
    kEventControlGhostingFinished = 55,
    kEventControlGetActionProcPart = 56,
    kEventControlGetPartRegion = 101,
    kEventControlGetPartBounds = 102,
    kEventControlSetData = 103,
    kEventControlGetData = 104,
    kEventControlGetSizeConstraints = 105,
    kEventControlGetFrameMetrics = 106,
    kEventControlValueFieldChanged = 151,
    kEventControlAddedSubControl = 152,
    kEventControlRemovingSubControl = 153,
    kEventControlBoundsChanged = 154,
    kEventControlVisibilityChanged = 157,
    kEventControlTitleChanged = 158,
    kEventControlOwningWindowChanged = 159,
    kEventControlHiliteChanged = 160,
    kEventControlEnabledStateChanged = 161,
    kEventControlLayoutInfoChanged = 162,
    kEventControlArbitraryMessage = 201,
    kEventControlInitialize = 1000,
    kEventControlDispose = 1001,
    kEventControlGetOptimalBounds = 1003,
};

// kEventClassToolbar,
enum : EventKind {
    kEventToolbarGetDefaultIdentifiers = 1,
    kEventToolbarGetAllowedIdentifiers = 2,
    kEventToolbarCreateItemWithIdentifier = 3,
    kEventToolbarCreateItemFromDrag = 4,
    kEventToolbarItemAdded = 5,
    kEventToolbarItemRemoved = 6,
    kEventToolbarDisplayModeChanged = 7,
    kEventToolbarDisplaySizeChanged = 8,
    kEventToolbarLayoutChanged = 9,
    kEventToolbarBeginMultiChange = 12,
    kEventToolbarEndMultiChange = 13,

    // kEventClassToolbarItem.
    kEventToolbarItemImageChanged = 1,
    kEventToolbarItemLabelChanged = 2,
    kEventToolbarItemHelpTextChanged = 3,
    kEventToolbarItemCommandIDChanged = 4,
    kEventToolbarItemGetPersistentData = 5,
    kEventToolbarItemCreateCustomView = 6,
    kEventToolbarItemEnabledStateChanged = 7,
    kEventToolbarItemPerformAction = 8,
    kEventToolbarItemWouldAcceptDrop = 10,
    kEventToolbarItemAcceptDrop = 11,
    kEventToolbarItemSelectedStateChanged = 12,
};

// Parameter names.
enum : EventParamName {
    kEventParamWindowRef = 'wind',
    kEventParamControlRef = 'ctrl',
    kEventParamMenuRef = 'menu',
    kEventParamHIObjectInstance = 'hioi',
    kEventParamCGContextRef = 'cntx',
    kEventParamMouseLocation = 'mloc',
    kEventParamWindowMouseLocation = 'wmou',
    kEventParamMouseButton = 'mbtn',
    kEventParamMouseDelta = 'mdta',
    kEventParamMouseWheelDelta = 'mwdl',
    kEventParamClickCount = 'ccnt',
    kEventParamKeyCode = 'kcod',
    kEventParamKeyMacCharCodes = 'kchr',
    kEventParamKeyModifiers = 'kmod',
    kEventParamKeyUnicodes = 'kuni',
    kEventParamDragRef = 'drag',
    kEventParamControlPart = 'cprt',
    kEventParamControlWouldAcceptDrop = 'cldg',
    kEventParamAttributes = 'attr',
    kEventParamPreviousBounds = 'prct',
    kEventParamCurrentBounds = 'crct',
    kEventParamOriginalBounds = 'orct',
    kEventParamImageSize = 'imsz',
    kEventParamViewSize = 'vwsz',
    kEventParamOrigin = 'orgn',
    kEventParamToolbar = 'tbar',
    kEventParamToolbarItem = 'tbit',
    kEventParamIndex = 'indx',
    kEventParamMouseWheelAxis = 'mwax',
    kEventParamTextInputSendText = 'tstx',
};

enum : UInt16 { kEventMouseWheelAxisX = 0, kEventMouseWheelAxisY = 1 };

// Parameter types.
enum : EventParamType {
    typeWindowRef = 'wind',
    typeControlRef = 'ctrl',
    typeMenuRef = 'menu',
    typeHIObjectRef = 'hiob',
    typeHIToolbarRef = 'tbar',
    typeHIToolbarItemRef = 'tbit',
    typeCGContextRef = 'cntx',
    typeDragRef = 'drag',
    typeHIPoint = 'hipt',
    typeHISize = 'hisz',
    typeHIRect = 'hirc',
    typeQDPoint = 'QDpt',
    typeQDRectangle = 'qdrt',
    typeControlPartCode = 'cprt',
    typeMouseButton = 'mbtn',
    typeMouseWheelAxis = 'mwax',
    typePtr = 'ptr ',
    typeUnicodeText = 'utxt',
    typeEnumeration = 'enum',
};

// Keyboard modifier bits (kEventParamKeyModifiers).
enum : UInt32 {
    cmdKey = 1 << 8,
    shiftKey = 1 << 9,
    alphaLock = 1 << 10,
    optionKey = 1 << 11,
    controlKey = 1 << 12,
    rightShiftKey = 1 << 13,
    rightOptionKey = 1 << 14,
    rightControlKey = 1 << 15,
};

// Reference counting of toolbox objects where their classes are not visible (CF calls, typed).
CFTypeRef CFRetain(HIObjectRef object);
CFTypeRef CFRetain(HIViewRef view);
CFTypeRef CFRetain(WindowRef window);
CFTypeRef CFRetain(MenuRef menu);
void CFRelease(HIObjectRef object);
void CFRelease(HIViewRef view);
void CFRelease(WindowRef window);
void CFRelease(MenuRef menu);
CFIndex CFGetRetainCount(HIObjectRef object);
CFIndex CFGetRetainCount(HIViewRef view);
CFIndex CFGetRetainCount(WindowRef window);

// Menu command enabling; implemented by the toolbox's menus.
void EnableMenuCommand(MenuRef menu, MenuCommand command);
void DisableMenuCommand(MenuRef menu, MenuCommand command);
