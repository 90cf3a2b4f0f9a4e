#pragma once

// The sheet that edits the text of a note.

#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "docwindow/IDocumentSheet.h"
#include "framework/CWindowController.h"

class CEditText;
class CMapNote;
class CMapObject;

class CSheetNote : public CWindowController, public IDocumentSheet, public CTWWindow {
public:
    static constexpr char const* kNibWindow = "Note Editor";

    CSheetNote() = default;
    ~CSheetNote() override = default;

    OSStatus InitialiseSelf() override;

    // An object of another kind edits nothing.
    void SetObject(CMapObject* object);
    void UpdateObject();
    void AcceptSheet() override { UpdateObject(); }

private:
    CMapNote* mNote = nullptr; // weak: the document owns it and outlives the sheet
    CEditText* mText = nullptr; // weak: the window's
};
