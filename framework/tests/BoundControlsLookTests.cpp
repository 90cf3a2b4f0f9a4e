#include "bindings/Source/Bindings/CBControlBinding.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "foundation/CPreferences.h"
#include "framework/CMacWindow.h"
#include "framework/tests/WindowTest.h"
#include "tests/support/InputDriver.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/NibCalls.h"
#include "toolbox/Theme.h"

#include <cstdlib>

namespace tw::test {
namespace {

    using BoundControlsLook = WindowTest;

    int DarkPixels(PixelBox box)
    {
        return ProbeScreen().Count(box, [](Pixel p) { return p.r < 100 && p.g < 100 && p.b < 100; });
    }

    // Where the screen goes when a person wants to look at it.
    void Snapshot(char const* name)
    {
        if (char const* folder = std::getenv("TW_SNAPSHOT_DIR"))
            display::WindowServer::Get().WritePNG(std::string(folder) + "/" + name);
    }

    TEST_F(BoundControlsLook, ACheckBoxShowsThePreferenceItIsBoundTo)
    {
        CBPreferenceBinding::InstallPreferencesSupport();
        CPreferences prefs(CString("org.tarnwick.look"));
        prefs.SetBoolean("ShowGrid", false);
        CMacWindow window(CString("Tarnwick"), CString("Test"));
        ASSERT_NE(window.GetWindowRef(), nullptr);
        auto* binding = new CBControlBinding(window.GetWindowRef(), 'chek');
        binding->Bind("value", prefs.GetBinding(), "ShowGrid", nullptr, nullptr);
        window.SetVisible(true);
        ManualClock::RunFor(0.1);

        // The check box's square: its frame's left end, in global pixels.
        Rect content = window.GetWindowBounds(kWindowContentRgn);
        PixelBox const box { content.left + 240, content.top + 50, content.left + 260, content.top + 70 };
        int const unchecked = DarkPixels(box);
        Snapshot("checkbox-off.png");
        prefs.SetBoolean("ShowGrid", true); // changed elsewhere
        ManualClock::RunFor(0.1);
        int const checked = DarkPixels(box);
        Snapshot("checkbox-on.png");
        EXPECT_GT(checked, unchecked + 10) << "the check mark is drawn";
    }

    // The middle of the Window menu's title in the menu bar.
    CGPoint WindowMenuTitle()
    {
        std::vector<toolbox::Menu*> const menus = toolbox::MenuBar::Menus();
        std::vector<CGRect> const titles = toolbox::Theme::MenuBarTitleRects();
        for (std::size_t i = 0; i < menus.size() && i < titles.size(); ++i) {
            CFStringRef title = nullptr;
            CopyMenuTitleAsCFString(menus[i], &title);
            bool const found = title && cf::ToUTF8(title) == "Window";
            if (title)
                CFRelease(title);
            if (found)
                return { CGRectGetMidX(titles[i]), CGRectGetMidY(titles[i]) };
        }
        ADD_FAILURE() << "no Window menu";
        return {};
    }

    TEST_F(BoundControlsLook, AnOpenMenuShowsTheCheckMarkOfAVisibleWindow)
    {
        IBNibRef nib = nullptr;
        ASSERT_EQ(CreateNibReference(CFSTR("Tarnwick"), &nib), noErr);
        ASSERT_EQ(SetMenuBarFromNib(nib, CFSTR("MenuBar")), noErr);
        DisposeNibReference(nib);
        CMacWindow window(CString("Tarnwick"), CString("Test"));
        window.BindVisibilityToMenu('tbTo'); // the Window menu's "Show Toolbar" item
        window.SetVisible(true);
        ManualClock::RunFor(0.1);

        // Open the Window menu with the mouse and look at the screen while it is open.
        struct Seen {
            int checkInk = 0;
            int zoomInk = 0;
        } seen;
        auto const look = [](EventLoopTimerRef, void* data) {
            Snapshot("window-menu.png");
            auto* self = static_cast<Seen*>(data);
            // The mark column of "Show Toolbar" (third item, under a separator) and of "Zoom".
            int const left = int(toolbox::MenuBar::Open().at(0).frame.origin.x) + 3;
            self->checkInk = DarkPixels({ left, 74, left + 15, 93 });
            self->zoomInk = DarkPixels({ left, 46, left + 15, 64 });
            InputDriver::MouseUp({ 900, 600 });
        };
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(GetMainEventLoop(), 0.05, 0, look, &seen, &timer);
        InputDriver::MouseDown({ WindowMenuTitle().x, 10 });
        ManualClock::RunFor(0.5);
        RemoveEventLoopTimer(timer);
        EXPECT_GT(seen.checkInk, 5);
        EXPECT_EQ(seen.zoomInk, 0);
    }

} // namespace
} // namespace tw::test
