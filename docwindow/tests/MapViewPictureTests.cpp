// The map view as people see it in its window, kept as pictures: each view is drawn
// through the window server and compared with its reference picture within a tolerance
// (text and antialiasing may move a little). TW_UPDATE_PICTURES=1 writes the references
// anew, to be looked at before committing.
#include "docwindow/tests/MapViewTest.h"

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
        ExpectPicture(picture.name);
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
