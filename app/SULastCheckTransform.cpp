#include "app/SULastCheckTransform.h"

#include "foundation/CDateTime.h"
#include "framework/CMacWindow.h"

SULastCheckTransform::SULastCheckTransform(CMacWindow* window)
{
    if (window)
        mFallback = window->GetControlTitle(kControlLastCheck);
}

CBValue SULastCheckTransform::Apply(CBValue const& theValue)
{
    CString text = mFallback;
    if (theValue.IsDate() && theValue.GetDate()) {
        CDateTime const date(CFDateGetAbsoluteTime(theValue.GetDate()));
        // A date outside the calendar has no text: it reads as no check at all.
        CString const shown
            = date.IsValid() ? date.GetTimeAsString(true, true, CDateTime::kDateFormAbbreviated, true) : CString();
        if (shown.IsNotEmpty())
            text = shown;
    }
    CBValue result;
    result.SetString(text.GetCFString(), false);
    return result;
}
