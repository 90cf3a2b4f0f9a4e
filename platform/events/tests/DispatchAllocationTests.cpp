#include "events/CarbonEvents.h"
#include "events/Target.h"
#include "tests/support/ManualClock.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

// Counts every allocation in this test binary, so a test can check that a
// piece of work allocates nothing.
namespace {
std::atomic<long> gAllocations { 0 };
}

void* operator new(std::size_t size, std::nothrow_t const&) noexcept
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void* operator new(std::size_t size)
{
    if (void* p = operator new(size, std::nothrow))
        return p;
    std::abort(); // as every allocation failure in this program
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new[](std::size_t size, std::nothrow_t const&) noexcept { return operator new(size, std::nothrow); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::nothrow_t const&) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::nothrow_t const&) noexcept { std::free(p); }

namespace {

OSStatus NotHandled(EventHandlerCallRef, EventRef, void*) { return eventNotHandledErr; }
OSStatus Handled(EventHandlerCallRef, EventRef, void*) { return noErr; }
OSStatus PassOn(EventHandlerCallRef callRef, EventRef event, void*) { return CallNextEventHandler(callRef, event); }

TEST(DispatchAllocation, SendingAPreparedEventAllocatesNothing)
{
    tw::test::ManualClock clock;
    tw::events::Target window(tw::events::Target::Kind::Window, nullptr, GetApplicationEventTarget());
    tw::events::Target control(tw::events::Target::Kind::Control, nullptr, &window);
    EventTypeSpec const spec { 'cntl', 1 };
    InstallEventHandler(&window, Handled, 1, &spec, nullptr, nullptr);
    InstallEventHandler(&control, NotHandled, 1, &spec, nullptr, nullptr);
    InstallEventHandler(&control, PassOn, 1, &spec, nullptr, nullptr);
    InstallEventHandler(&control, NotHandled, 1, &spec, nullptr, nullptr);
    EventRef event = nullptr;
    ASSERT_EQ(CreateEvent(nullptr, 'cntl', 1, 0, kEventAttributeNone, &event), noErr);
    UInt32 const value = 3;
    SetEventParameter(event, 'valu', typeUInt32, sizeof value, &value);
    ASSERT_EQ(SendEventToEventTarget(event, &control), noErr);

    long const before = gAllocations.load();
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(SendEventToEventTarget(event, &control), noErr);
    EXPECT_EQ(gAllocations.load() - before, 0);
    ReleaseEvent(event);

    // The count does see allocations: making an event is one.
    long const beforeCreate = gAllocations.load();
    ASSERT_EQ(CreateEvent(nullptr, 'cntl', 1, 0, kEventAttributeNone, &event), noErr);
    EXPECT_EQ(gAllocations.load() - beforeCreate, 1);
    ReleaseEvent(event);
}

} // namespace
