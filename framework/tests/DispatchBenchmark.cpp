#include "events/Target.h"
#include "framework/CCarbonEventHandler.h"

#include <benchmark/benchmark.h>

namespace {

class CPassing : public CCarbonEventHandler { };

class CTaking : public CCarbonEventHandler {
public:
    OSStatus DoEventControlHit(CCarbonEvent& event) override
    {
        benchmark::DoNotOptimize(event.GetParameterUInt32('valu'));
        return noErr;
    }
};

// A control hit through three handler objects on one control: two pass it on,
// the first installed takes it in its named operation.
void DispatchThroughThreeHandlerObjects(benchmark::State& state)
{
    int owner = 0;
    tw::events::Target control(tw::events::Target::Kind::Control, &owner);
    auto const controlRef = reinterpret_cast<ControlRef>(&owner);
    EventTypeSpec const specs[] = { { kEventClassControl, kEventControlHit }, { 0, 0 } };
    CTaking taking;
    CPassing first, second;
    taking.InstallHandler(controlRef, specs);
    first.InstallHandler(controlRef, specs);
    second.InstallHandler(controlRef, specs);
    CCarbonEvent event(kEventClassControl, kEventControlHit);
    event.SetParameterUInt32('valu', 3);
    for (auto _ : state)
        benchmark::DoNotOptimize(event.SendToTarget(&control));
}
BENCHMARK(DispatchThroughThreeHandlerObjects);

} // namespace
