#include "WidgetTest.h"
#include "events/Target.h"
#include "framework/CCarbonEvent.h"
#include "tests/support/InputDriver.h"
#include "widgets/CHistoryButton.h"

#include <vector>

namespace tw::test {
namespace {

    // A view that tracks the mouse itself and notes the click count of each press.
    class TrackingView : public CHIView {
    public:
        explicit TrackingView(HIObjectRef view)
            : CHIView(view)
        {
            AddEvent(kEventClassControl, kEventControlHitTest);
            AddEvent(kEventClassControl, kEventControlTrack);
            AddEvent(kEventClassScrollable, kEventScrollableGetInfo);
        }
        bool TrackMouse(CCarbonEvent& event, CGPoint const& point, MouseTrackingResult phase) override
        {
            if (phase == kMouseTrackingMouseDown)
                mClickCounts.push_back(event.GetMouseClickCount());
            return CHIView::TrackMouse(event, point, phase);
        }
        std::vector<UInt32> mClickCounts;
    };

    class HIViewTracking : public WidgetTest {
    protected:
        void SetUp() override
        {
            WidgetTest::SetUp();
            display::WindowServer::ResetForTesting();
            HIObjectRef object = nullptr;
            ASSERT_EQ(HIObjectCreate(CFSTR("com.apple.HIUserPane"), nullptr, &object), noErr);
            mView = new TrackingView(object);
            mView->SetFrame(CGRectMake(20, 20, 200, 100));
            HIViewAddSubview(mContent, mView->GetHIViewRef());
            CFRelease(object);
            mView->SetBehaviour(0, CHIView::kBehaviourResizeWindow | CHIView::kBehaviourScrollPixels);
            ShowWindow(mWindow);
        }
        void TearDown() override
        {
            WidgetTest::TearDown();
            display::WindowServer::ResetForTesting();
        }
        // The global location of a point in the view: the content starts at (100, 100).
        static CGPoint At(double x, double y) { return { 100 + 20 + x, 100 + 20 + y }; }
        TrackingView* mView = nullptr;
    };

    TEST_F(HIViewTracking, TwoClicksTwoPixelsApartAreADoubleClickAndFourPixelsApartAreNot)
    {
        InputDriver::Click(At(50, 50));
        ManualClock::RunFor(0.1);
        InputDriver::Click(At(52, 52));
        ManualClock::RunFor(0.1);
        InputDriver::Click(At(56, 52));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mView->mClickCounts, (std::vector<UInt32> { 1, 2, 1 }));
    }

    // Double clicks come within half a second, that half second included.
    TEST_F(HIViewTracking, ClicksMoreThanHalfASecondApartAreNotADoubleClick)
    {
        for (EventTime const apart : { 0.5, 0.51, 1.0, 0.2 }) {
            InputDriver::Click(At(50, 50));
            ManualClock::RunFor(apart);
        }
        InputDriver::Click(At(50, 50));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mView->mClickCounts, (std::vector<UInt32> { 1, 2, 1, 1, 2 }));
    }

    // Holds the mouse 30 px right of the view for a second, then lets go (from a timer, as the
    // tracking loop only returns on the release).
    void HoldOutsideThenRelease()
    {
        InputDriver::MouseDown({ 100 + 20 + 150, 100 + 20 + 50 });
        InputDriver::MouseMove({ 100 + 20 + 230, 100 + 20 + 50 });
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 1.0, 0,
            [](EventLoopTimerRef, void*) {
                InputDriver::MouseUp({ 100 + 20 + 230, 100 + 20 + 50 });
            },
            nullptr, &timer);
        ManualClock::RunFor(1.5);
    }

    TEST_F(HIViewTracking, DraggingOutsideTheViewAutoScrollsOnTheClock)
    {
        mView->SetImageSize({ 2000, 1000 });
        HoldOutsideThenRelease();
        // 30 px out: 24 + 900 / 24 = 61.5, cut to whole lines of 24: 48 px per 0.1 s beat.
        EXPECT_GE(mView->GetImageOrigin().x, 48 * 9);
        EXPECT_EQ(static_cast<int>(mView->GetImageOrigin().x) % 48, 0);
        EXPECT_EQ(mView->GetImageOrigin().y, 0);
    }

    // Holds the mouse at a point of the view for a beat and a half of the auto-scroll clock.
    CGPoint ScrolledByOneBeat(TrackingView* view, CGPoint outside)
    {
        view->SetImageOrigin({ 400, 400 }, false);
        CGPoint const before = view->GetImageOrigin();
        static CGPoint sRelease;
        sRelease = { 100 + 20 + outside.x, 100 + 20 + outside.y };
        InputDriver::MouseDown({ 100 + 20 + 100, 100 + 20 + 50 });
        InputDriver::MouseMove(sRelease);
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.15, 0, [](EventLoopTimerRef, void*) { InputDriver::MouseUp(sRelease); }, nullptr,
            &timer);
        ManualClock::RunFor(0.6);
        CGPoint const after = view->GetImageOrigin();
        return { after.x - before.x, after.y - before.y };
    }

    // However far past a side the pointer is, a beat scrolls no more than the same distance
    // past the bottom does.
    TEST_F(HIViewTracking, FarPastASideScrollsABoundedStepAsPastTheBottom)
    {
        mView->SetImageSize({ 40000, 40000 });
        CGPoint const below = ScrolledByOneBeat(mView, { 100, 100 + 600 });
        ASSERT_GT(below.y, 0);
        EXPECT_EQ(below.x, 0);
        for (double const out : { 134.0, 600.0 }) {
            CGPoint const right = ScrolledByOneBeat(mView, { 200 + out, 50 });
            EXPECT_EQ(right.x, below.y) << out << " px right";
            EXPECT_EQ(right.y, 0);
            CGPoint const left = ScrolledByOneBeat(mView, { -out, 50 });
            EXPECT_EQ(left.x, -below.y) << out << " px left";
        }
    }

    TEST_F(HIViewTracking, WithADragSizeOfZeroDraggingOutsideNeverScrolls)
    {
        mView->SetImageSize({ 2000, 1000 });
        mView->SetScrollDragSize({ 0, 0 });
        HoldOutsideThenRelease();
        EXPECT_EQ(mView->GetImageOrigin().x, 0);
    }

} // namespace
} // namespace tw::test

