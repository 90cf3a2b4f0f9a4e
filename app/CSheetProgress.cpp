#include "app/CSheetProgress.h"

#include "framework/CMacWindow.h"
#include "widgets/CProgressBar.h"
#include "widgets/CStaticText.h"

#include <algorithm>
#include <limits>

namespace {

// The bar's values are longs: larger counts are held at the largest.
long ProgressValue(unsigned long value)
{
    return long(std::min<unsigned long>(value, std::numeric_limits<SInt32>::max()));
}

} // namespace

OSStatus CSheetProgressBase::FindControls()
{
    mText = CStaticText::Find(this, 'text', 0);
    mProgress = CProgressBar::Find(this, 'prog', 0);
    return mText && mProgress ? noErr : errUnknownControl;
}

void CSheetProgressBase::ShowOnParent()
{
    if (mShown || !mParent || mParent->HasSheet())
        return;
    if (mParent->BeginSheet(GetWindow()) == noErr)
        mShown = true;
}

void CSheetProgressBase::SetInfo(CString const& text, unsigned long count, bool indeterminate)
{
    mText->SetTextValue(text);
    mProgress->SetMinimumValue(0);
    mProgress->SetMaximumValue(ProgressValue(count));
    mProgress->SetCurrentValue(0);
    mProgress->SetIndeterminate(indeterminate);
}

void CSheetTransferProgress::SetProgress(unsigned long value) { mProgress->SetCurrentValue(ProgressValue(value)); }
