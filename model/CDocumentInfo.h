#pragma once

// The author and description texts of a document, stored in the document's
// own dictionary under "Author" and "Description". A plain value.

#include "foundation/CFDictionary.h"
#include "foundation/CTextUtilities.h"

class CDocumentInfo {
public:
    static constexpr char const* kKeyAuthor = "Author";
    static constexpr char const* kKeyDescription = "Description";

    CString GetAuthor() const { return mAuthor; }
    void SetAuthor(CString const& author) { mAuthor = CTextUtilities::GetStorableText(author); }
    CString GetDescription() const { return mDescription; }
    void SetDescription(CString const& description) { mDescription = CTextUtilities::GetStorableText(description); }

    // Both return 0; missing texts read as empty.
    OSStatus EncodeProperties(CFDictionary& properties) const;
    OSStatus DecodeProperties(CFDictionary const& properties);

private:
    CString mAuthor;
    CString mDescription;
};
