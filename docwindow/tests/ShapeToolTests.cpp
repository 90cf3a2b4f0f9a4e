// The tool box and the tools that draw shapes and notes, driven through the input funnel.

#include "MapToolTest.h"
#include "docwindow/CCanvasCircle.h"
#include "docwindow/CCanvasLine.h"
#include "docwindow/CCanvasNote.h"

namespace tw::test {
namespace {

    class ShapeTools : public MapToolTest { };

    TEST_F(ShapeTools, TheHandIsCurrentFirstAndOnlyTheZoomToolListensToTheView)
    {
        EXPECT_EQ(mTools.GetTool(), kToolHand);
        EXPECT_EQ(mView->GetTool(), mTools.FindTool(kToolHand));
        for (TWTool code = kToolCircle; code <= kToolZoom; code = TWTool(code + 1)) {
            ASSERT_NE(mTools.FindTool(code), nullptr);
            EXPECT_EQ(mTools.FindTool(code)->GetCode(), code);
            EXPECT_EQ(mTools.FindTool(code)->IsListeningTo(mView), code == kToolZoom) << code;
            EXPECT_EQ(mTools.FindTool(code)->CanInteract(), code == kToolHand) << code;
        }
    }

    TEST_F(ShapeTools, ACodeOfNoToolLeavesTheViewWithoutOneAndInputChangesNothing)
    {
        mTools.SetTool(TWTool(12));
        EXPECT_EQ(mTools.GetTool(), TWTool(12));
        EXPECT_EQ(mView->GetTool(), nullptr);
        CGPoint const origin = mView->GetImageOrigin();
        Drag(At(100, 100), At(160, 150));
        Click(At(200, 200));
        EXPECT_TRUE(mDocument.mObjects.empty());
        EXPECT_EQ(mView->GetImageOrigin().x, origin.x);
        Choose(kToolHand);
        EXPECT_EQ(mView->GetTool(), mTools.FindTool(kToolHand));
    }

    // Each creating tool hands back to the hand unless either Option key is held at the
    // release; the new object alone is selected, on the document and on the map.
    TEST_F(ShapeTools, CreatingReturnsToTheHandUnlessOptionIsHeldAndSelectsOnlyTheNewObject)
    {
        struct Case {
            TWTool tool;
            MapObjectType type;
        };
        Case const cases[] = { { kToolCircle, kMapObjectCircle }, { kToolRectangle, kMapObjectRectangle },
            { kToolLine, kMapObjectLine }, { kToolNote, kMapObjectNote }, { kToolWaypoint, kMapObjectWaypoint } };
        for (Case const& c : cases) {
            for (UInt32 const modifiers : { 0u, kOption, kRightOption }) {
                Choose(c.tool);
                std::size_t const before = mDocument.mObjects.size();
                Drag(At(100, 100), At(140, 130), modifiers);
                ASSERT_EQ(mDocument.mObjects.size(), before + 1) << c.tool;
                CMapObject* made = mDocument.mObjects.back();
                EXPECT_TRUE(made->IsType(c.type));
                EXPECT_EQ(Selected(), std::vector<CMapObject*>({ made })) << c.tool;
                ASSERT_NE(mView->FindCanvasObject(made), nullptr);
                EXPECT_TRUE(mView->FindCanvasObject(made)->IsSelected());
                EXPECT_EQ(mDocument.GetTool(), modifiers ? c.tool : kToolHand) << c.tool << " " << modifiers;
            }
        }
    }

