#include "widgets/WidgetClasses.h"

#include "widgets/CBreadCrumbView.h"
#include "widgets/CCanvasView.h"
#include "widgets/CHIView.h"
#include "widgets/CScrollableView.h"
#include "widgets/CSplitterView.h"
#include "widgets/ControlClasses.h"

OSStatus RegisterWidgetClasses()
{
    static OSStatus const status = [] {
        CHIObject::Register(nullptr, CFSTR("com.apple.hiview"), CHIView::CreateWrapper);
        CHIObject::Register(nullptr, CFSTR("com.apple.HIUserPane"), CHIView::CreateWrapper);
        CHIObject::Register(nullptr, CFSTR("com.apple.hitoolbox.view.cdefadapter"), CHIView::CreateWrapper);
        OSStatus const controls = RegisterControlClasses();
        if (controls != noErr)
            return controls;
        OSStatus const scrollable = CScrollableView::Register();
        if (scrollable != noErr)
            return scrollable;
        for (auto const registration : { CCanvasView::Register, CSplitterView::Register, CBreadCrumbView::Register })
            if (OSStatus const registered = registration(); registered != noErr)
                return registered;
        return noErr;
    }();
    return status;
}
