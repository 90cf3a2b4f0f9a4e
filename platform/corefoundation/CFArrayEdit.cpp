// Changing mutable arrays.

#include "corefoundation/CFArray.h"
#include "corefoundation/Misuse.h"

#include <algorithm>

namespace {

using tw::cf::Array;

bool CheckMutable(CFMutableArrayRef a, char const* function)
{
    if (a && a->isMutable)
        return true;
    tw::cf::ReportMisuse(function, a ? "array is immutable" : "null array");
    return false;
}

bool CheckIndex(CFMutableArrayRef a, CFIndex index, CFIndex limit, char const* function)
{
    if (index >= 0 && index <= limit)
        return true;
    tw::cf::ReportMisuse(function, "index out of bounds");
    return false;
}

void const* RetainValue(Array const* a, void const* value)
{
    return a->callBacks.retain ? a->callBacks.retain(nullptr, value) : value;
}

void ReleaseValue(Array const* a, void const* value)
{
    if (a->callBacks.release)
        a->callBacks.release(nullptr, value);
}

} // namespace

void CFArrayAppendValue(CFMutableArrayRef a, void const* value)
{
    if (CheckMutable(a, "CFArrayAppendValue"))
        a->values.push_back(RetainValue(a, value));
}

void CFArrayAppendArray(CFMutableArrayRef a, CFArrayRef other, CFRange range)
{
    if (!CheckMutable(a, "CFArrayAppendArray"))
        return;
    CFIndex const count = CFArrayGetCount(other);
    if (range.location < 0 || range.length < 0 || range.location > count || range.length > count - range.location) {
        tw::cf::ReportMisuse("CFArrayAppendArray", "range out of bounds");
        return;
    }
    // Copy first: other may be a itself.
    std::vector<void const*> const added(other ? other->values.begin() + range.location : a->values.end(),
        other ? other->values.begin() + range.location + range.length : a->values.end());
    for (void const* value : added)
        a->values.push_back(RetainValue(a, value));
}

void CFArrayInsertValueAtIndex(CFMutableArrayRef a, CFIndex index, void const* value)
{
    if (CheckMutable(a, "CFArrayInsertValueAtIndex")
        && CheckIndex(a, index, CFIndex(a->values.size()), "CFArrayInsertValueAtIndex"))
        a->values.insert(a->values.begin() + index, RetainValue(a, value));
}

void CFArraySetValueAtIndex(CFMutableArrayRef a, CFIndex index, void const* value)
{
    if (!CheckMutable(a, "CFArraySetValueAtIndex")
        || !CheckIndex(a, index, CFIndex(a->values.size()), "CFArraySetValueAtIndex"))
        return;
    if (index == CFIndex(a->values.size())) {
        a->values.push_back(RetainValue(a, value));
        return;
    }
    void const* old = a->values[size_t(index)];
    a->values[size_t(index)] = RetainValue(a, value);
    ReleaseValue(a, old);
}

void CFArrayRemoveValueAtIndex(CFMutableArrayRef a, CFIndex index)
{
    if (!CheckMutable(a, "CFArrayRemoveValueAtIndex")
        || !CheckIndex(a, index, CFIndex(a->values.size()) - 1, "CFArrayRemoveValueAtIndex"))
        return;
    void const* old = a->values[size_t(index)];
    a->values.erase(a->values.begin() + index);
    ReleaseValue(a, old);
}

void CFArrayRemoveAllValues(CFMutableArrayRef a)
{
    if (!CheckMutable(a, "CFArrayRemoveAllValues"))
        return;
    std::vector<void const*> old;
    old.swap(a->values);
    for (void const* value : old)
        ReleaseValue(a, value);
}

void CFArrayExchangeValuesAtIndices(CFMutableArrayRef a, CFIndex i, CFIndex j)
{
    if (!CheckMutable(a, "CFArrayExchangeValuesAtIndices"))
        return;
    CFIndex const last = CFIndex(a->values.size()) - 1;
    if (CheckIndex(a, i, last, "CFArrayExchangeValuesAtIndices")
        && CheckIndex(a, j, last, "CFArrayExchangeValuesAtIndices"))
        std::swap(a->values[size_t(i)], a->values[size_t(j)]);
}

void CFArraySortValues(CFMutableArrayRef a, CFRange range, CFComparatorFunction comparator, void* context)
{
    if (!CheckMutable(a, "CFArraySortValues") || !comparator)
        return;
    CFIndex const count = CFIndex(a->values.size());
    if (range.location < 0 || range.length < 0 || range.location > count || range.length > count - range.location) {
        tw::cf::ReportMisuse("CFArraySortValues", "range out of bounds");
        return;
    }
    auto const first = a->values.begin() + range.location;
    std::stable_sort(first, first + range.length,
        [&](void const* x, void const* y) { return comparator(x, y, context) < kCFCompareEqualTo; });
}
