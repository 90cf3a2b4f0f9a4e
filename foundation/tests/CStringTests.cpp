#include "foundation/CString.h"
#include "foundation/CTextUtilities.h"
#include "foundation/StCFRef.h"

#include <gtest/gtest.h>

TEST(CString, FindReplaceAndContainsIgnoreCaseButCompareDoesNot)
{
    CString text("Hello World");
    EXPECT_EQ(text.Find("WORLD"), 6);
    EXPECT_EQ(text.Find("o", 5), 7);
    EXPECT_EQ(text.Find("xyz"), -1);
    EXPECT_EQ(text.Find("o", 99), -1);
    EXPECT_TRUE(text.Contains("hello"));
    EXPECT_FALSE(text.Contains("hello", true));
    EXPECT_TRUE(text.Contains(""));

    EXPECT_NE(text, CString("hello world"));
    EXPECT_TRUE(text.EqualNoCase("hello world"));
    EXPECT_EQ(text.CompareNoCase("HELLO WORLD"), 0);
    EXPECT_EQ(CString("B").Compare("a"), -1); // code units: upper case sorts first
    EXPECT_EQ(CString("a").Compare("B"), 1);
    EXPECT_EQ(CString("abc").Compare("abc"), 0);
}

TEST(CString, EmptySortsBeforeAnyText)
{
    EXPECT_EQ(CString().Compare(" "), -1);
    EXPECT_EQ(CString("\x01").Compare(CString()), 1);
    EXPECT_EQ(CString().Compare(CString("")), 0);
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_EQ(CString().GetLength(), 0u);
    EXPECT_STREQ(CString().GetUTF8(), "");
    EXPECT_NE(CString().GetCFString(), nullptr);
}

TEST(CString, ReplaceChangesFirstOccurrenceAndReplaceAllEveryOneIgnoringCase)
{
    CString one("a-A-a");
    one.Replace("A", "bb");
    EXPECT_STREQ(one.GetUTF8(), "bb-A-a");

    CString all("a-A-a");
    all.ReplaceAll("A", "bb");
    EXPECT_STREQ(all.GetUTF8(), "bb-bb-bb");

    CString self("xy");
    self.ReplaceAll(self, "z"); // the pattern is the string itself
    EXPECT_STREQ(self.GetUTF8(), "z");

    CString none("abc");
    none.Replace("", "q");
    none.ReplaceAll("zz", "q");
    EXPECT_STREQ(none.GetUTF8(), "abc");
}

TEST(CString, SInt32ValueReadsDecimalThenHexAndGivesZeroForGarbage)
{
    EXPECT_EQ(CString("42").GetSInt32Value(), 42);
    EXPECT_EQ(CString("  -17xyz").GetSInt32Value(), -17);
    EXPECT_EQ(CString("0x1F").GetSInt32Value(), 31);
    EXPECT_EQ(CString("0xffffffff").GetSInt32Value(), -1);
    EXPECT_EQ(CString("0x").GetSInt32Value(), 0);
    EXPECT_EQ(CString("0x123456789").GetSInt32Value(), 0); // beyond 32 bits
    EXPECT_EQ(CString("garbage").GetSInt32Value(), 0);
    EXPECT_EQ(CString("").GetSInt32Value(), 0);
    EXPECT_EQ(CString("0").GetSInt32Value(), 0);

    EXPECT_EQ(CString("4000000000").GetUInt32Value(), 4000000000u);
    EXPECT_EQ(CString("99999999999").GetUInt32Value(), UINT32_MAX);
    EXPECT_EQ(CString("-5").GetUInt32Value(), 0u);
    EXPECT_EQ(CString("x").GetUInt32Value(), 0u);
    CString value;
    value.SetUInt32Value(4294967295u);
    EXPECT_STREQ(value.GetUTF8(), "4294967295");
}

TEST(CString, CopiesAndHandedOutStringsNeverChangeBehindTheirHolder)
{
    CString original("keep");
    CString copy(original);
    copy += CString("!");
    EXPECT_STREQ(original.GetUTF8(), "keep");
    EXPECT_STREQ(copy.GetUTF8(), "keep!");

    // A holder that retained the CFString keeps the old text when the CString changes.
    CString text("before");
    text.MakeLower(); // now a mutable string of its own
    CFStringRef held = static_cast<CFStringRef>(CFRetain(text.GetCFString()));
    text.ReplaceAll("before", "after");
    EXPECT_EQ(tw::cf::ToUTF8(held), "before");
    EXPECT_STREQ(text.GetUTF8(), "after");
    CFRelease(held);

    CString twice("ab");
    twice += twice;
    EXPECT_STREQ(twice.GetUTF8(), "abab");
}

