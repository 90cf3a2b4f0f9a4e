#include "ControlTest.h"
#include "toolbox/HIObjectCalls.h"

#include <cstdlib>
#include <cstring>

namespace tw::test {

namespace {

    // A scrollable content of 1000 x 800 pixels that keeps its origin.
    struct Content {
        HIViewRef view = nullptr;
        CGPoint origin {};
    };

    OSStatus ContentHandler(EventHandlerCallRef callRef, EventRef event, void* data)
    {
        static Content* sMade = nullptr;
        if (GetEventClass(event) == kEventClassHIObject && GetEventKind(event) == kEventHIObjectConstruct) {
            HIObjectRef object = nullptr;
            GetEventParameter(
                event, kEventParamHIObjectInstance, typeHIObjectRef, nullptr, sizeof object, nullptr, &object);
            sMade->view = static_cast<HIViewRef>(object);
            void* instance = sMade;
            SetEventParameter(event, kEventParamHIObjectInstance, typeVoidPtr, sizeof instance, &instance);
            return noErr;
        }
        if (!data) {
            sMade = static_cast<Content*>(static_cast<void*>(callRef));
            return noErr;
        }
        auto* content = static_cast<Content*>(data);
        if (GetEventClass(event) == kEventClassControl) {
            ControlPartCode const part = 1; // the content takes clicks and the wheel first
            SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
            return noErr;
        }
        if (GetEventKind(event) == kEventScrollableGetInfo) {
            HIRect bounds {};
            HIViewGetBounds(content->view, &bounds);
            HISize const image { 1000, 800 }, line { 10, 20 };
            SetEventParameter(event, kEventParamImageSize, typeHISize, sizeof image, &image);
            SetEventParameter(event, kEventParamViewSize, typeHISize, sizeof bounds.size, &bounds.size);
            SetEventParameter(event, kEventParamOrigin, typeHIPoint, sizeof content->origin, &content->origin);
            SetEventParameter(event, kEventParamLineSize, typeHISize, sizeof line, &line);
            return noErr;
        }
        if (GetEventKind(event) == kEventScrollableScrollTo) {
            GetEventParameter(
                event, kEventParamOrigin, typeHIPoint, nullptr, sizeof content->origin, nullptr, &content->origin);
            return noErr;
        }
        return eventNotHandledErr;
    }

    class ScrollViewTest : public ControlTest {
    protected:
        void SetUp() override
        {
            ControlTest::SetUp();
            static EventTypeSpec const events[] = { { kEventClassScrollable, kEventScrollableGetInfo },
                { kEventClassScrollable, kEventScrollableScrollTo }, { kEventClassControl, kEventControlHitTest } };
            static bool sRegistered = false;
            if (!sRegistered)
                HIObjectRegisterSubclass(CFSTR("com.tarnwick.test.scrollcontent"), CFSTR("com.apple.hiview"), 0,
                    ContentHandler, 3, events, nullptr, nullptr);
            sRegistered = true;
            ContentHandler(reinterpret_cast<EventHandlerCallRef>(&mContent), nullptr, nullptr);
            HIObjectRef object = nullptr;
            ASSERT_EQ(HIObjectCreate(CFSTR("com.tarnwick.test.scrollcontent"), nullptr, &object), noErr);
            ASSERT_EQ(
                HIScrollViewCreate(kHIScrollViewOptionsVertScroll | kHIScrollViewOptionsHorizScroll, &mScroll), noErr);
            HIRect const frame = CGRectMake(10, 10, 315, 215);
            HIViewSetFrame(mScroll, &frame);
            HIViewAddSubview(mScroll, static_cast<HIViewRef>(object));
            CFRelease(static_cast<HIViewRef>(object));
            ControlRef root = nullptr;
            GetRootControl(mWindow, &root);
            HIViewAddSubview(root, mScroll);
            CFRelease(mScroll);
            Run();
            ProbeScreen(); // the first drawing places the content, as on screen
        }

        Content mContent;
        HIViewRef mScroll = nullptr;
    };

    TEST_F(ScrollViewTest, ContentSitsBesideFifteenPixelBars)
    {
        if (char const* path = std::getenv("TW_SCROLL_VIEW_SHOT")) {
            HIScrollViewNavigate(mScroll, kHIScrollViewPageDown);
            display::WindowServer::Get().WritePNG(path);
            HIScrollViewNavigate(mScroll, kHIScrollViewScrollToTop);
        }
        HIRect frame {};
        HIViewGetFrame(mContent.view, &frame);
        EXPECT_EQ(frame.size.width, 300);
        EXPECT_EQ(frame.size.height, 200);
        // Clicks on the bars belong to the scroll view, clicks on the content to the content.
        HIViewRef hit = nullptr;
        HIPoint const bar { 308, 50 };
        HIViewGetSubviewHit(mScroll, &bar, true, &hit);
        EXPECT_EQ(hit, nullptr);
    }

