#include "PlistTestSupport.h"
#include "corefoundation/CFXMLTree.h"

#include <chrono>
#include <gtest/gtest.h>

using namespace tw::test;

namespace {

struct TreeResult {
    Owned<CFXMLTreeRef> tree;
    std::string error;
};

TreeResult Parse(std::string const& xml)
{
    CFStringRef error = nullptr;
    CFXMLTreeRef tree = CFXMLTreeCreateFromDataWithError(nullptr, MakeData(xml).get(), nullptr, 0, 0, &error);
    TreeResult result { Owned<CFXMLTreeRef>(tree), tw::cf::ToUTF8(error) };
    CFRelease(error);
    return result;
}

std::string NodeString(CFXMLTreeRef tree) { return tw::cf::ToUTF8(CFXMLNodeGetString(CFXMLTreeGetNode(tree))); }

CFXMLElementInfo const& InfoOf(CFXMLTreeRef tree)
{
    return *static_cast<CFXMLElementInfo const*>(CFXMLNodeGetInfoPtr(CFXMLTreeGetNode(tree)));
}

std::string Attribute(CFXMLTreeRef tree, char const* name)
{
    Owned<CFStringRef> const key(tw::cf::CreateString(name));
    return tw::cf::ToUTF8(static_cast<CFStringRef>(CFDictionaryGetValue(InfoOf(tree).attributes, key.get())));
}

} // namespace

TEST(XMLTree, BuildsElementsAttributesTextAndCDATA)
{
    auto const parsed = Parse(R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- a GPX-like file -->
<gpx version="1.1" creator="Fish &amp; Chips &lt;3&gt;" note='say "hi"' crlf="a&#10;b">
  <wpt lat="51.5" lon="-0.12"><name>Caf&#233; &quot;Nord&quot;</name><sym/><desc><![CDATA[<b>bold</b> & raw]]></desc></wpt>
  <wpt lat="1" lon="2"></wpt>
</gpx>)");
    ASSERT_TRUE(parsed.tree) << parsed.error;
    CFXMLTreeRef const document = parsed.tree.get();
    EXPECT_EQ(CFXMLNodeGetTypeCode(CFXMLTreeGetNode(document)), kCFXMLNodeTypeDocument);
    EXPECT_EQ(CFTreeGetParent(document), nullptr);
    ASSERT_EQ(CFTreeGetChildCount(document), 1);

    CFXMLTreeRef const gpx = CFTreeGetChildAtIndex(document, 0);
    EXPECT_EQ(CFXMLNodeGetTypeCode(gpx), kCFXMLNodeTypeElement);
    EXPECT_EQ(NodeString(gpx), "gpx");
    EXPECT_EQ(CFTreeGetParent(gpx), document);
    EXPECT_EQ(Attribute(gpx, "creator"), "Fish & Chips <3>");
    EXPECT_EQ(Attribute(gpx, "note"), "say \"hi\"");
    EXPECT_EQ(Attribute(gpx, "crlf"), "a\nb");
    CFArrayRef const order = InfoOf(gpx).attributeOrder;
    ASSERT_EQ(CFArrayGetCount(order), 4);
    EXPECT_EQ(tw::cf::ToUTF8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(order, 0))), "version");
    EXPECT_EQ(tw::cf::ToUTF8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(order, 3))), "crlf");
    ASSERT_EQ(CFTreeGetChildCount(gpx), 2) << "whitespace between elements is not a node";

    CFXMLTreeRef const wpt = CFTreeGetChildAtIndex(gpx, 0);
    EXPECT_EQ(Attribute(wpt, "lon"), "-0.12");
    ASSERT_EQ(CFTreeGetChildCount(wpt), 3);
    CFXMLTreeRef const name = CFTreeGetChildAtIndex(wpt, 0);
    ASSERT_EQ(CFTreeGetChildCount(name), 1);
    CFXMLTreeRef const nameText = CFTreeGetChildAtIndex(name, 0);
    EXPECT_EQ(CFXMLNodeGetTypeCode(nameText), kCFXMLNodeTypeText);
    EXPECT_EQ(NodeString(nameText), "Café \"Nord\"");
    EXPECT_EQ(CFXMLNodeGetInfoPtr(nameText), nullptr);
    EXPECT_TRUE(InfoOf(CFTreeGetChildAtIndex(wpt, 1)).isEmpty);
    EXPECT_FALSE(InfoOf(CFTreeGetChildAtIndex(gpx, 1)).isEmpty) << "<wpt></wpt> is not an empty tag";
    CFXMLTreeRef const cdata = CFTreeGetChildAtIndex(CFTreeGetChildAtIndex(wpt, 2), 0);
    EXPECT_EQ(CFXMLNodeGetTypeCode(cdata), kCFXMLNodeTypeCDATASection);
    EXPECT_EQ(NodeString(cdata), "<b>bold</b> & raw");
    EXPECT_EQ(CFTreeGetChildAtIndex(wpt, 3), nullptr);
    EXPECT_EQ(CFTreeGetChildAtIndex(wpt, -1), nullptr);
}

