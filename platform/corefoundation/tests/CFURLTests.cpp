#include "CFRefHolder.h"
#include "corefoundation/CFURL.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

using tw::cf::test::Adopt;

namespace {

std::string Text(CFStringRef s)
{
    auto owned = Adopt(s);
    return s ? tw::cf::ToUTF8(s) : std::string("<null>");
}

CFURLRef FromPath(char const* path, CFURLPathStyle style = kCFURLPOSIXPathStyle, bool isDirectory = false)
{
    auto s = Adopt(CFStringCreateWithCString(nullptr, path, kCFStringEncodingUTF8));
    return CFURLCreateWithFileSystemPath(nullptr, s.get(), style, isDirectory);
}

CFURLRef FromString(char const* text, CFURLRef base = nullptr)
{
    auto s = Adopt(CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8));
    return CFURLCreateWithString(nullptr, s.get(), base);
}

std::string CurrentDirectory()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

} // namespace

TEST(CFURL, FilePathsRoundTripWithSpacesAndNonASCII)
{
    auto url = Adopt(FromPath("/tmp/My Maps/Kärnten #1?.twk"));
    ASSERT_TRUE(url);
    EXPECT_EQ(tw::cf::ToUTF8(CFURLGetString(url.get())), "file:///tmp/My%20Maps/K%C3%A4rnten%20%231%3F.twk");
    EXPECT_EQ(Text(CFURLCopyFileSystemPath(url.get(), kCFURLPOSIXPathStyle)), "/tmp/My Maps/Kärnten #1?.twk");
    EXPECT_EQ(Text(CFURLCopyLastPathComponent(url.get())), "Kärnten #1?.twk");
    EXPECT_EQ(Text(CFURLCopyPathExtension(url.get())), "twk");
    EXPECT_EQ(Text(CFURLCopyScheme(url.get())), "file");
    EXPECT_FALSE(CFURLHasDirectoryPath(url.get()));

    UInt8 buffer[64];
    ASSERT_TRUE(CFURLGetFileSystemRepresentation(url.get(), true, buffer, sizeof buffer));
    EXPECT_STREQ(reinterpret_cast<char const*>(buffer), "/tmp/My Maps/Kärnten #1?.twk");
    EXPECT_FALSE(CFURLGetFileSystemRepresentation(url.get(), true, buffer, 10)); // too small

    auto again = Adopt(CFURLCreateFromFileSystemRepresentation(nullptr, buffer, 64, false));
    EXPECT_TRUE(CFEqual(again.get(), url.get()));
}

TEST(CFURL, RelativeAndDirectoryPaths)
{
    auto relative = Adopt(FromPath("maps/a.twk"));
    EXPECT_EQ(Text(CFURLCopyFileSystemPath(relative.get(), kCFURLPOSIXPathStyle)), CurrentDirectory() + "/maps/a.twk");
    auto folder = Adopt(FromPath("/home/user/Maps", kCFURLPOSIXPathStyle, true));
    EXPECT_EQ(tw::cf::ToUTF8(CFURLGetString(folder.get())), "file:///home/user/Maps/");
    EXPECT_TRUE(CFURLHasDirectoryPath(folder.get()));
    EXPECT_EQ(Text(CFURLCopyFileSystemPath(folder.get(), kCFURLPOSIXPathStyle)), "/home/user/Maps");
    EXPECT_EQ(Text(CFURLCopyLastPathComponent(folder.get())), "Maps");
    auto root = Adopt(FromPath("/", kCFURLPOSIXPathStyle, true));
    EXPECT_EQ(Text(CFURLCopyFileSystemPath(root.get(), kCFURLPOSIXPathStyle)), "/");
    EXPECT_EQ(FromPath(""), nullptr);
}

