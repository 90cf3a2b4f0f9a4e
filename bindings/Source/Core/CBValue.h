#pragma once

// A tagged value of one of thirteen types: the unit every store holds. Dates and
// strings are retained while held; every payload, rectangles included, lives inside
// the value itself, so no value ever allocates.

#include "corefoundation/CFNumber.h"
#include "corefoundation/CFString.h"
#include "quartz/CGGeometry.h"

#include <optional>

class CBValue {
public:
    // Stored nowhere outside the process, but kept in this order: the number types are 1 to 6.
    enum ValueType : UInt32 {
        kTypeInvalid = 0,
        kTypeBoolean = 1,
        kTypeUInt32 = 2,
        kTypeSInt32 = 3,
        kTypeUInt64 = 4,
        kTypeSInt64 = 5,
        kTypeDouble = 6,
        kTypePointer = 7,
        kTypeDate = 8,
        kTypeString = 9,
        kTypePoint = 10,
        kTypeSize = 11,
        kTypeRect = 12,
    };

    CBValue() = default;
    explicit CBValue(UInt32 theValue);
    CBValue(CFDateRef theDate, bool adopt);
    CBValue(CBValue const& theValue);
    virtual ~CBValue();

    CBValue& operator=(CBValue const& theValue);
    bool operator==(CBValue const& theValue) const;
    bool operator!=(CBValue const& theValue) const { return !(*this == theValue); }

    ValueType GetType() const { return mType; }
    bool IsValid() const { return mType != kTypeInvalid; }
    bool IsNumber() const { return mType >= kTypeBoolean && mType <= kTypeDouble; }
    bool IsPointer() const { return mType == kTypePointer; }
    bool IsDate() const { return mType == kTypeDate; }
    bool IsString() const { return mType == kTypeString; }
    bool IsPoint() const { return mType == kTypePoint; }
    bool IsSize() const { return mType == kTypeSize; }
    bool IsRect() const { return mType == kTypeRect; }
    UInt32 GetTypeSize(ValueType theType) const;

    void SetBoolean(bool theValue);
    void SetUInt32(UInt32 theValue);
    void SetSInt32(SInt32 theValue);
    void SetSInt64(SInt64 theValue);
    void SetDouble(double theValue);
    void SetPoint(CGPoint const& theValue);
    void SetSize(CGSize const& theValue);
    void SetRect(CGRect const& theValue);
    // With adopt set the value takes over the caller's reference; otherwise it retains its own.
    void SetString(CFStringRef theValue, bool adopt);
    void SetDate(CFDateRef theValue, bool adopt);

    // A getter asked for another type than the held one reports and answers zero (or null).
    void* GetPointer() const;
    CFDateRef GetDate() const; // not retained for the caller
    CFStringRef GetString() const; // not retained for the caller
    CGPoint GetPoint() const;
    CGSize GetSize() const;
    CGRect GetRect() const;

    // Non-numbers report and answer 0. Doubles truncate toward zero and saturate; NaN gives 0.
    bool GetBoolean() const;
    UInt32 GetUInt32() const { return GetNumber<UInt32>(); }
    SInt32 GetSInt32() const { return GetNumber<SInt32>(); }
    SInt64 GetSInt64() const { return GetNumber<SInt64>(); }
    double GetDouble() const { return GetNumber<double>(); }

    template <typename T> T GetNumber() const;

private:
    union Payload {
        Payload()
            : mRect()
        {
        }
        UInt64 mUInt64;
        bool mBoolean;
        UInt32 mUInt32;
        SInt32 mSInt32;
        SInt64 mSInt64;
        double mDouble;
        void* mPointer; // borrowed
        CFDateRef mDate; // retains
        CFStringRef mString; // retains
        CGPoint mPoint;
        CGSize mSize;
        CGRect mRect;
    };

    void Replace(ValueType theType);
    void CopyNumber(CBValue const& theValue);
    // The number as an unsigned 64-bit integer, the common ground of numeric equality.
    std::optional<UInt64> GetComparableNumber() const;
    bool IsEqualNonNumber(CBValue const& theValue) const;

    ValueType mType = kTypeInvalid;
    Payload mPayload;
};
