#include "corefoundation/CFString.h"
#include "corefoundation/StringsTable.h"

#include <gtest/gtest.h>

using tw::cf::StringsTable;

namespace {

std::string Lookup(StringsTable const& table, char const* key)
{
    std::u16string const* text = table.Find(tw::cf::UTF8ToUTF16(key));
    return text ? tw::cf::UTF16ToUTF8(*text) : "(missing)";
}

std::string UTF16(std::u16string const& text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t const unit : text) {
        bytes += char(bigEndian ? unit >> 8 : unit & 0xFF);
        bytes += char(bigEndian ? unit & 0xFF : unit >> 8);
    }
    return bytes;
}

} // namespace

TEST(StringsTable, ReadsQuotedAndBareTokensEscapesAndComments)
{
    std::string error;
    auto const table = StringsTable::Parse(R"(/* A block comment
   over lines with "quotes" = "inside"; */
"Simple" = "Value";
// a line comment "x" = "y";
"Escapes"="q\" b\\ a\' n\n t\t \U00e9\u2192";
BareKey = bare.value-1;
"Multi
line" = "two
lines";   "Same line" = "ok";
"Repeated" = "first";
"Repeated" = "second";
"Empty" = "";
)",
        &error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(table->Count(), 7u);
    EXPECT_EQ(Lookup(*table, "Simple"), "Value");
    EXPECT_EQ(Lookup(*table, "Escapes"), "q\" b\\ a' n\n t\t \u00e9\u2192");
    EXPECT_EQ(Lookup(*table, "BareKey"), "bare.value-1");
    EXPECT_EQ(Lookup(*table, "Multi\nline"), "two\nlines");
    EXPECT_EQ(Lookup(*table, "Same line"), "ok");
    EXPECT_EQ(Lookup(*table, "Repeated"), "second");
    EXPECT_EQ(Lookup(*table, "Empty"), "");
    EXPECT_EQ(Lookup(*table, "x"), "(missing)");
}

TEST(StringsTable, ReadsUTF16InEitherByteOrderAndUTF8WithAMark)
{
    std::u16string const text = u"\"Loading\" = \"L\u00e4dt\u2026 \U0001F30D\";\n";
    for (std::string const& bytes :
        { UTF16(text, false), UTF16(text, true), "\xEF\xBB\xBF" + tw::cf::UTF16ToUTF8(text) }) {
        std::string error;
        auto const table = StringsTable::Parse(bytes, &error);
        ASSERT_TRUE(table) << error;
        EXPECT_EQ(Lookup(*table, "Loading"), "L\u00e4dt\u2026 \U0001F30D");
    }
}

TEST(StringsTable, MalformedFilesGiveNoTableAndTheLine)
{
    struct Case {
        std::string text;
        char const* expected;
    };
    Case const cases[] = {
        { "\"a\" = \"b\";\n\"c\" = \"d\"\n\"e\" = \"f\";", "line 3: ';' was expected" },
        { "\"a\" \"b\";", "line 1: '=' was expected" },
        { "\"a\" = \"b", "line 1: a string that is never closed" },
        { "\"a\" = ;", "line 1: a quoted string or a word was expected" },
        { "\n/* open comment", "line 2: a comment that is never closed" },
        { "\"a\" = \"\\q\";", "line 1: an unknown escape \\q" },
        { "\"a\" = \"\\U12\";", "line 1: \\U must be followed by four hexadecimal digits" },
        { "\"a\" = \"b\"; junk!", "line 1: '=' was expected" },
        { "\"a\" = \"caf\xE9\";", "the text is neither UTF-8 nor UTF-16" },
        { "\xFF\xFE\x41", "the text is neither UTF-8 nor UTF-16" },
    };
    for (Case const& c : cases) {
        std::string error;
        EXPECT_FALSE(StringsTable::Parse(c.text, &error)) << c.text;
        EXPECT_EQ(error.rfind(c.expected, 0), 0u) << c.text << "\n" << error;
    }
}
