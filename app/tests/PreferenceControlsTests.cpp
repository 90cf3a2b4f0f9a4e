#include "PreferencesTest.h"
#include "app/SULastCheckTransform.h"
#include "foundation/CTextUtilities.h"
#include "corefoundation/CFBundle.h"
#include "corefoundation/PreferenceDomain.h"
#include "toolbox/HIViewCalls.h"

#include <fstream>
#include <sys/stat.h>

namespace tw::test {
namespace {

    using PreferenceControls = PreferencesTest;

    double StoredPeriod(CPreferences& prefs)
    {
        return prefs.GetDate(CApplication::kPrefSoftwareUpdatePeriod, CDateTime(12345.0)).GetTimeInSeconds();
    }

    std::filesystem::path PreferencesFile()
    {
        CFStringRef const id = CFBundleGetIdentifier(CFBundleGetMainBundle());
        return cf::PreferenceDomain::ConfigFolder() / (cf::ToUTF8(id) + ".plist");
    }

    // The element the preferences file holds for the key ("<true/>", "<integer>"), or "".
    std::string OnDisk(std::string const& key)
    {
        std::ifstream in(PreferencesFile());
        std::string const text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::size_t const at = text.find("<key>" + key + "</key>");
        if (at == std::string::npos)
            return "";
        std::size_t const start = text.find('<', at + key.size() + 11);
        std::size_t const end = text.find('>', start);
        return start == std::string::npos || end == std::string::npos ? "" : text.substr(start, end - start + 1);
    }

    ino_t FileIdentity()
    {
        struct stat info {};
        return stat(PreferencesFile().c_str(), &info) == 0 ? info.st_ino : 0;
    }

    // Written soon after a change, once for a run of changes, each key keeping its type.
    TEST_F(PreferenceControls, ChangesReachTheDiskSoonAfterOnceForARunAndKeepTheirType)
    {
        OpenByKey();
        ManualClock::RunFor(1.5);
        EXPECT_EQ(OnDisk("ShowGrid"), "<false/>") << "the defaults of the first start";
        Click('grid');
        EXPECT_EQ(OnDisk("ShowGrid"), "<false/>") << "not at once";
        ManualClock::RunFor(1.0);
        EXPECT_EQ(OnDisk("ShowGrid"), "<true/>");
        ino_t const before = FileIdentity();
        ASSERT_NE(before, 0u);
        for (int i = 0; i < 3; ++i)
            Click('grid');
        EXPECT_EQ(FileIdentity(), before) << "every click written";
        ManualClock::RunFor(1.0);
        EXPECT_NE(FileIdentity(), before);
        EXPECT_EQ(OnDisk("ShowGrid"), "<false/>");
        Choose('unit', 2);
        ManualClock::RunFor(1.0);
        EXPECT_EQ(OnDisk("MapUnits"), "<integer>");
    }

    TEST_F(PreferenceControls, GeneralControlsChangeTheirKeysAtOnceAndFollowChangesMadeElsewhere)
    {
        Prefs().SetBoolean("GlobalDocument", true);
        OpenByKey();
        EXPECT_EQ(Value('gdoc'), 1);
        Click('grid');
        EXPECT_TRUE(Prefs().GetBoolean("ShowGrid", false));
        Click('rzom');
        EXPECT_TRUE(Prefs().GetBoolean("ResizeOnZoom", false));
        Click('gdoc');
        EXPECT_FALSE(Prefs().GetBoolean("GlobalDocument", true));
        Choose('unit', 2);
        EXPECT_EQ(Prefs().GetInteger("MapUnits", 0), 2);
        Choose('unit', 7);
        EXPECT_EQ(Prefs().GetInteger("MapUnits", 0), 7) << "items after the separator keep their numbers";
        Choose('angl', 3);
        EXPECT_EQ(Prefs().GetInteger("MapCoordinates", 0), 3);

        Prefs().SetBoolean("ShowGrid", false);
        Prefs().SetBoolean("ResizeOnZoom", false);
        Prefs().SetBoolean("GlobalDocument", true);
        Prefs().SetInteger("MapUnits", 5);
        Prefs().SetInteger("MapCoordinates", 2);
        Run();
        EXPECT_EQ(Value('grid'), 0);
        EXPECT_EQ(Value('rzom'), 0);
        EXPECT_EQ(Value('gdoc'), 1);
        EXPECT_EQ(Value('unit'), 5);
        EXPECT_EQ(Value('angl'), 2);
    }

