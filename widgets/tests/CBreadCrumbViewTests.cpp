#include "WidgetTest.h"
#include "framework/CCarbonEvent.h"
#include "tests/support/InputDriver.h"
#include "tests/support/ScreenProbe.h"
#include "widgets/CBreadCrumbView.h"

#include <deque>
#include <functional>

// The bread crumbs: layout, hover and press through real tracking, the end images, and
// the choice on release.
namespace tw::test {
namespace {

    // Steps run one by one from a timer, for looking at a view while the mouse is still down.
    class Script {
    public:
        explicit Script(std::deque<std::function<void()>> steps)
            : mSteps(std::move(steps))
        {
            InstallEventLoopTimer(GetMainEventLoop(), 0.2, 0.2, &Script::Step, this, &mTimer);
        }
        ~Script() { RemoveEventLoopTimer(mTimer); }

    private:
        static void Step(EventLoopTimerRef, void* data)
        {
            auto* script = static_cast<Script*>(data);
            if (script->mSteps.empty())
                return;
            auto const step = std::move(script->mSteps.front());
            script->mSteps.pop_front();
            step();
        }
        std::deque<std::function<void()>> mSteps;
        EventLoopTimerRef mTimer = nullptr;
    };

    class BreadCrumbs : public WidgetTest {
    protected:
        void SetUp() override
        {
            WidgetTest::SetUp();
            display::WindowServer::ResetForTesting();
            CGRect const frame = CGRectMake(20, 20, 360, 20);
            CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
            init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
            HIObjectRef object = nullptr;
            ASSERT_EQ(HIObjectCreate(CFSTR("com.pellmar.CBreadCrumbView"), init.GetEvent(), &object), noErr);
            HIViewAddSubview(mContent, reinterpret_cast<HIViewRef>(object));
            CFRelease(object);
            mCrumbs = dynamic_cast<CBreadCrumbView*>(CHIObject::GetHIObject(object));
            ASSERT_NE(mCrumbs, nullptr);
            mCrumbs->SetCommandID('regn');
            EventTypeSpec const spec { kEventClassCommand, kEventCommandProcess };
            InstallEventHandler(GetWindowEventTarget(mWindow), CountCommand, 1, &spec, &mCommands, &mHandler);
            ShowWindow(mWindow);
        }
        void TearDown() override
        {
            RemoveEventHandler(mHandler);
            WidgetTest::TearDown();
            display::WindowServer::ResetForTesting();
        }
        static OSStatus CountCommand(EventHandlerCallRef, EventRef event, void* data)
        {
            HICommand command {};
            GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
            if (command.commandID == 'regn')
                ++*static_cast<int*>(data);
            return noErr;
        }
        void Path(std::initializer_list<char const*> titles)
        {
            CStringList list;
            for (char const* title : titles)
                list.Append(CString(title));
            mCrumbs->SetCrumbs(list);
            ProbeWindow(mWindow); // the draw lays the crumbs out
        }
        CGRect Frame(int i) const { return mCrumbs->GetCrumbInfo().at(std::size_t(i)).frame; }
        // The global point in the middle of a crumb (the window's content is at (100, 100)).
        CGPoint Middle(int i) const
        {
            CGRect const f = Frame(i);
            return { 100 + 20 + CGRectGetMidX(f), 100 + 20 + CGRectGetMidY(f) };
        }
        Pixel At(PixelProbe const& probe, double x, double y) const
        {
            CGPoint p { x, y };
            HIViewConvertPoint(&p, mCrumbs->GetHIViewRef(), nullptr);
            return probe.At(int(p.x), int(p.y));
        }

        CBreadCrumbView* mCrumbs = nullptr;
        EventHandlerRef mHandler = nullptr;
        int mCommands = 0;
    };

    TEST_F(BreadCrumbs, EachCrumbStartsSevenPointsBeforeThePreviousEnds)
    {
        CStringList titles { CString("World"), CString("Europe"), CString("France"), CString("Brittany") };
        mCrumbs->SetCrumbs(titles);
        EXPECT_EQ(mCrumbs->GetCrumbs(), titles);
        EXPECT_EQ(mCrumbs->GetMinimumValue(), 0);
        EXPECT_EQ(mCrumbs->GetCurrentValue(), 0);
        EXPECT_EQ(mCrumbs->GetMaximumValue(), 3);
        EXPECT_EQ(mCrumbs->FindCrumb({ 0, 0 }), -1) << "nothing is laid out before the first draw";
        ProbeWindow(mWindow);
        double x = 0;
        for (int i = 0; i < 4; ++i) {
            CGRect const f = Frame(i);
            EXPECT_EQ(f.origin.x, x);
            EXPECT_EQ(f.origin.y, 0);
            EXPECT_EQ(f.size.width, mCrumbs->MeasureText(titles[std::size_t(i)]).width + 28);
            EXPECT_EQ(f.size.height, 20);
            x = CGRectGetMaxX(f) - 7;
        }
        EXPECT_LT(mCrumbs->MeasureText(CString("Brittany")).height, 20) << "titles fit the crumb";
        EXPECT_EQ(mCrumbs->FindCrumb({ CGRectGetMaxX(Frame(0)) - 3, 10 }), 0) << "the overlap is the left crumb's";
        EXPECT_EQ(mCrumbs->FindCrumb({ CGRectGetMaxX(Frame(0)) + 3, 10 }), 1);
        EXPECT_EQ(mCrumbs->FindCrumb({ 355, 10 }), -1) << "past the last crumb";

        mCrumbs->SetCrumbs({});
        EXPECT_EQ(mCrumbs->GetMinimumValue(), 0);
        EXPECT_EQ(mCrumbs->GetCurrentValue(), 0);
        EXPECT_EQ(mCrumbs->GetMaximumValue(), -1);
    }

