#pragma once

#include "foundation/ColourRGBA.h"
#include "platform/Platform.h"

class CCanvasView;

// What a hit test answers: the body, one of the eight grow boxes, or (never from a hit
// test) the area an object redraws in, its bounds grown by the grow-box margin.
enum ObjectHit : UInt32 {
    kObjectHitNone = 0,
    kObjectHitBody = 1,
    kObjectHitTopLeft = 2,
    kObjectHitTopMiddle = 3,
    kObjectHitTopRight = 4,
    kObjectHitRightMiddle = 5,
    kObjectHitLeftMiddle = 6,
    kObjectHitBottomLeft = 7,
    kObjectHitBottomMiddle = 8,
    kObjectHitBottomRight = 9,
    kObjectHitInvalidate = 10,
};

inline constexpr bool IsGrowBoxHit(ObjectHit hit) { return hit >= kObjectHitTopLeft && hit <= kObjectHitBottomRight; }

// Grow-box colours.
inline constexpr ColourRGBA kGrowBoxFill { 0.8f, 0.8f, 1.0f, 0.6f };
inline constexpr ColourRGBA kGrowBoxBorder { 0, 0, 0, 0.3f };
inline constexpr ColourRGBA kGrowBoxFrame { 0, 0, 0, 0.8f };

// One object of a canvas, in image coordinates: bounds (whose width and height go
// negative while a resize passes the opposite corner), attribute bits, visibility and
// selection, and the eight grow boxes. The canvas that lists it owns it; an object
// may also point at a canvas it is not listed in (a tool's preview). Main thread only.
class CCanvasObject {
public:
    enum : UInt32 {
        kAttributeSelectable = 1,
        kAttributeResizable = 2,
        kAttributeMovable = 4,
        kAttributeObjectCursor = 8, // the tool shows its object cursors over it
        kAttributesDefault = 15,
    };

    CCanvasObject() = default;
    CCanvasObject(CCanvasObject const&) = delete;
    CCanvasObject& operator=(CCanvasObject const&) = delete;
    virtual ~CCanvasObject();

    virtual void SetCanvas(CCanvasView* canvas);
    virtual bool IsVisible() const;
    // The first grow box (of a resizable object) or the body under the point; none outside.
    virtual ObjectHit IsHitBy(CGPoint const& point);
    virtual void Draw(CGContextRef context);
    virtual void DrawGrowHandles(CGContextRef context);
    virtual void ObjectSelected();
    virtual void ObjectDeselected();
    virtual void ObjectOpened();
    virtual void ObjectDragBegin();
    virtual void ObjectDragging();
    virtual void ObjectDragged(bool cancelled);
    virtual void ObjectResizeBegin();
    virtual void ObjectResizing();
    virtual void ObjectResized(bool cancelled);
    virtual void CanvasZoomed();
    // Boxes of four view pixels at any zoom, in image units.
    virtual CGRect GetGrowBoxBounds(ObjectHit hit) const;

    CCanvasView* GetCanvas() const { return mCanvas; }
    UInt32 GetAttributes() const { return mAttributes; }
    bool HasAttributes(UInt32 mask) const { return (mAttributes & mask) == mask; }
    void SetAttributes(UInt32 set, UInt32 clear);
    bool IsSelected() const { return mSelected; }
    void SetSelected(bool selected);
    void SetVisible(bool visible);
    CGRect GetBounds() const { return mBounds; }
    void SetBounds(CGRect const& bounds);
    // Redraws the object's area on its canvas.
    void SetNeedsDisplay(bool needsDisplay);

private:
    CCanvasView* mCanvas = nullptr; // weak: checked for life before use
    CGRect mBounds {};
    UInt32 mAttributes = kAttributesDefault;
    bool mVisible = true;
    bool mSelected = false;
};
