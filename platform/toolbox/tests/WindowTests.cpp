#include "ToolboxTest.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/Window.h"

namespace tw::test {
namespace {

    struct WindowLog {
        std::vector<std::string> entries;
        bool shrink = false;
    };

    OSStatus LogWindow(EventHandlerCallRef, EventRef event, void* userData)
    {
        auto* log = static_cast<WindowLog*>(userData);
        WindowRef window = nullptr;
        GetEventParameter(event, kEventParamDirectObject, typeWindowRef, nullptr, sizeof window, nullptr, &window);
        log->entries.push_back(std::to_string(GetEventKind(event)));
        if (GetEventKind(event) == kEventWindowBoundsChanging && log->shrink) {
            HIRect bounds {};
            GetEventParameter(event, kEventParamCurrentBounds, typeHIRect, nullptr, sizeof bounds, nullptr, &bounds);
            bounds.size.width = 200; // a handler may adjust the new bounds
            SetEventParameter(event, kEventParamCurrentBounds, typeHIRect, sizeof bounds, &bounds);
        }
        return eventNotHandledErr;
    }

    EventTypeSpec const kWindowEvents[] = {
        { kEventClassWindow, kEventWindowActivated },
        { kEventClassWindow, kEventWindowDeactivated },
        { kEventClassWindow, kEventWindowShown },
        { kEventClassWindow, kEventWindowHidden },
        { kEventClassWindow, kEventWindowBoundsChanging },
        { kEventClassWindow, kEventWindowBoundsChanged },
        { kEventClassWindow, kEventWindowClose },
        { kEventClassWindow, kEventWindowClosed },
    };

    using Windows = ToolboxTest;

    TEST_F(Windows, TheListKeepsFloatingAboveDocumentsAndModalAboveAll)
    {
        WindowRef modal = MakeWindow(kMovableModalWindowClass);
        WindowRef palette = MakeWindow(kFloatingWindowClass);
        WindowRef document = MakeWindow(kDocumentWindowClass);
        WindowRef newer = MakeWindow(kDocumentWindowClass);
        auto const& list = toolbox::WindowList::FrontToBack();
        ASSERT_EQ(list.size(), 4u);
        EXPECT_EQ(list[0], modal);
        EXPECT_EQ(list[1], palette);
        EXPECT_EQ(list[2], newer);
        EXPECT_EQ(list[3], document);
        SelectWindow(document);
        EXPECT_EQ(list[2], document) << "selecting brings it to the front of its layer only";
        EXPECT_EQ(GetFrontWindowOfClass(kDocumentWindowClass, false), document);
        EXPECT_EQ(GetNextWindowOfClass(document, kDocumentWindowClass, false), newer);
        for (WindowRef w : { modal, palette, document, newer })
            DisposeWindow(w);
    }

    TEST_F(Windows, SelectingAWindowDeactivatesTheOtherFirst)
    {
        WindowLog a, b;
        WindowRef first = MakeWindow();
        WindowRef second = MakeWindow();
        InstallEventHandler(GetWindowEventTarget(first), LogWindow, 8, kWindowEvents, &a, nullptr);
        InstallEventHandler(GetWindowEventTarget(second), LogWindow, 8, kWindowEvents, &b, nullptr);
        ShowWindow(first);
        ShowWindow(second);
        EXPECT_TRUE(IsWindowActive(second));
        EXPECT_FALSE(IsWindowActive(first));
        a.entries.clear();
        b.entries.clear();
        SelectWindow(first);
        EXPECT_EQ(a.entries, (std::vector<std::string> { "5" }));
        EXPECT_EQ(b.entries, (std::vector<std::string> { "6" }));
        EXPECT_EQ(ActiveNonFloatingWindow(), first);
        DisposeWindow(first);
        EXPECT_TRUE(IsWindowActive(second)) << "the next window takes over";
        DisposeWindow(second);
    }

