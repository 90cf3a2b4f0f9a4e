#include "PlistTestSupport.h"
#include "corefoundation/CFURL.h"
#include "corefoundation/PropertyListWriter.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <string_view>
#include <vector>

using namespace tw::test;

namespace {

std::string Plist(std::string const& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + body + "\n</plist>\n";
}

Owned<CFStringRef> Text(char16_t const* text) { return Owned<CFStringRef>(new tw::cf::String(text)); }

Owned<CFNumberRef> Real(double value)
{
    return Owned<CFNumberRef>(CFNumberCreate(nullptr, kCFNumberFloat64Type, &value));
}

} // namespace

TEST(PropertyListReader, ReadsEveryTypeWithEntitiesCDATAAndWhitespace)
{
    std::string error;
    auto const plist = ParsePlist(Plist(R"(<dict>
    <key>string</key><string>a &amp; b &lt;c&gt; &#233;&#x1F30D; <![CDATA[<raw & text>]]></string>
    <key>spaces</key><string>  </string>
    <key>empty</key><string/>
    <key>integers</key><array><integer>42</integer><integer> -7 </integer><integer>+5</integer></array>
    <key>reals</key><array><real>0.5</real><real>-1e-3</real><real>+infinity</real><real>-inf</real></array>
    <key>flags</key><array><true/><false/></array>
    <key>date</key><date>2000-02-29T12:00:00Z</date>
    <key>data</key><data>
        AAEC
        /w==
    </data>
    <key>nothing</key><data></data>
    <key>containers</key><array><dict/><array/></array>
    <!-- a comment between entries -->
</dict>)"),
        &error);
    ASSERT_TRUE(plist) << error;
    EXPECT_EQ(Canonical(plist.get()),
        R"({"containers":[{},[]],"data":x000102ff,"date":t-26481600,"empty":"","flags":[true,false],)"
        R"("integers":[i42,i-7,i5],"nothing":x,)"
        R"("reals":[r3fe0000000000000,rbf50624dd2f1a9fc,r7ff0000000000000,rfff0000000000000],)"
        R"("spaces":"  ","string":"a & b <c> \u00e9\ud83c\udf0d <raw & text>"})");
}

TEST(PropertyListReader, GivesIntegersAsSInt64AndRealsAsFloat64)
{
    auto const plist = ParsePlist(Plist("<array><integer>1</integer><real>1</real></array>"));
    ASSERT_TRUE(plist);
    auto const* array = static_cast<CFArrayRef>(plist.get());
    EXPECT_EQ(CFNumberGetType(static_cast<CFNumberRef>(CFArrayGetValueAtIndex(array, 0))), kCFNumberSInt64Type);
    EXPECT_EQ(CFNumberGetType(static_cast<CFNumberRef>(CFArrayGetValueAtIndex(array, 1))), kCFNumberFloat64Type);
}

// Numbers that repeat are read as themselves: an integer and a real of the same bits, and
// zero and minus zero, each keep their own type and sign.
TEST(PropertyListReader, RepeatedNumbersKeepTheirTypeAndSign)
{
    auto const plist = ParsePlist(Plist("<array><real>0</real><integer>0</integer><real>-0</real><real>0.0</real>"
                                        "<integer>0</integer><real>-0.0</real><real>1.5</real><real>1.5</real></array>"));
    ASSERT_TRUE(plist);
    auto const* array = static_cast<CFArrayRef>(plist.get());
    ASSERT_EQ(CFArrayGetCount(array), 8);
    for (CFIndex i = 0; i < 6; ++i) {
        auto const* number = static_cast<CFNumberRef>(CFArrayGetValueAtIndex(array, i));
        bool const integer = i % 3 == 1;
        EXPECT_EQ(CFNumberGetType(number), integer ? kCFNumberSInt64Type : kCFNumberFloat64Type) << i;
        double value = 1;
        ASSERT_TRUE(CFNumberGetValue(number, kCFNumberFloat64Type, &value));
        EXPECT_EQ(value, 0.0) << i;
        EXPECT_EQ(std::signbit(value), i % 3 == 2) << i;
    }
    double last = 0;
    ASSERT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(CFArrayGetValueAtIndex(array, 7)), kCFNumberFloat64Type, &last));
    EXPECT_EQ(last, 1.5);
}

