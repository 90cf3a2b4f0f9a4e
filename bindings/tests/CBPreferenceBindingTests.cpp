#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "bindings/tests/TestObservers.h"
#include "corefoundation/CFPreferences.h"
#include "foundation/CMsgListener.h"
#include "foundation/CPreferences.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tw::test;

namespace {

CFStringRef const kDomain = CFSTR("org.tarnwick.bindingtests");

CFPropertyListRef CopyStored(char const* key)
{
    CFStringRef const name = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
    CFPropertyListRef const value = CFPreferencesCopyAppValue(name, kDomain);
    CFRelease(name);
    return value;
}

void Store(char const* key, CFPropertyListRef value)
{
    CFStringRef const name = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
    CFPreferencesSetAppValue(name, value, kDomain);
    CFRelease(name);
}

CBValue MakeRect(double x, double y, double w, double h)
{
    CBValue value;
    value.SetRect(CGRectMake(x, y, w, h));
    return value;
}

class MessageRecorder : public CMsgListener {
public:
    void DoMessage(UInt32 message, void* parameter) override
    {
        if (message == CPreferences::kMsgPreferenceChanged)
            mKeys.push_back(static_cast<CString const*>(parameter)->GetStdString());
    }
    Texts mKeys;
};

} // namespace

TEST(CBPreferenceBinding, ValuesRoundTripThroughTheDomainByType)
{
    CBPreferenceBinding prefs(kDomain);
    CBValue date(CFDateCreate(nullptr, 1234.5), true);
    CBValue text;
    text.SetString(CFSTR("Ada"), false);
    CBValue point, size;
    point.SetPoint(CGPointMake(1.5, -2));
    size.SetSize(CGSizeMake(640, 480));
    std::vector<std::pair<char const*, CBValue>> const values { { "Flag", MakeBoolean(true) },
        { "Small", MakeSInt32(-7) }, { "Big", MakeSInt64(SInt64(1) << 40) }, { "Real", MakeDouble(2.25) },
        { "When", date }, { "Name", text }, { "Where", point }, { "Size", size },
        { "Bounds", MakeRect(10.5, 20, 300, 200.25) } };
    for (auto const& [key, value] : values)
        prefs.SetKeyPathValue(key, value, false);
    for (auto const& [key, value] : values) {
        CBValue const back = prefs.GetKeyPathValue(key);
        EXPECT_EQ(back.GetType(), value.GetType()) << key;
        EXPECT_EQ(back, value) << key;
    }
    // An unsigned value is stored under its signed reading.
    prefs.SetKeyPathValue("Unsigned", MakeUInt32(0xFFFFFFFF), false);
    EXPECT_EQ(prefs.GetKeyPathValue("Unsigned").GetSInt32(), -1);
    EXPECT_FALSE(prefs.GetKeyPathValue("Absent").IsValid());
}

TEST(CBPreferenceBinding, GeometryIsATaggedLittleEndianRecord)
{
    CBPreferenceBinding prefs(kDomain);
    prefs.SetKeyPathValue("Frame", MakeRect(1, 2, 3, 4), false);
    CFPropertyListRef const stored = CopyStored("Frame");
    ASSERT_NE(stored, nullptr);
    ASSERT_EQ(CFGetTypeID(stored), CFDataGetTypeID());
    CFDataRef const data = static_cast<CFDataRef>(stored);
    ASSERT_EQ(CFDataGetLength(data), 20);
    UInt8 const* bytes = CFDataGetBytePtr(data);
    EXPECT_EQ(std::string(reinterpret_cast<char const*>(bytes), 4), "tcer");
    // 2.0f is 0x40000000: little-endian, its high byte comes last.
    EXPECT_EQ(bytes[8], 0);
    EXPECT_EQ(bytes[11], 0x40);
    CFRelease(stored);

    CBValue size;
    size.SetSize(CGSizeMake(5, 6));
    prefs.SetKeyPathValue("Extent", size, false);
    CFDataRef const sizeData = static_cast<CFDataRef>(CopyStored("Extent"));
    EXPECT_EQ(std::string(reinterpret_cast<char const*>(CFDataGetBytePtr(sizeData)), 4), "ezis");
    for (int i = 12; i < 20; i++)
        EXPECT_EQ(CFDataGetBytePtr(sizeData)[i], 0) << i;
    CFRelease(sizeData);
}

