#pragma once

// The sheet that edits a document's author and description. It works on a
// copy of the document information, which the document takes back on OK.

#include "app/CTWWindow.h"
#include "framework/CWindowController.h"
#include "model/CDocumentInfo.h"

class CEditText;

class CSheetDocumentInfo : public CWindowController, public CTWWindow {
public:
    static constexpr char const* kNibWindow = "Document Info";

    CSheetDocumentInfo() = default;
    ~CSheetDocumentInfo() override = default;

    OSStatus InitialiseSelf() override;

    void SetContent(CDocumentInfo const& info);
    CDocumentInfo GetContent() const;

private:
    CDocumentInfo mInfo;
    CEditText* mAuthor = nullptr; // weak: the window's
    CEditText* mDescription = nullptr; // weak
};