    TEST_F(ScrollViewTest, NavigationReachesBothEndsAndStops)
    {
        EXPECT_FALSE(HIScrollViewCanNavigate(mScroll, kHIScrollViewPageUp));
        EXPECT_TRUE(HIScrollViewCanNavigate(mScroll, kHIScrollViewPageDown));
        ASSERT_EQ(HIScrollViewNavigate(mScroll, kHIScrollViewScrollToBottom | kHIScrollViewScrollToRight), noErr);
        EXPECT_EQ(mContent.origin.y, 600);
        EXPECT_EQ(mContent.origin.x, 700);
        EXPECT_FALSE(HIScrollViewCanNavigate(mScroll, kHIScrollViewPageDown));
        HIScrollViewNavigate(mScroll, kHIScrollViewPageUp);
        EXPECT_EQ(mContent.origin.y, 600 - 180); // a page keeps one line in view
        HIScrollViewNavigate(mScroll, kHIScrollViewScrollToTop | kHIScrollViewScrollToLeft);
        EXPECT_EQ(mContent.origin.y, 0);
        EXPECT_EQ(mContent.origin.x, 0);
    }

    TEST_F(ScrollViewTest, WheelAndBarsScrollTheContent)
    {
        CGPoint const middle = Global(mScroll, { 150, 100 });
        InputDriver::Wheel(middle, -2);
        Run();
        EXPECT_EQ(mContent.origin.y, 2 * 3 * 20);
        // A press in the vertical bar below the thumb pages down.
        InputDriver::Click(Global(mScroll, { 307, 190 }));
        Run();
        EXPECT_EQ(mContent.origin.y, 120 + 180);
        // Dragging the horizontal thumb to the far right reaches the right end, not beyond.
        CGPoint const thumb = Global(mScroll, { 20, 207 });
        InputDriver::Drag(thumb, { thumb.x + 400, thumb.y }, 3);
        Run();
        EXPECT_EQ(mContent.origin.x, 700);
    }

    using ColourDialogTest = ControlTest;

    struct Script {
        int red = -1;
        OSType command = kHICommandOK;
    };

    // Plays the user: once the dialog shows, moves the red slider and clicks a button.
    void PlayUser(EventLoopTimerRef, void* data)
    {
        auto* script = static_cast<Script*>(data);
        WindowRef dialog = FrontWindow();
        if (char const* path = std::getenv("TW_COLOUR_DIALOG"))
            display::WindowServer::Get().WritePNG(path);
        ControlRef root = nullptr;
        GetRootControl(dialog, &root);
        UInt16 count = 0;
        CountSubControls(root, &count);
        for (UInt16 i = 1; i <= count; ++i) {
            ControlRef control = nullptr;
            GetIndexedSubControl(root, i, &control);
            UInt32 command = 0;
            GetControlCommandID(control, &command);
            if (script->red >= 0 && GetControl32BitMaximum(control) == 255) {
                SetControl32BitValue(control, script->red);
                script->red = -1;
            }
            if (command == script->command) {
                HIViewSimulateClick(control, kControlButtonPart, 0, nullptr);
                return;
            }
        }
    }

    TEST_F(ColourDialogTest, OkReturnsTheChosenColourKeepingUntouchedChannels)
    {
        Script script { 255, kHICommandOK };
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(GetMainEventLoop(), 0.2, 0, PlayUser, &script, &timer);
        unsigned char const prompt[] = "\x17Please select a colour:";
        RGBColor const in { 0, 0x1234, 0xFFFF };
        RGBColor out {};
        EXPECT_TRUE(GetColor(Point { -1, -1 }, prompt, &in, &out));
        EXPECT_EQ(out.red, 0xFFFF);
        EXPECT_EQ(out.green, 0x1234);
        EXPECT_EQ(out.blue, 0xFFFF);
        RemoveEventLoopTimer(timer);
    }

    TEST_F(ColourDialogTest, CancelLeavesTheColourAlone)
    {
        Script script { 10, kHICommandCancel };
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(GetMainEventLoop(), 0.2, 0, PlayUser, &script, &timer);
        RGBColor const in { 1, 2, 3 };
        RGBColor out { 7, 7, 7 };
        EXPECT_FALSE(GetColor(Point { -1, -1 }, nullptr, &in, &out));
        EXPECT_EQ(out.red, 7);
        RemoveEventLoopTimer(timer);
    }

    TEST_F(ControlTest, ChasingArrowsTurnWhileTheLoopRuns)
    {
        Rect const r { 20, 20, 52, 52 };
        ControlRef arrows = nullptr;
        CreateChasingArrowsControl(mWindow, &r, &arrows);
        Run(0.05);
        PixelProbe const before = ProbeWindow(mWindow);
        std::vector<Pixel> first;
        Rect content {};
        GetWindowBounds(mWindow, kWindowContentRgn, &content);
        Rect structure {};
        GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
        int const top = content.top - structure.top;
        for (int y = 20; y < 52; ++y)
            for (int x = 20; x < 52; ++x)
                first.push_back(before.At(x, top + y));
        Run(0.2);
        PixelProbe const after = ProbeWindow(mWindow);
        int changed = 0;
        std::size_t i = 0;
        for (int y = 20; y < 52; ++y)
            for (int x = 20; x < 52; ++x, ++i) {
                Pixel const now = after.At(x, top + y);
                changed += now.r != first[i].r || now.g != first[i].g || now.b != first[i].b || now.a != first[i].a;
            }
        EXPECT_GT(changed, 20);
    }

} // namespace

} // namespace tw::test
