#pragma once

#include "events/CarbonEvents.h"
#include "services/AppleEvents.h"

// Receives the Apple events the application supports (open application, open,
// print and quit documents, reopen, get URL) and turns each into a virtual
// operation, with DoAppleEvent as the catch-all. Main thread only.
class CAppleEventHandler {
public:
    CAppleEventHandler() = default;
    CAppleEventHandler(CAppleEventHandler const&) = delete;
    CAppleEventHandler& operator=(CAppleEventHandler const&) = delete;
    // Removes the handlers that still call this object: a destroyed handler
    // must not receive the next Apple event.
    virtual ~CAppleEventHandler();

    // Installs for the supported pairs of a list ended by class 0; other pairs
    // are skipped. Answers the status of the last installation (0 when none).
    OSStatus InstallHandler(EventTypeSpec const* events);

    virtual OSStatus DoAppleEvent(AEDesc const& event);
    virtual OSStatus DoAppleEventOpenApp(AEDesc const& event);
    virtual OSStatus DoAppleEventOpenDocs(AEDesc const& event);
    virtual OSStatus DoAppleEventPrintDocs(AEDesc const& event);
    virtual OSStatus DoAppleEventQuitApp(AEDesc const& event);
    virtual OSStatus DoAppleEventReopenApp(AEDesc const& event);
    virtual OSStatus DoAppleEventGetURL(AEDesc const& event);

    static OSErr EventHandler(AppleEvent const* event, AppleEvent* reply, SRefCon handlerRefcon);

private:
    using Operation = OSStatus (CAppleEventHandler::*)(AEDesc const&);
    static Operation FindOperation(AEEventClass eventClass, AEEventID eventID);
    OSStatus Dispatch(AEDesc const& event);

    static AEEventHandlerUPP const mEventHandlerUPP;
};
