#pragma once

// The sheet side of a document window's one-sheet-at-a-time protocol: a sheet
// controller that edits something of the document also derives from this, and
// the document calls it when the sheet's "ok  " or "not!" arrives, before it
// ends the sheet and deletes the controller. Main thread only.
class IDocumentSheet {
public:
    virtual ~IDocumentSheet() = default;

    // "ok  ": write the sheet's content back (the object, the document information, the view).
    virtual void AcceptSheet() = 0;
    // "not!": undo what the sheet began while it was open; most sheets began nothing.
    virtual void CancelSheet() { }
};
