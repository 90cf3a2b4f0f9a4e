#include "bindings/Source/Core/CBString.h"
#include "docwindow/CTool.h"
#include "docwindow/CViewMap.h"

#include "devices/CDeviceManager.h"
#include "docwindow/CViewOverlay.h"
#include "framework/CCarbonEvent.h"
#include "model/CMapObject.h"

#include <algorithm>

namespace {

constexpr UInt32 kKeySpace = 49;

// Tool keys: letter key codes (US positions) and the tool commands they send.
struct ToolKey {
    UInt32 keyCode;
    UInt32 command;
};
constexpr ToolKey kToolKeys[] = {
    { 4, 'dtha' }, // H: hand
    { 6, 'dtzo' }, // Z: zoom
    { 8, 'dtci' }, // C: circle
    { 13, 'dway' }, // W: waypoint
    { 15, 'drot' }, // R: route
    { 17, 'dtre' }, // T: rectangle
    { 32, 'dtrl' }, // U: ruler
    { 37, 'dtli' }, // L: line
    { 45, 'dtno' }, // N: note
    { kKeySpace, 'dtha' }, // Space: the hand while held
};

UInt32 ToolCommandFor(UInt32 keyCode)
{
    for (ToolKey const& key : kToolKeys)
        if (key.keyCode == keyCode)
            return key.command;
    return 0;
}

} // namespace

OSStatus CViewMap::SendToolCommand(UInt32 command)
{
    WindowRef window = GetWindowRef();
    if (!window)
        return eventNotHandledErr;
    CCarbonEvent event = CCarbonEvent::CreateWithHICommandID(command);
    event.SendToWindow(window);
    return noErr;
}

// Tool keys choose tools; with Command they are left alone (a menu key that matched
// nothing must not switch the tool). Every other key is the canvas's.
OSStatus CViewMap::DoEventRawKeyDown(CCarbonEvent& event)
{
    if (!mDocument)
        return eventNotHandledErr;
    UInt32 const command = ToolCommandFor(event.GetKeyCode());
    if (command == 0 || (event.GetKeyModifiers() & cmdKey))
        return CCanvasView::DoEventRawKeyDown(event);
    // A key typed into another control of the window is that control's.
    if (!IsKeyForCanvas(event))
        return eventNotHandledErr;
    // The tool to go back to is the one before the first Space, not the hand it chose.
    if (event.GetKeyCode() == kKeySpace && !mTemporaryHand) {
        mTemporaryHand = true;
        mSavedTool = mDocument->GetTool();
        if (auto* tool = dynamic_cast<CTool*>(GetTool()); tool && tool->GetCode() != kToolHand)
            tool->SuspendForTemporaryTool();
    }
    return SendToolCommand(command);
}

// Only a Space that gave the temporary hand gives the tool back: a Space typed into a text
// field of the window changes nothing.
OSStatus CViewMap::DoEventRawKeyUp(CCarbonEvent& event)
{
    if (event.GetKeyCode() != kKeySpace)
        return CCanvasView::DoEventRawKeyUp(event);
    if (mTemporaryHand) {
        mTemporaryHand = false;
        if (mDocument)
            mDocument->SetTool(mSavedTool);
    }
    return eventNotHandledErr;
}

// A wheel zoom ends when Command is let go; a temporary hand becomes the zoom tool while
// Command or Option is held.
OSStatus CViewMap::DoEventRawKeyModifiersChanged(CCarbonEvent& event)
{
    if (mWheelZoom) {
        EndWheelZoom(true);
    } else if (mTemporaryHand && mDocument) {
        UInt32 const modifiers = event.GetKeyModifiers();
        bool const zoom = (modifiers & (cmdKey | optionKey | rightOptionKey)) != 0;
        mDocument->SetTool(zoom ? kToolZoom : kToolHand);
    }
    return CCanvasView::DoEventRawKeyModifiersChanged(event);
}

