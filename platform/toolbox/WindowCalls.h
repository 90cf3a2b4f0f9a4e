#pragma once

// Window Manager calls: creation, stacking, activation, bounds, sheets, properties and modal loops.

#include "toolbox/WindowTypes.h"

using GDHandle = struct OpaqueGDevice*;
using WindowTransitionEffect = UInt32;
using WindowTransitionAction = UInt32;
using WindowPositionMethod = UInt32;
enum : WindowTransitionAction {
    kWindowShowTransitionAction = 1,
    kWindowHideTransitionAction = 2,
    kWindowMoveTransitionAction = 3,
    kWindowResizeTransitionAction = 4
};
enum : WindowPositionMethod {
    kWindowCenterOnMainScreen = 1,
    kWindowCascadeOnMainScreen = 4,
    kWindowAlertPositionOnMainScreen = 7,
};

// A new window, hidden, whose content rectangle is the given global rectangle.
OSStatus CreateNewWindow(
    WindowClass windowClass, WindowAttributes attributes, Rect const* contentBounds, WindowRef* outWindow);
// Disposes the window, its sheet and every view in it, whatever references remain.
void DisposeWindow(WindowRef window);
OSStatus RetainWindow(WindowRef window);
OSStatus ReleaseWindow(WindowRef window);
ItemCount GetWindowRetainCount(WindowRef window);

void ShowWindow(WindowRef window);
void HideWindow(WindowRef window);
Boolean IsWindowVisible(WindowRef window);
void SelectWindow(WindowRef window);
OSStatus ActivateWindow(WindowRef window, Boolean activate);
Boolean IsWindowActive(WindowRef window);
void BringToFront(WindowRef window);
void SendBehind(WindowRef window, WindowRef behind);
WindowRef FrontWindow();
WindowRef FrontNonFloatingWindow();
WindowRef ActiveNonFloatingWindow();
WindowRef GetFrontWindowOfClass(WindowClass windowClass, Boolean mustBeVisible);
WindowRef GetNextWindowOfClass(WindowRef after, WindowClass windowClass, Boolean mustBeVisible);

OSStatus GetWindowBounds(WindowRef window, WindowRegionCode region, Rect* outBounds);
OSStatus SetWindowBounds(WindowRef window, WindowRegionCode region, Rect const* bounds);
OSStatus HIWindowGetBounds(WindowRef window, WindowRegionCode region, HIRect* outBounds);
void MoveWindow(WindowRef window, SInt16 left, SInt16 top, Boolean front);
void SizeWindow(WindowRef window, SInt16 width, SInt16 height, Boolean update);
OSStatus RepositionWindow(WindowRef window, WindowRef parent, WindowPositionMethod method);
OSStatus TransitionWindow(
    WindowRef window, WindowTransitionEffect effect, WindowTransitionAction action, Rect const* bounds);
OSStatus GetWindowClass(WindowRef window, WindowClass* outClass);
OSStatus GetWindowAttributes(WindowRef window, WindowAttributes* outAttributes);
OSStatus ChangeWindowAttributes(WindowRef window, WindowAttributes set, WindowAttributes clear);
OSStatus SetWindowTitleWithCFString(WindowRef window, CFStringRef title);
OSStatus CopyWindowTitleAsCFString(WindowRef window, CFStringRef* outTitle);
OSStatus SetWindowModified(WindowRef window, Boolean modified);
// The system's window groups, one to a window class.
using WindowGroupRef = struct OpaqueWindowGroupRef*;
WindowGroupRef GetWindowGroupOfClass(WindowClass windowClass);
OSStatus SetWindowGroup(WindowRef window, WindowGroupRef group);
Boolean IsWindowModified(WindowRef window);
OSStatus CollapseWindow(WindowRef window, Boolean collapse);
Boolean IsWindowCollapsed(WindowRef window);
OSStatus SetWindowAlpha(WindowRef window, CGFloat alpha);
OSStatus GetWindowAlpha(WindowRef window, CGFloat* outAlpha);
CGrafPtr GetWindowPort(WindowRef window);
WindowRef GetWindowFromPort(CGrafPtr port);
OSStatus SetThemeWindowBackground(WindowRef window, SInt16 brush, Boolean update);

OSStatus SetWindowProperty(
    WindowRef window, PropertyCreator creator, PropertyTag tag, ByteCount size, void const* data);
OSStatus GetWindowProperty(WindowRef window, PropertyCreator creator, PropertyTag tag, ByteCount bufferSize,
    ByteCount* actualSize, void* data);
OSStatus GetWindowPropertySize(WindowRef window, PropertyCreator creator, PropertyTag tag, ByteCount* outSize);
OSStatus RemoveWindowProperty(WindowRef window, PropertyCreator creator, PropertyTag tag);

// One sheet per parent at a time: a second fails.
OSStatus ShowSheetWindow(WindowRef sheet, WindowRef parent);
OSStatus HideSheetWindow(WindowRef sheet);
OSStatus GetSheetWindowParent(WindowRef sheet, WindowRef* outParent);
Boolean HIWindowIsDocumentModalTarget(WindowRef window, WindowRef* outOwner);

OSStatus SetWindowDefaultButton(WindowRef window, ControlRef button);
OSStatus SetWindowCancelButton(WindowRef window, ControlRef button);
OSStatus GetWindowDefaultButton(WindowRef window, ControlRef* outButton);
OSStatus GetWindowCancelButton(WindowRef window, ControlRef* outButton);

// Runs the event loop with only this window (and menus) taking input, until quit.
OSStatus RunAppModalLoopForWindow(WindowRef window);
OSStatus QuitAppModalLoopForWindow(WindowRef window);
// Our own: the menu commands the window's modal loop offers besides the editing ones, for a
// window that works on the one below it (as a find window zooms the map it searches).
OSStatus SetWindowModalCommands(WindowRef window, UInt32 const* commands, ItemCount count);

GDHandle GetMainDevice();
OSStatus GetWindowGreatestAreaDevice(WindowRef window, WindowRegionCode region, GDHandle* outDevice, Rect* outBounds);
// The screen less the menu bar.
OSStatus GetAvailableWindowPositioningBounds(GDHandle device, Rect* outBounds);