    // A window may go away in its own activation (a document that saves and closes when
    // brought forward): the activation pass goes on without touching it.
    TEST_F(Windows, AWindowDisposedWhileItIsActivatedLeavesTheNextOneActive)
    {
        WindowRef first = MakeWindow();
        WindowRef second = MakeWindow();
        WindowRef third = MakeWindow();
        for (WindowRef w : { first, second, third })
            ShowWindow(w);
        EventTypeSpec const activated { kEventClassWindow, kEventWindowActivated };
        InstallEventHandler(
            GetWindowEventTarget(first),
            [](EventHandlerCallRef, EventRef, void* data) {
                DisposeWindow(static_cast<WindowRef>(data));
                return OSStatus(noErr);
            },
            1, &activated, first, nullptr);
        SelectWindow(first);
        EXPECT_EQ(toolbox::WindowList::FrontToBack().size(), 2u);
        EXPECT_EQ(ActiveNonFloatingWindow(), third);
        EXPECT_TRUE(IsWindowActive(third));
        EXPECT_FALSE(IsWindowActive(second));
        DisposeWindow(second);
        DisposeWindow(third);
    }

    TEST_F(Windows, BoundsChangingMayAdjustAndChangedFollows)
    {
        WindowLog log;
        log.shrink = true;
        WindowRef window = MakeWindow();
        InstallEventHandler(GetWindowEventTarget(window), LogWindow, 8, kWindowEvents, &log, nullptr);
        Rect const wanted { 200, 200, 400, 600 };
        ASSERT_EQ(SetWindowBounds(window, kWindowContentRgn, &wanted), noErr);
        EXPECT_EQ(log.entries, (std::vector<std::string> { "26", "27" }));
        Rect content {};
        GetWindowBounds(window, kWindowContentRgn, &content);
        EXPECT_EQ(content.right - content.left, 200);
        EXPECT_EQ(content.top, 200);
        Rect structure {};
        GetWindowBounds(window, kWindowStructureRgn, &structure);
        EXPECT_EQ(structure.top, 200 - 22);
        DisposeWindow(window);
    }

    // Sizes from outside (a damaged preference, a script) cannot make a window nobody can grab.
    TEST_F(Windows, AResizableWindowKeepsItsMinimumSizeAndRefusesNonFiniteBounds)
    {
        WindowRef window = MakeWindow();
        Rect const tiny { 100, 100, 101, 101 };
        ASSERT_EQ(SetWindowBounds(window, kWindowContentRgn, &tiny), noErr);
        Rect structure {};
        GetWindowBounds(window, kWindowStructureRgn, &structure);
        EXPECT_GE(structure.right - structure.left, toolbox::Window::kMinimumSize.width);
        EXPECT_GE(structure.bottom - structure.top, toolbox::Window::kMinimumSize.height);
        toolbox::Window* live = toolbox::LiveWindow(window);
        CGRect const before = live->GetStructure();
        EXPECT_EQ(live->SetStructure(CGRectMake(10, 10, INFINITY, 300)), paramErr);
        EXPECT_EQ(live->SetStructure(CGRectMake(10, 10, 300, NAN)), paramErr);
        EXPECT_TRUE(CGRectEqualToRect(live->GetStructure(), before));
        DisposeWindow(window);
    }

    TEST_F(Windows, OneSheetAtATimeAndItsCommandsGoToTheParent)
    {
        WindowRef parent = MakeWindow();
        WindowRef sheet = MakeWindow(kSheetWindowClass, { 0, 0, 100, 200 }, 0);
        WindowRef other = MakeWindow(kSheetWindowClass, { 0, 0, 100, 200 }, 0);
        ShowWindow(parent);
        ASSERT_EQ(ShowSheetWindow(sheet, parent), noErr);
        EXPECT_NE(ShowSheetWindow(other, parent), noErr);
        WindowRef owner = nullptr;
        EXPECT_TRUE(HIWindowIsDocumentModalTarget(parent, &owner));
        EXPECT_EQ(owner, sheet);
        Rect bounds {};
        GetWindowBounds(sheet, kWindowStructureRgn, &bounds);
        EXPECT_EQ(bounds.top, 100) << "hangs from the parent's title bar";
        EXPECT_EQ(sheet->GetTarget().GetParent(), &parent->GetTarget());
        ASSERT_EQ(HideSheetWindow(sheet), noErr);
        EXPECT_FALSE(HIWindowIsDocumentModalTarget(parent, nullptr));
        EXPECT_EQ(ShowSheetWindow(other, parent), noErr) << "free again once the first is hidden";
        DisposeWindow(parent); // disposes the sheet it holds
        EXPECT_FALSE(IsWindowVisible(other));
        DisposeWindow(other);
        DisposeWindow(sheet);
    }

