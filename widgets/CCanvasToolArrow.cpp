#include "widgets/CCanvasToolArrow.h"

#include "widgets/CCanvasView.h"

#include <algorithm>

void CCanvasToolArrow::DoMouseDown(CCarbonEvent const& event)
{
    CCanvasTool::DoMouseDown(event);
    CCanvasView* canvas = GetCanvas();
    if (!mInteracts || !canvas)
        return;
    CGPoint const mouse = event.GetMouseLocation();
    CCanvasObject* object = canvas->FindObject(mouse, CCanvasObject::kAttributeSelectable, true);
    ObjectHit hit = kObjectHitNone;
    if (object) {
        hit = object->IsHitBy(mouse);
        if (IsGrowBoxHit(hit))
            object->ObjectResizeBegin();
    }
    if (!object || hit == kObjectHitNone || hit == kObjectHitBody)
        ObjectDown(object, event);
    SetHitResult(object, &mouse, hit);
}

void CCanvasToolArrow::ObjectDown(CCanvasObject* object, CCarbonEvent const& event)
{
    CCanvasView* canvas = GetCanvas();
    bool const selectable = object && object->HasAttributes(CCanvasObject::kAttributeSelectable);
    if (event.GetKeyModifiers() & kToggleModifiers) {
        if (selectable) {
            object->SetSelected(!object->IsSelected());
            canvas->SetObjectZOrder(CCanvasView::kZOrderAbove, object, nullptr);
        }
        return;
    }
    if (!object) {
        canvas->SelectObjects(0);
        return;
    }
    if (!selectable)
        return;
    if (!object->IsSelected()) {
        canvas->SelectObjects(0);
        object->SetSelected(true);
    }
    canvas->SetObjectZOrder(CCanvasView::kZOrderAbove, object, nullptr);
}

void CCanvasToolArrow::SetHitResult(CCanvasObject* object, CGPoint const* point, ObjectHit hit)
{
    mDragStarted = false;
    mHitObject = object;
    mHitResult = hit;
    mMoving.clear();
    mHitBounds = {};
    CCanvasView* canvas = GetCanvas();
    if (!object || !canvas)
        return;
    mHitBounds = object->GetBounds();
    CGPoint const at = point ? *point : CGPoint {};
    for (CCanvasObject* moving :
        canvas->GetObjects(CCanvasView::FilterIsVisibleAndSelected, CCanvasObject::kAttributeMovable)) {
        CGRect const bounds = moving->GetBounds();
        mMoving.push_back({ moving, bounds, { at.x - bounds.origin.x, at.y - bounds.origin.y } });
    }
}

void CCanvasToolArrow::DoMouseDragged(CCarbonEvent const& event)
{
    CCanvasTool::DoMouseDragged(event);
    if (!mInteracts)
        return;
    if (mHitResult == kObjectHitBody)
        ObjectDragged(event);
    else if (IsGrowBoxHit(mHitResult))
        GrowDragged(event);
}

// Objects the canvas let go of during the press (a key may remove them) are left alone.
bool CCanvasToolArrow::IsListed(CCanvasObject const* object) const
{
    CCanvasView* canvas = GetCanvas();
    return object && canvas && canvas->Contains(object);
}

void CCanvasToolArrow::ForgetUnlisted()
{
    if (mHitObject && !IsListed(mHitObject))
        mHitObject = nullptr;
    std::erase_if(mMoving, [this](Moving const& moving) { return !IsListed(moving.object); });
}

void CCanvasToolArrow::ObjectDragged(CCarbonEvent const& event)
{
    ForgetUnlisted();
    if (!mHitObject || !mHitObject->HasAttributes(CCanvasObject::kAttributeMovable))
        return;
    if (!mDragStarted) {
        mDragStarted = true;
        for (Moving const& moving : mMoving)
            moving.object->ObjectDragBegin();
    }
    CGPoint const mouse = event.GetMouseLocation();
    for (Moving const& moving : mMoving) {
        moving.object->SetBounds({ { mouse.x - moving.grab.x, mouse.y - moving.grab.y }, moving.bounds.size });
        moving.object->ObjectDragging();
    }
}

// The edges under the grow box follow the mouse, the opposite ones stay; the size may go
// negative until the release.
void CCanvasToolArrow::GrowDragged(CCarbonEvent const& event)
{
    ForgetUnlisted();
    if (!mHitObject)
        return;
    CGPoint const m = event.GetMouseLocation();
    CGRect b = mHitObject->GetBounds();
    double const right = b.origin.x + b.size.width, bottom = b.origin.y + b.size.height;
    bool const left = mHitResult == kObjectHitTopLeft || mHitResult == kObjectHitLeftMiddle
        || mHitResult == kObjectHitBottomLeft;
    bool const rightEdge = mHitResult == kObjectHitTopRight || mHitResult == kObjectHitRightMiddle
        || mHitResult == kObjectHitBottomRight;
    bool const top = mHitResult == kObjectHitTopLeft || mHitResult == kObjectHitTopMiddle
        || mHitResult == kObjectHitTopRight;
    bool const bottomEdge = mHitResult == kObjectHitBottomLeft || mHitResult == kObjectHitBottomMiddle
        || mHitResult == kObjectHitBottomRight;
    if (left) {
        b.origin.x = m.x;
        b.size.width = right - m.x;
    } else if (rightEdge) {
        b.size.width = m.x - b.origin.x;
    }
    if (top) {
        b.origin.y = m.y;
        b.size.height = bottom - m.y;
    } else if (bottomEdge) {
        b.size.height = m.y - b.origin.y;
    }
    mHitObject->SetBounds(b);
    mHitObject->ObjectResizing();
}

void CCanvasToolArrow::DoMouseUp(CCarbonEvent const& event)
{
    CCanvasTool::DoMouseUp(event);
    if (!mInteracts)
        return;
    ForgetUnlisted();
    if (mHitResult == kObjectHitBody)
        ObjectUp();
    else if (IsGrowBoxHit(mHitResult))
        GrowUp();
    if (event.GetMouseClickCount() == 2 && mHitObject)
        mHitObject->ObjectOpened();
    SetHitResult(nullptr, nullptr, kObjectHitNone);
}

void CCanvasToolArrow::ObjectUp()
{
    if (!mDragStarted)
        return;
    for (Moving const& moving : mMoving)
        moving.object->ObjectDragged(false);
}

void CCanvasToolArrow::GrowUp()
{
    if (!mHitObject)
        return;
    mHitObject->SetBounds(CGRectStandardize(mHitObject->GetBounds()));
    mHitObject->ObjectResized(false);
}

void CCanvasToolArrow::DoCancelTrack(CCarbonEvent const& event)
{
    CCanvasTool::DoCancelTrack(event);
    if (!mInteracts)
        return;
    ForgetUnlisted();
    if (mHitResult == kObjectHitBody)
        ObjectCancel();
    else if (IsGrowBoxHit(mHitResult))
        GrowCancel();
    SetHitResult(nullptr, nullptr, kObjectHitNone);
}

void CCanvasToolArrow::ObjectCancel()
{
    if (!mDragStarted)
        return;
    for (Moving const& moving : mMoving) {
        moving.object->SetBounds(moving.bounds);
        moving.object->ObjectDragged(true);
    }
}

void CCanvasToolArrow::GrowCancel()
{
    if (!mHitObject)
        return;
    mHitObject->SetBounds(mHitBounds);
    mHitObject->ObjectResized(true);
}
