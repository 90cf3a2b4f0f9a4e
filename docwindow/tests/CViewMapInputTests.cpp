// Input through the display's funnel: tool keys and the temporary hand, the
// Command-wheel zoom and plain wheel scrolling, the coordinate under the mouse, size
// changes and the preferences the view follows.
#include "docwindow/tests/MapViewTest.h"

namespace tw::test {
namespace {

    constexpr UInt32 kKeyH = 4, kKeyZ = 6, kKeyU = 32, kKeySpace = 49;

    class MapInput : public MapViewTest {
    protected:
        void SetUp() override
        {
            MapViewTest::SetUp();
            Show(kEurope, 5);
        }
        void KeyDown(UInt32 code, UInt32 character, UInt32 modifiers = 0)
        {
            display::InputEvent input = InputDriver::Make(display::InputKind::KeyDown, {}, modifiers);
            input.keyCode = code;
            input.character = character;
            InputDriver::Post(input);
            ManualClock::RunFor(0.05);
        }
        void KeyUp(UInt32 code, UInt32 character, UInt32 modifiers = 0)
        {
            display::InputEvent input = InputDriver::Make(display::InputKind::KeyUp, {}, modifiers);
            input.keyCode = code;
            input.character = character;
            InputDriver::Post(input);
            ManualClock::RunFor(0.05);
        }
        void Modifiers(UInt32 modifiers)
        {
            InputDriver::Post(InputDriver::Make(display::InputKind::ModifiersChanged, {}, modifiers));
            ManualClock::RunFor(0.05);
        }
        void Wheel(double lines, UInt32 modifiers)
        {
            CGPoint const visible
                = CGPointMake(CGRectGetMidX(mView->GetVisibleContent()), CGRectGetMidY(mView->GetVisibleContent()));
            display::InputEvent input = InputDriver::Make(display::InputKind::Wheel, Screen(visible), modifiers);
            input.wheelY = lines;
            InputDriver::Post(input);
            ManualClock::RunFor(0.05);
        }
        ControlRef AddTextField()
        {
            ControlRef field = nullptr;
            Rect const box { 300, 20, 322, 200 };
            CreateEditUnicodeTextControl(mWindow, &box, CFSTR(""), false, nullptr, &field);
            return field;
        }
    };

    TEST_F(MapInput, ToolKeysChooseToolsOnlyForAMapWithADocumentAndTheKeyboard)
    {
        InputDriver::Key(kKeyZ, 'z');
        ManualClock::RunFor(0.1);
        EXPECT_TRUE(mDocument.mCommands.empty()) << "a map without a document takes no keys";

        mView->SetDocument(&mDocument);
        struct Expected {
            UInt32 key;
            char character;
            UInt32 command;
            TWTool tool;
        };
        Expected const keys[]
            = { { 6, 'z', 'dtzo', kToolZoom }, { 8, 'c', 'dtci', kToolCircle }, { 13, 'w', 'dway', kToolWaypoint },
                  { 15, 'r', 'drot', kToolRoute }, { 17, 't', 'dtre', kToolRectangle }, { 32, 'u', 'dtrl', kToolRuler },
                  { 37, 'l', 'dtli', kToolLine }, { 45, 'n', 'dtno', kToolNote }, { 4, 'h', 'dtha', kToolHand } };
        for (Expected const& key : keys) {
            mDocument.mCommands.clear();
            InputDriver::Key(key.key, UInt32(key.character));
            ManualClock::RunFor(0.1);
            EXPECT_EQ(mDocument.mCommands, std::vector<UInt32> { key.command }) << key.character << ", once";
            EXPECT_EQ(mDocument.mTool, key.tool) << key.character;
        }

        mDocument.mCommands.clear();
        InputDriver::Key(kKeyZ, 'z', cmdKey);
        ManualClock::RunFor(0.1);
        EXPECT_TRUE(mDocument.mCommands.empty()) << "Command-Z is no tool key";
        EXPECT_EQ(mView->GetMapZoom(), 5u);

        ControlRef field = AddTextField();
        SetKeyboardFocus(mWindow, field, kControlFocusNextPart);
        InputDriver::Key(kKeyZ, 'z');
        ManualClock::RunFor(0.1);
        EXPECT_TRUE(mDocument.mCommands.empty()) << "typing into a text field chooses no tool";
        EXPECT_EQ(mDocument.mTool, kToolHand);
        ClearKeyboardFocus(mWindow);
        InputDriver::Key(kKeyZ, 'z');
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mDocument.mTool, kToolZoom);
    }