    TEST_F(PreferenceControls, TheKeyboardAloneMovesThroughTheControlsAndTogglesTheBoxes)
    {
        OpenByKey();
        ControlRef focus = nullptr;
        InputDriver::Key(kKeyTab, '\t');
        InputDriver::Key(kKeySpace, ' ');
        Run();
        GetKeyboardFocus(Window(), &focus);
        EXPECT_EQ(focus, Find('grid'));
        EXPECT_TRUE(Prefs().GetBoolean("ShowGrid", false));
        InputDriver::Key(kKeyTab, '\t');
        InputDriver::Key(kKeySpace, ' ');
        Run();
        GetKeyboardFocus(Window(), &focus);
        EXPECT_EQ(focus, Find('rzom'));
        EXPECT_TRUE(Prefs().GetBoolean("ResizeOnZoom", false));
        InputDriver::Key(kKeyTab, '\t', shiftKey);
        InputDriver::Key(kKeySpace, ' ');
        Run();
        GetKeyboardFocus(Window(), &focus);
        EXPECT_EQ(focus, Find('grid')) << "Shift-Tab goes back";
        EXPECT_FALSE(Prefs().GetBoolean("ShowGrid", true));

        // The distances popup opens with Space; the arrows step over its separator and Return chooses.
        InputDriver::Key(kKeyTab, '\t');
        InputDriver::Key(kKeyTab, '\t');
        InputDriver::Key(kKeySpace, ' ');
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.05, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                InputDriver::Key(kKeyDown, 0);
                InputDriver::Key(kKeyDown, 0);
                InputDriver::Key(kKeyReturn, '\r');
            },
            nullptr, &timer);
        ManualClock::RunFor(0.5);
        GetKeyboardFocus(Window(), &focus);
        EXPECT_EQ(focus, Find('unit'));
        EXPECT_EQ(Prefs().GetInteger("MapUnits", 0), 4) << "Kilometres only, past the separator";
    }

    TEST_F(PreferenceControls, TheStartUpDocumentBoxNamesTheDocumentByItsLocalisedName)
    {
        // The format takes exactly the one text it is given.
        std::string const format = CTextUtilities::GetBundleString("PrefUseGlobalDocument").GetStdString();
        std::size_t const conversion = format.find('%');
        ASSERT_NE(conversion, std::string::npos);
        EXPECT_EQ(format.substr(conversion, 2), "%s");
        EXPECT_EQ(format.find('%', conversion + 1), std::string::npos);

        OpenByKey();
        std::string const name = CTextUtilities::GetBundleString("DocGlobalDocument").GetStdString();
        EXPECT_NE(name, "DocGlobalDocument") << "the bundle has the document's name";
        std::string const title = Title('gdoc');
        EXPECT_NE(title.find(name), std::string::npos) << title;
        EXPECT_EQ(title, format.substr(0, conversion) + name + format.substr(conversion + 2));
    }

    TEST_F(PreferenceControls, TheUpdatePeriodPopupShowsAndStoresPeriodsThroughTheListOfPeriods)
    {
        OpenByKey();
        ClickToolbar('psup');
        EXPECT_EQ(Value('sper'), 3) << "the start-up default of one day";
        Choose('sper', 2);
        EXPECT_EQ(StoredPeriod(Prefs()), -2) << "negative: a check at every start";
        Choose('sper', 1);
        EXPECT_EQ(StoredPeriod(Prefs()), 0) << "never";
        Choose('sper', 4);
        EXPECT_EQ(StoredPeriod(Prefs()), 604800);
        Choose('sper', 5);
        EXPECT_EQ(StoredPeriod(Prefs()), 2678400);

        Prefs().SetDate(CApplication::kPrefSoftwareUpdatePeriod, CDateTime(86400.0));
        Run();
        EXPECT_EQ(Value('sper'), 3);
        // Periods the list does not hold show its first position, which no item stands for.
        Prefs().SetDate(CApplication::kPrefSoftwareUpdatePeriod, CDateTime(3600.0));
        Run();
        EXPECT_EQ(Value('sper'), 0);
        Prefs().SetDate(CApplication::kPrefSoftwareUpdatePeriod, CDateTime(604800.0));
        Run();
        EXPECT_EQ(Value('sper'), 4);
        Prefs().SetInteger(CApplication::kPrefSoftwareUpdatePeriod, 604800);
        Run();
        EXPECT_EQ(Value('sper'), 0) << "a number is no period";
        EXPECT_EQ(Prefs().GetInteger(CApplication::kPrefSoftwareUpdatePeriod, 0), 604800) << "and is left as it is";
    }

    TEST_F(PreferenceControls, TheLastCheckShowsTheLabelsOwnTextUntilACheckIsStoredThenItsDateAndTime)
    {
        OpenByKey();
        ClickToolbar('psup');
        std::string const never = Title(SULastCheckTransform::kControlLastCheck);
        EXPECT_FALSE(never.empty());
        CDateTime const checked(220000000.25); // a Tuesday in December 2007
        Prefs().SetDate(CApplication::kPrefSoftwareUpdateLastCheck, checked);
        Run();
        std::string const shown = Title(SULastCheckTransform::kControlLastCheck);
        EXPECT_EQ(shown, checked.GetTimeAsString(true, true, CDateTime::kDateFormAbbreviated, true).GetStdString());
        EXPECT_NE(shown.find("2007"), std::string::npos) << shown;
        EXPECT_EQ(std::count(shown.begin(), shown.end(), ':'), 2) << "hours, minutes and seconds: " << shown;
        // The label only follows: a click changes nothing, and a removed date shows the label's text again.
        Click(SULastCheckTransform::kControlLastCheck);
        EXPECT_EQ(Prefs().GetDate(CApplication::kPrefSoftwareUpdateLastCheck, CDateTime()), checked);
        Prefs().RemovePref(CApplication::kPrefSoftwareUpdateLastCheck);
        Run();
        EXPECT_EQ(Title(SULastCheckTransform::kControlLastCheck), never);
        // Neither a number nor the reference date itself is a check.
        auto* transform = new SULastCheckTransform(Instance()->GetWindow()); // born with its one reference
        CBValue number;
        number.SetSInt32(220000000);
        for (CBValue const& value : { number, CBValue(CFDateCreate(nullptr, 0), true) }) {
            CBValue const text = transform->Apply(value);
            ASSERT_TRUE(text.IsString());
            EXPECT_EQ(cf::ToUTF8(text.GetString()), never);
        }
        transform->Release();
    }

    TEST_F(PreferenceControls, TheProtocolResetBoxesAreUsableOnlyWhileTheGeneralResetIsOn)
    {
        Prefs().SetBoolean("DeviceReset", false);
        OpenByMenuWithOption();
        ClickToolbar('pbug');
        constexpr OSType kPairs[] = { 'r110', 'r111', 'r210', 'r211' };
        for (OSType pair : kPairs)
            EXPECT_FALSE(Enabled(pair));
        Click('r110');
        EXPECT_FALSE(Prefs().PrefExists("DeviceResetL001A010")) << "a disabled box takes no click";

        Click('rset');
        EXPECT_TRUE(Prefs().GetBoolean("DeviceReset", false));
        for (OSType pair : kPairs)
            EXPECT_TRUE(Enabled(pair));
        Click('r110');
        Click('r211');
        EXPECT_TRUE(Prefs().GetBoolean("DeviceResetL001A010", false));
        EXPECT_TRUE(Prefs().GetBoolean("DeviceResetL002A011", false));
        EXPECT_FALSE(Prefs().GetBoolean("DeviceResetL001A011", false));
        Click('dlog');
        EXPECT_TRUE(Prefs().GetBoolean("DeviceLog", false));

        Prefs().SetBoolean("DeviceReset", false);
        Prefs().SetBoolean("DeviceLog", false);
        Prefs().SetBoolean("DeviceResetL002A010", true);
        Run();
        EXPECT_EQ(Value('rset'), 0);
        EXPECT_EQ(Value('dlog'), 0);
        EXPECT_EQ(Value('r210'), 1);
        for (OSType pair : kPairs)
            EXPECT_FALSE(Enabled(pair));
        EXPECT_EQ(Value('r110'), 1) << "a disabled box still shows its setting";
    }

} // namespace
} // namespace tw::test
