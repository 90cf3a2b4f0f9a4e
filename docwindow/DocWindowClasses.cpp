#include "docwindow/DocWindowClasses.h"

#include "docwindow/CViewMap.h"
#include "docwindow/CViewOverlay.h"
#include "docwindow/CViewNavigator.h"
#include "docwindow/CViewRegion.h"
#include "widgets/WidgetClasses.h"

OSStatus RegisterDocWindowClasses()
{
    static OSStatus const status = [] {
        if (OSStatus const widgets = RegisterWidgetClasses(); widgets != noErr)
            return widgets;
        if (OSStatus const map = CViewMap::Register(); map != noErr)
            return map;
        if (OSStatus const overlay = CViewOverlay::Register(); overlay != noErr)
            return overlay;
        if (OSStatus const navigator = CViewNavigator::Register(); navigator != noErr)
            return navigator;
        return CViewRegion::Register();
    }();
    return status;
}
