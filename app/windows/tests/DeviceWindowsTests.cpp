#include "WindowsTest.h"

#include "app/windows/CViewCompass.h"
#include "app/windows/CWindowDevice.h"
#include "devices/CDevice.h"
#include "devices/CDeviceManager.h"
#include "widgets/CCheckBox.h"
#include "widgets/CDataBrowser.h"
#include "widgets/CPushButton.h"
#include "tests/support/OpenRecorder.h"
#include "widgets/CStaticText.h"

#include <chrono>
#include <cstdio>

namespace tw::test {
namespace {

    // The receivers' windows over a receiver on a pseudo-terminal.
    class DeviceWindows : public WindowsTest {
    protected:
        void SetUp() override
        {
            WindowsTest::SetUp();
            CDevice::SetWindowFactory(&CWindowDevice::Make);
        }
        void TearDown() override
        {
            mManager.reset(); // every device goes, and its status window with it
            CDevice::SetWindowFactory(nullptr);
            WindowsTest::TearDown();
        }

        // A manager reading the terminal, listed by the devices window made before it connects.
        void Start()
        {
            CDeviceManager::Setup setup;
            setup.descriptionFolders = CDeviceManager::GetDescriptionFolders();
            setup.serialPorts = { CString(mTerminal.GetPath().c_str()) };
            mManager = std::make_unique<CDeviceManager>(std::move(setup));
            CWindowDevices::SetDeviceManager(mManager.get());
            ASSERT_NE(CWindowDevices::GetInstance(), nullptr);
            ASSERT_TRUE(RunLoopUntil([&] { return Rows().size() == 1; }));
            mDevice = mManager->GetDevices().front();
        }
        void PlayWalk()
        {
            auto moments = WalkMoments();
            mTerminal.Play([moments](unsigned i) { return moments[i % moments.size()]; }, 0.1);
        }
        static std::vector<DataBrowserItemID> Rows()
        {
            return CWindowDevices::GetInstance()->GetList()->FindItems(
                kDataBrowserItemAnyState, kDataBrowserNoItem, true);
        }
        // A double-click on the receiver's row.
        CWindowDevice* OpenRow()
        {
            CWindowDevices::GetInstance()->GetSource().ItemOpened(Rows().at(0));
            return dynamic_cast<CWindowDevice*>(mDevice->GetWindow());
        }
        static std::string Text(CWindowDevice* window, OSType id)
        {
            return CStaticText::Find(window, id, 0)->GetTextValue().GetStdString();
        }
        static bool WindowExists(::WindowRef window)
        {
            auto const& all = toolbox::WindowList::FrontToBack();
            return std::find(all.begin(), all.end(), window) != all.end();
        }

        PseudoTerminal mTerminal;
        std::unique_ptr<CDeviceManager> mManager;
        CDevice* mDevice = nullptr; // owned by the manager
    };

    TEST_F(DeviceWindows, AReceiverIsListedItsWindowShowsTheFixAndTheCompassTurnsUntilItIsUnplugged)
    {
        PlayWalk();
        Start();
        CWindowDevices* list = CWindowDevices::GetInstance();
        EXPECT_EQ(mDevice->GetInfo().GetDescription(), CString("NMEA 0183 receiver"));

        CWindowDevice* window = OpenRow();
        ASSERT_NE(window, nullptr) << "the double-click made the status window";
        ::WindowRef const ref = window->GetWindow()->GetWindowRef();
        EXPECT_TRUE(IsWindowVisible(ref));
        EXPECT_EQ(toolbox::WindowList::FrontNonFloating(), ref);
        EXPECT_EQ(window->GetWindow()->GetTitle(), mDevice->GetInfo().GetDescription());
        EXPECT_EQ(Text(window, 'path'), mTerminal.GetPath());
        EXPECT_EQ(CPushButton::Find(window, 'devi', 0)->GetTitle(), CString("More Information…"));

        // From the first fix, the window shows it at its next refresh.
        ASSERT_TRUE(RunLoopUntil([&] { return mDevice->IsLocationKnown(); }));
        auto const known = std::chrono::steady_clock::now();
        ASSERT_TRUE(RunLoopUntil([&] { return Text(window, 'latt') != "Unknown"; }));
        double const shownAfter = std::chrono::duration<double>(std::chrono::steady_clock::now() - known).count();
        std::printf("[ figure ] the fix showed %.2f s after the receiver had it\n", shownAfter);
        CViewCompass* compass = CViewCompass::Find(window, 'comp', 0);
        ASSERT_NE(compass, nullptr);
        EXPECT_TRUE(compass->IsCompassEnabled());
        EXPECT_TRUE(CCheckBox::Find(window, 'dkvs', 0)->IsEnabled());
        window->UpdateDevice();
        EXPECT_EQ(Text(window, 'latt'), mDevice->GetPosition().GetLatitudeString().GetStdString());
        EXPECT_EQ(Text(window, 'long'), mDevice->GetPosition().GetLongitudeString().GetStdString());
        EXPECT_NE(Text(window, 'alti').find(" m"), std::string::npos) << Text(window, 'alti');
        EXPECT_NE(Text(window, 'velo').find("km/h"), std::string::npos) << Text(window, 'velo');
        EXPECT_DOUBLE_EQ(compass->GetAngle(), mDevice->GetOrientation());
        // The walk turns: a few refreshes later the needle points elsewhere.
        double const firstAngle = compass->GetAngle();
        EXPECT_TRUE(RunLoopUntil([&] { return compass->GetAngle() != firstAngle; }));
        list->GetWindow()->Select(true);
        window->GetWindow()->Select(true);
        Shot("device-windows.png");

        // Closed and opened again from the list: a fresh window.
        window->Close();
        EXPECT_FALSE(WindowExists(ref));
        window = OpenRow();
        ASSERT_NE(window, nullptr);
        ::WindowRef const again = window->GetWindow()->GetWindowRef();
        EXPECT_TRUE(IsWindowVisible(again));

        // Unplugged: off the list, and its window closes.
        mTerminal.Close();
        ASSERT_TRUE(RunLoopUntil([&] { return mManager->GetDriverCount() == 0; }));
        EXPECT_TRUE(Rows().empty());
        EXPECT_FALSE(WindowExists(again));
        EXPECT_EQ(CWindowDevices::GetInstance(), list);
    }

