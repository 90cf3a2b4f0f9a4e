#pragma once

#include "events/Target.h"

namespace tw::events {

// The application's event target. Its standard behaviour ends the application
// loop on a quit command that nothing else took; the Apple event layer, when
// present, installs a standard handler above it that turns that command into a
// quit Apple event first.
class ApplicationTarget : public Target {
public:
    ApplicationTarget();

    OSStatus StandardHandler(EventHandlerCallRef callRef, EventRef event) override;
};

} // namespace tw::events
