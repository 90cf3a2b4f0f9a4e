#include "PlistTestSupport.h"
#include "tests/support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace tw::test;

// Python's plistlib is an independent reader and writer: both directions must agree
// value for value, compared through the canonical form that canonical.py prints.

namespace {

std::string const kScript = std::string(TW_TEST_DATA_DIR) + "/plist/canonical.py";

// Runs canonical.py in mode on path; its one line of output, without the newline.
std::string Python(char const* mode, std::filesystem::path const& path)
{
    std::string output;
    int const status = RunCommand("python3 '" + kScript + "' " + mode + " '" + path.string() + "'", &output);
    EXPECT_EQ(status, 0) << output;
    if (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
}

// Everything our writer can produce, including text that needs escaping.
Owned<CFPropertyListRef> EveryKindOfValue()
{
    std::string error;
    auto plist = ParsePlist(R"(<plist><dict>
        <key>text</key><string>a &lt;b&gt; &amp; "c" 'd' ]]&gt; tab	end</string>
        <key>line endings</key><string>one&#13;&#10;two&#13;three
four</string>
        <key>unicode</key><string>Zürich → 日本 🌍</string>
        <key>ключ</key><string>non-ASCII key</string>
        <key>empty</key><string></string>
        <key>integers</key><array><integer>0</integer><integer>-9223372036854775808</integer>
            <integer>9223372036854775807</integer><integer>2147483648</integer></array>
        <key>reals</key><array><real>0.1</real><real>-0.0</real><real>4.9406564584124654e-324</real>
            <real>1.7976931348623157e308</real><real>inf</real><real>-inf</real><real>nan</real>
            <real>0.3333333333333333</real><real>100</real></array>
        <key>flags</key><array><true/><false/></array>
        <key>dates</key><array><date>2001-01-01T00:00:00Z</date><date>1969-07-20T20:17:40Z</date>
            <date>0001-01-01T00:00:00Z</date><date>9999-12-31T23:59:59Z</date></array>
        <key>data</key><data>AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKissLS4vMDEyMzQ1Njc4OTo7PD0+P0BBQkNERUZHSElKS0xNTk9QUVJTVFVWV1hZWltcXV5fYGFiY2RlZmdoaWprbG1ub3BxcnN0dXZ3eHl6e3x9fn8=</data>
        <key>no data</key><data></data>
        <key>nested</key><array><dict><key>deeper</key><array><array/><dict/></array></dict></array>
    </dict></plist>)",
        &error);
    EXPECT_TRUE(plist) << error;
    return plist;
}

} // namespace

TEST(PlistlibRoundTrip, PlistlibReadsEverythingOurWriterWrites)
{
    auto const plist = EveryKindOfValue();
    ASSERT_TRUE(plist);
    TempFolder folder;
    WriteFile(folder / "ours.plist", ToXML(plist.get()));
    EXPECT_EQ(Python("dump", folder / "ours.plist"), Canonical(plist.get()));
}

TEST(PlistlibRoundTrip, WeReadEverythingPlistlibWritesAndWriteItBackUnchanged)
{
    TempFolder folder;
    std::string const expected = Python("write", folder / "python.plist");
    ASSERT_FALSE(expected.empty());

    std::string error;
    auto const plist = ParsePlist(ReadFile(folder / "python.plist"), &error);
    ASSERT_TRUE(plist) << error;
    EXPECT_EQ(Canonical(plist.get()), expected);

    WriteFile(folder / "again.plist", ToXML(plist.get()));
    EXPECT_EQ(Python("dump", folder / "again.plist"), expected);
}