TEST(CBPreferenceBinding, ForeignOrUnsupportedValuesAreReportedAndLoseNothing)
{
    CBPreferenceBinding prefs(kDomain);
    // Text that looks like a rectangle stays text.
    Store("Text", CFSTR("{{1, 2}, {3, 4}}"));
    EXPECT_TRUE(prefs.GetKeyPathValue("Text").IsString());

    prefs.SetKeyPathValue("Kept", MakeSInt32(5), false);
    testing::internal::CaptureStderr();
    prefs.SetKeyValue("Kept", CBValue());
    UInt8 const shortBytes[] = { 't', 'c', 'e', 'r', 0 };
    CFDataRef const shortData = CFDataCreate(nullptr, shortBytes, sizeof shortBytes);
    Store("Short", shortData);
    CFRelease(shortData);
    EXPECT_FALSE(prefs.GetKeyPathValue("Short").IsValid());
    UInt8 otherTag[20] = { 'x', 'x', 'x', 'x' };
    CFDataRef const otherData = CFDataCreate(nullptr, otherTag, sizeof otherTag);
    Store("Other", otherData);
    CFRelease(otherData);
    EXPECT_FALSE(prefs.GetKeyPathValue("Other").IsValid());
    Texts const reports = ReportedConditions(testing::internal::GetCapturedStderr());
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0], "Unsupported value type: 0");
    EXPECT_EQ(reports[1], "Unknown CBData size: 5");
    EXPECT_EQ(reports[2].rfind("Unknown CBData type: ", 0), 0u);
    EXPECT_EQ(prefs.GetKeyPathValue("Kept").GetSInt32(), 5);
}

TEST(CBPreferenceBinding, PreferenceChangesReachObserversAndBoundPartners)
{
    CBPreferenceBinding::InstallPreferencesSupport();
    CPreferences preferences(CString("org.tarnwick.bindingtests"));
    CBPreferenceBinding* const binding = preferences.GetBinding();
    ASSERT_NE(binding, nullptr);
    EXPECT_STREQ(binding->GetDebugInfo().GetUTF8(), "[Preferences org.tarnwick.bindingtests]");

    RecordingObserver observer;
    binding->ObserveKeyPathValue("ShowGrid", &observer);
    CBKeyValueBinding follower;
    follower.BindTo("grid", binding, "ShowGrid", nullptr);
    MessageRecorder messages;
    preferences.AddListener(&messages);

    preferences.SetBoolean("ShowGrid", true);
    EXPECT_EQ(observer.mEvents, (Texts { "changing ShowGrid", "changed ShowGrid" }));
    EXPECT_EQ(follower.GetKeyPathValue("grid"), MakeBoolean(true));
    EXPECT_EQ(messages.mKeys, (Texts { "ShowGrid" }));

    // Written through the binding, the value is what the preferences read.
    binding->SetKeyPathValue("ShowGrid", MakeBoolean(false), false);
    EXPECT_FALSE(preferences.GetBoolean("ShowGrid", true));
    EXPECT_EQ(follower.GetKeyPathValue("grid"), MakeBoolean(false));
    binding->IgnoreKeyPathValue("ShowGrid", &observer);
    preferences.RemoveListener(&messages);
}

TEST(CBPreferenceBinding, ListPreferencesChangeQuietly)
{
    // The recent items are a list: writing them tells no binding and reports nothing.
    CBPreferenceBinding::InstallPreferencesSupport();
    CPreferences preferences(CString("org.tarnwick.bindingtests"));
    RecordingObserver observer;
    preferences.GetBinding()->ObserveKeyPathValue(kKeyAnyValue, &observer);
    CFArrayRef const list = CFArrayCreate(nullptr, nullptr, 0, &kCFTypeArrayCallBacks);
    testing::internal::CaptureStderr();
    preferences.SetArray("RecentItems", list);
    std::string const reports = testing::internal::GetCapturedStderr();
    CFRelease(list);
    EXPECT_EQ(reports, "");
    EXPECT_TRUE(observer.mEvents.empty());
    preferences.GetBinding()->IgnoreKeyPathValue(kKeyAnyValue, &observer);
}

TEST(CBPreferenceBinding, DestructionWritesTheDomainToDisk)
{
    {
        CBPreferenceBinding prefs(CFSTR("org.tarnwick.flushed"));
        prefs.SetKeyPathValue("Count", MakeSInt32(3), false);
    }
    tw::cf::ResetPreferencesForTesting(); // forget what is in memory, read the file
    CBPreferenceBinding again(CFSTR("org.tarnwick.flushed"));
    EXPECT_EQ(again.GetKeyPathValue("Count").GetSInt32(), 3);
}
