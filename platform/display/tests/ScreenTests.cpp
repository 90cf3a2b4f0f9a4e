#include "DisplayTest.h"
#include "quartz/CGContext.h"
#include "toolbox/Window.h"

#include <cairo.h>
#include <filesystem>

namespace tw::test {
namespace {

    using Screen = DisplayTest;

    bool IsDesktop(Pixel p) { return IsColour(p, 92, 115, 140, 255, 3); }

    TEST_F(Screen, ComposesTheMenuBarAWindowAndItsSheetAndWritesThemToAPNG)
    {
        ASSERT_EQ(SetMenuBarFromNib(mNib, CFSTR("MenuBar")), noErr);
        WindowRef window = ShowNibWindow("Test");
        WindowRef sheet = nullptr;
        ASSERT_EQ(CreateWindowFromNib(mNib, CFSTR("Test Sheet"), &sheet), noErr);
        ASSERT_EQ(ShowSheetWindow(sheet, window), noErr);
        WindowRef second = nullptr;
        ASSERT_EQ(CreateWindowFromNib(mNib, CFSTR("Test Sheet"), &second), noErr);
        EXPECT_NE(ShowSheetWindow(second, window), noErr) << "one sheet per window";

        PixelProbe const screen = ProbeScreen();
        // The menu bar: light, with dark title text on it.
        EXPECT_TRUE(IsColour(screen.At(1270, 5), 247, 247, 247));
        EXPECT_TRUE(screen.Any({ 10, 2, 120, 20 }, [](Pixel p) { return p.r < 90; }));
        // The desktop around the window; the window's frame from (120, 68) to (600, 410).
        EXPECT_TRUE(IsDesktop(screen.At(110, 200)));
        EXPECT_TRUE(IsDesktop(screen.At(700, 500)));
        EXPECT_FALSE(IsDesktop(screen.At(300, 80)));
        EXPECT_TRUE(IsColour(screen.At(300, 72), 214, 214, 214)) << "an active title bar";
        // The sheet hangs from the title bar, centred: 300 wide from x = 210.
        EXPECT_TRUE(IsColour(screen.At(360, 100), 247, 247, 247)) << "sheet background";
        EXPECT_TRUE(IsColour(screen.At(200, 300), 237, 237, 237)) << "window background beside the sheet";
        auto const sheetEdge = screen.Bounds([&](Pixel p) { return IsColour(p, 247, 247, 247); });
        ASSERT_TRUE(sheetEdge);
        // The Cancel and OK buttons of the window are drawn in their places at the bottom right.
        for (PixelBox const button : { PixelBox { 390, 360, 480, 384 }, PixelBox { 490, 360, 580, 384 } })
            EXPECT_GT(screen.Count(button, [](Pixel p) { return !IsColour(p, 237, 237, 237); }), 200);

        std::filesystem::path const dir = std::filesystem::path(TW_BUNDLE_DIR).parent_path() / "screenshots";
        std::filesystem::create_directories(dir);
        EXPECT_EQ(display::WindowServer::Get().WritePNG((dir / "toolbox-window-sheet.png").string()), noErr);
        EXPECT_TRUE(std::filesystem::file_size(dir / "toolbox-window-sheet.png") > 1000);

        DisposeWindow(second);
        DisposeWindow(window); // disposes the sheet it holds
        DisposeWindow(sheet); // and this drops the sheet's creator's reference
    }

    TEST_F(Screen, RedrawsOnlyWhatChangedAndHiddenWindowsLeaveTheDesktop)
    {
        WindowRef window = ShowNibWindow("Test");
        display::WindowServer::Get().Compose();
        EXPECT_TRUE(display::WindowServer::Get().GetDirty().empty());
        EXPECT_FALSE(display::WindowServer::Get().Compose()) << "nothing changed, nothing drawn";
        HIViewSetNeedsDisplay(Find(window, 'chek'), true);
        ASSERT_EQ(display::WindowServer::Get().GetDirty().size(), 1u);
        CGRect const dirty = display::WindowServer::Get().GetDirty().front();
        EXPECT_TRUE(CGRectEqualToRect(dirty, CGRectMake(120 + 240, 90 + 50, 200, 20)));
        HideWindow(window);
        EXPECT_TRUE(IsDesktop(ProbeScreen().At(300, 200)));
        DisposeWindow(window);
    }

