#include "CFRefHolder.h"
#include "corefoundation/CFArray.h"
#include "corefoundation/CFNumber.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

using tw::cf::test::Adopt;

namespace {

template <typename... Args> std::string Format(CFStringRef format, Args... args)
{
    auto s = Adopt(CFStringCreateWithFormat(nullptr, nullptr, format, args...));
    return tw::cf::ToUTF8(s.get());
}

} // namespace

TEST(CFStringFormat, ObjectDirective)
{
    int value = 42;
    auto number = Adopt(CFNumberCreate(nullptr, kCFNumberIntType, &value));
    EXPECT_EQ(Format(CFSTR("[%@] [%@] [%@]"), CFSTR("Grüße"), number.get(), static_cast<CFTypeRef>(nullptr)),
        "[Grüße] [42] [(null)]");
    EXPECT_EQ(Format(CFSTR("[%8@|%-8@|%.3@]"), CFSTR("ab"), CFSTR("cd"), CFSTR("abcdef")), "[      ab|cd      |abc]");
    EXPECT_EQ(Format(CFSTR("%@"), kCFBooleanTrue), "true");
}

TEST(CFStringFormat, IntegerDirectivesWithFlagsWidthsAndLengths)
{
    EXPECT_EQ(Format(CFSTR("%d|%5d|%-5d|%05d|%+d|% d"), -7, 42, 42, 42, 3, 3), "-7|   42|42   |00042|+3| 3");
    EXPECT_EQ(Format(CFSTR("%x|%X|%#x|%o|%u"), 255, 255, 255, 8, 4000000000U), "ff|FF|0xff|10|4000000000");
    EXPECT_EQ(Format(CFSTR("%ld|%lld|%zu|%jd|%td"), -1L, (long long)INT64_MIN, size_t(7), intmax_t(8), ptrdiff_t(-9)),
        "-1|-9223372036854775808|7|8|-9");
    EXPECT_EQ(Format(CFSTR("%hhd|%hu|%lu"), 300, 70000, 18446744073709551615UL), "44|4464|18446744073709551615");
    EXPECT_EQ(Format(CFSTR("%i%%"), 50), "50%");
}

TEST(CFStringFormat, StarWidthAndPrecision)
{
    EXPECT_EQ(Format(CFSTR("[%*d]"), 6, 12), "[    12]");
    EXPECT_EQ(Format(CFSTR("[%*d]"), -6, 12), "[12    ]");
    EXPECT_EQ(Format(CFSTR("[%.*f]"), 2, 3.14159), "[3.14]");
    EXPECT_EQ(Format(CFSTR("[%*.*f]"), 8, 3, 2.5), "[   2.500]");
    EXPECT_EQ(Format(CFSTR("[%-*s]"), 5, "ab"), "[ab   ]");
}

TEST(CFStringFormat, RealDirectives)
{
    EXPECT_EQ(Format(CFSTR("%f|%.1f|%e|%g|%G"), 1.5, 2.25, 12345.678, 0.0001, 1e20),
        "1.500000|2.2|1.234568e+04|0.0001|1E+20");
    EXPECT_EQ(Format(CFSTR("%lf %Lf"), 0.5, 0.25L), "0.500000 0.250000");
    EXPECT_EQ(Format(CFSTR("{%lf, %lf, %lf}"), 47.5, -122.25, 10.0), "{47.500000, -122.250000, 10.000000}");
    EXPECT_EQ(Format(CFSTR("%a"), 1.0), "0x1p+0");
}

TEST(CFStringFormat, TextDirectives)
{
    EXPECT_EQ(Format(CFSTR("%s|%.2s|%6s"), "Grüße", "abc", "é"), "Grüße|ab|     é");
    char const unterminated[3] = { 'x', 'y', 'z' };
    EXPECT_EQ(Format(CFSTR("%.3s"), unterminated), "xyz");
    EXPECT_EQ(Format(CFSTR("%s"), static_cast<char const*>(nullptr)), "(null)");
    char16_t const units[] = u"Ärger";
    EXPECT_EQ(Format(CFSTR("%C%C|%S|%.2S"), UniChar(0x00C4), UniChar(u'x'), units, units), "Äx|Ärger|Är");
    EXPECT_EQ(Format(CFSTR("%c%c"), 'o', 'k'), "ok");
    EXPECT_EQ(Format(CFSTR("%ls"), L"wide ☃"), "wide ☃");
    EXPECT_EQ(Format(CFSTR("%p"), static_cast<void*>(nullptr)).empty(), false);
}

TEST(CFStringFormat, PositionalArguments)
{
    EXPECT_EQ(Format(CFSTR("%2$@ before %1$@"), CFSTR("one"), CFSTR("two")), "two before one");
    EXPECT_EQ(Format(CFSTR("%1$d %1$d %2$s"), 5, "x"), "5 5 x");
    EXPECT_EQ(Format(CFSTR("%2$.1f:%1$d"), 3, 2.25), "2.2:3");
}

TEST(CFStringFormat, MalformedDirectivesStayAsText)
{
    EXPECT_EQ(Format(CFSTR("100%")), "100%");
    EXPECT_EQ(Format(CFSTR("%y and %d"), 4), "%y and 4");
    int written = 77;
    EXPECT_EQ(Format(CFSTR("a%nb"), &written), "ab"); // %n is never honoured
    EXPECT_EQ(written, 77);
    EXPECT_EQ(Format(CFSTR("%5000$d|%d"), 1), "%5000$d|1");
    EXPECT_EQ(CFStringCreateWithFormat(nullptr, nullptr, nullptr), nullptr);
}

TEST(CFStringFormat, AppendFormatAndDescriptions)
{
    auto s = Adopt(CFStringCreateMutableCopy(nullptr, 0, CFSTR("n=")));
    CFStringAppendFormat(s.get(), nullptr, CFSTR("%d, %@"), 3, CFSTR("ok"));
    EXPECT_EQ(tw::cf::ToUTF8(s.get()), "n=3, ok");

    void const* values[] = { CFSTR("a"), CFSTR("b") };
    auto array = Adopt(CFArrayCreate(nullptr, values, 2, &kCFTypeArrayCallBacks));
    EXPECT_EQ(Format(CFSTR("%@"), array.get()), "(\n    a,\n    b\n)");
    auto dict = Adopt(CFDictionaryCreate(
        nullptr, values, values, 1, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    EXPECT_EQ(Format(CFSTR("%@"), dict.get()), "{\n    a = a;\n}");
}
