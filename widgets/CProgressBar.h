#pragma once

#include "widgets/CControl.h"

// A progress bar, determinate or not.
class CProgressBar : public CControl {
public:
    explicit CProgressBar(HIObjectRef object)
        : CControl(object)
    {
    }

    void SetIndeterminate(bool indeterminate)
    {
        Boolean const flag = indeterminate;
        SetControlData(kControlEntireControl, kControlProgressBarIndeterminateTag, sizeof flag, &flag);
    }

    static CProgressBar* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CProgressBar>(window, signature, id);
    }
    static CProgressBar* Find(CWindowController* controller, OSType signature, SInt32 id)
    {
        return FindIn<CProgressBar>(controller, signature, id);
    }
    static OSStatus Create(HIObjectRef object, CHIObject** outObject) { return Make<CProgressBar>(object, outObject); }
};
