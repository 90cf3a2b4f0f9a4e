#include "AppTest.h"
#include "framework/CAboutBox.h"
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

} // namespace
} // namespace tw::test
