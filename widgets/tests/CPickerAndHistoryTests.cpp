#include "WidgetTest.h"
#include "foundation/CMsgListener.h"
#include "framework/CCarbonEvent.h"
#include "tests/support/InputDriver.h"
#include "tests/support/PixelProbe.h"
#include "toolbox/Window.h"
#include "widgets/CClipboard.h"
#include "widgets/CColourPicker.h"
#include "widgets/CHIScrollView.h"
#include "widgets/CHistoryButton.h"
#include "widgets/CMouseUtilities.h"

#include <cstdlib>
#include <cstring>
#include <functional>

namespace tw::test {

namespace {

    class CustomControls : public WidgetTest {
    protected:
        void SetUp() override
        {
            WidgetTest::SetUp();
            display::WindowServer::ResetForTesting();
            ShowWindow(mWindow);
        }

        // A view of a registered class made by the toolbox, put in the content view.
        template <typename T> T* Create(char const* classID, CGRect frame, OSType side = 0)
        {
            CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
            init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
            if (side)
                init.SetParameter('orin', typeType, sizeof side, &side);
            HIObjectRef object = nullptr;
            EXPECT_EQ(HIObjectCreate(CString(classID).GetCFString(), init.GetEvent(), &object), noErr);
            HIViewAddSubview(mContent, reinterpret_cast<HIViewRef>(object));
            CFRelease(reinterpret_cast<HIViewRef>(object));
            return dynamic_cast<T*>(CHIObject::GetHIObject(object));
        }

        PixelProbe Draw()
        {
            auto* window = toolbox::LiveWindow(mWindow);
            window->Update();
            cairo_surface_t* backing = window->GetBackingStore();
            cairo_surface_flush(backing);
            return PixelProbe(cairo_image_surface_get_data(backing), cairo_image_surface_get_width(backing),
                cairo_image_surface_get_height(backing), std::size_t(cairo_image_surface_get_stride(backing)));
        }
        static CGPoint InWindow(CHIView* view, CGPoint p)
        {
            HIViewConvertPoint(&p, view->GetHIViewRef(), nullptr);
            return p;
        }
        CGPoint Global(CHIView* view, CGPoint p)
        {
            p = InWindow(view, p);
            Rect structure {};
            GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
            return { p.x + structure.left, p.y + structure.top };
        }
    };

    class Listener : public CMsgListener {
    public:
        void DoMessage(UInt32 message, void* parameter) override
        {
            last = message;
            from = parameter;
            ++count;
        }
        UInt32 last = 0;
        void* from = nullptr;
        int count = 0;
    };

    TEST_F(CustomControls, ColourPickerPacksItsColourAsRGBA)
    {
        auto* picker = Create<CColourPicker>(CColourPicker::kClassID, CGRectMake(10, 10, 60, 30));
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->GetCommandID(), CColourPicker::kCommandPick);
        EXPECT_EQ(picker->GetColour(), (ColourRGBA { 1, 1, 1, 1 }));
        picker->SetColour({ 1, 0, 0, 1 });
        EXPECT_EQ(picker->GetCurrentValue(), 0xFF0000FFL);
        picker->SetCurrentValue(0x00FF8040);
        EXPECT_FLOAT_EQ(picker->GetColour().green, 1.0f);
        EXPECT_NEAR(picker->GetColour().blue, 128 / 255.0, 1e-6);
        EXPECT_NEAR(picker->GetColour().alpha, 64 / 255.0, 1e-6);
    }

