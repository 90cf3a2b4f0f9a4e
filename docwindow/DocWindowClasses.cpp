#include "docwindow/DocWindowClasses.h"

#include "docwindow/CViewMap.h"
#include "widgets/WidgetClasses.h"

OSStatus RegisterDocWindowClasses()
{
    static OSStatus const status = [] {
        if (OSStatus const widgets = RegisterWidgetClasses(); widgets != noErr)
            return widgets;
        return CViewMap::Register();
    }();
    return status;
}