    TEST_F(BreadCrumbs, HoverFollowsTheMouseAndLeavingClearsIt)
    {
        Path({ "World", "Europe", "France" });
        InputDriver::MouseMove({ 500, 350 });
        InputDriver::MouseMove(Middle(1));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mCrumbs->GetHoverCrumb(), 1);
        InputDriver::MouseMove(Middle(2));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mCrumbs->GetHoverCrumb(), 2);
        InputDriver::MouseMove({ 500, 350 });
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mCrumbs->GetHoverCrumb(), -1);
    }

    TEST_F(BreadCrumbs, ACrumbIsChosenOnlyWhenReleasedOverTheCrumbPressed)
    {
        Path({ "World", "Europe", "France", "Brittany" });
        std::vector<std::pair<SInt32, SInt32>> seen; // hover, pressed while the mouse is down
        Pixel pressedLook {}, draggedOffLook {};
        CGPoint const inside { 10, 14 }; // a point of crumb 1's body, below its title
        {
            auto const look = [&] {
                seen.emplace_back(mCrumbs->GetHoverCrumb(), mCrumbs->GetPressedCrumb());
                return At(ProbeWindow(mWindow), Frame(1).origin.x + 20, inside.y);
            };
            Script script({
                [&] { pressedLook = look(); },
                [&] {
                    InputDriver::MouseMove(Middle(2));
                },
                [&] { draggedOffLook = look(); },
                [&] { InputDriver::MouseUp(Middle(2)); },
            });
            InputDriver::MouseDown(Middle(1));
            ManualClock::RunFor(1.2);
        }
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0], (std::pair<SInt32, SInt32> { 1, 1 }));
        EXPECT_EQ(seen[1], (std::pair<SInt32, SInt32> { -1, 1 })) << "dragged off: neither shows pressed";
        EXPECT_LT(pressedLook.r, draggedOffLook.r) << "the pressed crumb is darker";
        EXPECT_GT(pressedLook.b, pressedLook.r) << "and blue";
        EXPECT_EQ(mCommands, 0) << "released over another crumb";
        EXPECT_EQ(mCrumbs->GetCurrentValue(), 0);
        EXPECT_EQ(mCrumbs->GetPressedCrumb(), -1);
        EXPECT_EQ(mCrumbs->GetHoverCrumb(), 2);

        InputDriver::Click(Middle(2));
        ManualClock::RunFor(0.6);
        EXPECT_EQ(mCommands, 1);
        EXPECT_EQ(mCrumbs->GetCurrentValue(), 2);
        InputDriver::MouseDown(Middle(1));
        InputDriver::MouseUp({ 500, 350 });
        ManualClock::RunFor(0.6);
        EXPECT_EQ(mCommands, 1) << "released outside every crumb";
        EXPECT_EQ(mCrumbs->GetCurrentValue(), 2);
    }

    TEST_F(BreadCrumbs, OneCrumbEndsWithTheHomeEndAndTheLastOfSeveralWithTheRightEnd)
    {
        auto const rounded = [&](PixelProbe const& probe, CGRect f) {
            // The top edge's border runs to the end, where the rounded corner leaves the window showing.
            Pixel const edge = At(probe, CGRectGetMaxX(f) - 12, 0);
            Pixel const corner = At(probe, CGRectGetMaxX(f) - 1, 0);
            return edge.r < 160 && corner.r > 200;
        };
        Path({ "World" });
        EXPECT_TRUE(rounded(ProbeWindow(mWindow), Frame(0)));
        Path({ "World", "Europe", "France" });
        PixelProbe const probe = ProbeWindow(mWindow);
        EXPECT_TRUE(rounded(probe, Frame(2)));
        // Where the second crumb begins, its chevron closes the first.
        double const joint = Frame(1).origin.x;
        EXPECT_LT(At(probe, joint + 6, 10).r, 170) << "the chevron's point";
        EXPECT_GT(At(probe, joint + 1, 10).r, 200) << "the first crumb's fill left of it";
    }

    TEST_F(BreadCrumbs, ADisabledPathDrawsFadedSegmentsAndTitles)
    {
        Path({ "World", "Europe" });
        auto const ink = [&](PixelProbe const& probe) {
            CGRect const f = Frame(0);
            int dark = 0;
            for (double x = f.origin.x + 15; x < CGRectGetMaxX(f) - 13; ++x)
                for (double y = 3; y < 17; ++y)
                    dark += At(probe, x, y).r < 100 ? 1 : 0;
            return dark;
        };
        PixelProbe const enabled = ProbeWindow(mWindow);
        int const enabledInk = ink(enabled);
        Pixel const enabledBorder = At(enabled, Frame(0).origin.x + 20, 0);
        EXPECT_GT(enabledInk, 10) << "a dark title";
        mCrumbs->SetEnabled(false);
        PixelProbe const disabled = ProbeWindow(mWindow);
        EXPECT_LT(ink(disabled), enabledInk / 4) << "titles at half alpha have no dark ink";
        EXPECT_GT(At(disabled, Frame(0).origin.x + 20, 0).r, enabledBorder.r + 30) << "the disabled segments are light";
    }

} // namespace
} // namespace tw::test
