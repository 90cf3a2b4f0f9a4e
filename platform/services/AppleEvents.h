#pragma once

// Apple events: descriptors, lists, records and events, the handler table, and
// delivery. There is no other process to talk to, so every Apple event goes to
// this application. AESend with kAEWaitReply calls the handler at once and
// fills the reply; with kAENoReply or kAEQueueReply the event is queued and
// reaches the handler from the event loop, as a kEventClassAppleEvent event
// that AEProcessAppleEvent finishes (the application may handle that event
// itself; a standard handler does it otherwise). Main thread only.

#include "corefoundation/MacTypes.h"
#include "events/CarbonEvents.h"

#include <cstdint>

namespace tw::services {
class Descriptor;
}

using AEDataStorage = tw::services::Descriptor*;
using AEKeyword = FourCharCode;
using AEEventClass = FourCharCode;
using AEEventID = FourCharCode;
using AEReturnID = SInt16;
using AETransactionID = SInt32;
using AESendMode = SInt32;
using AESendPriority = SInt16;
using SRefCon = void*;

struct AEDesc {
    DescType descriptorType;
    AEDataStorage dataHandle; // owns; null for typeNull
};
using AEDescList = AEDesc;
using AERecord = AEDescList;
using AppleEvent = AERecord;
using AEAddressDesc = AEDesc;

enum : DescType {
    typeAEList = 'list',
    typeAERecord = 'reco',
    typeAppleEvent = 'aevt',
    typeKeyword = 'keyw',
    typeProcessSerialNumber = 'psn ',
    typeFSRef = 'fsrf', // opaque bytes, as the file layer writes them
    typeFSS = 'fss ',
    typeFileURL = 'furl',
    typeAlias = 'alis',
};

enum : AEKeyword {
    keyDirectObject = '----',
    keyErrorNumber = 'errn',
    keyErrorString = 'errs',
    keyEventClassAttr = 'evcl',
    keyEventIDAttr = 'evid',
    keyAddressAttr = 'addr',
    keyReturnIDAttr = 'rtid',
    keyTransactionIDAttr = 'tran',
    keyMissedKeywordAttr = 'miss',
};

enum : AEEventClass {
    kCoreEventClass = 'aevt',
    kInternetEventClass = 'GURL',
};

enum : AEEventID {
    kAEOpenApplication = 'oapp',
    kAEOpenDocuments = 'odoc',
    kAEPrintDocuments = 'pdoc',
    kAEQuitApplication = 'quit',
    kAEReopenApplication = 'rapp',
    kAEAnswer = 'ansr',
    kAEGetURL = 'GURL',
};

enum : AESendMode {
    kAENoReply = 0x01,
    kAEQueueReply = 0x02,
    kAEWaitReply = 0x03,
    kAENeverInteract = 0x10,
    kAECanInteract = 0x20,
    kAEAlwaysInteract = 0x30,
    kAECanSwitchLayer = 0x40,
    kAEDontRecord = 0x1000,
    kAEDontExecute = 0x2000,
};

enum : AESendPriority {
    kAENormalPriority = 0,
    kAEHighPriority = 1,
};

enum : SInt32 {
    kAEDefaultTimeout = -1,
    kNoTimeOut = -2,
};

enum : AEReturnID {
    kAutoGenerateReturnID = -1,
};

enum : AETransactionID {
    kAnyTransactionID = 0,
};

inline constexpr OSStatus errAEHandlerNotFound = -1717;
inline constexpr OSStatus errAEIllegalIndex = -1719;

// The Carbon event that carries a queued Apple event (kEventClassAppleEvent).
enum : EventKind {
    kEventAppleEvent = 1,
};

enum : EventParamName {
    kEventParamAEEventClass = 'eclt', // typeType
    kEventParamAEEventID = 'evti', // typeType
};

using AEEventHandlerProcPtr = OSErr (*)(AppleEvent const* event, AppleEvent* reply, SRefCon refcon);
using AEEventHandlerUPP = AEEventHandlerProcPtr;
constexpr AEEventHandlerUPP NewAEEventHandlerUPP(AEEventHandlerProcPtr proc) { return proc; }
inline void DisposeAEEventHandlerUPP(AEEventHandlerUPP) { }
using AEIdleUPP = void*; // never called: sending to ourselves does not wait
using AEFilterUPP = void*;