    TEST_F(ShapeTools, TheDragDecidesWhatIsMadeAndPreviewsNeverEnterTheDocument)
    {
        struct Case {
            TWTool tool;
            double dx, dy;
            bool made;
        };
        // Lines need two pixels across or down, so level and upright lines can be drawn.
        Case const cases[] = {
            { kToolCircle, 0, 0, false }, { kToolCircle, 10, 0, false }, { kToolCircle, 10, 1, true },
            { kToolRectangle, 0, 0, false }, { kToolRectangle, 10, 0, false }, { kToolRectangle, 10, 1, true },
            { kToolCrop, 0, 0, false }, { kToolCrop, 10, 0, false }, { kToolCrop, 10, 1, true },
            { kToolLine, 1, 1, false }, { kToolLine, 10, 0, true }, { kToolLine, 10, 1, true },
            { kToolLine, 10, 2, true }, { kToolLine, 0, 2, true },
        };
        for (Case const& c : cases) {
            for (CMapObject* object : std::vector<CMapObject*>(mDocument.mObjects))
                mDocument.RemoveObject(object);
            Choose(c.tool);
            CGPoint const from = At(200, 150);
            Drag(from, { from.x + c.dx, from.y + c.dy }, kOption);
            EXPECT_EQ(mDocument.mObjects.size(), c.made ? 1u : 0u) << c.tool << ": " << c.dx << " x " << c.dy;
            if (!c.made || c.tool == kToolLine)
                continue;
            // The shape covers the dragged rectangle.
            CGRect const bounds = CGRectStandardize(mView->FindCanvasObject(mDocument.mObjects[0])->GetBounds());
            EXPECT_NEAR(bounds.origin.x, from.x, 0.01);
            EXPECT_NEAR(bounds.size.width, c.dx, 0.01);
            EXPECT_NEAR(bounds.size.height, c.dy, 0.01);
        }
    }

    TEST_F(ShapeTools, ACircleDrawnLeftAndUpIsNormalisedAndItsPreviewFollowsTheDrag)
    {
        Choose(kToolCircle);
        CGPoint const from = At(300, 200);
        bool previewOnCanvas = true;
        std::size_t objectsDuring = 99;
        InputDriver::MouseDown(Screen(from));
        InputDriver::MouseMove(Screen({ from.x - 40, from.y - 30 }));
        ReleaseLater({ from.x - 40, from.y - 30 }, [&] {
            objectsDuring = mDocument.mObjects.size();
            previewOnCanvas = mView->GetObjects(nullptr, CCanvasView::kMaskAll).size() != 0;
        });
        EXPECT_EQ(objectsDuring, 0u) << "the preview is not the document's";
        EXPECT_FALSE(previewOnCanvas) << "nor on the canvas";
        ASSERT_EQ(mDocument.mObjects.size(), 1u);
        auto* circle = static_cast<CMapCircle*>(mDocument.mObjects[0]);
        CGRect const bounds = mView->Project(circle->GetBounds());
        EXPECT_NEAR(bounds.origin.x, from.x - 40, 0.01);
        EXPECT_NEAR(bounds.origin.y, from.y - 30, 0.01);
        EXPECT_NEAR(bounds.size.width, 40, 0.01);
        EXPECT_NEAR(bounds.size.height, 30, 0.01);
    }

    TEST_F(ShapeTools, TheCropToolKeepsOneAreaAndAlwaysHandsBackToTheHand)
    {
        Choose(kToolCrop);
        Drag(At(100, 100), At(200, 180), kOption);
        ASSERT_EQ(ObjectsOf<CMapCrop>(kMapObjectCrop).size(), 1u);
        EXPECT_EQ(mDocument.GetTool(), kToolHand) << "Option never keeps the crop tool";
        Choose(kToolCrop);
        Drag(At(120, 120), At(250, 220));
        ASSERT_EQ(ObjectsOf<CMapCrop>(kMapObjectCrop).size(), 1u);
        CGRect const bounds = mView->Project(ObjectsOf<CMapCrop>(kMapObjectCrop)[0]->GetBounds());
        EXPECT_NEAR(bounds.size.width, 130, 0.01);
        // A click removes the old area and makes none.
        Choose(kToolCrop);
        Click(At(300, 300));
        EXPECT_TRUE(ObjectsOf<CMapCrop>(kMapObjectCrop).empty());
        EXPECT_EQ(mView->GetObjects(nullptr, CCanvasView::kMaskAll).size(), 0u) << "its twin went too";
    }

