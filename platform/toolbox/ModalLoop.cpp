#include "toolbox/ModalLoop.h"

#include "toolbox/MenuBar.h"

#include <algorithm>
#include <vector>

namespace tw::toolbox {

namespace {

    std::vector<std::function<void()>> sHeld;
    std::vector<std::vector<UInt32>> sOffered; // each loop's, the innermost last

} // namespace

void ModalLoop::Enter(std::vector<UInt32> offered)
{
    sOffered.push_back(std::move(offered));
    if (sDepth++ == 0)
        MenuBar::Invalidate(); // its titles grey
}

void ModalLoop::Leave()
{
    if (sDepth > 0)
        --sDepth;
    if (!sOffered.empty())
        sOffered.pop_back();
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

bool ModalLoop::Offers(UInt32 command)
{
    if (sDepth == 0 || MenuBar::IsStandardEditCommand(command))
        return true;
    return !sOffered.empty()
        && std::find(sOffered.back().begin(), sOffered.back().end(), command) != sOffered.back().end();
}

void ModalLoop::Reset()
{
    sDepth = 0;
    sOffered.clear();
    sHeld.clear();
}

} // namespace tw::toolbox
