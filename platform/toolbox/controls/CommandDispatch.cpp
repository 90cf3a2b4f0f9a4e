#include "toolbox/View.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <cstring>

// A command from a control goes to the control first (and on up through its
// window); any other command goes to the user focus.
OSStatus ProcessHICommand(HICommand const* command)
{
    if (!command)
        return paramErr;
    EventRef event = nullptr;
    OSStatus status = CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, GetCurrentEventTime(), 0, &event);
    if (status != noErr)
        return status;
    HICommandExtended extended {};
    std::memcpy(&extended, command, sizeof(HICommand));
    EventTargetRef target = GetUserFocusEventTarget();
    if (command->attributes & kHICommandFromControl) {
        auto const* full = reinterpret_cast<HICommandExtended const*>(command);
        extended.source.control = full->source.control;
        if (tw::toolbox::View* view = tw::toolbox::LiveView(extended.source.control))
            target = &view->GetTarget();
    }
    SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof extended, &extended);
    status = target ? SendEventToEventTarget(event, target) : OSStatus { eventNotHandledErr };
    ReleaseEvent(event);
    return status;
}