    TEST_F(ShapeTools, ARisingLineStillRisesAfterTheHandMovesIt)
    {
        Choose(kToolLine);
        Drag(At(100, 200), At(200, 120)); // from lower left to upper right
        ASSERT_EQ(ObjectsOf<CMapLine>(kMapObjectLine).size(), 1u);
        CMapLine* line = ObjectsOf<CMapLine>(kMapObjectLine)[0];
        ASSERT_EQ(mDocument.GetTool(), kToolHand);
        Drag(At(150, 160), At(190, 200));
        CGPoint const start = mView->Project(line->GetStart()), end = mView->Project(line->GetEnd());
        EXPECT_NEAR(start.x, At(140, 240).x, 0.5);
        EXPECT_NEAR(start.y, At(140, 240).y, 0.5);
        EXPECT_NEAR(end.x, At(240, 160).x, 0.5);
        EXPECT_NEAR(end.y, At(240, 160).y, 0.5);
        auto* twin = static_cast<CCanvasLine*>(mView->FindCanvasObject(line));
        EXPECT_LT(twin->GetEndPoint().y, twin->GetStartPoint().y) << "still rising";
    }

    // A thin line is hit along its tolerance, even beside a bounding box one pixel high.
    TEST_F(ShapeTools, LinesAndCirclesAreHitAlongTheirWidthNotOnlyInsideTheirBounds)
    {
        Choose(kToolLine);
        Drag(At(100, 200), At(200, 200));
        ASSERT_EQ(mDocument.mObjects.size(), 1u);
        CCanvasMapObject* line = mView->FindCanvasObject(mDocument.mObjects[0]);
        EXPECT_EQ(line->IsHitBy(At(120, 200.7)), kObjectHitBody);
        EXPECT_EQ(line->IsHitBy(At(120, 202)), kObjectHitNone) << "the default width is 1";
        auto* circle = new CMapCircle;
        MapObjectStyle style = circle->GetStyle();
        style.lineWidth = 4;
        circle->SetStyle(style);
        circle->SetBounds(mView->Unproject(CGRectMake(At(300, 100).x, At(300, 100).y, 100, 60)));
        mDocument.AddObject(circle);
        CCanvasMapObject* twin = mView->FindCanvasObject(circle);
        EXPECT_EQ(twin->IsHitBy(At(350, 130)), kObjectHitBody) << "the middle";
        EXPECT_EQ(twin->IsHitBy(At(305, 105)), kObjectHitNone) << "a corner of the bounds lies outside the ellipse";
        EXPECT_EQ(twin->IsHitBy(At(350, 98)), kObjectHitBody) << "within the width above the top";
    }

