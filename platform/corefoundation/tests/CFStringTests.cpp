#include "CFRefHolder.h"
#include "corefoundation/CFArray.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

using tw::cf::test::Adopt;

namespace {

CFStringRef Make(char const* utf8) { return CFStringCreateWithCString(nullptr, utf8, kCFStringEncodingUTF8); }

std::string Bytes(CFStringRef s, CFStringEncoding encoding, UInt8 lossByte = 0, bool external = false)
{
    CFIndex used = 0;
    CFRange const all = CFRangeMake(0, CFStringGetLength(s));
    CFStringGetBytes(s, all, encoding, lossByte, external, nullptr, 0, &used);
    std::string out(size_t(used), '\0');
    CFStringGetBytes(s, all, encoding, lossByte, external, reinterpret_cast<UInt8*>(out.data()), used, &used);
    return out;
}

CFStringRef FromBytes(std::string const& bytes, CFStringEncoding encoding, bool external = false)
{
    return CFStringCreateWithBytes(
        nullptr, reinterpret_cast<UInt8 const*>(bytes.data()), CFIndex(bytes.size()), encoding, external);
}

} // namespace

TEST(CFString, UTF8RoundTripKeepsSurrogatePairs)
{
    auto s = Adopt(Make("Grüße € \xF0\x9F\x98\x80")); // U+1F600 takes two UTF-16 units
    ASSERT_TRUE(s);
    EXPECT_EQ(CFStringGetLength(s.get()), 10);
    EXPECT_EQ(CFStringGetCharacterAtIndex(s.get(), 8), 0xD83D);
    EXPECT_EQ(CFStringGetCharacterAtIndex(s.get(), 9), 0xDE00);
    EXPECT_EQ(tw::cf::ToUTF8(s.get()), "Grüße € \xF0\x9F\x98\x80");
    char buffer[32];
    ASSERT_TRUE(CFStringGetCString(s.get(), buffer, sizeof buffer, kCFStringEncodingUTF8));
    EXPECT_STREQ(buffer, "Grüße € \xF0\x9F\x98\x80");
}

TEST(CFString, InvalidUTF8GivesNull)
{
    char const* const invalid[] = {
        "\xC0\x80", // overlong NUL
        "\xE0\x80\xAF", // overlong slash
        "\xED\xA0\x80", // encoded surrogate
        "\xF4\x90\x80\x80", // above U+10FFFF
        "abc\xE2\x82", // truncated
        "\x80", // stray continuation byte
        "\xFF",
    };
    for (char const* bytes : invalid) {
        EXPECT_EQ(Make(bytes), nullptr) << bytes;
        EXPECT_EQ(tw::cf::CreateString(bytes), nullptr);
    }
    EXPECT_EQ(tw::cf::UTF8ToUTF16("a\xFF"), u"a\uFFFD"); // the lenient conversion replaces
    auto marked = Adopt(FromBytes("\xEF\xBB\xBFkey", kCFStringEncodingUTF8));
    EXPECT_TRUE(CFEqual(marked.get(), CFSTR("key")));
}

TEST(CFString, SingleByteEncodingsRoundTripEveryByte)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    for (CFStringEncoding encoding : { kCFStringEncodingMacRoman, kCFStringEncodingISOLatin1 }) {
        auto s = Adopt(FromBytes(all, encoding));
        ASSERT_TRUE(s);
        EXPECT_EQ(CFStringGetLength(s.get()), 256);
        EXPECT_EQ(Bytes(s.get(), encoding), all) << encoding;
    }
    auto roman = Adopt(FromBytes("\xA5\xDB\xF0\x8A\xD5", kCFStringEncodingMacRoman));
    EXPECT_EQ(tw::cf::ToUTF8(roman.get()), "•€\uF8FFä’");
    auto windows = Adopt(FromBytes("\x80\x93x\x94\xE9", kCFStringEncodingWindowsLatin1));
    EXPECT_EQ(tw::cf::ToUTF8(windows.get()), "€“x”é");
    EXPECT_EQ(Bytes(windows.get(), kCFStringEncodingWindowsLatin1), "\x80\x93x\x94\xE9");
}

