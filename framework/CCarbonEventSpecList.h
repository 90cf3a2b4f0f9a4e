#pragma once

#include "events/CarbonEvents.h"

#include <vector>

// An ordered list of (event class, event kind) pairs, duplicates kept, as a
// handler asks for them.
class CCarbonEventSpecList {
public:
    CCarbonEventSpecList() = default;
    CCarbonEventSpecList(UInt32 eventClass, UInt32 eventKind);
    // From an array ended by a pair whose class is 0; null gives an empty list.
    explicit CCarbonEventSpecList(EventTypeSpec const* events);
    virtual ~CCarbonEventSpecList() = default;

    void Add(CCarbonEventSpecList const& other);
    // Erases the first equal pair; nothing when absent.
    void Remove(EventTypeSpec const& spec);
    void Remove(CCarbonEventSpecList const& other);

    ItemCount GetCount() const { return mSpecs.size(); }
    // The pairs as one array, or null when the list is empty.
    EventTypeSpec const* GetList() const { return mSpecs.empty() ? nullptr : mSpecs.data(); }

private:
    std::vector<EventTypeSpec> mSpecs;
};