    // A rectangle or circle dragged with the hand past the world's edge stops there at its size:
    // the bounds written back (and saved) keep the width and height the user drew, and the twin
    // on the map stops where they do. North and south stop where positions stop (89.9°).
    TEST_F(ShapeTools, AShapeMovedPastTheWorldsEdgeStopsThereWhole)
    {
        Show(CCoordinate(0, 0), 0);
        ManualClock::RunFor(0.1);
        double const side = CMapGeometry::GetImageSide(0);
        double const top = mView->Project(CCoordinate(89.9, 0)).y;
        double const bottom = mView->Project(CCoordinate(-89.9, 0)).y;
        struct Push {
            char const* edge;
            double dx, dy;
        };
        // Each from a shape drawn at 73° E to 157.5° E; the ends north and south lie off the view.
        for (TWTool tool : { kToolRectangle, kToolCircle })
            for (Push const push : { Push { "east", 60, 0 }, Push { "west", -400, 0 }, Push { "north", 0, -400 },
                     Push { "south", 0, 400 } }) {
                Choose(tool);
                Drag({ 180, 100 }, { 240, 140 });
                ASSERT_EQ(mDocument.mObjects.size(), 1u) << tool;
                auto* shape = static_cast<CMapShape*>(mDocument.mObjects[0]);
                ASSERT_EQ(mDocument.GetTool(), kToolHand);
                double const width = 60, height = 40;
                CGRect const before = mView->Project(shape->GetBounds());
                CGPoint const grab { CGRectGetMidX(before), CGRectGetMidY(before) };
                Drag(grab, { grab.x + push.dx, grab.y + push.dy }, 0, 8);
                CCoordinateRect const saved = shape->GetBounds();
                CGRect const after = mView->Project(saved);
                SCOPED_TRACE(testing::Message() << "tool " << tool << " pushed " << push.edge);
                EXPECT_NEAR(after.size.width, width, 0.01) << "west " << saved.GetTopLeft().GetLongitude() << " east "
                                                           << saved.GetBottomRight().GetLongitude();
                EXPECT_NEAR(after.size.height, height, 0.01);
                EXPECT_GE(after.origin.x, -0.01);
                EXPECT_LE(after.origin.x + after.size.width, side + 0.01);
                if (push.dx > 0) {
                    EXPECT_DOUBLE_EQ(saved.GetBottomRight().GetLongitude(), 180);
                }
                if (push.dx < 0) {
                    EXPECT_DOUBLE_EQ(saved.GetTopLeft().GetLongitude(), -180);
                }
                if (push.dy < 0) {
                    EXPECT_NEAR(saved.GetTopLeft().GetLatitude(), 89.9, 1e-6);
                    EXPECT_NEAR(after.origin.y, top, 0.01);
                }
                if (push.dy > 0) {
                    EXPECT_NEAR(saved.GetBottomRight().GetLatitude(), -89.9, 1e-6);
                    EXPECT_NEAR(after.origin.y + after.size.height, bottom, 0.01);
                }
                if (push.dy == 0) {
                    EXPECT_NEAR(after.origin.y, before.origin.y, 0.01) << "a move east or west keeps the latitudes";
                }
                CGRect const twin = mView->FindCanvasObject(shape)->GetBounds();
                EXPECT_NEAR(twin.origin.x, after.origin.x, 0.01) << "the map shows it where it stopped";
                EXPECT_NEAR(twin.origin.y, after.origin.y, 0.01);
                EXPECT_NEAR(twin.size.width, width, 0.01);
                mDocument.RemoveObject(shape);
            }
    }

    TEST_F(ShapeTools, OfTwoNotesInOnePlaceTheUpperGetsTheLargePicture)
    {
        Choose(kToolNote);
        Click(At(200, 200), kOption);
        Click(At(200, 200));
        ASSERT_EQ(ObjectsOf<CMapNote>(kMapObjectNote).size(), 2u);
        EXPECT_EQ(mDocument.GetTool(), kToolHand);
        Draw();
        auto* lower = static_cast<CCanvasNote*>(mView->FindCanvasObject(mDocument.mObjects[0]));
        auto* upper = static_cast<CCanvasNote*>(mView->FindCanvasObject(mDocument.mObjects[1]));
        EXPECT_EQ(upper->GetSymbolSize(), kSymbolSizeLarge);
        EXPECT_TRUE(upper->IsVisible());
        EXPECT_FALSE(lower->IsVisible()) << "the small picture's place is taken too";
        // Apart by 25 pixels the lower one finds room for the small picture.
        auto* note = static_cast<CMapNote*>(mDocument.mObjects[0]);
        note->SetPosition(mView->Unproject(At(200, 226)));
        Draw();
        EXPECT_TRUE(lower->IsVisible());
        EXPECT_EQ(lower->GetSymbolSize(), kSymbolSizeSmall);
        EXPECT_NEAR(CGRectGetMidY(lower->GetBounds()), At(200, 226).y, 0.5);
    }

} // namespace
} // namespace tw::test
