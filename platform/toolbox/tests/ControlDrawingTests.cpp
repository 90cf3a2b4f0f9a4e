#include "ToolboxTest.h"
#include "tests/support/PixelProbe.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Window.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <cairo.h>

namespace tw::test {

namespace {

    // Each control drawn into its window's backing store, probed in its states.
    class ControlDrawing : public ToolboxTest {
    protected:
        void SetUp() override
        {
            ToolboxTest::SetUp();
            mWindow = MakeWindow(kDocumentWindowClass, { 100, 100, 300, 400 },
                kWindowStandardDocumentAttributes | kWindowStandardHandlerAttribute | kWindowCompositingAttribute);
            ShowWindow(mWindow);
        }
        void TearDown() override
        {
            DisposeWindow(mWindow);
            ToolboxTest::TearDown();
        }

        // The control's pixels, (0, 0) at its top left.
        struct Shot {
            PixelProbe probe;
            CGPoint offset;
            Pixel At(double x, double y) const { return probe.At(int(offset.x + x), int(offset.y + y)); }
            int Count(CGRect r, std::function<bool(Pixel)> const& test) const
            {
                return probe.Count({ int(offset.x + r.origin.x), int(offset.y + r.origin.y),
                                       int(offset.x + CGRectGetMaxX(r)), int(offset.y + CGRectGetMaxY(r)) },
                    test);
            }
        };
        Shot Draw(ControlRef control)
        {
            mWindow->Update();
            cairo_surface_t* backing = mWindow->GetBackingStore();
            cairo_surface_flush(backing);
            HIPoint origin {};
            HIViewConvertPoint(&origin, control, nullptr);
            return { PixelProbe(cairo_image_surface_get_data(backing), cairo_image_surface_get_width(backing),
                         cairo_image_surface_get_height(backing), std::size_t(cairo_image_surface_get_stride(backing))),
                origin };
        }

        static bool Dark(Pixel p) { return p.r < 90 && p.g < 90 && p.b < 90; }
        static bool Accent(Pixel p) { return p.b > 150 && p.r < 150 && p.b - p.r > 60; }

        WindowRef mWindow = nullptr;
    };

    TEST_F(ControlDrawing, PushButtonShowsNormalPressedDisabledAndDefault)
    {
        Rect const r { 20, 20, 50, 120 };
        ControlRef button = nullptr;
        CreatePushButtonControl(mWindow, &r, CFSTR("Save"), &button);
        CGRect const title { { 20, 6 }, { 60, 18 } };
        Shot normal = Draw(button);
        EXPECT_GT(normal.At(8, 15).r, 240);
        int const ink = normal.Count(title, Dark);
        EXPECT_GT(ink, 10);

        HiliteControl(button, kControlButtonPart);
        EXPECT_LT(Draw(button).At(8, 15).r, 215);
        HiliteControl(button, kControlNoPart);

        DisableControl(button);
        EXPECT_EQ(Draw(button).Count(title, Dark), 0); // the title greys out
        EnableControl(button);

        SetWindowDefaultButton(mWindow, button);
        HIViewSetNeedsDisplay(button, true);
        Shot const isDefault = Draw(button);
        EXPECT_TRUE(Accent(isDefault.At(8, 15)));
    }

    TEST_F(ControlDrawing, CheckBoxShowsItsValueAndFocus)
    {
        Rect const r { 20, 20, 40, 160 };
        ControlRef box = nullptr;
        CreateCheckBoxControl(mWindow, &r, CFSTR("Grid"), 0, true, &box);
        EXPECT_GT(Draw(box).At(7, 10).r, 240);
        SetControl32BitValue(box, 1);
        EXPECT_TRUE(Accent(Draw(box).At(4, 5)));
        DisableControl(box);
        EXPECT_FALSE(Accent(Draw(box).At(4, 5)));
        EnableControl(box);
        SetKeyboardFocus(mWindow, box, kControlFocusNextPart);
        HIViewSetNeedsDisplay(box, true);
        // The focus ring sits just outside the box.
        Shot const focused = Draw(box);
        EXPECT_GT(focused.Count({ { 0, 0 }, { 18, 2 } }, Accent) + focused.Count({ { 0, 17 }, { 18, 3 } }, Accent), 3);
    }

    TEST_F(ControlDrawing, EditTextShowsFocusCaretAndDisabledBackground)
    {
        Rect const r { 20, 20, 42, 220 };
        ControlRef field = nullptr;
        CreateEditUnicodeTextControl(mWindow, &r, CFSTR("Wien"), false, nullptr, &field);
        Shot const plain = Draw(field);
        EXPECT_EQ(plain.Count({ { 0, 0 }, { 200, 22 } }, Accent), 0);
        EXPECT_GT(plain.Count({ { 4, 2 }, { 60, 18 } }, Dark), 10);
        SetKeyboardFocus(mWindow, field, kControlFocusNextPart);
        HIViewSetNeedsDisplay(field, true);
        // Focused by the keyboard: the ring shows and the text is selected.
        Shot const focused = Draw(field);
        EXPECT_GT(focused.Count({ { 0, 0 }, { 200, 2 } }, Accent), 100);
        EXPECT_GT(focused.Count({ { 4, 4 }, { 20, 14 } }, [](Pixel p) { return p.b > p.r + 20; }), 20);
        ClearKeyboardFocus(mWindow);
        DisableControl(field);
        EXPECT_LT(Draw(field).At(150, 11).r, 250);
    }

    TEST_F(ControlDrawing, SliderThumbFollowsTheValueAndPressDarkensIt)
    {
        Rect const r { 20, 20, 46, 220 };
        ControlRef slider = nullptr;
        CreateSliderControl(mWindow, &r, 0, 0, 100, 0, 0, true, nullptr, &slider);
        EXPECT_GT(Draw(slider).At(8, 13).r, 240); // thumb at the left end
        SetControl32BitValue(slider, 100);
        Shot const right = Draw(slider);
        EXPECT_GT(right.At(192, 13).r, 240);
        EXPECT_TRUE(Accent(right.At(60, 13))); // the filled part of the track
        HiliteControl(slider, kControlIndicatorPart);
        EXPECT_LT(Draw(slider).At(192, 13).r, 230);
    }

    TEST_F(ControlDrawing, PopupShowsTheChosenItemsText)
    {
        MenuRef menu = nullptr;
        CreateNewMenu(0, 0, &menu);
        AppendMenuItemTextWithCFString(menu, CFSTR("I"), 0, 0, nullptr);
        AppendMenuItemTextWithCFString(menu, CFSTR("WWWWWWWW"), 0, 0, nullptr);
        Rect const r { 20, 20, 48, 200 };
        ControlRef popup = nullptr;
        CreatePopupButtonControl(mWindow, &r, nullptr, 0, false, 0, 0, 0, &popup);
        SetControlPopupMenuHandle(popup, menu);
        ReleaseMenu(menu);
        SetControl32BitValue(popup, 1);
        int const narrow = Draw(popup).Count({ { 8, 4 }, { 140, 20 } }, Dark);
        SetControl32BitValue(popup, 2);
        int const wide = Draw(popup).Count({ { 8, 4 }, { 140, 20 } }, Dark);
        EXPECT_GT(wide, narrow * 4);
        // The arrows sit in an accent box at the right end.
        EXPECT_TRUE(Accent(Draw(popup).At(166, 6)));
    }

} // namespace

} // namespace tw::test
