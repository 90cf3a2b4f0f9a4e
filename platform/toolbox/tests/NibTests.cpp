#include "ToolboxTest.h"
#include "toolbox/HIObjectCalls.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/NibCalls.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"

#include <tuple>

namespace tw::test {
namespace {

    class Nibs : public ToolboxTest {
    protected:
        void SetUp() override
        {
            ToolboxTest::SetUp();
            ASSERT_EQ(CreateNibReference(CFSTR("Tarnwick"), &mNib), noErr);
        }
        void TearDown() override
        {
            DisposeNibReference(mNib);
            ToolboxTest::TearDown();
        }
        IBNibRef mNib = nullptr;
    };

    TEST_F(Nibs, TheMenuBarHoldsTheApplicationFileEditWindowAndHelpMenus)
    {
        ASSERT_EQ(SetMenuBarFromNib(mNib, CFSTR("MenuBar")), noErr);
        std::vector<toolbox::Menu*> const menus = toolbox::MenuBar::Menus();
        ASSERT_EQ(menus.size(), 7u);
        std::vector<std::string> titles;
        for (toolbox::Menu* menu : menus)
            titles.push_back(cf::ToUTF8(menu->GetTitle()));
        EXPECT_EQ(titles,
            (std::vector<std::string> { "Tarnwick", "File", "Edit", "Map", "Object", "Window", "Help" }));
        // Every command the application and its documents handle is reachable from the bar.
        for (MenuCommand command : { 'abou', 'quit', 'new ', 'open', 'clos', 'save', 'svas', 'prnt', 'undo', 'cut ',
                 'copy', 'past', 'clea', 'sall', 'pref', 'dimp', 'doci', 'dsyn', 'dtrk', 'cvie', 'zoin', 'zout',
                 'zfit', 'hbak', 'hfwd', 'gvie', 'find', 'gear', 'gmap', 'dtha', 'dtzo', 'dtrl', 'dway', 'drot',
                 'dtno', 'dtre', 'dtci', 'dtli', 'dtcr', 'sway', 'srot', 'stra', 'insp', 'navi', 'devi', 'ddev',
                 'rfrm', 'ogeo' }) {
            MenuRef menu = nullptr;
            MenuItemIndex index = 0;
            EXPECT_EQ(GetIndMenuItemWithCommandID(nullptr, command, 1, &menu, &index), noErr) << Code(command);
        }
        MenuRef menu = nullptr;
        MenuItemIndex index = 0;
        GetIndMenuItemWithCommandID(nullptr, 'quit', 1, &menu, &index);
        UInt16 key = 0;
        GetMenuItemCommandKey(menu, index, false, &key);
        EXPECT_EQ(key, 'Q');
        EXPECT_EQ(GetMenuRef(129), menus[1]);
        MenuRef help = nullptr;
        MenuItemIndex firstCustom = 0;
        HMGetHelpMenu(&help, &firstCustom);
        EXPECT_EQ(help, menus[6]);
        EXPECT_EQ(firstCustom, 5); // after the four items of the nib's Help menu
    }

    TEST_F(Nibs, TheTestWindowComesWithItsViewsHiddenAndInPlace)
    {
        WindowRef window = nullptr;
        ASSERT_EQ(CreateWindowFromNib(mNib, CFSTR("Test"), &window), noErr);
        EXPECT_FALSE(IsWindowVisible(window));
        WindowClass windowClass = 0;
        GetWindowClass(window, &windowClass);
        EXPECT_EQ(windowClass, kDocumentWindowClass);
        Rect content {};
        GetWindowBounds(window, kWindowContentRgn, &content);
        EXPECT_EQ(content.left, 120);
        EXPECT_EQ(content.bottom - content.top, 320);
        ControlID const ok { 'ok  ', 0 };
        ControlRef button = nullptr;
        ASSERT_EQ(GetControlByID(window, &ok, &button), noErr);
        UInt32 command = 0;
        GetControlCommandID(button, &command);
        EXPECT_EQ(command, 'ok  ');
        ControlRef defaultButton = nullptr;
        GetWindowDefaultButton(window, &defaultButton);
        EXPECT_EQ(defaultButton, button);
        ControlKind kind {};
        GetControlKind(button, &kind);
        EXPECT_EQ(kind.kind, 'push');
        ControlID const check { 'chek', 0 };
        GetControlByID(window, &check, &button);
        EXPECT_EQ(GetControl32BitValue(button), 1);
        EXPECT_EQ(GetControl32BitMaximum(button), 1);
        // A text property reads back as UTF-16.
        ControlID const icon { 'icon', 0 };
        GetControlByID(window, &icon, &button);
        ByteCount size = 0;
        ASSERT_EQ(GetControlPropertySize(button, 'pelp', 'icon', &size), noErr);
        std::u16string text(size / 2, u'\0');
        GetControlProperty(button, 'pelp', 'icon', size, nullptr, text.data());
        EXPECT_EQ(text, u"Tarnwick.png");
        HMHelpContentRec help {};
        ControlID const label { 'test', 1 };
        GetControlByID(window, &label, &button);
        HMGetControlHelpContent(button, &help);
        EXPECT_EQ(help.content[0].contentType, kHMCFStringContent);
        DisposeWindow(window);
    }

