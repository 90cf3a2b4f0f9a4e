// The map tools' work as people see it: a waypoint placed, a route built, shapes, a note
// and a track drawn on the map through the input funnel, kept as a picture.

#include "MapToolTest.h"

namespace tw::test {
namespace {

    class MapToolPicture : public MapToolTest { };

    TEST_F(MapToolPicture, ObjectsMadeWithTheToolsLookAsTheirReference)
    {
        Show(kGoteborg, 14);
        ManualClock::RunFor(0.1);
        Choose(kToolWaypoint);
        Click(At(80, 90));
        Choose(kToolRoute);
        Click(At(200, 80));
        Click(At(300, 160));
        Click(At(420, 120));
        DoubleClick(At(560, 200));
        Choose(kToolRectangle);
        Drag(At(60, 220), At(180, 320));
        Choose(kToolCircle);
        Drag(At(220, 250), At(330, 340));
        Choose(kToolLine);
        Drag(At(380, 360), At(600, 260));
        Choose(kToolNote);
        Click(At(480, 40));
        auto* track = new CMapTrack;
        std::vector<CCoordinatePVT> samples;
        for (int i = 0; i <= 200; ++i)
            samples.emplace_back(
                mView->Unproject(At(20 + 3 * i, 380 - 30 * std::sin(i / 15.0))), CDateTime());
        track->SetSamples(samples);
        mDocument.AddObject(track);
        mDocument.SelectObject(nullptr, false);
        Move(At(620, 20));
        ASSERT_TRUE(Settle());
        ASSERT_EQ(mDocument.mObjects.size(), 11u) << "a waypoint, four for the route and the route, three shapes, a note, a track";
        ExpectPicture("tools-goteborg-level-14");
    }

} // namespace
} // namespace tw::test
