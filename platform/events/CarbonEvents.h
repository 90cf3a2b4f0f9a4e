#pragma once

// The Carbon Event Manager: events with typed parameters, targets with handler
// stacks, the main event queue, event loops (nested ones too) and event-loop
// timers. Everything here runs on the main thread, except PostEventToQueue and
// the event retain counts, which other threads may use.

#include "corefoundation/CFBase.h"
#include "corefoundation/MacTypes.h"

namespace tw::events {
class Event;
class Target;
class Handler;
class Dispatch;
class Loop;
class Timer;
class Queue;
} // namespace tw::events

using EventRef = tw::events::Event*;
using EventTargetRef = tw::events::Target*;
using EventHandlerRef = tw::events::Handler*;
using EventHandlerCallRef = tw::events::Dispatch*;
using EventLoopRef = tw::events::Loop*;
using EventLoopTimerRef = tw::events::Timer*;
using EventQueueRef = tw::events::Queue*;

using EventTime = double; // [s]
using EventTimeout = EventTime;
using EventTimerInterval = EventTime;

inline constexpr EventTime kEventDurationSecond = 1.0;
inline constexpr EventTime kEventDurationMillisecond = kEventDurationSecond / 1000;
inline constexpr EventTime kEventDurationMicrosecond = kEventDurationSecond / 1000000;
inline constexpr EventTime kEventDurationNoWait = 0.0;
inline constexpr EventTime kEventDurationForever = -1.0;

inline constexpr OSStatus eventAlreadyPostedErr = -9860;
inline constexpr OSStatus eventNotInQueueErr = -9877;

using EventClass = UInt32;
using EventKind = UInt32;
using EventParamName = OSType;
using EventParamType = OSType;
using DescType = OSType;
using EventAttributes = UInt32;
using OptionBits = UInt32;

struct EventTypeSpec {
    EventClass eventClass;
    EventKind eventKind;
};

enum : EventAttributes {
    kEventAttributeNone = 0,
    kEventAttributeUserEvent = 1 << 0,
};

enum EventPriority : SInt16 {
    kEventPriorityLow = 0,
    kEventPriorityStandard = 1,
    kEventPriorityHigh = 2,
};

// Options of SendEventToEventTargetWithOptions.
enum : OptionBits {
    kEventTargetDontPropagate = 1 << 0,
    kEventTargetSendToAllHandlers = 1 << 1,
};

// Parameter types shared with Apple event descriptors.
enum : DescType {
    typeWildCard = '****',
    typeNull = 'null',
    typeBoolean = 'bool',
    typeSInt16 = 'shor',
    typeUInt16 = 'ushr',
    typeSInt32 = 'long',
    typeUInt32 = 'magn',
    typeSInt64 = 'comp',
    typeUInt64 = 'ucom',
    typeIEEE32BitFloatingPoint = 'sing',
    typeIEEE64BitFloatingPoint = 'doub',
    typeType = 'type',
    typeOSStatus = 'osst',
    typeChar = 'TEXT',
    typeUTF8Text = 'utf8',
    typeVoidPtr = 'void',
    typeEventRef = 'evrf',
    typeEventTargetRef = 'etrg',
    typeCFTypeRef = 'cfty',
    typeCFStringRef = 'cfst',
    typeCFMutableArrayRef = 'cfma',
};

// Parameter names used by the event core itself.
enum : EventParamName {
    kEventParamDirectObject = '----',
    kEventParamPostTarget = 'ptrg', // typeEventTargetRef: where a posted event goes
};

using EventHandlerProcPtr = OSStatus (*)(EventHandlerCallRef callRef, EventRef event, void* userData);
using EventHandlerUPP = EventHandlerProcPtr;
using EventLoopTimerProcPtr = void (*)(EventLoopTimerRef timer, void* userData);
using EventLoopTimerUPP = EventLoopTimerProcPtr;

enum EventLoopIdleTimerMessage : UInt16 {
    kEventLoopIdleTimerStarted = 1,
    kEventLoopIdleTimerIdling = 2,
    kEventLoopIdleTimerStopped = 3,
};
using EventLoopIdleTimerProcPtr = void (*)(EventLoopTimerRef timer, EventLoopIdleTimerMessage state, void* userData);
using EventLoopIdleTimerUPP = EventLoopIdleTimerProcPtr;

// UPPs are the plain function pointers: safe to make during static initialisation.
constexpr EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr proc) { return proc; }
constexpr EventLoopTimerUPP NewEventLoopTimerUPP(EventLoopTimerProcPtr proc) { return proc; }
constexpr EventLoopIdleTimerUPP NewEventLoopIdleTimerUPP(EventLoopIdleTimerProcPtr proc) { return proc; }
inline void DisposeEventHandlerUPP(EventHandlerUPP) { }
inline void DisposeEventLoopTimerUPP(EventLoopTimerUPP) { }
inline void DisposeEventLoopIdleTimerUPP(EventLoopIdleTimerUPP) { }

// Events. Born with one reference; the allocator is ignored.
OSStatus CreateEvent(CFAllocatorRef allocator, EventClass eventClass, EventKind kind, EventTime when,
    EventAttributes flags, EventRef* outEvent);
