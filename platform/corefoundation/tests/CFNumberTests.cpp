#include "CFRefHolder.h"
#include "corefoundation/CFNumber.h"
#include "corefoundation/CFString.h"

#include <cmath>
#include <ctime>
#include <gtest/gtest.h>
#include <limits>

using tw::cf::test::Adopt;

namespace {

template <typename T> CFNumberRef Make(CFNumberType type, T value) { return CFNumberCreate(nullptr, type, &value); }

std::string Describe(CFTypeRef cf)
{
    auto text = Adopt(CFCopyDescription(cf));
    return tw::cf::ToUTF8(text.get());
}

} // namespace

TEST(CFNumber, ReportsTheCanonicalType)
{
    struct Case {
        CFNumberType made;
        CFNumberType reported;
    };
    Case const cases[] = { { kCFNumberSInt8Type, kCFNumberSInt32Type }, { kCFNumberSInt16Type, kCFNumberSInt32Type },
        { kCFNumberSInt32Type, kCFNumberSInt32Type }, { kCFNumberCharType, kCFNumberSInt32Type },
        { kCFNumberShortType, kCFNumberSInt32Type }, { kCFNumberIntType, kCFNumberSInt32Type },
        { kCFNumberSInt64Type, kCFNumberSInt64Type }, { kCFNumberLongType, kCFNumberSInt64Type },
        { kCFNumberLongLongType, kCFNumberSInt64Type }, { kCFNumberCFIndexType, kCFNumberSInt64Type },
        { kCFNumberNSIntegerType, kCFNumberSInt64Type }, { kCFNumberFloat32Type, kCFNumberFloat32Type },
        { kCFNumberFloatType, kCFNumberFloat32Type }, { kCFNumberFloat64Type, kCFNumberFloat64Type },
        { kCFNumberDoubleType, kCFNumberFloat64Type }, { kCFNumberCGFloatType, kCFNumberFloat64Type } };
    for (Case const& c : cases) {
        char storage[8] = { 1 }; // large enough for every type; the low byte makes a non-zero value
        auto n = Adopt(CFNumberCreate(nullptr, c.made, storage));
        ASSERT_TRUE(n);
        EXPECT_EQ(CFNumberGetType(n.get()), c.reported) << c.made;
        EXPECT_EQ(CFNumberIsFloatType(n.get()), c.reported >= kCFNumberFloat32Type) << c.made;
    }
    int v = 1;
    EXPECT_EQ(CFNumberCreate(nullptr, CFNumberType(99), &v), nullptr);
    EXPECT_EQ(CFNumberCreate(nullptr, kCFNumberIntType, nullptr), nullptr);
}

TEST(CFNumber, SmallTypesReadTheirOwnWidth)
{
    SInt8 const small = -5;
    auto n = Adopt(CFNumberCreate(nullptr, kCFNumberSInt8Type, &small));
    SInt64 wide = 0;
    EXPECT_TRUE(CFNumberGetValue(n.get(), kCFNumberSInt64Type, &wide));
    EXPECT_EQ(wide, -5);
}

TEST(CFNumber, IntegerConversionsSaturateAndReportLoss)
{
    auto big = Adopt(Make(kCFNumberSInt32Type, SInt32(300)));
    SInt8 s8 = 0;
    EXPECT_FALSE(CFNumberGetValue(big.get(), kCFNumberSInt8Type, &s8));
    EXPECT_EQ(s8, 127);
    SInt16 s16 = 0;
    EXPECT_TRUE(CFNumberGetValue(big.get(), kCFNumberSInt16Type, &s16));
    EXPECT_EQ(s16, 300);

    auto huge = Adopt(Make(kCFNumberSInt64Type, std::numeric_limits<SInt64>::min()));
    SInt32 s32 = 0;
    EXPECT_FALSE(CFNumberGetValue(huge.get(), kCFNumberSInt32Type, &s32));
    EXPECT_EQ(s32, std::numeric_limits<SInt32>::min());
    double d = 0;
    EXPECT_TRUE(CFNumberGetValue(huge.get(), kCFNumberFloat64Type, &d)); // -2^63 is exact
    auto max = Adopt(Make(kCFNumberSInt64Type, std::numeric_limits<SInt64>::max()));
    EXPECT_FALSE(CFNumberGetValue(max.get(), kCFNumberFloat64Type, &d)); // rounds up to 2^63
    auto exact = Adopt(Make(kCFNumberSInt64Type, SInt64(1) << 53));
    EXPECT_TRUE(CFNumberGetValue(exact.get(), kCFNumberDoubleType, &d));
    EXPECT_EQ(d, 9007199254740992.0);
}

