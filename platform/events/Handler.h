#pragma once

#include "events/CarbonEvents.h"

#include <vector>

namespace tw::events {

// One installed event handler: its procedure, user data and the (class, kind)
// pairs it takes. A pair added twice must be removed twice. Reference-counted
// so that a dispatch in progress keeps a handler removed under it readable.
// When its target goes first, a handler whose ref the installer kept stays
// allocated (inert) until RemoveEventHandler: the installer's later removal
// must not land on another handler that reused the memory.
class Handler {
public:
    Handler(Target* target, EventHandlerUPP proc, void* userData, bool standard, bool refKept);
    Handler(Handler const&) = delete;
    Handler& operator=(Handler const&) = delete;

    void Retain() { ++mRefs; }
    void Release();

    bool Takes(EventClass eventClass, EventKind kind) const;
    void AddTypes(ItemCount count, EventTypeSpec const* list);
    OSStatus RemoveTypes(ItemCount count, EventTypeSpec const* list);

    OSStatus Call(EventHandlerCallRef callRef, EventRef event) const;

    Target* GetTarget() const { return mTarget; }
    bool IsRemoved() const { return mTarget == nullptr; }
    // Forgets the target; the handler is not called again.
    void Detach() { mTarget = nullptr; }
    // The target's reference, when the target goes: kept for an installer that holds the ref.
    void ReleaseForTarget();
    // The installer's removal: from the target, or of an inert handler.
    OSStatus RemoveByInstaller();
    bool IsStandard() const { return mStandard; }
    EventHandlerUPP GetProc() const { return mProc; }
    void* GetUserData() const { return mUserData; }

    // Whether a ref names a handler that is installed now.
    static bool IsLive(EventHandlerRef handler);
    // Whether a ref names a handler, installed or inert.
    static bool IsKnown(EventHandlerRef handler);

private:
    ~Handler();

    struct Registration {
        EventTypeSpec spec;
        UInt32 count;
    };

    Target* mTarget; // weak: cleared on removal
    EventHandlerUPP mProc;
    void* mUserData; // borrowed
    bool mStandard;
    bool mRefKept; // the installer holds the ref and will remove it
    bool mInert = false; // target gone, ref still held by the installer
    UInt32 mRefs = 1;
    std::vector<Registration> mTypes;
};

} // namespace tw::events
