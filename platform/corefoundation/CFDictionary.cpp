#include "corefoundation/CFArray.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

CFTypeRef AsObject(void const* value) { return static_cast<CFTypeRef>(value); }

void const* RetainObject(CFAllocatorRef, void const* value) { return CFRetain(AsObject(value)); }

// String keys are copied so that a mutable key changed later cannot corrupt the table.
void const* CopyStringKey(CFAllocatorRef, void const* value)
{
    CFTypeRef object = AsObject(value);
    if (object && object->TypeID() == kTWTypeIDString)
        return CFStringCreateCopy(nullptr, static_cast<CFStringRef>(object));
    return CFRetain(object);
}

void ReleaseObject(CFAllocatorRef, void const* value) { CFRelease(AsObject(value)); }

CFStringRef DescribeObject(void const* value) { return CFCopyDescription(AsObject(value)); }

Boolean EqualObjects(void const* a, void const* b) { return CFEqual(AsObject(a), AsObject(b)); }

CFHashCode HashObject(void const* value) { return CFHash(AsObject(value)); }

} // namespace

CFDictionaryKeyCallBacks const kCFTypeDictionaryKeyCallBacks
    = { 0, RetainObject, ReleaseObject, DescribeObject, EqualObjects, HashObject };
CFDictionaryKeyCallBacks const kCFCopyStringDictionaryKeyCallBacks
    = { 0, CopyStringKey, ReleaseObject, DescribeObject, EqualObjects, HashObject };
CFDictionaryValueCallBacks const kCFTypeDictionaryValueCallBacks
    = { 0, RetainObject, ReleaseObject, DescribeObject, EqualObjects };

namespace tw::cf {

Dictionary::Dictionary(CFDictionaryKeyCallBacks const* k, CFDictionaryValueCallBacks const* v, bool m)
    : keyCallBacks(k ? *k : CFDictionaryKeyCallBacks {})
    , valueCallBacks(v ? *v : CFDictionaryValueCallBacks {})
    , isMutable(m)
{
}

Dictionary::~Dictionary()
{
    for (auto const& [key, value] : entries) {
        if (keyCallBacks.release)
            keyCallBacks.release(nullptr, key);
        if (valueCallBacks.release)
            valueCallBacks.release(nullptr, value);
    }
}

CFHashCode Dictionary::HashKey(void const* key) const
{
    return keyCallBacks.hash ? keyCallBacks.hash(key) : CFHashCode(reinterpret_cast<std::uintptr_t>(key));
}

bool Dictionary::KeysEqual(void const* a, void const* b) const
{
    return a == b || (keyCallBacks.equal && keyCallBacks.equal(a, b));
}

namespace {

    constexpr CFIndex kEmptySlot = -1;
    constexpr CFIndex kDeletedSlot = -2;