    // A class of the program's own, placed in a nib: made through the registry, with its parameters.
    OSStatus CustomViewClass(EventHandlerCallRef callRef, EventRef event, void* userData)
    {
        if (GetEventKind(event) == kEventHIObjectConstruct) {
            static int instance = 0;
            void* data = &instance;
            SetEventParameter(event, kEventParamHIObjectInstance, typeVoidPtr, sizeof data, &data);
            return noErr;
        }
        if (GetEventKind(event) == kEventHIObjectInitialize) {
            OSStatus const status = CallNextEventHandler(callRef, event);
            UInt32 orientation = 0;
            GetEventParameter(event, 'orin', typeUInt32, nullptr, sizeof orientation, nullptr, &orientation);
            *static_cast<int*>(userData) = static_cast<int>(orientation);
            return status;
        }
        return eventNotHandledErr;
    }

    TEST_F(Nibs, ViewsOfRegisteredClassesAreConstructedWithTheirInitialisationParameters)
    {
        EventTypeSpec const events[]
            = { { kEventClassHIObject, kEventHIObjectConstruct }, { kEventClassHIObject, kEventHIObjectInitialize } };
        HIObjectRegisterSubclass(
            CFSTR("test.nib.custom"), CFSTR("com.apple.hiview"), 0, CustomViewClass, 2, events, nullptr, nullptr);
        IBNibRef nib = nullptr;
        ASSERT_EQ(toolbox::CreateNibFromText(R"(<nib><window name="W" bounds="0 40 100 100">
        <view class="test.nib.custom" frame="1 2 30 40" id="cust:7"><param name="orin" type="uint32">3</param></view>
        </window></nib>)",
                      &nib),
            noErr);
        WindowRef window = nullptr;
        ASSERT_EQ(CreateWindowFromNib(nib, CFSTR("W"), &window), noErr);
        ControlID const id { 'cust', 7 };
        ControlRef view = nullptr;
        ASSERT_EQ(GetControlByID(window, &id, &view), noErr);
        EXPECT_TRUE(HIObjectIsOfClass(view, CFSTR("test.nib.custom")));
        HIRect frame {};
        HIViewGetFrame(view, &frame);
        EXPECT_TRUE(CGRectEqualToRect(frame, CGRectMake(1, 2, 30, 40)));
        DisposeWindow(window);
        DisposeNibReference(nib);
    }

    TEST_F(Nibs, MalformedNibsGiveAStatusAndBuildNothing)
    {
        // (nib text, object to build, expected status)
        std::vector<std::tuple<char const*, char const*, OSStatus>> const cases = {
            { "<nib><window name='W' bounds='0 0 10'/></nib>", "W", nibMalformedErr },
            { "<nib><window name='W' bounds='0 0 10 10' class='spaceship'/></nib>", "W", nibMalformedErr },
            { "<nib><window name='W' bounds='0 0 10 10'><view frame='a b c d'/></window></nib>", "W", nibMalformedErr },
            { "<nib><window name='W' bounds='0 0 10 10'><view command='toolong'/></window></nib>", "W",
                nibMalformedErr },
            { "<nib><window name='W' bounds='0 0 10 10'><view class='no.such.class'/></window></nib>", "W", paramErr },
            { "<nib><window name='W' bounds='0 0 10 10'><view value='99999999999'/></window></nib>", "W",
                nibMalformedErr },
            { "<nib><window name='W' bounds='0 0 10 10'><view layout='top:sideways'/></window></nib>", "W",
                nibMalformedErr },
            { "<nib><window name='W' bounds='0 0 10 10'><view><property creator='pelp' tag='x'/></view></window></nib>",
                "W", nibMalformedErr },
            { "<nib><window name='W' bounds='0 0 10 10'/></nib>", "Other", kIBCarbonRuntimeCantFindObject },
        };
        for (auto const& [text, name, expected] : cases) {
            IBNibRef nib = nullptr;
            ASSERT_EQ(toolbox::CreateNibFromText(text, &nib), noErr) << text;
            WindowRef window = reinterpret_cast<WindowRef>(1);
            CFStringRef windowName = cf::CreateString(name);
            EXPECT_EQ(CreateWindowFromNib(nib, windowName, &window), expected) << text;
            EXPECT_EQ(window, nullptr);
            CFRelease(windowName);
            DisposeNibReference(nib);
        }
        IBNibRef nib = nullptr;
        EXPECT_EQ(toolbox::CreateNibFromText("<nib><window", &nib), nibMalformedErr);
        EXPECT_EQ(toolbox::CreateNibFromText("<plist/>", &nib), nibMalformedErr);
        EXPECT_EQ(CreateNibReference(CFSTR("NoSuchNib"), &nib), kIBCarbonRuntimeCantFindNibFile);
        ASSERT_EQ(toolbox::CreateNibFromText("<nib><menu name='M'><item title='x' key='toolong'/></menu></nib>", &nib),
            noErr);
        MenuRef menu = nullptr;
        EXPECT_EQ(CreateMenuFromNib(nib, CFSTR("M"), &menu), nibMalformedErr);
        DisposeNibReference(nib);
    }