    TEST_F(Windows, CloseDisposesAfterTheClosedEventUnlessAHandlerTakesIt)
    {
        WindowLog log;
        WindowRef window = MakeWindow();
        CFRetain(window); // to look at it afterwards
        InstallEventHandler(GetWindowEventTarget(window), LogWindow, 8, kWindowEvents, &log, nullptr);
        EventRef close = nullptr;
        CreateEvent(nullptr, kEventClassWindow, kEventWindowClose, 0, 0, &close);
        SetEventParameter(close, kEventParamDirectObject, typeWindowRef, sizeof window, &window);
        SendEventToEventTarget(close, GetWindowEventTarget(window));
        ReleaseEvent(close);
        EXPECT_EQ(log.entries, (std::vector<std::string> { "72", "73" }));
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_EQ(HIViewGetRoot(window), nullptr) << "disposed";
        CFRelease(window);
    }

    // A window whose last reference goes without a dispose is disposed first, with
    // its count held: the handlers that hear of it (and retain it while they run)
    // see a whole window, and it is freed exactly once.
    TEST_F(Windows, ReleasingTheLastReferenceDisposesOnAWholeWindowAndFreesOnce)
    {
        struct Seen {
            int disposes = 0;
            bool hadRoot = false;
        } seen;
        WindowRef window = MakeWindow();
        HIViewRef content = nullptr;
        HIViewFindByID(HIViewGetRoot(window), kHIViewWindowContentID, &content);
        ASSERT_NE(content, nullptr);
        EventTypeSpec const dispose { kEventClassControl, kEventControlDispose };
        auto onDispose = [](EventHandlerCallRef, EventRef event, void* userData) -> OSStatus {
            auto* s = static_cast<Seen*>(userData);
            HIViewRef view = nullptr;
            GetEventParameter(event, kEventParamDirectObject, typeControlRef, nullptr, sizeof view, nullptr, &view);
            s->disposes++;
            s->hadRoot = view && HIViewGetWindow(view) && HIViewGetRoot(HIViewGetWindow(view)) != nullptr;
            return eventNotHandledErr;
        };
        InstallEventHandler(GetControlEventTarget(content), onDispose, 1, &dispose, &seen, nullptr);
        EXPECT_EQ(ReleaseWindow(window), noErr);
        EXPECT_EQ(seen.disposes, 1);
        EXPECT_TRUE(seen.hadRoot);
    }

    TEST_F(Windows, PropertiesTitleAlphaAndCollapse)
    {
        WindowRef window = MakeWindow();
        SInt32 const value = 42;
        ASSERT_EQ(SetWindowProperty(window, 'CWin', 'test', sizeof value, &value), noErr);
        SInt32 got = 0;
        EXPECT_EQ(GetWindowProperty(window, 'CWin', 'test', sizeof got, nullptr, &got), noErr);
        EXPECT_EQ(got, 42);
        EXPECT_EQ(GetWindowProperty(window, 'CWin', 'none', sizeof got, nullptr, &got), errWindowPropertyNotFound);
        SetWindowTitleWithCFString(window, CFSTR("Map – Tarnwick"));
        CFStringRef title = nullptr;
        CopyWindowTitleAsCFString(window, &title);
        EXPECT_EQ(cf::ToUTF8(title), "Map – Tarnwick");
        CFRelease(title);
        SetWindowAlpha(window, 7.0);
        CGFloat alpha = 0;
        GetWindowAlpha(window, &alpha);
        EXPECT_EQ(alpha, 1.0) << "clamped";
        CollapseWindow(window, true);
        EXPECT_TRUE(IsWindowCollapsed(window));
        Rect available {};
        GetAvailableWindowPositioningBounds(GetMainDevice(), &available);
        EXPECT_EQ(available.top, 22);
        EXPECT_EQ(available.bottom, 800);
        DisposeWindow(window);
        EXPECT_EQ(SetWindowProperty(window, 'CWin', 'test', sizeof value, &value), paramErr) << "freed: refused";
    }

} // namespace
} // namespace tw::test