TEST(CFURL, HFSPathsTreatTheVolumeAsTheRoot)
{
    auto file = Adopt(FromPath("Macintosh HD:Users:x:a/b.txt", kCFURLHFSPathStyle));
    EXPECT_EQ(Text(CFURLCopyFileSystemPath(file.get(), kCFURLPOSIXPathStyle)), "/Users/x/a:b.txt");
    EXPECT_EQ(Text(CFURLCopyFileSystemPath(file.get(), kCFURLHFSPathStyle)), "Macintosh HD:Users:x:a/b.txt");
    auto folder = Adopt(FromPath("Data:Maps:", kCFURLHFSPathStyle));
    EXPECT_TRUE(CFURLHasDirectoryPath(folder.get()));
    EXPECT_EQ(Text(CFURLCopyFileSystemPath(folder.get(), kCFURLPOSIXPathStyle)), "/Maps");
    auto bare = Adopt(FromPath("ForceNoNetwork", kCFURLHFSPathStyle)); // no colon: relative
    EXPECT_EQ(Text(CFURLCopyFileSystemPath(bare.get(), kCFURLPOSIXPathStyle)), CurrentDirectory() + "/ForceNoNetwork");
    auto partial = Adopt(FromPath(":sub:file", kCFURLHFSPathStyle));
    EXPECT_EQ(Text(CFURLCopyFileSystemPath(partial.get(), kCFURLPOSIXPathStyle)), CurrentDirectory() + "/sub/file");
}

TEST(CFURL, WebLinkParts)
{
    auto url = Adopt(FromString("http://user@example.com:8080/a/b%20c.html?x=1&y=%C3%A4#frag"));
    ASSERT_TRUE(url);
    EXPECT_EQ(Text(CFURLCopyScheme(url.get())), "http");
    EXPECT_EQ(Text(CFURLCopyHostName(url.get())), "example.com");
    EXPECT_EQ(CFURLGetPortNumber(url.get()), 8080);
    EXPECT_EQ(Text(CFURLCopyPath(url.get())), "/a/b c.html");
    EXPECT_EQ(Text(CFURLCopyQueryString(url.get(), nullptr)), "x=1&y=%C3%A4");
    EXPECT_EQ(Text(CFURLCopyQueryString(url.get(), CFSTR(""))), "x=1&y=ä");
    EXPECT_EQ(Text(CFURLCopyLastPathComponent(url.get())), "b c.html");
    EXPECT_EQ(Text(CFURLCopyPathExtension(url.get())), "html");
    EXPECT_EQ(CFURLCopyFileSystemPath(url.get(), kCFURLPOSIXPathStyle), nullptr); // not a file link

    auto plain = Adopt(FromString("https://maps.example.org"));
    EXPECT_EQ(CFURLGetPortNumber(plain.get()), -1);
    EXPECT_EQ(CFURLCopyQueryString(plain.get(), nullptr), nullptr);
    EXPECT_EQ(CFURLCopyPathExtension(plain.get()), nullptr);
    auto v6 = Adopt(FromString("http://[::1]:81/x"));
    EXPECT_EQ(Text(CFURLCopyHostName(v6.get())), "::1");
    EXPECT_EQ(CFURLGetPortNumber(v6.get()), 81);
    auto mail = Adopt(FromString("mailto:someone@example.com"));
    EXPECT_EQ(Text(CFURLCopyScheme(mail.get())), "mailto");
    EXPECT_EQ(CFURLCopyHostName(mail.get()), nullptr);
}

TEST(CFURL, MalformedLinksGiveNull)
{
    char const* const bad[] = { "http://exa mple.com/", "http://[::1/x", "http://h/a]b", "100%", "a%zz",
        "http://h:80x/", "ä", "", "http://h/<tag>", "1http:x" };
    for (char const* text : bad)
        EXPECT_EQ(FromString(text), nullptr) << text;
    for (char const* text : { "a/b?c#d", "/absolute", "geo:47.1,8.2", "x-y.z+w://h" }) {
        auto url = Adopt(FromString(text));
        EXPECT_TRUE(url) << text;
    }
    EXPECT_EQ(CFURLCreateWithString(nullptr, nullptr, nullptr), nullptr);
}

