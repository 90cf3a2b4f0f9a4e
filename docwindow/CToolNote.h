#pragma once

// Places a note where the button is released; while the button is down the note
// picture follows the pointer.

#include "docwindow/CCanvasNote.h"
#include "docwindow/CTool.h"
#include "model/CMapNote.h"

class CToolNote : public CTool {
public:
    CToolNote();

    void DoMouseDown(CCarbonEvent const& event) override;
    void DoMouseDragged(CCarbonEvent const& event) override;
    void DoMouseUp(CCarbonEvent const& event) override;
    void Draw(CGContextRef context) override;

private:
    void UpdatePreview();

    CMapNote mPreviewObject; // never in a document
    CCanvasNote mPreview; // never listed on the canvas
};
