#include "foundation/CFArray.h"

#include "foundation/CFDictionary.h"

#include <utility>

namespace {

CFMutableArrayRef NewArray() { return CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks); }

// Deep, so that nested containers are never shared with the source.
CFMutableArrayRef CopyArray(CFArrayRef array)
{
    if (!array || CFGetTypeID(array) != CFArrayGetTypeID())
        return NewArray();
    auto copy = static_cast<CFArrayRef>(CFPropertyListCreateDeepCopy(nullptr, array, kCFPropertyListImmutable));
    if (!copy)
        return CFArrayCreateMutableCopy(nullptr, 0, array); // holds non-plist values: shallow
    CFMutableArrayRef mutableCopy = CFArrayCreateMutableCopy(nullptr, 0, copy);
    CFRelease(copy);
    return mutableCopy;
}

} // namespace

CFArray::CFArray()
    : mArray(NewArray())
{
}

CFArray::CFArray(CFArrayRef array)
    : mArray(CopyArray(array))
{
}

CFArray::CFArray(CFArray const& other)
    : mArray(CopyArray(other.mArray))
{
}

CFArray::CFArray(CFArray&& other) noexcept
    : mArray(std::exchange(other.mArray, NewArray()))
{
}

CFArray& CFArray::operator=(CFArray const& other)
{
    if (this != &other) {
        CFMutableArrayRef copy = CopyArray(other.mArray);
        CFRelease(mArray);
        mArray = copy;
    }
    return *this;
}

CFArray& CFArray::operator=(CFArray&& other) noexcept
{
    std::swap(mArray, other.mArray);
    return *this;
}

CFArray::~CFArray() { CFRelease(mArray); }

UInt32 CFArray::GetCount() const { return UInt32(CFArrayGetCount(mArray)); }

CFDictionary CFArray::GetValueDictionary(UInt32 index) const
{
    if (index >= GetCount())
        return CFDictionary();
    auto value = static_cast<CFTypeRef>(CFArrayGetValueAtIndex(mArray, CFIndex(index)));
    if (!value || CFGetTypeID(value) != CFDictionaryGetTypeID())
        return CFDictionary();
    return CFDictionary(static_cast<CFDictionaryRef>(value));
}

CString CFArray::GetValueString(UInt32 index) const
{
    if (index >= GetCount())
        return CString();
    auto value = static_cast<CFTypeRef>(CFArrayGetValueAtIndex(mArray, CFIndex(index)));
    if (!value || CFGetTypeID(value) != CFStringGetTypeID())
        return CString();
    return CString(static_cast<CFStringRef>(value), false);
}

void CFArray::AppendValueDictionary(CFDictionary const& dictionary)
{
    CFDictionary copy(dictionary);
    CFArrayAppendValue(mArray, copy.GetCFDictionary());
}

void CFArray::AppendValueString(CString const& text)
{
    // Shared with the CString, which copies before it changes a shared string.
    CFArrayAppendValue(mArray, text.GetCFString());
}

void CFArray::Clear() { CFArrayRemoveAllValues(mArray); }
