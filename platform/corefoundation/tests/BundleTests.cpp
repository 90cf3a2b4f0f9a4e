#include "PlistTestSupport.h"
#include "corefoundation/CFBundle.h"
#include "tests/support/TestSupport.h"

#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace tw::test;
namespace fs = std::filesystem;

namespace {

std::string PathOf(CFURLRef url)
{
    char path[PATH_MAX];
    if (!url || !CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), sizeof path))
        return "(none)";
    return path;
}

std::string Localized(CFBundleRef bundle, char const* key, char const* value = nullptr, char const* table = nullptr)
{
    Owned<CFStringRef> const k(tw::cf::CreateString(key));
    Owned<CFStringRef> const v(value ? tw::cf::CreateString(value) : nullptr);
    Owned<CFStringRef> const t(table ? tw::cf::CreateString(table) : nullptr);
    Owned<CFStringRef> const text(CFBundleCopyLocalizedString(bundle, k.get(), v.get(), t.get()));
    return tw::cf::ToUTF8(text.get());
}

std::string UTF16LE(std::u16string const& text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t const unit : text) {
        bytes += char(unit & 0xFF);
        bytes += char(unit >> 8);
    }
    return bytes;
}

// Sets LANG for the life of the object.
class ScopedLanguage {
public:
    explicit ScopedLanguage(char const* lang)
    {
        if (char const* old = std::getenv("LANG"))
            mOld = old;
        setenv("LANG", lang, 1);
    }
    ~ScopedLanguage() { mOld ? setenv("LANG", mOld->c_str(), 1) : unsetenv("LANG"); }

private:
    std::optional<std::string> mOld;
};

// A map-pack-like bundle in a temporary folder.
class TemporaryBundle : public testing::Test {
protected:
    void SetUp() override
    {
        fs::path const contents = mFolder / "Alps.twmap" / "Contents";
        fs::path const resources = contents / "Resources";
        for (char const* dir :
            { "MacOS", "Resources/Symbols/region.twregion", "Resources/English.lproj", "Resources/de.lproj" })
            fs::create_directories(contents / dir);
        WriteFile(contents / "Info.plist",
            "<plist><dict><key>CFBundleIdentifier</key><string>com.example.alps</string>"
            "<key>CFBundleExecutable</key><string>Tool</string><key>TWMapFormat</key><string>1.0</string></dict></"
            "plist>");
        for (char const* file :
            { "MacOS/Tool", "Resources/top.png", "Resources/Symbols/b.png", "Resources/Symbols/a.png",
                "Resources/Symbols/c.txt", "Resources/English.lproj/Only.png", "Resources/de.lproj/Only.png" })
            WriteFile(contents / file, "x");
        WriteFile(resources / "English.lproj" / "Localizable.strings",
            UTF16LE(u"/* English */\n\"Loading\" = \"Loading\u2026\";\n\"OnlyEnglish\" = \"English only\";\n"
                    u"Quote = \"say \\\"hi\\\"\\n\";\n"));
        WriteFile(resources / "de.lproj" / "Localizable.strings", "\"Loading\" = \"L\u00e4dt\u2026\";\n");
        WriteFile(resources / "English.lproj" / "Broken.strings", "\"Good\" = \"fine\";\n\"Bad\" = \"never closed;\n");
        mBundlePath = contents.parent_path();
    }

    Owned<CFBundleRef> Create(fs::path const& path)
    {
        std::string const& text = path.native();
        Owned<CFURLRef> const url(CFURLCreateFromFileSystemRepresentation(
            nullptr, reinterpret_cast<UInt8 const*>(text.data()), CFIndex(text.size()), true));
        return Owned<CFBundleRef>(CFBundleCreate(nullptr, url.get()));
    }

    std::string Resource(CFBundleRef bundle, char const* name, char const* type, char const* subDir)
    {
        Owned<CFStringRef> const n(tw::cf::CreateString(name));
        Owned<CFStringRef> const t(type ? tw::cf::CreateString(type) : nullptr);
        Owned<CFStringRef> const s(subDir ? tw::cf::CreateString(subDir) : nullptr);
        Owned<CFURLRef> const url(CFBundleCopyResourceURL(bundle, n.get(), t.get(), s.get()));
        return url ? fs::relative(PathOf(url.get()), mBundlePath).string() : "(none)";
    }

    TempFolder mFolder;
    fs::path mBundlePath;
};

} // namespace

