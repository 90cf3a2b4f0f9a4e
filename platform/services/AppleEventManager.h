#pragma once

#include "services/AppleEvents.h"

#include <map>
#include <vector>

namespace tw::services {

// The Apple Event Manager's state: the handler table, the Apple events queued
// for the event loop, and the standard handlers it keeps on the application
// target (an unhandled quit command becomes a quit Apple event; a queued Apple
// event's carrier is processed). Main thread only.
class AppleEventManager {
public:
    static AppleEventManager& Get();

    OSErr Install(AEEventClass eventClass, AEEventID eventID, AEEventHandlerUPP handler, SRefCon refcon);
    OSErr Remove(AEEventClass eventClass, AEEventID eventID, AEEventHandlerUPP handler);
    OSErr Find(AEEventClass eventClass, AEEventID eventID, AEEventHandlerUPP* handler, SRefCon* refcon) const;

    // Calls the event's handler, or the default one for a quit event.
    OSErr Dispatch(AppleEvent const& event, AppleEvent* reply);
    // Keeps a copy of the event and posts its carrier to the main queue.
    OSErr Queue(AppleEvent const& event);
    // Takes back the event queued under this ticket.
    bool TakeQueued(std::uintptr_t ticket, AppleEvent& event);
    static bool TicketOf(EventRef carrier, std::uintptr_t* ticket);

    // Puts the standard handlers on the application target unless they are there.
    void EnsureStandardHandlers();
    void Reset();

private:
    struct Entry {
        AEEventClass eventClass;
        AEEventID eventID;
        AEEventHandlerUPP handler;
        SRefCon refcon;
    };

    AppleEventManager() = default;
    static OSStatus StandardHandler(EventHandlerCallRef callRef, EventRef event, void* userData);
    static OSStatus SendQuit();

    std::vector<Entry> mHandlers;
    std::map<std::uintptr_t, AppleEvent> mQueued; // owns each event
    std::uintptr_t mNextTicket = 1;
};

} // namespace tw::services
