#pragma once

// Measures: while the button is down a line runs from the press point to the
// pointer, and a tag beside the pointer tells the distance in the user's units.

#include "docwindow/CTool.h"

class CToolRuler : public CTool {
public:
    static constexpr float kRulerEndRadius = 4; // [px]

    CToolRuler();

    void DoMouseUp(CCarbonEvent const& event) override;
    void DoMouseDragged(CCarbonEvent const& event) override;
    void Draw(CGContextRef context) override;
};
