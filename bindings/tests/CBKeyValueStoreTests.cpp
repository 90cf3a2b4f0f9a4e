#include "bindings/Source/Core/CBKeyValueStore.h"
#include "bindings/tests/TestObservers.h"

#include <gtest/gtest.h>
#include <memory>

using namespace tw::test;

TEST(CBKeyValueStore, ObserversHearBeforeAndAfterAChangeButNotAnEqualValue)
{
    CBKeyValueStore store;
    RecordingObserver observer;
    store.SetKeyPathValue("scale", MakeDouble(1.2), false);
    store.ObserveKeyPathValue("scale", &observer);
    double before = 0, after = 0;
    observer.mOnChanging
        = [&](CBKeyValueStore const* s, CBString const& key) { before = s->GetKeyPathValue(key).GetDouble(); };
    observer.mOnChanged
        = [&](CBKeyValueStore const* s, CBString const& key) { after = s->GetKeyPathValue(key).GetDouble(); };

    store.SetKeyPathValue("scale", MakeDouble(1.7), false);
    store.SetKeyPathValue("other", MakeUInt32(1), false);
    EXPECT_TRUE(observer.mEvents.empty()) << "1.7 equals 1.2 as a number";
    EXPECT_EQ(store.GetKeyPathValue("scale").GetDouble(), 1.2) << "an equal value is not even stored";

    store.SetKeyPathValue("scale", MakeDouble(1.7), true);
    store.SetKeyPathValue("scale", MakeUInt32(3), false);
    EXPECT_EQ(observer.mEvents, (Texts { "changing scale", "changed scale", "changing scale", "changed scale" }));
    EXPECT_EQ(before, 1.7);
    EXPECT_EQ(after, 3.0);
}

TEST(CBKeyValueStore, AnyKeyObserversHearOnlyKeysThatEverHadAnObserver)
{
    CBKeyValueStore store;
    RecordingObserver any, both;
    store.ObserveKeyPathValue(kKeyAnyValue, &any);
    store.SetKeyPathValue("title", MakeUInt32(1), false);
    EXPECT_TRUE(any.mEvents.empty());

    store.ObserveKeyPathValue("title", &both);
    store.IgnoreKeyPathValue("title", &both);
    store.SetKeyPathValue("title", MakeUInt32(2), false);
    EXPECT_EQ(any.mEvents, (Texts { "changing title", "changed title" }));

    // An observer of the key and of "*" hears each change twice.
    store.ObserveKeyPathValue("title", &both);
    store.ObserveKeyPathValue(kKeyAnyValue, &both);
    store.SetKeyPathValue("title", MakeUInt32(3), false);
    EXPECT_EQ(both.mEvents, (Texts { "changing title", "changing title", "changed title", "changed title" }));
    EXPECT_TRUE(store.HasKey(kKeyAnyValue));
    EXPECT_FALSE(CBKeyValueStore().HasKey("title"));
}

TEST(CBKeyValueStore, EitherSideGoingEndsEveryRegistration)
{
    RecordingObserver observer;
    auto store = std::make_unique<CBKeyValueStore>();
    CBKeyValueStore* const storeAddress = store.get();
    store->ObserveKeyPathValue("a", &observer);
    store->ObserveKeyPathValue(kKeyAnyValue, &observer);
    store.reset();
    EXPECT_FALSE(observer.AmObserving(storeAddress, "a"));
    EXPECT_FALSE(observer.AmObserving(storeAddress, kKeyAnyValue));

    CBKeyValueStore survivor;
    auto transient = std::make_unique<RecordingObserver>();
    RecordingObserver* const observerAddress = transient.get();
    survivor.ObserveKeyPathValue("a", observerAddress);
    transient.reset();
    EXPECT_FALSE(survivor.IsObserving("a", observerAddress));
    survivor.SetKeyPathValue("a", MakeUInt32(1), false); // must not reach the destroyed observer
}

