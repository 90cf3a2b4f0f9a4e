#include "AppTest.h"
#include "framework/CAboutBox.h"
#include "tests/support/InputDriver.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/HIViewCalls.h"

#include <cstdlib>
#include <string>

namespace tw::test {
namespace {

    class AboutBoxTest : public AppTest {
    protected:
        void TearDown() override
        {
            delete CAboutBox::PeekInstance();
            AppTest::TearDown();
        }
        static CAboutBox* Filled(bool modal)
        {
            CAboutBox* about = CAboutBox::GetInstance(modal);
            about->SetProductName("Tarnwick");
            about->SetProductVersion("1.1.1");
            about->SetCompanyName("Tarnwick");
            about->SetProductURL("https://tarnwick.org/");
            about->SetReleaseYear("2006");
            return about;
        }
    };

    TEST_F(AboutBoxTest, NoticeShowsOneYearOrTheSpanToNow)
    {
        CAboutBox* about = Filled(false);
        about->SetReleaseYear("2007");
        EXPECT_EQ(about->GetNoticeLine(2007), CString("Copyright © 2007 Tarnwick.\rAll rights reserved."));
        about->SetReleaseYear("2005");
        EXPECT_EQ(about->GetNoticeLine(2007), CString("Copyright © 2005-2007 Tarnwick.\rAll rights reserved."));
        EXPECT_EQ(about->GetVersionLine(), CString("Tarnwick 1.1.1"));
        EXPECT_EQ(about->GetWindowTitle(), CString("About Tarnwick"));
    }

    TEST_F(AboutBoxTest, TheFirstModeStaysAndTheCloseCommandFollowsIt)
    {
        CAboutBox* modeless = CAboutBox::GetInstance(false);
        EXPECT_EQ(CAboutBox::GetInstance(true), modeless);
        EXPECT_FALSE(modeless->IsModal());
        HICommandExtended close {};
        close.commandID = 'clos';
        EXPECT_EQ(modeless->GetMenuStatus(close), CCarbonEventHandler::kMenuStatusEnable);
        delete modeless;
        EXPECT_EQ(CAboutBox::PeekInstance(), nullptr);
        EXPECT_EQ(CAboutBox::GetInstance(true)->GetMenuStatus(close), CCarbonEventHandler::kMenuStatusDisable);
    }

    TEST_F(AboutBoxTest, MissingTextShowsNothing)
    {
        CAboutBox* about = Filled(false);
        about->SetReleaseYear(CString());
        EXPECT_EQ(about->DoDialog(), paramErr);
        EXPECT_EQ(about->GetWindow(), nullptr);
    }

    // The window as laid out: the buttons centred in pairs, the OK button the default, and the
    // OK button closing the box.
    TEST_F(AboutBoxTest, WindowShowsTheControlsAndOKCloses)
    {
        CAboutBox* about = Filled(false);
        ASSERT_EQ(about->DoDialog(), noErr);
        WindowRef window = about->GetWindow()->GetWindowRef();
        Rect content {};
        GetWindowBounds(window, kWindowContentRgn, &content);
        EXPECT_EQ(content.right - content.left, 399);
        EXPECT_EQ(content.bottom - content.top, 272);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(about->GetWindow()->GetTitle(), CString("About Tarnwick"));

        ControlRef ok = nullptr;
        GetWindowDefaultButton(window, &ok);
        ASSERT_NE(ok, nullptr);
        HIRect frame {};
        HIViewGetFrame(ok, &frame);
        EXPECT_EQ(frame.origin.x, 224);
        EXPECT_EQ(frame.origin.y, 232);
        EXPECT_EQ(frame.size.width, 107);

        PixelProbe screen = ProbeScreen();
        if (char const* folder = std::getenv("TW_SCREENSHOT_DIR"))
            display::WindowServer::Get().WritePNG(std::string(folder) + "/about-box-headless.png");
        // The icon's blue square fills the middle of the top of the window.
        Pixel icon = screen.At(content.left + 170, content.top + 50);
        EXPECT_GT(icon.b, icon.r + 40);

        CCarbonEvent done = CCarbonEvent::CreateWithHICommandID(CAboutBox::kCommandDone);
        done.SendToWindow(window);
        EXPECT_EQ(CAboutBox::PeekInstance(), nullptr) << "a modeless box deletes itself";
    }

    // The keyboard alone: Tab shows the focus on a button, Space presses it, Escape
    // closes the box. The buttons are drawn 20 pixels high with their titles clear
    // of the edges.
    TEST_F(AboutBoxTest, TabShowsTheFocusOnTwentyPixelButtonsAndEscapeCloses)
    {
        CAboutBox* about = Filled(false);
        ASSERT_EQ(about->DoDialog(), noErr);
        WindowRef window = about->GetWindow()->GetWindowRef();
        Rect content {};
        GetWindowBounds(window, kWindowContentRgn, &content);
        auto const accentPixels = [&](int left, int top, int right, int bottom) {
            PixelProbe const screen = ProbeScreen();
            return screen.Count({ content.left + left, content.top + top, content.left + right, content.top + bottom },
                [](Pixel p) { return p.b > p.r + 60 && p.b > 150; });
        };
        // Home Page is at 68, 232, 107 × 20; OK (the default, filled with the accent) at 224.
        int const ringBefore = accentPixels(66, 230, 177, 254);
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
        ManualClock::RunFor(0.1);
        ControlRef focus = nullptr;
        GetKeyboardFocus(window, &focus);
        ASSERT_NE(focus, nullptr) << "Tab reached no button";
        HIRect frame {};
        HIViewGetFrame(focus, &frame);
        EXPECT_EQ(frame.origin.x, 68) << "the first button in order is Home Page";
        EXPECT_GT(accentPixels(66, 230, 177, 254), ringBefore + 100) << "no focus ring";
        if (char const* folder = std::getenv("TW_SCREENSHOT_DIR"))
            display::WindowServer::Get().WritePNG(std::string(folder) + "/about-box-focus.png");

        // Each button is 20 rows high: its light face reaches both ends of its frame, and its
        // title's dark pixels keep two rows from each edge.
        PixelProbe const screen = ProbeScreen();
        for (int left : { 68, 224 }) {
            int const x = content.left + left + 8;
            int const top = content.top + 232;
            Pixel const faceTop = screen.At(x, top + 2);
            Pixel const faceBottom = screen.At(x, top + 17);
            EXPECT_EQ(faceTop.r, faceBottom.r) << "button at " << left << " is shorter than its frame";
            auto const dark = [](Pixel p) { return p.r < 90 && p.g < 90 && p.b < 90; };
            auto const light = [](Pixel p) { return p.r > 230 && p.g > 230 && p.b > 230; };
            PixelBox const edges[] = { { content.left + left + 4, top, content.left + left + 103, top + 3 },
                { content.left + left + 4, top + 17, content.left + left + 103, top + 20 } };
            for (PixelBox const& edge : edges)
                EXPECT_EQ(screen.Count(edge, left == 68 ? dark : light), 0) << "a title touches the frame";
        }

        InputDriver::Key(display::kVK_Escape, display::kEscapeCharCode);
        ManualClock::RunFor(0.1);
        EXPECT_EQ(CAboutBox::PeekInstance(), nullptr) << "Escape did not close the box";
    }

} // namespace
} // namespace tw::test
