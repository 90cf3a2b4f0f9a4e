#include "WidgetTest.h"
#include "framework/CCarbonEvent.h"
#include "tests/support/InputDriver.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/TestSupport.h"
#include "toolbox/Window.h"
#include "widgets/CIconPane.h"
#include "widgets/CValidatedEditText.h"

#include <cairo.h>

namespace tw::test {

namespace {

    class Panes : public WidgetTest {
    protected:
        void SetUp() override
        {
            WidgetTest::SetUp();
            display::WindowServer::ResetForTesting();
            ShowWindow(mWindow);
        }
        PixelProbe Draw()
        {
            auto* window = toolbox::LiveWindow(mWindow);
            window->Update();
            cairo_surface_t* backing = window->GetBackingStore();
            cairo_surface_flush(backing);
            return PixelProbe(cairo_image_surface_get_data(backing), cairo_image_surface_get_width(backing),
                cairo_image_surface_get_height(backing), std::size_t(cairo_image_surface_get_stride(backing)));
        }
        static CGPoint InWindow(ControlRef control, CGPoint p)
        {
            HIViewConvertPoint(&p, control, nullptr);
            return p;
        }
    };

    // A pane that answers a part where it is clicked and notes the tracking.
    class ClickPane : public CUserPane {
    public:
        ClickPane(WindowRef window, CRect const& bounds)
            : CUserPane(window, bounds, 0)
        {
        }
        ControlPartCode HandleControlUserPaneHitTest(Point) override { return 1; }
        ControlPartCode HandleControlUserPaneTracking(Point start, ControlActionUPP) override
        {
            tracked = start;
            return 1;
        }
        Point tracked { -1, -1 };
    };

    TEST_F(Panes, UserPaneProceduresReachTheWrappersHandlers)
    {
        auto* pane = new ClickPane(mWindow, CRect(20, 20, 60, 120));
        CGPoint const at = InWindow(pane->GetControlRef(), { 30, 10 });
        Rect structure {};
        GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
        InputDriver::Click({ at.x + structure.left, at.y + structure.top });
        ManualClock::RunFor(0.1);
        EXPECT_EQ(pane->tracked.h, 30);
        EXPECT_EQ(pane->tracked.v, 10);
    }

    TEST_F(Panes, IconPaneDrawsItsIconIntoItsBounds)
    {
        TempFolder folder;
        std::string const path = (folder / "green.png").string();
        cairo_surface_t* green = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
        cairo_t* cr = cairo_create(green);
        cairo_set_source_rgb(cr, 0, 1, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_write_to_png(green, path.c_str());
        cairo_surface_destroy(green);
        FSRef ref {};
        ASSERT_EQ(FSPathMakeRef(reinterpret_cast<UInt8 const*>(path.c_str()), &ref, nullptr), noErr);
        IconRef icon = nullptr;
        ASSERT_EQ(RegisterIconRefFromFSRef(0, 0, &ref, &icon), noErr);
        auto* pane = new CIconPane(mWindow, CRect(20, 20, 52, 52), icon, 0, 0);
        ReleaseIconRef(icon); // the pane holds its own reference
        PixelProbe const probe = Draw();
        CGPoint const centre = InWindow(pane->GetControlRef(), { 16, 16 });
        EXPECT_TRUE(IsColour(probe.At(int(centre.x), int(centre.y)), 0, 255, 0));
    }

    TEST_F(Panes, ValidatedFieldPostsItsNotificationsToTheTarget)
    {
        int modified = 0, done = 0;
        auto const count = [](EventHandlerCallRef, EventRef event, void* data) -> OSStatus {
            auto* counts = static_cast<int*>(data);
            ++counts[GetEventKind(event) == CEditText::kEventInputDone ? 1 : 0];
            return noErr;
        };
        int counts[2] = { 0, 0 };
        EventTypeSpec const specs[] = { { CEditText::kEventClassPctl, CEditText::kEventTextModified },
            { CEditText::kEventClassPctl, CEditText::kEventInputDone } };
        EventHandlerRef handler = nullptr;
        InstallEventHandler(GetWindowEventTarget(mWindow), count, 2, specs, counts, &handler);
        auto* field = new CValidatedEditText(
            mWindow, GetWindowEventTarget(mWindow), CRect(20, 20, 42, 220), CString(""), false, false, nullptr);
        SetKeyboardFocus(mWindow, field->GetControlRef(), kControlFocusNextPart);
        InputDriver::Key(0x00, 'a');
        InputDriver::Post({ .kind = display::InputKind::Text, .text = "a" });
        InputDriver::Key(36, 13);
        ManualClock::RunFor(0.2);
        modified = counts[0];
        done = counts[1];
        EXPECT_GE(modified, 1);
        EXPECT_EQ(done, 1);
        EXPECT_EQ(field->GetTextValue(), CString("a"));
        RemoveEventHandler(handler);
    }

} // namespace

} // namespace tw::test
