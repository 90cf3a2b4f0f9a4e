#include "PlistTestSupport.h"
#include "corefoundation/tests/fuzz/FuzzPropertyListEntry.h"
#include "tests/support/TestSupport.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

using namespace tw::test;

namespace {

struct BadPlist {
    char const* file;
    char const* expected; // the start of the error: its line and reason
};

// Every file in data/plist/bad, with where and why it must be refused.
BadPlist const kBadPlists[] = {
    { "bad-character-reference.plist", "Line 3: unknown or malformed entity reference &#1;" },
    { "bare-ampersand.plist", "Line 3: an '&' that starts no entity reference" },
    { "control-character.plist", "Line 3: a character XML does not allow (U+0001)" },
    { "data-bad-base64.plist", "Line 3: the <data> is not valid base64" },
    { "data-bad-padding.plist", "Line 3: the <data> is not valid base64" },
    { "date-impossible.plist", "Line 3: not a date" },
    { "date-local-time.plist", "Line 3: not a date" },
    { "date-words.plist", "Line 3: not a date" },
    { "duplicate-key.plist", "Line 6: the key \"a\" appears twice" },
    { "element-inside-string.plist", "Line 3: <b> inside <string>" },
    { "empty.plist", "Line 1: no root element" },
    { "entity-bomb.plist", "Line 2: entity declarations are not allowed" },
    { "external-entity.plist", "Line 2: entity declarations are not allowed" },
    { "integer-empty.plist", "Line 3: not an integer" },
    { "integer-garbage.plist", "Line 3: not an integer: \"12abc\"" },
    { "integer-hex.plist", "Line 3: not an integer: \"0x10\"" },
    { "integer-huge.plist", "Line 3: the integer \"99999999999999999999999\" is out of range" },
    { "invalid-utf8.plist", "Line 3: the text is not valid UTF-8" },
    { "key-outside-dict.plist", "Line 4: a <key> outside a dictionary" },
    { "key-without-value.plist", "Line 6: the key \"b\" has no value" },
    { "no-value.plist", "Line 2: <plist> must hold exactly one value, not 0" },
    { "non-plist-root.plist", "Line 2: the root element is <dict>, not <plist>" },
    { "nul-byte.plist", "Line 3: a character XML does not allow (U+0000)" },
    { "real-garbage.plist", "Line 3: not a real number: \"1.2.3\"" },
    { "real-overflow.plist", "Line 3: the real \"1e999\" is out of range" },
    { "text-after-root.plist", "Line 5: text outside the root element" },
    { "text-inside-dict.plist", "Line 4: text \"stray words\" inside <dict>" },
    { "true-with-text.plist", "Line 3: <true> must be empty" },
    { "truncated.plist", "Line 5: " },
    { "two-keys-in-a-row.plist", "Line 4: the key \"a\" has no value" },
    { "two-roots.plist", "Line 5: more than one root element" },
    { "two-values.plist", "Line 2: <plist> must hold exactly one value, not 2" },
    { "unclosed-dict.plist", "Line 6: " },
    { "unknown-element.plist", "Line 3: unknown element <set>" },
    { "unknown-entity.plist", "Line 3: unknown or malformed entity reference &nbsp;" },
    { "value-where-key-belongs.plist", "Line 4: <string> where a <key> belongs" },
    { "wrong-nesting.plist", "Line 5: " },
};

std::filesystem::path const kBadFolder = std::filesystem::path(TW_TEST_DATA_DIR) / "plist" / "bad";

std::string Nested(char const* open, char const* close, int depth)
{
    std::string xml = "<plist>";
    for (int i = 0; i < depth; ++i)
        xml += open;
    for (int i = 0; i < depth; ++i)
        xml += close;
    return xml + "</plist>";
}

} // namespace

TEST(PropertyListMalformed, EveryCorpusFileIsRefusedWithItsLineAndReason)
{
    std::set<std::string> listed;
    auto const start = std::chrono::steady_clock::now();
    for (BadPlist const& bad : kBadPlists) {
        listed.insert(bad.file);
        std::string error;
        auto const plist = ParsePlist(ReadFile(kBadFolder / bad.file), &error);
        EXPECT_FALSE(plist) << bad.file << " was read as " << Canonical(plist.get());
        EXPECT_EQ(error.rfind(bad.expected, 0), 0u) << bad.file << ": " << error;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    for (auto const& entry : std::filesystem::directory_iterator(kBadFolder))
        EXPECT_TRUE(listed.count(entry.path().filename().string())) << entry.path() << " has no expectation";
}

TEST(PropertyListMalformed, EveryTruncationOfAGoodFileIsRefused)
{
    auto const good
        = ParsePlist("<plist><dict><key>a</key><array><integer>1</integer><real>2.5</real><data>AAEC</data></array>"
                     "<key>b</key><string>x &amp; y</string></dict></plist>");
    ASSERT_TRUE(good);
    std::string const xml = ToXML(good.get());
    std::size_t const end = xml.find("</plist>");
    for (std::size_t length = 0; length < end; ++length) {
        std::string error;
        EXPECT_FALSE(ParsePlist(xml.substr(0, length), &error)) << "cut at " << length;
        EXPECT_EQ(error.rfind("Line ", 0), 0u) << "cut at " << length << ": " << error;
    }
}

TEST(PropertyListMalformed, DeepNestingIsRefusedQuicklyWithoutExhaustingTheStack)
{
    auto const start = std::chrono::steady_clock::now();
    for (auto const& [open, close] :
        { std::pair { "<array>", "</array>" }, std::pair { "<dict><key>k</key>", "</dict>" } }) {
        std::string error;
        EXPECT_FALSE(ParsePlist(Nested(open, close, 10000), &error)) << open;
        EXPECT_NE(error.find("nesting deeper than 512 levels"), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(ParsePlist(Nested("<array>", "", 100000), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(PropertyListMalformed, AReasonQuotingTextCutInsideACharacterIsStillGiven)
{
    // The reason quotes the first 40 bytes of the text, which here end inside the quotation mark.
    for (std::size_t ascii : { 38, 39 }) {
        std::string error;
        EXPECT_FALSE(ParsePlist("<plist><array>" + std::string(ascii, 'x') + "\u201Cquoted\u201D</array></plist>", &error));
        EXPECT_EQ(error.rfind("Line 1: text \"" + std::string(ascii, 'x'), 0), 0u) << ascii << ": " << error;
    }
}

// The fuzz entry's seeds, good files and every refused one: each reads, writes and reads
// back to the same text, or is refused with a reason.
TEST(FuzzPropertyList, SeedCorpusReplaysCleanly)
{
    auto const tests = std::filesystem::path(TW_SOURCE_DIR) / "platform/corefoundation/tests";
    EXPECT_GE(tw::test::ReplayCorpus(tests / "fuzz/corpus", &tw::fuzz::FuzzPropertyListInput), 4);
    EXPECT_GE(tw::test::ReplayCorpus(tests / "data/plist/bad", &tw::fuzz::FuzzPropertyListInput), 30);
}
