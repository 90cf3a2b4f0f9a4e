#pragma once

// What the circle, rectangle and crop tools share: a drag draws the shape's
// preview from the press point to the pointer, and the release makes the shape
// of the dragged rectangle unless it has no width or no height.

#include "docwindow/CToolPreview.h"
#include "docwindow/CViewMap.h"
#include "render/CGraphicsUtilities.h"

template <typename MapShape, typename Twin> class CToolShape : public CToolPreview<MapShape, Twin> {
public:
    using Base = CToolPreview<MapShape, Twin>;
    using Base::GetMapView;

    explicit CToolShape(TWTool code)
        : Base(code, kThemeCrossCursor, kThemeCrossCursor)
    {
    }

    // The drag is read before the base clears it.
    void DoMouseUp(CCarbonEvent const& event) override
    {
        CGRect rect = this->GetDragBounds();
        CGraphicsUtilities::NormaliseRect(rect, false);
        CViewMap* view = GetMapView();
        if (view && !CGraphicsUtilities::IsEmpty(rect)) {
            auto* shape = new MapShape;
            shape->SetBounds(view->Unproject(rect));
            Create(event, shape);
        }
        CTool::DoMouseUp(event);
    }

protected:
    virtual void Create(CCarbonEvent const& event, MapShape* shape) { this->CreateObject(event, shape, true, true); }

    void UpdatePreview() override
    {
        this->mPreviewObject.SetStyle(CTool::GetStyle(this->mPreviewObject.GetType()));
        this->FollowCanvas();
        this->mPreview.SetBounds(this->GetDragBounds());
    }
};
