#pragma once

// CFArray and CFDictionary with the standard callbacks. Values are `void const*`
// so that containers with null callbacks can hold plain pointers, as in Carbon.

#include "corefoundation/CFString.h"

#include <utility>
#include <optional>
#include <string_view>
#include <vector>

using CFArrayRetainCallBack = void const* (*)(CFAllocatorRef, void const*);
using CFArrayReleaseCallBack = void (*)(CFAllocatorRef, void const*);
using CFArrayCopyDescriptionCallBack = CFStringRef (*)(void const*);
using CFArrayEqualCallBack = Boolean (*)(void const*, void const*);

struct CFArrayCallBacks {
    CFIndex version;
    CFArrayRetainCallBack retain;
    CFArrayReleaseCallBack release;
    CFArrayCopyDescriptionCallBack copyDescription;
    CFArrayEqualCallBack equal;
};
extern CFArrayCallBacks const kCFTypeArrayCallBacks;

using CFDictionaryRetainCallBack = void const* (*)(CFAllocatorRef, void const*);
using CFDictionaryReleaseCallBack = void (*)(CFAllocatorRef, void const*);
using CFDictionaryCopyDescriptionCallBack = CFStringRef (*)(void const*);
using CFDictionaryEqualCallBack = Boolean (*)(void const*, void const*);
using CFDictionaryHashCallBack = CFHashCode (*)(void const*);

struct CFDictionaryKeyCallBacks {
    CFIndex version;
    CFDictionaryRetainCallBack retain;
    CFDictionaryReleaseCallBack release;
    CFDictionaryCopyDescriptionCallBack copyDescription;
    CFDictionaryEqualCallBack equal;
    CFDictionaryHashCallBack hash;
};
struct CFDictionaryValueCallBacks {
    CFIndex version;
    CFDictionaryRetainCallBack retain;
    CFDictionaryReleaseCallBack release;
    CFDictionaryCopyDescriptionCallBack copyDescription;
    CFDictionaryEqualCallBack equal;
};
extern CFDictionaryKeyCallBacks const kCFTypeDictionaryKeyCallBacks;
extern CFDictionaryKeyCallBacks const kCFCopyStringDictionaryKeyCallBacks;
extern CFDictionaryValueCallBacks const kCFTypeDictionaryValueCallBacks;

namespace tw::cf {

class Array final : public Object {
public:
    Array(CFArrayCallBacks const* callBacks, bool isMutable);
    ~Array() override;
    CFTypeID TypeID() const override { return kTWTypeIDArray; }
    bool Equals(Object const& other) const override;
    CFHashCode Hash() const override;
    String* CopyDescription() const override;

    CFArrayCallBacks callBacks;
    std::vector<void const*> values;
    bool const isMutable;
};

// Keeps insertion order; lookups hash. Property-list output sorts string keys.
class Dictionary final : public Object {
public:
    Dictionary(
        CFDictionaryKeyCallBacks const* keyCallBacks, CFDictionaryValueCallBacks const* valueCallBacks, bool isMutable);
    ~Dictionary() override;
    CFTypeID TypeID() const override { return kTWTypeIDDictionary; }
    bool Equals(Object const& other) const override;
    CFHashCode Hash() const override;
    String* CopyDescription() const override;

    CFDictionaryKeyCallBacks keyCallBacks;
    CFDictionaryValueCallBacks valueCallBacks;
    std::vector<std::pair<void const*, void const*>> entries;
    bool const isMutable;

    CFIndex IndexOf(void const* key) const; // kCFNotFound when absent
    // The same for a string key of 7-bit text, found without a string made for it; nullopt
    // when the dictionary's keys are not compared as strings are.
    std::optional<CFIndex> IndexOfASCII(std::string_view key) const;
    // Change entries through these so that the hash index stays in step.
    void Append(void const* key, void const* value); // key and value already retained
    void EraseAt(CFIndex index); // releases nothing
    void ClearEntries(); // releases nothing
    void Reserve(size_t count); // room for count entries without growing

private:
    CFHashCode HashKey(void const* key) const;
    bool KeysEqual(void const* a, void const* b) const;
    size_t FindSlot(CFHashCode hash, void const* key) const; // mSlots.size() when absent
    void PlaceInSlot(CFIndex index);
    void RebuildIndex(size_t room = 0);

