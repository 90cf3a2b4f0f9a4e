#include "framework/CCarbonEventHandler.h"

#include <algorithm>
#include <iterator>

// The table from (class, kind) to operation: one sorted array per class.

namespace {

using H = CCarbonEventHandler;
using Operation = OSStatus (H::*)(CCarbonEvent&);

struct Entry {
    UInt32 eventKind;
    Operation operation;
};

// The framework's own class: tracking areas of views and text modified in edit fields.
constexpr EventClass kEventClassFramework = 'Pctl';

constexpr Entry kMouse[] = {
    { 1, &H::DoEventMouseDown },
    { 2, &H::DoEventMouseUp },
    { 5, &H::DoEventMouseMoved },
    { 6, &H::DoEventMouseDragged },
    { 10, &H::DoEventMouseWheelMoved },
};
constexpr Entry kKeyboard[] = {
    { 1, &H::DoEventRawKeyDown },
    { 2, &H::DoEventRawKeyRepeat },
    { 3, &H::DoEventRawKeyUp },
    { 4, &H::DoEventRawKeyModifiersChanged },
    { 5, &H::DoEventHotKeyPressed },
    { 6, &H::DoEventHotKeyReleased },
};
constexpr Entry kApplication[] = {
    { 1, &H::DoEventAppActivated },
    { 2, &H::DoEventAppDeactivated },
};
constexpr Entry kAppleEvent[] = {
    { 1, &H::DoEventAppleEvent },
};
constexpr Entry kWindow[] = {
    { 1, &H::DoEventWindowUpdate },
    { 2, &H::DoEventWindowDrawContent },
    { 5, &H::DoEventWindowActivated },
    { 6, &H::DoEventWindowDeactivated },
    { 7, &H::DoEventWindowGetClickActivation },
    { 26, &H::DoEventWindowBoundsChanging },
    { 27, &H::DoEventWindowBoundsChanged },
    { 72, &H::DoEventWindowClose },
    { 73, &H::DoEventWindowClosed },
    { 76, &H::DoEventWindowZoomed },
    { 78, &H::DoEventWindowContextualMenuSelect },
    { 80, &H::DoEventWindowGetIdealSize },
    { 81, &H::DoEventWindowGetMinimumSize },
    { 82, &H::DoEventWindowGetMaximumSize },
    { 83, &H::DoEventWindowConstrain },
    { 85, &H::DoEventWindowHandleContentClick },
    { 88, &H::DoEventWindowTransitionStarted },
    { 89, &H::DoEventWindowTransitionCompleted },
    { 210, &H::DoEventWindowSheetOpening },
    { 212, &H::DoEventWindowSheetClosing },
    { 1002, &H::DoEventWindowGetRegion },
    { 1013, &H::DoEventWindowPaint },
};
constexpr Entry kControl[] = {
    { 1, &H::DoEventControlHit },
    { 2, &H::DoEventControlSimulateHit },
    { 3, &H::DoEventControlHitTest },
    { 4, &H::DoEventControlDraw },
    { 5, &H::DoEventControlApplyBackground },
    { 6, &H::DoEventControlApplyTextColor },
    { 7, &H::DoEventControlSetFocusPart },
    { 8, &H::DoEventControlGetFocusPart },
    { 9, &H::DoEventControlActivate },
    { 10, &H::DoEventControlDeactivate },
    { 11, &H::DoEventControlSetCursor },
    { 12, &H::DoEventControlContextualMenuClick },
    { 13, &H::DoEventControlClick },
    { 14, &H::DoEventControlGetNextFocusCandidate },
    { 15, &H::DoEventControlGetAutoToggleValue },
    { 16, &H::DoEventControlInterceptSubviewClick },
    { 17, &H::DoEventControlGetClickActivation },
    { 18, &H::DoEventControlDragEnter },
    { 19, &H::DoEventControlDragWithin },
    { 20, &H::DoEventControlDragLeave },
    { 21, &H::DoEventControlDragReceive },
    { 22, &H::DoEventControlInvalidateForSizeChange },
    { 23, &H::DoEventControlTrackingAreaEntered },
    { 24, &H::DoEventControlTrackingAreaExited },
    { 51, &H::DoEventControlTrack },
    { 52, &H::DoEventControlGetScrollToHereStartPoint },
    { 53, &H::DoEventControlGetIndicatorDragConstraint },
    { 54, &H::DoEventControlIndicatorMoved },
    { 55, &H::DoEventControlGhostingFinished },
    { 56, &H::DoEventControlGetActionProcPart },
    { 101, &H::DoEventControlGetPartRegion },
    { 102, &H::DoEventControlGetPartBounds },
    { 103, &H::DoEventControlSetData },
    { 104, &H::DoEventControlGetData },
    { 105, &H::DoEventControlGetSizeConstraints },
    { 106, &H::DoEventControlGetFrameMetrics },
    { 151, &H::DoEventControlValueFieldChanged },
    { 152, &H::DoEventControlAddedSubControl },
    { 153, &H::DoEventControlRemovingSubControl },
    { 154, &H::DoEventControlBoundsChanged },
    { 157, &H::DoEventControlVisibilityChanged },
    { 158, &H::DoEventControlTitleChanged },
    { 159, &H::DoEventControlOwningWindowChanged },
    { 160, &H::DoEventControlHiliteChanged },
    { 161, &H::DoEventControlEnabledStateChanged },
    { 162, &H::DoEventControlLayoutInfoChanged },
    { 201, &H::DoEventControlArbitraryMessage },
    { 1000, &H::DoEventControlInitialize },
    { 1001, &H::DoEventControlDispose },
    { 1003, &H::DoEventControlGetOptimalBounds },
};
constexpr Entry kFramework[] = {
    { 'Pctm', &H::DoEventControlTrackingAreaEntered },
    { 'Pctn', &H::DoEventControlTrackingAreaExited },
    { 'Pcto', &H::DoEventControlTrackingAreaWithin },
    { 'Ptfm', &H::DoEventTextDidChange },
};
constexpr Entry kCommand[] = {
    { 1, &H::DoEventCommandProcess },
    { 2, &H::DoEventCommandUpdateStatus },
};
constexpr Entry kVolume[] = {
    { 1, &H::DoEventVolumeMounted },
    { 2, &H::DoEventVolumeUnmounted },
};
constexpr Entry kScrollable[] = {
    { 1, &H::DoEventScrollableGetInfo },
    { 10, &H::DoEventScrollableScrollTo },
};
constexpr Entry kToolbar[] = {
    { 1, &H::DoEventToolbarGetDefaultIdentifiers },
    { 2, &H::DoEventToolbarGetAllowedIdentifiers },
    { 3, &H::DoEventToolbarCreateItemWithIdentifier },
    { 4, &H::DoEventToolbarCreateItemFromDrag },
    { 5, &H::DoEventToolbarItemAdded },
    { 6, &H::DoEventToolbarItemRemoved },
    { 7, &H::DoEventToolbarDisplayModeChanged },
    { 8, &H::DoEventToolbarDisplaySizeChanged },
    { 9, &H::DoEventToolbarLayoutChanged },
    { 12, &H::DoEventToolbarBeginMultiChange },
    { 13, &H::DoEventToolbarEndMultiChange },
};
constexpr Entry kToolbarItem[] = {
    { 1, &H::DoEventToolbarItemImageChanged },
    { 2, &H::DoEventToolbarItemLabelChanged },
    { 3, &H::DoEventToolbarItemHelpTextChanged },
    { 4, &H::DoEventToolbarItemCommandIDChanged },
    { 5, &H::DoEventToolbarItemGetPersistentData },
    { 6, &H::DoEventToolbarItemCreateCustomView },
    { 7, &H::DoEventToolbarItemEnabledStateChanged },
    { 8, &H::DoEventToolbarItemPerformAction },
    { 10, &H::DoEventToolbarItemWouldAcceptDrop },
    { 11, &H::DoEventToolbarItemAcceptDrop },
    { 12, &H::DoEventToolbarItemSelectedStateChanged },
};
constexpr Entry kTextField[] = {
    { 1, &H::DoEventTextAccepted },
    { 2, &H::DoEventTextShouldChange },
    { 3, &H::DoEventTextDidChange },
};
constexpr Entry kHIObject[] = {
    { 1, &H::DoEventHIObjectConstruct },
    { 2, &H::DoEventHIObjectInitialize },
    { 3, &H::DoEventHIObjectDestruct },
};
constexpr Entry kHIComboBox[] = {
    { 1, &H::DoEventHIComboBoxListItemSelected },
};
constexpr Entry kInk[] = {
    { 10, &H::DoEvenInkPoint },
    { 11, &H::DoEvenInkGesture },
    { 12, &H::DoEvenInkText },
};

template <std::size_t N> Operation Lookup(Entry const (&entries)[N], UInt32 eventKind)
{
    auto const it = std::lower_bound(std::begin(entries), std::end(entries), eventKind,
        [](Entry const& entry, UInt32 kind) { return entry.eventKind < kind; });
    return it != std::end(entries) && it->eventKind == eventKind ? it->operation : nullptr;
}

} // namespace

