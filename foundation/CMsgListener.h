#pragma once

// Receives the messages of the broadcasters it listens to. It detaches itself
// from all of them when it is destroyed, so a broadcaster never calls a dead
// listener. Thread of its owner.

#include "platform/Platform.h"

#include <vector>

class CMsgBroadcaster;

class CMsgListener {
public:
    CMsgListener() = default;
    // A copy listens to nothing.
    CMsgListener(CMsgListener const&);
    CMsgListener& operator=(CMsgListener const&) { return *this; }
    virtual ~CMsgListener();

    virtual void DoMessage(UInt32 message, void* parameter) = 0;

    // While off, messages are not delivered; the attachments stay.
    void SetListening(bool listening) { mListening = listening; }
    bool IsListening() const { return mListening; }
    bool IsListeningTo(CMsgBroadcaster const* broadcaster) const;

private:
    friend class CMsgBroadcaster;

    std::vector<CMsgBroadcaster*> mBroadcasters; // weak: each broadcaster detaches us when it dies
    bool mListening = true;
};
