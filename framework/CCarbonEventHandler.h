#pragma once

#include "events/CarbonEvents.h"
#include "framework/CCarbonEvent.h"
#include "toolbox/HIToolboxTypes.h"

#include <vector>

// The event types a handler asks for: an ordered list of (event class, event
// kind) pairs, duplicates kept.
class CCarbonEventSpecList {
public:
    CCarbonEventSpecList() = default;
    CCarbonEventSpecList(UInt32 eventClass, UInt32 eventKind);
    // From an array ended by a pair whose class is 0; null gives an empty list.
    explicit CCarbonEventSpecList(EventTypeSpec const* events);
    virtual ~CCarbonEventSpecList() = default;

    void Add(CCarbonEventSpecList const& other);
    // Erases the first equal pair; nothing when absent.
    void Remove(EventTypeSpec const& spec);
    void Remove(CCarbonEventSpecList const& other);

    ItemCount GetCount() const { return mSpecs.size(); }
    // The pairs as one array, or null when the list is empty.
    EventTypeSpec const* GetList() const { return mSpecs.empty() ? nullptr : mSpecs.data(); }

private:
    std::vector<EventTypeSpec> mSpecs;
};

// The base of every object that receives Carbon events: installs one handler
// on one target and turns each event into a call of the virtual operation named
// after it. Every operation answers eventNotHandledErr unless overridden, so
// unhandled events go on to the next handler. An object may be destroyed inside
// one of its own operations, nested dispatches included. Main thread only.
class CCarbonEventHandler {
public:
    enum HandlerType {
        kHandlerNone = 0,
        kHandlerApplication = 1,
        kHandlerWindow = 3,
        kHandlerControl = 4,
        kHandlerHIObject = 5,
    };

    enum MenuStatus {
        kMenuStatusNone = 0,
        kMenuStatusEnable = 1,
        kMenuStatusDisable = 2,
    };

    CCarbonEventHandler() = default;
    CCarbonEventHandler(CCarbonEventHandler const&) = delete;
    CCarbonEventHandler& operator=(CCarbonEventHandler const&) = delete;
    virtual ~CCarbonEventHandler();

    // Each installs once: a second installation is refused with
    // eventHandlerAlreadyInstalledErr until RemoveHandler.
    OSStatus InstallHandler(EventTypeSpec const* events = nullptr);
    OSStatus InstallHandler(WindowRef window, EventTypeSpec const* events = nullptr);
    OSStatus InstallHandler(ControlRef control, EventTypeSpec const* events = nullptr);
    OSStatus InstallHandler(HIObjectRef object, EventTypeSpec const* events = nullptr);
    HandlerType GetHandlerType() const { return mHandlerType; }
    void RemoveHandler();

    OSStatus AddEvent(UInt32 eventClass, UInt32 eventKind);
    OSStatus AddEvents(EventTypeSpec const* events);
    OSStatus AddEvents(CCarbonEventSpecList const& events);
    OSStatus RemoveEvents(EventTypeSpec const* events);
    OSStatus RemoveEvents(CCarbonEventSpecList const& events);

    // The target handler sees every event first; it is not owned.
    void SetTargetEventHandler(CCarbonEventHandler* target) { mTargetHandler = target; }
    OSStatus CallNextHandler(CCarbonEvent& event);
    // callRef may be null for events the application feeds in directly.
    OSStatus DispatchEvent(CCarbonEvent& event, EventHandlerCallRef callRef);
    OSStatus UpdateMenuStatus(CCarbonEvent& event);

    static OSStatus EventHandler(EventHandlerCallRef callRef, EventRef event, void* userData);

