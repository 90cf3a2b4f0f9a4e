#pragma once

// An alternate signal stack for the calling thread while the object lives. A thread
// that runs out of stack faults on a guard page, and the fault can only be handled
// (reported) on a stack of its own: every thread the program starts makes one of
// these first. A thread that has one already (a sanitizer's) keeps it.

#include <cstddef>

namespace tw::services {

class ThreadSignalStack {
public:
    static constexpr std::size_t kSize = 64 * 1024; // [bytes] room for the crash handler's calls

    ThreadSignalStack();
    ~ThreadSignalStack();
    ThreadSignalStack(ThreadSignalStack const&) = delete;
    ThreadSignalStack& operator=(ThreadSignalStack const&) = delete;

    // Whether the thread now has an alternate stack, ours or one it had.
    static bool HasSignalStack();

private:
    void* mMemory = nullptr; // owns, when ours
    std::size_t mSize = 0;
};

} // namespace tw::services
