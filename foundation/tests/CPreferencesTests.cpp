#include "foundation/CMsgListener.h"
#include "foundation/CPreferences.h"
#include "foundation/StCFRef.h"
#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Binding calls and broadcasts, in the order they happen.
std::vector<std::string>* sBindingEvents = nullptr;

class KeyRecorder : public CMsgListener {
public:
    void DoMessage(UInt32 message, void* parameter) override
    {
        if (message == CPreferences::kMsgPreferenceChanged)
            sBindingEvents->push_back(std::string("pfdc:") + static_cast<CString*>(parameter)->GetUTF8());
    }
};

// A stand-in for the bindings library's preference binding.
int sBindingsAlive = 0;

CBPreferenceBinding* CreateBinding(CFStringRef)
{
    ++sBindingsAlive;
    return reinterpret_cast<CBPreferenceBinding*>(&sBindingsAlive);
}
void BindingValueDidChange(CBPreferenceBinding*, CString const& key)
{
    sBindingEvents->push_back(std::string("binding:") + key.GetUTF8());
}
void DestroyBinding(CBPreferenceBinding*) { --sBindingsAlive; }

CPreferences::BindingSupport const kFakeBindingSupport { CreateBinding, BindingValueDidChange, DestroyBinding };

constexpr char kChildVariable[] = "TW_PREFS_PARENT_CONFIG";

} // namespace

TEST(CPreferences, TypedValuesWithDefaults)
{
    CPreferences prefs;
    EXPECT_FALSE(prefs.PrefExists("MapUnits"));
    EXPECT_EQ(prefs.GetInteger("MapUnits", 1), 1);
    prefs.SetInteger("MapUnits", 2);
    EXPECT_TRUE(prefs.PrefExists("MapUnits"));
    EXPECT_EQ(prefs.GetInteger("MapUnits", 1), 2);

    prefs.SetFloat("Ratio", 0.3);
    EXPECT_DOUBLE_EQ(prefs.GetFloat("Ratio", 1), 0.3);
    prefs.SetString("Name", "Grüße");
    EXPECT_STREQ(prefs.GetString("Name", "x").GetUTF8(), "Grüße");
    EXPECT_STREQ(prefs.GetString("Ratio", "not text").GetUTF8(), "not text");
    prefs.SetDate("SoftwareUpdatePeriod", CDateTime(86400));
    EXPECT_EQ(prefs.GetDate("SoftwareUpdatePeriod", CDateTime()), CDateTime(86400));
    EXPECT_EQ(prefs.GetDate("Name", CDateTime(5)), CDateTime(5));
    prefs.RemovePref("Name");
    EXPECT_FALSE(prefs.PrefExists("Name"));
}

TEST(CPreferences, BooleansAcceptNumbersAndTextAndIntegersAcceptBooleans)
{
    CPreferences prefs;
    prefs.SetInteger("ShowGrid", 1); // what a bound check box writes
    EXPECT_TRUE(prefs.GetBoolean("ShowGrid", false));
    prefs.SetInteger("ShowGrid", 0);
    EXPECT_FALSE(prefs.GetBoolean("ShowGrid", true));
    prefs.SetString("ResizeOnZoom", "YES");
    EXPECT_TRUE(prefs.GetBoolean("ResizeOnZoom", false));
    prefs.SetString("ResizeOnZoom", "perhaps");
    EXPECT_TRUE(prefs.GetBoolean("ResizeOnZoom", true)); // unreadable: the default
    prefs.SetBoolean("DeviceLog", true);
    EXPECT_EQ(prefs.GetInteger("DeviceLog", 0), 1);
    prefs.SetFloat("Huge", 1e12);
    EXPECT_EQ(prefs.GetInteger("Huge", 0), INT32_MAX);
}

TEST(CPreferences, ColourThatDoesNotParseGivesTheDefault)
{
    CPreferences prefs;
    ColourRGBA const fallback { 0.1f, 0.2f, 0.3f, 1 };
    prefs.SetColour("StyleWaypoint.ColourFill", ColourRGBA { 1, 0.5f, 0.25f, 0.75f });
    EXPECT_EQ(prefs.GetColour("StyleWaypoint.ColourFill", fallback), (ColourRGBA { 1, 0.5f, 0.25f, 0.75f }));
    for (char const* bad : { "red", "1 0.5", "", "1 nan 0 1" }) {
        prefs.SetString("StyleWaypoint.ColourFrame", bad);
        EXPECT_EQ(prefs.GetColour("StyleWaypoint.ColourFrame", fallback), fallback) << bad;
    }
    prefs.SetInteger("StyleWaypoint.ColourFrame", 3);
    EXPECT_EQ(prefs.GetColour("StyleWaypoint.ColourFrame", fallback), fallback);
    prefs.SetString("StyleWaypoint.ColourFrame", "2 -1 0.5 1");
    EXPECT_EQ(prefs.GetColour("StyleWaypoint.ColourFrame", fallback), (ColourRGBA { 1, 0, 0.5f, 1 }));
}