    TEST_F(DeviceWindows, WithoutAFixEveryValueIsUnknownAndTheCompassIsDimmed)
    {
        std::string const satellites = SatelliteSentence();
        mTerminal.Play([satellites](unsigned) { return satellites; }, 0.05);
        Start();
        CWindowDevice* window = OpenRow();
        ASSERT_NE(window, nullptr);
        for (OSType id : { 'latt', 'long', 'alti', 'velo', 'accu' })
            EXPECT_EQ(Text(window, id), "Unknown");
        EXPECT_FALSE(CViewCompass::Find(window, 'comp', 0)->IsCompassEnabled());
        EXPECT_EQ(CViewCompass::Find(window, 'comp', 0)->GetAngle(), 0);
        EXPECT_FALSE(CCheckBox::Find(window, 'dkvs', 0)->IsEnabled());

        // The Window menu's "devi" is the devices window's: it goes past this window. The
        // button of the same command opens the receiver's page.
        OpenRecorder opened;
        ::WindowRef const ref = window->GetWindow()->GetWindowRef();
        EXPECT_EQ(CCarbonEvent::CreateWithHICommandID('devi').SendToWindow(ref), eventNotHandledErr);
        InputDriver::Click(Centre(CPushButton::Find(window, 'devi', 0)));
        RunCurrentEventLoop(0.1);
        std::string const log = opened.WaitForLog();
        EXPECT_NE(log.find("https://www.nmea.org/"), std::string::npos) << log;
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << "opened once, by the button" << log;
    }

    TEST_F(DeviceWindows, NewUnitsOrCoordinatesShowAtOnceAndTheKeepVisibleBoxReachesTheDevice)
    {
        PlayWalk();
        Start();
        ASSERT_TRUE(RunLoopUntil([&] { return mDevice->IsLocationKnown(); }));
        mTerminal.StopPlaying(); // the last fix stays
        RunLoopUntil([] { return false; }, 0.3);
        CWindowDevice* window = OpenRow();
        ASSERT_NE(window, nullptr);
        std::string const metres = Text(window, 'alti');
        std::string const degrees = Text(window, 'latt');
        Prefs().SetInteger("MapUnits", 2);
        EXPECT_NE(Text(window, 'alti'), metres) << "no wait for the timer";
        EXPECT_NE(Text(window, 'alti').find("feet"), std::string::npos) << Text(window, 'alti');
        EXPECT_NE(Text(window, 'velo').find("mph"), std::string::npos) << Text(window, 'velo');
        Prefs().SetInteger("MapCoordinates", 3);
        EXPECT_NE(Text(window, 'latt'), degrees);

        EXPECT_FALSE(mDevice->KeepVisible());
        InputDriver::Click(Centre(CCheckBox::Find(window, 'dkvs', 0)));
        RunCurrentEventLoop(0.1);
        EXPECT_TRUE(CCheckBox::Find(window, 'dkvs', 0)->IsChecked());
        EXPECT_TRUE(mDevice->KeepVisible());
    }

    TEST_F(DeviceWindows, TheDevicesWindowIsKeptOutOfTheWindowMenuAndOnlyHidesWhenClosed)
    {
        CWindowDevices* window = CWindowDevices::GetInstance();
        ASSERT_NE(window, nullptr);
        WindowAttributes attributes = 0;
        GetWindowAttributes(window->GetWindow()->GetWindowRef(), &attributes);
        EXPECT_EQ(attributes & kWindowInWindowMenuAttribute, 0u);
        window->GetWindow()->Select(true);
        window->Close();
        EXPECT_FALSE(IsWindowVisible(window->GetWindow()->GetWindowRef()));
        EXPECT_EQ(CWindowDevices::GetInstance(), window);
        EXPECT_TRUE(Rows().empty()) << "no manager, no receivers";
    }

