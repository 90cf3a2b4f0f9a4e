#pragma once

#include "widgets/CControl.h"

// A radio group: its value is the index of the radio button that is on (from 1).
class CRadioGroup : public CControl {
public:
    explicit CRadioGroup(HIObjectRef object)
        : CControl(object)
    {
    }

    static CRadioGroup* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CRadioGroup>(window, signature, id);
    }
    static CRadioGroup* Find(CWindowController* controller, OSType signature, SInt32 id)
    {
        return FindIn<CRadioGroup>(controller, signature, id);
    }
    static OSStatus Create(HIObjectRef object, CHIObject** outObject) { return Make<CRadioGroup>(object, outObject); }
};