CCarbonEventHandler::Operation CCarbonEventHandler::FindOperation(UInt32 eventClass, UInt32 eventKind)
{
    switch (eventClass) {
    case kEventClassMouse:
        return Lookup(kMouse, eventKind);
    case kEventClassKeyboard:
        return Lookup(kKeyboard, eventKind);
    case kEventClassApplication:
        return Lookup(kApplication, eventKind);
    case kEventClassAppleEvent:
        return Lookup(kAppleEvent, eventKind);
    case kEventClassWindow:
        return Lookup(kWindow, eventKind);
    case kEventClassControl:
        return Lookup(kControl, eventKind);
    case kEventClassFramework:
        return Lookup(kFramework, eventKind);
    case kEventClassCommand:
        return Lookup(kCommand, eventKind);
    case kEventClassVolume:
        return Lookup(kVolume, eventKind);
    case kEventClassScrollable:
        return Lookup(kScrollable, eventKind);
    case kEventClassToolbar:
        return Lookup(kToolbar, eventKind);
    case kEventClassToolbarItem:
        return Lookup(kToolbarItem, eventKind);
    case kEventClassTextField:
        return Lookup(kTextField, eventKind);
    case kEventClassHIObject:
        return Lookup(kHIObject, eventKind);
    case kEventClassHIComboBox:
        return Lookup(kHIComboBox, eventKind);
    case kEventClassInk:
        return Lookup(kInk, eventKind);
    default:
        return nullptr;
    }
}

