#pragma once

#include "widgets/CControl.h"

// The band across the top of a window's content.
class CWindowHeader : public CControl {
public:
    explicit CWindowHeader(HIObjectRef object)
        : CControl(object)
    {
    }
    CWindowHeader(WindowRef window, CGRect const& frame)
    {
        Rect const bounds { static_cast<SInt16>(frame.origin.y), static_cast<SInt16>(frame.origin.x),
            static_cast<SInt16>(CGRectGetMaxY(frame)), static_cast<SInt16>(CGRectGetMaxX(frame)) };
        ControlRef control = nullptr;
        CreateWindowHeaderControl(window, &bounds, false, &control);
        SetControlRef(control);
    }

    static OSStatus Create(HIObjectRef object, CHIObject** outObject) { return Make<CWindowHeader>(object, outObject); }
};
