#include "bindings/Source/Bindings/CBKeyValueBinding.h"
#include "bindings/Source/Transforms/CBFromArrayTransform.h"
#include "bindings/Source/Transforms/CBToArrayTransform.h"
#include "bindings/tests/TestObservers.h"

#include <gtest/gtest.h>

using namespace tw::test;

namespace {

// The update periods of a popup: never, daily, weekly.
std::vector<CBValue> Periods() { return { MakeUInt32(0), MakeUInt32(86400), MakeUInt32(604800) }; }

} // namespace

TEST(CBToArrayTransform, IndexPicksTheElementOrTheDefault)
{
    CBToArrayTransform* transform = new CBToArrayTransform(MakeUInt32(999), { MakeUInt32(10), MakeUInt32(20) });
    EXPECT_EQ(transform->Apply(MakeUInt32(1)).GetUInt32(), 20u); // the last element
    EXPECT_EQ(transform->Apply(MakeUInt32(2)).GetUInt32(), 999u); // the array's size: one past it
    EXPECT_EQ(transform->Apply(MakeDouble(0.9)).GetUInt32(), 10u);
    EXPECT_EQ(transform->Apply(MakeUInt32(3)).GetUInt32(), 999u);
    EXPECT_EQ(transform->Apply(MakeSInt32(-1)).GetUInt32(), 999u);

    CBValue text;
    text.SetString(CFSTR("1"), false);
    testing::internal::CaptureStderr();
    EXPECT_EQ(transform->Apply(text).GetUInt32(), 999u);
    std::string const errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReportedConditions(errors), (Texts { "Illegal value type: 9" }));
    EXPECT_NE(errors.find("CBToArrayTransform.cpp, line "), std::string::npos);
    transform->Release();
}

TEST(CBFromArrayTransform, ValueGivesTheFirstEqualIndexOrTheDefault)
{
    CBFromArrayTransform* transform
        = new CBFromArrayTransform(1, { MakeUInt32(5), MakeUInt32(8), MakeUInt32(5), MakeUInt32(8) });
    EXPECT_EQ(transform->Apply(MakeUInt32(8)).GetUInt32(), 1u) << "duplicates give the lower index";
    EXPECT_EQ(transform->Apply(MakeUInt32(5)).GetUInt32(), 0u);
    EXPECT_EQ(transform->Apply(MakeDouble(8.6)).GetUInt32(), 1u) << "numbers match by integer value";
    EXPECT_EQ(transform->Apply(MakeUInt32(6)).GetUInt32(), 1u);
    transform->Release();

    testing::internal::CaptureStderr();
    {
        CBFromArrayTransform held(0, {});
    }
    EXPECT_EQ(ReportedConditions(testing::internal::GetCapturedStderr()), (Texts { "mRefCount == 0" }));
}

TEST(CBFromArrayTransform, PopupFollowsAPreferenceThroughTheArrayPair)
{
    CBKeyValueBinding popup, prefs;
    prefs.SetKeyPathValue("UpdatePeriod", MakeUInt32(604800), false);
    ASSERT_EQ(popup.Bind("value", &prefs, "UpdatePeriod", new CBFromArrayTransform(0, Periods()),
                  new CBToArrayTransform(MakeUInt32(0), Periods())),
        noErr);
    EXPECT_EQ(popup.GetKeyPathValue("value").GetUInt32(), 2u);
    EXPECT_EQ(prefs.GetKeyPathValue("UpdatePeriod").GetUInt32(), 604800u);

    popup.SetKeyPathValue("value", MakeUInt32(1), false);
    EXPECT_EQ(prefs.GetKeyPathValue("UpdatePeriod").GetUInt32(), 86400u);
    prefs.SetKeyPathValue("UpdatePeriod", MakeUInt32(0), false);
    EXPECT_EQ(popup.GetKeyPathValue("value").GetUInt32(), 0u);
}
