#include "PlistTestSupport.h"
#include "corefoundation/CFPreferences.h"
#include "corefoundation/CFURL.h"
#include "tests/support/TestSupport.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace tw::test;
namespace fs = std::filesystem;

namespace {

CFStringRef const kDomain = CFSTR("com.example.preferences");
char const* const kChildVariable = "TW_PREFERENCES_CHILD_CONFIG";

// Points XDG_CONFIG_HOME at a fresh folder and forgets every cached domain.
class Preferences : public testing::Test {
protected:
    void SetUp() override
    {
        if (char const* old = std::getenv("XDG_CONFIG_HOME"))
            mOldConfig = old;
        setenv("XDG_CONFIG_HOME", Config().c_str(), 1);
        tw::cf::ResetPreferencesForTesting();
    }

    void TearDown() override
    {
        tw::cf::ResetPreferencesForTesting();
        mOldConfig ? setenv("XDG_CONFIG_HOME", mOldConfig->c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    }

    fs::path Config() const { return mFolder / "config"; }
    fs::path File() const { return Config() / "com.example.preferences.plist"; }

    std::vector<std::string> Leftovers() const
    {
        std::vector<std::string> found;
        std::error_code ec;
        for (fs::directory_iterator it(Config(), ec), end; !ec && it != end; it.increment(ec)) {
            if (it->path().filename().string().find(".tmp-") != std::string::npos)
                found.push_back(it->path().filename());
        }
        return found;
    }

    TempFolder mFolder;
    std::optional<std::string> mOldConfig;
};

void Set(char const* key, CFTypeRef value, CFStringRef domain = kDomain)
{
    Owned<CFStringRef> const k(tw::cf::CreateString(key));
    CFPreferencesSetAppValue(k.get(), value, domain);
}

std::string Get(char const* key, CFStringRef domain = kDomain)
{
    Owned<CFStringRef> const k(tw::cf::CreateString(key));
    Owned<CFPropertyListRef> const value(CFPreferencesCopyAppValue(k.get(), domain));
    return value ? Canonical(value.get()) : "(absent)";
}

Owned<CFNumberRef> Integer(SInt32 value)
{
    return Owned<CFNumberRef>(CFNumberCreate(nullptr, kCFNumberSInt32Type, &value));
}

Owned<CFStringRef> Text(char const* text) { return Owned<CFStringRef>(tw::cf::CreateString(text)); }

} // namespace

TEST_F(Preferences, ValuesAreCopiedVisibleAtOnceAndRemovedByNull)
{
    Set("Name", Text("Tarnwick").get());
    EXPECT_EQ(Get("Name"), "\"Tarnwick\"");
    Owned<CFPropertyListRef> const copy(CFPreferencesCopyAppValue(CFSTR("Name"), kDomain));
    EXPECT_GE(CFGetRetainCount(copy.get()), 2) << "held by the domain and by the caller";

    CFMutableArrayRef list = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    CFArrayAppendValue(list, CFSTR("first"));
    Set("List", list);
    CFArrayAppendValue(list, CFSTR("added after set"));
    CFRelease(list);
    EXPECT_EQ(Get("List"), "[\"first\"]");

    Owned<CFArrayRef> const keys(CFPreferencesCopyKeyList(kDomain, nullptr, nullptr));
    EXPECT_EQ(Canonical(keys.get()), "[\"List\",\"Name\"]");

    Set("Name", nullptr);
    EXPECT_EQ(Get("Name"), "(absent)");
    EXPECT_FALSE(fs::exists(File())) << "nothing is written before synchronize";
}

TEST_F(Preferences, SynchronizeWritesAFilePlistlibReads)
{
    Set("Count", Integer(7).get());
    Set("Flag", kCFBooleanTrue);
    Set("Name", Text("Z\u00fcrich").get());
    Owned<CFDateRef> const date(CFDateCreate(nullptr, 86400));
    Set("When", date.get());
    ASSERT_TRUE(CFPreferencesAppSynchronize(kDomain));
    EXPECT_TRUE(Leftovers().empty());

    std::string output;
    EXPECT_EQ(
        RunCommand("python3 '" TW_TEST_DATA_DIR "/plist/canonical.py' dump '" + File().string() + "'", &output), 0);
    EXPECT_EQ(output, "{\"Count\":i7,\"Flag\":true,\"Name\":\"Z\\u00fcrich\",\"When\":t86400}\n");
}

// Run only as the child of AnotherProcessReadsAndChangesWhatThisOneWrote.
TEST(PreferencesChild, DISABLED_ReadsTheParentsValuesAndChangesOne)
{
    char const* config = std::getenv(kChildVariable);
    if (!config)
        GTEST_SKIP() << "only run by the parent test";
    setenv("XDG_CONFIG_HOME", config, 1);
    tw::cf::ResetPreferencesForTesting();
    EXPECT_EQ(Get("Count"), "i41");
    EXPECT_EQ(Get("Name"), "\"Tarnwick \\u2713\"");
    Set("Count", Integer(42).get());
    EXPECT_TRUE(CFPreferencesAppSynchronize(kDomain));
}

TEST_F(Preferences, AnotherProcessReadsAndChangesWhatThisOneWrote)
{
    Set("Count", Integer(41).get());
    Set("Name", Text("Tarnwick \u2713").get());
    ASSERT_TRUE(CFPreferencesAppSynchronize(kDomain));

    std::error_code ec;
    fs::path const self = fs::read_symlink("/proc/self/exe", ec);
    std::string output;
    int const status = RunCommand(std::string(kChildVariable) + "='" + Config().string() + "' '" + self.string()
            + "' --gtest_also_run_disabled_tests --gtest_filter=PreferencesChild.* 2>&1",
        &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;

    tw::cf::ResetPreferencesForTesting();
    EXPECT_EQ(Get("Count"), "i42");
    EXPECT_EQ(Get("Name"), "\"Tarnwick \\u2713\"");
}

TEST_F(Preferences, AFailedWriteLeavesTheOldFileWholeAndKeepsTheChange)
{
    Set("Small", Integer(1).get());
    ASSERT_TRUE(CFPreferencesAppSynchronize(kDomain));
    std::string const before = ReadFile(File());

    // A file-size limit makes the write fail part way, as a full disk would; it binds root too.
    Set("Big", Text(std::string(200000, 'x').c_str()).get());
    rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit const small { 65536, old.rlim_max };
    auto const oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    testing::internal::CaptureStderr();
    bool const written = CFPreferencesAppSynchronize(kDomain);
    std::string const report = testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_NE(report.find("not saved"), std::string::npos) << report;
    EXPECT_EQ(ReadFile(File()), before);
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_EQ(Get("Big").size(), 200002u) << "the change stays in memory";

    ASSERT_TRUE(CFPreferencesAppSynchronize(kDomain)) << "and is written once writing works again";
    tw::cf::ResetPreferencesForTesting();
    EXPECT_EQ(Get("Big").size(), 200002u);
}

TEST_F(Preferences, AFolderInTheWayOfTheFileFailsTheSynchronize)
{
    fs::create_directories(File());
    testing::internal::CaptureStderr();
    Set("Key", Integer(1).get());
    EXPECT_FALSE(CFPreferencesAppSynchronize(kDomain));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(fs::is_directory(File()));
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(Preferences, ADamagedFileReadsAsEmptyAndIsReplacedOnlyByAChange)
{
    fs::create_directories(Config());
    std::string const damaged = "<plist><dict><key>Kept</key><string>half";
    WriteFile(File(), damaged);

    testing::internal::CaptureStderr();
    EXPECT_EQ(Get("Kept"), "(absent)");
    EXPECT_EQ(Get("Other"), "(absent)");
    EXPECT_TRUE(CFPreferencesAppSynchronize(kDomain));
    std::string const report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("damaged"), std::string::npos) << report;
    EXPECT_EQ(report.find("damaged"), report.rfind("damaged")) << "reported once: " << report;
    EXPECT_EQ(ReadFile(File()), damaged) << "reading and an idle synchronize leave it alone";

    Set("New", Integer(3).get());
    ASSERT_TRUE(CFPreferencesAppSynchronize(kDomain));
    EXPECT_EQ(Canonical(ParsePlist(ReadFile(File())).get()), "{\"New\":i3}");
}

TEST_F(Preferences, BooleanAndIntegerGettersAcceptNumbersAndStrings)
{
    double const half = 0.5, huge = 1e300;
    Owned<CFNumberRef> const realHalf(CFNumberCreate(nullptr, kCFNumberFloat64Type, &half));
    Owned<CFNumberRef> const realHuge(CFNumberCreate(nullptr, kCFNumberFloat64Type, &huge));
    struct Case {
        char const* key;
        CFTypeRef value;
        int boolean; // -1: not valid as a Boolean
        long integer; // LONG_MIN: not valid as an integer
    };
    Case const cases[] = {
        { "true", kCFBooleanTrue, 1, 1 },
        { "false", kCFBooleanFalse, 0, 0 },
        { "one", Integer(1).release(), 1, 1 },
        { "zero", Integer(0).release(), 0, 0 },
        { "minus", Integer(-12).release(), 1, -12 },
        { "half", realHalf.get(), 1, 0 },
        { "huge", realHuge.get(), 1, LONG_MIN },
        { "YES", Text("YES").release(), 1, LONG_MIN },
        { "True", Text("True").release(), 1, LONG_MIN },
        { "no", Text("no").release(), 0, LONG_MIN },
        { "FALSE", Text("FALSE").release(), 0, LONG_MIN },
        { "digits", Text("-250").release(), -1, -250 },
        { "words", Text("maybe").release(), -1, LONG_MIN },
        { "digits and words", Text("12abc").release(), -1, LONG_MIN },
        { "data", CFDataCreate(nullptr, nullptr, 0), -1, LONG_MIN },
    };
    for (Case const& c : cases) {
        Set(c.key, c.value);
        Owned<CFStringRef> const key(tw::cf::CreateString(c.key));
        Boolean valid = true;
        Boolean const boolean = CFPreferencesGetAppBooleanValue(key.get(), kDomain, &valid);
        EXPECT_EQ(valid ? int(boolean) : -1, c.boolean) << c.key;
        CFIndex const integer = CFPreferencesGetAppIntegerValue(key.get(), kDomain, &valid);
        EXPECT_EQ(valid ? integer : LONG_MIN, c.integer) << c.key;
        if (c.value != kCFBooleanTrue && c.value != kCFBooleanFalse && c.value != realHalf.get()
            && c.value != realHuge.get())
            CFRelease(c.value);
    }
    Boolean valid = true;
    EXPECT_FALSE(CFPreferencesGetAppBooleanValue(CFSTR("absent"), kDomain, &valid));
    EXPECT_FALSE(valid);
}

TEST_F(Preferences, TheCurrentApplicationIsTheMainBundlesIdentifier)
{
    Set("Key", Integer(5).get(), kCFPreferencesCurrentApplication);
    EXPECT_EQ(Get("Key", CFSTR("com.tarnwick.tarnwick")), "i5");
    ASSERT_TRUE(CFPreferencesAppSynchronize(kCFPreferencesCurrentApplication));
    EXPECT_TRUE(fs::is_regular_file(Config() / "com.tarnwick.tarnwick.plist"));
}

TEST_F(Preferences, WithoutXDGConfigHomeTheFileGoesToDotConfig)
{
    char const* oldHome = std::getenv("HOME");
    std::string const savedHome = oldHome ? oldHome : "";
    setenv("HOME", mFolder.Path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    Set("Key", Integer(1).get());
    bool const written = CFPreferencesAppSynchronize(kDomain);
    oldHome ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");
    EXPECT_TRUE(written);
    EXPECT_TRUE(fs::is_regular_file(mFolder / ".config" / "com.example.preferences.plist"));
}

TEST_F(Preferences, IdsThatAreNoFileNameAndValuesThatAreNoPropertyListAreRefused)
{
    testing::internal::CaptureStderr();
    for (CFStringRef id : { CFSTR("../escape"), CFSTR(""), CFSTR(".hidden"), CFSTR("a/b") }) {
        Set("Key", Integer(1).get(), id);
        EXPECT_EQ(Get("Key", id), "(absent)") << tw::cf::ToUTF8(id);
        EXPECT_FALSE(CFPreferencesAppSynchronize(id)) << tw::cf::ToUTF8(id);
    }
    Owned<CFURLRef> const url(CFURLCreateWithString(nullptr, CFSTR("https://example.com/"), nullptr));
    Set("Link", url.get());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Get("Link"), "(absent)");
    EXPECT_FALSE(fs::exists(mFolder / "escape.plist"));
    EXPECT_FALSE(fs::exists(Config()));
}
