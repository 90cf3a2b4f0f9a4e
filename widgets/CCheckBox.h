#pragma once

#include "widgets/CControl.h"

// A check box: any value but 0 (the mixed value 2 too) counts as checked.
class CCheckBox : public CControl {
public:
    explicit CCheckBox(HIObjectRef object)
        : CControl(object)
    {
    }

    bool IsChecked() const { return GetCurrentValue() != 0; }
    void SetChecked(bool checked) { SetCurrentValue(checked ? 1 : 0); }

    static CCheckBox* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CCheckBox>(window, signature, id);
    }
    static CCheckBox* Find(CWindowController* controller, OSType signature, SInt32 id)
    {
        return FindIn<CCheckBox>(controller, signature, id);
    }
    static OSStatus Create(HIObjectRef object, CHIObject** outObject) { return Make<CCheckBox>(object, outObject); }
};
