#include "app/CSheetDocumentInfo.h"

#include "docwindow/CWindowDocument.h"
#include "widgets/CEditText.h"

OSStatus CSheetDocumentInfo::InitialiseSelf()
{
    mAuthor = CEditText::Find(this, 'auth', 0);
    mDescription = CEditText::Find(this, 'desc', 0);
    if (!mAuthor || !mDescription)
        return errUnknownControl;
    mAuthor->SetKeyboardFocus(kControlFocusNextPart);
    return noErr;
}

void CSheetDocumentInfo::SetContent(CDocumentInfo const& info)
{
    mInfo = info;
    mAuthor->SetTextValue(info.GetAuthor());
    mDescription->SetTextValue(info.GetDescription());
}

CDocumentInfo CSheetDocumentInfo::GetContent() const
{
    CDocumentInfo info = mInfo;
    info.SetAuthor(mAuthor->GetTextValue());
    info.SetDescription(mDescription->GetTextValue());
    return info;
}

void CSheetDocumentInfo::AcceptSheet()
{
    if (mDocument)
        mDocument->SetDocumentInfo(GetContent());
}
