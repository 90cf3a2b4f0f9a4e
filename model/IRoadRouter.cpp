#include "model/IRoadRouter.h"

namespace {
std::atomic<IRoadRouter*> gDefaultRouter { nullptr };
}

IRoadRouter* IRoadRouter::GetDefault()
{
    return gDefaultRouter.load(std::memory_order_acquire);
}

void IRoadRouter::SetDefault(IRoadRouter* router)
{
    gDefaultRouter.store(router, std::memory_order_release);
}
