#include "widgets/WidgetClasses.h"

#include "widgets/CHIView.h"
#include "widgets/CScrollableView.h"
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
        return CScrollableView::Register();
    }();
    return status;
}
