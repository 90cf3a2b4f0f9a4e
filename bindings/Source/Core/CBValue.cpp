#include "bindings/Source/Core/CBValue.h"

#include "bindings/Source/Core/CBDebugObject.h"

#include <cmath>
#include <limits>
#include <type_traits>

namespace {

// Truncates toward zero and saturates at the target's range: a plain cast of an
// out-of-range or NaN double is undefined behaviour.
template <typename T> T ConvertDouble(double theValue)
{
    if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(theValue);
    } else {
        if (std::isnan(theValue))
            return 0;
        double const truncated = std::trunc(theValue);
        if (truncated <= static_cast<double>(std::numeric_limits<T>::min()))
            return std::numeric_limits<T>::min();
        if (truncated >= static_cast<double>(std::numeric_limits<T>::max()))
            return std::numeric_limits<T>::max();
        return static_cast<T>(truncated);
    }
}

} // namespace

CBValue::CBValue(UInt32 theValue) { SetUInt32(theValue); }

CBValue::CBValue(CFDateRef theDate, bool adopt) { SetDate(theDate, adopt); }

CBValue::CBValue(CBValue const& theValue) { *this = theValue; }

CBValue::~CBValue() { Replace(kTypeInvalid); }

UInt32 CBValue::GetTypeSize(ValueType theType) const
{
    switch (theType) {
    case kTypeInvalid:
        return 0;
    case kTypeBoolean:
        return sizeof(bool);
    case kTypeUInt32:
    case kTypeSInt32:
        return 4;
    case kTypeUInt64:
    case kTypeSInt64:
    case kTypeDouble:
        return 8;
    case kTypePointer:
        return sizeof(void*);
    case kTypeDate:
        return sizeof(CFDateRef);
    case kTypeString:
        return sizeof(CFStringRef);
    case kTypePoint:
        return sizeof(CGPoint);
    case kTypeSize:
        return sizeof(CGSize);
    case kTypeRect:
        return sizeof(CGRect);
    }
    CB_REPORT("Unknown type: %d", static_cast<int>(theType));
    return 0;
}

// Releases what is held and takes the new tag; the payload is then the caller's to fill.
void CBValue::Replace(ValueType theType)
{
    if (mType == kTypeDate && mPayload.mDate)
        CFRelease(mPayload.mDate);
    else if (mType == kTypeString && mPayload.mString)
        CFRelease(mPayload.mString);
    mType = theType;
    mPayload.mRect = CGRect {};
}

void CBValue::SetBoolean(bool theValue)
{
    Replace(kTypeBoolean);
    mPayload.mBoolean = theValue;
}

void CBValue::SetUInt32(UInt32 theValue)
{
    Replace(kTypeUInt32);
    mPayload.mUInt32 = theValue;
}

void CBValue::SetSInt32(SInt32 theValue)
{
    Replace(kTypeSInt32);
    mPayload.mSInt32 = theValue;
}

void CBValue::SetSInt64(SInt64 theValue)
{
    Replace(kTypeSInt64);
    mPayload.mSInt64 = theValue;
}

void CBValue::SetDouble(double theValue)
{
    Replace(kTypeDouble);
    mPayload.mDouble = theValue;
}

void CBValue::SetPoint(CGPoint const& theValue)
{
    CGPoint const copy = theValue; // the argument may be our own payload
    Replace(kTypePoint);
    mPayload.mPoint = copy;
}

void CBValue::SetSize(CGSize const& theValue)
{
    CGSize const copy = theValue;
    Replace(kTypeSize);
    mPayload.mSize = copy;
}

void CBValue::SetRect(CGRect const& theValue)
{
    CGRect const copy = theValue;
    Replace(kTypeRect);
    mPayload.mRect = copy;
}

// The new object is retained before the old one is released, so that setting the
// string a value already holds (from GetString) never frees it on the way.
void CBValue::SetString(CFStringRef theValue, bool adopt)
{
    if (theValue && !adopt)
        CFRetain(theValue);
    Replace(kTypeString);
    mPayload.mString = theValue;
}

void CBValue::SetDate(CFDateRef theValue, bool adopt)
{
    if (theValue && !adopt)
        CFRetain(theValue);
    Replace(kTypeDate);
    mPayload.mDate = theValue;
}

void* CBValue::GetPointer() const { return CB_CHECK(IsPointer()) ? mPayload.mPointer : nullptr; }

CFDateRef CBValue::GetDate() const { return CB_CHECK(IsDate()) ? mPayload.mDate : nullptr; }

CFStringRef CBValue::GetString() const { return CB_CHECK(IsString()) ? mPayload.mString : nullptr; }

CGPoint CBValue::GetPoint() const { return CB_CHECK(IsPoint()) ? mPayload.mPoint : CGPoint {}; }

CGSize CBValue::GetSize() const { return CB_CHECK(IsSize()) ? mPayload.mSize : CGSize {}; }

CGRect CBValue::GetRect() const { return CB_CHECK(IsRect()) ? mPayload.mRect : CGRect {}; }

bool CBValue::GetBoolean() const
{
    if (mType == kTypeDouble)
        return !std::isnan(mPayload.mDouble) && mPayload.mDouble != 0;
    return GetNumber<UInt64>() != 0;
}