TEST(CFString, UnrepresentableCharactersFailOrUseTheLossByte)
{
    EXPECT_EQ(FromBytes("ab\x80", kCFStringEncodingASCII), nullptr);
    auto s = Adopt(Make("aĀb")); // U+0100 has no Mac Roman or Latin-1 byte
    char buffer[16];
    EXPECT_FALSE(CFStringGetCString(s.get(), buffer, sizeof buffer, kCFStringEncodingMacRoman));
    EXPECT_FALSE(CFStringGetCString(s.get(), buffer, sizeof buffer, kCFStringEncodingISOLatin1));
    EXPECT_EQ(Bytes(s.get(), kCFStringEncodingMacRoman, '?'), "a?b");
    UInt8 out[8];
    CFIndex used = 0;
    EXPECT_EQ(CFStringGetBytes(s.get(), CFRangeMake(0, 3), kCFStringEncodingISOLatin1, 0, false, out, 8, &used), 1);
    EXPECT_EQ(used, 1);
}

TEST(CFString, UTF16ByteOrders)
{
    auto be = Adopt(FromBytes(std::string("\xFE\xFF\x00\x41\xD8\x3D\xDE\x00", 8), kCFStringEncodingUTF16));
    ASSERT_TRUE(be);
    EXPECT_EQ(be->Text(), u"A\U0001F600");
    auto le = Adopt(FromBytes(std::string("\xFF\xFE\x41\x00", 4), kCFStringEncodingUTF16));
    EXPECT_EQ(le->Text(), u"A");
    auto external = Adopt(FromBytes(std::string("\x00\x41", 2), kCFStringEncodingUTF16, true));
    EXPECT_EQ(external->Text(), u"A");
    auto host = Adopt(FromBytes(std::string("\x41\x00", 2), kCFStringEncodingUTF16));
    EXPECT_EQ(host->Text(), u"A");
    auto explicitLE = Adopt(FromBytes(std::string("\x41\x00\x42\x00", 4), kCFStringEncodingUTF16LE));
    EXPECT_EQ(explicitLE->Text(), u"AB");
    EXPECT_EQ(FromBytes("abc", kCFStringEncodingUTF16BE), nullptr); // odd length

    EXPECT_EQ(Bytes(explicitLE.get(), kCFStringEncodingUTF16BE), std::string("\x00\x41\x00\x42", 4));
    std::string const withMark = Bytes(be.get(), kCFStringEncodingUTF16, 0, true);
    auto back = Adopt(FromBytes(withMark, kCFStringEncodingUTF16));
    EXPECT_TRUE(CFEqual(back.get(), be.get()));
    EXPECT_EQ(withMark.size(), 8u);
}

TEST(CFString, GetCStringNeedsRoomForTheTerminator)
{
    auto s = Adopt(Make("héllo")); // 6 bytes of UTF-8
    char buffer[8];
    EXPECT_FALSE(CFStringGetCString(s.get(), buffer, 6, kCFStringEncodingUTF8));
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(CFStringGetCString(s.get(), buffer, 7, kCFStringEncodingUTF8));
    EXPECT_STREQ(buffer, "héllo");
    EXPECT_TRUE(CFStringGetCString(s.get(), buffer, 6, kCFStringEncodingISOLatin1));
    EXPECT_GE(CFStringGetMaximumSizeForEncoding(5, kCFStringEncodingUTF8), 6);
}

TEST(CFString, ConstantsAreInternedAndImmortal)
{
    CFStringRef a = CFSTR("interned text");
    EXPECT_EQ(a, CFSTR("interned text"));
    EXPECT_NE(a, CFSTR("other text"));
    CFIndex const count = CFGetRetainCount(a);
    CFRelease(a);
    CFRelease(a);
    CFRetain(a);
    EXPECT_EQ(CFGetRetainCount(a), count);
    EXPECT_EQ(tw::cf::ToUTF8(a), "interned text");

    std::vector<CFStringRef> seen(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = CFSTR("made on many threads"); });
    for (auto& t : threads)
        t.join();
    for (CFStringRef s : seen)
        EXPECT_EQ(s, seen[0]);
}

