#pragma once

// Draws a line from the press point to the release point; a drag of less than
// two pixels both across and down makes none.

#include "docwindow/CCanvasLine.h"
#include "docwindow/CToolPreview.h"
#include "model/CMapLine.h"

class CToolLine : public CToolPreview<CMapLine, CCanvasLine> {
public:
    static constexpr CGFloat kLineMinimumDrag = 2; // [px] across or down

    CToolLine();

    void DoMouseUp(CCarbonEvent const& event) override;

private:
    void UpdatePreview() override;
};
