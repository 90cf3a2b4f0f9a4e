#pragma once

// Sends four-character messages to the listeners attached to it, synchronously
// and in the order of attachment. A broadcast survives listeners that attach,
// detach or delete themselves or others, and the broadcaster's own destruction:
// a listener detached during a pass is not called afterwards. A broadcaster
// sends "ebde" with itself while it is destroyed. Thread of its owner.

#include "platform/Platform.h"

#include <vector>

class CMsgListener;

class CMsgBroadcaster {
public:
    static constexpr UInt32 kMsgBroadcasterDied = 'ebde';

    CMsgBroadcaster() = default;
    // A copy starts with no listeners.
    CMsgBroadcaster(CMsgBroadcaster const&);
    CMsgBroadcaster& operator=(CMsgBroadcaster const&) { return *this; }
    virtual ~CMsgBroadcaster();

    void AddListener(CMsgListener* listener);
    void RemoveListener(CMsgListener* listener);
    bool HasListener(CMsgListener const* listener) const;

    void BroadcastMessage(UInt32 message, void* parameter) const;

    // Messages are dropped while broadcasting is off; "ebde" is always sent.
    void SetBroadcasting(bool broadcasting) { mBroadcasting = broadcasting; }
    bool IsBroadcasting() const { return mBroadcasting; }

private:
    friend class CMsgListener;

    struct Entry {
        CMsgListener* listener; // weak: the listener detaches itself when destroyed
        UInt64 serial; // tells a re-attached listener from the one in a pass's snapshot
    };
    // One per running broadcast, innermost first, so destruction can end every pass.
    struct Pass {
        bool ended = false;
        Pass* outer = nullptr;
    };

    void Send(UInt32 message, void* parameter) const;
    bool IsAttached(Entry const& entry) const;
    void Detach(CMsgListener* listener); // this side only

    std::vector<Entry> mListeners;
    mutable Pass* mPasses = nullptr; // weak: stack objects of running broadcasts
    bool mBroadcasting = true;
};
