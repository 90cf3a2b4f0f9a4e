#include "foundation/CThreadParts.h"

#include "services/ThreadSignalStack.h"

#include <algorithm>
#include <pthread.h>
#include <sched.h>
#include <vector>

namespace {

struct Part {
    std::function<void(std::size_t)> const* run = nullptr;
    std::size_t index = 0;
    pthread_t thread {};
    bool started = false;

    static void* Entry(void* part)
    {
        tw::services::ThreadSignalStack const signalStack;
        auto const* self = static_cast<Part const*>(part);
        (*self->run)(self->index);
        return nullptr;
    }
};

} // namespace

void CThreadParts::Run(std::size_t parts, std::function<void(std::size_t part)> const& run)
{
    std::vector<Part> threads(parts);
    for (std::size_t k = 1; k < parts; ++k) {
        threads[k].run = &run;
        threads[k].index = k;
        threads[k].started = pthread_create(&threads[k].thread, nullptr, Part::Entry, &threads[k]) == 0;
    }
    if (parts > 0)
        run(0);
    for (std::size_t k = 1; k < parts; ++k) {
        if (threads[k].started)
            pthread_join(threads[k].thread, nullptr);
        else
            run(k);
    }
}

std::size_t CThreadParts::MostParts()
{
    constexpr std::size_t kMostParts = 8; // more threads gain little and each holds memory of its own
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return 1;
    return std::clamp<std::size_t>(std::size_t(CPU_COUNT(&allowed)), 1, kMostParts);
}

std::thread CThreadParts::Start(std::function<void()> run)
{
    return std::thread([run = std::move(run)] {
        tw::services::ThreadSignalStack const signalStack;
        run();
    });
}