TEST(CPreferences, ArraysAreCopiedInAndRetainedOut)
{
    CPreferences prefs;
    EXPECT_EQ(prefs.GetArray("RecentItems", nullptr), nullptr);
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    CFArrayAppendValue(array, CFSTR("one"));
    prefs.SetArray("RecentItems", array);
    CFArrayAppendValue(array, CFSTR("two")); // later changes of the caller's array stay out
    StCFRef<CFArrayRef> stored(prefs.GetArray("RecentItems", nullptr));
    ASSERT_TRUE(stored.IsValid());
    EXPECT_EQ(CFArrayGetCount(stored), 1);
    StCFRef<CFArrayRef> fallback(prefs.GetArray("Missing", array));
    EXPECT_EQ(fallback.Get(), array);
    CFRelease(array);
}

TEST(CPreferences, SettersRewriteTheBindingThenBroadcastTheKey)
{
    std::vector<std::string> events;
    sBindingEvents = &events;
    CPreferences::SetBindingSupport(&kFakeBindingSupport);
    {
        CPreferences prefs;
        KeyRecorder recorder;
        prefs.AddListener(&recorder);
        prefs.SetBoolean("GlobalDocument", true); // no binding made yet: only the broadcast
        ASSERT_NE(prefs.GetBinding(), nullptr);
        EXPECT_EQ(sBindingsAlive, 1);
        prefs.SetInteger("MapCoordinates", 2);
        prefs.ValueDidChange("Outside");
        EXPECT_EQ(events,
            (std::vector<std::string> { "pfdc:GlobalDocument", "binding:MapCoordinates", "pfdc:MapCoordinates",
                "binding:Outside", "pfdc:Outside" }));
    }
    EXPECT_EQ(sBindingsAlive, 0);
    CPreferences::SetBindingSupport(nullptr);
    CPreferences plain;
    EXPECT_EQ(plain.GetBinding(), nullptr);
}

TEST(CPreferences, ValuesPersistAcrossTwoProcesses)
{
    CPreferences prefs;
    prefs.SetInteger("AppRunCount", 41);
    prefs.SetString("UserName", "Ada");
    prefs.SetColour("Colour", ColourRGBA { 0, 0.5f, 1, 1 });
    ASSERT_EQ(prefs.Flush(), noErr);

    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    exe[n] = 0;
    std::string command = std::string(kChildVariable) + "='" + std::getenv("XDG_CONFIG_HOME") + "' '" + exe
        + "' --gtest_filter=CPreferences.ChildProcessReadsAndWrites 2>&1";
    std::string output;
    ASSERT_EQ(tw::test::RunCommand(command, &output), 0) << output;
    ASSERT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;

    tw::cf::ResetPreferencesForTesting(); // read the file the child wrote
    CPreferences again;
    EXPECT_EQ(again.GetInteger("AppRunCount", 0), 42);
    EXPECT_STREQ(again.GetString("ChildWrote", "").GetUTF8(), "yes");
}

TEST(CPreferences, ChildProcessReadsAndWrites)
{
    char const* parentConfig = std::getenv(kChildVariable);
    if (!parentConfig)
        GTEST_SKIP() << "runs only as the child of ValuesPersistAcrossTwoProcesses";
    setenv("XDG_CONFIG_HOME", parentConfig, 1);
    tw::cf::ResetPreferencesForTesting();
    CPreferences prefs;
    EXPECT_EQ(prefs.GetInteger("AppRunCount", 0), 41);
    EXPECT_STREQ(prefs.GetString("UserName", "").GetUTF8(), "Ada");
    EXPECT_EQ(prefs.GetColour("Colour", ColourRGBA {}), (ColourRGBA { 0, 0.5f, 1, 1 }));
    prefs.SetInteger("AppRunCount", 42);
    prefs.SetString("ChildWrote", "yes");
    EXPECT_EQ(prefs.Flush(), noErr);
}