TEST(CString, EditingHelpers)
{
    CString text("Path///");
    text.TrimRight("/");
    EXPECT_STREQ(text.GetUTF8(), "Path");
    EXPECT_STREQ(CString("abcdef").Left(2).GetUTF8(), "ab");
    EXPECT_STREQ(CString("abcdef").Right(2).GetUTF8(), "ef");
    EXPECT_STREQ(CString("abc").Left(10).GetUTF8(), "abc");
    EXPECT_STREQ(CString("ÄBC").GetLower().GetUTF8(), "äbc");

    CString formatted;
    formatted.Format("%s=%d %@", "n", 5, CFSTR("cf"));
    EXPECT_STREQ(formatted.GetUTF8(), "n=5 cf");
    EXPECT_STREQ((CString("a") + CString("b")).GetUTF8(), "ab");
}

TEST(CString, EncodingsAndInvalidBytes)
{
    CString latin("caf\xE9", kCFStringEncodingISOLatin1);
    EXPECT_STREQ(latin.GetUTF8(), "café");
    EXPECT_STREQ(latin.GetNarrow(kCFStringEncodingISOLatin1), "caf\xE9");
    EXPECT_STREQ(CString("日本").GetNarrow(kCFStringEncodingASCII), "??");

    // Invalid UTF-8 is kept as Latin-1 rather than dropped.
    CString broken("a\xFF");
    EXPECT_EQ(broken.GetLength(), 2u);

    UniChar const units[] = { u'h', u'i', 0 };
    EXPECT_STREQ(CString(units).GetUTF8(), "hi");
    EXPECT_EQ(CString("hé").GetUTF16()[1], u'é');
}

TEST(CTextUtilities, FourCharacterCodes)
{
    EXPECT_EQ(CTextUtilities::GetOSTypeFromString("wayp"), OSType('wayp'));
    EXPECT_EQ(CTextUtilities::GetOSTypeFromString("ok"), OSType('ok  ')); // padded with spaces
    EXPECT_EQ(CTextUtilities::GetOSTypeFromString("toolong"), OSType('tool'));
    EXPECT_STREQ(CTextUtilities::GetStringFromOSType('TWck').GetUTF8(), "TWck");
}

TEST(CTextUtilities, Str255NeverSplitsACharacter)
{
    std::string text(254, 'a');
    text += "é"; // bytes 255 and 256
    Str255 out;
    CTextUtilities::CopyStringToStr255(CString(text.c_str()), out, kCFStringEncodingUTF8);
    EXPECT_EQ(out[0], 254);

    CTextUtilities::CopyStringToStr255(CString("short"), out, kCFStringEncodingUTF8);
    EXPECT_EQ(out[0], 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out + 1), 5), "short");
}

TEST(CTextUtilities, BundleStringsAndArrays)
{
    EXPECT_STREQ(CTextUtilities::GetBundleString("ObjectUntitled").GetUTF8(), "Untitled");
    EXPECT_STREQ(CTextUtilities::GetBundleString("NoSuchKey").GetUTF8(), "NoSuchKey");

    CStringList list;
    list.Append("one");
    list.Append("two");
    StCFRef<CFArrayRef> array(CTextUtilities::GetCFArrayFromCStringList(list));
    ASSERT_EQ(CFArrayGetCount(array), 2);
    EXPECT_EQ(tw::cf::ToUTF8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(array, 1))), "two");
    EXPECT_TRUE(list.GetAt(5).IsEmpty());
}

TEST(CTextUtilities, ClipboardTextRoundTrip)
{
    tw::services::ResetScrapForTesting();
    EXPECT_TRUE(CTextUtilities::GetClipboardText().IsEmpty());
    ASSERT_EQ(CTextUtilities::SetClipboardText("Grüße 51.5,-0.1"), noErr);
    EXPECT_STREQ(CTextUtilities::GetClipboardText().GetUTF8(), "Grüße 51.5,-0.1");

    // Text another program put as Unicode only still reads.
    ClearCurrentScrap();
    ScrapRef scrap = nullptr;
    GetCurrentScrap(&scrap);
    std::u16string units = u"utx";
    PutScrapFlavor(scrap, kScrapFlavorTypeUnicode, 0, Size(units.size() * 2), units.data());
    EXPECT_STREQ(CTextUtilities::GetClipboardText().GetUTF8(), "utx");
}

TEST(CTextUtilities, FormatConversionsAreReadAsPrintfReadsThem)
{
    using Conversions = std::vector<CTextUtilities::FormatConversion>;
    auto letters = [](Conversions const& conversions) {
        std::string all;
        for (auto const& c : conversions)
            all += std::to_string(c.argument) + (c.numbered ? "$" : "") + c.letters + " ";
        return all;
    };
    EXPECT_EQ(letters(CTextUtilities::GetFormatConversions("lat=%.6lf&lon=%-8.3f&zoom=%ld 100%%")), "1lf 2f 3ld ");
    EXPECT_EQ(letters(CTextUtilities::GetFormatConversions("%2$s then %1$g")), "2$s 1$g ");
    // Too many digits to be an argument number: they read as a width, and "$" is no conversion.
    EXPECT_EQ(letters(CTextUtilities::GetFormatConversions("%12345$f")), "1 ");
    EXPECT_EQ(letters(CTextUtilities::GetFormatConversions("ends in %")), "1 ");
    EXPECT_TRUE(CTextUtilities::GetFormatConversions("no conversions, 5%% only").empty());
}
