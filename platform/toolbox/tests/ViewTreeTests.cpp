#include "ToolboxTest.h"
#include "toolbox/HIObjectCalls.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"

namespace tw::test {
namespace {

    HIViewRef MakeView(char const* classID, CGRect frame, HIViewRef parent)
    {
        EventRef init = nullptr;
        CreateEvent(nullptr, kEventClassHIObject, kEventHIObjectInitialize, 0, 0, &init);
        SetEventParameter(init, kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
        HIObjectRef object = nullptr;
        CFStringRef id = cf::CreateString(classID);
        EXPECT_EQ(HIObjectCreate(id, init, &object), noErr);
        CFRelease(id);
        ReleaseEvent(init);
        auto view = static_cast<HIViewRef>(object);
        if (parent) {
            EXPECT_EQ(HIViewAddSubview(parent, view), noErr);
            CFRelease(view); // the parent holds it now
        }
        return view;
    }

    OSStatus CountingHandler(EventHandlerCallRef, EventRef, void* userData)
    {
        ++*static_cast<int*>(userData);
        return noErr; // handled: a plain dispatch would stop here
    }

    OSStatus AnswerPart(EventHandlerCallRef, EventRef event, void* userData)
    {
        ControlPartCode const part = static_cast<ControlPartCode>(reinterpret_cast<intptr_t>(userData));
        SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        return noErr;
    }

    // A view with one focusable part that leaves the focus when asked to move on from it.
    OSStatus OnePartFocus(EventHandlerCallRef, EventRef event, void* userData)
    {
        bool& focused = *static_cast<bool*>(userData);
        ControlPartCode part = 0;
        GetEventParameter(event, kEventParamControlPart, typeControlPartCode, nullptr, sizeof part, nullptr, &part);
        if (part == kControlFocusNextPart || part == kControlFocusPrevPart)
            part = focused ? 0 : 129;
        focused = part != 0;
        SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        return noErr;
    }

    using ViewTree = ToolboxTest;

    TEST_F(ViewTree, DisposingTheWindowDisposesEveryViewWhateverReferencesRemain)
    {
        WindowRef window = MakeWindow();
        HIViewRef content = nullptr;
        ASSERT_EQ(GetRootControl(window, &content), noErr);
        HIViewRef pane = MakeView("com.apple.HIUserPane", CGRectMake(10, 10, 100, 100), content);
        HIViewRef inner = MakeView("com.apple.HIPushButton", CGRectMake(5, 5, 50, 20), pane);
        CFRetain(inner); // someone else still holds the button
        int disposeCount = 0;
        EventTypeSpec const dispose { kEventClassControl, kEventControlDispose };
        // Two handlers that both answer: each still hears of the dispose.
        InstallEventHandler(GetControlEventTarget(inner), CountingHandler, 1, &dispose, &disposeCount, nullptr);
        InstallEventHandler(GetControlEventTarget(inner), CountingHandler, 1, &dispose, &disposeCount, nullptr);

        DisposeWindow(window);

        EXPECT_EQ(disposeCount, 2);
        // The button is dead but allocated: every call is a safe no-op.
        HIRect frame {};
        EXPECT_EQ(HIViewGetFrame(inner, &frame), paramErr);
        EXPECT_EQ(HIViewSetVisible(inner, false), paramErr);
        EXPECT_EQ(HIViewGetWindow(inner), nullptr);
        EXPECT_EQ(GetRootControl(window, &content), errNoRootControl);
        CFRelease(inner); // freed now, once
    }

    TEST_F(ViewTree, RemovalReleasesAndSubviewsKeepBackToFrontOrder)
    {
        WindowRef window = MakeWindow();
        HIViewRef content = HIViewGetRoot(window);
        GetRootControl(window, &content);
        HIViewRef a = MakeView("com.apple.HIUserPane", CGRectMake(0, 0, 10, 10), content);
        HIViewRef b = MakeView("com.apple.HIUserPane", CGRectMake(0, 0, 10, 10), content);
        HIViewRef c = MakeView("com.apple.HIUserPane", CGRectMake(0, 0, 10, 10), content);
        EXPECT_EQ(HIViewGetFirstSubview(content), c); // the frontmost
        EXPECT_EQ(HIViewGetNextView(c), b);
        ASSERT_EQ(HIViewSetZOrder(c, kHIViewZOrderBelow, a), noErr);
        ControlRef first = nullptr;
        GetIndexedSubControl(content, 1, &first);
        EXPECT_EQ(first, c);
        EXPECT_EQ(CFGetRetainCount(b), 1);
        CFRetain(b);
        EXPECT_EQ(HIViewRemoveFromSuperview(b), noErr);
        EXPECT_EQ(CFGetRetainCount(b), 1);
        EXPECT_EQ(HIViewGetWindow(b), nullptr);
        CFRelease(b);
        UInt16 count = 0;
        CountSubControls(content, &count);
        EXPECT_EQ(count, 2);
        EXPECT_NE(HIViewAddSubview(a, content), noErr) << "a view cannot hold its own ancestor";
        DisposeWindow(window);
    }

    TEST_F(ViewTree, ConvertsPointsThroughFramesAndBoundsOrigins)
    {
        WindowRef window = MakeWindow(); // content at (100, 100) global, below a 22 px title bar
        HIViewRef content = nullptr;
        GetRootControl(window, &content);
        HIViewRef outer = MakeView("com.apple.HIUserPane", CGRectMake(10, 20, 200, 100), content);
        HIViewRef inner = MakeView("com.apple.HIUserPane", CGRectMake(5, 5, 50, 50), outer);
        HIViewSetBoundsOrigin(outer, 100, 0); // outer scrolled right by 100
        HIPoint p { 1, 2 };
        ASSERT_EQ(HIViewConvertPoint(&p, inner, content), noErr);
        EXPECT_DOUBLE_EQ(p.x, 1 + 5 - 100 + 10);
        EXPECT_DOUBLE_EQ(p.y, 2 + 5 + 20);
        ASSERT_EQ(HIViewConvertPoint(&p, content, nullptr), noErr); // to the structure
        EXPECT_DOUBLE_EQ(p.y, 27 + 22);
        ASSERT_EQ(HIViewConvertPoint(&p, nullptr, inner), noErr);
        EXPECT_DOUBLE_EQ(p.x, 1);
        EXPECT_DOUBLE_EQ(p.y, 2);
        Rect bounds {};
        GetWindowBounds(window, kWindowStructureRgn, &bounds);
        EXPECT_EQ(bounds.top, 100 - 22);
        DisposeWindow(window);
    }

    TEST_F(ViewTree, ViewsAnsweringPartZeroAreTransparentToTheMouse)
    {
        WindowRef window = MakeWindow();
        HIViewRef content = nullptr;
        GetRootControl(window, &content);
        HIViewRef below = MakeView("com.apple.HIUserPane", CGRectMake(0, 0, 100, 100), content);
        HIViewRef overlay = MakeView("com.apple.HIUserPane", CGRectMake(0, 0, 100, 100), content);
        HIViewRef button = MakeView("com.apple.HIPushButton", CGRectMake(60, 60, 30, 20), overlay);
        EventTypeSpec const hit { kEventClassControl, kEventControlHitTest };
        InstallEventHandler(GetControlEventTarget(below), AnswerPart, 1, &hit, reinterpret_cast<void*>(129), nullptr);

        HIPoint p { 10, 10 };
        HIViewRef found = nullptr;
        ASSERT_EQ(HIViewGetSubviewHit(content, &p, true, &found), noErr);
        EXPECT_EQ(found, below) << "the overlay answers part 0 and lets the click through";
        p = { 65, 65 };
        HIViewGetSubviewHit(content, &p, true, &found);
        EXPECT_EQ(found, button);
        HIViewGetSubviewHit(content, &p, false, &found);
        EXPECT_EQ(found, overlay) << "not deep: the direct sub view holding the hit";
        HIViewSetVisible(button, false);
        HIViewGetSubviewHit(content, &p, true, &found);
        EXPECT_EQ(found, below);
        DisposeWindow(window);
    }

    TEST_F(ViewTree, LayoutBindingsFollowTheParentsSize)
    {
        WindowRef window = MakeWindow(kDocumentWindowClass, { 100, 100, 300, 400 }); // 300 x 200 content
        HIViewRef content = nullptr;
        GetRootControl(window, &content);
        HIViewRef stretch = MakeView("com.apple.HIUserPane", CGRectMake(10, 10, 280, 150), content);
        HIViewRef corner = MakeView("com.apple.HIPushButton", CGRectMake(200, 170, 90, 20), content);
        HILayoutInfo layout {};
        layout.binding.right.kind = kHILayoutBindMax;
        layout.binding.bottom.kind = kHILayoutBindMax;
        HIViewSetLayoutInfo(stretch, &layout);
        layout = {};
        layout.binding.left.kind = kHILayoutBindMax;
        layout.binding.top.kind = kHILayoutBindMax;
        HIViewSetLayoutInfo(corner, &layout);

        Rect const bigger { 100, 100, 350, 500 }; // 400 x 250
        ASSERT_EQ(SetWindowBounds(window, kWindowContentRgn, &bigger), noErr);
        HIRect frame {};
        HIViewGetFrame(stretch, &frame);
        EXPECT_TRUE(CGRectEqualToRect(frame, CGRectMake(10, 10, 380, 200)));
        HIViewGetFrame(corner, &frame);
        EXPECT_TRUE(CGRectEqualToRect(frame, CGRectMake(300, 220, 90, 20)));
        DisposeWindow(window);
    }

    TEST_F(ViewTree, PropertiesAndControlDataRoundTripAndMissingOnesFail)
    {
        HIViewRef view = MakeView("com.apple.HIUserPane", CGRectMake(0, 0, 10, 10), nullptr);
        UInt32 const value = 0xCAFEF00D;
        ASSERT_EQ(SetControlProperty(view, 'PCtl', 'cont', sizeof value, &value), noErr);
        UInt32 got = 0;
        ByteCount size = 0;
        EXPECT_EQ(GetControlProperty(view, 'PCtl', 'cont', sizeof got, &size, &got), noErr);
        EXPECT_EQ(got, value);
        EXPECT_EQ(size, sizeof value);
        UInt16 tooSmall = 0;
        EXPECT_EQ(GetControlProperty(view, 'PCtl', 'cont', sizeof tooSmall, nullptr, &tooSmall), paramErr);
        EXPECT_EQ(GetControlProperty(view, 'PCtl', 'none', sizeof got, nullptr, &got), controlPropertyNotFoundErr);

        double const data = 2.5;
        ASSERT_EQ(SetControlData(view, 7, 'cont', sizeof data, &data), noErr);
        double back = 0;
        Size actual = 0;
        EXPECT_EQ(GetControlData(view, 7, 'cont', sizeof back, &back, &actual), noErr);
        EXPECT_EQ(back, 2.5);
        EXPECT_EQ(GetControlData(view, 8, 'cont', sizeof back, &back, &actual), errDataNotSupported) << "another part";
        CFRelease(view);
    }

    // Bindings mirror the minimum and maximum too, so a change of range must be heard
    // even when the value itself stays; the value is clamped into the new range.
    TEST_F(ViewTree, ChangingTheRangeReportsTheValueFieldOnceAndClampsTheValue)
    {
        HIViewRef view = MakeView("com.apple.HIUserPane", CGRectMake(0, 0, 10, 10), nullptr);
        SetControl32BitMaximum(view, 100);
        SetControl32BitValue(view, 50);
        int changes = 0;
        EventTypeSpec const changed { kEventClassControl, kEventControlValueFieldChanged };
        InstallEventHandler(GetControlEventTarget(view), CountingHandler, 1, &changed, &changes, nullptr);
        SetControl32BitMinimum(view, 10);
        EXPECT_EQ(changes, 1) << "the value stayed, the range did not";
        SetControl32BitMinimum(view, 10);
        EXPECT_EQ(changes, 1) << "nothing changed";
        SetControl32BitMaximum(view, 30);
        EXPECT_EQ(changes, 2);
        EXPECT_EQ(GetControl32BitValue(view), 30);
        CFRelease(view);
    }

    TEST_F(ViewTree, TabMovesFocusThroughViewsThatTakeIt)
    {
        WindowRef window = MakeWindow();
        HIViewRef content = nullptr;
        GetRootControl(window, &content);
        HIViewRef first = MakeView("com.apple.HIUserPane", CGRectMake(0, 0, 10, 10), content);
        HIViewRef skipped = MakeView("com.apple.HIUserPane", CGRectMake(0, 20, 10, 10), content);
        HIViewRef second = MakeView("com.apple.HIUserPane", CGRectMake(0, 40, 10, 10), content);
        EventTypeSpec const focus { kEventClassControl, kEventControlSetFocusPart };
        bool firstFocused = false, secondFocused = false;
        InstallEventHandler(GetControlEventTarget(first), OnePartFocus, 1, &focus, &firstFocused, nullptr);
        InstallEventHandler(GetControlEventTarget(second), OnePartFocus, 1, &focus, &secondFocused, nullptr);

        ControlRef focused = nullptr;
        ASSERT_EQ(AdvanceKeyboardFocus(window), noErr);
        GetKeyboardFocus(window, &focused);
        EXPECT_EQ(focused, first);
        ASSERT_EQ(AdvanceKeyboardFocus(window), noErr);
        GetKeyboardFocus(window, &focused);
        EXPECT_EQ(focused, second) << "the view between takes no focus";
        EXPECT_FALSE(firstFocused) << "the view that lost the focus was told";
        ASSERT_EQ(ReverseKeyboardFocus(window), noErr);
        GetKeyboardFocus(window, &focused);
        EXPECT_EQ(focused, first);
        EXPECT_EQ(SetKeyboardFocus(window, skipped, kControlFocusNextPart), errCouldntSetFocus);
        // The focus is a weak reference: a disposed view lets go of it.
        DisposeControl(first);
        GetKeyboardFocus(window, &focused);
        EXPECT_EQ(focused, nullptr);
        DisposeWindow(window);
    }

} // namespace
} // namespace tw::test
