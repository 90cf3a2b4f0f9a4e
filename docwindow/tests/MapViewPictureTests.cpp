// The map view as people see it in its window, kept as pictures: each view is drawn
// through the window server and compared with its reference picture within a tolerance
// (text and antialiasing may move a little). TW_UPDATE_PICTURES=1 writes the references
// anew, to be looked at before committing.
#include "docwindow/tests/MapViewTest.h"

#include <cairo.h>
#include <cstdlib>

namespace tw::test {
namespace {

    struct Picture {
        char const* name;
        CCoordinate centre;
        unsigned long level;
    };

    class MapViewPicture : public MapViewTest, public testing::WithParamInterface<Picture> { };

    TEST_P(MapViewPicture, LooksAsItsReference)
    {
        Picture const& picture = GetParam();
        Show(picture.centre, picture.level);
        ASSERT_TRUE(Settle());
        display::WindowServer::Get().Compose();
        cairo_surface_t* screen = display::WindowServer::Get().GetScreen();
        Rect structure {};
        GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
        CGPoint const topLeft = ViewInWindow(CGPointZero);
        CGSize const size = mView->GetVisibleContent().size;
        cairo_surface_t* got = cairo_surface_create_for_rectangle(
            screen, structure.left + topLeft.x, structure.top + topLeft.y, size.width, size.height);
        std::filesystem::path const reference
            = std::filesystem::path(TW_TEST_DATA_DIR) / "pictures" / (std::string(picture.name) + ".png");
        if (std::getenv("TW_UPDATE_PICTURES")) {
            cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(size.width), int(size.height));
            cairo_t* cr = cairo_create(copy);
            cairo_set_source_surface(cr, got, 0, 0);
            cairo_paint(cr);
            cairo_destroy(cr);
            EXPECT_EQ(cairo_surface_write_to_png(copy, reference.c_str()), CAIRO_STATUS_SUCCESS);
            cairo_surface_destroy(copy);
            cairo_surface_destroy(got);
            GTEST_SKIP() << "wrote " << reference;
        }
        cairo_surface_t* expected = cairo_image_surface_create_from_png(reference.c_str());
        ASSERT_EQ(cairo_surface_status(expected), CAIRO_STATUS_SUCCESS) << reference;
        PixelProbe const want = ProbeSurface(expected);
        PixelProbe const all = ProbeSurface(screen);
        ASSERT_EQ(want.Width(), int(size.width));
        ASSERT_EQ(want.Height(), int(size.height));
        int differ = 0;
        for (int y = 0; y < want.Height(); ++y)
            for (int x = 0; x < want.Width(); ++x) {
                Pixel const a = all.At(structure.left + int(topLeft.x) + x, structure.top + int(topLeft.y) + y);
                Pixel const b = want.At(x, y);
                differ += std::abs(a.r - b.r) > 16 || std::abs(a.g - b.g) > 16 || std::abs(a.b - b.b) > 16;
            }
        EXPECT_LT(differ, want.Width() * want.Height() / 100) << picture.name;
        cairo_surface_destroy(expected);
        cairo_surface_destroy(got);
    }

    INSTANTIATE_TEST_SUITE_P(Views, MapViewPicture,
        testing::Values(Picture { "europe-level-4", kEurope, 4 }, Picture { "goteborg-level-14", kGoteborg, 14 },
            Picture { "ottawa-level-10", kOttawa, 10 }),
        [](testing::TestParamInfo<Picture> const& info) {
            std::string name = info.param.name;
            std::erase(name, '-');
            return name;
        });

} // namespace
} // namespace tw::test
