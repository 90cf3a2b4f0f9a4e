#include "framework/CMacWindow.h"
#include "framework/CSplashScreen.h"
#include "framework/tests/DialogTest.h"
#include "tests/support/ScreenProbe.h"


namespace tw::test {
namespace {

    // A plain dark blue picture.
    CGImageRef MakeBackground(size_t width, size_t height)
    {
        CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
        CGContextRef context = CGBitmapContextCreate(
            nullptr, width, height, 8, width * 4, space, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
        CGColorSpaceRelease(space);
        CGContextSetRGBFillColor(context, 0.1, 0.2, 0.4, 1);
        CGContextFillRect(context, { { 0, 0 }, { CGFloat(width), CGFloat(height) } });
        CGImageRef image = CGBitmapContextCreateImage(context);
        CGContextRelease(context);
        return image;
    }

    bool IsWhite(Pixel p) { return p.r > 200 && p.g > 200 && p.b > 200; }
    bool IsBackground(Pixel p) { return std::abs(p.r - 26) < 6 && std::abs(p.g - 51) < 6 && std::abs(p.b - 102) < 6; }

    class SplashScreen : public DialogTest { };

    TEST_F(SplashScreen, DrawsTheImageAndTheStatusLineInItsRectangle)
    {
        auto* splash = new CSplashScreen;
        CGImageRef image = MakeBackground(320, 200);
        splash->SetBackground(image);
        CGImageRelease(image);
        EXPECT_TRUE(CGRectEqualToRect(splash->GetStatusRect(), CGRectMake(0, 0, 320, 200)))
            << "the whole image until a status rectangle is set";
        splash->Open(0);
        WindowRef const window = splash->GetWindow()->GetWindowRef();
        CGFloat alpha = 0;
        GetWindowAlpha(window, &alpha);
        EXPECT_EQ(alpha, 1);

        PixelProbe const empty = ProbeWindow(window);
        EXPECT_TRUE(IsBackground(empty.At(160, 100)));
        EXPECT_EQ(empty.Count({ 0, 0, 320, 200 }, IsWhite), 0) << "no status: only the image";

        splash->SetStatusRect(CGRectMake(0, 160, 320, 30));
        splash->SetStatus(CString("Loading maps\u2026"));
        PixelProbe const text = ProbeWindow(window);
        EXPECT_GT(text.Count({ 100, 160, 220, 190 }, IsWhite), 20) << "the status line, centred in its rectangle";
        EXPECT_EQ(text.Count({ 0, 0, 320, 150 }, IsWhite), 0);
        EXPECT_EQ(text.Count({ 0, 160, 60, 190 }, IsWhite), 0);

        CCarbonEvent noContext(kEventClassControl, kEventControlDraw);
        EXPECT_EQ(splash->DoEventControlDraw(noContext), paramErr);
        splash->Close(0);
        EXPECT_EQ(toolbox::WindowList::FrontToBack().size(), 1u) << "closed before it could be read";
        ManualClock::RunFor(CSplashScreen::kReadingTime);
        EXPECT_TRUE(toolbox::WindowList::FrontToBack().empty()) << "closing deletes the splash and its window";
    }

    // The fades run from the event loop: Open and Close return at once, and the
    // picture stays up for the reading time whenever Close comes.
    TEST_F(SplashScreen, FadesInFromTheLoopAndStaysUntilItHasBeenReadBeforeFadingOut)
    {
        auto* splash = new CSplashScreen;
        CGImageRef image = MakeBackground(64, 64);
        splash->SetBackground(image);
        CGImageRelease(image);
        WindowRef const window = splash->GetWindow()->GetWindowRef();
        auto alpha = [&] {
            CGFloat value = -1;
            GetWindowAlpha(window, &value);
            return value;
        };
        EventTime const start = ManualClock::Now();
        splash->Open(0.2);
        EXPECT_EQ(ManualClock::Now(), start) << "opening waited for the fade";
        EXPECT_EQ(alpha(), 0);
        EXPECT_TRUE(IsWindowVisible(window));
        ManualClock::RunFor(0.1);
        EXPECT_GT(alpha(), 0.3);
        EXPECT_LT(alpha(), 0.7);
        // Closed during the fade in: the fade in ends, the picture stays to be read.
        splash->Close(0.1);
        ManualClock::RunFor(0.2);
        EXPECT_EQ(alpha(), 1);
        ManualClock::RunFor(CSplashScreen::kReadingTime - 0.35);
        EXPECT_EQ(alpha(), 1) << "gone before it could be read";
        ManualClock::RunFor(0.1); // half way through the fade out
        ASSERT_EQ(toolbox::WindowList::FrontToBack().size(), 1u);
        EXPECT_GT(alpha(), 0.2);
        EXPECT_LT(alpha(), 0.8);
        ManualClock::RunFor(0.1);
        EXPECT_TRUE(toolbox::WindowList::FrontToBack().empty()) << "the splash did not delete itself";

        // Closed after the reading time: it goes at once, or over its fade.
        splash = new CSplashScreen;
        splash->Open(0);
        ManualClock::RunFor(CSplashScreen::kReadingTime);
        splash->Close(0);
        EXPECT_TRUE(toolbox::WindowList::FrontToBack().empty());
        // One still fading out when the program ends is deleted then.
        splash = new CSplashScreen;
        splash->Open(0);
        splash->Close(0.1);
        EXPECT_EQ(toolbox::WindowList::FrontToBack().size(), 1u);
        CSplashScreen::FinishClosing();
        EXPECT_TRUE(toolbox::WindowList::FrontToBack().empty());
    }

    // The splash stands among the modal windows: above documents and palettes, below an alert
    // the start shows (a damaged document), and it never takes activation from the document.
    TEST_F(SplashScreen, StandsAboveDocumentsAndBelowAlerts)
    {
        CMacWindow document(kDocumentWindowClass, kWindowStandardDocumentAttributes, CRect(40, 60, 300, 200), 0);
        CMacWindow palette(kFloatingWindowClass, 0, CRect(500, 60, 100, 100), 0);
        document.SetVisible(true);
        palette.SetVisible(true);
        auto* splash = new CSplashScreen;
        splash->Open(0);
        CMacWindow alert(kAlertWindowClass, 0, CRect(100, 100, 300, 120), 0);
        alert.SetVisible(true);
        splash->GetWindow()->Select(true);
        auto const& order = toolbox::WindowList::FrontToBack();
        ASSERT_EQ(order.size(), 4u);
        EXPECT_EQ(order[0], alert.GetWindowRef()) << "the alert is never hidden under the splash";
        EXPECT_EQ(order[1], splash->GetWindow()->GetWindowRef());
        EXPECT_EQ(order[2], palette.GetWindowRef());
        EXPECT_EQ(order[3], document.GetWindowRef());
        alert.SetVisible(false);
        EXPECT_FALSE(IsWindowActive(splash->GetWindow()->GetWindowRef())) << "a splash never activates";
        splash->Close(0);
        CSplashScreen::FinishClosing();
        ManualClock::RunFor(CSplashScreen::kReadingTime);
    }

} // namespace
} // namespace tw::test
