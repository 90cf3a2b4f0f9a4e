#include "bindings/Source/Core/CBValue.h"
#include "bindings/tests/TestObservers.h"

#include <gtest/gtest.h>
#include <limits>

using namespace tw::test;

namespace {

CBValue MakeString(char const* text)
{
    CBValue result;
    result.SetString(CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8), true);
    return result;
}

CBValue MakeRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h)
{
    CBValue result;
    result.SetRect(CGRectMake(x, y, w, h));
    return result;
}

} // namespace

TEST(CBValue, NumbersCompareByTheirTruncatedIntegerValue)
{
    EXPECT_EQ(MakeDouble(2.9), MakeUInt32(2));
    EXPECT_NE(MakeDouble(2.9), MakeUInt32(3));
    EXPECT_EQ(MakeDouble(1.2), MakeDouble(1.7));
    EXPECT_EQ(MakeBoolean(true), MakeUInt32(1));
    EXPECT_NE(MakeBoolean(true), MakeUInt32(2));
    // Signed values are sign-extended; negative doubles truncate toward zero.
    EXPECT_EQ(MakeDouble(-1.9), MakeSInt32(-1));
    EXPECT_NE(MakeSInt32(-1), MakeUInt32(0xFFFFFFFF));
    EXPECT_EQ(MakeSInt64(0xFFFFFFFFLL), MakeUInt32(0xFFFFFFFF));

    double const nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_NE(MakeDouble(nan), MakeUInt32(0));
    EXPECT_EQ(MakeDouble(nan), MakeDouble(nan)) << "a NaN written twice must not notify again";
    EXPECT_EQ(MakeDouble(1e300), MakeDouble(std::numeric_limits<double>::infinity())) << "both saturate";
    EXPECT_NE(MakeDouble(1e300), MakeDouble(-1e300));
}

TEST(CBValue, NonNumbersCompareWithinTheirOwnType)
{
    EXPECT_EQ(CBValue(), CBValue());
    EXPECT_NE(CBValue(), MakeBoolean(false));
    EXPECT_NE(MakeString("1"), MakeUInt32(1));
    EXPECT_EQ(MakeString("abc"), MakeString("abc"));
    EXPECT_NE(MakeString("a"), MakeString("A"));
    CBValue nullString;
    nullString.SetString(nullptr, false);
    EXPECT_NE(nullString, nullString) << "a null string is equal to nothing";

    EXPECT_EQ(MakeRect(1, 2, 3, 4), MakeRect(1, 2, 3, 4));
    EXPECT_NE(MakeRect(1, 2, 3, 4), MakeRect(1, 2, 3, 5));
    CBValue point, size;
    point.SetPoint(CGPointMake(1, 2));
    size.SetSize(CGSizeMake(1, 2));
    EXPECT_NE(point, size);

    CBValue const date(CFDateCreate(nullptr, 1000.0), true);
    EXPECT_EQ(date, CBValue(CFDateCreate(nullptr, 1000.0), true));
    EXPECT_NE(date, CBValue(CFDateCreate(nullptr, 1000.5), true));
}

TEST(CBValue, NumberGettersConvertAndSaturate)
{
    EXPECT_TRUE(MakeDouble(0.5).GetBoolean());
    EXPECT_EQ(MakeDouble(0.5).GetUInt32(), 0u);
    EXPECT_EQ(MakeDouble(-2.7).GetSInt32(), -2);
    EXPECT_EQ(MakeBoolean(true).GetDouble(), 1.0);
    EXPECT_EQ(MakeSInt32(-1).GetUInt32(), 0xFFFFFFFFu);
    EXPECT_EQ(MakeSInt64(0x100000005LL).GetUInt32(), 5u) << "64-bit integers keep their low 32 bits";

    EXPECT_EQ(MakeDouble(1e20).GetUInt32(), std::numeric_limits<UInt32>::max());
    EXPECT_EQ(MakeDouble(-1e20).GetSInt32(), std::numeric_limits<SInt32>::min());
    EXPECT_EQ(MakeDouble(-5).GetUInt32(), 0u);
    EXPECT_EQ(MakeDouble(1e30).GetSInt64(), std::numeric_limits<SInt64>::max());
    CBValue const nan = MakeDouble(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(nan.GetSInt32(), 0);
    EXPECT_FALSE(nan.GetBoolean());
}

TEST(CBValue, GettersOfAnotherTypeReportAndAnswerZero)
{
    CBValue const number = MakeUInt32(0x12345678);
    CBValue const text = MakeString("x");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(CGRectEqualToRect(number.GetRect(), CGRectZero));
    EXPECT_TRUE(CGPointEqualToPoint(number.GetPoint(), CGPointZero));
    EXPECT_TRUE(CGSizeEqualToSize(text.GetSize(), CGSizeZero));
    EXPECT_EQ(number.GetString(), nullptr);
    EXPECT_EQ(text.GetDate(), nullptr);
    EXPECT_EQ(number.GetPointer(), nullptr);
    EXPECT_EQ(text.GetUInt32(), 0u);
    std::string const errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReportedConditions(errors),
        (Texts { "IsRect()", "IsPoint()", "IsSize()", "IsString()", "IsDate()", "IsPointer()", "IsNumber()" }));
    EXPECT_NE(errors.find("CBValue.cpp, line "), std::string::npos);
}

TEST(CBValue, StringsAreRetainedWhileHeldAndAdoptedOnRequest)
{
    CFStringRef const text = CFStringCreateWithCString(nullptr, "route", kCFStringEncodingUTF8);
    {
        CBValue retained;
        retained.SetString(text, false);
        EXPECT_EQ(CFGetRetainCount(text), 2);
        {
            CBValue copy(retained);
            CBValue assigned;
            assigned = copy;
            EXPECT_EQ(CFGetRetainCount(text), 4);
        }
        EXPECT_EQ(CFGetRetainCount(text), 2);

        CFRetain(text);
        CBValue adopted;
        adopted.SetString(text, true);
        EXPECT_EQ(CFGetRetainCount(text), 3);
        // Setting the string a value already holds must not free it on the way.
        adopted.SetString(adopted.GetString(), false);
        CBValue const& alias = adopted;
        adopted = alias;
        EXPECT_EQ(CFGetRetainCount(text), 3);
        adopted.SetUInt32(7);
        EXPECT_EQ(CFGetRetainCount(text), 2);
    }
    EXPECT_EQ(CFGetRetainCount(text), 1);
    CFRelease(text);
}

TEST(CBValue, CopiesKeepTypeAndPayload)
{
    CBValue survivor;
    {
        CBValue const original = MakeString("kept");
        survivor = original;
    }
    EXPECT_EQ(survivor, MakeString("kept"));

    CBValue const date(CFDateCreate(nullptr, -86400.0), true);
    for (CBValue const& source : { MakeSInt64(-5000000000LL), MakeRect(10.7, 20.2, 100.9, 50.5), date, MakeDouble(0.25),
             MakeBoolean(true), CBValue() }) {
        CBValue copy = MakeUInt32(1);
        copy = source;
        EXPECT_EQ(copy.GetType(), source.GetType());
        EXPECT_EQ(copy, source);
    }
    EXPECT_EQ(CBValue(MakeSInt64(-5000000000LL)).GetSInt64(), -5000000000LL);
    EXPECT_EQ(CBValue(MakeDouble(0.25)).GetDouble(), 0.25);
    EXPECT_EQ(MakeRect(0, 0, 0, 0).GetTypeSize(CBValue::kTypeString), sizeof(void*));
}
