#include "framework/CCarbonEventHandler.h"

#include <algorithm>

CCarbonEventSpecList::CCarbonEventSpecList(UInt32 eventClass, UInt32 eventKind)
    : mSpecs { { eventClass, eventKind } }
{
}

CCarbonEventSpecList::CCarbonEventSpecList(EventTypeSpec const* events)
{
    for (; events && events->eventClass != 0; ++events)
        mSpecs.push_back(*events);
}

void CCarbonEventSpecList::Add(CCarbonEventSpecList const& other)
{
    // Copied first: the other list may be this one.
    std::vector<EventTypeSpec> const added = other.mSpecs;
    mSpecs.insert(mSpecs.end(), added.begin(), added.end());
}

void CCarbonEventSpecList::Remove(EventTypeSpec const& spec)
{
    auto const it = std::find_if(mSpecs.begin(), mSpecs.end(),
        [&](EventTypeSpec const& s) { return s.eventClass == spec.eventClass && s.eventKind == spec.eventKind; });
    if (it != mSpecs.end())
        mSpecs.erase(it);
}

void CCarbonEventSpecList::Remove(CCarbonEventSpecList const& other)
{
    std::vector<EventTypeSpec> const removed = other.mSpecs;
    for (EventTypeSpec const& spec : removed)
        Remove(spec);
}
