#pragma once

#include "events/CarbonEvents.h"
#include "events/Handler.h"

#include <vector>

namespace tw::events {

// An event target: the application, a window, a view or HIObject, a menu, or a
// target of the user's own. It holds a stack of handlers (the most recently
// installed runs first; standard handlers below them; the kind's standard
// behaviour, StandardHandler, last) and a parent to which events of the
// propagating classes go when nothing here handled them. Toolbox objects own
// their target or derive from it; the owner passed in is the object the
// Get...EventTarget calls find it by.
class Target {
public:
    enum class Kind { Application, Window, Control, HIObject, Menu, User };
    enum class Placement { Top, Standard };

    explicit Target(Kind kind, void const* owner = nullptr, Target* parent = nullptr);
    Target(Target const&) = delete;
    Target& operator=(Target const&) = delete;
    // Removes every handler and tells running dispatches that the target is gone.
    virtual ~Target();

    Kind GetKind() const { return mKind; }
    void const* GetOwner() const { return mOwner; }
    Target* GetParent() const { return mParent; }
    void SetParent(Target* parent) { mParent = parent; }

    // Placement::Standard puts the handler below every handler installed on top,
    // as the platform's own standard handlers sit.
    OSStatus Install(EventHandlerUPP proc, ItemCount count, EventTypeSpec const* list, void* userData,
        Placement placement, EventHandlerRef* outRef);
    OSStatus Remove(Handler* handler);
    // The installed handler with this procedure and user data, or null.
    Handler* FindHandler(EventHandlerUPP proc, void* userData) const;
    void RemoveAllHandlers();

    // What the kind does with an event none of the handlers took.
    virtual OSStatus StandardHandler(EventHandlerCallRef callRef, EventRef event);

    // Appends the live handlers taking (class, kind), first to run first.
    template <typename Sink> void CollectHandlers(EventClass eventClass, EventKind kind, Sink&& sink) const
    {
        for (auto it = mHandlers.rbegin(); it != mHandlers.rend(); ++it)
            if ((*it)->Takes(eventClass, kind))
                sink(*it);
    }

    // Running dispatches at this target, told when it is destroyed.
    void Attach(Dispatch* dispatch);
    void Detach(Dispatch* dispatch);

    static bool IsLive(Target const* target);
    static Target* FindByOwner(void const* owner);

private:
    Kind mKind;
    void const* mOwner; // borrowed
    Target* mParent; // weak: the owner keeps it current
    std::vector<Handler*> mHandlers; // owns one reference each; last runs first
    Dispatch* mDispatches = nullptr; // weak: intrusive list of stack frames
};

} // namespace tw::events
