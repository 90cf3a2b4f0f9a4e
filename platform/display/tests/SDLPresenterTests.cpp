#include "display/CursorState.h"
#include "display/PresenterChoice.h"
#include "display/SDLKeys.h"
#include "display/SDLPresenter.h"
#include "display/SessionEnd.h"
#include "display/WindowServer.h"
#include "events/Loop.h"
#include "services/AppleEvents.h"
#include "services/Scrap.h"
#include "tests/support/ManualClock.h"
#include "tests/support/ScreenProbe.h"
#include "tests/support/TestSupport.h"
#include "tests/support/VirtualDisplay.h"
#include "toolbox/MenuBar.h"

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace tw::display {
namespace {

    TEST(PresenterChoice, HeadlessWhenAskedOrWithoutADisplay)
    {
        EXPECT_EQ(ChoosePresenterKind("1", ":0", nullptr), PresenterKind::Headless);
        EXPECT_EQ(ChoosePresenterKind("yes", nullptr, "wayland-0"), PresenterKind::Headless);
        EXPECT_EQ(ChoosePresenterKind(nullptr, nullptr, nullptr), PresenterKind::Headless);
        EXPECT_EQ(ChoosePresenterKind("", "", ""), PresenterKind::Headless);
        EXPECT_EQ(ChoosePresenterKind("0", ":0", nullptr), PresenterKind::SDL);
        EXPECT_EQ(ChoosePresenterKind("", ":1", nullptr), PresenterKind::SDL);
        EXPECT_EQ(ChoosePresenterKind(nullptr, nullptr, "wayland-0"), PresenterKind::SDL);
    }

    TEST(PresenterChoice, TheTestHarnessGetsTheHeadlessPresenter)
    {
        // The harness sets TW_HEADLESS=1.
        WindowServer::ResetForTesting();
        EXPECT_EQ(ChoosePresenter(), PresenterKind::Headless);
        EXPECT_NE(dynamic_cast<HeadlessPresenter*>(WindowServer::Get().GetPresenter()), nullptr);
    }

    // Quitting from the window is a quit Apple event: the application may object.
    class QuitInputTest : public ::testing::Test {
    protected:
        void SetUp() override { WindowServer::ResetForTesting(); }
        void TearDown() override { AERemoveEventHandler(kCoreEventClass, kAEQuitApplication, Refuse, false); }

        static OSErr Refuse(AppleEvent const*, AppleEvent*, SRefCon refcon)
        {
            ++*static_cast<int*>(refcon);
            return noErr; // handled: the application stays
        }
        static void Deadline(EventLoopTimerRef, void* userData)
        {
            *static_cast<bool*>(userData) = true;
            QuitApplicationEventLoop();
        }
        // Runs the application loop with a way out after 10 s; answers whether that was needed.
        static bool RunUntilQuitOrDeadline()
        {
            bool timedOut = false;
            EventLoopTimerRef timer = nullptr;
            InstallEventLoopTimer(GetMainEventLoop(), 10, 0, Deadline, &timedOut, &timer);
            RunApplicationEventLoop();
            RemoveEventLoopTimer(timer);
            return timedOut;
        }

        test::ManualClock mClock;
    };

    TEST_F(QuitInputTest, WithoutAHandlerTheLoopEnds)
    {
        InputEvent quit;
        quit.kind = InputKind::Quit;
        WindowServer::Get().Post(quit);
        EXPECT_FALSE(RunUntilQuitOrDeadline());
    }

    TEST_F(QuitInputTest, TheApplicationsHandlerDecides)
    {
        int asked = 0;
        ASSERT_EQ(AEInstallEventHandler(kCoreEventClass, kAEQuitApplication, Refuse, &asked, false), noErr);
        InputEvent quit;
        quit.kind = InputKind::Quit;
        WindowServer::Get().Post(quit);
        EXPECT_TRUE(RunUntilQuitOrDeadline());
        EXPECT_EQ(asked, 1);
    }

    // Only the changed rectangles reach the window, whatever its pixel format.
    TEST(SDLPresenterCopy, CopiesTheChangedRectanglesExactly)
    {
        cairo_surface_t* screen = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 48);
        cairo_t* cr = cairo_create(screen);
        cairo_set_source_rgb(cr, 1, 0.5, 0); // orange everywhere
        cairo_paint(cr);
        cairo_destroy(cr);
        for (Uint32 format :
            { Uint32(SDL_PIXELFORMAT_RGB888), Uint32(SDL_PIXELFORMAT_ABGR8888), Uint32(SDL_PIXELFORMAT_RGB565) }) {
            SDL_Surface* window = SDL_CreateRGBSurfaceWithFormat(0, 64, 48, 32, format);
            ASSERT_NE(window, nullptr) << SDL_GetError();
            SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 0, 0, 255)); // blue
            SDLPresenter::Copy(screen, window, { { 10, 5, 20, 10 }, { 50, 40, 14, 8 } });
            // Near the colour, to 565's precision.
            auto is = [&](int x, int y, int r, int g, int b) {
                Uint32 pixel = 0;
                auto const* row = static_cast<Uint8 const*>(window->pixels) + y * window->pitch;
                std::memcpy(&pixel, row + x * window->format->BytesPerPixel, window->format->BytesPerPixel);
                Uint8 pr = 0, pg = 0, pb = 0;
                SDL_GetRGB(pixel, window->format, &pr, &pg, &pb);
                return std::abs(pr - r) <= 8 && std::abs(pg - g) <= 8 && std::abs(pb - b) <= 8;
            };
            auto orange = [&](int x, int y) { return is(x, y, 255, 128, 0); };
            auto blue = [&](int x, int y) { return is(x, y, 0, 0, 255); };
            std::string const name = SDL_GetPixelFormatName(format);
            EXPECT_TRUE(orange(10, 5)) << name;
            EXPECT_TRUE(orange(29, 14)) << name;
            EXPECT_TRUE(orange(63, 47)) << name;
            EXPECT_TRUE(blue(9, 5)) << name;
            EXPECT_TRUE(blue(30, 14)) << name;
            EXPECT_TRUE(blue(10, 15)) << name;
            EXPECT_TRUE(blue(49, 47)) << name;
            SDL_FreeSurface(window);
        }
        cairo_surface_destroy(screen);
    }

    // One virtual display for the process, and SDL's video kept up on it: SDL unloads
    // the X and D-Bus libraries when its video stops, and D-Bus keeps allocations of its own.
    class SDLPresenterTest : public ::testing::Test {
    protected:
        static void SetUpTestSuite()
        {
            static test::VirtualDisplay display; // stopped when the process ends
            sDisplay = &display;
            if (sDisplay->Name().empty())
                return;
            char const* old = std::getenv("DISPLAY");
            sOldDisplay = old ? old : "";
            setenv("DISPLAY", sDisplay->Name().c_str(), 1);
            sVideo = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        }
        static void TearDownTestSuite()
        {
            if (!sDisplay->Name().empty())
                setenv("DISPLAY", sOldDisplay.c_str(), 1);
        }

        void SetUp() override
        {
            if (sDisplay->Name().empty())
                GTEST_SKIP() << "Xvfb is not available";
            ASSERT_TRUE(sVideo) << SDL_GetError();
            WindowServer::ResetForTesting();
            std::string error;
            auto presenter = SDLPresenter::Create(&error);
            ASSERT_NE(presenter, nullptr) << error;
            mPresenter = presenter.get();
            WindowServer::Get().SetPresenter(std::move(presenter));
        }
        void TearDown() override
        {
            WindowServer::ResetForTesting(); // the SDL presenter goes
            services::ResetScrapForTesting();
            CursorState::Reset();
            toolbox::MenuBar::Reset();
        }

        // The window's own pixel, read back from its surface.
        Uint32 WindowPixel(int x, int y)
        {
            SDL_Surface* surface = SDL_GetWindowSurface(mPresenter->GetWindow());
            Uint8 r = 0, g = 0, b = 0;
            auto const* row = static_cast<Uint8 const*>(surface->pixels) + y * surface->pitch;
            SDL_GetRGB(*reinterpret_cast<Uint32 const*>(row + x * surface->format->BytesPerPixel), surface->format, &r,
                &g, &b);
            return (Uint32(r) << 16) | (Uint32(g) << 8) | b;
        }
        // Pumps until the test holds, for at most two seconds of real time.
        template <typename Test> bool PumpUntil(Test const& test)
        {
            for (int i = 0; i < 100 && !test(); ++i) {
                SDL_Delay(20);
                mPresenter->Pump();
            }
            return test();
        }

        // Runs the event loop until something quits it (true), or ten seconds of loop time pass.
        static bool RunLoopUntilItQuits()
        {
            bool timedOut = false;
            EventLoopTimerRef timer = nullptr;
            InstallEventLoopTimer(
                GetMainEventLoop(), 10, 0,
                [](EventLoopTimerRef, void* flag) {
                    *static_cast<bool*>(flag) = true;
                    QuitApplicationEventLoop();
                },
                &timedOut, &timer);
            RunApplicationEventLoop();
            RemoveEventLoopTimer(timer);
            return !timedOut;
        }

        static inline test::VirtualDisplay* sDisplay = nullptr; // weak
        static inline std::string sOldDisplay;
        static inline bool sVideo = false;
        SDLPresenter* mPresenter = nullptr; // weak: the server owns it
        test::ManualClock mClock;
    };

    TEST_F(SDLPresenterTest, TheWindowShowsTheScreen)
    {
        WindowServer& server = WindowServer::Get();
        EXPECT_EQ(server.GetSize().width, 1024); // the virtual display is smaller than the default screen
        EXPECT_EQ(server.GetSize().height, 768);
        mPresenter->Pump();
        test::PixelProbe const screen = test::ProbeScreen();
        for (auto [x, y] : { std::pair { 5, 5 }, { 500, 11 }, { 1000, 21 }, { 300, 400 }, { 1023, 767 } }) {
            test::Pixel const p = screen.At(x, y);
            EXPECT_EQ(WindowPixel(x, y), (Uint32(p.r) << 16) | (Uint32(p.g) << 8) | p.b) << x << "," << y;
        }
        // Through the window system's framebuffer: no OpenGL renderer stands behind the window.
        EXPECT_EQ(SDL_GetRenderer(mPresenter->GetWindow()), nullptr);
    }

    // What Shift and a key type, as the presenter's keys are translated.
    UInt32 ShiftedCharacter(SDL_Scancode scancode, SDL_Keycode sym)
    {
        SDL_Keysym keysym {};
        keysym.scancode = scancode;
        keysym.sym = sym;
        keysym.mod = KMOD_LSHIFT;
        MacKey key;
        return SDLKeys::Translate(keysym, &key) ? key.character : 0;
    }

    TEST_F(SDLPresenterTest, ShiftedPunctuationFollowsTheDisplaysLayoutAsItChanges)
    {
        if (std::system("command -v setxkbmap >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "setxkbmap is not installed (tools/setup.sh installs it)";
        std::string const layout = "setxkbmap -display " + sDisplay->Name() + " ";
        ASSERT_EQ(std::system((layout + "de").c_str()), 0);
        // German: Shift+7 types "/" and Shift+ß "?", which no US table knows.
        bool const german = PumpUntil([] { return ShiftedCharacter(SDL_SCANCODE_7, '7') == '/'; });
        UInt32 const sharpS = ShiftedCharacter(SDL_SCANCODE_MINUS, 0xDF);
        ASSERT_EQ(std::system((layout + "us").c_str()), 0);
        EXPECT_TRUE(german);
        EXPECT_EQ(sharpS, UInt32('?'));
        EXPECT_TRUE(PumpUntil([] { return ShiftedCharacter(SDL_SCANCODE_7, '7') == '&'; }));
        EXPECT_EQ(ShiftedCharacter(SDL_SCANCODE_SLASH, '/'), UInt32('?'));
    }

    TEST_F(SDLPresenterTest, TheScreenFollowsTheWindowsSize)
    {
        WindowServer& server = WindowServer::Get();
        SDL_SetWindowSize(mPresenter->GetWindow(), 640, 480);
        EXPECT_TRUE(PumpUntil([&] { return server.GetSize().width == 640 && server.GetSize().height == 480; }));
        test::PixelProbe const screen = test::ProbeScreen();
        EXPECT_EQ(screen.Width(), 640);
        test::Pixel const p = screen.At(630, 470);
        EXPECT_EQ(WindowPixel(630, 470), (Uint32(p.r) << 16) | (Uint32(p.g) << 8) | p.b);
    }

    // A hang-up leaves nobody to ask: the application's session end runs once and the loop stops.
    TEST_F(SDLPresenterTest, AHangUpRunsTheSessionEndOnceAndStopsTheLoop)
    {
        static int ended = 0;
        ended = 0;
        ResetSessionEndForTesting();
        SetSessionEndHandler([] { ++ended; });
        raise(SIGHUP);
        bool const quit = RunLoopUntilItQuits();
        SetSessionEndHandler(nullptr);
        EXPECT_TRUE(quit);
        EXPECT_EQ(ended, 1);
    }

    // A hang-up while the loop sleeps in SDL's wait wakes it: the session ends at once.
    TEST_F(SDLPresenterTest, AHangUpWhileTheLoopSleepsEndsTheSession)
    {
        test::RealClock realClock;
        static int ended = 0;
        ended = 0;
        ResetSessionEndForTesting();
        SetSessionEndHandler([] { ++ended; });
        mPresenter->Pump();
        std::thread hangUp([] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            kill(getpid(), SIGHUP);
        });
        bool const quit = RunLoopUntilItQuits();
        hangUp.join();
        SetSessionEndHandler(nullptr);
        EXPECT_TRUE(quit) << "the loop slept through the hang-up";
        EXPECT_EQ(ended, 1);
    }

    TEST_F(SDLPresenterTest, ClosingTheWindowQuitsThroughTheLoopsTimer)
    {
        SDL_Event quit {};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        EXPECT_TRUE(RunLoopUntilItQuits());
    }

    // Idle, the window's loop sleeps in SDL's wait to the next timer: no polling tick pumps
    // SDL or composes the screen meanwhile (on the manual clock a tick would run at once).
    TEST_F(SDLPresenterTest, AnIdleLoopPumpsOnlyBeforeItSleeps)
    {
        mPresenter->Pump();
        int const before = mPresenter->GetPumpCount();
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 1, 0, [](EventLoopTimerRef, void*) { QuitApplicationEventLoop(); }, nullptr, &timer);
        RunApplicationEventLoop();
        RemoveEventLoopTimer(timer);
        EXPECT_LE(mPresenter->GetPumpCount() - before, 2);
        EXPECT_EQ(GetMainEventLoop()->CountScheduledTimers(), 0u);
    }

    // A post from another thread wakes the loop out of SDL's wait; so does a timer's time.
    TEST_F(SDLPresenterTest, PostsFromOtherThreadsAndTimersEndTheWindowsWait)
    {
        test::RealClock realClock;
        mPresenter->Pump();
        std::vector<int> seen;
        EventTypeSpec const spec { 'test', 1 };
        auto handler = [](EventHandlerCallRef, EventRef, void* log) -> OSStatus {
            static_cast<std::vector<int>*>(log)->push_back(1);
            QuitApplicationEventLoop();
            return noErr;
        };
        EventHandlerRef installed = nullptr;
        ASSERT_EQ(InstallEventHandler(GetApplicationEventTarget(), NewEventHandlerUPP(handler), 1, &spec, &seen,
                      &installed),
            noErr);
        EventRef event = nullptr;
        CreateEvent(nullptr, 'test', 1, 0, kEventAttributeNone, &event);
        EventTargetRef target = GetApplicationEventTarget();
        SetEventParameter(event, kEventParamPostTarget, typeEventTargetRef, sizeof target, &target);
        std::thread worker([event] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            PostEventToQueue(GetMainEventQueue(), event, kEventPriorityStandard);
        });
        bool timedOut = false;
        EventLoopTimerRef deadline = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 30, 0,
            [](EventLoopTimerRef, void* flag) {
                *static_cast<bool*>(flag) = true;
                QuitApplicationEventLoop();
            },
            &timedOut, &deadline);
        RunApplicationEventLoop();
        worker.join();
        ReleaseEvent(event);
        EXPECT_FALSE(timedOut);
        EXPECT_EQ(seen, std::vector<int> { 1 });

        // A timer a little later than now ends the wait too, long before the 30 s one.
        int fired = 0;
        EventLoopTimerRef soon = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.05, 0,
            [](EventLoopTimerRef, void* count) {
                ++*static_cast<int*>(count);
                QuitApplicationEventLoop();
            },
            &fired, &soon);
        RunApplicationEventLoop();
        EXPECT_EQ(fired, 1);
        EXPECT_FALSE(timedOut);
        RemoveEventLoopTimer(soon);
        RemoveEventLoopTimer(deadline);
        RemoveEventHandler(installed);
    }

    // The window shows the cursor the program sets; a bitmap set again is not made again.
    TEST_F(SDLPresenterTest, TheWindowShowsTheCursor)
    {
        ASSERT_EQ(SetThemeCursor(kThemeOpenHandCursor), noErr);
        SDL_Cursor* const open = SDL_GetCursor();
        ASSERT_EQ(SetThemeCursor(kThemeArrowCursor), noErr);
        SDL_Cursor* const arrow = SDL_GetCursor();
        EXPECT_NE(open, arrow);
        ASSERT_EQ(SetThemeCursor(kThemeOpenHandCursor), noErr);
        EXPECT_EQ(SDL_GetCursor(), open);
        Cursor record {};
        record.data[3] = record.mask[3] = 0xFFFF;
        SetCursor(&record);
        SDL_Cursor* const bitmap = SDL_GetCursor();
        EXPECT_NE(bitmap, open);
        SetCursor(&record);
        EXPECT_EQ(SDL_GetCursor(), bitmap);
        EXPECT_FALSE(CursorState::Current().isTheme);
    }

    // The desktop's clipboard, as another program (xclip) sees it.
    TEST_F(SDLPresenterTest, TheScrapIsTheDesktopClipboard)
    {
        if (test::RunCommand("command -v xclip >/dev/null") != 0)
            GTEST_SKIP() << "xclip is not available";
        test::TempFolder folder;
        ScrapRef scrap = nullptr;
        ASSERT_EQ(GetCurrentScrap(&scrap), noErr);
        ClearCurrentScrap();
        std::string const ours = "Route 66 → Zürich";
        ASSERT_EQ(PutScrapFlavor(scrap, kScrapFlavorTypeText, 0, Size(ours.size()), ours.data()), noErr);
        // xclip waits for us to answer: keep pumping while it runs.
        std::string const pasted = (folder / "pasted").string();
        ASSERT_EQ(test::RunCommand("(xclip -selection clipboard -t UTF8_STRING -o > '" + pasted + ".part' && mv '"
                      + pasted + ".part' '" + pasted + "') >/dev/null 2>&1 &"),
            0);
        EXPECT_TRUE(PumpUntil([&] { return std::filesystem::exists(pasted); }));
        EXPECT_EQ(test::ReadFile(pasted), ours);

        // Another program copies: the scrap holds its text (once xclip, which goes to the
        // background first, has taken the clipboard).
        ASSERT_EQ(test::RunCommand("printf 'N 47° 8.5' | xclip -selection clipboard -i >/dev/null 2>&1"), 0);
        Size size = 0;
        auto text = [&] {
            std::string bytes;
            if (GetCurrentScrap(&scrap) == noErr && GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size) == noErr) {
                bytes.resize(static_cast<std::size_t>(size));
                GetScrapFlavorData(scrap, kScrapFlavorTypeText, &size, bytes.data());
            }
            return bytes;
        };
        EXPECT_TRUE(PumpUntil([&] { return text() != ours; }));
        EXPECT_EQ(text(), "N 47° 8.5");
        EXPECT_EQ(GetScrapFlavorSize(scrap, kScrapFlavorTypeUnicode, &size), noErr);
    }

} // namespace
} // namespace tw::display