TEST(XMLTree, AChildKeptPastItsTreeLosesOnlyItsParent)
{
    auto parsed = Parse("<a><b><c/></b></a>");
    ASSERT_TRUE(parsed.tree);
    CFXMLTreeRef const b = CFTreeGetChildAtIndex(CFTreeGetChildAtIndex(parsed.tree.get(), 0), 0);
    CFRetain(b);
    parsed.tree.reset();
    EXPECT_EQ(CFTreeGetParent(b), nullptr);
    EXPECT_EQ(NodeString(CFTreeGetChildAtIndex(b, 0)), "c");
    CFRelease(b);
}

TEST(XMLTree, NestingUpToTheMaximumDepthIsReadAndNoDeeper)
{
    auto nested = [](int depth) {
        std::string xml;
        for (int i = 0; i < depth; ++i)
            xml += "<e>";
        for (int i = 0; i < depth; ++i)
            xml += "</e>";
        return xml;
    };
    EXPECT_TRUE(Parse(nested(kCFXMLMaximumDepth)).tree);
    auto const deeper = Parse(nested(kCFXMLMaximumDepth + 1));
    EXPECT_FALSE(deeper.tree);
    EXPECT_NE(deeper.error.find("deeper than 256"), std::string::npos) << deeper.error;

    auto const start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Parse(nested(100000)).tree);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(XMLTree, MalformedAndHostileTextIsRefusedWithItsLine)
{
    std::string const bomb
        = "<!DOCTYPE r [\n<!ENTITY a \"aaaaaaaaaa\">\n<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
          "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n]>\n<r>&c;&c;&c;&c;&c;&c;</r>";
    struct Case {
        std::string xml;
        char const* expected;
    };
    Case const cases[] = {
        { bomb, "Line 1: entity declarations are not allowed" },
        { "<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>", "Line 1: entity declarations" },
        { "<r>\n&x;</r>", "Line 2: unknown or malformed entity reference &x;" },
        { "<r a=\"&#0;\"/>", "Line 1: unknown or malformed entity reference" },
        { "<r>\n<a></b></r>", "Line 2: " },
        { "<r>\n<a>", "Line 2: " },
        { "<r a=1/>", "Line 1: " },
        { "<r a=\"1\" a=\"2\"/>", "Line 1: the attribute a appears twice" },
        { "<r a=\"<\"/>", "Line 1: a '<' inside a value" },
        { "<r/>\n<s/>", "Line 2: more than one root element" },
        { "<r/>\ntail", "Line 2: text outside the root element" },
        { "", "Line 1: no root element" },
        { "<r>caf\xE9</r>", "Line 1: the text is not valid UTF-8" },
        { std::string("<r>\n\x01</r>"), "Line 2: a character XML does not allow" },
        { std::string("<r/>\0<s/>", 9), "Line 1: a character XML does not allow (U+0000)" },
    };
    for (Case const& c : cases) {
        auto const parsed = Parse(c.xml);
        EXPECT_FALSE(parsed.tree) << c.xml;
        EXPECT_EQ(parsed.error.rfind(c.expected, 0), 0u) << c.xml << "\n" << parsed.error;
    }
}

// Text is checked several bytes at a time: a refused byte is found at any place in a run of
// plain ones, and the bytes that pass (tab, DEL, an accented letter) pass at any place.
TEST(XMLTree, ChecksEveryByteWhereverItLies)
{
    struct Byte {
        std::string text;
        char const* expected; // null: accepted
    };
    Byte const bytes[] = {
        { std::string(1, '\0'), "Line 2: a character XML does not allow (U+0000)" },
        { "\x01", "Line 2: a character XML does not allow (U+0001)" },
        { "\x08", "Line 2: a character XML does not allow (U+0008)" },
        { "\x0B", "Line 2: a character XML does not allow (U+000B)" },
        { "\x1F", "Line 2: a character XML does not allow (U+001F)" },
        { "\x80", "Line 2: the text is not valid UTF-8" },
        { "\xFF", "Line 2: the text is not valid UTF-8" },
        { "\t", nullptr },
        { " ", nullptr },
        { "\x7F", nullptr },
        { "\xC3\xA9", nullptr },
    };
    for (Byte const& byte : bytes) {
        for (std::size_t before = 0; before < 20; ++before) {
            std::string const xml = "<r>\n" + std::string(before, 'a') + byte.text + std::string(19 - before, 'b') + "</r>";
            auto const parsed = Parse(xml);
            if (!byte.expected) {
                EXPECT_TRUE(parsed.tree) << before << " " << parsed.error;
                continue;
            }
            EXPECT_FALSE(parsed.tree) << before;
            EXPECT_EQ(parsed.error.rfind(byte.expected, 0), 0u) << before << "\n" << parsed.error;
        }
    }
}

TEST(XMLTree, ReadsUTF16WithAByteOrderMark)
{
    std::u16string const text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r k=\"\u00e9\">\U0001F30D</r>";
    std::string bytes = "\xFE\xFF";
    for (char16_t const unit : text) {
        bytes += char(unit >> 8);
        bytes += char(unit & 0xFF);
    }
    auto const parsed = Parse(bytes);
    ASSERT_TRUE(parsed.tree) << parsed.error;
    CFXMLTreeRef const root = CFTreeGetChildAtIndex(parsed.tree.get(), 0);
    EXPECT_EQ(Attribute(root, "k"), "\u00e9");
    EXPECT_EQ(NodeString(CFTreeGetChildAtIndex(root, 0)), "\U0001F30D");
}