TEST(CFString, RetainReleaseAndNull)
{
    CFRelease(nullptr);
    EXPECT_EQ(CFRetain(nullptr), nullptr);
    EXPECT_EQ(CFGetRetainCount(nullptr), 0);
    EXPECT_FALSE(CFEqual(nullptr, CFSTR("")));
    CFStringRef s = Make("x");
    EXPECT_EQ(CFGetRetainCount(s), 1);
    CFRetain(s);
    EXPECT_EQ(CFGetRetainCount(s), 2);
    CFRelease(s);
    EXPECT_EQ(CFGetRetainCount(s), 1);
    EXPECT_EQ(CFGetTypeID(s), CFStringGetTypeID());
    EXPECT_EQ(CFHash(s), CFHash(CFSTR("x")));
    EXPECT_TRUE(CFEqual(s, CFSTR("x")));
    CFRelease(s);
}

TEST(CFString, CaseInsensitiveComparisonCoversLatinGreekCyrillic)
{
    struct Pair {
        char const* a;
        char const* b;
    };
    Pair const same[] = { { "ÄÖÜ Straße", "äöü straße" }, { "ΣΟΦΊΑ", "σοφία" }, { "ΌΣΟΣ", "όσος" },
        { "МОСКВА Ёж", "москва ёж" }, { "ŁÓDŹ", "łódź" }, { "ǅ", "ǆ" } };
    for (Pair const& p : same) {
        auto a = Adopt(Make(p.a));
        auto b = Adopt(Make(p.b));
        EXPECT_EQ(CFStringCompare(a.get(), b.get(), kCFCompareCaseInsensitive), kCFCompareEqualTo) << p.a;
        EXPECT_NE(CFStringCompare(a.get(), b.get(), 0), kCFCompareEqualTo) << p.a;
    }
    EXPECT_EQ(CFStringCompare(CFSTR("abc"), CFSTR("abd"), 0), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("abc"), CFSTR("ab"), 0), kCFCompareGreaterThan);
    EXPECT_EQ(CFStringCompare(CFSTR(""), CFSTR("a"), 0), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("B"), CFSTR("a"), kCFCompareCaseInsensitive), kCFCompareGreaterThan);
}

TEST(CFString, NumericComparisonOrdersDigitRunsByValue)
{
    EXPECT_EQ(CFStringCompare(CFSTR("track9"), CFSTR("track10"), kCFCompareNumerically), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("track9"), CFSTR("track10"), 0), kCFCompareGreaterThan);
    EXPECT_EQ(CFStringCompare(CFSTR("a007b"), CFSTR("a7b"), kCFCompareNumerically), kCFCompareEqualTo);
    EXPECT_EQ(CFStringCompare(CFSTR("v2.10"), CFSTR("V2.9"), kCFCompareNumerically | kCFCompareCaseInsensitive),
        kCFCompareGreaterThan);
    EXPECT_EQ(CFStringCompareWithOptions(CFSTR("xxabc"), CFSTR("ABC"), CFRangeMake(2, 3), kCFCompareCaseInsensitive),
        kCFCompareEqualTo);
}

