#include "foundation/CThreadParts.h"

#include "services/ThreadSignalStack.h"

#include <pthread.h>
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
