#include "app/CSheetNote.h"

#include "model/CMapNote.h"
#include "widgets/CEditText.h"

OSStatus CSheetNote::InitialiseSelf()
{
    mText = CEditText::Find(this, 'note', 0);
    if (!mText)
        return errUnknownControl;
    mText->SetKeyboardFocus(kControlFocusNextPart);
    return noErr;
}

void CSheetNote::SetObject(CMapObject* object)
{
    mNote = dynamic_cast<CMapNote*>(object);
    if (mNote)
        mText->SetTextValue(mNote->GetDescription());
}

void CSheetNote::UpdateObject()
{
    if (mNote)
        mNote->SetDescription(mText->GetTextValue());
}
