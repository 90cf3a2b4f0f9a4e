#pragma once

// What the tools that make one object with one drag share: the object's preview,
// drawn in the default style, follows the pointer while the button is down. The
// subclass places the preview and makes the object on release.

#include "docwindow/CTool.h"
#include "framework/CCarbonEvent.h"

template <typename MapObject, typename Twin> class CToolPreview : public CTool {
public:
    // The cursors are the same over the canvas and over its objects.
    CToolPreview(TWTool code, UInt32 cursor, UInt32 pressedCursor)
        : CTool(code, false)
    {
        mPreview.SetObject(&mPreviewObject);
        SetCanvasCursors(cursor, pressedCursor);
        SetObjectCursors(cursor, pressedCursor);
    }

    void DoMouseDown(CCarbonEvent const& event) override
    {
        CTool::DoMouseDown(event);
        UpdatePreview();
    }
    void DoMouseDragged(CCarbonEvent const& event) override
    {
        CTool::DoMouseDragged(event);
        UpdatePreview();
    }
    void Draw(CGContextRef context) override
    {
        if (IsDragging() && mPreview.GetCanvas())
            mPreview.Draw(context);
    }

protected:
    // Set on input, not while drawing: a preview changed during a pass would ask for another.
    virtual void UpdatePreview() = 0;

    // Puts the preview on the tool's current canvas.
    void FollowCanvas()
    {
        if (mPreview.GetCanvas() != GetCanvas())
            mPreview.SetCanvas(GetCanvas());
    }

    MapObject mPreviewObject; // never in a document
    Twin mPreview; // never listed on the canvas
};
