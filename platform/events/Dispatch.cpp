#include "events/Dispatch.h"

#include "events/CommandTypes.h"
#include "events/Event.h"
#include "events/Handler.h"
#include "events/Target.h"

#include <algorithm>

namespace tw::events {

namespace {

    // Classes that go up the containment chain (view, enclosing views, window,
    // application) when nothing on the way handled them: input and commands reach
    // whoever is interested above the view that got them, and control
    // notifications reach the window that holds the control. Window, menu,
    // application and object-lifetime events concern only their own target.
    constexpr std::array kPropagatingClasses {
        kEventClassMouse,
        kEventClassKeyboard,
        kEventClassTextInput,
        kEventClassCommand,
        kEventClassControl,
    };

} // namespace

Dispatch::Dispatch(EventRef event, Target* target, OptionBits options)
    : mTarget(nullptr)
    , mOptions(options)
    , mClass(GetEventClass(event))
    , mKind(GetEventKind(event))
{
    Enter(target);
}

Dispatch::~Dispatch() { Leave(); }

bool Dispatch::Propagates(EventClass eventClass)
{
    return std::find(kPropagatingClasses.begin(), kPropagatingClasses.end(), eventClass) != kPropagatingClasses.end();
}

void Dispatch::Enter(Target* target)
{
    mTarget = target;
    mCount = 0;
    mNext = 0;
    mStandardDone = false;
    target->Attach(this);
    target->CollectHandlers(mClass, mKind, [this](Handler* handler) { Push(handler); });
}

void Dispatch::Leave()
{
    for (std::size_t i = 0; i < mCount; ++i)
        At(i)->Release();
    mOverflow.clear();
    mCount = 0;
    mNext = 0;
    if (mTarget)
        mTarget->Detach(this);
    mTarget = nullptr;
}

void Dispatch::Push(Handler* handler)
{
    handler->Retain();
    if (mCount < kInlineHandlers)
        mInline[mCount] = handler;
    else
        mOverflow.push_back(handler);
    ++mCount;
}

Handler* Dispatch::At(std::size_t index) const
{
    return index < kInlineHandlers ? mInline[index] : mOverflow[index - kInlineHandlers];
}

OSStatus Dispatch::Continue(EventRef event)
{
    // A handler that called CallNextEventHandler has had the rest of the chain:
    // its own answer is final, and a second call finds nothing left.
    if (mFinished)
        return eventNotHandledErr;
    OSStatus const status = Walk(event);
    mFinished = true;
    return status;
}

OSStatus Dispatch::Walk(EventRef event)
{
    bool const toAll = mOptions & kEventTargetSendToAllHandlers;
    while (mTarget) {
        OSStatus status = eventNotHandledErr;
        if (mNext < mCount) {
            Handler* handler = At(mNext++);
            if (handler->IsRemoved())
                continue;
            status = handler->Call(this, event);
        } else if (!mStandardDone) {
            mStandardDone = true;
            status = mTarget->StandardHandler(this, event);
        } else {
            if (toAll || (mOptions & kEventTargetDontPropagate) || !Propagates(mClass))
                break;
            Target* parent = mTarget->GetParent();
            if (!parent || !Target::IsLive(parent))
                break;
            Leave();
            Enter(parent);
            continue;
        }
        if (mFinished)
            return status;
        if (status != eventNotHandledErr) {
            if (!toAll)
                return status;
            mHandledAny = true;
        }
    }
    return mHandledAny ? noErr : eventNotHandledErr;
}

} // namespace tw::events

using tw::events::Dispatch;
using tw::events::Target;

OSStatus SendEventToEventTargetWithOptions(EventRef event, EventTargetRef target, OptionBits options)
{
    if (!event || !Target::IsLive(target))
        return paramErr;
    event->Retain();
    Dispatch dispatch(event, target, options);
    OSStatus const status = dispatch.Continue(event);
    event->Release();
    return status;
}

OSStatus SendEventToEventTarget(EventRef event, EventTargetRef target)
{
    return SendEventToEventTargetWithOptions(event, target, 0);
}

OSStatus CallNextEventHandler(EventHandlerCallRef callRef, EventRef event)
{
    if (!callRef || !event)
        return paramErr;
    return callRef->Continue(event);
}
