#include "WidgetTest.h"
#include "framework/CCarbonEvent.h"
#include "toolbox/Window.h"
#include "widgets/CScrollableView.h"

namespace tw::test {
namespace {

    using HIViewRegistry = WidgetTest;

    TEST_F(HIViewRegistry, WrappersAreMadeOnDemandAndOnlyWhenAsked)
    {
        HIObjectRef pane = nullptr;
        ASSERT_EQ(HIObjectCreate(CFSTR("com.apple.HIUserPane"), nullptr, &pane), noErr);
        auto view = reinterpret_cast<HIViewRef>(pane);
        HIViewAddSubview(mContent, view);
        CFRelease(pane);
        EXPECT_EQ(CHIViewUtilities::GetCHIView(view, false), nullptr);
        EXPECT_EQ(CHIObject::GetHIObject(pane), nullptr) << "asking without create makes nothing";
        CHIView* wrapper = CHIViewUtilities::GetCHIView(view, true);
        ASSERT_NE(wrapper, nullptr);
        EXPECT_EQ(CHIViewUtilities::GetCHIView(view, true), wrapper) << "the same wrapper the second time";
        EXPECT_EQ(CHIObject::GetHIObject(pane), wrapper);
    }

    OSStatus PlainConstruct(EventHandlerCallRef, EventRef event, void*)
    {
        if (GetEventKind(event) != kEventHIObjectConstruct)
            return eventNotHandledErr;
        void* data = nullptr;
        SetEventParameter(event, kEventParamHIObjectInstance, typeVoidPtr, sizeof data, &data);
        return noErr;
    }

    TEST_F(HIViewRegistry, ClassIdsAreFoundWhateverTheirCase)
    {
        CHIObject::Register(nullptr, CFSTR("TEST.Widgets.SomeView"), CHIView::CreateWrapper);
        EventTypeSpec const construct { kEventClassHIObject, kEventHIObjectConstruct };
        HIObjectRegisterSubclass(CFSTR("test.widgets.someview"), CFSTR("com.apple.hiview"), 0, PlainConstruct, 1,
            &construct, nullptr, nullptr);
        HIObjectRef object = nullptr;
        ASSERT_EQ(HIObjectCreate(CFSTR("test.widgets.someview"), nullptr, &object), noErr);
        HIViewAddSubview(mContent, reinterpret_cast<HIViewRef>(object));
        CFRelease(object);
        CHIObject* wrapper = CHIObject::CreateNewHIObjectForRef(object);
        EXPECT_NE(dynamic_cast<CHIView*>(wrapper), nullptr);
    }

    TEST_F(HIViewRegistry, ACustomViewMadeAfterASystemViewBindsToItsOwnWrapper)
    {
        CHIView* system = AddView("com.apple.HIUserPane", CGRectMake(0, 0, 10, 10));
        ASSERT_NE(system->GetHIViewRef(), nullptr);
        // Made by the toolbox (as the nib does), not by a wrapper's constructor.
        HIObjectRef object = nullptr;
        ASSERT_EQ(HIObjectCreate(CFSTR("net.pellmar.CScrollableView"), nullptr, &object), noErr);
        auto view = reinterpret_cast<HIViewRef>(object);
        HIViewAddSubview(mContent, view);
        CFRelease(object);
        CHIView* wrapper = CHIViewUtilities::GetCHIView(view, false);
        ASSERT_NE(wrapper, nullptr);
        EXPECT_NE(wrapper, system);
        EXPECT_NE(dynamic_cast<CScrollableView*>(wrapper), nullptr);
        EXPECT_TRUE(wrapper->GetIsCustomClass());
        // A program-made view of a registered class binds to the wrapper that made it.
        CGRect const frame = CGRectMake(0, 0, 50, 50);
        auto* own = new CHIView(CString("net.pellmar.CScrollableView"), &frame);
        EXPECT_EQ(CHIViewUtilities::GetCHIView(own->GetHIViewRef(), false), own);
        EXPECT_TRUE(own->GetIsCustomClass());
        CHIViewUtilities::GetCHIView(mContent, true)->AddSubHIView(own);
    }