TEST(CFNumber, RealToIntegerNeverUndefined)
{
    struct Case {
        double real;
        SInt32 as32;
        SInt64 as64;
        bool exact;
    };
    double const nan = std::numeric_limits<double>::quiet_NaN();
    double const inf = std::numeric_limits<double>::infinity();
    Case const cases[] = {
        { 3.7, 3, 3, false },
        { -3.7, -3, -3, false },
        { 12.0, 12, 12, true },
        { nan, 0, 0, false },
        { 1e30, std::numeric_limits<SInt32>::max(), std::numeric_limits<SInt64>::max(), false },
        { -1e30, std::numeric_limits<SInt32>::min(), std::numeric_limits<SInt64>::min(), false },
        { inf, std::numeric_limits<SInt32>::max(), std::numeric_limits<SInt64>::max(), false },
        { -inf, std::numeric_limits<SInt32>::min(), std::numeric_limits<SInt64>::min(), false },
        { 0x1p63, std::numeric_limits<SInt32>::max(), std::numeric_limits<SInt64>::max(), false },
    };
    for (Case const& c : cases) {
        auto n = Adopt(Make(kCFNumberFloat64Type, c.real));
        SInt32 v32 = 99;
        SInt64 v64 = 99;
        EXPECT_EQ(bool(CFNumberGetValue(n.get(), kCFNumberSInt32Type, &v32)), c.exact) << c.real;
        EXPECT_EQ(bool(CFNumberGetValue(n.get(), kCFNumberSInt64Type, &v64)), c.exact && c.as64 == c.as32) << c.real;
        EXPECT_EQ(v32, c.as32) << c.real;
        EXPECT_EQ(v64, c.as64) << c.real;
    }
}

TEST(CFNumber, RealWidths)
{
    auto tenth = Adopt(Make(kCFNumberFloat64Type, 0.1));
    float f = 0;
    EXPECT_FALSE(CFNumberGetValue(tenth.get(), kCFNumberFloat32Type, &f));
    EXPECT_FLOAT_EQ(f, 0.1f);
    auto half = Adopt(Make(kCFNumberFloat32Type, 0.5f));
    double d = 0;
    EXPECT_TRUE(CFNumberGetValue(half.get(), kCFNumberFloat64Type, &d));
    EXPECT_EQ(d, 0.5);
    auto tooBig = Adopt(Make(kCFNumberFloat64Type, 1e300));
    EXPECT_FALSE(CFNumberGetValue(tooBig.get(), kCFNumberFloat32Type, &f));
    EXPECT_TRUE(std::isinf(f));
}

