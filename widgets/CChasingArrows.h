#pragma once

#include "widgets/CControl.h"

// The spinning busy indicator.
class CChasingArrows : public CControl {
public:
    explicit CChasingArrows(HIObjectRef object)
        : CControl(object)
    {
    }

    void SetAnimating(bool animating)
    {
        Boolean const flag = animating;
        SetControlData(kControlEntireControl, kControlChasingArrowsAnimatingTag, sizeof flag, &flag);
    }

    static CChasingArrows* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CChasingArrows>(window, signature, id);
    }
    static CChasingArrows* Find(CWindowController* controller, OSType signature, SInt32 id)
    {
        return FindIn<CChasingArrows>(controller, signature, id);
    }
    static OSStatus Create(HIObjectRef object, CHIObject** outObject)
    {
        return Make<CChasingArrows>(object, outObject);
    }
};
