#pragma once

// Wakes the main thread from a device I/O thread without any polling: Signal
// posts one Carbon event to the application target, and the handler this
// object installed there runs the callback on the main thread. Several
// signals before the callback runs make one call. Made and destroyed on the
// main thread; Signal may be called from any thread.

#include "platform/Platform.h"

#include <atomic>

class CMainThreadPost {
public:
    using Callback = void (*)(void* context);

    CMainThreadPost(Callback callback, void* context);
    CMainThreadPost(CMainThreadPost const&) = delete;
    CMainThreadPost& operator=(CMainThreadPost const&) = delete;
    ~CMainThreadPost();

    void Signal();

private:
    static OSStatus HandleEvent(EventHandlerCallRef call, EventRef event, void* userData);

    Callback mCallback;
    void* mContext; // borrowed
    UInt64 mSerial; // tells our events from those of an object gone before us
    EventHandlerRef mHandler = nullptr; // owns
    std::atomic<bool> mPending { false };
};
