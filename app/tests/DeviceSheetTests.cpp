// The receiver sheets: the device popups following the registry, the capture rule and its
// units, the kinds a transfer may take, and the progress sheets' bars.
#include "app/CTWApplication.h"
#include "app/CSheetProgress.h"
#include "app/CSheetTrackConfig.h"
#include "app/CSheetTransferConfig.h"
#include "devices/CDevice.h"
#include "devices/CDeviceManager.h"
#include "devices/tests/support/DeviceTestSupport.h"
#include "devices/tests/support/FakeDocument.h"
#include "devices/tests/support/SimulatedGarminUnit.h"
#include "display/WindowServer.h"
#include "toolbox/MenuCalls.h"
#include "mapdata/MapDataTypes.h"
#include "framework/CMacWindow.h"
#include "framework/ConstructController.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "tests/support/InputDriver.h"
#include "tests/support/ManualClock.h"
#include "toolbox/MenuBar.h"
#include "toolbox/Sound.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/WindowList.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "widgets/CCheckBox.h"
#include "widgets/CEditText.h"
#include "widgets/CPopupButton.h"
#include "widgets/CProgressBar.h"
#include "widgets/CPushButton.h"
#include "widgets/CRadioGroup.h"
#include "widgets/CStaticText.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace tw::test {
namespace {

    class DeviceSheetApplication : public CTWApplication {
    public:
        CString GetPropertyString(unsigned long id) const override
        {
            return id == 'spla' ? CString() : CTWApplication::GetPropertyString(id);
        }
    };

    class DeviceSheetTest : public ::testing::Test {
    protected:
        static constexpr UInt32 kKeyTab = 48, kKeyReturn = 36, kKeyEscape = 53;

        void SetUp() override
        {
            display::WindowServer::ResetForTesting();
            toolbox::MenuBar::Reset();
            CPreferences().RemovePref("MapUnits");
            mApp = std::make_unique<DeviceSheetApplication>();
            ASSERT_EQ(mApp->InitialiseBegin(), noErr);
            ASSERT_EQ(mApp->InitialisePreferences(), noErr);
            SimulatedUnits::Reset();
            auto monitor = std::make_unique<FakeDeviceMonitor>();
            mMonitor = monitor.get();
            CDeviceManager::Setup setup;
            setup.monitor = std::move(monitor);
            setup.garminTransport = &SimulatedUnits::MakeSimulatedUnit;
            mManager = std::make_unique<CDeviceManager>(std::move(setup));
            DeviceSheetSupport::SetDeviceManager(mManager.get());
            mParent = std::make_unique<CMacWindow>(CString("Tarnwick"), CString("Test"));
            mParent->SetVisible(true);
            mParent->Select(true);
        }

        void TearDown() override
        {
            if (mParent && mParent->HasSheet())
                mParent->EndSheet();
            mSheetOwner.reset();
            mParent.reset();
            DeviceSheetSupport::SetDeviceManager(nullptr);
            mManager.reset();
            mApp.reset();
            for (WindowRef window : std::vector<WindowRef>(toolbox::WindowList::FrontToBack()))
                DisposeWindow(window);
            toolbox::MenuBar::Reset();
            display::WindowServer::ResetForTesting();
            CPreferences().RemovePref("MapUnits");
        }

        // A Garmin unit plugged in and connected; without tracks when asked.
        CDevice* Plug(char const* key, bool tracks = true)
        {
            mMonitor->Plug(GarminNotice(key, UInt8(mManager->GetDevices().size() + 4)));
            SimulatedGarminUnit* unit = SimulatedUnits::units.back();
            if (!tracks)
                std::erase_if(unit->protocols, [](SimulatedGarminUnit::Protocol p) { return p.tag == 'A' && p.number == 301; });
            ManualClock::RunFor(1.0);
            return mManager->GetDevices().empty() ? nullptr : mManager->GetDevices().back();
        }