    // Window rectangles are 16-bit: the edges just inside the range build, one past it is refused.
    TEST_F(Nibs, WindowBoundsOutsideTheSixteenBitRangeAreRefused)
    {
        struct Case {
            char const* bounds; // "x y width height"
            OSStatus expected;
            SInt16 left, top; // of the content, when built
        };
        Case const cases[] = {
            { "32757 0 10 10", noErr, 32757, 0 },
            { "32758 0 10 10", nibMalformedErr },
            { "0 32757 10 10", noErr, 0, 32757 },
            { "0 32758 10 10", nibMalformedErr },
            { "-32768 -32768 10 10", noErr, -32768, -32768 },
            { "-32769 0 10 10", nibMalformedErr },
            { "0 -32769 10 10", nibMalformedErr },
            { "0 0 99999 10", nibMalformedErr },
        };
        for (Case const& c : cases) {
            std::string const text = std::string("<nib><window name='W' bounds='") + c.bounds + "'/></nib>";
            IBNibRef nib = nullptr;
            ASSERT_EQ(toolbox::CreateNibFromText(text, &nib), noErr) << c.bounds;
            WindowRef window = nullptr;
            EXPECT_EQ(CreateWindowFromNib(nib, CFSTR("W"), &window), c.expected) << c.bounds;
            if (c.expected == noErr && window) {
                Rect content {};
                GetWindowBounds(window, kWindowContentRgn, &content);
                EXPECT_EQ(content.left, c.left) << c.bounds;
                EXPECT_EQ(content.top, c.top) << c.bounds;
                DisposeWindow(window);
            }
            EXPECT_EQ(window != nullptr, c.expected == noErr) << c.bounds;
            DisposeNibReference(nib);
        }
    }

    OSStatus PlainObjectClass(EventHandlerCallRef, EventRef event, void*)
    {
        if (GetEventKind(event) != kEventHIObjectConstruct)
            return eventNotHandledErr;
        void* data = nullptr;
        SetEventParameter(event, kEventParamHIObjectInstance, typeVoidPtr, sizeof data, &data);
        return noErr;
    }

    // An object that is no view, named where a view belongs, is refused and freed.
    TEST_F(Nibs, AClassThatIsNoViewIsRefusedInAViewsPlace)
    {
        EventTypeSpec const construct { kEventClassHIObject, kEventHIObjectConstruct };
        HIObjectRegisterSubclass(
            CFSTR("test.nib.object"), CFSTR("com.apple.hiobject"), 0, PlainObjectClass, 1, &construct, nullptr, nullptr);
        IBNibRef nib = nullptr;
        ASSERT_EQ(toolbox::CreateNibFromText(
                      "<nib><window name='W' bounds='0 40 100 100'><view/><view class='test.nib.object'/></window></nib>",
                      &nib),
            noErr);
        WindowRef window = reinterpret_cast<WindowRef>(1);
        EXPECT_EQ(CreateWindowFromNib(nib, CFSTR("W"), &window), kIBCarbonRuntimeObjectNotOfRequestedType);
        EXPECT_EQ(window, nullptr);
        DisposeNibReference(nib);
        // TearDown checks that nothing built was left alive.
    }

    TEST_F(Nibs, DeeplyNestedViewsAreRefusedRatherThanOverflowingTheStack)
    {
        std::string text = "<nib><window name='W' bounds='0 0 10 10'>";
        for (int i = 0; i < 100; ++i)
            text += "<view>";
        for (int i = 0; i < 100; ++i)
            text += "</view>";
        text += "</window></nib>";
        IBNibRef nib = nullptr;
        ASSERT_EQ(toolbox::CreateNibFromText(text, &nib), noErr);
        WindowRef window = nullptr;
        EXPECT_EQ(CreateWindowFromNib(nib, CFSTR("W"), &window), nibMalformedErr);
        DisposeNibReference(nib);
    }

} // namespace
} // namespace tw::test