template <typename T> T CBValue::GetNumber() const
{
    switch (mType) {
    case kTypeBoolean:
        return mPayload.mBoolean ? 1 : 0;
    case kTypeUInt32:
        return static_cast<T>(mPayload.mUInt32);
    case kTypeSInt32:
        return static_cast<T>(mPayload.mSInt32);
    case kTypeUInt64:
        return static_cast<T>(mPayload.mUInt64);
    case kTypeSInt64:
        return static_cast<T>(mPayload.mSInt64);
    case kTypeDouble:
        return ConvertDouble<T>(mPayload.mDouble);
    default:
        CB_CHECK(IsNumber());
        return 0;
    }
}

template UInt32 CBValue::GetNumber<UInt32>() const;
template SInt32 CBValue::GetNumber<SInt32>() const;
template UInt64 CBValue::GetNumber<UInt64>() const;
template SInt64 CBValue::GetNumber<SInt64>() const;
template double CBValue::GetNumber<double>() const;

CBValue& CBValue::operator=(CBValue const& theValue)
{
    if (this == &theValue)
        return *this;
    switch (theValue.GetType()) {
    case kTypeInvalid:
        Replace(kTypeInvalid);
        break;
    case kTypeBoolean:
    case kTypeUInt32:
    case kTypeSInt32:
    case kTypeUInt64:
    case kTypeSInt64:
    case kTypeDouble:
        CopyNumber(theValue);
        break;
    case kTypePointer:
        Replace(kTypePointer);
        mPayload.mPointer = theValue.mPayload.mPointer;
        break;
    case kTypeDate:
        SetDate(theValue.mPayload.mDate, false);
        break;
    case kTypeString:
        SetString(theValue.mPayload.mString, false);
        break;
    case kTypePoint:
        SetPoint(theValue.mPayload.mPoint);
        break;
    case kTypeSize:
        SetSize(theValue.mPayload.mSize);
        break;
    case kTypeRect:
        SetRect(theValue.mPayload.mRect);
        break;
    default:
        CB_REPORT("Unknown type: %d", static_cast<int>(theValue.GetType()));
        Replace(kTypeInvalid);
        break;
    }
    return *this;
}

// Numbers are copied through their own type's getter, so the tag and payload always agree.
void CBValue::CopyNumber(CBValue const& theValue)
{
    Replace(theValue.GetType());
    switch (mType) {
    case kTypeBoolean:
        mPayload.mBoolean = theValue.GetNumber<UInt32>() != 0;
        break;
    case kTypeUInt32:
        mPayload.mUInt32 = theValue.GetNumber<UInt32>();
        break;
    case kTypeSInt32:
        mPayload.mSInt32 = theValue.GetNumber<SInt32>();
        break;
    case kTypeUInt64:
        mPayload.mUInt64 = theValue.GetNumber<UInt64>();
        break;
    case kTypeSInt64:
        mPayload.mSInt64 = theValue.GetNumber<SInt64>();
        break;
    default:
        mPayload.mDouble = theValue.GetNumber<double>();
        break;
    }
}

// Signed values are sign-extended and doubles truncated toward zero, so -1.0 meets the
// signed -1. NaN has no integer value and answers nothing.
std::optional<UInt64> CBValue::GetComparableNumber() const
{
    switch (mType) {
    case kTypeBoolean:
        return mPayload.mBoolean ? 1 : 0;
    case kTypeUInt32:
        return mPayload.mUInt32;
    case kTypeSInt32:
        return static_cast<UInt64>(static_cast<SInt64>(mPayload.mSInt32));
    case kTypeUInt64:
        return mPayload.mUInt64;
    case kTypeSInt64:
        return static_cast<UInt64>(mPayload.mSInt64);
    default:
        if (std::isnan(mPayload.mDouble))
            return std::nullopt;
        if (mPayload.mDouble < 0)
            return static_cast<UInt64>(ConvertDouble<SInt64>(mPayload.mDouble));
        return ConvertDouble<UInt64>(mPayload.mDouble);
    }
}

bool CBValue::operator==(CBValue const& theValue) const
{
    if (IsNumber() && theValue.IsNumber()) {
        std::optional<UInt64> const mine = GetComparableNumber();
        std::optional<UInt64> const theirs = theValue.GetComparableNumber();
        // Two NaNs count as equal so that a NaN carried between bound stores stops echoing.
        if (!mine || !theirs)
            return !mine && !theirs;
        return *mine == *theirs;
    }
    if (mType != theValue.mType)
        return false;
    return IsEqualNonNumber(theValue);
}

bool CBValue::IsEqualNonNumber(CBValue const& theValue) const
{
    Payload const& mine = mPayload;
    Payload const& theirs = theValue.mPayload;
    switch (mType) {
    case kTypeInvalid:
        return true;
    case kTypePointer:
        return mine.mPointer == theirs.mPointer;
    case kTypeDate:
        return mine.mDate && theirs.mDate && CFDateCompare(mine.mDate, theirs.mDate, nullptr) == kCFCompareEqualTo;
    case kTypeString:
        return mine.mString && theirs.mString && CFStringCompare(mine.mString, theirs.mString, 0) == kCFCompareEqualTo;
    case kTypePoint:
        return mine.mPoint.x == theirs.mPoint.x && mine.mPoint.y == theirs.mPoint.y;
    case kTypeSize:
        return mine.mSize.width == theirs.mSize.width && mine.mSize.height == theirs.mSize.height;
    case kTypeRect:
        return CGRectEqualToRect(mine.mRect, theirs.mRect);
    default:
        CB_REPORT("Unknown type: %d", static_cast<int>(mType));
        return false;
    }
}