    // The compass alone, drawn into its own window.
    class Compass : public WindowsTest {
    protected:
        void SetUp() override
        {
            WindowsTest::SetUp();
            Rect const content { 100, 100, 100 + 96, 100 + 96 };
            ASSERT_EQ(CreateNewWindow(kDocumentWindowClass, kWindowCompositingAttribute, &content, &mWindow), noErr);
            HIViewRef root = nullptr;
            GetRootControl(mWindow, &root);
            CGRect frame { { 0, 0 }, { 96, 96 } };
            CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
            init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
            HIObjectRef object = nullptr;
            ASSERT_EQ(HIObjectCreate(CFSTR("com.tarnwick.hiview.compass"), init.GetEvent(), &object), noErr);
            HIViewAddSubview(root, reinterpret_cast<HIViewRef>(object));
            CFRelease(object);
            mCompass = dynamic_cast<CViewCompass*>(CHIObject::GetHIObject(object));
            ASSERT_NE(mCompass, nullptr);
            ShowWindow(mWindow);
        }
        void TearDown() override
        {
            DisposeWindow(mWindow);
            WindowsTest::TearDown();
        }
        // The view's pixel (x, y) in the window's backing store, which holds the title bar too.
        CGPoint Offset()
        {
            Rect structure {}, content {};
            GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
            GetWindowBounds(mWindow, kWindowContentRgn, &content);
            return { CGFloat(content.left - structure.left), CGFloat(content.top - structure.top) };
        }
        // Where the needle's red half is, as the mean of its pixels relative to the compass's
        // centre (the red "N" of the dial lies further out and is left aside); nullopt when none.
        std::optional<CGPoint> Red()
        {
            PixelProbe const probe = ProbeWindow(mWindow);
            CGPoint const offset = Offset();
            double sx = 0, sy = 0;
            int count = 0;
            for (int y = 0; y < 96; ++y)
                for (int x = 0; x < 96; ++x) {
                    Pixel const p = probe.At(int(offset.x) + x, int(offset.y) + y);
                    double const dx = x - 48, dy = y - 48;
                    if (p.r > 150 && p.g < 90 && p.b < 90 && dx * dx + dy * dy < 26 * 26) {
                        sx += dx;
                        sy += dy;
                        ++count;
                    }
                }
            if (count < 20)
                return std::nullopt;
            return CGPoint { sx / count, sy / count };
        }
        std::vector<Pixel> Pixels()
        {
            PixelProbe const probe = ProbeWindow(mWindow);
            std::vector<Pixel> pixels;
            for (int y = 0; y < probe.Height(); ++y)
                for (int x = 0; x < probe.Width(); ++x)
                    pixels.push_back(probe.At(x, y));
            return pixels;
        }
        static bool Same(std::vector<Pixel> const& a, std::vector<Pixel> const& b)
        {
            if (a.size() != b.size())
                return false;
            for (std::size_t i = 0; i < a.size(); ++i)
                if (std::abs(a[i].r - b[i].r) > 2 || std::abs(a[i].g - b[i].g) > 2 || std::abs(a[i].b - b[i].b) > 2)
                    return false;
            return true;
        }

        ::WindowRef mWindow = nullptr;
        CViewCompass* mCompass = nullptr;
    };

    TEST_F(Compass, TheNeedleTurnsClockwiseWithTheHeadingAndEquivalentHeadingsDrawAlike)
    {
        auto north = Red();
        ASSERT_TRUE(north.has_value()) << "the needle's red half shows";
        EXPECT_LT(north->y, -5) << "0 points the needle up, as drawn";
        EXPECT_NEAR(north->x, 0, 2);

        mCompass->SetAngle(90);
        auto east = Red();
        ASSERT_TRUE(east.has_value());
        EXPECT_GT(east->x, 5) << "90 turns it a quarter clockwise, to the right";
        EXPECT_NEAR(east->y, 0, 2);
        Shot("compass-90.png");
        std::vector<Pixel> const quarter = Pixels();
        for (double angle : { 450.0, -270.0 }) {
            mCompass->SetAngle(angle);
            EXPECT_TRUE(Same(Pixels(), quarter)) << angle;
        }
        mCompass->SetAngle(200);
        auto south = Red();
        ASSERT_TRUE(south.has_value());
        EXPECT_GT(south->y, 5);
        EXPECT_LT(south->x, -1) << "a little past south, towards the west";
        Shot("compass-200.png");

        mCompass->SetEnabled(false);
        EXPECT_FALSE(Red().has_value()) << "disabled: no needle";
        CGPoint const offset = Offset();
        // The base's dark rim at half opacity over the window's light background.
        Pixel const rim = ProbeWindow(mWindow).At(int(offset.x) + 48, int(offset.y) + 4);
        mCompass->SetEnabled(true);
        Pixel const solid = ProbeWindow(mWindow).At(int(offset.x) + 48, int(offset.y) + 4);
        EXPECT_GT(rim.r + rim.g + rim.b, solid.r + solid.g + solid.b + 60) << "the dimmed base is lighter";
    }

} // namespace
} // namespace tw::test