TEST(MainBundle, IsTheBuildTreeBundleWithItsInfoAndStrings)
{
    CFBundleRef const main = CFBundleGetMainBundle();
    ASSERT_TRUE(main);
    EXPECT_EQ(CFGetTypeID(main), CFBundleGetTypeID());
    EXPECT_EQ(tw::cf::ToUTF8(CFBundleGetIdentifier(main)), "com.tarnwick.tarnwick");
    EXPECT_EQ(tw::cf::ToUTF8(static_cast<CFStringRef>(CFBundleGetValueForInfoDictionaryKey(main, kCFBundleNameKey))),
        "Tarnwick");
    Owned<CFURLRef> const url(CFBundleCopyBundleURL(main));
    EXPECT_EQ(fs::path(PathOf(url.get())), fs::path(TW_BUNDLE_DIR));
    Owned<CFStringRef> const loading(CFCopyLocalizedString(CFSTR("ViewTileLoading"), "tile placeholder"));
    EXPECT_EQ(tw::cf::ToUTF8(loading.get()), "Loading\u2026");
    EXPECT_EQ(Localized(main, "NoSuchKey"), "NoSuchKey");
    EXPECT_EQ(Localized(main, "NoSuchKey", "Fallback"), "Fallback");
}

TEST_F(TemporaryBundle, FindsResourcesByNameTypeAndSubfolderThenInTheLocalisation)
{
    ScopedLanguage const lang("C");
    auto const bundle = Create(mBundlePath);
    ASSERT_TRUE(bundle);
    EXPECT_EQ(Resource(bundle.get(), "a", "png", "Symbols"), "Contents/Resources/Symbols/a.png");
    EXPECT_EQ(Resource(bundle.get(), "a.png", nullptr, "Symbols"), "Contents/Resources/Symbols/a.png");
    EXPECT_EQ(Resource(bundle.get(), "top.png", "", ""), "Contents/Resources/top.png");
    EXPECT_EQ(Resource(bundle.get(), "Only", "png", nullptr), "Contents/Resources/English.lproj/Only.png");
    EXPECT_EQ(Resource(bundle.get(), "a", "png", nullptr), "(none)");
    EXPECT_EQ(Resource(bundle.get(), "missing", "png", "Symbols"), "(none)");

    Owned<CFArrayRef> const pngs(CFBundleCopyResourceURLsOfType(bundle.get(), CFSTR("png"), CFSTR("Symbols")));
    ASSERT_EQ(CFArrayGetCount(pngs.get()), 2);
    EXPECT_EQ(fs::path(PathOf(static_cast<CFURLRef>(CFArrayGetValueAtIndex(pngs.get(), 0)))).filename(), "a.png");
    EXPECT_EQ(fs::path(PathOf(static_cast<CFURLRef>(CFArrayGetValueAtIndex(pngs.get(), 1)))).filename(), "b.png");
    Owned<CFArrayRef> const regions(CFBundleCopyResourceURLsOfType(bundle.get(), CFSTR("twregion"), CFSTR("Symbols")));
    ASSERT_EQ(CFArrayGetCount(regions.get()), 1);
    EXPECT_TRUE(CFURLHasDirectoryPath(static_cast<CFURLRef>(CFArrayGetValueAtIndex(regions.get(), 0))));
}

TEST_F(TemporaryBundle, GivesInfoValuesIdentifierAndExecutable)
{
    auto const bundle = Create(mBundlePath);
    ASSERT_TRUE(bundle);
    EXPECT_EQ(tw::cf::ToUTF8(CFBundleGetIdentifier(bundle.get())), "com.example.alps");
    EXPECT_EQ(tw::cf::ToUTF8(
                  static_cast<CFStringRef>(CFBundleGetValueForInfoDictionaryKey(bundle.get(), CFSTR("TWMapFormat")))),
        "1.0");
    EXPECT_EQ(CFBundleGetValueForInfoDictionaryKey(bundle.get(), CFSTR("Absent")), nullptr);
    Owned<CFURLRef> const executable(CFBundleCopyExecutableURL(bundle.get()));
    EXPECT_EQ(fs::path(PathOf(executable.get())), mBundlePath / "Contents/MacOS/Tool");
    Owned<CFURLRef> const resources(CFBundleCopyResourcesDirectoryURL(bundle.get()));
    EXPECT_EQ(fs::path(PathOf(resources.get())), mBundlePath / "Contents/Resources");
}

