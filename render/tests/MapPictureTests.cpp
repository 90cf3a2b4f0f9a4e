// The map as people see it, kept as pictures: each view is drawn and compared with
// its reference picture within a tolerance (text and antialiasing may move a little).
// TW_UPDATE_PICTURES=1 writes the references anew, to be looked at before committing.
#include "render/CMapSnapshot.h"
#include "render/tests/RenderTestSupport.h"
#include "tests/support/PixelProbe.h"

#include <cairo.h>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

struct Picture {
    char const* name;
    CCoordinate centre;
    UInt32 level;
};

class MapPicture : public testing::TestWithParam<Picture> { };

std::filesystem::path ReferenceOf(Picture const& picture)
{
    return std::filesystem::path(TW_TEST_DATA_DIR) / "pictures" / (std::string(picture.name) + ".png");
}

} // namespace

TEST_P(MapPicture, LooksAsItsReference)
{
    Picture const& picture = GetParam();
    auto manager = tw::test::LoadMaps();
    ASSERT_TRUE(manager);
    CMapSnapshot view(*manager, 4);
    view.SetView(picture.centre, picture.level, CGSizeMake(640, 400));
    ASSERT_EQ(view.Render(), noErr);
    std::filesystem::path const reference = ReferenceOf(picture);
    if (std::getenv("TW_UPDATE_PICTURES")) {
        ASSERT_EQ(view.WritePNG(reference.string()), noErr);
        GTEST_SKIP() << "wrote " << reference;
    }
    cairo_surface_t* expected = cairo_image_surface_create_from_png(reference.c_str());
    ASSERT_EQ(cairo_surface_status(expected), CAIRO_STATUS_SUCCESS) << reference;
    tw::test::PixelProbe const want(cairo_image_surface_get_data(expected), cairo_image_surface_get_width(expected),
        cairo_image_surface_get_height(expected), size_t(cairo_image_surface_get_stride(expected)));
    CGContextRef bitmap = view.GetBitmap();
    tw::test::PixelProbe const got(CGBitmapContextGetData(bitmap), int(CGBitmapContextGetWidth(bitmap)),
        int(CGBitmapContextGetHeight(bitmap)), CGBitmapContextGetBytesPerRow(bitmap));
    ASSERT_EQ(got.Width(), want.Width());
    ASSERT_EQ(got.Height(), want.Height());
    int differ = 0;
    for (int y = 0; y < got.Height(); ++y)
        for (int x = 0; x < got.Width(); ++x) {
            tw::test::Pixel const a = got.At(x, y), b = want.At(x, y);
            differ += std::abs(a.r - b.r) > 16 || std::abs(a.g - b.g) > 16 || std::abs(a.b - b.b) > 16;
        }
    EXPECT_LT(differ, got.Width() * got.Height() / 100) << picture.name;
    cairo_surface_destroy(expected);
}

INSTANTIATE_TEST_SUITE_P(Views, MapPicture,
    testing::Values(Picture { "europe-level-4", CCoordinate(50, 10), 4 },
        Picture { "goteborg-level-14", CCoordinate(57.705, 11.965), 14 },
        Picture { "ottawa-level-12", CCoordinate(45.42, -75.69), 12 }),
    [](testing::TestParamInfo<Picture> const& info) {
        std::string name = info.param.name;
        std::erase(name, '-');
        return name;
    });
