#pragma once

// A lock shared between threads: a spin lock that sleeps 300 µs between tries
// (type 0, for short critical sections) or a recursive lock (type 1).

#include "platform/Platform.h"

#include <atomic>
#include <mutex>

class CMutex {
public:
    enum Type : UInt32 {
        kMutexSpin = 0,
        kMutexRecursive = 1,
    };

    explicit CMutex(Type type = kMutexRecursive);
    CMutex(CMutex const&) = delete;
    CMutex& operator=(CMutex const&) = delete;

    void Lock();
    bool TryLock();
    void Unlock();
    Type GetType() const { return mType; }

private:
    Type mType;
    std::atomic_flag mSpin = ATOMIC_FLAG_INIT;
    std::recursive_mutex mRecursive;
};