    TEST_F(CustomControls, SeeThroughColoursShowBlackAndWhiteHalves)
    {
        auto* picker = Create<CColourPicker>(CColourPicker::kClassID, CGRectMake(10, 10, 60, 40));
        CGPoint const upperLeft = InWindow(picker, { 8, 8 });
        CGPoint const lowerRight = InWindow(picker, { 51, 31 });
        picker->SetColour({ 0, 0, 1, 1 });
        PixelProbe opaque = Draw();
        EXPECT_TRUE(IsColour(opaque.At(int(upperLeft.x), int(upperLeft.y)), 0, 0, 255, 255, 3));
        picker->SetColour({ 0, 0, 1, 0.999f });
        PixelProbe clear = Draw();
        Pixel const dark = clear.At(int(upperLeft.x), int(upperLeft.y));
        Pixel const light = clear.At(int(lowerRight.x), int(lowerRight.y));
        EXPECT_LT(dark.r, 5);
        EXPECT_EQ(light.r, 0); // 0.1 % of white does not show in 8 bits...
        picker->SetColour({ 0, 0, 1, 0.5f });
        PixelProbe half = Draw();
        EXPECT_LT(half.At(int(upperLeft.x), int(upperLeft.y)).r, 10);
        EXPECT_GT(half.At(int(lowerRight.x), int(lowerRight.y)).r, 110); // ...but at half alpha it does
    }

    struct PickScript {
        bool accept;
        bool changed = false;
    };

    void AnswerPicker(EventLoopTimerRef, void* data)
    {
        auto* script = static_cast<PickScript*>(data);
        WindowRef dialog = FrontWindow();
        ControlRef root = nullptr;
        GetRootControl(dialog, &root);
        UInt16 count = 0;
        CountSubControls(root, &count);
        for (UInt16 i = 1; i <= count; ++i) {
            ControlRef control = nullptr;
            GetIndexedSubControl(root, i, &control);
            UInt32 command = 0;
            GetControlCommandID(control, &command);
            if (!script->changed && GetControl32BitMaximum(control) == 255) {
                SetControl32BitValue(control, 0); // red goes to 0
                script->changed = true;
            }
            if (command == (script->accept ? kHICommandOK : kHICommandCancel)) {
                HIViewSimulateClick(control, kControlButtonPart, 0, nullptr);
                return;
            }
        }
    }

    TEST_F(CustomControls, PickingAColourKeepsAlphaAndBroadcastsOnlyWhenAccepted)
    {
        auto* picker = Create<CColourPicker>(CColourPicker::kClassID, CGRectMake(10, 10, 60, 30));
        Listener listener;
        picker->AddListener(&listener);
        picker->SetColour({ 1, 1, 1, 0.25f });
        PickScript cancel { false };
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(GetMainEventLoop(), 0.1, 0, AnswerPicker, &cancel, &timer);
        EXPECT_EQ(picker->PickColour(), noErr);
        EXPECT_EQ(listener.count, 0);
        EXPECT_EQ(picker->GetColour(), (ColourRGBA { 1, 1, 1, 0.25f }));
        RemoveEventLoopTimer(timer);

        PickScript accept { true };
        InstallEventLoopTimer(GetMainEventLoop(), 0.1, 0, AnswerPicker, &accept, &timer);
        // The click on the button sends its command, which runs the picker.
        HIViewSimulateClick(picker->GetHIViewRef(), kControlButtonPart, 0, nullptr);
        EXPECT_EQ(listener.count, 1);
        EXPECT_EQ(listener.last, CColourPicker::kMsgColourChanged);
        EXPECT_EQ(listener.from, picker);
        EXPECT_EQ(picker->GetColour(), (ColourRGBA { 0, 1, 1, 0.25f }));
        RemoveEventLoopTimer(timer);
        picker->RemoveListener(&listener);
    }