TEST(PropertyListReader, HonoursMutabilityOptions)
{
    std::string const xml = Plist("<dict><key>a</key><array><string>s</string><data>AA==</data></array></dict>");
    struct Case {
        CFOptionFlags option;
        bool containers;
        bool leaves;
    };
    for (Case const c :
        { Case { kCFPropertyListImmutable, false, false }, Case { kCFPropertyListMutableContainers, true, false },
            Case { kCFPropertyListMutableContainersAndLeaves, true, true } }) {
        auto const plist = ParsePlist(xml, nullptr, c.option);
        ASSERT_TRUE(plist);
        auto const* dictionary = static_cast<CFDictionaryRef>(plist.get());
        auto const* array = static_cast<CFArrayRef>(CFDictionaryGetValue(dictionary, CFSTR("a")));
        EXPECT_EQ(dictionary->isMutable, c.containers) << c.option;
        EXPECT_EQ(array->isMutable, c.containers) << c.option;
        EXPECT_EQ(static_cast<CFStringRef>(CFArrayGetValueAtIndex(array, 0))->IsMutable(), c.leaves) << c.option;
        EXPECT_EQ(static_cast<CFDataRef>(CFArrayGetValueAtIndex(array, 1))->isMutable, c.leaves) << c.option;
    }
}

// Values that repeat, or repeat a key, read as their own texts whether short or long; read
// to be changed, each is its own string.
TEST(PropertyListReader, RepeatedTextsReadAsTheirOwnValues)
{
    std::string const longText(60, 'x');
    std::vector<std::string> const texts = { "flag", "flag", "", "", "caf\u00e9", "caf\u00e9", longText, longText };
    std::string xml = "<dict><key>flag</key><array>";
    for (std::string const& text : texts)
        xml += "<string>" + text + "</string>";
    xml += "</array></dict>";
    for (CFOptionFlags const option : { kCFPropertyListImmutable, kCFPropertyListMutableContainersAndLeaves }) {
        auto const plist = ParsePlist(Plist(xml), nullptr, option);
        ASSERT_TRUE(plist);
        auto const* array
            = static_cast<CFArrayRef>(CFDictionaryGetValue(static_cast<CFDictionaryRef>(plist.get()), CFSTR("flag")));
        ASSERT_EQ(CFArrayGetCount(array), CFIndex(texts.size()));
        for (std::size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(tw::cf::ToUTF8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(array, CFIndex(i)))), texts[i]);
        if (option != kCFPropertyListMutableContainersAndLeaves)
            continue;
        for (std::size_t i = 0; i < texts.size(); i += 2)
            CFStringAppendCString(const_cast<CFMutableStringRef>(static_cast<CFStringRef>(CFArrayGetValueAtIndex(array, CFIndex(i)))), "!",
                kCFStringEncodingUTF8);
        for (std::size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(tw::cf::ToUTF8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(array, CFIndex(i)))),
                texts[i] + (i % 2 ? "" : "!"))
                << i;
    }
}

TEST(PropertyListReader, ReadsUTF16WithByteOrderMarkAndIgnoresHarmlessDoctype)
{
    std::u16string const text
        = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
          u"<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://example.com/x.dtd\">\n"
          u"<plist><string>Gr\u00fc\u00dfe</string></plist>";
    std::string bytes = "\xFF\xFE";
    for (char16_t const unit : text) {
        bytes += char(unit & 0xFF);
        bytes += char(unit >> 8);
    }
    auto const plist = ParsePlist(bytes);
    ASSERT_TRUE(plist);
    EXPECT_EQ(Canonical(plist.get()), R"("Gr\u00fc\u00dfe")");
}

TEST(PropertyListReader, ReadsNestingUpToTheLimitAndNoDeeper)
{
    auto nested = [](int depth) {
        std::string xml;
        for (int i = 0; i < depth; ++i)
            xml += "<array>";
        for (int i = 0; i < depth; ++i)
            xml += "</array>";
        return Plist(xml);
    };
    std::string error;
    EXPECT_TRUE(ParsePlist(nested(512), &error)) << error;
    EXPECT_FALSE(ParsePlist(nested(513), &error));
    EXPECT_NE(error.find("nesting deeper than 512"), std::string::npos) << error;
}