TEST(CFString, FindHonoursCaseDirectionAndAnchor)
{
    CFStringRef text = CFSTR("Route to Ärnhem, then route back");
    CFRange r = CFStringFind(text, CFSTR("ROUTE"), kCFCompareCaseInsensitive);
    EXPECT_EQ(r.location, 0);
    EXPECT_EQ(r.length, 5);
    r = CFStringFind(text, CFSTR("route"), kCFCompareCaseInsensitive | kCFCompareBackwards);
    EXPECT_EQ(r.location, 22);
    EXPECT_EQ(CFStringFind(text, CFSTR("route"), 0).location, 22);
    EXPECT_EQ(CFStringFind(text, CFSTR("ärnhem"), kCFCompareCaseInsensitive).location, 9);
    EXPECT_EQ(CFStringFind(text, CFSTR("to"), kCFCompareAnchored).location, kCFNotFound);
    EXPECT_EQ(CFStringFind(text, CFSTR("back"), kCFCompareAnchored | kCFCompareBackwards).location, 28);
    EXPECT_EQ(CFStringFind(text, CFSTR(""), 0).location, kCFNotFound);
    EXPECT_EQ(CFStringFind(text, CFSTR("absent"), 0).location, kCFNotFound);
    CFRange found;
    EXPECT_FALSE(CFStringFindWithOptions(text, CFSTR("Route"), CFRangeMake(1, 20), 0, &found));
    EXPECT_FALSE(CFStringFindWithOptions(text, CFSTR("Route"), CFRangeMake(30, 20), 0, &found)); // bad range
    EXPECT_TRUE(CFStringHasPrefix(text, CFSTR("Route")));
    EXPECT_TRUE(CFStringHasSuffix(text, CFSTR("back")));
    EXPECT_FALSE(CFStringHasSuffix(CFSTR("ck"), CFSTR("back")));
}

TEST(CFString, FindAndReplaceEveryOccurrenceIgnoringCase)
{
    auto s = Adopt(CFStringCreateMutableCopy(nullptr, 0, CFSTR("Waypoint WAYPOINT waypoints way")));
    CFIndex const n = CFStringFindAndReplace(
        s.get(), CFSTR("waypoint"), CFSTR("WP"), CFRangeMake(0, CFStringGetLength(s.get())), kCFCompareCaseInsensitive);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(tw::cf::ToUTF8(s.get()), "WP WP WPs way");
    // Replacement text that contains the pattern is not searched again.
    auto t = Adopt(CFStringCreateMutableCopy(nullptr, 0, CFSTR("aXa")));
    EXPECT_EQ(CFStringFindAndReplace(t.get(), CFSTR("a"), CFSTR("aa"), CFRangeMake(0, 3), 0), 2);
    EXPECT_EQ(tw::cf::ToUTF8(t.get()), "aaXaa");
    // Only inside the range.
    EXPECT_EQ(CFStringFindAndReplace(t.get(), CFSTR("a"), CFSTR("b"), CFRangeMake(0, 2), 0), 2);
    EXPECT_EQ(tw::cf::ToUTF8(t.get()), "bbXaa");
    // Immutable strings are left alone.
    CFStringRef fixed = CFSTR("abc");
    EXPECT_EQ(
        CFStringFindAndReplace(const_cast<CFMutableStringRef>(fixed), CFSTR("a"), CFSTR("b"), CFRangeMake(0, 3), 0), 0);
    EXPECT_EQ(tw::cf::ToUTF8(fixed), "abc");
}

TEST(CFString, MutableEditing)
{
    auto s = Adopt(CFStringCreateMutable(nullptr, 0));
    CFStringAppend(s.get(), CFSTR("  Straße"));
    CFStringAppendCString(s.get(), "ÿ \t\n", kCFStringEncodingUTF8);
    CFStringInsert(s.get(), 2, CFSTR("Hohe "));
    EXPECT_EQ(tw::cf::ToUTF8(s.get()), "  Hohe Straßeÿ \t\n");
    CFStringTrimWhitespace(s.get());
    EXPECT_EQ(tw::cf::ToUTF8(s.get()), "Hohe Straßeÿ");
    CFStringUppercase(s.get(), nullptr);
    EXPECT_EQ(tw::cf::ToUTF8(s.get()), "HOHE STRAßEŸ");
    CFStringLowercase(s.get(), nullptr);
    EXPECT_EQ(tw::cf::ToUTF8(s.get()), "hohe straßeÿ");
    CFStringDelete(s.get(), CFRangeMake(0, 5));
    CFStringReplace(s.get(), CFRangeMake(0, 1), CFSTR("S"));
    EXPECT_EQ(tw::cf::ToUTF8(s.get()), "Straßeÿ");
    CFStringDelete(s.get(), CFRangeMake(5, 10)); // out of range: ignored
    EXPECT_EQ(CFStringGetLength(s.get()), 7);
    UniChar const more[] = { u'!', u'?' };
    CFStringAppendCharacters(s.get(), more, 2);
    CFStringReplaceAll(s.get(), nullptr);
    EXPECT_EQ(CFStringGetLength(s.get()), 0);

    auto copy = Adopt(CFStringCreateCopy(nullptr, s.get()));
    CFStringAppend(s.get(), CFSTR("x"));
    EXPECT_EQ(CFStringGetLength(copy.get()), 0); // a copy of a mutable string is independent
    EXPECT_EQ(CFGetTypeID(copy.get()), CFStringGetTypeID());
}