    TEST_F(CustomControls, HistoryButtonCommandsOnlyOnReleaseInside)
    {
        auto* back
            = Create<CHistoryButton>(CHistoryButton::kClassID, CGRectMake(20, 20, 23, 20), CHistoryButton::kSideRight);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->GetSide(), CHistoryButton::kSideRight);
        back->SetCommandID('hfwd');
        int commands = 0;
        EventTypeSpec const spec { kEventClassCommand, kEventCommandProcess };
        auto const count = [](EventHandlerCallRef, EventRef, void* data) -> OSStatus {
            ++*static_cast<int*>(data);
            return noErr;
        };
        EventHandlerRef handler = nullptr;
        InstallEventHandler(GetWindowEventTarget(mWindow), count, 1, &spec, &commands, &handler);
        CGPoint const inside = Global(back, { 11, 10 });
        InputDriver::MouseDown(inside);
        InputDriver::MouseMove({ inside.x + 60, inside.y });
        InputDriver::MouseUp({ inside.x + 60, inside.y });
        ManualClock::RunFor(0.5);
        EXPECT_EQ(commands, 0);
        EXPECT_FALSE(back->IsPressed());
        InputDriver::Click(inside);
        ManualClock::RunFor(0.5);
        EXPECT_EQ(commands, 1);
        RemoveEventHandler(handler);
    }

    // The program's own controls side by side, written where TW_WIDGET_GALLERY asks (for looking at).
    TEST_F(CustomControls, OwnControlsDrawTogether)
    {
        auto* back
            = Create<CHistoryButton>(CHistoryButton::kClassID, CGRectMake(20, 20, 46, 40), CHistoryButton::kSideLeft);
        auto* forward
            = Create<CHistoryButton>(CHistoryButton::kClassID, CGRectMake(66, 20, 46, 40), CHistoryButton::kSideRight);
        forward->SetEnabled(false);
        auto* fill = Create<CColourPicker>(CColourPicker::kClassID, CGRectMake(140, 20, 60, 40));
        fill->SetColour({ 0.9f, 0.3f, 0.1f, 1 });
        auto* frame = Create<CColourPicker>(CColourPicker::kClassID, CGRectMake(210, 20, 60, 40));
        frame->SetColour({ 0.1f, 0.4f, 0.9f, 0.5f });
        PixelProbe const probe = Draw();
        if (char const* path = std::getenv("TW_WIDGET_GALLERY")) {
            EXPECT_EQ(display::WindowServer::Get().WritePNG(path), noErr);
        }
        CGPoint const swatch = InWindow(fill, { 30, 20 });
        EXPECT_TRUE(IsColour(probe.At(int(swatch.x), int(swatch.y)), 229, 76, 25, 255, 3));
        CGPoint const edge = InWindow(back, { 1, 1 });
        EXPECT_TRUE(probe.At(int(edge.x), int(edge.y)).r > 200); // the sheet's rounded corner shows the window
    }

    TEST_F(CustomControls, HistoryButtonDrawsItsSideAndState)
    {
        auto* left
            = Create<CHistoryButton>(CHistoryButton::kClassID, CGRectMake(20, 20, 23, 20), CHistoryButton::kSideLeft);
        auto* right
            = Create<CHistoryButton>(CHistoryButton::kClassID, CGRectMake(43, 20, 23, 20), CHistoryButton::kSideRight);
        ASSERT_NE(left, nullptr);
        ASSERT_NE(right, nullptr);
        PixelProbe const probe = Draw();
        CGPoint const l = InWindow(left, { 0, 0 });
        CGPoint const r = InWindow(right, { 0, 0 });
        auto const dark = [](Pixel p) { return p.r < 100; };
        // The chevrons: dark ink in the middle of each half.
        EXPECT_GT(probe.Count({ int(l.x) + 6, int(l.y) + 4, int(l.x) + 17, int(l.y) + 16 }, dark), 5);
        EXPECT_GT(probe.Count({ int(r.x) + 6, int(r.y) + 4, int(r.x) + 17, int(r.y) + 16 }, dark), 5);
        left->SetEnabled(false);
        PixelProbe const disabled = Draw();
        EXPECT_EQ(disabled.Count({ int(l.x) + 6, int(l.y) + 4, int(l.x) + 17, int(l.y) + 16 }, dark), 0);
    }

    // A content with a 1000 x 1000 image whose lines are 20 high.
    class LineContent : public CHIView {
    public:
        explicit LineContent(CGRect frame)
            : CHIView(CString("com.apple.hiview"), &frame)
        {
            AddEvent(kEventClassScrollable, kEventScrollableGetInfo);
            AddEvent(kEventClassScrollable, kEventScrollableScrollTo);
            mImageSize = { 1000, 1000 };
            mScrollLineSize = { 10, 20 };
        }
    };

    TEST_F(CustomControls, ArrowKeysScrollToBothEnds)
    {
        auto* scroll = new CHIScrollView();
        HIRect const frame = CGRectMake(0, 0, 215, 215);
        scroll->SetFrame(frame);
        auto* content = new LineContent(CGRectMake(0, 0, 200, 200));
        scroll->AddSubHIView(content);
        CHIViewUtilities::GetCHIView(mContent, true)->AddSubHIView(scroll);
        Draw();
        ASSERT_EQ(scroll->GetContent(), content);
        auto const key = [&](UInt32 code, UInt32 modifiers = 0) {
            CCarbonEvent event(kEventClassKeyboard, kEventRawKeyDown);
            event.SetParameter(kEventParamKeyCode, typeUInt32, sizeof code, &code);
            event.SetParameter(kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
            return scroll->Navigate(event);
        };
        EXPECT_FALSE(scroll->CanNavigate(CHIScrollView::kNavigateLineUp));
        content->SetImageOrigin({ 0, 20 }, false);
        // One line from the top, a line up still goes: the origin stops at the top.
        EXPECT_TRUE(scroll->CanNavigate(CHIScrollView::kNavigateLineUp));
        EXPECT_EQ(key(126), noErr);
        EXPECT_EQ(content->GetImageOrigin().y, 0);
        // Without bars (options 0) the content fills the 215-pixel view: the last origin is 785.
        content->SetImageOrigin({ 0, 775 }, false);
        EXPECT_EQ(key(125), noErr);
        EXPECT_EQ(content->GetImageOrigin().y, 785); // the last partial line is reachable
        EXPECT_FALSE(scroll->CanNavigate(CHIScrollView::kNavigateLineDown));
        EXPECT_EQ(key(125, cmdKey), noErr); // with Command: sideways
        EXPECT_EQ(content->GetImageOrigin().x, 10);
        EXPECT_EQ(key(123), eventNotHandledErr); // left and right arrows are not the scroll view's
        EXPECT_EQ(key(124), eventNotHandledErr);
        scroll->Navigate(CHIScrollView::kNavigateRightEnd);
        EXPECT_EQ(content->GetImageOrigin().x, 785);
    }

    bool ProvideText(CMemBuffer& buffer, ScrapFlavorType, void* data)
    {
        auto const* text = static_cast<char const*>(data);
        return buffer.AppendData(text, static_cast<UInt32>(std::strlen(text)));
    }

    TEST_F(CustomControls, ClipboardKeepsPromisesThroughItsProviders)
    {
        services::ResetScrapForTesting();
        ScrapRef scrap = nullptr;
        GetCurrentScrap(&scrap);
        CClipboard clipboard(scrap);
        EXPECT_EQ(CClipboard::PromiseKeeper(scrap, 'TEXT', &clipboard), noTypeErr);
        char const* text = "Île de Ré";
        clipboard.SetProvider('TEXT', ProvideText, const_cast<char*>(text));
        EXPECT_EQ(CClipboard::PromiseKeeper(scrap, 'TEXT', &clipboard), noErr);
        char read[32] {};
        Size size = sizeof read;
        ASSERT_EQ(GetScrapFlavorData(scrap, 'TEXT', &size, read), noErr);
        EXPECT_EQ(std::string(read, std::size_t(size)), text);
        clipboard.SetProvider(
            'utxt', [](CMemBuffer&, ScrapFlavorType, void*) { return false; }, nullptr);
        EXPECT_EQ(clipboard.KeepPromise('utxt'), noTypeErr);
        services::ResetScrapForTesting();
    }

    TEST_F(CustomControls, ViewMouseIsTheGlobalMouseInTheViewsCoordinates)
    {
        CHIView* root = CHIViewUtilities::GetCHIView(mContent, true);
        InputDriver::MouseMove(Global(root, { 30, 40 }));
        ManualClock::RunFor(0.1);
        CGPoint const inView = CMouseUtilities::GetViewMouse(root);
        EXPECT_EQ(inView.x, 30);
        EXPECT_EQ(inView.y, 40);
    }

} // namespace

} // namespace tw::test