    TEST_F(MapInput, ADocumentThatGoesFirstIsForgotten)
    {
        auto* document = new TestDocument;
        mView->SetDocument(document);
        EXPECT_EQ(mView->GetDocument<TestDocument>(), document);
        KeyDown(kKeySpace, ' ');
        EXPECT_TRUE(mView->IsTemporaryHand());
        delete document;
        EXPECT_EQ(mView->GetDocument<IMapDocument>(), nullptr);
        EXPECT_FALSE(mView->IsTemporaryHand());
        KeyUp(kKeySpace, ' ');
        mDocument.mCommands.clear(); // the window's commands, whichever document the view had
        InputDriver::Key(kKeyH, 'h');
        ManualClock::RunFor(0.1);
        EXPECT_TRUE(mDocument.mCommands.empty()) << "no document, no tool keys";

        // A second document replaces the first as the one the view hears.
        TestDocument first, second;
        mView->SetDocument(&first);
        mView->SetDocument(&second);
        EXPECT_FALSE(mView->IsListeningTo(&first));
        EXPECT_TRUE(mView->IsListeningTo(&second));
        mView->SetDocument(nullptr);
        EXPECT_FALSE(mView->IsListeningTo(&second));
    }

    TEST_F(MapInput, SpaceHoldsTheHandCommandMakesItZoomAndLettingGoGivesTheToolBack)
    {
        mView->SetDocument(&mDocument);
        InputDriver::Key(kKeyU, 'u');
        ManualClock::RunFor(0.1);
        ASSERT_EQ(mDocument.mTool, kToolRuler);

        KeyDown(kKeySpace, ' ');
        EXPECT_TRUE(mView->IsTemporaryHand());
        EXPECT_EQ(mDocument.mTool, kToolHand);
        KeyDown(kKeySpace, ' '); // a second press before the release keeps the first tool
        Modifiers(cmdKey);
        EXPECT_EQ(mDocument.mTool, kToolZoom);
        Modifiers(optionKey);
        EXPECT_EQ(mDocument.mTool, kToolZoom);
        Modifiers(0);
        EXPECT_EQ(mDocument.mTool, kToolHand);
        KeyUp(kKeySpace, ' ');
        EXPECT_FALSE(mView->IsTemporaryHand());
        EXPECT_EQ(mDocument.mTool, kToolRuler) << "the tool from before the Space";

        // A Space typed into a text field leaves the tool alone, on the way down and up.
        ControlRef field = AddTextField();
        SetKeyboardFocus(mWindow, field, kControlFocusNextPart);
        std::size_t const changes = mDocument.mToolsSet.size();
        InputDriver::Key(kKeySpace, ' ');
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mDocument.mToolsSet.size(), changes);
        EXPECT_EQ(mDocument.mTool, kToolRuler);
        EXPECT_FALSE(mView->IsTemporaryHand());
    }

    TEST_F(MapInput, CommandWheelChoosesALevelThatAppliesWhenCommandIsLetGo)
    {
        Wheel(1, cmdKey);
        EXPECT_TRUE(mView->IsWheelZooming());
        EXPECT_EQ(mView->GetWheelZoomLevel(), 5u) << "the first turn shows the current level";
        Wheel(2, cmdKey);
        Wheel(1, cmdKey);
        EXPECT_EQ(mView->GetWheelZoomLevel(), 8u);
        EXPECT_EQ(mView->GetMapZoom(), 5u) << "nothing applied while Command is down";
        CCoordinate const centre = mView->GetMapCentre();
        Modifiers(0);
        EXPECT_FALSE(mView->IsWheelZooming());
        EXPECT_EQ(mView->GetMapZoom(), 8u);
        EXPECT_NEAR(mView->GetMapCentre().GetLongitude(), centre.GetLongitude(), 0.01);

        Wheel(-1, cmdKey);
        Wheel(-20, cmdKey);
        EXPECT_EQ(mView->GetWheelZoomLevel(), 0u) << "not below the first level";
        Wheel(40, cmdKey);
        EXPECT_EQ(mView->GetWheelZoomLevel(), CViewMap::kZoomMaximum) << "nor beyond the last";
        Modifiers(0);
        EXPECT_EQ(mView->GetMapZoom(), CViewMap::kZoomMaximum);
        Wheel(1, cmdKey);
        Wheel(3, cmdKey);
        EXPECT_EQ(mView->GetWheelZoomLevel(), CViewMap::kZoomMaximum);
        Modifiers(0);
    }

    TEST_F(MapInput, ThePlainWheelScrollsTheMap)
    {
        CGPoint const before = mView->GetImageOrigin();
        Wheel(-3, 0);
        EXPECT_GT(mView->GetImageOrigin().y, before.y) << "down the map";
        EXPECT_EQ(mView->GetMapZoom(), 5u);
        EXPECT_FALSE(mView->IsWheelZooming());
    }

    TEST_F(MapInput, TheMouseTellsTheCoordinateUnderItAndASizeChangeIsToldToo)
    {
        MapMessageLog log;
        mView->AddListener(&log);
        CGRect const visible = mView->GetVisibleContent();
        CGPoint const image = CGPointMake(CGRectGetMidX(visible) + 40, CGRectGetMidY(visible) - 30);
        CCoordinate const expected = mView->Unproject(image);
        InputDriver::MouseMove(Screen(CGPointMake(image.x - 60, image.y)));
        InputDriver::MouseMove(Screen(image));
        ManualClock::RunFor(0.1);
        ASSERT_GE(log.Count(CViewMap::kMsgMouseMoved), 1);
        double const pixel = 360.0 / (256.0 * 32); // [deg] at level 5
        EXPECT_NEAR(log.mMouse.GetLongitude(), expected.GetLongitude(), pixel);
        EXPECT_NEAR(log.mMouse.GetLatitude(), expected.GetLatitude(), pixel);

        // Around a small image the pointer's place is taken at the image's edge.
        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, 0);
        InputDriver::MouseMove(Screen(CGPointMake(-20, 128)));
        InputDriver::MouseMove(Screen(CGPointMake(-40, 128)));
        ManualClock::RunFor(0.1);
        EXPECT_NEAR(log.mMouse.GetLongitude(), -180, 1e-9);

        int const sizes = log.Count(CViewMap::kMsgSizeChanged);
        HIViewRef scroll = HIViewGetSuperview(mView->GetHIViewRef());
        HIRect frame {};
        HIViewGetFrame(scroll, &frame);
        frame.size.width -= 100;
        HIViewSetFrame(scroll, &frame);
        ManualClock::RunFor(0.1);
        EXPECT_GT(log.Count(CViewMap::kMsgSizeChanged), sizes);
        mView->RemoveListener(&log);
    }

    TEST_F(MapInput, TheWindowFollowsZoomsOnlyWhileThePreferenceSaysSoAndTheGridRedraws)
    {
        auto contentWidth = [this] {
            Rect content {};
            GetWindowBounds(mWindow, kWindowContentRgn, &content);
            return content.right - content.left;
        };
        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, 0);
        int const width = contentWidth();
        mView->SetMapZoom(CHIView::kZoomIn, nullptr, 0);
        EXPECT_EQ(contentWidth(), width) << "off by default";
        mApp->GetPreferences().SetBoolean("ResizeOnZoom", true);
        mView->SetMapZoom(CHIView::kZoomIn, nullptr, 0); // level 2: 1024 pixels and the bar
        EXPECT_GT(contentWidth(), width);
        mApp->GetPreferences().SetBoolean("ResizeOnZoom", false);
        int const wide = contentWidth();
        mView->SetMapZoom(CHIView::kZoomOut, nullptr, 0);
        EXPECT_EQ(contentWidth(), wide);

        ASSERT_TRUE(Settle());
        mApp->GetPreferences().SetBoolean("ShowGrid", true);
        EXPECT_TRUE(mWindow->NeedsUpdate());
    }

} // namespace
} // namespace tw::test