        template <typename Sheet> Sheet* Open(Sheet* sheet)
        {
            std::unique_ptr<Sheet> owner(sheet);
            if (sheet->Initialise(nullptr, CString("Tarnwick"), CString(Sheet::kNibWindow)) != noErr)
                return nullptr;
            mParent->BeginSheet(sheet->GetWindow());
            mSheetOwner = std::unique_ptr<CWindowController>(owner.release());
            ManualClock::RunFor(0.1);
            return sheet;
        }

        static std::string Shot(char const* name)
        {
            char const* folder = std::getenv("TW_SCREENSHOT_DIR");
            std::string const path
                = ((folder ? std::filesystem::path(folder) : std::filesystem::temp_directory_path()) / name).string();
            EXPECT_EQ(display::WindowServer::Get().WritePNG(path), noErr);
            return path;
        }

        // A command as a click on the control sends it to the sheet's window.
        void Command(UInt32 id)
        {
            CCarbonEvent event = CCarbonEvent::CreateWithHICommandID(id);
            SendEventToEventTarget(event.GetEvent(), mSheetOwner->GetWindow()->GetEventTarget());
        }

        template <typename Control> Control* Get(OSType id)
        {
            return Control::Find(mSheetOwner.get(), id, 0);
        }
        std::vector<std::string> PopupItems(OSType id)
        {
            std::vector<std::string> items;
            auto* popup = Get<CPopupButton>(id);
            for (UInt16 i = 1; i <= CountMenuItems(popup->GetMenu()); ++i) {
                CFStringRef text = nullptr;
                CopyMenuItemTextAsCFString(popup->GetMenu(), i, &text);
                items.push_back(CString(text, true).GetStdString());
            }
            return items;
        }

        ManualClock mClock;
        std::unique_ptr<DeviceSheetApplication> mApp;
        FakeDeviceMonitor* mMonitor = nullptr; // owned by the manager
        std::unique_ptr<CDeviceManager> mManager;
        std::unique_ptr<CMacWindow> mParent;
        std::unique_ptr<CWindowController> mSheetOwner;
    };

