#include "services/ThreadSignalStack.h"

#include <algorithm>
#include <csignal>
#include <sys/mman.h>

namespace tw::services {

ThreadSignalStack::ThreadSignalStack()
{
    if (HasSignalStack())
        return;
    std::size_t const size = std::max<std::size_t>(kSize, SIGSTKSZ);
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (memory == MAP_FAILED)
        return;
    stack_t const stack { memory, 0, size };
    if (sigaltstack(&stack, nullptr) != 0) {
        munmap(memory, size);
        return;
    }
    mMemory = memory;
    mSize = size;
}

ThreadSignalStack::~ThreadSignalStack()
{
    if (!mMemory)
        return;
    stack_t current {};
    if (sigaltstack(nullptr, &current) != 0)
        return;
    if (current.ss_sp == mMemory) {
        // Left in place while a handler runs on it; the thread is ending anyway.
        if (current.ss_flags & SS_ONSTACK)
            return;
        stack_t const none { nullptr, SS_DISABLE, 0 };
        sigaltstack(&none, nullptr);
    }
    munmap(mMemory, mSize);
}

bool ThreadSignalStack::HasSignalStack()
{
    stack_t current {};
    return sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE);
}

} // namespace tw::services
