#pragma once

#include "widgets/CCanvasObject.h"
#include "widgets/CCanvasTool.h"

#include <vector>

// The selection tool: a click selects (Shift or Command toggles) and brings to the
// top, a drag moves every selected movable object together, a drag on a grow box
// resizes (past the opposite corner too, normalised on release), a double click
// opens, and a cancelled track puts every moved or resized object back. With
// interaction off only the base's drag bookkeeping runs. Main thread only.
class CCanvasToolArrow : public CCanvasTool {
public:
    static constexpr UInt32 kToggleModifiers = 0x2300; // Command, Shift, right Shift

    void DoMouseDown(CCarbonEvent const& event) override;
    void DoMouseUp(CCarbonEvent const& event) override;
    void DoMouseDragged(CCarbonEvent const& event) override;
    void DoCancelTrack(CCarbonEvent const& event) override;

    bool CanInteract() const { return mInteracts; }
    void SetInteracts(bool interacts) { mInteracts = interacts; }
    CCanvasObject* GetHitObject() const { return mHitObject; }
    ObjectHit GetHitResult() const { return mHitResult; }

protected:
    // Stores the press on the object (null: none) and the set of objects a move takes along.
    void SetHitResult(CCanvasObject* object, CGPoint const* point, ObjectHit hit);
    void ObjectDown(CCanvasObject* object, CCarbonEvent const& event);
    void ObjectDragged(CCarbonEvent const& event);
    void ObjectUp();
    void ObjectCancel();
    void GrowDragged(CCarbonEvent const& event);
    void GrowUp();
    void GrowCancel();

private:
    struct Moving {
        CCanvasObject* object; // borrowed from the canvas
        CGRect bounds; // at the press
        CGPoint grab; // press point minus the bounds' origin
    };

    bool IsListed(CCanvasObject const* object) const;
    void ForgetUnlisted();

    bool mInteracts = true;
    bool mDragStarted = false;
    CCanvasObject* mHitObject = nullptr; // borrowed from the canvas for one press
    ObjectHit mHitResult = kObjectHitNone;
    CGRect mHitBounds {};
    std::vector<Moving> mMoving;
};
