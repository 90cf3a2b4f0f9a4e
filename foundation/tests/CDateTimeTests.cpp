#include "foundation/CDateTime.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

namespace {

// Texts are local time: pin the zone so that the expected texts hold everywhere.
class CDateTimeTest : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

constexpr double kJan5th2008 = 221238245; // 2008-01-05 15:04:05 UTC [s since 2001]

} // namespace

TEST_F(CDateTimeTest, CountsFromTheCoreFoundationReferenceDate)
{
    CDateTime zero;
    EXPECT_FALSE(zero.IsValid());
    EXPECT_EQ(zero.GetYear(), 2001);
    EXPECT_STREQ(zero.GetTimeAsString(true, true, CDateTime::kDateFormShort, true).GetUTF8(), "1/1/01 12:00:00 AM");
    CDateTime now = CDateTime::GetTimeNow();
    EXPECT_NEAR(now.GetTimeInSeconds(), CFAbsoluteTimeGetCurrent(), 1);
    EXPECT_TRUE(now.IsValid());
    EXPECT_GE(now.GetYear(), 2024);
}

TEST_F(CDateTimeTest, TextInEachForm)
{
    CDateTime t(kJan5th2008);
    EXPECT_STREQ(t.GetTimeAsString(true, false, CDateTime::kDateFormShort, false).GetUTF8(), "1/5/08");
    EXPECT_STREQ(
        t.GetTimeAsString(true, false, CDateTime::kDateFormLong, false).GetUTF8(), "Saturday, January 5, 2008");
    EXPECT_STREQ(
        t.GetTimeAsString(true, true, CDateTime::kDateFormAbbreviated, false).GetUTF8(), "Sat, Jan 5, 2008 3:04 PM");
    EXPECT_STREQ(t.GetTimeAsString(false, true, CDateTime::kDateFormShort, true).GetUTF8(), "3:04:05 PM");
    EXPECT_TRUE(t.GetTimeAsString(false, false, CDateTime::kDateFormShort, true).IsEmpty());
    EXPECT_TRUE(CDateTime(1e300).GetTimeAsString(true, true, 0, true).IsEmpty());
    EXPECT_EQ(CDateTime(1e300).GetYear(), 0);
}

TEST_F(CDateTimeTest, SpansAndOrder)
{
    CDateTime a(1000), b(4600);
    EXPECT_EQ(b - a, CDateTime(3600));
    EXPECT_TRUE(a < b);
    EXPECT_FALSE(b < a);
    EXPECT_NE(a, b);
    EXPECT_EQ(CDateTime(-1).GetTimeInSeconds(), -1); // stored periods may be negative
}
