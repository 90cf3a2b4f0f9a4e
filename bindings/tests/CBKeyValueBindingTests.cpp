#include "bindings/Source/Bindings/CBKeyValueBinding.h"
#include "bindings/Source/Bindings/CBindable.h"
#include "bindings/Source/Transforms/CBValueTransform.h"
#include "bindings/tests/TestObservers.h"

#include <gtest/gtest.h>
#include <memory>

using namespace tw::test;

namespace {

// Adds a constant to numbers and counts its own destructions.
class OffsetTransform : public CBValueTransform {
public:
    OffsetTransform(SInt32 offset, int* destroyed)
        : mOffset(offset)
        , mDestroyed(destroyed)
    {
    }
    ~OffsetTransform() override { ++*mDestroyed; }
    CBValue Apply(CBValue const& theValue) override
    {
        return theValue.IsNumber() ? CBValue(UInt32(theValue.GetSInt32() + mOffset)) : theValue;
    }

private:
    SInt32 mOffset;
    int* mDestroyed;
};

UInt32 Read(CBKeyValueStore const& store, char const* key) { return store.GetKeyPathValue(key).GetUInt32(); }

} // namespace

TEST(CBKeyValueBinding, TwoWayBindingFollowsBothWaysWithoutEcho)
{
    CBKeyValueBinding window, prefs;
    RecordingObserver windowWatch, prefsWatch;
    prefs.SetKeyPathValue("PaletteVisible", MakeUInt32(1), false);
    prefs.ObserveKeyPathValue("PaletteVisible", &prefsWatch);
    ASSERT_EQ(window.Bind("visible", &prefs, "PaletteVisible", nullptr, nullptr), noErr);
    EXPECT_EQ(Read(window, "visible"), 1u) << "the binding side takes the other side's value";
    EXPECT_TRUE(prefsWatch.mEvents.empty()) << "and does not write it back";

    window.ObserveKeyPathValue("visible", &windowWatch);
    window.SetKeyPathValue("visible", MakeUInt32(0), false);
    EXPECT_EQ(Read(prefs, "PaletteVisible"), 0u);
    prefs.SetKeyPathValue("PaletteVisible", MakeUInt32(1), false);
    EXPECT_EQ(Read(window, "visible"), 1u);
    EXPECT_EQ(windowWatch.mEvents.size(), 4u) << "each change heard once, no echo";
    EXPECT_EQ(prefsWatch.mEvents.size(), 4u);

    CBKeyValueBinding label, empty;
    label.SetKeyPathValue("title", MakeUInt32(3), false);
    ASSERT_EQ(label.Bind("title", &empty, "Missing", nullptr, nullptr), noErr);
    EXPECT_EQ(Read(label, "title"), 3u) << "nothing stored on the other side leaves this side alone";
}

TEST(CBKeyValueBinding, FollowerOnlyPullsAndOnlyTheFollowedSideIsAsked)
{
    class MenuLike : public CBKeyValueBinding {
    public:
        bool IsBindable(CBString const&) override { return false; }
    };
    CBKeyValueBinding a, b;
    MenuLike menu;
    EXPECT_EQ(a.Bind(kKeyAnyValue, &b, "k", nullptr, nullptr), paramErr);
    EXPECT_EQ(a.Bind("k", &b, kKeyAnyValue, nullptr, nullptr), paramErr);
    EXPECT_EQ(a.BindTo("k", &b, kKeyAnyValue, nullptr), paramErr);
    EXPECT_EQ(a.BindTo(kKeyAnyValue, &b, "k", nullptr), noErr);
    EXPECT_EQ(a.Bind("visible", &menu, "mark", nullptr, nullptr), paramErr);
    EXPECT_EQ(menu.BindTo("mark", &a, "visible", nullptr), noErr);
    a.SetKeyPathValue("visible", MakeUInt32(1), false);
    EXPECT_EQ(Read(menu, "mark"), 1u);
    menu.SetKeyPathValue("mark", MakeUInt32(2), false);
    EXPECT_EQ(Read(a, "visible"), 1u) << "a follower only pulls";
}

