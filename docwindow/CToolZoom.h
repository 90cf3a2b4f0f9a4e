#pragma once

// A click zooms in one level around the clicked point, with Option or the
// secondary button out; a drag zooms to the dragged rectangle. The cursor shows
// which, and the limit when no further level exists.

#include "docwindow/CTool.h"

class CToolZoom : public CTool {
public:
    static constexpr CGFloat kZoomRectMinimum = 2; // [px] a smaller drag is a click

    CToolZoom();

    void DoMouseUp(CCarbonEvent const& event) override;
    void DoKeyModifiers(CCarbonEvent const& event) override;
    void Draw(CGContextRef context) override;
    void DoMessage(UInt32 message, void* parameter) override;

    static bool IsZoomOut(CCarbonEvent const& event);
    void UpdateCursors(CCarbonEvent const& event);
    UInt32 GetCursor() const { return mCursor; }

private:
    UInt32 mCursor; // the one id of all four settings
};
