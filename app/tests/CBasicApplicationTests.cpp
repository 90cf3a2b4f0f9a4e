#include "app/CBasicApplication.h"
#include "bindings/Source/Bindings/CBControlBinding.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "corefoundation/CoreFoundation.h"
#include "display/WindowServer.h"
#include "foundation/CPreferences.h"
#include "framework/CMacWindow.h"
#include "tests/support/ManualClock.h"
#include "toolbox/MenuBar.h"
#include "widgets/CControl.h"

#include <gtest/gtest.h>

namespace tw::test {
namespace {

    class BasicApplication : public ::testing::Test {
    protected:
        void SetUp() override
        {
            display::WindowServer::ResetForTesting();
            toolbox::MenuBar::Reset();
        }
        void TearDown() override
        {
            toolbox::MenuBar::Reset();
            display::WindowServer::ResetForTesting();
        }
        ManualClock mClock;
    };

    TEST_F(BasicApplication, AfterTheFirstStartUpStepANibControlFollowsThePreferenceItIsBoundTo)
    {
        CBasicApplication app;
        ASSERT_EQ(app.InitialiseBegin(), noErr);
        CPreferences& prefs = app.GetPreferences();
        prefs.SetBoolean("ShowGrid", false);
        {
            CMacWindow window(CString("Tarnwick"), CString("Test"));
            CControl* check = window.FindControl('chek', 0);
            ASSERT_NE(check, nullptr) << "the window has no widget wrappers";
            ASSERT_NE(prefs.GetBinding(), nullptr) << "the preferences cannot be bound";
            check->GetBinding()->Bind("value", prefs.GetBinding(), "ShowGrid", nullptr, nullptr);
            ManualClock::RunFor(0.1);
            EXPECT_EQ(check->GetCurrentValue(), 0);
            prefs.SetBoolean("ShowGrid", true);
            ManualClock::RunFor(0.1);
            EXPECT_EQ(check->GetCurrentValue(), 1);
        }
    }

    TEST_F(BasicApplication, TheVersionIsTheBundles)
    {
        CBasicApplication app;
        auto const bundle = static_cast<CFStringRef>(
            CFBundleGetValueForInfoDictionaryKey(CFBundleGetMainBundle(), CFSTR("CFBundleShortVersionString")));
        ASSERT_NE(bundle, nullptr);
        EXPECT_EQ(cf::ToUTF8(app.GetPropertyString('aver').GetCFString()), cf::ToUTF8(bundle));
        EXPECT_EQ(cf::ToUTF8(bundle), "1.1.1");
    }

} // namespace
} // namespace tw::test