    TEST_F(HIViewRegistry, DisposingTheWindowDeletesTheWrappersOfItsViews)
    {
        AddView("com.apple.HIUserPane", CGRectMake(0, 0, 10, 10));
        AddView("net.pellmar.CScrollableView", CGRectMake(0, 20, 10, 10));
        EXPECT_GE(CHIObject::GetRegistrySize(), 3u); // two views and the content view
        // TearDown disposes the window and checks that the registry is empty.
    }

    using HIViewLayout = WidgetTest;

    // Sub views are laid out in their parent's own coordinates, at any depth.
    TEST_F(HIViewLayout, ViewsAreCentredInTheirParentsOwnBoundsWhenPlacedAndOnResize)
    {
        CHIView* top = AddView("com.apple.HIUserPane", CGRectMake(0, 0, 20, 20));
        top->SetLayoutOptions(4 | 32, 0, CRect());
        EXPECT_TRUE(CGRectEqualToRect(top->GetFrame(), CGRectMake(190, 140, 20, 20))) << "in the 400 x 300 content";

        CHIView* parent = AddView("com.apple.HIUserPane", CGRectMake(100, 50, 200, 100));
        CGRect const childFrame = CGRectMake(0, 0, 20, 20);
        auto* child = new CHIView(CString("com.apple.HIUserPane"), &childFrame);
        parent->AddSubHIView(child);
        child->SetLayoutOptions(4 | 32, 4 | 32, CRect(5, 10, 0, 0)); // margins: top 5, left 10
        EXPECT_TRUE(CGRectEqualToRect(child->GetFrame(), CGRectMake(95, 42, 20, 20)));

        // The parent stretches with its own parent: 40 wider, 20 taller. The child stays centred in it.
        parent->SetLayoutOptions(0, 3 | 24, CRect());
        parent->HandleSuperResize(CRect(0, 0, 20, 40));
        EXPECT_TRUE(CGRectEqualToRect(parent->GetFrame(), CGRectMake(100, 50, 240, 120)));
        EXPECT_TRUE(CGRectEqualToRect(child->GetFrame(), CGRectMake(110, 50, 20, 20)));
    }

    class HIViewImage : public WidgetTest {
    protected:
        void SetUp() override
        {
            WidgetTest::SetUp();
            mView = AddView("com.apple.HIUserPane", CGRectMake(0, 0, 200, 100));
            mView->AddEvents(kScrollEvents);
            mView->GetZoomLevels() = { 0.5f, 1.0f, 2.0f };
            mView->SetBehaviour(0, CHIView::kBehaviourResizeWindow | CHIView::kBehaviourScrollPixels);
        }
        static constexpr EventTypeSpec kScrollEvents[] = { { kEventClassScrollable, kEventScrollableGetInfo },
            { kEventClassScrollable, kEventScrollableScrollTo }, { 0, 0 } };
        CHIView* mView = nullptr;
    };

    TEST_F(HIViewImage, ZoomStopsAtTheFirstAndLastLevels)
    {
        mView->SetImageSize({ 1000, 1000 });
        mView->SetImageZoom(CHIView::kZoomIn, nullptr, 0);
        EXPECT_EQ(mView->GetImageZoom(), 2.0f);
        mView->SetImageZoom(CHIView::kZoomIn, nullptr, 0);
        EXPECT_EQ(mView->GetImageZoom(), 2.0f);
        mView->SetImageZoom(CHIView::kZoomOut, nullptr, 0);
        mView->SetImageZoom(CHIView::kZoomOut, nullptr, 0);
        EXPECT_EQ(mView->GetImageZoom(), 0.5f);
        mView->SetImageZoom(CHIView::kZoomOut, nullptr, 0);
        EXPECT_EQ(mView->GetImageZoom(), 0.5f);
        mView->SetImageZoom(CHIView::kZoomFactor, nullptr, 9.0f);
        EXPECT_EQ(mView->GetImageZoom(), 2.0f) << "clamped to the last level";
        CGRect empty = CGRectMake(10, 10, 0, 0);
        mView->SetImageZoom(CHIView::kZoomRect, &empty, 0);
        EXPECT_EQ(mView->GetImageZoom(), 2.0f) << "an empty rectangle is ignored";
    }

