#include "widgets/CCanvasTool.h"

#include "framework/CCursor.h"
#include "widgets/CCanvasView.h"

CCanvasTool::~CCanvasTool()
{
    if (mCanvas && CCanvasView::IsLive(mCanvas))
        mCanvas->ToolDestroyed(this);
}

void CCanvasTool::ToolSelected() { }
void CCanvasTool::ToolDeselected() { }

void CCanvasTool::DoMouseDown(CCarbonEvent const& event)
{
    mDragging = true;
    mDragStart = event.GetMouseLocation();
    mDragDelta = {};
    InvalidateForDrag();
}

void CCanvasTool::DoMouseUp(CCarbonEvent const&)
{
    mDragStart = mDragDelta = {};
    mDragging = false;
    InvalidateForDrag();
}

void CCanvasTool::DoMouseEntered(CCarbonEvent const&) { }
void CCanvasTool::DoMouseExited(CCarbonEvent const&) { }

void CCanvasTool::DoMouseDragged(CCarbonEvent const& event)
{
    CGPoint const mouse = event.GetMouseLocation();
    mDragDelta = { mouse.x - mDragStart.x, mouse.y - mDragStart.y };
    InvalidateForDrag();
}

void CCanvasTool::DoMouseMoved(CCarbonEvent const&) { }

void CCanvasTool::DoCancelTrack(CCarbonEvent const& event) { CCanvasTool::DoMouseUp(event); }

void CCanvasTool::DoKeyModifiers(CCarbonEvent const&) { }

OSStatus CCanvasTool::DoKeyDown(CCarbonEvent const&) { return eventNotHandledErr; }

void CCanvasTool::UpdateCursor(UInt16 phase, CGPoint const& point)
{
    static CCursor sCursor;
    if (!mCanvas)
        return;
    if (phase == kMouseTrackingMouseExited) {
        sCursor.SetCursor(kThemeArrowCursor);
        return;
    }
    bool const overObject = mCanvas->FindObject(point, CCanvasObject::kAttributeObjectCursor, true) != nullptr;
    bool const pressed = GetCurrentEventButtonState() != 0;
    UInt32 const normal = overObject ? mObjectCursor : mCanvasCursor;
    UInt32 const down = overObject ? mObjectCursorPressed : mCanvasCursorPressed;
    sCursor.SetCursor(pressed ? down : normal);
}

void CCanvasTool::Draw(CGContextRef) { }

void CCanvasTool::SetCanvasCursors(UInt32 normal, UInt32 pressed)
{
    mCanvasCursor = normal;
    mCanvasCursorPressed = pressed;
}

void CCanvasTool::SetObjectCursors(UInt32 normal, UInt32 pressed)
{
    mObjectCursor = normal;
    mObjectCursorPressed = pressed;
}

void CCanvasTool::InvalidateForDrag()
{
    if (mDragInvalidate && mCanvas)
        mCanvas->SetNeedsDisplay(true, nullptr);
}