TEST(CFString, NumbersFromText)
{
    struct Case {
        char const* text;
        SInt32 value;
    };
    Case const ints[]
        = { { "  -42abc", -42 }, { "+17", 17 }, { "abc", 0 }, { "", 0 }, { "\t12 3", 12 }, { "99999999999", INT_MAX },
              { "-99999999999", INT_MIN }, { "2147483647", INT_MAX }, { "-2147483648", INT_MIN }, { "007", 7 } };
    for (Case const& c : ints) {
        auto s = Adopt(Make(c.text));
        EXPECT_EQ(CFStringGetIntValue(s.get()), c.value) << c.text;
    }
    EXPECT_DOUBLE_EQ(CFStringGetDoubleValue(CFSTR("  3.5e2 m")), 350.0);
    EXPECT_DOUBLE_EQ(CFStringGetDoubleValue(CFSTR("-0.25")), -0.25);
    EXPECT_DOUBLE_EQ(CFStringGetDoubleValue(CFSTR("+1.5")), 1.5);
    EXPECT_DOUBLE_EQ(CFStringGetDoubleValue(CFSTR("x1")), 0.0);
    EXPECT_EQ(CFStringGetIntValue(nullptr), 0);
}

TEST(CFString, SplitAndJoin)
{
    auto parts = Adopt(CFStringCreateArrayBySeparatingStrings(nullptr, CFSTR("a, b,, c"), CFSTR(", ")));
    ASSERT_EQ(CFArrayGetCount(parts.get()), 3);
    EXPECT_TRUE(CFEqual(static_cast<CFTypeRef>(CFArrayGetValueAtIndex(parts.get(), 1)), CFSTR("b,")));
    auto joined = Adopt(CFStringCreateByCombiningStrings(nullptr, parts.get(), CFSTR("|")));
    EXPECT_EQ(tw::cf::ToUTF8(joined.get()), "a|b,|c");
    auto single = Adopt(CFStringCreateArrayBySeparatingStrings(nullptr, CFSTR("abc"), CFSTR(";")));
    EXPECT_EQ(CFArrayGetCount(single.get()), 1);
}

TEST(CFString, SubstringsAndCharacters)
{
    auto sub = Adopt(CFStringCreateWithSubstring(nullptr, CFSTR("Tarn lake"), CFRangeMake(5, 4)));
    EXPECT_EQ(tw::cf::ToUTF8(sub.get()), "lake");
    EXPECT_EQ(CFStringCreateWithSubstring(nullptr, CFSTR("abc"), CFRangeMake(2, 5)), nullptr);
    UniChar units[3] = {};
    CFStringGetCharacters(CFSTR("xyz"), CFRangeMake(1, 2), units);
    EXPECT_EQ(units[0], u'y');
    EXPECT_EQ(units[1], u'z');
    EXPECT_EQ(CFStringGetCharacterAtIndex(CFSTR("xyz"), 3), 0);
    auto fromUnits = Adopt(CFStringCreateWithCharacters(nullptr, units, 2));
    EXPECT_TRUE(CFEqual(fromUnits.get(), CFSTR("yz")));
}
