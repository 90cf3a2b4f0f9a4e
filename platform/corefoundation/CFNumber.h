#pragma once

// CFNumber, CFBoolean, CFDate and CFData.

#include "corefoundation/CFBase.h"

#include <vector>

enum CFNumberType : CFIndex {
    kCFNumberSInt8Type = 1,
    kCFNumberSInt16Type = 2,
    kCFNumberSInt32Type = 3,
    kCFNumberSInt64Type = 4,
    kCFNumberFloat32Type = 5,
    kCFNumberFloat64Type = 6,
    kCFNumberCharType = 7,
    kCFNumberShortType = 8,
    kCFNumberIntType = 9,
    kCFNumberLongType = 10,
    kCFNumberLongLongType = 11,
    kCFNumberFloatType = 12,
    kCFNumberDoubleType = 13,
    kCFNumberCFIndexType = 14,
    kCFNumberNSIntegerType = 15,
    kCFNumberCGFloatType = 16,
};

namespace tw::cf {

// Stores an integer as SInt64 or a real as double, and remembers its canonical type:
// SInt32Type for integers of 32 bits or fewer, SInt64Type for 64-bit ones (CFIndex,
// long), Float32Type for float and Float64Type for double and CGFloat.
class Number final : public Object {
public:
    CFTypeID TypeID() const override { return kTWTypeIDNumber; }
    bool Equals(Object const& other) const override;
    CFHashCode Hash() const override;
    String* CopyDescription() const override;

    CFNumberType type = kCFNumberSInt32Type;
    bool isFloat = false;
    SInt64 integer = 0;
    double real = 0;
};

class BooleanValue final : public Object {
public:
    explicit BooleanValue(bool v)
        : value(v)
    {
    }
    constexpr BooleanValue(bool v, Immortal)
        : Object(Immortal::Yes)
        , value(v)
    {
    }
    CFTypeID TypeID() const override { return kTWTypeIDBoolean; }
    String* CopyDescription() const override;
    bool const value;
};

class Date final : public Object {
public:
    explicit Date(double t)
        : time(t)
    {
    }
    CFTypeID TypeID() const override { return kTWTypeIDDate; }
    bool Equals(Object const& other) const override;
    CFHashCode Hash() const override;
    String* CopyDescription() const override;
    double const time; // [s since 2001-01-01 00:00 UTC]
};

class Data final : public Object {
public:
    Data(UInt8 const* bytes, CFIndex length, bool isMutable);
    CFTypeID TypeID() const override { return kTWTypeIDData; }
    bool Equals(Object const& other) const override;
    CFHashCode Hash() const override;
    String* CopyDescription() const override;
    std::vector<UInt8> bytes;
    bool const isMutable;
};

} // namespace tw::cf

using CFNumberRef = tw::cf::Number const*;
using CFBooleanRef = tw::cf::BooleanValue const*;
using CFDateRef = tw::cf::Date const*;
using CFDataRef = tw::cf::Data const*;
using CFMutableDataRef = tw::cf::Data*;
using CFAbsoluteTime = double;
using CFTimeInterval = double;

inline constexpr CFTimeInterval kCFAbsoluteTimeIntervalSince1970 = 978307200.0;
inline constexpr CFTimeInterval kCFAbsoluteTimeIntervalSince1904 = 3061152000.0;

CFTypeID CFNumberGetTypeID();
CFNumberRef CFNumberCreate(CFAllocatorRef alloc, CFNumberType type, void const* valuePtr);
CFNumberType CFNumberGetType(CFNumberRef n);
Boolean CFNumberIsFloatType(CFNumberRef n);
// Converts to the asked type; false when the value had to be truncated or rounded.
Boolean CFNumberGetValue(CFNumberRef n, CFNumberType type, void* valuePtr);
CFComparisonResult CFNumberCompare(CFNumberRef a, CFNumberRef b, void* context);

CFTypeID CFBooleanGetTypeID();
extern CFBooleanRef const kCFBooleanTrue;
extern CFBooleanRef const kCFBooleanFalse;
Boolean CFBooleanGetValue(CFBooleanRef b);

CFTypeID CFDateGetTypeID();
CFDateRef CFDateCreate(CFAllocatorRef alloc, CFAbsoluteTime at);
CFAbsoluteTime CFDateGetAbsoluteTime(CFDateRef d);
CFComparisonResult CFDateCompare(CFDateRef a, CFDateRef b, void* context);
CFAbsoluteTime CFAbsoluteTimeGetCurrent();

CFTypeID CFDataGetTypeID();
CFDataRef CFDataCreate(CFAllocatorRef alloc, UInt8 const* bytes, CFIndex length);
CFMutableDataRef CFDataCreateMutable(CFAllocatorRef alloc, CFIndex capacity);
CFMutableDataRef CFDataCreateMutableCopy(CFAllocatorRef alloc, CFIndex capacity, CFDataRef d);
CFIndex CFDataGetLength(CFDataRef d);
UInt8 const* CFDataGetBytePtr(CFDataRef d);
UInt8* CFDataGetMutableBytePtr(CFMutableDataRef d);
void CFDataGetBytes(CFDataRef d, CFRange range, UInt8* buffer);
void CFDataSetLength(CFMutableDataRef d, CFIndex length);
void CFDataAppendBytes(CFMutableDataRef d, UInt8 const* bytes, CFIndex length);