TEST_F(TemporaryBundle, LocalisedStringsComeFromTheUTF16TableWithFallbacks)
{
    ScopedLanguage const lang("C");
    auto const bundle = Create(mBundlePath);
    ASSERT_TRUE(bundle);
    EXPECT_EQ(Localized(bundle.get(), "Loading"), "Loading\u2026");
    EXPECT_EQ(Localized(bundle.get(), "Quote"), "say \"hi\"\n");
    EXPECT_EQ(Localized(bundle.get(), "Missing", "Given value"), "Given value");
    EXPECT_EQ(Localized(bundle.get(), "Missing", ""), "Missing");
    EXPECT_EQ(Localized(bundle.get(), "Loading", nullptr, "NoSuchTable"), "Loading");
}

TEST_F(TemporaryBundle, TheLanguageOfLANGComesFirstAndEnglishFillsItsGaps)
{
    ScopedLanguage const lang("de_DE.UTF-8");
    auto const bundle = Create(mBundlePath);
    ASSERT_TRUE(bundle);
    EXPECT_EQ(Localized(bundle.get(), "Loading"), "L\u00e4dt\u2026");
    EXPECT_EQ(Localized(bundle.get(), "OnlyEnglish"), "English only");
    EXPECT_EQ(Resource(bundle.get(), "Only", "png", nullptr), "Contents/Resources/de.lproj/Only.png");
}

TEST_F(TemporaryBundle, AMalformedTableIsReportedOnceAndEveryLookupFallsBack)
{
    auto const bundle = Create(mBundlePath);
    ASSERT_TRUE(bundle);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Localized(bundle.get(), "Good", nullptr, "Broken"), "Good");
    EXPECT_EQ(Localized(bundle.get(), "Bad", "fallback", "Broken"), "fallback");
    std::string const report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("Broken.strings"), std::string::npos) << report;
    EXPECT_EQ(report.find("Broken.strings"), report.rfind("Broken.strings")) << report;
}

TEST_F(TemporaryBundle, OnlyFoldersWithAnInfoListAreBundlesAndADamagedOneReadsEmpty)
{
    fs::create_directories(mFolder / "Plain");
    EXPECT_FALSE(Create(mFolder / "Plain"));
    EXPECT_FALSE(Create(mFolder / "Missing"));

    fs::create_directories(mFolder / "Flat.twdevice");
    WriteFile(mFolder / "Flat.twdevice" / "Info.plist",
        "<plist><dict><key>TWDeviceName</key><string>GPS</string></dict></plist>");
    auto const flat = Create(mFolder / "Flat.twdevice");
    ASSERT_TRUE(flat);
    EXPECT_TRUE(CFBundleGetValueForInfoDictionaryKey(flat.get(), CFSTR("TWDeviceName")));

    fs::create_directories(mFolder / "Damaged.twmap" / "Contents");
    WriteFile(mFolder / "Damaged.twmap" / "Contents" / "Info.plist", "<plist><dict><key>x</key></dict>");
    testing::internal::CaptureStderr();
    auto const damaged = Create(mFolder / "Damaged.twmap");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Info.plist"), std::string::npos);
    ASSERT_TRUE(damaged);
    ASSERT_TRUE(CFBundleGetInfoDictionary(damaged.get()));
    EXPECT_EQ(CFDictionaryGetCount(CFBundleGetInfoDictionary(damaged.get())), 0);
    EXPECT_EQ(CFBundleGetIdentifier(damaged.get()), nullptr);
}

TEST_F(TemporaryBundle, TheMainBundleCanBeRenamedAndTheOldOneStaysUsable)
{
    CFBundleRef const before = CFBundleGetMainBundle();
    tw::cf::SetMainBundlePath(mBundlePath.string());
    EXPECT_EQ(tw::cf::ToUTF8(CFBundleGetIdentifier(CFBundleGetMainBundle())), "com.example.alps");
    EXPECT_EQ(tw::cf::ToUTF8(CFBundleGetIdentifier(before)), "com.tarnwick.tarnwick");
    tw::cf::SetMainBundlePath(TW_BUNDLE_DIR);
    EXPECT_EQ(tw::cf::ToUTF8(CFBundleGetIdentifier(CFBundleGetMainBundle())), "com.tarnwick.tarnwick");
}
