#pragma once

// HIView and Control Manager calls: the view tree, geometry, states, values,
// properties, control data, focus, help content and drawing.

#include "toolbox/HIViewTypes.h"

using HIViewPartCode = ControlPartCode;
using HIShapeRef = CGRect const*; // a shape as one rectangle: the only kind views invalidate with

// Tree.
HIViewRef HIViewGetRoot(WindowRef window); // the structure root
OSStatus GetRootControl(WindowRef window, ControlRef* outControl); // the content view
OSStatus HIViewFindByID(HIViewRef start, HIViewID id, HIViewRef* outView);
OSStatus GetControlByID(WindowRef window, ControlID const* id, ControlRef* outControl);
OSStatus HIViewAddSubview(HIViewRef parent, HIViewRef child);
OSStatus HIViewRemoveFromSuperview(HIViewRef view);
HIViewRef HIViewGetSuperview(HIViewRef view);
HIViewRef HIViewGetFirstSubview(HIViewRef view); // the frontmost
HIViewRef HIViewGetLastSubview(HIViewRef view); // the backmost
HIViewRef HIViewGetNextView(HIViewRef view); // the next one back
HIViewRef HIViewGetPreviousView(HIViewRef view);
OSStatus CountSubControls(ControlRef control, UInt16* outCount);
OSStatus GetIndexedSubControl(ControlRef control, UInt16 index, ControlRef* outSub); // from 1, back to front
OSStatus HIViewSetZOrder(HIViewRef view, HIViewZOrderOp op, HIViewRef other);
WindowRef HIViewGetWindow(HIViewRef view);
WindowRef GetControlOwner(ControlRef control);
// Disposes the view and everything in it, whatever other references remain.
void DisposeControl(ControlRef control);

// Geometry.
OSStatus HIViewGetFrame(HIViewRef view, HIRect* outFrame);
OSStatus HIViewSetFrame(HIViewRef view, HIRect const* frame);
OSStatus HIViewGetBounds(HIViewRef view, HIRect* outBounds);
OSStatus HIViewSetBoundsOrigin(HIViewRef view, CGFloat x, CGFloat y);
OSStatus HIViewMoveBy(HIViewRef view, CGFloat dx, CGFloat dy);
OSStatus HIViewPlaceInSuperviewAt(HIViewRef view, CGFloat x, CGFloat y);
// A null view stands for the window's structure (root) coordinates.
OSStatus HIViewConvertPoint(HIPoint* point, HIViewRef source, HIViewRef destination);
OSStatus HIViewConvertRect(HIRect* rect, HIViewRef source, HIViewRef destination);
OSStatus HIViewGetLayoutInfo(HIViewRef view, HILayoutInfo* outLayout);
OSStatus HIViewSetLayoutInfo(HIViewRef view, HILayoutInfo const* layout);
OSStatus HIViewGetOptimalBounds(HIViewRef view, HIRect* outBounds, CGFloat* outBaseline);
Rect* GetControlBounds(ControlRef control, Rect* outBounds);
void SetControlBounds(ControlRef control, Rect const* bounds);
OSStatus GetBestControlRect(ControlRef control, Rect* outRect, SInt16* outBaseline);
// Moves the pixels of a rectangle (or of the bounds) by (dx, dy) and invalidates what they uncover.
OSStatus HIViewScrollRect(HIViewRef view, HIRect const* rect, CGFloat dx, CGFloat dy);

// States.
Boolean HIViewIsVisible(HIViewRef view);
OSStatus HIViewSetVisible(HIViewRef view, Boolean visible);
Boolean IsControlVisible(ControlRef control);
OSStatus SetControlVisibility(ControlRef control, Boolean visible, Boolean draw);
void ShowControl(ControlRef control);
void HideControl(ControlRef control);
Boolean IsControlEnabled(ControlRef control);
OSStatus EnableControl(ControlRef control);
OSStatus DisableControl(ControlRef control);
Boolean IsControlActive(ControlRef control);
Boolean IsControlHilited(ControlRef control);
void HiliteControl(ControlRef control, ControlPartCode part);
OSStatus HIViewChangeFeatures(HIViewRef view, HIViewFeatures set, HIViewFeatures clear);
OSStatus HIViewGetFeatures(HIViewRef view, HIViewFeatures* outFeatures);

