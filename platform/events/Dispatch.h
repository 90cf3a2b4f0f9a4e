#pragma once

#include "events/CarbonEvents.h"

#include <array>
#include <vector>

namespace tw::events {

// One delivery of an event, living on the sender's stack; its address is the
// EventHandlerCallRef that CallNextEventHandler continues from. It walks a
// snapshot of the current target's handlers (so handlers installed or removed
// meanwhile change nothing in this pass, and a removed one is skipped), then
// the target's standard behaviour, then the parent target for propagating
// event classes. Handlers are retained while in the snapshot and the target
// tells the dispatch when it is destroyed, so a handler may remove itself or
// delete its object. No heap allocation unless a target has more than
// kInlineHandlers handlers for one event.
class Dispatch {
public:
    Dispatch(EventRef event, Target* target, OptionBits options);
    Dispatch(Dispatch const&) = delete;
    Dispatch& operator=(Dispatch const&) = delete;
    ~Dispatch();

    // Runs the rest of the chain until a handler takes the event.
    OSStatus Continue(EventRef event);

    // Whether unhandled events of this class go on to the parent target.
    static bool Propagates(EventClass eventClass);

private:
    friend class Target;
    static constexpr std::size_t kInlineHandlers = 8;

    OSStatus Walk(EventRef event);
    void Enter(Target* target);
    void Leave();
    void Push(Handler* handler);
    Handler* At(std::size_t index) const;
    void TargetDestroyed() { mTarget = nullptr; }

    Target* mTarget; // weak: cleared by the target's destructor
    Dispatch* mNextAtTarget = nullptr; // weak: the target's list of running dispatches
    OptionBits mOptions;
    EventClass mClass;
    EventKind mKind;
    std::size_t mCount = 0;
    std::size_t mNext = 0;
    bool mStandardDone = false;
    bool mHandledAny = false;
    bool mFinished = false;
    std::array<Handler*, kInlineHandlers> mInline {}; // retains each
    std::vector<Handler*> mOverflow; // retains each
};

} // namespace tw::events
