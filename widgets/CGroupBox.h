#pragma once

#include "widgets/CControl.h"

// A titled frame around other controls, primary or secondary.
class CGroupBox : public CControl {
public:
    explicit CGroupBox(HIObjectRef object)
        : CControl(object)
    {
    }
    CGroupBox(WindowRef window, CRect const& bounds, CString const& title, bool primary)
    {
        ControlRef control = nullptr;
        CreateGroupBoxControl(window, &bounds, title.GetCFString(), primary, &control);
        SetControlRef(control);
    }

    static OSStatus Create(HIObjectRef object, CHIObject** outObject) { return Make<CGroupBox>(object, outObject); }
};
