#pragma once

// Places a note where the button is released; while the button is down the note
// picture follows the pointer.

#include "docwindow/CCanvasNote.h"
#include "docwindow/CToolPreview.h"
#include "model/CMapNote.h"

class CToolNote : public CToolPreview<CMapNote, CCanvasNote> {
public:
    CToolNote();

    void DoMouseUp(CCarbonEvent const& event) override;

private:
    void UpdatePreview() override;
};