// Command and the wheel choose a level; it is applied when Command is let go. Without
// Command the wheel scrolls the map as usual.
OSStatus CViewMap::DoEventMouseWheelMoved(CCarbonEvent& event)
{
    UInt16 axis = kEventMouseWheelAxisY;
    event.GetParameter(kEventParamMouseWheelAxis, typeMouseWheelAxis, sizeof axis, &axis);
    if (!(event.GetKeyModifiers() & cmdKey) || axis != kEventMouseWheelAxisY)
        return eventNotHandledErr;
    if (!mWheelZoom) {
        mWheelZoom = true;
        mWheelLevel = mZoomLevel;
        if (mOverlay) {
            mOverlay->SetZoomLevel(mWheelLevel);
            mOverlay->SetZoomVisible(true);
        }
    } else {
        // Signed: a level below 0 is clamped, not wrapped round.
        long const level = long(mWheelLevel) + long(event.GetMouseWheelDelta());
        mWheelLevel = std::clamp<long>(level, kZoomMinimum, kZoomMaximum);
        if (mOverlay)
            mOverlay->SetZoomLevel(mWheelLevel);
    }
    return noErr;
}

void CViewMap::EndWheelZoom(bool apply)
{
    mWheelZoom = false;
    if (mOverlay)
        mOverlay->SetZoomVisible(false);
    if (apply)
        SetMapZoom(kZoomFactor, nullptr, mWheelLevel);
}

// The coordinate under the mouse, for the windows that show it.
OSStatus CViewMap::DoEventControlTrackingAreaWithin(CCarbonEvent& event)
{
    CGSize const image = GetImageSize();
    if (image.width != 0 && image.height != 0) {
        CGPoint point = ViewToImage(event.GetMouseLocation());
        point.x = std::clamp<CGFloat>(point.x, 0, image.width);
        point.y = std::clamp<CGFloat>(point.y, 0, image.height);
        CCoordinate const coordinate = Unproject(point);
        BroadcastMessage(kMsgMouseMoved, const_cast<CCoordinate*>(&coordinate));
    }
    return CCanvasView::DoEventControlTrackingAreaWithin(event);
}

OSStatus CViewMap::DoEventControlBoundsChanged(CCarbonEvent&)
{
    BroadcastMessage(kMsgSizeChanged, nullptr);
    return eventNotHandledErr;
}

void CViewMap::DoMessage(UInt32 message, void* parameter)
{
    switch (message) {
    case kMsgBroadcasterDied:
        if (parameter == mDeviceManager) {
            mDeviceManager = nullptr;
            mDevices.clear();
            DevicesChanged();
        }
        // The document is going: nothing may reach it afterwards.
        if (parameter == mDocumentBroadcaster) {
            RemoveTwins();
            mDocument = nullptr;
            mDocumentBroadcaster = nullptr;
            mOverlay = nullptr;
            mTemporaryHand = false;
        }
        break;
    case kMsgObjectAdded:
    case kMsgObjectModified:
    case kMsgObjectRemoved: {
        auto* object = static_cast<CMapObject*>(parameter);
        // The crop's shade covers the whole view.
        if (object && object->IsType(kMapObjectCrop))
            SetNeedsDisplay(true, nullptr);
        if (message == kMsgObjectAdded)
            ObjectAdded(object);
        else if (message == kMsgObjectModified)
            ObjectModified(object);
        else
            ObjectRemoved(object);
        break;
    }
    case kMsgObjectsModified:
        ObjectsModified();
        break;
    case kMsgObjectsReset:
        ObjectsReset();
        break;
    case kMsgSelectionChanged:
        SelectionChanged();
        break;
    case kMsgDeviceAdded:
        DevicesChanged();
        SetNeedsDisplay(true, nullptr);
        break;
    case kMsgDeviceRemoved:
        // Its marker goes now, not at the next tick.
        DevicesChanged();
        UpdateDevices();
        SetNeedsDisplay(true, nullptr);
        break;
    default:
        break;
    }
}

void CViewMap::ValueChanged(CBKeyValueStore const*, CBString const& keyPath)
{
    if (keyPath == CBString("ShowGrid"))
        SetNeedsDisplay(true, nullptr);
    else if (keyPath == CBString("ResizeOnZoom"))
        ApplyResizeOnZoom();
}

void CViewMap::DoTimer() { UpdateDevices(); }

// The markers are refreshed only while some receiver is connected: an idle program wakes for
// nothing.
void CViewMap::DevicesChanged()
{
    bool const connected = mDeviceManager && !mDeviceManager->GetDevices().empty();
    if (connected && !IsInstalled())
        InstallTimer(kDeviceInterval, kDeviceInterval);
    else if (!connected && IsInstalled())
        RemoveTimer();
}
