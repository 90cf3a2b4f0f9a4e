#pragma once

// Holds a CMutex for the life of a scope.

#include "foundation/CMutex.h"

class StMutexLock {
public:
    explicit StMutexLock(CMutex& mutex)
        : mMutex(mutex)
    {
        mMutex.Lock();
    }
    StMutexLock(StMutexLock const&) = delete;
    StMutexLock& operator=(StMutexLock const&) = delete;
    ~StMutexLock() { mMutex.Unlock(); }

private:
    CMutex& mMutex; // borrowed
};