    TEST_F(DeviceSheetTest, TheTrackSheetOffersOnlyReceiversThatKnowWhereTheyAre)
    {
        CDevice* first = Plug("/sys/usb/1-1");
        ASSERT_NE(first, nullptr);
        auto* sheet = Open(new CSheetTrackConfig);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->GetSelectedDevice(), nullptr) << "no fix yet";
        EXPECT_FALSE(Get<CPopupButton>('devi')->IsEnabled());
        EXPECT_FALSE(Get<CPushButton>('trak')->IsEnabled());
        // The first fix arrives while the sheet is open: offered within a second.
        SimulatedUnits::units.back()->SendFix(57.70887, 11.97456, 3, 4, 12418, 3600);
        ManualClock::RunFor(1.1);
        EXPECT_EQ(sheet->GetSelectedDevice(), first);
        EXPECT_TRUE(Get<CPushButton>('trak')->IsEnabled());
        EXPECT_EQ(PopupItems('devi'), (std::vector<std::string> { first->GetInfo().GetName().GetStdString() }));
        // Pulled: the popup empties at once.
        mMonitor->Pull("/sys/usb/1-1");
        EXPECT_EQ(sheet->GetSelectedDevice(), nullptr);
        EXPECT_TRUE(PopupItems('devi').empty());
        EXPECT_FALSE(Get<CPushButton>('trak')->IsEnabled());
        EXPECT_EQ(sheet->GetTrackInfo().device, nullptr) << "a confirmed sheet without a device yields none";
    }

    TEST_F(DeviceSheetTest, CaptureRulesReadBackInMetresOrYards)
    {
        auto* sheet = Open(new CSheetTrackConfig);
        ASSERT_NE(sheet, nullptr);
        TrackInfo info;
        info.captureMode = kCaptureByMetres;
        info.captureValue = 100;
        sheet->SetTrackInfo(info);
        EXPECT_EQ(Get<CEditText>('valu')->GetTextValue(), CString("100"));
        EXPECT_EQ(Get<CRadioGroup>('capt')->GetCurrentValue(), 2);
        EXPECT_EQ(Get<CPopupButton>('unit')->GetCurrentValue(), 2);
        EXPECT_TRUE(Get<CEditText>('valu')->IsEnabled());
        EXPECT_EQ(sheet->GetTrackInfo().captureMode, UInt32(kCaptureByMetres));
        EXPECT_EQ(sheet->GetTrackInfo().captureValue, 100u) << "metric: metres as typed";
        EXPECT_EQ(PopupItems('unit')[1], "metres");

        mApp->GetPreferences().SetInteger("MapUnits", kMapUnitsImperial);
        EXPECT_EQ(PopupItems('unit')[1], "yards") << "the label follows the preference";
        EXPECT_EQ(sheet->GetTrackInfo().captureValue, 91u) << "100 yards are 91 whole metres";
        Get<CEditText>('valu')->SetTextValue(CString("1"));
        EXPECT_EQ(sheet->GetTrackInfo().captureValue, 1u) << "never below one metre";
        Get<CEditText>('valu')->SetTextValue(CString("99999999999"));
        EXPECT_EQ(sheet->GetTrackInfo().captureValue, 1u) << "too large for 32 bits reads as nothing: one metre";

        info.captureMode = kCaptureBySeconds;
        info.captureValue = 30;
        sheet->SetTrackInfo(info);
        EXPECT_EQ(sheet->GetTrackInfo().captureMode, UInt32(kCaptureBySeconds));
        EXPECT_EQ(sheet->GetTrackInfo().captureValue, 30u) << "seconds are never converted";
        info.captureMode = kCaptureEveryFix;
        sheet->SetTrackInfo(info);
        EXPECT_EQ(sheet->GetTrackInfo().captureMode, UInt32(kCaptureEveryFix));
        EXPECT_FALSE(Get<CEditText>('valu')->IsEnabled());
        EXPECT_FALSE(Get<CPopupButton>('unit')->IsEnabled());
    }

    TEST_F(DeviceSheetTest, PluggingAReceiverInKeepsTheChosenOne)
    {
        CDevice* first = Plug("/sys/usb/1-1");
        CDevice* second = Plug("/sys/usb/1-2");
        ASSERT_NE(second, nullptr);
        auto* sheet = Open(new CSheetTransferConfig);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->GetSelectedDevice(), first);
        Get<CPopupButton>('devi')->SetCurrentValue(2);
        EXPECT_EQ(sheet->GetSelectedDevice(), second);
        CDevice* third = Plug("/sys/usb/1-3");
        ASSERT_NE(third, nullptr);
        EXPECT_EQ(PopupItems('devi').size(), 3u);
        EXPECT_EQ(sheet->GetSelectedDevice(), second);
        mMonitor->Pull("/sys/usb/1-2");
        EXPECT_EQ(PopupItems('devi').size(), 2u);
        EXPECT_EQ(sheet->GetSelectedDevice(), first) << "the chosen one went: the first is chosen";
    }

    TEST_F(DeviceSheetTest, KindsFollowTheReceiverAndTheDocument)
    {
        Plug("/sys/usb/1-1", false);
        FakeDocument document;
        auto* waypoint = new CMapWaypoint;
        waypoint->SetName("Home");
        document.AddObject(waypoint);
        EXPECT_EQ(CSheetTransferConfig::GetDocumentState(&document), UInt32(kTransferWaypoints));
        auto* sheet = Open(new CSheetTransferConfig(&document));
        ASSERT_NE(sheet, nullptr);
        TransferInfo info;
        sheet->SetTransferInfo(info);
        // A receiver without tracks: the box is off and cannot be checked.
        EXPECT_FALSE(Get<CCheckBox>('trak')->IsEnabled());
        EXPECT_FALSE(Get<CCheckBox>('trak')->IsChecked());
        EXPECT_TRUE(Get<CCheckBox>('rout')->IsChecked());
        EXPECT_FALSE(Get<CCheckBox>('maps')->IsEnabled()) << "no map upload either";
        EXPECT_EQ(sheet->GetTransferInfo().kinds, UInt32(kTransferRoutes | kTransferWaypoints));

        // Back to the receiver with only waypoints in the document.
        Get<CPopupButton>('copy')->SetCurrentValue(CSheetTransferConfig::kCopyToDevice);
        Command('copy');
        EXPECT_TRUE(Get<CCheckBox>('wayp')->IsChecked());
        EXPECT_FALSE(Get<CCheckBox>('rout')->IsEnabled());
        EXPECT_FALSE(Get<CCheckBox>('trak')->IsEnabled());
        EXPECT_TRUE(sheet->GetTransferInfo().toDevice);
        EXPECT_EQ(sheet->GetTransferInfo().kinds, UInt32(kTransferWaypoints));

        // Nothing checked: nothing to start.
        Get<CCheckBox>('wayp')->SetChecked(false);
        Command('wayp');
        EXPECT_FALSE(Get<CPushButton>('sync')->IsEnabled());
        Get<CCheckBox>('wayp')->SetChecked(true);
        Command('wayp');
        EXPECT_TRUE(Get<CPushButton>('sync')->IsEnabled());
    }

    TEST_F(DeviceSheetTest, MapsAreNeverAsked)
    {
        Plug("/sys/usb/1-1");
        auto* sheet = Open(new CSheetTransferConfig);
        ASSERT_NE(sheet, nullptr);
        Get<CCheckBox>('maps')->SetChecked(true);
        TransferInfo info = sheet->GetTransferInfo();
        EXPECT_EQ(info.kinds & kTransferMaps, 0u);
        EXPECT_EQ(info.kinds, UInt32(kTransferRoutes | kTransferTracks | kTransferWaypoints));
    }

    TEST_F(DeviceSheetTest, WithoutReceiversNothingCanStart)
    {
        auto* sheet = Open(new CSheetTransferConfig);
        ASSERT_NE(sheet, nullptr);
        EXPECT_FALSE(Get<CPushButton>('sync')->IsEnabled());
        EXPECT_FALSE(Get<CPopupButton>('copy')->IsEnabled());
        for (OSType box : { 'rout', 'trak', 'wayp', 'maps' }) {
            EXPECT_FALSE(Get<CCheckBox>(box)->IsEnabled());
            EXPECT_FALSE(Get<CCheckBox>(box)->IsChecked());
        }
        EXPECT_EQ(sheet->GetTransferInfo().device, nullptr);
        Shot("transfer-config-empty.png");
    }

    TEST_F(DeviceSheetTest, ProgressBarsSpinOnlyForAnOpenEndedRecording)
    {
        auto* track = Open(new CSheetTrackProgress);
        ASSERT_NE(track, nullptr);
        track->SetProgressInfo(CString("Recording"), 0);
        Boolean spinning = false;
        GetControlData(Get<CProgressBar>('prog')->GetControlRef(), 0, kControlProgressBarIndeterminateTag,
            sizeof spinning, &spinning, nullptr);
        EXPECT_TRUE(spinning);
        EXPECT_EQ(Get<CStaticText>('text')->GetTextValue(), CString("Recording"));
        track->SetProgressInfo(CString("Recording"), 10);
        GetControlData(Get<CProgressBar>('prog')->GetControlRef(), 0, kControlProgressBarIndeterminateTag,
            sizeof spinning, &spinning, nullptr);
        EXPECT_FALSE(spinning);
        mParent->EndSheet();
        mSheetOwner.reset();

        auto* transfer = Open(new CSheetTransferProgress);
        ASSERT_NE(transfer, nullptr);
        transfer->SetProgressInfo(CString("Exchanging"), 0);
        GetControlData(Get<CProgressBar>('prog')->GetControlRef(), 0, kControlProgressBarIndeterminateTag,
            sizeof spinning, &spinning, nullptr);
        EXPECT_FALSE(spinning) << "a transfer's bar always counts";
        transfer->SetProgressInfo(CString("Exchanging"), 300);
        transfer->SetProgress(150);
        EXPECT_EQ(Get<CProgressBar>('prog')->GetMaximumValue(), 300);
        EXPECT_EQ(Get<CProgressBar>('prog')->GetCurrentValue(), 150);
        ManualClock::RunFor(0.2);
        Shot("transfer-progress.png");
    }

    TEST_F(DeviceSheetTest, AProgressSheetShowsOnceOnItsWindow)
    {
        auto* sheet = new CSheetTrackProgress;
        std::unique_ptr<CSheetTrackProgress> owner(sheet);
        ASSERT_EQ(sheet->Initialise(nullptr, CString("Tarnwick"), CString(CSheetTrackProgress::kNibWindow)), noErr);
        sheet->ShowProgress();
        EXPECT_FALSE(sheet->IsShown()) << "no window to show on yet";
        sheet->SetParentWindow(mParent.get());
        sheet->ShowProgress();
        EXPECT_TRUE(sheet->IsShown());
        EXPECT_TRUE(mParent->HasSheet());
        sheet->ShowProgress();
        EXPECT_TRUE(sheet->IsShown());
        mParent->EndSheet();
    }

    // A capture value that is no whole number is refused as the editor sheets refuse theirs: a
    // beep, the field chosen with its text kept, and no recording begun until it reads.
    TEST_F(DeviceSheetTest, ACaptureValueThatIsNoNumberIsRefused)
    {
        Plug("/sys/usb/1-1");
        SimulatedUnits::units.back()->SendFix(57.70887, 11.97456, 3, 4, 12418, 3600);
        ManualClock::RunFor(0.2);
        auto* sheet = Open(new CSheetTrackConfig);
        ASSERT_NE(sheet, nullptr);
        TrackInfo info;
        info.captureMode = kCaptureBySeconds;
        info.captureValue = 5;
        sheet->SetTrackInfo(info);
        ManualClock::RunFor(0.2);
        std::vector<UInt32> commands;
        EventTypeSpec const spec { kEventClassCommand, kEventCommandProcess };
        EventHandlerRef handler = nullptr;
        InstallEventHandler(
            mParent->GetEventTarget(),
            [](EventHandlerCallRef, EventRef event, void* data) -> OSStatus {
                HICommandExtended hi {};
                GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof hi, nullptr, &hi);
                static_cast<std::vector<UInt32>*>(data)->push_back(hi.commandID);
                return noErr;
            },
            1, &spec, &commands, &handler);
        WindowRef const window = sheet->GetWindow()->GetWindowRef();
        ControlRef const value = Get<CEditText>('valu')->GetControlRef();
        toolbox::Beeper::ResetForTesting();
        UInt32 beeps = 0;
        for (char const* text : { "abc", "", "5s", "-3", "99999999999", "1.5" }) {
            SCOPED_TRACE(text);
            SetKeyboardFocus(window, value, kControlFocusNextPart);
            InputDriver::Key(0, 'a', cmdKey);
            if (*text)
                InputDriver::TypeKeys(text);
            else
                InputDriver::Key(51, 8);
            InputDriver::Key(kKeyTab, '\t');
            InputDriver::Key(kKeyReturn, 13);
            ManualClock::RunFor(0.2);
            EXPECT_TRUE(commands.empty()) << "no recording began";
            EXPECT_EQ(toolbox::Beeper::Count(), ++beeps);
            ControlRef focus = nullptr;
            GetKeyboardFocus(window, &focus);
            EXPECT_EQ(focus, value) << "the field that does not read is chosen";
            EXPECT_EQ(Get<CEditText>('valu')->GetTextValue(), CString(text)) << "and keeps what was typed";
            EXPECT_TRUE(mParent->HasSheet());
        }
        SetKeyboardFocus(window, value, kControlFocusNextPart);
        InputDriver::Key(0, 'a', cmdKey);
        InputDriver::TypeKeys(" 10 ");
        InputDriver::Key(kKeyReturn, 13);
        ManualClock::RunFor(0.2);
        EXPECT_EQ(commands, (std::vector<UInt32> { 'ok  ' }));
        EXPECT_EQ(sheet->GetTrackInfo().captureValue, 10u);
        EXPECT_EQ(toolbox::Beeper::Count(), beeps);
        // Every fix: the value is not asked for, whatever the field holds.
        commands.clear();
        Get<CEditText>('valu')->SetTextValue(CString("abc"));
        info.captureMode = kCaptureEveryFix;
        sheet->SetTrackInfo(info);
        Get<CEditText>('valu')->SetTextValue(CString("abc"));
        InputDriver::Key(kKeyReturn, 13);
        ManualClock::RunFor(0.2);
        EXPECT_EQ(commands, (std::vector<UInt32> { 'ok  ' }));
        RemoveEventHandler(handler);
    }

    TEST_F(DeviceSheetTest, TheTrackSheetIsWorkedWithTheKeyboard)
    {
        Plug("/sys/usb/1-1");
        SimulatedUnits::units.back()->SendFix(57.70887, 11.97456, 3, 4, 12418, 3600);
        ManualClock::RunFor(0.2);
        auto* sheet = Open(new CSheetTrackConfig);
        ASSERT_NE(sheet, nullptr);
        TrackInfo info;
        sheet->SetTrackInfo(info);
        ManualClock::RunFor(0.2);
        Shot("track-config.png");
        UInt32 command = 0;
        EventTypeSpec const spec { kEventClassCommand, kEventCommandProcess };
        EventHandlerRef handler = nullptr;
        InstallEventHandler(
            mParent->GetEventTarget(),
            [](EventHandlerCallRef, EventRef event, void* data) -> OSStatus {
                HICommandExtended hi {};
                GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof hi, nullptr, &hi);
                *static_cast<UInt32*>(data) = hi.commandID;
                return noErr;
            },
            1, &spec, &command, &handler);
        InputDriver::Key(kKeyReturn, 13);
        ManualClock::RunFor(0.2);
        EXPECT_EQ(command, UInt32('ok  ')) << "Return starts the recording";
        command = 0;
        InputDriver::Key(kKeyEscape, 27);
        ManualClock::RunFor(0.2);
        EXPECT_EQ(command, UInt32('not!')) << "Escape cancels";
        RemoveEventHandler(handler);
        // The second rule chosen with a click: the value and its unit can then be typed.
        ControlID const id { 'cap2', 0 };
        ControlRef every = nullptr;
        GetControlByID(sheet->GetWindow()->GetWindowRef(), &id, &every);
        ASSERT_NE(every, nullptr);
        CGRect const bounds = every->GetBounds();
        CGPoint const inWindow = every->ToWindow({ CGRectGetMidX(bounds), CGRectGetMidY(bounds) });
        CGRect const structure = every->GetWindow()->GetStructure();
        InputDriver::Click({ structure.origin.x + inWindow.x, structure.origin.y + inWindow.y });
        ManualClock::RunFor(0.2);
        EXPECT_EQ(Get<CRadioGroup>('capt')->GetCurrentValue(), 2);
        EXPECT_TRUE(Get<CEditText>('valu')->IsEnabled()) << "the rule's command reached the sheet";
        EXPECT_EQ(sheet->GetTrackInfo().captureMode, UInt32(kCaptureBySeconds));
        Shot("track-config-every.png");
    }

} // namespace
} // namespace tw::test
