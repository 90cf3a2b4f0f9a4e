// Creating, reading and changing dictionaries.

#include "corefoundation/CFArray.h"
#include "corefoundation/Misuse.h"

#include <algorithm>

namespace {

using tw::cf::Dictionary;

bool CheckMutable(CFMutableDictionaryRef d, char const* function)
{
    if (d && d->isMutable)
        return true;
    tw::cf::ReportMisuse(function, d ? "dictionary is immutable" : "null dictionary");
    return false;
}

void const* RetainKey(Dictionary const* d, void const* key)
{
    return d->keyCallBacks.retain ? d->keyCallBacks.retain(nullptr, key) : key;
}

void const* RetainValue(Dictionary const* d, void const* value)
{
    return d->valueCallBacks.retain ? d->valueCallBacks.retain(nullptr, value) : value;
}

void ReleaseKey(Dictionary const* d, void const* key)
{
    if (d->keyCallBacks.release)
        d->keyCallBacks.release(nullptr, key);
}

void ReleaseValue(Dictionary const* d, void const* value)
{
    if (d->valueCallBacks.release)
        d->valueCallBacks.release(nullptr, value);
}

// A hint larger than this is not trusted with memory up front.
constexpr CFIndex kCapacityHintLimit = 1 << 20;

enum class Policy { Set, AddOnly, ReplaceOnly };

void Store(Dictionary* d, void const* key, void const* value, Policy policy)
{
    CFIndex const at = d->IndexOf(key);
    if (at == kCFNotFound) {
        if (policy != Policy::ReplaceOnly)
            d->Append(RetainKey(d, key), RetainValue(d, value));
        return;
    }
    if (policy == Policy::AddOnly)
        return;
    // Retain the new value before releasing the old: they may be the same object.
    void const* retained = RetainValue(d, value);
    void const* old = d->entries[size_t(at)].second;
    d->entries[size_t(at)].second = retained;
    ReleaseValue(d, old);
}

Dictionary* CopyDictionary(CFDictionaryRef d, bool isMutable)
{
    if (!d)
        return new Dictionary(&kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks, isMutable);
    auto* copy = new Dictionary(&d->keyCallBacks, &d->valueCallBacks, isMutable);
    copy->Reserve(d->entries.size());
    for (auto const& [key, value] : d->entries)
        copy->Append(RetainKey(copy, key), RetainValue(copy, value));
    return copy;
}

} // namespace

CFTypeID CFDictionaryGetTypeID() { return kTWTypeIDDictionary; }

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef, void const** keys, void const** values, CFIndex count,
    CFDictionaryKeyCallBacks const* keyCallBacks, CFDictionaryValueCallBacks const* valueCallBacks)
{
    auto* d = new Dictionary(keyCallBacks, valueCallBacks, false);
    if (keys && values) {
        d->Reserve(size_t(std::max<CFIndex>(count, 0)));
        for (CFIndex i = 0; i < count; ++i)
            Store(d, keys[i], values[i], Policy::Set);
    }
    return d;
}

CFDictionaryRef CFDictionaryCreateCopy(CFAllocatorRef, CFDictionaryRef d) { return CopyDictionary(d, false); }

// The capacity is taken as a hint: room is made for that many at once.
CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex capacity,
    CFDictionaryKeyCallBacks const* keyCallBacks, CFDictionaryValueCallBacks const* valueCallBacks)
{
    auto* d = new Dictionary(keyCallBacks, valueCallBacks, true);
    if (capacity > 0 && capacity <= kCapacityHintLimit)
        d->Reserve(size_t(capacity));
    return d;
}

CFMutableDictionaryRef CFDictionaryCreateMutableCopy(CFAllocatorRef, CFIndex, CFDictionaryRef d)
{
    return CopyDictionary(d, true);
}

CFIndex CFDictionaryGetCount(CFDictionaryRef d) { return d ? CFIndex(d->entries.size()) : 0; }

void const* CFDictionaryGetValue(CFDictionaryRef d, void const* key)
{
    CFIndex const at = d ? d->IndexOf(key) : kCFNotFound;
    return at == kCFNotFound ? nullptr : d->entries[size_t(at)].second;
}

namespace tw::cf {

void const* DictionaryGetValueForText(CFDictionaryRef d, std::string_view key)
{
    if (!d)
        return nullptr;
    if (String::IsASCII(key)) {
        if (std::optional<CFIndex> const at = d->IndexOfASCII(key))
            return *at == kCFNotFound ? nullptr : d->entries[size_t(*at)].second;
        String const probe(std::string(key), true); // never retained: it may live here
        return CFDictionaryGetValue(d, &probe);
    }
    String* const made = CreateString(key);
    void const* const value = made ? CFDictionaryGetValue(d, made) : nullptr;
    if (made)
        CFRelease(made);
    return value;
}

} // namespace tw::cf

Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef d, void const* key, void const** value)
{
    CFIndex const at = d ? d->IndexOf(key) : kCFNotFound;
    if (at == kCFNotFound)
        return false;
    if (value)
        *value = d->entries[size_t(at)].second;
    return true;
}

Boolean CFDictionaryContainsKey(CFDictionaryRef d, void const* key) { return d && d->IndexOf(key) != kCFNotFound; }

void CFDictionaryGetKeysAndValues(CFDictionaryRef d, void const** keys, void const** values)
{
    if (!d)
        return;
    for (size_t i = 0; i < d->entries.size(); ++i) {
        if (keys)
            keys[i] = d->entries[i].first;
        if (values)
            values[i] = d->entries[i].second;
    }
}

void CFDictionaryApplyFunction(CFDictionaryRef d, CFDictionaryApplierFunction applier, void* context)
{
    if (!d || !applier)
        return;
    // A snapshot: the applier may not change d, but must not crash us if it does.
    auto const entries = d->entries;
    for (auto const& [key, value] : entries)
        applier(key, value, context);
}

void CFDictionarySetValue(CFMutableDictionaryRef d, void const* key, void const* value)
{
    if (CheckMutable(d, "CFDictionarySetValue"))
        Store(d, key, value, Policy::Set);
}

void CFDictionaryAddValue(CFMutableDictionaryRef d, void const* key, void const* value)
{
    if (CheckMutable(d, "CFDictionaryAddValue"))
        Store(d, key, value, Policy::AddOnly);
}

void CFDictionaryReplaceValue(CFMutableDictionaryRef d, void const* key, void const* value)
{
    if (CheckMutable(d, "CFDictionaryReplaceValue"))
        Store(d, key, value, Policy::ReplaceOnly);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef d, void const* key)
{
    if (!CheckMutable(d, "CFDictionaryRemoveValue"))
        return;
    CFIndex const at = d->IndexOf(key);
    if (at == kCFNotFound)
        return;
    auto const [oldKey, oldValue] = d->entries[size_t(at)];
    d->EraseAt(at);
    ReleaseKey(d, oldKey);
    ReleaseValue(d, oldValue);
}

void CFDictionaryRemoveAllValues(CFMutableDictionaryRef d)
{
    if (!CheckMutable(d, "CFDictionaryRemoveAllValues"))
        return;
    auto const old = d->entries;
    d->ClearEntries();
    for (auto const& [key, value] : old) {
        ReleaseKey(d, key);
        ReleaseValue(d, value);
    }
}