    TEST_F(HIViewImage, ZoomToFitNeverTargetsMoreThanTheLimitAndKeepsTheZoomWithoutALevelBelow)
    {
        mView->SetImageSize({ 2, 1 }); // the screen would fit it 640 times
        mView->GetZoomLevels() = { 1.0f, 50.0f, 100.0f, 200.0f };
        mView->SetImageZoom(CHIView::kZoomFit, nullptr, 0);
        EXPECT_EQ(mView->GetImageZoom(), 100.0f);
        mView->SetImageSize({ 100000, 10 }); // fits 0.0128 times: no level below
        mView->SetImageZoom(CHIView::kZoomFit, nullptr, 0);
        EXPECT_EQ(mView->GetImageZoom(), 100.0f);
    }

    TEST_F(HIViewImage, AnImageSmallerThanTheViewStaysAtTheOriginAndIsCentred)
    {
        mView->SetImageSize({ 100, 40 });
        mView->SetImageOrigin({ 30, 30 }, false);
        EXPECT_EQ(mView->GetImageOrigin().x, 0);
        EXPECT_EQ(mView->GetImageOrigin().y, 0);
        CGRect const content = mView->GetZoomContent();
        EXPECT_TRUE(CGRectEqualToRect(content, CGRectMake(50, 30, 100, 40)));
        mView->SetImageSize({ 1000, 1000 });
        mView->SetImageOrigin({ 5000, -5 }, false);
        EXPECT_EQ(mView->GetImageOrigin().x, 800) << "image width less the view width";
        EXPECT_EQ(mView->GetImageOrigin().y, 0);
    }

    TEST_F(HIViewImage, ImageRectanglesInvalidateTheViewPixelsTheyCover)
    {
        mView->SetImageSize({ 1000, 1000 });
        mView->SetImageZoom(CHIView::kZoomFactor, nullptr, 2.0f);
        mView->SetImageOrigin({ 100, 50 }, false);
        ShowWindow(mWindow);
        mWindow->Update();
        CGRect const image = CGRectMake(110.5, 60, 10, 5);
        mView->SetNeedsDisplay(true, &image);
        ASSERT_EQ(mWindow->GetInvalid().size(), 1u);
        // (110.5 - 100) * 2 = 21, (60 - 50) * 2 = 20; 20 x 10 pixels; the content starts 22 px down the window.
        EXPECT_TRUE(CGRectEqualToRect(mWindow->GetInvalid().front(), CGRectMake(21, 22 + 20, 20, 10)));
    }