    TEST_F(Screen, AreasMergedIntoOneInvalidAreaAllReachTheScreen)
    {
        WindowRef window = ShowNibWindow("Test");
        display::WindowServer::Get().Compose();
        // Nine small areas on a diagonal merge into one; an area between them lies inside
        // the merged one but in none of the nine, and must still be repainted on the screen.
        for (int i = 0; i < 9; ++i)
            window->InvalidateRect(CGRectMake(10 + 30 * i, 40 + 20 * i, 10, 10));
        CGRect const between = CGRectMake(200, 50, 20, 20);
        window->InvalidateRect(between);
        CGRect const onScreen = CGRectOffset(between, window->GetStructure().origin.x, window->GetStructure().origin.y);
        bool covered = false;
        for (CGRect const& dirty : display::WindowServer::Get().GetDirty())
            covered = covered || CGRectContainsRect(dirty, onScreen);
        EXPECT_TRUE(covered);
        DisposeWindow(window);
    }

    // Draws red the first time, asking to be drawn again; blue from then on.
    OSStatus RedrawnWhileDrawing(EventHandlerCallRef, EventRef event, void* drawn)
    {
        CGContextRef context = nullptr;
        GetEventParameter(event, kEventParamCGContextRef, typeCGContextRef, nullptr, sizeof context, nullptr, &context);
        ControlRef view = nullptr;
        GetEventParameter(event, kEventParamDirectObject, typeControlRef, nullptr, sizeof view, nullptr, &view);
        int& count = *static_cast<int*>(drawn);
        if (count++ == 0) {
            CGContextSetRGBFillColor(context, 1, 0, 0, 1);
            HIViewSetNeedsDisplay(view, true);
        } else {
            CGContextSetRGBFillColor(context, 0, 0, 1, 1);
        }
        CGContextFillRect(context, view->GetBounds());
        return noErr;
    }

    TEST_F(Screen, AViewAskingToBeDrawnAgainWhileItDrawsIsShownAsDrawnTheSecondTime)
    {
        WindowRef window = ShowNibWindow("Test");
        HIViewRef pane = Find(window, 'pane', 1);
        ASSERT_NE(pane, nullptr);
        int drawn = 0;
        EventTypeSpec const draw { kEventClassControl, kEventControlDraw };
        InstallEventHandler(GetControlEventTarget(pane), RedrawnWhileDrawing, 1, &draw, &drawn, nullptr);
        HIViewSetNeedsDisplay(pane, true);
        CGRect const frame = pane->GetBounds();
        CGPoint const centre = pane->ToWindow({ CGRectGetMidX(frame), CGRectGetMidY(frame) });
        CGRect const structure = window->GetStructure();
        PixelProbe const screen = ProbeScreen();
        EXPECT_EQ(drawn, 2);
        EXPECT_TRUE(IsColour(
            screen.At(int(structure.origin.x + centre.x), int(structure.origin.y + centre.y)), 0, 0, 255, 255, 3));
        // A later change of the view is shown too.
        HIViewSetNeedsDisplay(pane, true);
        drawn = 0;
        EXPECT_TRUE(IsColour(ProbeScreen().At(int(structure.origin.x + centre.x), int(structure.origin.y + centre.y)),
            0, 0, 255, 255, 3));
        DisposeWindow(window);
    }

    OSStatus CountBoundsChanged(EventHandlerCallRef, EventRef, void* count)
    {
        ++*static_cast<int*>(count);
        return eventNotHandledErr;
    }

    TEST_F(Screen, AShrinkingScreenBringsEveryWindowBackInsideTheDesktop)
    {
        // The nib window is 480 × 320 at (120, 90) and resizable; a dialog is not.
        WindowRef document = ShowNibWindow("Test");
        Rect const dialogBounds { 500, 900, 700, 1200 };
        WindowRef dialog = nullptr;
        ASSERT_EQ(CreateNewWindow(kMovableModalWindowClass, kWindowStandardHandlerAttribute, &dialogBounds, &dialog),
            noErr);
        Rect const innerBounds { 60, 20, 160, 220 };
        WindowRef inside = nullptr;
        ASSERT_EQ(CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &innerBounds, &inside), noErr);
        int moves = 0;
        EventTypeSpec const changed { kEventClassWindow, kEventWindowBoundsChanged };
        InstallEventHandler(GetWindowEventTarget(document), CountBoundsChanged, 1, &changed, &moves, nullptr);
        Rect before {};
        GetWindowBounds(inside, kWindowStructureRgn, &before);

