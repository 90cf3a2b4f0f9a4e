#pragma once

// What the circle, rectangle and crop tools share: a drag draws the shape's
// preview from the press point to the pointer, and the release makes the shape
// of the dragged rectangle unless it has no width or no height.

#include "docwindow/CTool.h"
#include "docwindow/CViewMap.h"
#include "framework/CCarbonEvent.h"
#include "render/CGraphicsUtilities.h"

template <typename MapShape, typename Twin> class CToolShape : public CTool {
public:
    explicit CToolShape(TWTool code)
        : CTool(code, false)
    {
        mPreview.SetObject(&mPreviewObject);
        SetCanvasCursors(kThemeCrossCursor, kThemeCrossCursor);
        SetObjectCursors(kThemeCrossCursor, kThemeCrossCursor);
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
    // The drag is read before the base clears it.
    void DoMouseUp(CCarbonEvent const& event) override
    {
        CGRect rect = GetDragBounds();
        CGraphicsUtilities::NormaliseRect(rect, false);
        CViewMap* view = GetMapView();
        if (view && !CGraphicsUtilities::IsEmpty(rect)) {
            auto* shape = new MapShape;
            shape->SetBounds(view->Unproject(rect));
            Create(event, shape);
        }
        CTool::DoMouseUp(event);
    }
    void Draw(CGContextRef context) override
    {
        if (IsDragging() && mPreview.GetCanvas())
            mPreview.Draw(context);
    }

protected:
    virtual void Create(CCarbonEvent const& event, MapShape* shape) { CreateObject(event, shape, true, true); }

    // Set on input, not while drawing: a preview changed during a pass would ask for another.
    void UpdatePreview()
    {
        mPreviewObject.SetStyle(GetStyle(mPreviewObject.GetType()));
        if (mPreview.GetCanvas() != GetCanvas())
            mPreview.SetCanvas(GetCanvas());
        mPreview.SetBounds(GetDragBounds());
    }

    MapShape mPreviewObject; // never in a document
    Twin mPreview; // never listed on the canvas
};