TEST(CBKeyValueBinding, TwoKeysBoundToOneKeyUpdateOnlyTheFirstInKeyOrder)
{
    CBKeyValueBinding view, source;
    ASSERT_EQ(view.BindTo("b", &source, "k", nullptr), noErr);
    ASSERT_EQ(view.BindTo("a", &source, "k", nullptr), noErr);
    source.SetKeyPathValue("k", MakeUInt32(5), false);
    EXPECT_EQ(Read(view, "a"), 5u);
    EXPECT_FALSE(view.GetKeyPathValue("b").IsValid());

    // The shared observation outlives the first of the two entries.
    ASSERT_EQ(view.Unbind("a", nullptr), noErr);
    source.SetKeyPathValue("k", MakeUInt32(6), false);
    EXPECT_EQ(Read(view, "b"), 6u);
}

TEST(CBKeyValueBinding, UnbindingEitherSideRemovesBothDirectionsQuietly)
{
    for (bool fromOtherSide : { false, true }) {
        CBKeyValueBinding a, b;
        ASSERT_EQ(a.Bind("x", &b, "y", nullptr, nullptr), noErr);
        testing::internal::CaptureStderr();
        EXPECT_EQ(fromOtherSide ? b.Unbind("y", &a) : a.Unbind("x", &b), noErr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_FALSE(a.IsObserving("x", &b));
        EXPECT_FALSE(b.IsObserving("y", &a));
        a.SetKeyPathValue("x", MakeUInt32(1), false);
        EXPECT_FALSE(b.GetKeyPathValue("y").IsValid());
    }
    CBKeyValueBinding follower, followed;
    ASSERT_EQ(follower.BindTo("x", &followed, "y", nullptr), noErr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(follower.Unbind("x", nullptr), noErr);
    EXPECT_EQ(follower.Unbind("x", nullptr), paramErr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a one-way partner has no entry to remove";
    EXPECT_FALSE(followed.IsObserving("y", &follower));
}

TEST(CBKeyValueBinding, TransformsAreReleasedExactlyOnceMadeOrRefused)
{
    int destroyed = 0;
    {
        CBKeyValueBinding a, b, c;
        ASSERT_EQ(a.Bind("x", &b, "y", new OffsetTransform(1, &destroyed), new OffsetTransform(-1, &destroyed)), noErr);
        ASSERT_EQ(c.BindTo("z", &a, "x", new OffsetTransform(10, &destroyed)), noErr);
        EXPECT_EQ(a.Bind(kKeyAnyValue, &b, "w", new OffsetTransform(0, &destroyed), nullptr), paramErr);
        testing::internal::CaptureStderr();
        EXPECT_EQ(a.Bind("x", nullptr, "y", new OffsetTransform(0, &destroyed), nullptr), paramErr);
        EXPECT_EQ(
            ReportedConditions(testing::internal::GetCapturedStderr()), (Texts { "boundTo != NULL", "Error -50" }));
        EXPECT_EQ(destroyed, 2);

        b.SetKeyPathValue("y", MakeUInt32(4), false);
        EXPECT_EQ(Read(a, "x"), 5u);
        EXPECT_EQ(Read(c, "z"), 15u);
        a.SetKeyPathValue("x", MakeUInt32(8), false);
        EXPECT_EQ(Read(b, "y"), 7u);

        EXPECT_EQ(b.Unbind("y", &a), noErr);
        EXPECT_EQ(destroyed, 4) << "both directions' transforms";
        testing::internal::CaptureStderr();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "no reference count report";
    EXPECT_EQ(destroyed, 5);
}

TEST(CBKeyValueBinding, NonInverseTransformsStopAtTheDepthGuard)
{
    int destroyed = 0;
    CBKeyValueBinding a, b;
    ASSERT_EQ(a.Bind("x", &b, "y", new OffsetTransform(1, &destroyed), new OffsetTransform(1, &destroyed)), noErr);
    testing::internal::CaptureStderr();
    a.SetKeyPathValue("x", MakeUInt32(0), true);
    EXPECT_EQ(ReportedConditions(testing::internal::GetCapturedStderr()), (Texts { "sUpdateDepth < kMaxUpdateDepth" }));
    EXPECT_GT(Read(a, "x") + Read(b, "y"), 10u) << "the exchange ran for a while";
}

TEST(CBKeyValueBinding, PartnersForgetABindingThatGoes)
{
    CBKeyValueBinding menu, c;
    int destroyed = 0;
    auto window = std::make_unique<CBKeyValueBinding>();
    CBKeyValueBinding* const windowAddress = window.get();
    window->SetKeyPathValue("visible", MakeUInt32(1), false);
    ASSERT_EQ(menu.BindTo("mark", window.get(), "visible", new OffsetTransform(0, &destroyed)), noErr);
    ASSERT_EQ(c.Bind("z", window.get(), "visible", nullptr, nullptr), noErr);
    window.reset();

    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(c.AmObserving(windowAddress, "visible"));
    c.SetKeyPathValue("z", MakeUInt32(4), false); // must not reach the destroyed window
    testing::internal::CaptureStderr();
    EXPECT_EQ(menu.Unbind("mark", nullptr), paramErr) << "the one-way entry went with the window";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    CBKeyValueBinding next;
    ASSERT_EQ(menu.BindTo("mark", &next, "visible", nullptr), noErr);
    next.SetKeyPathValue("visible", MakeUInt32(0), false);
    EXPECT_EQ(Read(menu, "mark"), 0u);
}

TEST(CBKeyValueBinding, BindingDestroyedDuringAPassIsNotCalledAgain)
{
    // A handler closes a panel while a change is carried; the panel's binding observes
    // the same key and must not be reached after its destruction.
    CBKeyValueBinding prefs;
    auto panel = std::make_unique<CBKeyValueBinding>();
    RecordingObserver closer;
    prefs.ObserveKeyPathValue("Units", &closer);
    ASSERT_EQ(panel->Bind("value", &prefs, "Units", nullptr, nullptr), noErr);
    prefs.ObserveKeyPathValue(kKeyAnyValue, panel.get());
    closer.mOnChanged = [&](CBKeyValueStore const*, CBString const&) { panel.reset(); };

    prefs.SetKeyPathValue("Units", MakeUInt32(2), false);
    EXPECT_EQ(panel, nullptr);
    EXPECT_EQ(closer.mEvents, (Texts { "changing Units", "changed Units" }));
}

namespace {

class Zoomable : public CBindable {
public:
    void ValueChanged(CBKeyValueStore const*, CBString const& theKeyPath) override
    {
        mHeard.push_back(std::string(theKeyPath.GetUTF8()) + (IsIgnoringChanges() ? " ignored" : ""));
    }
    Texts mHeard;
};

} // namespace

TEST(CBindable, HearsItsBoundKeysAndLeavesTheFlagToTheSubclass)
{
    CBKeyValueBinding prefs;
    auto view = std::make_unique<Zoomable>();
    CBKeyValueBinding* const bindings = view->GetBindings();
    ASSERT_EQ(bindings->Bind("zoom", &prefs, "Zoom", nullptr, nullptr), noErr);
    prefs.SetKeyPathValue("Zoom", MakeUInt32(3), false);
    view->SetIgnoreChanges(true);
    bindings->SetKeyPathValue("zoom", MakeUInt32(4), false);
    EXPECT_EQ(view->mHeard, (Texts { "zoom", "zoom ignored" }));
    EXPECT_EQ(Read(prefs, "Zoom"), 4u) << "the bindings carry the change whatever the flag";

    view.reset();
    EXPECT_FALSE(prefs.AmObserving(bindings, "zoom"));
    prefs.SetKeyPathValue("Zoom", MakeUInt32(5), false); // must not reach the destroyed view
}

TEST(CBKeyValueBinding, TraceIndentsNestedUpdates)
{
    CBKeyValueBinding a, b;
    CBDebugObject::SetLogging(true);
    testing::internal::CaptureStderr();
    EXPECT_EQ(a.Bind("x", &b, "y", nullptr, nullptr), noErr);
    a.SetKeyPathValue("x", MakeUInt32(1), false);
    a.UnbindAll();
    std::string const trace = testing::internal::GetCapturedStderr();
    CBDebugObject::SetLogging(false);

    std::string const binding = std::string("CB: Binding ") + a.GetDebugInfo().GetUTF8() + ".x to ";
    EXPECT_EQ(trace.rfind(binding, 0), 0u) << trace;
    EXPECT_NE(trace.find("CB:     Updating " + std::string(b.GetDebugInfo().GetUTF8()) + ".y\n"), std::string::npos);
    EXPECT_NE(
        trace.find("CB:             Updating " + std::string(a.GetDebugInfo().GetUTF8()) + ".x\n"), std::string::npos)
        << "the echo arrives four levels deep and stops there";
    EXPECT_NE(trace.find("CB: Unbinding "), std::string::npos);
}