TEST(CBKeyValueStore, MisuseIsReportedAndTheOperationGoesOn)
{
    CBKeyValueStore store;
    RecordingObserver observer;
    testing::internal::CaptureStderr();
    store.ObserveKeyPathValue("k", &observer);
    store.ObserveKeyPathValue("k", &observer);
    store.SetKeyPathValue("k", MakeUInt32(1), false);
    store.IgnoreKeyPathValue("k", &observer);
    store.IgnoreKeyPathValue("k", &observer);
    store.ObserveKeyPathValue("k", nullptr);
    store.SetKeyPathValue("k", MakeUInt32(2), false);
    CBValue const any = store.GetKeyPathValue(kKeyAnyValue);
    Texts const reports = ReportedConditions(testing::internal::GetCapturedStderr());

    EXPECT_EQ(observer.mEvents.size(), 4u) << "registered twice, heard twice";
    EXPECT_FALSE(observer.AmObserving(&store, "k"));
    EXPECT_FALSE(any.IsValid());
    EXPECT_EQ(reports,
        (Texts { "!IsObserving(theKeyPath, theObserver)", "!AmObserving(theStore, theKeyPath)",
            "IsObserving(theKeyPath, theObserver)", "AmObserving(theStore, theKeyPath)", "theObserver != NULL",
            "theKeyName != kKeyAnyValue", "theKeyName != kKeyAnyValue" }));
}

TEST(CBKeyValueStore, OverriddenAccessorsCarryTheValues)
{
    // Keeps its value elsewhere, as the control and preference bindings do.
    class ClampingStore : public CBKeyValueStore {
    public:
        CBValue GetKeyValue(CBString const&) const override { return CBValue(mHeld); }
        void SetKeyValue(CBString const&, CBValue const& theValue) override
        {
            mHeld = std::min(theValue.GetUInt32(), 10u);
        }
        UInt32 mHeld = 0;
    };
    ClampingStore store;
    RecordingObserver observer;
    store.ObserveKeyPathValue("value", &observer);
    store.SetKeyPathValue("value", MakeUInt32(50), false);
    store.SetKeyPathValue("value", MakeUInt32(10), false);
    EXPECT_EQ(store.mHeld, 10u);
    EXPECT_EQ(observer.mEvents.size(), 2u) << "equality is judged against the overridden reading";
}

TEST(CBKeyValueStore, RegistrationChangesDuringAPassFollowTheCopy)
{
    CBKeyValueStore store;
    RecordingObserver first, second, late;
    store.ObserveKeyPathValue("k", &first);
    store.ObserveKeyPathValue("k", &second);
    first.mOnChanged = [&](CBKeyValueStore const*, CBString const&) {
        if (store.IsObserving("k", &second))
            store.IgnoreKeyPathValue("k", &second);
        if (!store.IsObserving("k", &late))
            store.ObserveKeyPathValue("k", &late);
    };

    store.SetKeyPathValue("k", MakeUInt32(1), false);
    EXPECT_EQ(second.mEvents, (Texts { "changing k", "changed k" })) << "stopped during the pass, still called";
    EXPECT_TRUE(late.mEvents.empty()) << "started during the pass, heard from the next change";
    store.SetKeyPathValue("k", MakeUInt32(2), false);
    EXPECT_EQ(second.mEvents.size(), 2u);
    EXPECT_EQ(late.mEvents, (Texts { "changing k", "changed k" }));
}

TEST(CBKeyValueStore, ObserverDestroyedDuringAPassIsNotCalledAgain)
{
    CBKeyValueStore store;
    auto victim = std::make_unique<RecordingObserver>();
    int victimCalls = 0;
    victim->mOnChanged = [&](CBKeyValueStore const*, CBString const&) { victimCalls++; };
    RecordingObserver killer;
    // The victim also observes "*", so it is due at least once after the killer.
    store.ObserveKeyPathValue("k", &killer);
    store.ObserveKeyPathValue("k", victim.get());
    store.ObserveKeyPathValue(kKeyAnyValue, victim.get());
    killer.mOnChanged = [&](CBKeyValueStore const*, CBString const&) { victim.reset(); };
    bool const victimFirst = std::less<CBKeyValueObserver*>()(victim.get(), &killer);

    store.SetKeyPathValue("k", MakeUInt32(1), false);
    EXPECT_EQ(victim, nullptr);
    EXPECT_EQ(victimCalls, victimFirst ? 1 : 0);
}

TEST(CBKeyValueStore, StoreDestroyedDuringAPassEndsThePass)
{
    auto store = std::make_unique<CBKeyValueStore>();
    CBKeyValueStore* const storeAddress = store.get();
    RecordingObserver killer, after;
    store->ObserveKeyPathValue("k", &killer);
    store->ObserveKeyPathValue("k", &after);
    killer.mOnChanging = [&](CBKeyValueStore const*, CBString const&) { store.reset(); };

    store->SetKeyPathValue("k", MakeUInt32(1), false);
    EXPECT_EQ(killer.mEvents, (Texts { "changing k" }));
    EXPECT_TRUE(after.mEvents.empty());
    EXPECT_FALSE(after.AmObserving(storeAddress, "k"));
}
