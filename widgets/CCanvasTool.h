#pragma once

#include "framework/CCarbonEvent.h"
#include "toolbox/MouseTracking.h"

class CCanvasView;

// What a canvas hands all interaction to. Every event it gets is the canvas's
// tool event ('Pcan', 'Pcao'), with the mouse in image coordinates. The base keeps
// the drag (press point and offset), redraws the canvas on each step when asked,
// and picks the cursor: the object pair over an object, else the canvas pair.
// The owner of the tool keeps it alive while a canvas uses it. Main thread only.
class CCanvasTool {
public:
    CCanvasTool() = default;
    CCanvasTool(CCanvasTool const&) = delete;
    CCanvasTool& operator=(CCanvasTool const&) = delete;
    virtual ~CCanvasTool();

    virtual void ToolSelected();
    virtual void ToolDeselected();
    virtual void DoMouseDown(CCarbonEvent const& event);
    virtual void DoMouseUp(CCarbonEvent const& event);
    virtual void DoMouseEntered(CCarbonEvent const& event);
    virtual void DoMouseExited(CCarbonEvent const& event);
    virtual void DoMouseDragged(CCarbonEvent const& event);
    virtual void DoMouseMoved(CCarbonEvent const& event);
    virtual void DoCancelTrack(CCarbonEvent const& event);
    virtual void DoKeyModifiers(CCarbonEvent const& event);
    // Not handled by default, so the key goes on.
    virtual OSStatus DoKeyDown(CCarbonEvent const& event);
    // phase: a MouseTrackingResult; point in image coordinates.
    virtual void UpdateCursor(UInt16 phase, CGPoint const& point);
    virtual void Draw(CGContextRef context);

    CCanvasView* GetCanvas() const { return mCanvas; }
    void SetCanvas(CCanvasView* canvas) { mCanvas = canvas; }
    // Cursor ids as CCursor::SetCursor takes them: button up, button down.
    void SetCanvasCursors(UInt32 normal, UInt32 pressed);
    void SetObjectCursors(UInt32 normal, UInt32 pressed);
    // Origin the press point, size the signed offset of the mouse from it.
    CGRect GetDragBounds() const { return { mDragStart, { mDragDelta.x, mDragDelta.y } }; }
    // Whether each press, drag step, release and cancel redraws the whole canvas.
    void SetDragInvalidate(bool invalidate) { mDragInvalidate = invalidate; }
    bool IsDragging() const { return mDragging; }

private:
    void InvalidateForDrag();

    CCanvasView* mCanvas = nullptr; // weak: checked for life before use
    CGPoint mDragStart {};
    CGPoint mDragDelta {};
    bool mDragging = false;
    bool mDragInvalidate = true;
    UInt32 mCanvasCursor = 0;
    UInt32 mCanvasCursorPressed = 0;
    UInt32 mObjectCursor = 0;
    UInt32 mObjectCursorPressed = 0;
};