    virtual SInt32 GetMenuStatus(HICommandExtended const& command);
    virtual OSStatus DoEvent(CCarbonEvent& event);
    virtual OSStatus DoEventMouseUp(CCarbonEvent& event);
    virtual OSStatus DoEventMouseDown(CCarbonEvent& event);
    virtual OSStatus DoEventMouseMoved(CCarbonEvent& event);
    virtual OSStatus DoEventMouseDragged(CCarbonEvent& event);
    virtual OSStatus DoEventMouseWheelMoved(CCarbonEvent& event);
    virtual OSStatus DoEventRawKeyDown(CCarbonEvent& event);
    virtual OSStatus DoEventRawKeyRepeat(CCarbonEvent& event);
    virtual OSStatus DoEventRawKeyUp(CCarbonEvent& event);
    virtual OSStatus DoEventRawKeyModifiersChanged(CCarbonEvent& event);
    virtual OSStatus DoEventHotKeyPressed(CCarbonEvent& event);
    virtual OSStatus DoEventHotKeyReleased(CCarbonEvent& event);
    virtual OSStatus DoEventAppActivated(CCarbonEvent& event);
    virtual OSStatus DoEventAppDeactivated(CCarbonEvent& event);
    virtual OSStatus DoEventAppleEvent(CCarbonEvent& event);
    virtual OSStatus DoEventWindowActivated(CCarbonEvent& event);
    virtual OSStatus DoEventWindowDeactivated(CCarbonEvent& event);
    virtual OSStatus DoEventWindowBoundsChanging(CCarbonEvent& event);
    virtual OSStatus DoEventWindowBoundsChanged(CCarbonEvent& event);
    virtual OSStatus DoEventWindowClose(CCarbonEvent& event);
    virtual OSStatus DoEventWindowClosed(CCarbonEvent& event);
    virtual OSStatus DoEventWindowZoomed(CCarbonEvent& event);
    virtual OSStatus DoEventWindowContextualMenuSelect(CCarbonEvent& event);
    virtual OSStatus DoEventWindowGetIdealSize(CCarbonEvent& event);
    virtual OSStatus DoEventWindowGetMinimumSize(CCarbonEvent& event);
    virtual OSStatus DoEventWindowGetMaximumSize(CCarbonEvent& event);
    virtual OSStatus DoEventWindowHandleContentClick(CCarbonEvent& event);
    virtual OSStatus DoEventWindowUpdate(CCarbonEvent& event);
    virtual OSStatus DoEventWindowDrawContent(CCarbonEvent& event);
    virtual OSStatus DoEventWindowTransitionStarted(CCarbonEvent& event);
    virtual OSStatus DoEventWindowTransitionCompleted(CCarbonEvent& event);
    virtual OSStatus DoEventWindowSheetOpening(CCarbonEvent& event);
    virtual OSStatus DoEventWindowSheetClosing(CCarbonEvent& event);
    virtual OSStatus DoEventWindowPaint(CCarbonEvent& event);
    virtual OSStatus DoEventWindowGetRegion(CCarbonEvent& event);
    virtual OSStatus DoEventWindowGetClickActivation(CCarbonEvent& event);
    virtual OSStatus DoEventWindowConstrain(CCarbonEvent& event);
    virtual OSStatus DoEventControlInitialize(CCarbonEvent& event);
    virtual OSStatus DoEventControlDispose(CCarbonEvent& event);
    virtual OSStatus DoEventControlGetOptimalBounds(CCarbonEvent& event);
    virtual OSStatus DoEventControlHit(CCarbonEvent& event);
    virtual OSStatus DoEventControlSimulateHit(CCarbonEvent& event);
    virtual OSStatus DoEventControlHitTest(CCarbonEvent& event);
    virtual OSStatus DoEventControlDraw(CCarbonEvent& event);
    virtual OSStatus DoEventControlApplyBackground(CCarbonEvent& event);
    virtual OSStatus DoEventControlApplyTextColor(CCarbonEvent& event);
    virtual OSStatus DoEventControlSetFocusPart(CCarbonEvent& event);
    virtual OSStatus DoEventControlGetFocusPart(CCarbonEvent& event);
    virtual OSStatus DoEventControlActivate(CCarbonEvent& event);
    virtual OSStatus DoEventControlDeactivate(CCarbonEvent& event);
    virtual OSStatus DoEventControlSetCursor(CCarbonEvent& event);
    virtual OSStatus DoEventControlContextualMenuClick(CCarbonEvent& event);
    virtual OSStatus DoEventControlClick(CCarbonEvent& event);
    virtual OSStatus DoEventControlGetNextFocusCandidate(CCarbonEvent& event);
    virtual OSStatus DoEventControlGetAutoToggleValue(CCarbonEvent& event);
    virtual OSStatus DoEventControlInterceptSubviewClick(CCarbonEvent& event);
    virtual OSStatus DoEventControlGetClickActivation(CCarbonEvent& event);
    virtual OSStatus DoEventControlDragEnter(CCarbonEvent& event);
    virtual OSStatus DoEventControlDragWithin(CCarbonEvent& event);
    virtual OSStatus DoEventControlDragLeave(CCarbonEvent& event);
    virtual OSStatus DoEventControlDragReceive(CCarbonEvent& event);
    virtual OSStatus DoEventControlInvalidateForSizeChange(CCarbonEvent& event);
    virtual OSStatus DoEventControlTrackingAreaEntered(CCarbonEvent& event);
    virtual OSStatus DoEventControlTrackingAreaExited(CCarbonEvent& event);
    virtual OSStatus DoEventControlTrackingAreaWithin(CCarbonEvent& event);
    virtual OSStatus DoEventControlTrack(CCarbonEvent& event);
    virtual OSStatus DoEventControlGetScrollToHereStartPoint(CCarbonEvent& event);
    virtual OSStatus DoEventControlGetIndicatorDragConstraint(CCarbonEvent& event);
    virtual OSStatus DoEventControlIndicatorMoved(CCarbonEvent& event);
    virtual OSStatus DoEventControlGhostingFinished(CCarbonEvent& event);
    virtual OSStatus DoEventControlGetActionProcPart(CCarbonEvent& event);
    virtual OSStatus DoEventControlGetPartRegion(CCarbonEvent& event);
    virtual OSStatus DoEventControlGetPartBounds(CCarbonEvent& event);
    virtual OSStatus DoEventControlSetData(CCarbonEvent& event);
    virtual OSStatus DoEventControlGetData(CCarbonEvent& event);
    virtual OSStatus DoEventControlGetSizeConstraints(CCarbonEvent& event);
    virtual OSStatus DoEventControlGetFrameMetrics(CCarbonEvent& event);
    virtual OSStatus DoEventControlValueFieldChanged(CCarbonEvent& event);
    virtual OSStatus DoEventControlAddedSubControl(CCarbonEvent& event);
    virtual OSStatus DoEventControlRemovingSubControl(CCarbonEvent& event);
    virtual OSStatus DoEventControlBoundsChanged(CCarbonEvent& event);
    virtual OSStatus DoEventControlVisibilityChanged(CCarbonEvent& event);
    virtual OSStatus DoEventControlTitleChanged(CCarbonEvent& event);
    virtual OSStatus DoEventControlOwningWindowChanged(CCarbonEvent& event);
    virtual OSStatus DoEventControlHiliteChanged(CCarbonEvent& event);
    virtual OSStatus DoEventControlEnabledStateChanged(CCarbonEvent& event);
    virtual OSStatus DoEventControlLayoutInfoChanged(CCarbonEvent& event);
    virtual OSStatus DoEventControlArbitraryMessage(CCarbonEvent& event);
    virtual OSStatus DoEventCommandProcess(CCarbonEvent& event);
    virtual OSStatus DoEventCommandUpdateStatus(CCarbonEvent& event);
    virtual OSStatus DoEventVolumeMounted(CCarbonEvent& event);
    virtual OSStatus DoEventVolumeUnmounted(CCarbonEvent& event);
    virtual OSStatus DoEventScrollableGetInfo(CCarbonEvent& event);
    virtual OSStatus DoEventScrollableScrollTo(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarGetDefaultIdentifiers(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarGetAllowedIdentifiers(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarCreateItemWithIdentifier(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarCreateItemFromDrag(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarItemAdded(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarItemRemoved(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarDisplayModeChanged(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarDisplaySizeChanged(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarLayoutChanged(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarBeginMultiChange(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarEndMultiChange(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarItemImageChanged(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarItemLabelChanged(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarItemHelpTextChanged(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarItemCommandIDChanged(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarItemGetPersistentData(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarItemCreateCustomView(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarItemEnabledStateChanged(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarItemPerformAction(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarItemWouldAcceptDrop(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarItemAcceptDrop(CCarbonEvent& event);
    virtual OSStatus DoEventToolbarItemSelectedStateChanged(CCarbonEvent& event);
    virtual OSStatus DoEventTextAccepted(CCarbonEvent& event);
    virtual OSStatus DoEventTextShouldChange(CCarbonEvent& event);
    virtual OSStatus DoEventTextDidChange(CCarbonEvent& event);
    virtual OSStatus DoEventHIObjectConstruct(CCarbonEvent& event);
    virtual OSStatus DoEventHIObjectInitialize(CCarbonEvent& event);
    virtual OSStatus DoEventHIObjectDestruct(CCarbonEvent& event);
    virtual OSStatus DoEventHIComboBoxListItemSelected(CCarbonEvent& event);
    virtual OSStatus DoEvenInkPoint(CCarbonEvent& event);
    virtual OSStatus DoEvenInkGesture(CCarbonEvent& event);
    virtual OSStatus DoEvenInkText(CCarbonEvent& event);

protected:
    OSStatus InstallHandler(EventTargetRef target, HandlerType type, EventTypeSpec const* events);

private:
    // One per running dispatch of this object, on the dispatching stack; the
    // destructor marks every one, so outer dispatches learn of it too.
    struct DispatchGuard {
        bool destroyed;
        DispatchGuard* outer; // weak: the enclosing dispatch
        EventHandlerCallRef outerCallRef;
    };

    using Operation = OSStatus (CCarbonEventHandler::*)(CCarbonEvent&);
    static Operation FindOperation(UInt32 eventClass, UInt32 eventKind);

    static EventHandlerUPP const mEventHandlerUPP;

    HandlerType mHandlerType = kHandlerNone;
    EventHandlerRef mHandlerRef = nullptr; // owns the installation
    CCarbonEventSpecList mEventList;
    DispatchGuard* mDispatchGuard = nullptr; // weak: innermost running dispatch
    EventHandlerCallRef mCallRef = nullptr; // borrowed for one dispatch
    CCarbonEventHandler* mTargetHandler = nullptr; // weak: its owner keeps the link current
};