// The classic event record, as far as Apple events need it: for a high-level
// event, message identifies the queued Apple event.
struct EventRecord {
    UInt16 what;
    std::uintptr_t message;
    UInt32 when; // [ticks]
    Point where;
    UInt16 modifiers;
};
enum : UInt16 {
    kHighLevelEvent = 23,
};

// Descriptors. Data is copied in and out; AEGet...Ptr copies at most maxSize
// bytes and reports the full size. No coercion, except that typeWildCard takes
// any type and typeChar and typeUTF8Text (both UTF-8 here) read as each other.
OSErr AECreateDesc(DescType typeCode, void const* dataPtr, Size dataSize, AEDesc* result);
OSErr AEDisposeDesc(AEDesc* desc);
OSErr AEDuplicateDesc(AEDesc const* desc, AEDesc* result);
Size AEGetDescDataSize(AEDesc const* desc);
OSErr AEGetDescData(AEDesc const* desc, void* dataPtr, Size maximumSize);
void AEInitializeDesc(AEDesc* desc);

// Lists and records; indexes start at 1, and index 0 (or count + 1) appends.
OSErr AECreateList(void const* factoringPtr, Size factoredSize, Boolean isRecord, AEDescList* result);
OSErr AECountItems(AEDescList const* list, long* count);
OSErr AEPutPtr(AEDescList* list, long index, DescType typeCode, void const* dataPtr, Size dataSize);
OSErr AEPutDesc(AEDescList* list, long index, AEDesc const* desc);
OSErr AEGetNthPtr(AEDescList const* list, long index, DescType desiredType, AEKeyword* keyword, DescType* typeCode,
    void* dataPtr, Size maximumSize, Size* actualSize);
OSErr AEGetNthDesc(AEDescList const* list, long index, DescType desiredType, AEKeyword* keyword, AEDesc* result);

// Apple events. The target may be null: there is only ourselves to address.
OSErr AECreateAppleEvent(AEEventClass eventClass, AEEventID eventID, AEAddressDesc const* target, AEReturnID returnID,
    AETransactionID transactionID, AppleEvent* result);
OSErr AEPutParamPtr(AppleEvent* event, AEKeyword keyword, DescType typeCode, void const* dataPtr, Size dataSize);
OSErr AEPutParamDesc(AppleEvent* event, AEKeyword keyword, AEDesc const* desc);
OSErr AEGetParamPtr(AppleEvent const* event, AEKeyword keyword, DescType desiredType, DescType* typeCode, void* dataPtr,
    Size maximumSize, Size* actualSize);
OSErr AEGetParamDesc(AppleEvent const* event, AEKeyword keyword, DescType desiredType, AEDesc* result);
OSErr AEDeleteParam(AppleEvent* event, AEKeyword keyword);
OSErr AEPutAttributePtr(AppleEvent* event, AEKeyword keyword, DescType typeCode, void const* dataPtr, Size dataSize);
OSErr AEPutAttributeDesc(AppleEvent* event, AEKeyword keyword, AEDesc const* desc);
OSErr AEGetAttributePtr(AppleEvent const* event, AEKeyword keyword, DescType desiredType, DescType* typeCode,
    void* dataPtr, Size maximumSize, Size* actualSize);
OSErr AEGetAttributeDesc(AppleEvent const* event, AEKeyword keyword, DescType desiredType, AEDesc* result);

// Handlers, by (class, id); typeWildCard matches any. Installing for a pair
// that has a handler replaces it.
OSErr AEInstallEventHandler(
    AEEventClass eventClass, AEEventID eventID, AEEventHandlerUPP handler, SRefCon refcon, Boolean isSysHandler);
OSErr AERemoveEventHandler(AEEventClass eventClass, AEEventID eventID, AEEventHandlerUPP handler, Boolean isSysHandler);
OSErr AEGetEventHandler(
    AEEventClass eventClass, AEEventID eventID, AEEventHandlerUPP* handler, SRefCon* refcon, Boolean isSysHandler);

OSErr AESend(AppleEvent const* event, AppleEvent* reply, AESendMode sendMode, AESendPriority priority,
    SInt32 timeOutInTicks, AEIdleUPP idleProc, AEFilterUPP filterProc);
// Calls the handler of a queued Apple event. A quit event that no handler took
// ends the application loop.
OSErr AEProcessAppleEvent(EventRecord const* event);
Boolean ConvertEventRefToEventRecord(EventRef event, EventRecord* record);

namespace tw::services {

// Test only: forgets every Apple event handler and queued Apple event.
void ResetAppleEventsForTesting();

} // namespace tw::services
