#include "events/ApplicationTarget.h"

#include "events/CommandTypes.h"

namespace tw::events {

ApplicationTarget::ApplicationTarget()
    : Target(Kind::Application)
{
}

OSStatus ApplicationTarget::StandardHandler(EventHandlerCallRef, EventRef event)
{
    if (GetEventClass(event) != kEventClassCommand || GetEventKind(event) != kEventCommandProcess)
        return eventNotHandledErr;
    HICommandExtended command {};
    if (GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command)
            != noErr
        || command.commandID != kHICommandQuit)
        return eventNotHandledErr;
    QuitApplicationEventLoop();
    return noErr;
}

} // namespace tw::events
