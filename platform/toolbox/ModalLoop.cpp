#include "toolbox/ModalLoop.h"

#include "toolbox/MenuBar.h"

#include <vector>

namespace tw::toolbox {

namespace {

    std::vector<std::function<void()>> sHeld;

} // namespace

void ModalLoop::Enter()
{
    if (sDepth++ == 0)
        MenuBar::Invalidate(); // its titles grey
}

void ModalLoop::Leave()
{
    if (sDepth > 0)
        --sDepth;
    if (sDepth > 0)
        return;
    MenuBar::Invalidate();
    // Taken first: an action may itself run a modal loop and hold back more.
    std::vector<std::function<void()>> held;
    held.swap(sHeld);
    for (auto const& action : held)
        action();
}

void ModalLoop::WhenDone(std::function<void()> action)
{
    if (!action)
        return;
    if (sDepth == 0)
        action();
    else
        sHeld.push_back(std::move(action));
}

void ModalLoop::Reset()
{
    sDepth = 0;
    sHeld.clear();
}

} // namespace tw::toolbox