    // An open-addressing hash index over entries: lookups cost O(1), and removals stay a
    // flat pass over integers.
    std::vector<CFHashCode> mHashes; // the hash of each entry's key
    std::vector<CFIndex> mSlots; // an index into entries, or kEmptySlot / kDeletedSlot
    size_t mUsedSlots = 0;
};

} // namespace tw::cf

using CFMutableArrayRef = tw::cf::Array*;
using CFMutableDictionaryRef = tw::cf::Dictionary*;

CFTypeID CFArrayGetTypeID();
CFArrayRef CFArrayCreate(CFAllocatorRef alloc, void const** values, CFIndex count, CFArrayCallBacks const* callBacks);
CFArrayRef CFArrayCreateCopy(CFAllocatorRef alloc, CFArrayRef a);
CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef alloc, CFIndex capacity, CFArrayCallBacks const* callBacks);
CFMutableArrayRef CFArrayCreateMutableCopy(CFAllocatorRef alloc, CFIndex capacity, CFArrayRef a);
CFIndex CFArrayGetCount(CFArrayRef a);
void const* CFArrayGetValueAtIndex(CFArrayRef a, CFIndex index);
void CFArrayGetValues(CFArrayRef a, CFRange range, void const** values);
CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef a, CFRange range, void const* value);
Boolean CFArrayContainsValue(CFArrayRef a, CFRange range, void const* value);
void CFArrayAppendValue(CFMutableArrayRef a, void const* value);
void CFArrayAppendArray(CFMutableArrayRef a, CFArrayRef other, CFRange range);
void CFArrayInsertValueAtIndex(CFMutableArrayRef a, CFIndex index, void const* value);
void CFArraySetValueAtIndex(CFMutableArrayRef a, CFIndex index, void const* value);
void CFArrayRemoveValueAtIndex(CFMutableArrayRef a, CFIndex index);
void CFArrayRemoveAllValues(CFMutableArrayRef a);
void CFArrayExchangeValuesAtIndices(CFMutableArrayRef a, CFIndex i, CFIndex j);
void CFArraySortValues(CFMutableArrayRef a, CFRange range, CFComparatorFunction comparator, void* context);

using CFDictionaryApplierFunction = void (*)(void const* key, void const* value, void* context);

CFTypeID CFDictionaryGetTypeID();
CFDictionaryRef CFDictionaryCreate(CFAllocatorRef alloc, void const** keys, void const** values, CFIndex count,
    CFDictionaryKeyCallBacks const* keyCallBacks, CFDictionaryValueCallBacks const* valueCallBacks);
CFDictionaryRef CFDictionaryCreateCopy(CFAllocatorRef alloc, CFDictionaryRef d);
CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef alloc, CFIndex capacity,
    CFDictionaryKeyCallBacks const* keyCallBacks, CFDictionaryValueCallBacks const* valueCallBacks);
CFMutableDictionaryRef CFDictionaryCreateMutableCopy(CFAllocatorRef alloc, CFIndex capacity, CFDictionaryRef d);
CFIndex CFDictionaryGetCount(CFDictionaryRef d);
void const* CFDictionaryGetValue(CFDictionaryRef d, void const* key);

namespace tw::cf {
// CFDictionaryGetValue for a string key given as UTF-8 text, without making a string
// object of it: the lookups of a large document's many small dictionaries.
void const* DictionaryGetValueForText(CFDictionaryRef d, std::string_view key);
}
Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef d, void const* key, void const** value);
Boolean CFDictionaryContainsKey(CFDictionaryRef d, void const* key);
void CFDictionaryGetKeysAndValues(CFDictionaryRef d, void const** keys, void const** values);
void CFDictionaryApplyFunction(CFDictionaryRef d, CFDictionaryApplierFunction applier, void* context);
void CFDictionarySetValue(CFMutableDictionaryRef d, void const* key, void const* value);
void CFDictionaryAddValue(CFMutableDictionaryRef d, void const* key, void const* value); // only when absent
void CFDictionaryReplaceValue(CFMutableDictionaryRef d, void const* key, void const* value); // only when present
void CFDictionaryRemoveValue(CFMutableDictionaryRef d, void const* key);
void CFDictionaryRemoveAllValues(CFMutableDictionaryRef d);
