#include "foundation/CCFXMLTree.h"
#include "foundation/Status.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

char const kFeed[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- product feed -->
<Pellmar>
  <product code="TWik"><version>1.2.3</version><download>http://example.com/a?x=1&amp;y=2</download></product>
  <product><version>9.9</version></product>
  <product code="ABCD &lt;x&gt;"><version><![CDATA[2.0 <beta>]]></version></product>
</Pellmar>)";

struct Collected {
    std::vector<std::string> entries;
    int stopAfter = -1;
};

OSStatus Collect(CCFXMLTree const& tree, UInt32 depth, void* data)
{
    auto* collected = static_cast<Collected*>(data);
    collected->entries.push_back(std::to_string(depth) + ":" + tree.GetElementName().GetUTF8());
    if (collected->stopAfter >= 0 && int(collected->entries.size()) == collected->stopAfter)
        return userCanceledErr;
    return noErr;
}

} // namespace

TEST(CCFXMLTree, ReadsElementsAttributesAndText)
{
    CCFXMLTree document;
    ASSERT_EQ(document.ParseTree(CString(kFeed)), noErr);
    CCFXMLTree root = document.GetChildElement("pellmar"); // case ignored
    ASSERT_FALSE(root.IsEmpty());
    EXPECT_STREQ(root.GetElementName().GetUTF8(), "Pellmar");

    CCFXMLTree product = root.GetChildElement("PRODUCT");
    CString code;
    ASSERT_TRUE(product.GetElementAttribute("code", code));
    EXPECT_STREQ(code.GetUTF8(), "TWik");
    EXPECT_FALSE(product.GetElementAttribute("missing", code));
    EXPECT_STREQ(product.GetChildElement("version").GetElementEnclosedText().GetUTF8(), "1.2.3");
    EXPECT_STREQ(
        product.GetChildElement("download").GetElementEnclosedText().GetUTF8(), "http://example.com/a?x=1&y=2");

    CCFXMLTree missing = root.GetChildElement("nothing");
    EXPECT_TRUE(missing.IsEmpty());
    EXPECT_TRUE(missing.GetChildElement("deeper").IsEmpty());
    EXPECT_TRUE(missing.GetElementEnclosedText().IsEmpty());
    EXPECT_FALSE(missing.GetElementAttribute("code", code));
}

TEST(CCFXMLTree, ProcessTreeVisitsChildElementsWithTheirDepth)
{
    CCFXMLTree document;
    ASSERT_EQ(document.ParseTree(kFeed, sizeof kFeed - 1), noErr);
    CCFXMLTree root = document.GetChildElement("Pellmar");

    Collected flat;
    ASSERT_EQ(root.ProcessTree(Collect, false, &flat), noErr);
    EXPECT_EQ(flat.entries, (std::vector<std::string> { "0:product", "0:product", "0:product" }));

    Collected deep;
    ASSERT_EQ(root.ProcessTree(Collect, true, &deep), noErr);
    EXPECT_EQ(deep.entries,
        (std::vector<std::string> {
            "0:product", "1:version", "1:download", "0:product", "1:version", "0:product", "1:version" }));

    Collected stopped;
    stopped.stopAfter = 2;
    EXPECT_EQ(root.ProcessTree(Collect, true, &stopped), userCanceledErr);
    EXPECT_EQ(stopped.entries.size(), 2u);

    // The last product: entities in attributes, CDATA as text.
    struct Last {
        CString code;
        CString version;
    } last;
    root.ProcessTree(
        [](CCFXMLTree const& tree, UInt32, void* data) -> OSStatus {
            auto* l = static_cast<Last*>(data);
            if (tree.GetElementAttribute("code", l->code))
                l->version = tree.GetChildElement("version").GetElementEnclosedText();
            return noErr;
        },
        false, &last);
    EXPECT_STREQ(last.code.GetUTF8(), "ABCD <x>");
    EXPECT_STREQ(last.version.GetUTF8(), "2.0 <beta>");
}

TEST(CCFXMLTree, ViewsOutliveTheTreeTheyCameFrom)
{
    CCFXMLTree version;
    {
        CCFXMLTree document;
        ASSERT_EQ(document.ParseTree(CString(kFeed)), noErr);
        version = document.GetChildElement("Pellmar").GetChildElement("product").GetChildElement("version");
    }
    EXPECT_STREQ(version.GetElementEnclosedText().GetUTF8(), "1.2.3");
}

TEST(CCFXMLTree, MalformedAndHostileTextFailsQuicklyAndLeavesAnEmptyTree)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    for (int i = 1; i < 10; ++i) {
        laughs += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j)
            laughs += "&lol" + (i == 1 ? std::string() : std::to_string(i - 1)) + ";";
        laughs += "\">";
    }
    laughs += "]><lolz>&lol9;</lolz>";
    std::string const external = "<!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><x>&e;</x>";
    std::string const cases[]
        = { "", "not xml", "<a><b></a>", "<a attr=\"x></a>", "<a>&undefined;</a>", deep, laughs, external };
    for (std::string const& text : cases) {
        CCFXMLTree tree;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(tree.ParseTree(text.data(), text.size()), kNothingParseableErr) << text.substr(0, 60);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_TRUE(tree.IsEmpty());
        EXPECT_TRUE(tree.GetChildElement("lolz").IsEmpty());
    }
}
