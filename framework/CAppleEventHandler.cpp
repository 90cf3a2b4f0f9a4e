#include "framework/CAppleEventHandler.h"

namespace {

struct Supported {
    AEEventClass eventClass;
    AEEventID eventID;
    OSStatus (CAppleEventHandler::*operation)(AEDesc const&);
};

constexpr Supported kSupported[] = {
    { kCoreEventClass, kAEOpenApplication, &CAppleEventHandler::DoAppleEventOpenApp },
    { kCoreEventClass, kAEOpenDocuments, &CAppleEventHandler::DoAppleEventOpenDocs },
    { kCoreEventClass, kAEPrintDocuments, &CAppleEventHandler::DoAppleEventPrintDocs },
    { kCoreEventClass, kAEQuitApplication, &CAppleEventHandler::DoAppleEventQuitApp },
    { kCoreEventClass, kAEReopenApplication, &CAppleEventHandler::DoAppleEventReopenApp },
    { kInternetEventClass, kAEGetURL, &CAppleEventHandler::DoAppleEventGetURL },
};

FourCharCode ReadAttribute(AEDesc const& event, AEKeyword keyword)
{
    FourCharCode code = 0;
    if (AEGetAttributePtr(&event, keyword, typeType, nullptr, &code, sizeof code, nullptr) != noErr)
        return 0;
    return code;
}

} // namespace

AEEventHandlerUPP const CAppleEventHandler::mEventHandlerUPP = NewAEEventHandlerUPP(CAppleEventHandler::EventHandler);

CAppleEventHandler::~CAppleEventHandler()
{
    for (Supported const& pair : kSupported) {
        AEEventHandlerUPP handler = nullptr;
        SRefCon refcon = nullptr;
        if (AEGetEventHandler(pair.eventClass, pair.eventID, &handler, &refcon, false) == noErr
            && handler == mEventHandlerUPP && refcon == this)
            AERemoveEventHandler(pair.eventClass, pair.eventID, handler, false);
    }
}

OSStatus CAppleEventHandler::InstallHandler(EventTypeSpec const* events)
{
    OSStatus status = noErr;
    for (; events && events->eventClass != 0; ++events) {
        if (FindOperation(events->eventClass, events->eventKind))
            status = AEInstallEventHandler(events->eventClass, events->eventKind, mEventHandlerUPP, this, false);
    }
    return status;
}

CAppleEventHandler::Operation CAppleEventHandler::FindOperation(AEEventClass eventClass, AEEventID eventID)
{
    for (Supported const& pair : kSupported)
        if (pair.eventClass == eventClass && pair.eventID == eventID)
            return pair.operation;
    return nullptr;
}

OSStatus CAppleEventHandler::Dispatch(AEDesc const& event)
{
    AEEventClass const eventClass = ReadAttribute(event, keyEventClassAttr);
    AEEventID const eventID = eventClass ? ReadAttribute(event, keyEventIDAttr) : 0;
    OSStatus status = eventNotHandledErr;
    if (Operation const operation = FindOperation(eventClass, eventID))
        status = (this->*operation)(event);
    if (status == eventNotHandledErr)
        status = DoAppleEvent(event);
    return status;
}

OSErr CAppleEventHandler::EventHandler(AppleEvent const* event, AppleEvent*, SRefCon handlerRefcon)
{
    AEDesc copy { typeNull, nullptr };
    if (AEDuplicateDesc(event, &copy) != noErr)
        return paramErr;
    OSStatus const status = static_cast<CAppleEventHandler*>(handlerRefcon)->Dispatch(copy);
    AEDisposeDesc(&copy);
    return OSErr(status);
}

OSStatus CAppleEventHandler::DoAppleEvent(AEDesc const&) { return eventNotHandledErr; }
OSStatus CAppleEventHandler::DoAppleEventOpenApp(AEDesc const&) { return eventNotHandledErr; }
OSStatus CAppleEventHandler::DoAppleEventOpenDocs(AEDesc const&) { return eventNotHandledErr; }
OSStatus CAppleEventHandler::DoAppleEventPrintDocs(AEDesc const&) { return eventNotHandledErr; }
OSStatus CAppleEventHandler::DoAppleEventQuitApp(AEDesc const&) { return eventNotHandledErr; }
OSStatus CAppleEventHandler::DoAppleEventReopenApp(AEDesc const&) { return eventNotHandledErr; }
OSStatus CAppleEventHandler::DoAppleEventGetURL(AEDesc const&) { return eventNotHandledErr; }