OSStatus CCarbonEventHandler::DoEventMouseUp(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventMouseDown(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventMouseMoved(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventMouseDragged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventMouseWheelMoved(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventRawKeyDown(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventRawKeyRepeat(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventRawKeyUp(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventRawKeyModifiersChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventHotKeyPressed(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventHotKeyReleased(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventAppActivated(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventAppDeactivated(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventAppleEvent(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowActivated(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowDeactivated(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowBoundsChanging(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowBoundsChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowClose(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowClosed(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowZoomed(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowContextualMenuSelect(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowGetIdealSize(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowGetMinimumSize(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowGetMaximumSize(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowHandleContentClick(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowUpdate(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowDrawContent(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowTransitionStarted(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowTransitionCompleted(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowSheetOpening(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowSheetClosing(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowPaint(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowGetRegion(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowGetClickActivation(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventWindowConstrain(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlInitialize(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlDispose(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGetOptimalBounds(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlHit(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlSimulateHit(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlHitTest(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlDraw(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlApplyBackground(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlApplyTextColor(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlSetFocusPart(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGetFocusPart(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlActivate(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlDeactivate(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlSetCursor(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlContextualMenuClick(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlClick(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGetNextFocusCandidate(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGetAutoToggleValue(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlInterceptSubviewClick(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGetClickActivation(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlDragEnter(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlDragWithin(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlDragLeave(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlDragReceive(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlInvalidateForSizeChange(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlTrackingAreaEntered(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlTrackingAreaExited(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlTrackingAreaWithin(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlTrack(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGetScrollToHereStartPoint(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGetIndicatorDragConstraint(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlIndicatorMoved(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGhostingFinished(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGetActionProcPart(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGetPartRegion(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGetPartBounds(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlSetData(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGetData(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGetSizeConstraints(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlGetFrameMetrics(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlValueFieldChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlAddedSubControl(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlRemovingSubControl(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlBoundsChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlVisibilityChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlTitleChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlOwningWindowChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlHiliteChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlEnabledStateChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlLayoutInfoChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventControlArbitraryMessage(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventCommandProcess(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventCommandUpdateStatus(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventVolumeMounted(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventVolumeUnmounted(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventScrollableGetInfo(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventScrollableScrollTo(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarGetDefaultIdentifiers(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarGetAllowedIdentifiers(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarCreateItemWithIdentifier(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarCreateItemFromDrag(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarItemAdded(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarItemRemoved(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarDisplayModeChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarDisplaySizeChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarLayoutChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarBeginMultiChange(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarEndMultiChange(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarItemImageChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarItemLabelChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarItemHelpTextChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarItemCommandIDChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarItemGetPersistentData(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarItemCreateCustomView(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarItemEnabledStateChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarItemPerformAction(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarItemWouldAcceptDrop(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarItemAcceptDrop(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventToolbarItemSelectedStateChanged(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventTextAccepted(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventTextShouldChange(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventTextDidChange(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventHIObjectConstruct(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventHIObjectInitialize(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventHIObjectDestruct(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEventHIComboBoxListItemSelected(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEvenInkPoint(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEvenInkGesture(CCarbonEvent&) { return eventNotHandledErr; }
OSStatus CCarbonEventHandler::DoEvenInkText(CCarbonEvent&) { return eventNotHandledErr; }
