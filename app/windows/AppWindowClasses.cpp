#include "app/windows/AppWindowClasses.h"

#include "app/windows/CViewCompass.h"
#include "docwindow/DocWindowClasses.h"

OSStatus RegisterAppWindowClasses()
{
    static OSStatus const status = [] {
        if (OSStatus const below = RegisterDocWindowClasses(); below != noErr)
            return below;
        return CViewCompass::Register();
    }();
    return status;
}
