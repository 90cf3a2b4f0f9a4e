#pragma once

// The Core Foundation object model: reference-counted, type-tagged objects.
// Ref types are pointers to our own classes (const for the immutable face),
// so no void* casts are needed anywhere. Retain counts are atomic: workers
// hold CF values too.

#include "corefoundation/MacTypes.h"

#include <atomic>

using CFIndex = long;
using CFTypeID = unsigned long;
using CFHashCode = unsigned long;
using CFOptionFlags = unsigned long;

namespace tw::cf {

class String;
class Object;

// Base of every CF object. Born with one reference (the Create/Copy rule).
class Object {
public:
    Object() = default;
    // For constants with static storage (the Booleans): constant-initialised and immortal.
    enum class Immortal { Yes };
    constexpr explicit Object(Immortal)
        : mImmortal(true)
    {
    }
    Object(Object const&) = delete;
    Object& operator=(Object const&) = delete;
    virtual ~Object() = default;

    virtual CFTypeID TypeID() const = 0;
    // Called only for objects of the same type id.
    virtual bool Equals(Object const& other) const { return this == &other; }
    virtual CFHashCode Hash() const;
    // Text for CFCopyDescription and the %@ format directive.
    virtual String* CopyDescription() const;

    void Retain() const;
    void Release() const;
    CFIndex RetainCount() const;

protected:
    // Called when the count reaches zero, before the object is freed. An object
    // that has end-of-life work to do with its count intact (sending events whose
    // dispatch retains it) takes a reference back, does it, releases, and answers
    // false: that later release frees it.
    virtual bool LastReferenceGone() const { return true; }

public:
    // Constants (CFSTR literals, the Booleans) ignore retain and release.
    void MakeImmortal() const { mImmortal = true; }

private:
    mutable std::atomic<long> mRefs { 1 };
    mutable bool mImmortal = false;
};

} // namespace tw::cf

using CFTypeRef = tw::cf::Object const*;
using CFAllocatorRef = void const*;
using CFPropertyListRef = CFTypeRef;

inline constexpr CFAllocatorRef kCFAllocatorDefault = nullptr;
inline constexpr CFIndex kCFNotFound = -1;

struct CFRange {
    CFIndex location;
    CFIndex length;
};
inline CFRange CFRangeMake(CFIndex loc, CFIndex len) { return { loc, len }; }

enum CFComparisonResult : CFIndex {
    kCFCompareLessThan = -1,
    kCFCompareEqualTo = 0,
    kCFCompareGreaterThan = 1,
};

using CFComparatorFunction = CFComparisonResult (*)(void const* a, void const* b, void* context);

// Type ids, stable for the life of the process.
enum : CFTypeID {
    kTWTypeIDString = 7,
    kTWTypeIDNumber = 22,
    kTWTypeIDBoolean = 21,
    kTWTypeIDData = 20,
    kTWTypeIDDate = 42,
    kTWTypeIDArray = 19,
    kTWTypeIDDictionary = 18,
    kTWTypeIDURL = 29,
    kTWTypeIDBundle = 31,
    kTWTypeIDXMLNode = 45,
    kTWTypeIDTree = 46,
    kTWTypeIDFirstPlatform = 100, // later modules (events, toolbox, quartz) number from here
};

CFTypeRef CFRetain(CFTypeRef cf);
void CFRelease(CFTypeRef cf);
CFIndex CFGetRetainCount(CFTypeRef cf);
CFTypeID CFGetTypeID(CFTypeRef cf);
Boolean CFEqual(CFTypeRef a, CFTypeRef b);
CFHashCode CFHash(CFTypeRef cf);
tw::cf::String const* CFCopyDescription(CFTypeRef cf);
void CFShow(CFTypeRef cf);
