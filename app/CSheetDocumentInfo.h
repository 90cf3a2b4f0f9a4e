#pragma once

// The sheet that edits a document's author and description. It works on a
// copy of the document information, which the document takes back on OK.

#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "docwindow/IDocumentSheet.h"
#include "framework/CWindowController.h"
#include "model/CDocumentInfo.h"

class CEditText;
class CWindowDocument;

class CSheetDocumentInfo : public CWindowController, public IDocumentSheet, public CTWWindow {
public:
    static constexpr char const* kNibWindow = "Document Info";

    CSheetDocumentInfo() = default;
    ~CSheetDocumentInfo() override = default;

    OSStatus InitialiseSelf() override;

    void SetContent(CDocumentInfo const& info);
    CDocumentInfo GetContent() const;
    // The document that takes the content back on OK; without one OK only closes.
    void SetDocument(CWindowDocument* document) { mDocument = document; }
    void AcceptSheet() override;

private:
    CDocumentInfo mInfo;
    CWindowDocument* mDocument = nullptr; // weak: the document outlives its sheet
    CEditText* mAuthor = nullptr; // weak: the window's
    CEditText* mDescription = nullptr; // weak
};