// Values, title, command, id and kind.
SInt32 GetControl32BitValue(ControlRef control);
void SetControl32BitValue(ControlRef control, SInt32 value);
SInt32 GetControl32BitMinimum(ControlRef control);
void SetControl32BitMinimum(ControlRef control, SInt32 minimum);
SInt32 GetControl32BitMaximum(ControlRef control);
void SetControl32BitMaximum(ControlRef control, SInt32 maximum);
OSStatus SetControlTitleWithCFString(ControlRef control, CFStringRef title);
OSStatus CopyControlTitleAsCFString(ControlRef control, CFStringRef* outTitle);
OSStatus SetControlCommandID(ControlRef control, UInt32 command);
OSStatus GetControlCommandID(ControlRef control, UInt32* outCommand);
OSStatus SetControlID(ControlRef control, ControlID const* id);
OSStatus GetControlID(ControlRef control, ControlID* outID);
OSStatus GetControlKind(ControlRef control, ControlKind* outKind);

// Properties (creator, tag, bytes) and control data (part, tag, bytes).
OSStatus SetControlProperty(ControlRef control, OSType creator, OSType tag, ByteCount size, void const* data);
OSStatus GetControlProperty(
    ControlRef control, OSType creator, OSType tag, ByteCount bufferSize, ByteCount* actualSize, void* data);
OSStatus GetControlPropertySize(ControlRef control, OSType creator, OSType tag, ByteCount* outSize);
OSStatus RemoveControlProperty(ControlRef control, OSType creator, OSType tag);
enum : EventParamName {
    kEventParamControlDataTag = 'cdtg',
    kEventParamControlDataBuffer = 'cdbf',
    kEventParamControlDataBufferSize = 'cdbs',
};
// Data goes to the control's set-data and get-data handlers; a view without one keeps it as it is.
OSStatus SetControlData(ControlRef control, ControlPartCode part, OSType tag, Size size, void const* data);
OSStatus GetControlData(
    ControlRef control, ControlPartCode part, OSType tag, Size bufferSize, void* data, Size* actualSize);
OSStatus GetControlDataSize(ControlRef control, ControlPartCode part, OSType tag, Size* outSize);

// Keyboard focus.
OSStatus SetKeyboardFocus(WindowRef window, ControlRef control, ControlPartCode part);
OSStatus GetKeyboardFocus(WindowRef window, ControlRef* outControl);
OSStatus ClearKeyboardFocus(WindowRef window);
// The part of the view that has the focus; 0 when the focus is elsewhere.
OSStatus HIViewGetFocusPart(HIViewRef view, ControlPartCode* outPart);
OSStatus AdvanceKeyboardFocus(WindowRef window);
OSStatus ReverseKeyboardFocus(WindowRef window);

// Help tags.
OSStatus HMSetControlHelpContent(ControlRef control, HMHelpContentRec const* content);
OSStatus HMGetControlHelpContent(ControlRef control, HMHelpContentRec* outContent);
// Shows the content's text as a tag beside its global hot rectangle at once, until hidden.
OSStatus HMDisplayTag(HMHelpContentRec const* content);
OSStatus HMHideTag();

// Hit testing and clicks.
// The deepest view under the mouse event's location that answers a part other than 0.
OSStatus HIViewGetViewForMouseEvent(HIViewRef start, EventRef event, HIViewRef* outView);
OSStatus HIViewGetSubviewHit(HIViewRef start, HIPoint const* point, Boolean deep, HIViewRef* outView);
OSStatus HIViewClick(HIViewRef view, EventRef mouseDown);
OSStatus HIViewSimulateClick(HIViewRef view, HIViewPartCode part, UInt32 modifiers, ControlPartCode* outPart);

// Drawing.
OSStatus HIViewSetNeedsDisplay(HIViewRef view, Boolean needsDisplay);
OSStatus HIViewSetNeedsDisplayInRect(HIViewRef view, HIRect const* rect, Boolean needsDisplay);
OSStatus HIViewSetNeedsDisplayInShape(HIViewRef view, HIShapeRef shape, Boolean needsDisplay);
// Draws whatever is invalid in the view's window now.
OSStatus HIViewRender(HIViewRef view);
void Draw1Control(ControlRef control);