namespace tw::test {
namespace {

    // Notes the tracking-area events it hears.
    class HoverView : public CHIView {
    public:
        using CHIView::CHIView;
        OSStatus DoEventControlTrackingAreaEntered(CCarbonEvent& event) override
        {
            mSeen.push_back("entered");
            return CHIView::DoEventControlTrackingAreaEntered(event);
        }
        OSStatus DoEventControlTrackingAreaExited(CCarbonEvent& event) override
        {
            mSeen.push_back("exited");
            return CHIView::DoEventControlTrackingAreaExited(event);
        }
        OSStatus DoEventControlTrackingAreaWithin(CCarbonEvent& event) override
        {
            HIPoint const p = event.GetMouseLocation();
            mSeen.push_back(
                "within " + std::to_string(static_cast<int>(p.x)) + "," + std::to_string(static_cast<int>(p.y)));
            return eventNotHandledErr;
        }
        std::vector<std::string> mSeen;
    };

    TEST_F(HIViewTracking, TrackingAreasHearTheMouseEnterMoveWithinAndLeave)
    {
        HIObjectRef object = nullptr;
        ASSERT_EQ(HIObjectCreate(CFSTR("com.apple.HIUserPane"), nullptr, &object), noErr);
        auto* hover = new HoverView(object);
        hover->AddEvent(kEventClassControl, kEventControlHitTest);
        hover->SetFrame(CGRectMake(20, 150, 50, 50));
        HIViewAddSubview(mContent, hover->GetHIViewRef());
        CFRelease(object);
        hover->CreateTrackingArea();
        InputDriver::MouseMove(At(10, 140)); // content (30, 160): 10 px into the view
        InputDriver::MouseMove(At(12, 141));
        InputDriver::MouseMove(At(300, 10)); // away
        ManualClock::RunFor(0.1);
        EXPECT_EQ(hover->mSeen, (std::vector<std::string> { "entered", "within 12,11", "exited" }));
        hover->DisposeTrackingArea();
    }

    std::size_t MouseMovedHandlers()
    {
        std::size_t count = 0;
        GetApplicationEventTarget()->CollectHandlers(kEventClassMouse, kEventMouseMoved, [&](auto*) { ++count; });
        return count;
    }

    // The application's mouse-moved handler stays only while some view tracks the mouse.
    TEST_F(HIViewTracking, TrackingAreasGoWithTheirViews)
    {
        std::size_t const before = MouseMovedHandlers();
        HIObjectRef object = nullptr;
        ASSERT_EQ(HIObjectCreate(CFSTR("com.apple.HIUserPane"), nullptr, &object), noErr);
        auto* hover = new HoverView(object);
        HIViewAddSubview(mContent, hover->GetHIViewRef());
        CFRelease(object);
        hover->CreateTrackingArea();
        EXPECT_EQ(MouseMovedHandlers(), before + 1);

        // The history button makes its own and never disposes it.
        CGRect const frame = CGRectMake(20, 150, 23, 20);
        CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
        init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
        HIObjectRef button = nullptr;
        ASSERT_EQ(HIObjectCreate(CFSTR("com.pellmar.CHistoryButton"), init.GetEvent(), &button), noErr);
        HIViewAddSubview(mContent, reinterpret_cast<HIViewRef>(button));
        CFRelease(button);
        ASSERT_NE(dynamic_cast<CHistoryButton*>(CHIObject::GetHIObject(button)), nullptr);
        EXPECT_EQ(MouseMovedHandlers(), before + 1) << "one handler serves every tracking view";

        DisposeControl(hover->GetHIViewRef()); // the wrapper goes with its view
        EXPECT_EQ(MouseMovedHandlers(), before + 1);
        DisposeControl(reinterpret_cast<HIViewRef>(button));
        EXPECT_EQ(MouseMovedHandlers(), before);
    }

} // namespace
} // namespace tw::test