TEST(CFNumber, EqualityAndOrderAcrossIntegerAndReal)
{
    auto two = Adopt(Make(kCFNumberSInt32Type, SInt32(2)));
    auto twoReal = Adopt(Make(kCFNumberFloat64Type, 2.0));
    auto twoFloat = Adopt(Make(kCFNumberFloat32Type, 2.0f));
    auto twoAndHalf = Adopt(Make(kCFNumberFloat64Type, 2.5));
    EXPECT_TRUE(CFEqual(two.get(), twoReal.get()));
    EXPECT_TRUE(CFEqual(twoFloat.get(), twoReal.get()));
    EXPECT_EQ(CFHash(two.get()), CFHash(twoReal.get()));
    EXPECT_FALSE(CFEqual(two.get(), twoAndHalf.get()));
    EXPECT_EQ(CFNumberCompare(two.get(), twoAndHalf.get(), nullptr), kCFCompareLessThan);
    EXPECT_EQ(CFNumberCompare(twoAndHalf.get(), two.get(), nullptr), kCFCompareGreaterThan);

    // 2^63 - 1 differs from the double 2^63 although converting it would round to it.
    auto max = Adopt(Make(kCFNumberSInt64Type, std::numeric_limits<SInt64>::max()));
    auto power = Adopt(Make(kCFNumberFloat64Type, 0x1p63));
    EXPECT_FALSE(CFEqual(max.get(), power.get()));
    EXPECT_EQ(CFNumberCompare(max.get(), power.get(), nullptr), kCFCompareLessThan);

    auto nan = Adopt(Make(kCFNumberFloat64Type, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(CFEqual(nan.get(), two.get()));
    EXPECT_FALSE(CFEqual(kCFBooleanTrue, Adopt(Make(kCFNumberIntType, 1)).get()));
}

TEST(CFNumber, Descriptions)
{
    EXPECT_EQ(Describe(Adopt(Make(kCFNumberSInt64Type, SInt64(-9000000000))).get()), "-9000000000");
    EXPECT_EQ(Describe(Adopt(Make(kCFNumberFloat64Type, 0.1)).get()), "0.1");
    EXPECT_EQ(Describe(Adopt(Make(kCFNumberFloat32Type, 0.1f)).get()), "0.1");
    EXPECT_EQ(Describe(Adopt(Make(kCFNumberFloat64Type, -1.5)).get()), "-1.5");
    EXPECT_EQ(Describe(Adopt(Make(kCFNumberFloat64Type, 3.0)).get()), "3");
    EXPECT_EQ(Describe(nullptr), "(null)");
}

TEST(CFBoolean, ConstantsAreImmortal)
{
    EXPECT_TRUE(CFBooleanGetValue(kCFBooleanTrue));
    EXPECT_FALSE(CFBooleanGetValue(kCFBooleanFalse));
    EXPECT_EQ(CFGetTypeID(kCFBooleanTrue), CFBooleanGetTypeID());
    CFIndex const count = CFGetRetainCount(kCFBooleanTrue);
    CFRelease(kCFBooleanTrue);
    CFRelease(kCFBooleanTrue);
    EXPECT_EQ(CFGetRetainCount(kCFBooleanTrue), count);
    EXPECT_FALSE(CFEqual(kCFBooleanTrue, kCFBooleanFalse));
    EXPECT_EQ(Describe(kCFBooleanFalse), "false");
}

TEST(CFDate, AbsoluteTime)
{
    auto date = Adopt(CFDateCreate(nullptr, -2.0));
    EXPECT_EQ(CFDateGetAbsoluteTime(date.get()), -2.0);
    auto origin = Adopt(CFDateCreate(nullptr, 0));
    EXPECT_EQ(CFDateCompare(date.get(), origin.get(), nullptr), kCFCompareLessThan);
    EXPECT_EQ(Describe(origin.get()), "2001-01-01 00:00:00 +0000");
    auto same = Adopt(CFDateCreate(nullptr, 0));
    EXPECT_TRUE(CFEqual(origin.get(), same.get()));
    double const expected = double(std::time(nullptr)) - kCFAbsoluteTimeIntervalSince1970;
    EXPECT_NEAR(CFAbsoluteTimeGetCurrent(), expected, 2.0);
}

TEST(CFData, BytesAndMutation)
{
    UInt8 const bytes[] = { 0xDE, 0xAD, 0xBE, 0xEF, 0x01 };
    auto data = Adopt(CFDataCreate(nullptr, bytes, 5));
    EXPECT_EQ(CFDataGetLength(data.get()), 5);
    EXPECT_EQ(CFDataGetBytePtr(data.get())[3], 0xEF);
    EXPECT_EQ(Describe(data.get()), "<deadbeef 01>");

    auto copy = Adopt(CFDataCreateMutableCopy(nullptr, 0, data.get()));
    EXPECT_TRUE(CFEqual(copy.get(), data.get()));
    EXPECT_EQ(CFHash(copy.get()), CFHash(data.get()));
    CFDataAppendBytes(copy.get(), bytes, 2);
    CFDataSetLength(copy.get(), 9);
    ASSERT_EQ(CFDataGetLength(copy.get()), 9);
    UInt8 tail[4] = {};
    CFDataGetBytes(copy.get(), CFRangeMake(5, 4), tail);
    EXPECT_EQ(tail[0], 0xDE);
    EXPECT_EQ(tail[2], 0); // the new length is zero-filled
    CFDataGetMutableBytePtr(copy.get())[0] = 0;
    EXPECT_FALSE(CFEqual(copy.get(), data.get()));

    // Changing immutable data is refused.
    CFDataAppendBytes(const_cast<CFMutableDataRef>(data.get()), bytes, 2);
    EXPECT_EQ(CFDataGetLength(data.get()), 5);
    EXPECT_EQ(CFDataGetMutableBytePtr(const_cast<CFMutableDataRef>(data.get())), nullptr);
}