EventRef CopyEvent(EventRef event);
EventRef RetainEvent(EventRef event);
void ReleaseEvent(EventRef event);
ItemCount GetEventRetainCount(EventRef event);
EventClass GetEventClass(EventRef event);
EventKind GetEventKind(EventRef event);
EventTime GetEventTime(EventRef event);
OSStatus SetEventTime(EventRef event, EventTime when);

// Parameters are stored as type plus bytes and read back only with the stored
// type (or typeWildCard, which reports the stored type): no coercion. A missing
// parameter gives eventParameterNotFoundErr, one of another type
// errAECoercionFail, a buffer smaller than the value paramErr (with the size
// reported and nothing written). A null outData asks only for type and size.
OSStatus SetEventParameter(EventRef event, EventParamName name, EventParamType type, ByteCount size, void const* data);
OSStatus GetEventParameter(EventRef event, EventParamName name, EventParamType desiredType,
    EventParamType* outActualType, ByteCount bufferSize, ByteCount* outActualSize, void* outData);
OSStatus RemoveEventParameter(EventRef event, EventParamName name);

// Handlers: the most recently installed handler of a target runs first.
OSStatus InstallEventHandler(EventTargetRef target, EventHandlerUPP handler, ItemCount numTypes,
    EventTypeSpec const* list, void* userData, EventHandlerRef* outRef);
OSStatus RemoveEventHandler(EventHandlerRef handler);
OSStatus AddEventTypesToHandler(EventHandlerRef handler, ItemCount numTypes, EventTypeSpec const* list);
OSStatus RemoveEventTypesFromHandler(EventHandlerRef handler, ItemCount numTypes, EventTypeSpec const* list);
OSStatus CallNextEventHandler(EventHandlerCallRef callRef, EventRef event);

// Sending runs the target's handlers (latest first), its standard behaviour,
// then, for unhandled mouse, keyboard, text input, command and control events,
// the same on the parent target, up to the application.
EventTargetRef GetApplicationEventTarget();
// The focused view of the active window, else that window, else the application.
EventTargetRef GetUserFocusEventTarget();
OSStatus SendEventToEventTarget(EventRef event, EventTargetRef target);
OSStatus SendEventToEventTargetWithOptions(EventRef event, EventTargetRef target, OptionBits options);

// The queue. Thread-safe: a worker may post, and posting wakes a waiting loop.
// The loop sends a posted event to its kEventParamPostTarget (dropped when that
// target is gone), else through the router, else command, keyboard and text
// events to the user focus and the rest to the application.
EventQueueRef GetMainEventQueue();
EventQueueRef GetCurrentEventQueue();
OSStatus PostEventToQueue(EventQueueRef queue, EventRef event, EventPriority priority);
OSStatus RemoveEventFromQueue(EventQueueRef queue, EventRef event);
Boolean IsEventInQueue(EventQueueRef queue, EventRef event);
OSStatus FlushEventQueue(EventQueueRef queue);
ItemCount GetNumEventsInQueue(EventQueueRef queue);

// Loops. RunCurrentEventLoop may nest; QuitEventLoop ends the innermost run.
EventLoopRef GetMainEventLoop();
EventLoopRef GetCurrentEventLoop();
// Returns eventLoopTimedOutErr when the time ran out, eventLoopQuitErr when quit.
OSStatus RunCurrentEventLoop(EventTimeout inTimeout);
OSStatus QuitEventLoop(EventLoopRef loop);
void RunApplicationEventLoop();
void QuitApplicationEventLoop();

// Timers fire in every loop run, nested ones included, in order of due time.
// An interval of 0 makes a one-shot timer; its ref stays valid until removed.
OSStatus InstallEventLoopTimer(EventLoopRef loop, EventTimerInterval fireDelay, EventTimerInterval interval,
    EventLoopTimerUPP proc, void* userData, EventLoopTimerRef* outTimer);
// Behaves as a plain timer: called with kEventLoopIdleTimerIdling each time it fires.
OSStatus InstallEventLoopIdleTimer(EventLoopRef loop, EventTimerInterval delay, EventTimerInterval interval,
    EventLoopIdleTimerUPP proc, void* userData, EventLoopTimerRef* outTimer);
OSStatus RemoveEventLoopTimer(EventLoopTimerRef timer);
OSStatus SetEventLoopTimerNextFireTime(EventLoopTimerRef timer, EventTimerInterval nextFire);

// Seconds on a monotonic clock; in tests, the manual clock.
EventTime GetCurrentEventTime();

namespace tw::events {

// The manual clock: while on, time moves only when a loop runs for a while (or
// by AdvanceClock), jumping from due timer to due timer without sleeping.
void SetManualClock(bool on);
bool IsManualClock();
void AdvanceClock(EventTime seconds);

// Routes a posted event that names no target (the toolbox sends mouse and key
// events to windows through it). Without a router, events go to the application target.
using PostedEventRouter = OSStatus (*)(EventRef event);
void SetPostedEventRouter(PostedEventRouter router);

// Answers GetUserFocusEventTarget (set by the toolbox, which knows the focus).
using UserFocusProvider = EventTargetRef (*)();
void SetUserFocusProvider(UserFocusProvider provider);

// Test only: removes every timer, queued event, handler and loop state.
void ResetEventSystemForTesting();
// Test only: the main loop's timers that will fire again (an idle program has none).
ItemCount CountScheduledTimersForTesting();

} // namespace tw::events