    TEST_F(HIViewImage, FocusMovesThroughThePartsAndLeavesAtEitherEnd)
    {
        mView->SetPartCodes({ 1, 2, 3 });
        ShowWindow(mWindow);
        ASSERT_EQ(mView->SetKeyboardFocus(3), noErr);
        CCarbonEvent next(kEventClassControl, kEventControlSetFocusPart);
        ControlPartCode part = kControlFocusNextPart;
        next.SetParameter(kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        mView->DoEventControlSetFocusPart(next);
        EXPECT_EQ(next.GetParameterControlPartCode(kEventParamControlPart), 0);
        ASSERT_EQ(mView->SetKeyboardFocus(1), noErr);
        CCarbonEvent previous(kEventClassControl, kEventControlSetFocusPart);
        part = kControlFocusPrevPart;
        previous.SetParameter(kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        mView->DoEventControlSetFocusPart(previous);
        EXPECT_EQ(previous.GetParameterControlPartCode(kEventParamControlPart), 0);
        ASSERT_EQ(mView->SetKeyboardFocus(1), noErr);
        CCarbonEvent middle(kEventClassControl, kEventControlSetFocusPart);
        part = kControlFocusNextPart;
        middle.SetParameter(kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        mView->DoEventControlSetFocusPart(middle);
        EXPECT_EQ(middle.GetParameterControlPartCode(kEventParamControlPart), 2);
    }

    TEST_F(HIViewImage, RedrawsAfterScrollsAreOneRestartableDelayedRedraw)
    {
        mView->SetImageSize({ 1000, 1000 });
        ShowWindow(mWindow);
        for (int i = 1; i <= 10; ++i) {
            mView->SetImageOrigin({ i * 10.0, 0 }, false);
            ManualClock::RunFor(0.1);
        }
        EXPECT_EQ(CViewInvalidator::GetLiveCount(), 1u) << "one invalidator, restarted by each scroll";
        mWindow->Update();
        ManualClock::RunFor(0.3);
        EXPECT_EQ(CViewInvalidator::GetLiveCount(), 0u);
        EXPECT_FALSE(mWindow->GetInvalid().empty()) << "the delayed redraw came";
    }

    // A scroll view redraws only its bars when its content scrolls: content that does not move
    // its pixels is redrawn whole at once, not only by the delayed redraw.
    TEST_F(HIViewImage, AScrollOfAViewThatKeepsNoPixelsRedrawsItAtOnce)
    {
        mView->SetImageSize({ 1000, 1000 });
        ShowWindow(mWindow);
        mWindow->Update();
        mView->SetImageOrigin({ 10, 0 }, true);
        ASSERT_EQ(mWindow->GetInvalid().size(), 1u);
        EXPECT_TRUE(CGRectEqualToRect(mWindow->GetInvalid().front(), CGRectMake(0, 22, 200, 100)));
        mWindow->Update();
        mView->SetImageOrigin({ 10, 0 }, true);
        EXPECT_TRUE(mWindow->GetInvalid().empty()) << "nothing moved";
    }

    // A pending partial redraw grows to take later rectangles, and to the whole view when one comes without.
    TEST_F(HIViewImage, ARestartedDelayedRedrawCoversEveryRectangleOrTheWholeView)
    {
        mView->SetImageSize({ 1000, 1000 });
        ShowWindow(mWindow);
        CGRect const a = CGRectMake(10, 10, 20, 10), b = CGRectMake(50, 40, 10, 10);
        auto const redrawn = [&](std::vector<CGRect const*> const& rects) {
            mWindow->Update();
            for (CGRect const* rect : rects)
                CHIViewUtilities::SetNeedsDisplayIn(mView, 0.5, rect, 0);
            EXPECT_EQ(CViewInvalidator::GetLiveCount(), 1u);
            ManualClock::RunFor(0.6);
            std::vector<CGRect> const invalid = mWindow->GetInvalid();
            return invalid.size() == 1 ? invalid.front() : CGRectNull;
        };
        // The content starts 22 px down the window.
        EXPECT_TRUE(CGRectEqualToRect(redrawn({ &a, &b }), CGRectMake(10, 22 + 10, 50, 40)));
        EXPECT_TRUE(CGRectEqualToRect(redrawn({ &a, nullptr }), CGRectMake(0, 22, 200, 100)));
        EXPECT_TRUE(CGRectEqualToRect(redrawn({ nullptr, &b }), CGRectMake(0, 22, 200, 100)));
    }

    // The scroll protocol speaks in zoomed pixels: at zoom 2 the origin and size are twice the image's.
    TEST_F(HIViewImage, AtZoomTwoTheScrollOriginIsTwiceTheImageOrigin)
    {
        mView->SetImageSize({ 1000, 600 });
        mView->SetImageZoom(CHIView::kZoomFactor, nullptr, 2.0f);
        mView->SetImageOrigin({ 100, 50 }, false);
        CCarbonEvent info = mView->GetScrollInfo();
        EXPECT_EQ(info.GetScrollOrigin().x, 200);
        EXPECT_EQ(info.GetScrollOrigin().y, 100);
        EXPECT_EQ(info.GetScrollImageSize().width, 2000);
        EXPECT_EQ(info.GetScrollImageSize().height, 1200);
        EXPECT_EQ(info.GetScrollViewSize().width, 200) << "the view itself is not zoomed";
        CCarbonEvent scroll(kEventClassScrollable, kEventScrollableScrollTo);
        HIPoint const to { 300, 160 };
        scroll.SetParameter(kEventParamOrigin, typeHIPoint, sizeof to, &to);
        scroll.SendToControl(mView->GetHIViewRef());
        EXPECT_EQ(mView->GetImageOrigin().x, 150);
        EXPECT_EQ(mView->GetImageOrigin().y, 80);
    }

    TEST_F(HIViewImage, ADelayedRedrawOfAViewThatIsGoneDoesNothing)
    {
        CHIViewUtilities::SetNeedsDisplayIn(mView, 0.5, nullptr, 0);
        DisposeControl(mView->GetHIViewRef()); // the wrapper goes with it
        ManualClock::RunFor(1);
        EXPECT_EQ(CViewInvalidator::GetLiveCount(), 0u);
    }

    TEST_F(HIViewImage, ScrollableViewWithoutAScrollViewLeavesArrowKeysAndShowsASmallImageWhole)
    {
        HIObjectRef object = nullptr;
        HIRect const frame = CGRectMake(0, 0, 200, 100);
        CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
        init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
        ASSERT_EQ(HIObjectCreate(CFSTR("net.pellmar.CScrollableView"), init.GetEvent(), &object), noErr);
        HIViewAddSubview(mContent, reinterpret_cast<HIViewRef>(object));
        CFRelease(object);
        auto* view
            = dynamic_cast<CScrollableView*>(CHIViewUtilities::GetCHIView(reinterpret_cast<HIViewRef>(object), false));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->GetScrollView(), nullptr);
        CCarbonEvent key(kEventClassKeyboard, kEventRawKeyDown);
        UInt32 const down = 125;
        key.SetParameter(kEventParamKeyCode, typeUInt32, sizeof down, &down);
        EXPECT_EQ(view->DoEventRawKeyDown(key), eventNotHandledErr);
        view->SetImageSize({ 80, 500 });
        view->SetImageOrigin({ 0, 100 }, false);
        CGRect const visible = view->GetVisibleContent();
        EXPECT_EQ(visible.origin.x, 0);
        EXPECT_EQ(visible.size.width, 80) << "the whole width of the narrow image";
        EXPECT_EQ(visible.origin.y, 100);
        EXPECT_EQ(visible.size.height, 100);
    }

    // Keys reach the view the way the window's focus sends them: through its event target.
    TEST_F(HIViewImage, ArrowAndPageKeysSentToAScrollableViewScrollItsScrollView)
    {
        HIObjectRef object = nullptr;
        HIRect const frame = CGRectMake(0, 0, 200, 100);
        CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
        init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
        ASSERT_EQ(HIObjectCreate(CFSTR("net.pellmar.CScrollableView"), init.GetEvent(), &object), noErr);
        auto const ref = reinterpret_cast<HIViewRef>(object);
        HIViewAddSubview(mContent, ref);
        CFRelease(object);
        auto* view = dynamic_cast<CScrollableView*>(CHIViewUtilities::GetCHIView(ref, false));
        ASSERT_NE(view, nullptr);
        view->SetImageSize({ 1000, 1000 });
        ASSERT_EQ(CHIViewUtilities::EmbedInScrollView(view, 0), noErr);
        ASSERT_NE(view->GetScrollView(), nullptr);
        auto const send = [&](UInt32 code, UInt32 modifiers = 0, UInt32 kind = kEventRawKeyDown) {
            CCarbonEvent key(kEventClassKeyboard, kind);
            key.SetParameter(kEventParamKeyCode, typeUInt32, sizeof code, &code);
            key.SetParameter(kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
            return SendEventToEventTarget(key.GetEvent(), GetControlEventTarget(ref));
        };
        CGFloat const line = view->GetScrollLineSize().height;
        EXPECT_EQ(send(125), noErr); // down arrow
        EXPECT_EQ(view->GetImageOrigin().y, line);
        EXPECT_EQ(send(125, 0, kEventRawKeyRepeat), noErr);
        EXPECT_EQ(view->GetImageOrigin().y, 2 * line);
        EXPECT_EQ(send(126), noErr); // up arrow
        EXPECT_EQ(view->GetImageOrigin().y, line);
        EXPECT_EQ(send(125, cmdKey), noErr); // with Command: sideways
        EXPECT_EQ(view->GetImageOrigin().x, view->GetScrollLineSize().width);
        EXPECT_EQ(send(119), noErr); // End: the bottom right corner
        EXPECT_EQ(view->GetImageOrigin().y, 1000 - 100);
        EXPECT_EQ(send(115), noErr); // Home: back to the top left
        EXPECT_EQ(view->GetImageOrigin().y, 0);
        EXPECT_EQ(view->GetImageOrigin().x, 0);
        EXPECT_EQ(send(0), eventNotHandledErr) << "a letter is not the scroll view's";
    }

} // namespace
} // namespace tw::test
