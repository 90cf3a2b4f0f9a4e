#include "corefoundation/CFArray.h"

#include "corefoundation/Misuse.h"

#include <algorithm>
#include <cstdio>

namespace {

CFTypeRef AsObject(void const* value) { return static_cast<CFTypeRef>(value); }

void const* RetainObject(CFAllocatorRef, void const* value) { return CFRetain(AsObject(value)); }

void ReleaseObject(CFAllocatorRef, void const* value) { CFRelease(AsObject(value)); }

CFStringRef DescribeObject(void const* value) { return CFCopyDescription(AsObject(value)); }

Boolean EqualObjects(void const* a, void const* b) { return CFEqual(AsObject(a), AsObject(b)); }

} // namespace

CFArrayCallBacks const kCFTypeArrayCallBacks = { 0, RetainObject, ReleaseObject, DescribeObject, EqualObjects };

namespace tw::cf {

Array::Array(CFArrayCallBacks const* cb, bool m)
    : callBacks(cb ? *cb : CFArrayCallBacks {})
    , isMutable(m)
{
}

Array::~Array()
{
    if (callBacks.release) {
        for (void const* value : values)
            callBacks.release(nullptr, value);
    }
}

bool Array::Equals(Object const& other) const
{
    auto const& that = static_cast<Array const&>(other);
    if (values.size() != that.values.size())
        return false;
    for (size_t i = 0; i < values.size(); ++i) {
        bool const same = callBacks.equal ? callBacks.equal(values[i], that.values[i]) : values[i] == that.values[i];
        if (!same)
            return false;
    }
    return true;
}

CFHashCode Array::Hash() const { return CFHashCode(values.size()); }

String* Array::CopyDescription() const
{
    std::u16string text = u"(\n";
    for (size_t i = 0; i < values.size(); ++i) {
        text += u"    ";
        if (callBacks.copyDescription) {
            CFStringRef item = callBacks.copyDescription(values[i]);
            text += item ? item->Text() : u"(null)";
            CFRelease(item);
        } else {
            char pointer[32];
            std::snprintf(pointer, sizeof pointer, "%p", values[i]);
            text += UTF8ToUTF16(pointer);
        }
        text += i + 1 < values.size() ? u",\n" : u"\n";
    }
    text += u")";
    return new String(std::move(text));
}

} // namespace tw::cf

namespace {

using tw::cf::Array;

bool IsValidRange(CFArrayRef a, CFRange range)
{
    CFIndex const count = CFArrayGetCount(a);
    return range.location >= 0 && range.length >= 0 && range.location <= count
        && range.length <= count - range.location;
}

void const* RetainValue(Array const* a, void const* value)
{
    return a->callBacks.retain ? a->callBacks.retain(nullptr, value) : value;
}

Array* CopyArray(CFArrayRef a, bool isMutable)
{
    auto* copy = new Array(a ? &a->callBacks : &kCFTypeArrayCallBacks, isMutable);
    if (a) {
        copy->values.reserve(a->values.size());
        for (void const* value : a->values)
            copy->values.push_back(RetainValue(copy, value));
    }
    return copy;
}

} // namespace

CFTypeID CFArrayGetTypeID() { return kTWTypeIDArray; }

CFArrayRef CFArrayCreate(CFAllocatorRef, void const** values, CFIndex count, CFArrayCallBacks const* callBacks)
{
    auto* a = new Array(callBacks, false);
    if (values && count > 0) {
        a->values.reserve(size_t(count));
        for (CFIndex i = 0; i < count; ++i)
            a->values.push_back(RetainValue(a, values[i]));
    }
    return a;
}

CFArrayRef CFArrayCreateCopy(CFAllocatorRef, CFArrayRef a) { return CopyArray(a, false); }

// The capacity is taken as a hint, within reason.
CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef, CFIndex capacity, CFArrayCallBacks const* callBacks)
{
    auto* a = new Array(callBacks, true);
    if (capacity > 0 && capacity <= (1 << 20))
        a->values.reserve(size_t(capacity));
    return a;
}

CFMutableArrayRef CFArrayCreateMutableCopy(CFAllocatorRef, CFIndex, CFArrayRef a) { return CopyArray(a, true); }

CFIndex CFArrayGetCount(CFArrayRef a) { return a ? CFIndex(a->values.size()) : 0; }

void const* CFArrayGetValueAtIndex(CFArrayRef a, CFIndex index)
{
    if (index < 0 || index >= CFArrayGetCount(a))
        return nullptr;
    return a->values[size_t(index)];
}

void CFArrayGetValues(CFArrayRef a, CFRange range, void const** values)
{
    if (!values || !IsValidRange(a, range)) {
        tw::cf::ReportMisuse("CFArrayGetValues", "range out of bounds");
        return;
    }
    if (range.length > 0)
        std::copy_n(a->values.begin() + range.location, range.length, values);
}

CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef a, CFRange range, void const* value)
{
    if (!IsValidRange(a, range))
        return kCFNotFound;
    for (CFIndex i = range.location; i < range.location + range.length; ++i) {
        void const* item = a->values[size_t(i)];
        if (item == value || (a->callBacks.equal && item && value && a->callBacks.equal(item, value)))
            return i;
    }
    return kCFNotFound;
}

Boolean CFArrayContainsValue(CFArrayRef a, CFRange range, void const* value)
{
    return CFArrayGetFirstIndexOfValue(a, range, value) != kCFNotFound;
}