TEST(PropertyListWriter, WritesHeaderTabsSortedKeysAndEveryType)
{
    auto const plist = ParsePlist(Plist(R"(<dict>
        <key>zeta</key><array><integer>-3</integer><real>0.25</real><true/><false/></array>
        <key>alpha</key><dict><key>when</key><date>2001-01-01T00:00:01Z</date><key>bytes</key><data>AAEC</data></dict>
        <key>empty</key><array/>
        <key>mid</key><string>x</string></dict>)"));
    ASSERT_TRUE(plist);
    EXPECT_EQ(ToXML(plist.get()),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n"
        "<dict>\n"
        "\t<key>alpha</key>\n"
        "\t<dict>\n"
        "\t\t<key>bytes</key>\n"
        "\t\t<data>\n"
        "\t\tAAEC\n"
        "\t\t</data>\n"
        "\t\t<key>when</key>\n"
        "\t\t<date>2001-01-01T00:00:01Z</date>\n"
        "\t</dict>\n"
        "\t<key>empty</key>\n"
        "\t<array/>\n"
        "\t<key>mid</key>\n"
        "\t<string>x</string>\n"
        "\t<key>zeta</key>\n"
        "\t<array>\n"
        "\t\t<integer>-3</integer>\n"
        "\t\t<real>0.25</real>\n"
        "\t\t<true/>\n"
        "\t\t<false/>\n"
        "\t</array>\n"
        "</dict>\n"
        "</plist>\n");
}

TEST(PropertyListWriter, TextWithMarkupAndLineEndingsReadsBackUnchanged)
{
    auto const text = Text(u"a<b>&c ]]> \"q\" 'p'\r\nline\ttab \u00e9\U0001F30D");
    auto const back = ParsePlist(ToXML(text.get()));
    ASSERT_TRUE(back);
    EXPECT_TRUE(CFEqual(back.get(), text.get())) << Canonical(back.get());
}

TEST(PropertyListWriter, RefusesWhatNoReaderCouldLoad)
{
    Owned<CFURLRef> const url(CFURLCreateWithString(nullptr, CFSTR("https://example.com/"), nullptr));
    double const year10000 = 252423993600.0;
    Owned<CFDateRef> const farDate(CFDateCreate(nullptr, year10000));
    Owned<CFMutableDictionaryRef> const numberKey(
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    CFDictionarySetValue(numberKey.get(), Real(1).get(), CFSTR("v"));
    void const* inArray[] = { CFSTR("fine"), url.get() };
    Owned<CFArrayRef> const urlInArray(CFArrayCreate(nullptr, inArray, 2, &kCFTypeArrayCallBacks));

    EXPECT_EQ(ToXML(url.get()), "(refused)");
    EXPECT_EQ(ToXML(urlInArray.get()), "(refused)");
    EXPECT_EQ(ToXML(numberKey.get()), "(refused)");
    EXPECT_EQ(ToXML(farDate.get()), "(refused)");
    EXPECT_EQ(ToXML(nullptr), "(refused)");
}

// Whatever a text holds can be written: what XML 1.0 cannot carry becomes U+FFFD, which reads back.
TEST(PropertyListWriter, CharactersXMLCannotCarryAreWrittenAsReplacements)
{
    char16_t const lone[] = { u'a', char16_t(0xD800), u'b', 0 };
    EXPECT_NE(ToXML(Text(u"bell\u0007").get()).find("<string>bell\uFFFD</string>"), std::string::npos);
    EXPECT_NE(ToXML(Text(lone).get()).find("<string>a\uFFFDb</string>"), std::string::npos);
    EXPECT_NE(ToXML(Text(u"\uFFFF\t\n").get()).find("<string>\uFFFD\t\n</string>"), std::string::npos);
    std::string const xml = ToXML(Text(u"\u0001x").get());
    Owned<CFDataRef> const data(CFDataCreate(nullptr, reinterpret_cast<UInt8 const*>(xml.data()), CFIndex(xml.size())));
    Owned<CFPropertyListRef> const back(CFPropertyListCreateFromXMLData(nullptr, data.get(), 0, nullptr));
    ASSERT_TRUE(back);
    EXPECT_EQ(CanonicalText(static_cast<tw::cf::String const*>(back.get())->Text()), "\"\\ufffdx\"");
}

TEST(PropertyListWriter, RefusesACycleInsteadOfRecursingForever)
{
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    CFArrayAppendValue(array, array);
    EXPECT_EQ(ToXML(array), "(refused)");
    EXPECT_FALSE(CFPropertyListIsValid(array, kCFPropertyListXMLFormat_v1_0));
    EXPECT_EQ(CFPropertyListCreateDeepCopy(nullptr, array, kCFPropertyListImmutable), nullptr);
    CFArrayRemoveAllValues(array);
    CFRelease(array);
}

TEST(PropertyListWriter, NumbersReadBackBitForBit)
{
    double const reals[] = { 0.1, 1.0 / 3, -0.0, 1e-310, 5e-324, DBL_MAX, -DBL_MIN, 123456789.125, 1e22,
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity() };
    CFMutableArrayRef values = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    for (double const r : reals)
        CFArrayAppendValue(values, Real(r).get());
    for (SInt64 i : { std::numeric_limits<SInt64>::min(), std::numeric_limits<SInt64>::max(), SInt64(0) }) {
        Owned<CFNumberRef> const n(CFNumberCreate(nullptr, kCFNumberSInt64Type, &i));
        CFArrayAppendValue(values, n.get());
    }
    Owned<CFArrayRef> const owned(values);
    auto const back = ParsePlist(ToXML(values));
    ASSERT_TRUE(back);
    EXPECT_EQ(Canonical(back.get()), Canonical(values));

    auto const nan = ParsePlist(ToXML(Real(std::nan("")).get()));
    ASSERT_TRUE(nan);
    EXPECT_TRUE(std::isnan(static_cast<CFNumberRef>(nan.get())->real));
}

TEST(PropertyListWriter, DatesCoverTheCalendarAndDropFractions)
{
    struct Case {
        double time;
        char const* text;
    };
    for (Case const c : { Case { 0, "2001-01-01T00:00:00Z" }, Case { -1, "2000-12-31T23:59:59Z" },
             Case { 0.999, "2001-01-01T00:00:00Z" }, Case { -0.5, "2000-12-31T23:59:59Z" },
             Case { -26481600, "2000-02-29T12:00:00Z" }, Case { -12649219200.0, "1600-03-01T00:00:00Z" },
             Case { -63113904000.0, "0001-01-01T00:00:00Z" }, Case { 252423993599.0, "9999-12-31T23:59:59Z" },
             Case { 757382399, "2024-12-31T23:59:59Z" } }) {
        Owned<CFDateRef> const date(CFDateCreate(nullptr, c.time));
        std::string const xml = ToXML(date.get());
        EXPECT_NE(xml.find(std::string("<date>") + c.text + "</date>"), std::string::npos) << c.time << "\n" << xml;
        auto const back = ParsePlist(xml);
        ASSERT_TRUE(back) << c.text;
        EXPECT_EQ(CFDateGetAbsoluteTime(static_cast<CFDateRef>(back.get())), std::floor(c.time)) << c.text;
    }
}

TEST(PropertyListDeepCopy, CopiesWithTheAskedMutabilityAndRefusesForeignObjects)
{
    auto const plist = ParsePlist(Plist("<dict><key>a</key><array><string>s</string></array></dict>"));
    ASSERT_TRUE(plist);
    Owned<CFPropertyListRef> const copy(
        CFPropertyListCreateDeepCopy(nullptr, plist.get(), kCFPropertyListMutableContainersAndLeaves));
    ASSERT_TRUE(copy);
    EXPECT_TRUE(CFEqual(copy.get(), plist.get()));
    auto* array = const_cast<CFMutableArrayRef>(
        static_cast<CFArrayRef>(CFDictionaryGetValue(static_cast<CFDictionaryRef>(copy.get()), CFSTR("a"))));
    ASSERT_TRUE(array->isMutable);
    CFArrayAppendValue(array, CFSTR("more"));
    EXPECT_FALSE(CFEqual(copy.get(), plist.get()));

    Owned<CFURLRef> const url(CFURLCreateWithString(nullptr, CFSTR("file:///tmp/x"), nullptr));
    void const* items[] = { url.get() };
    Owned<CFArrayRef> const foreign(CFArrayCreate(nullptr, items, 1, &kCFTypeArrayCallBacks));
    EXPECT_EQ(CFPropertyListCreateDeepCopy(nullptr, foreign.get(), kCFPropertyListImmutable), nullptr);
    EXPECT_FALSE(CFPropertyListIsValid(foreign.get(), kCFPropertyListXMLFormat_v1_0));
    EXPECT_TRUE(CFPropertyListIsValid(plist.get(), kCFPropertyListXMLFormat_v1_0));
    EXPECT_FALSE(CFPropertyListIsValid(Real(1).get(), kCFPropertyListOpenStepFormat));
}

// A large list is handed out in pieces of about kPieceSize, which together are the text
// written whole; a sink that refuses a piece stops the writing.
TEST(PropertyListWriter, WritesALargeListInPiecesThatReadBackWhole)
{
    std::string large(3 * tw::cf::PropertyListWriter::kPieceSize, 'x');
    for (std::size_t i = 0; i < large.size(); i += 1000)
        large.replace(i, 4, i % 3000 ? "&<>\r" : "\n\t\"'");
    auto const plist = ParsePlist(Plist("<dict><key>große</key><array><string>"
        + std::string("&amp;&lt;&gt;&#13;") + "</string><string>" + std::string(100, 'y')
        + "</string></array></dict>"));
    ASSERT_TRUE(plist);
    Owned<CFMutableDictionaryRef> const dictionary(const_cast<CFMutableDictionaryRef>(static_cast<CFDictionaryRef>(
        CFPropertyListCreateDeepCopy(nullptr, plist.get(), kCFPropertyListMutableContainers))));
    Owned<CFStringRef> const text(tw::cf::CreateString(large));
    CFDictionarySetValue(dictionary.get(), CFSTR("large"), text.get());

    std::vector<std::string> pieces;
    std::string error;
    ASSERT_TRUE(tw::cf::WritePropertyListXML(
        dictionary.get(),
        [&pieces](std::string_view piece) {
            pieces.emplace_back(piece);
            return true;
        },
        &error))
        << error;
    EXPECT_GE(pieces.size(), 3u);
    std::string joined;
    for (std::string const& piece : pieces) {
        EXPECT_LE(piece.size(), tw::cf::PropertyListWriter::kPieceSize * 3 / 2);
        joined += piece;
    }
    Owned<CFDataRef> const whole(CFPropertyListCreateXMLData(nullptr, dictionary.get()));
    ASSERT_TRUE(whole);
    EXPECT_EQ(joined, std::string(reinterpret_cast<char const*>(CFDataGetBytePtr(whole.get())),
                          std::size_t(CFDataGetLength(whole.get()))));
    Owned<CFPropertyListRef> const read(
        tw::cf::CreatePropertyListFromXMLText(joined, kCFPropertyListImmutable, &error));
    ASSERT_TRUE(read) << error;
    EXPECT_TRUE(CFEqual(read.get(), dictionary.get()));

    int offered = 0;
    EXPECT_FALSE(tw::cf::WritePropertyListXML(
        dictionary.get(), [&offered](std::string_view) { return ++offered < 2; }, &error));
    EXPECT_EQ(offered, 2) << "nothing more is offered once a piece is refused";
    EXPECT_FALSE(error.empty());
}

// Text of 7-bit characters read from a file is kept as its bytes: it must be the same
// string, to the dictionaries and to every caller, as the same text held as UTF-16.
TEST(PropertyListReader, TextKeptAsBytesIsTheSameStringAsItsWideForm)
{
    auto const plist = ParsePlist(Plist(
        "<dict><key>Name</key><string>Camp &amp; lake</string><key>Sjö</key><string>Åsa</string></dict>"));
    ASSERT_TRUE(plist);
    auto const* dictionary = static_cast<CFDictionaryRef>(plist.get());
    auto const* name = static_cast<CFStringRef>(CFDictionaryGetValue(dictionary, CFSTR("Name")));
    ASSERT_NE(name, nullptr) << "a key read from the file is found by a constant of the same text";
    EXPECT_NE(CFDictionaryGetValue(dictionary, CFSTR("Sjö")), nullptr);
    EXPECT_STREQ(CFStringGetCStringPtr(name, kCFStringEncodingUTF8), "Camp & lake");
    EXPECT_EQ(CFStringGetLength(name), 11);
    EXPECT_EQ(CFStringGetCharacterAtIndex(name, 5), u'&');
    Owned<CFStringRef> const wide(Text(u"Camp & lake"));
    EXPECT_TRUE(CFEqual(name, wide.get()));
    EXPECT_TRUE(CFEqual(wide.get(), name));
    EXPECT_EQ(CFHash(name), CFHash(wide.get()));
    Owned<CFStringRef> const other(Text(u"Camp & lakE"));
    EXPECT_FALSE(CFEqual(name, other.get()));
    EXPECT_EQ(CFStringCompare(name, wide.get(), 0), kCFCompareEqualTo);
    auto const* accented = static_cast<CFStringRef>(CFDictionaryGetValue(dictionary, CFSTR("Sjö")));
    EXPECT_EQ(CFStringGetCStringPtr(accented, kCFStringEncodingUTF8), nullptr) << "only 7-bit text has bytes";
    EXPECT_EQ(tw::cf::ToUTF8(accented), "Åsa");
}
