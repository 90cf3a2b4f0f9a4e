#pragma once

// Draws a line from the press point to the release point; a drag of less than
// two pixels both across and down makes none.

#include "docwindow/CCanvasLine.h"
#include "docwindow/CTool.h"
#include "model/CMapLine.h"

class CToolLine : public CTool {
public:
    static constexpr CGFloat kLineMinimumDrag = 2; // [px] across or down

    CToolLine();

    void DoMouseDown(CCarbonEvent const& event) override;
    void DoMouseDragged(CCarbonEvent const& event) override;
    void DoMouseUp(CCarbonEvent const& event) override;
    void Draw(CGContextRef context) override;

private:
    void UpdatePreview();

    CMapLine mPreviewObject; // never in a document
    CCanvasLine mPreview; // never listed on the canvas
};
