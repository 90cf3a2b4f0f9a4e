#pragma once

// Draws the document's crop area. A press removes the old one at once, so a
// document has at most one; a new one always returns the user to the hand.

#include "docwindow/CCanvasCrop.h"
#include "docwindow/CToolShape.h"
#include "model/CMapCrop.h"

class CToolCrop : public CToolShape<CMapCrop, CCanvasCrop> {
public:
    CToolCrop();

    void DoMouseDown(CCarbonEvent const& event) override;

protected:
    void Create(CCarbonEvent const& event, CMapCrop* crop) override;
};
