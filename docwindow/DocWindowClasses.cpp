#include "docwindow/DocWindowClasses.h"

#include "docwindow/CViewMap.h"
#include "docwindow/CViewOverlay.h"
#include "widgets/WidgetClasses.h"

OSStatus RegisterDocWindowClasses()
{
    static OSStatus const status = [] {
        if (OSStatus const widgets = RegisterWidgetClasses(); widgets != noErr)
            return widgets;
        if (OSStatus const map = CViewMap::Register(); map != noErr)
            return map;
        return CViewOverlay::Register();
    }();
    return status;
}
