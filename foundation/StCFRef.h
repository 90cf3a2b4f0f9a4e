#pragma once

// Holder of one Core Foundation reference: it takes over the caller's reference
// and never retains. `Set` stores a reference without releasing the one held
// before (callers set it once); `Replace` releases the held one first.

#include "platform/Platform.h"

#include <utility>

template <typename T = CFTypeRef> class StCFRef {
public:
    StCFRef() = default;
    explicit StCFRef(T ref)
        : mRef(ref)
    {
    }
    StCFRef(StCFRef const&) = delete;
    StCFRef& operator=(StCFRef const&) = delete;
    StCFRef(StCFRef&& other) noexcept
        : mRef(std::exchange(other.mRef, nullptr))
    {
    }
    ~StCFRef()
    {
        if (mRef)
            CFRelease(mRef);
    }

    bool Set(T ref)
    {
        mRef = ref;
        return mRef != nullptr;
    }
    void Replace(T ref)
    {
        T old = std::exchange(mRef, ref);
        if (old)
            CFRelease(old);
    }
    T Get() const { return mRef; }
    operator T() const { return mRef; } // NOLINT: passes straight to CF calls
    bool IsValid() const { return mRef != nullptr; }

private:
    T mRef = nullptr; // owns
};