TEST(CFURL, RelativeReferencesResolveAgainstTheBase)
{
    auto base = Adopt(FromString("http://h/a/b/d?old#f"));
    struct Case {
        char const* reference;
        char const* expected;
    };
    Case const cases[] = { { "../c?q", "http://h/a/c?q" }, { "e", "http://h/a/b/e" }, { "/top", "http://h/top" },
        { "?n", "http://h/a/b/d?n" }, { "//other/x", "http://other/x" }, { "./", "http://h/a/b/" },
        { "ftp://z/y", "ftp://z/y" } };
    for (Case const& c : cases) {
        auto url = Adopt(FromString(c.reference, base.get()));
        ASSERT_TRUE(url) << c.reference;
        EXPECT_EQ(tw::cf::ToUTF8(CFURLGetString(url.get())), c.expected) << c.reference;
    }
}

// A relative base has nothing to resolve against; a path that starts with "//" stays a path.
TEST(CFURL, ResolutionNeedsAnAbsoluteBaseAndKeepsPathsApartFromAuthorities)
{
    auto relative = Adopt(FromString("dir/page"));
    ASSERT_TRUE(relative);
    for (char const* reference : { "other", "/top", "?q", "//h/x" })
        EXPECT_EQ(FromString(reference, relative.get()), nullptr) << reference;
    auto own = Adopt(FromString("http://h/x", relative.get()));
    ASSERT_TRUE(own) << "a reference with its own scheme needs no base";
    EXPECT_EQ(tw::cf::ToUTF8(CFURLGetString(own.get())), "http://h/x");

    auto base = Adopt(FromString("http:/a"));
    auto url = Adopt(FromString("..//x:y", base.get()));
    ASSERT_TRUE(url);
    std::string const text = tw::cf::ToUTF8(CFURLGetString(url.get()));
    EXPECT_EQ(text, "http:/.//x:y");
    auto again = Adopt(FromString(text.c_str()));
    ASSERT_TRUE(again) << "the result parses again";
    EXPECT_EQ(CFURLCopyHostName(again.get()), nullptr) << "no authority appeared";
    EXPECT_EQ(Text(CFURLCopyScheme(again.get())), "http");
    // With an authority the path may start with "//" as it is.
    auto hosted = Adopt(FromString("http://h/a"));
    auto kept = Adopt(FromString("..//x", hosted.get()));
    EXPECT_EQ(tw::cf::ToUTF8(CFURLGetString(kept.get())), "http://h//x");
}

TEST(CFURL, PathComponentsAndExtensions)
{
    auto folder = Adopt(FromPath("/data/Maps", kCFURLPOSIXPathStyle, true));
    auto file = Adopt(CFURLCreateCopyAppendingPathComponent(nullptr, folder.get(), CFSTR("Route 1.gpx"), false));
    EXPECT_EQ(tw::cf::ToUTF8(CFURLGetString(file.get())), "file:///data/Maps/Route%201.gpx");
    auto sub = Adopt(CFURLCreateCopyAppendingPathComponent(nullptr, folder.get(), CFSTR("Sub"), true));
    EXPECT_EQ(tw::cf::ToUTF8(CFURLGetString(sub.get())), "file:///data/Maps/Sub/");

    auto bare = Adopt(CFURLCreateCopyDeletingPathExtension(nullptr, file.get()));
    EXPECT_EQ(Text(CFURLCopyLastPathComponent(bare.get())), "Route 1");
    EXPECT_EQ(CFURLCopyPathExtension(bare.get()), nullptr);
    auto renamed = Adopt(CFURLCreateCopyAppendingPathExtension(nullptr, bare.get(), CFSTR("twk")));
    EXPECT_EQ(Text(CFURLCopyFileSystemPath(renamed.get(), kCFURLPOSIXPathStyle)), "/data/Maps/Route 1.twk");

    auto parent = Adopt(CFURLCreateCopyDeletingLastPathComponent(nullptr, file.get()));
    EXPECT_EQ(tw::cf::ToUTF8(CFURLGetString(parent.get())), "file:///data/Maps/");
    auto grandParent = Adopt(CFURLCreateCopyDeletingLastPathComponent(nullptr, parent.get()));
    EXPECT_EQ(tw::cf::ToUTF8(CFURLGetString(grandParent.get())), "file:///data/");
    auto hidden = Adopt(FromPath("/home/.profile"));
    EXPECT_EQ(CFURLCopyPathExtension(hidden.get()), nullptr); // a leading dot is no extension

    auto web = Adopt(FromString("http://h/dir/page.html?q=1"));
    auto webParent = Adopt(CFURLCreateCopyDeletingLastPathComponent(nullptr, web.get()));
    EXPECT_EQ(tw::cf::ToUTF8(CFURLGetString(webParent.get())), "http://h/dir/?q=1");
}

