#include "ToolboxTest.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Nib.h"
#include "toolbox/NibBuilder.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/controls/ControlDefinitions.h"

namespace tw::test {

namespace {

    char const* const kControlsNib = R"(<nib version="1">
  <window name="Controls" bounds="100 100 400 240" title="Controls">
    <view class="com.apple.HIPushButton" frame="300 200 80 28" id="okay" title="OK" command="ok  " default="true"/>
    <view class="com.apple.HICheckBox" frame="20 20 160 20" id="grid" title="Show grid" max="1" value="1"/>
    <view class="com.apple.HIPopupButton" frame="20 50 160 26" id="unit" max="3" value="2">
      <property creator="twbh" tag="itms" type="string">Metres
Feet
Yards</property>
    </view>
    <view class="com.apple.HISegmentedView" frame="20 90 210 24" id="mode" max="3" value="3">
      <property creator="twbh" tag="sgmt" type="string">Map
List
Both</property>
    </view>
    <view class="com.apple.HISlider" frame="20 130 200 30" id="zoom" min="0" max="10" value="4">
      <property creator="twbh" tag="tick" type="uint32">11</property>
    </view>
    <view class="com.apple.HIPopupButton" frame="200 50 160 26" id="sepr" max="4" value="4">
      <property creator="twbh" tag="itms" type="string">Metric
-
Kilometres only
- not a separator</property>
    </view>
    <view class="com.apple.HIPopupButton" frame="200 90 160 26" id="catg" value="2">
      <menu>
        <item title="Everything" command="fall"/>
        <separator/>
        <item title="Food" command="food"/>
      </menu>
    </view>
    <view class="com.apple.HITextField" frame="20 170 200 22" id="name">
      <property creator="pelp" tag="img " type="string">Back.png</property>
    </view>
  </window>
</nib>)";

    class ControlNib : public ToolboxTest {
    protected:
        void SetUp() override
        {
            ToolboxTest::SetUp();
            mNib = new toolbox::Nib();
            std::string error;
            ASSERT_EQ(mNib->Load(kControlsNib, &error), noErr) << error;
            toolbox::Window* window = nullptr;
            ASSERT_EQ(toolbox::NibBuilder::BuildWindow(mNib->FindWindow("Controls"), &window), noErr);
            mWindow = window;
        }
        void TearDown() override
        {
            DisposeWindow(mWindow);
            mNib->Release();
            ToolboxTest::TearDown();
        }
        ControlRef Find(OSType signature)
        {
            ControlRef control = nullptr;
            ControlID const id { signature, 0 };
            GetControlByID(mWindow, &id, &control);
            return control;
        }

        toolbox::Nib* mNib = nullptr;
        WindowRef mWindow = nullptr;
    };

    TEST_F(ControlNib, NibDescribesEveryControlsValuesAndItems)
    {
        ControlRef ok = Find('okay');
        ControlRef found = nullptr;
        GetWindowDefaultButton(mWindow, &found);
        EXPECT_EQ(found, ok);
        UInt32 command = 0;
        GetControlCommandID(ok, &command);
        EXPECT_EQ(command, UInt32(kHICommandOK));
        EXPECT_EQ(GetControl32BitValue(Find('grid')), 1);

        MenuRef menu = GetControlPopupMenuHandle(Find('unit'));
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(CountMenuItems(menu), 3);
        CFStringRef text = nullptr;
        CopyMenuItemTextAsCFString(menu, static_cast<MenuItemIndex>(GetControl32BitValue(Find('unit'))), &text);
        EXPECT_EQ(cf::ToUTF8(text), "Feet");
        CFRelease(text);

        EXPECT_EQ(HISegmentedViewGetSegmentCount(Find('mode')), 3u);
        EXPECT_EQ(GetControl32BitValue(Find('mode')), 3);
        CFStringRef label = nullptr;
        HISegmentedViewCopySegmentLabel(Find('mode'), 2, &label);
        EXPECT_EQ(cf::ToUTF8(label), "List");
        CFRelease(label);

        EXPECT_EQ(GetControl32BitValue(Find('zoom')), 4);
        ByteCount size = 0;
        EXPECT_EQ(GetControlPropertySize(Find('name'), 'pelp', 'img ', &size), noErr);
        Boolean single = false;
        GetControlData(Find('name'), 0, kControlEditTextSingleLineTag, sizeof single, &single, nullptr);
        EXPECT_TRUE(single);
    }

    TEST_F(ControlNib, APopupItemLineOfOneDashIsASeparatorThatKeepsTheItemsPlaces)
    {
        MenuRef menu = GetControlPopupMenuHandle(Find('sepr'));
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(CountMenuItems(menu), 4);
        std::vector<std::string> texts;
        std::vector<bool> separators;
        for (MenuItemIndex item = 1; item <= 4; ++item) {
            CFStringRef text = nullptr;
            CopyMenuItemTextAsCFString(menu, item, &text);
            texts.push_back(cf::ToUTF8(text));
            CFRelease(text);
            MenuItemAttributes attributes = 0;
            GetMenuItemAttributes(menu, item, &attributes);
            separators.push_back((attributes & kMenuItemAttrSeparator) != 0);
        }
        EXPECT_EQ(texts, (std::vector<std::string> { "Metric", "", "Kilometres only", "- not a separator" }));
        EXPECT_EQ(separators, (std::vector<bool> { false, true, false, false }));
        EXPECT_EQ(GetControl32BitValue(Find('sepr')), 4) << "the value still counts the separator";
    }

    TEST_F(ControlNib, APopupsMenuElementGivesItsItemsWithTheirCommands)
    {
        MenuRef menu = GetControlPopupMenuHandle(Find('catg'));
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(CountMenuItems(menu), 3);
        EXPECT_EQ(GetControl32BitMaximum(Find('catg')), 3);
        EXPECT_EQ(GetControl32BitValue(Find('catg')), 2) << "the nib's value, kept within the menu's range";
        std::vector<MenuCommand> commands;
        for (MenuItemIndex item = 1; item <= 3; ++item) {
            MenuCommand command = 0;
            GetMenuItemCommandID(menu, item, &command);
            commands.push_back(command);
        }
        EXPECT_EQ(commands, (std::vector<MenuCommand> { 'fall', 0, 'food' }));
        MenuItemIndex index = 0;
        MenuRef found = nullptr;
        EXPECT_EQ(GetIndMenuItemWithCommandID(menu, 'food', 1, &found, &index), noErr);
        EXPECT_EQ(index, 3);
    }

    TEST_F(ControlNib, AMenuInsideAViewThatIsNoPopupOrABadItemIsMalformed)
    {
        for (char const* view : {
                 R"(<view class="com.apple.HICheckBox" frame="0 0 100 20" id="chek"><menu><item title="A"/></menu></view>)",
                 R"(<view class="com.apple.HIPopupButton" frame="0 0 100 20" id="pop "><menu><item title="A" command="toolong"/></menu></view>)",
             }) {
            std::string const text = std::string(R"(<nib version="1"><window name="Bad" bounds="0 0 200 100">)") + view
                + "</window></nib>";
            auto* nib = new toolbox::Nib();
            std::string error;
            ASSERT_EQ(nib->Load(text.c_str(), &error), noErr) << error;
            toolbox::Window* window = nullptr;
            EXPECT_EQ(toolbox::NibBuilder::BuildWindow(nib->FindWindow("Bad"), &window), nibMalformedErr) << view;
            EXPECT_EQ(window, nullptr);
            nib->Release();
        }
    }

} // namespace

} // namespace tw::test
