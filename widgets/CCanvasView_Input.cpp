#include "toolbox/HIViewCalls.h"
#include "toolbox/WindowCalls.h"
#include "widgets/CCanvasView.h"
#include "widgets/CHIViewUtilities.h"
#include "widgets/CMouseUtilities.h"

#include <cmath>

namespace {

constexpr UInt32 kKeyReturn = 36, kKeyEnter = 52, kKeyDelete = 51, kKeyForwardDelete = 117;
constexpr double kHelpOffset = 5; // [px] the tag's corner from the pointer

// Copies a parameter the incoming event has, of whatever size its type gives it.
template <typename T> void CopyParameter(CCarbonEvent const& from, CCarbonEvent& to, EventParamName name,
    EventParamType type)
{
    T value {};
    if (from.GetParameter(name, type, sizeof value, &value) == noErr)
        to.SetParameter(name, type, sizeof value, &value);
}

} // namespace

void CCanvasView::SetTool(CCanvasTool* tool)
{
    // A tool changed with the button down ends its gesture as Escape would, and takes what it
    // drew with it; the rest of the press is no other tool's.
    if (mTool && mTool == mPressTool && mTool != tool) {
        mPressTool = nullptr;
        CCarbonEvent cancel(kEventClassCanvas, kEventCanvasTool);
        cancel.SetMouseLocation(ViewToImage(CMouseUtilities::GetViewMouse(this)));
        mTool->DoCancelTrack(cancel);
        SetNeedsDisplay(true, nullptr);
    }
    if (mTool)
        mTool->ToolDeselected();
    // One tool's tag never stays for the next.
    if (mTool != tool)
        EndToolHelp();
    mTool = tool;
    if (!tool)
        return;
    tool->SetCanvas(this);
    tool->ToolSelected();
    // Only under the pointer: a tool chosen from a toolbar leaves the toolbar's cursor alone.
    if (IsVisible() && mMouseInside)
        UpdateCursor(kMouseTrackingMouseMoved, CMouseUtilities::GetViewMouse(this));
}

void CCanvasView::ToolDestroyed(CCanvasTool* tool)
{
    if (mTool == tool)
        mTool = nullptr;
    if (mPressTool == tool)
        mPressTool = nullptr;
}

void CCanvasView::SetToolHelp(CString const& help)
{
    mToolHelp = help;
    bool const dragging = mTool && mTool->IsDragging();
    if (mMouseInside || dragging)
        UpdateCursor(dragging ? kMouseTrackingMouseDragged : kMouseTrackingMouseMoved,
            CMouseUtilities::GetViewMouse(this));
}

void CCanvasView::EndToolHelp()
{
    mToolHelp = CString();
    if (mToolTagShown) {
        HMHideTag();
        mToolTagShown = false;
    }
}

void CCanvasView::UpdateCursor(UInt16 phase, CGPoint const& viewPoint)
{
    UpdateToolHelp(phase, viewPoint);
    if (mTool)
        mTool->UpdateCursor(phase, ViewToImage(viewPoint));
}

// The tag follows the pointer, its corner a little above and to the right.
void CCanvasView::UpdateToolHelp(UInt16 phase, CGPoint const& viewPoint)
{
    if (phase == kMouseTrackingMouseExited) {
        HMHideTag();
        mToolTagShown = false;
        return;
    }
    bool const follows = phase == kMouseTrackingMouseEntered || phase == kMouseTrackingMouseDragged
        || phase == kMouseTrackingMouseMoved;
    // A tool that clears its text takes its tag away at once, even while the button is down.
    if (follows && mToolHelp.IsEmpty() && mToolTagShown) {
        HMHideTag();
        mToolTagShown = false;
    }
    if (!follows || mToolHelp.IsEmpty())
        return;
    CGPoint global = viewPoint;
    CHIViewUtilities::ViewToGlobal(GetHIViewRef(), global);
    HMHelpContentRec help {};
    help.version = kMacHelpVersion;
    help.absHotRect.top = static_cast<SInt16>(std::trunc(global.y - kHelpOffset));
    help.absHotRect.left = static_cast<SInt16>(std::trunc(global.x + kHelpOffset));
    help.absHotRect.bottom = static_cast<SInt16>(help.absHotRect.top + 1);
    help.absHotRect.right = static_cast<SInt16>(help.absHotRect.left + 1);
    help.tagSide = kHMOutsideTopLeftAligned;
    help.content[kHMMinimumContentIndex].contentType = kHMCFStringContent;
    help.content[kHMMinimumContentIndex].u.tagCFString = mToolHelp.GetCFString();
    help.content[kHMMaximumContentIndex].contentType = kHMNoContent;
    HMDisplayTag(&help);
    mToolTagShown = true;
}

CCarbonEvent CCanvasView::GetToolEvent(CCarbonEvent const& event, CGPoint const& viewPoint)
{
    CCarbonEvent tool(kEventClassCanvas, kEventCanvasTool);
    tool.SetMouseLocation(ViewToImage(viewPoint));
    CopyParameter<HIPoint>(event, tool, kEventParamMouseDelta, typeHIPoint);
    CopyParameter<EventMouseButton>(event, tool, kEventParamMouseButton, typeMouseButton);
    CopyParameter<UInt32>(event, tool, kEventParamClickCount, typeUInt32);
    CopyParameter<UInt32>(event, tool, kEventParamKeyModifiers, typeUInt32);
    CopyParameter<UInt32>(event, tool, kEventParamKeyCode, typeUInt32);
    CopyParameter<char>(event, tool, kEventParamKeyMacCharCodes, typeChar);
    return tool;
}