TEST(CFURL, PercentEscapes)
{
    auto raw = Adopt(CFStringCreateWithCString(nullptr, "a b/ä?&%", kCFStringEncodingUTF8));
    auto escaped
        = Adopt(CFURLCreateStringByAddingPercentEscapes(nullptr, raw.get(), nullptr, nullptr, kCFStringEncodingUTF8));
    EXPECT_EQ(tw::cf::ToUTF8(escaped.get()), "a%20b/%C3%A4?&%25");
    auto back = Adopt(CFURLCreateStringByReplacingPercentEscapes(nullptr, escaped.get(), CFSTR("")));
    EXPECT_TRUE(CFEqual(back.get(), raw.get()));

    auto strict = Adopt(
        CFURLCreateStringByAddingPercentEscapes(nullptr, raw.get(), CFSTR(" "), CFSTR("/?&"), kCFStringEncodingUTF8));
    EXPECT_EQ(tw::cf::ToUTF8(strict.get()), "a b%2F%C3%A4%3F%26%25");
    auto latin = Adopt(
        CFURLCreateStringByAddingPercentEscapes(nullptr, raw.get(), nullptr, nullptr, kCFStringEncodingISOLatin1));
    EXPECT_EQ(tw::cf::ToUTF8(latin.get()), "a%20b/%E4?&%25");
    auto snowman = Adopt(CFStringCreateWithCString(nullptr, "☃", kCFStringEncodingUTF8));
    EXPECT_EQ(
        CFURLCreateStringByAddingPercentEscapes(nullptr, snowman.get(), nullptr, nullptr, kCFStringEncodingISOLatin1),
        nullptr);

    auto keepSlash = Adopt(CFURLCreateStringByReplacingPercentEscapes(nullptr, CFSTR("a%2Fb%20c"), CFSTR("/")));
    EXPECT_EQ(tw::cf::ToUTF8(keepSlash.get()), "a%2Fb c");
    auto lower = Adopt(CFURLCreateStringByReplacingPercentEscapes(nullptr, CFSTR("a%2fb%c3%bf"), CFSTR("")));
    EXPECT_EQ(tw::cf::ToUTF8(lower.get()), "a/bÿ") << "escapes in lower case decode too";
    auto none = Adopt(CFURLCreateStringByReplacingPercentEscapes(nullptr, CFSTR("a%20b"), nullptr));
    EXPECT_EQ(tw::cf::ToUTF8(none.get()), "a%20b");
    for (CFStringRef bad : { CFSTR("%G1"), CFSTR("abc%2"), CFSTR("%C3"), CFSTR("%FF%FE") })
        EXPECT_EQ(CFURLCreateStringByReplacingPercentEscapes(nullptr, bad, CFSTR("")), nullptr) << tw::cf::ToUTF8(bad);
}