        display::WindowServer::Get().Request({ display::WindowRequestKind::ResizeScreen, { 400, 300 } });
        Rect frame {};
        GetWindowBounds(document, kWindowStructureRgn, &frame);
        EXPECT_EQ(frame.left, 0);
        EXPECT_EQ(frame.top, 22) << "below the menu bar";
        EXPECT_EQ(frame.right, 400) << "shrunk to the desktop's width";
        EXPECT_EQ(frame.bottom, 300) << "the grow box in reach";
        EXPECT_EQ(moves, 1) << "the window heard once of its new bounds";
        GetWindowBounds(dialog, kWindowStructureRgn, &frame);
        EXPECT_EQ(frame.right, 400) << "moved back to the right edge, its size kept";
        EXPECT_EQ(frame.right - frame.left, 300);
        EXPECT_EQ(frame.bottom, 300);
        Rect after {};
        GetWindowBounds(inside, kWindowStructureRgn, &after);
        EXPECT_EQ(after.left, before.left) << "a window inside stays where it is";
        EXPECT_EQ(after.top, before.top);
        // Growing the screen moves nothing back.
        display::WindowServer::Get().Request({ display::WindowRequestKind::ResizeScreen, { 1280, 800 } });
        GetWindowBounds(document, kWindowStructureRgn, &frame);
        EXPECT_EQ(frame.right, 400);
        DisposeWindow(inside);
        DisposeWindow(dialog);
        DisposeWindow(document);
    }

} // namespace
} // namespace tw::test

namespace tw::test {
namespace {

    using WindowFrame = DisplayTest;

    TEST_F(WindowFrame, TitleBarDragsTheWindowAndTheCloseBoxClosesIt)
    {
        WindowRef window = ShowNibWindow("Test");
        CFRetain(window);
        InputDriver::Drag({ 300, 78 }, { 350, 128 }); // by the title bar, 50 px right and down
        Run();
        Rect structure {};
        GetWindowBounds(window, kWindowStructureRgn, &structure);
        EXPECT_EQ(structure.left, 170);
        EXPECT_EQ(structure.top, 118);
        InputDriver::Drag({ 350, 0 }, { 350, 0 }); // a press in the menu bar does not move it
        InputDriver::Click({ 170 + 14, 118 + 11 }); // the close box
        Run();
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_EQ(HIViewGetRoot(window), nullptr) << "closed and disposed";
        CFRelease(window);
    }

    // Collapsed, only the title bar stays: the desktop shows below it and clicks there miss the window.
    TEST_F(WindowFrame, ACollapsedWindowKeepsOnlyItsTitleBarOnScreenAndUnderTheMouse)
    {
        WindowRef window = ShowNibWindow("Test");
        int clicks = 0;
        EventTypeSpec const down { kEventClassMouse, kEventMouseDown };
        auto const count = [](EventHandlerCallRef, EventRef, void* data) -> OSStatus {
            ++*static_cast<int*>(data);
            return eventNotHandledErr;
        };
        InstallEventHandler(GetWindowEventTarget(window), count, 1, &down, &clicks, nullptr);
        CollapseWindow(window, true);
        Rect structure {};
        GetWindowBounds(window, kWindowStructureRgn, &structure);
        int const below = structure.top + static_cast<int>(toolbox::LiveWindow(window)->GetTitleBarHeight());
        int const x = structure.left + 200;
        PixelProbe const screen = ProbeScreen();
        EXPECT_FALSE(IsDesktop(screen.At(x, below - 1))) << "the title bar's last row";
        EXPECT_TRUE(IsDesktop(screen.At(x, below))) << "the desktop just below it";
        EXPECT_TRUE(IsDesktop(screen.At(x, structure.bottom - 2)));

        InputDriver::Click({ double(x), double(below) });
        Run();
        EXPECT_EQ(clicks, 0);
        InputDriver::Click({ double(x), double(below - 1) });
        Run();
        EXPECT_EQ(clicks, 1);
        CollapseWindow(window, false);
        EXPECT_FALSE(IsDesktop(ProbeScreen().At(x, below)));
        DisposeWindow(window);
    }

    TEST_F(WindowFrame, HelpTagShowsAfterTheMouseRestsOnAViewWithHelp)
    {
        WindowRef window = ShowNibWindow("Test");
        InputDriver::MouseMove({ 120 + 40, 90 + 28 }); // over the label
        Run(0.2);
        EXPECT_EQ(toolbox::HelpTags::ShowingText(), nullptr) << "not yet";
        Run(1.0);
        ASSERT_NE(toolbox::HelpTags::ShowingText(), nullptr);
        CGRect const tag = toolbox::HelpTags::ShowingFrame();
        PixelProbe const screen = ProbeScreen();
        EXPECT_TRUE(
            IsColour(screen.At(static_cast<int>(tag.origin.x) + 2, static_cast<int>(tag.origin.y) + 2), 255, 255, 217));
        InputDriver::MouseMove({ 700, 600 });
        Run();
        EXPECT_EQ(toolbox::HelpTags::ShowingText(), nullptr) << "gone when the mouse leaves";
        DisposeWindow(window);
    }

} // namespace
} // namespace tw::test
