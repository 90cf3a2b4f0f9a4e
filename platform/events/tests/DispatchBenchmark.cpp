#include "events/CarbonEvents.h"
#include "events/Target.h"

#include <benchmark/benchmark.h>

namespace {

OSStatus NotHandled(EventHandlerCallRef, EventRef, void*) { return eventNotHandledErr; }
OSStatus Handled(EventHandlerCallRef, EventRef event, void*)
{
    UInt32 value = 0;
    GetEventParameter(event, 'valu', typeUInt32, nullptr, sizeof value, nullptr, &value);
    benchmark::DoNotOptimize(value);
    return noErr;
}

// A prepared event through three handlers of one target: two pass, the last takes it.
void SendThroughThreeHandlers(benchmark::State& state)
{
    tw::events::Target target(tw::events::Target::Kind::Control);
    EventTypeSpec const spec { 'cntl', 1 };
    InstallEventHandler(&target, Handled, 1, &spec, nullptr, nullptr);
    InstallEventHandler(&target, NotHandled, 1, &spec, nullptr, nullptr);
    InstallEventHandler(&target, NotHandled, 1, &spec, nullptr, nullptr);
    EventRef event = nullptr;
    CreateEvent(nullptr, 'cntl', 1, 0, kEventAttributeNone, &event);
    UInt32 const value = 3;
    SetEventParameter(event, 'valu', typeUInt32, sizeof value, &value);
    for (auto _ : state)
        benchmark::DoNotOptimize(SendEventToEventTarget(event, &target));
    ReleaseEvent(event);
}
BENCHMARK(SendThroughThreeHandlers);

// The whole life of an event: create, set a parameter, send, release.
void CreateSendRelease(benchmark::State& state)
{
    tw::events::Target target(tw::events::Target::Kind::Control);
    EventTypeSpec const spec { 'cntl', 1 };
    InstallEventHandler(&target, Handled, 1, &spec, nullptr, nullptr);
    for (auto _ : state) {
        EventRef event = nullptr;
        CreateEvent(nullptr, 'cntl', 1, 0, kEventAttributeNone, &event);
        UInt32 const value = 3;
        SetEventParameter(event, 'valu', typeUInt32, sizeof value, &value);
        benchmark::DoNotOptimize(SendEventToEventTarget(event, &target));
        ReleaseEvent(event);
    }
}
BENCHMARK(CreateSendRelease);

} // namespace