    size_t FirstSlot(CFHashCode hash, size_t slotCount)
    {
        return size_t((std::uint64_t(hash) * 0x9E3779B97F4A7C15ULL) >> 32) & (slotCount - 1);
    }

} // namespace

size_t Dictionary::FindSlot(CFHashCode hash, void const* key) const
{
    size_t const mask = mSlots.size() - 1;
    for (size_t i = FirstSlot(hash, mSlots.size());; i = (i + 1) & mask) {
        CFIndex const at = mSlots[i];
        if (at == kEmptySlot)
            return mSlots.size();
        if (at >= 0 && mHashes[size_t(at)] == hash && KeysEqual(entries[size_t(at)].first, key))
            return i;
    }
}

CFIndex Dictionary::IndexOf(void const* key) const
{
    if (mHashes.size() != entries.size() || mSlots.empty()) {
        // entries was changed behind the index's back: still answer correctly.
        for (size_t i = 0; i < entries.size(); ++i) {
            if (KeysEqual(entries[i].first, key))
                return CFIndex(i);
        }
        return kCFNotFound;
    }
    size_t const slot = FindSlot(HashKey(key), key);
    return slot == mSlots.size() ? kCFNotFound : mSlots[slot];
}

std::optional<CFIndex> Dictionary::IndexOfASCII(std::string_view key) const
{
    if (keyCallBacks.hash != HashObject || keyCallBacks.equal != EqualObjects || mHashes.size() != entries.size()
        || mSlots.empty())
        return std::nullopt;
    // String::Hash of the same text.
    UInt64 hash = 14695981039346656037ULL;
    for (char c : key)
        hash = (hash ^ UInt64(char16_t(c))) * 1099511628211ULL;
    size_t const mask = mSlots.size() - 1;
    for (size_t i = FirstSlot(CFHashCode(hash), mSlots.size());; i = (i + 1) & mask) {
        CFIndex const at = mSlots[i];
        if (at == kEmptySlot)
            return kCFNotFound;
        if (at < 0 || mHashes[size_t(at)] != CFHashCode(hash))
            continue;
        auto const* object = AsObject(entries[size_t(at)].first);
        if (!object || object->TypeID() != kTWTypeIDString)
            continue;
        auto const* string = static_cast<String const*>(object);
        if (std::string const* bytes = string->ASCII()) {
            if (*bytes == key)
                return at;
        } else if (string->Length() == key.size()
            && std::equal(key.begin(), key.end(), string->Text().begin(),
                [](char b, char16_t u) { return char16_t(b) == u; })) {
            return at;
        }
    }
}

void Dictionary::PlaceInSlot(CFIndex index)
{
    size_t const mask = mSlots.size() - 1;
    size_t i = FirstSlot(mHashes[size_t(index)], mSlots.size());
    while (mSlots[i] >= 0)
        i = (i + 1) & mask;
    if (mSlots[i] == kEmptySlot)
        ++mUsedSlots;
    mSlots[i] = index;
}

void Dictionary::Append(void const* key, void const* value)
{
    bool const inStep = mHashes.size() == entries.size();
    entries.emplace_back(key, value);
    mHashes.push_back(HashKey(key));
    // Keep at most half the slots in use (deleted ones count until the next rebuild).
    if (!inStep || (mUsedSlots + 1) * 2 > mSlots.size())
        RebuildIndex();
    else
        PlaceInSlot(CFIndex(entries.size() - 1));
}

void Dictionary::EraseAt(CFIndex index)
{
    if (mHashes.size() != entries.size()) {
        entries.erase(entries.begin() + index);
        RebuildIndex();
        return;
    }
    size_t const mask = mSlots.size() - 1;
    // Finds the slot that holds entry j, which is always present.
    auto slotOf = [&](CFIndex j) {
        size_t i = FirstSlot(mHashes[size_t(j)], mSlots.size());
        while (mSlots[i] != j)
            i = (i + 1) & mask;
        return i;
    };
    mSlots[slotOf(index)] = kDeletedSlot;
    for (CFIndex j = index + 1; j < CFIndex(entries.size()); ++j)
        --mSlots[slotOf(j)];
    entries.erase(entries.begin() + index);
    mHashes.erase(mHashes.begin() + index);
}

void Dictionary::ClearEntries()
{
    entries.clear();
    mHashes.clear();
    mSlots.clear();
    mUsedSlots = 0;
}

void Dictionary::Reserve(size_t count)
{
    if (count <= entries.size())
        return;
    entries.reserve(count);
    mHashes.reserve(count);
    // Room in the index for all of them: no rebuild on the way there.
    if (mSlots.size() < count * 2 + 2)
        RebuildIndex(count);
}

void Dictionary::RebuildIndex(size_t room)
{
    if (mHashes.size() != entries.size()) {
        mHashes.clear();
        for (auto const& entry : entries)
            mHashes.push_back(HashKey(entry.first));
    }
    size_t slotCount = 16;
    while (slotCount < std::max(entries.size(), room) * 4)
        slotCount *= 2;
    mSlots.assign(slotCount, kEmptySlot);
    mUsedSlots = 0;
    for (size_t i = 0; i < entries.size(); ++i)
        PlaceInSlot(CFIndex(i));
}

bool Dictionary::Equals(Object const& other) const
{
    auto const& that = static_cast<Dictionary const&>(other);
    if (entries.size() != that.entries.size())
        return false;
    for (auto const& [key, value] : entries) {
        CFIndex const at = that.IndexOf(key);
        if (at == kCFNotFound)
            return false;
        void const* theirs = that.entries[size_t(at)].second;
        if (value != theirs && !(valueCallBacks.equal && valueCallBacks.equal(value, theirs)))
            return false;
    }
    return true;
}

CFHashCode Dictionary::Hash() const { return CFHashCode(entries.size()); }

namespace {

    std::u16string Describe(CFDictionaryCopyDescriptionCallBack describe, void const* item)
    {
        if (!describe) {
            char pointer[32];
            std::snprintf(pointer, sizeof pointer, "%p", item);
            return UTF8ToUTF16(pointer);
        }
        CFStringRef text = describe(item);
        std::u16string result = text ? text->Text() : u"(null)";
        CFRelease(text);
        return result;
    }

} // namespace

String* Dictionary::CopyDescription() const
{
    std::u16string text = u"{\n";
    for (auto const& [key, value] : entries) {
        text += u"    " + Describe(keyCallBacks.copyDescription, key);
        text += u" = " + Describe(valueCallBacks.copyDescription, value) + u";\n";
    }
    text += u"}";
    return new String(std::move(text));
}

} // namespace tw::cf