bool CCanvasView::TrackMouse(CCarbonEvent& event, CGPoint const& point, MouseTrackingResult phase)
{
    if (phase == kMouseTrackingMouseDown)
        mPressTool = mTool;
    // A press whose tool was changed on the way goes to nobody.
    bool const pressed = phase == kMouseTrackingMouseUp || phase == kMouseTrackingMouseDragged
        || phase == kMouseTrackingKeyModifiersChanged || phase == kMouseTrackingUserCancelled;
    bool const toTool = mTool && (!pressed || mTool == mPressTool);
    if (phase == kMouseTrackingMouseUp || phase == kMouseTrackingUserCancelled)
        mPressTool = nullptr;
    if (toTool) {
        CCarbonEvent const tool = GetToolEvent(event, point);
        switch (phase) {
        case kMouseTrackingMouseDown:
            mTool->DoMouseDown(tool);
            break;
        case kMouseTrackingMouseUp:
            mTool->DoMouseUp(tool);
            break;
        case kMouseTrackingMouseDragged:
            mTool->DoMouseDragged(tool);
            break;
        case kMouseTrackingKeyModifiersChanged:
            mTool->DoKeyModifiers(tool);
            break;
        case kMouseTrackingUserCancelled:
            // A cancelled gesture takes its tag with it, whatever the tool left.
            mTool->DoCancelTrack(tool);
            EndToolHelp();
            break;
        case kMouseTrackingMouseMoved:
            mTool->DoMouseMoved(tool);
            break;
        default:
            break;
        }
    }
    UpdateCursor(phase, point);
    return CScrollableView::TrackMouse(event, point, phase);
}

// A key reaches the canvas twice when it has the focus and nobody takes the key: as
// the focused view, then on the application target. The second time it is left alone,
// and on the application target the canvas takes keys only when no control has the focus
// and no sheet is open over its window.
bool CCanvasView::IsKeyForCanvas(CCarbonEvent const& event)
{
    HIViewRef view = GetHIViewRef();
    WindowRef window = GetWindowRef();
    if (!window || !IsControlActive(view))
        return false;
    // While a sheet is over the window every key is the sheet's: Return there is its OK, and
    // Delete in an empty field must not remove what is chosen on the canvas.
    if (HIWindowIsDocumentModalTarget(window, nullptr))
        return false;
    ControlRef focus = nullptr;
    GetKeyboardFocus(window, &focus);
    if (!focus)
        return true;
    if (focus != view || mLastViewKey.GetEvent() == event.GetEvent())
        return false;
    mLastViewKey = event;
    return true;
}

OSStatus CCanvasView::DoEventRawKeyDown(CCarbonEvent& event)
{
    if (!IsKeyForCanvas(event))
        return eventNotHandledErr;
    switch (event.GetKeyCode()) {
    case kKeyReturn:
    case kKeyEnter:
        OpenSelection();
        return noErr;
    case kKeyDelete:
    case kKeyForwardDelete:
        RemoveSelection();
        return noErr;
    default:
        break;
    }
    OSStatus status = eventNotHandledErr;
    if (mTool)
        status = mTool->DoKeyDown(GetToolEvent(event, CMouseUtilities::GetViewMouse(this)));
    // What the tool leaves scrolls the enclosing scroll view, as a repeat of the key does.
    return status == eventNotHandledErr ? NavigateScrollView(event) : status;
}

OSStatus CCanvasView::DoEventRawKeyModifiersChanged(CCarbonEvent& event)
{
    CGPoint const mouse = CMouseUtilities::GetViewMouse(this);
    if (mTool)
        mTool->DoKeyModifiers(GetToolEvent(event, mouse));
    if (mMouseInside)
        UpdateCursor(kMouseTrackingKeyModifiersChanged, mouse);
    return eventNotHandledErr;
}

OSStatus CCanvasView::DoEventControlTrackingAreaEntered(CCarbonEvent& event)
{
    OSStatus const status = CScrollableView::DoEventControlTrackingAreaEntered(event);
    CGPoint const point = event.GetMouseLocation();
    if (mTool)
        mTool->DoMouseEntered(GetToolEvent(event, point));
    UpdateCursor(kMouseTrackingMouseEntered, point);
    return status;
}

OSStatus CCanvasView::DoEventControlTrackingAreaExited(CCarbonEvent& event)
{
    OSStatus const status = CScrollableView::DoEventControlTrackingAreaExited(event);
    CGPoint const point = event.GetMouseLocation();
    if (mTool)
        mTool->DoMouseExited(GetToolEvent(event, point));
    UpdateCursor(kMouseTrackingMouseExited, point);
    return status;
}

OSStatus CCanvasView::DoEventControlTrackingAreaWithin(CCarbonEvent& event)
{
    CGPoint const point = event.GetMouseLocation();
    if (mTool)
        mTool->DoMouseMoved(GetToolEvent(event, point));
    UpdateCursor(kMouseTrackingMouseMoved, point);
    return eventNotHandledErr;
}
