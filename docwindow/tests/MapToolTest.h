#pragma once

// The fixture of the map tool tests: the map view fixture with a tool box on the
// stand-in document, the hand current, and gestures given in image points of the
// map and driven through the input funnel.

#include "MapViewTest.h"
#include "model/CMapCircle.h"
#include "model/CMapLine.h"
#include "model/CMapNote.h"
#include "model/CMapRectangle.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"

#include <functional>
#include <string>

namespace tw::test {

inline constexpr UInt32 kOption = 0x0800;
inline constexpr UInt32 kRightOption = 0x4000;

class MapToolTest : public MapViewTest {
protected:
    void SetUp() override
    {
        MapViewTest::SetUp();
        mDocument.mMapView = mView;
        mDocument.mToolBox = &mTools;
        mView->SetDocument(&mDocument);
        mTools.SetDocument(&mDocument);
        mDocument.SetTool(kToolHand);
        Show(kGoteborg, 12);
        ManualClock::RunFor(0.1);
    }

    void TearDown() override
    {
        mView->SetTool(nullptr);
        MapViewTest::TearDown();
    }

    // The gestures, in image points; each ends past the double-click time.
    void Click(CGPoint image, UInt32 modifiers = 0, UInt16 button = 1)
    {
        InputDriver::MouseDown(Screen(image), modifiers, button);
        InputDriver::MouseUp(Screen(image), modifiers, button);
        ManualClock::RunFor(0.6);
    }
    void DoubleClick(CGPoint image, UInt32 modifiers = 0)
    {
        InputDriver::MouseDown(Screen(image), modifiers);
        InputDriver::MouseUp(Screen(image), modifiers);
        ManualClock::RunFor(0.1);
        InputDriver::MouseDown(Screen(image), modifiers);
        InputDriver::MouseUp(Screen(image), modifiers);
        ManualClock::RunFor(0.6);
    }
    // A press, moves in steps, the release; the modifiers are held at the release only when
    // atRelease is set.
    void Drag(CGPoint from, CGPoint to, UInt32 modifiers = 0, int steps = 4)
    {
        InputDriver::MouseDown(Screen(from));
        for (int i = 1; i <= steps; ++i)
            InputDriver::MouseMove(Screen({ from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps }));
        InputDriver::MouseUp(Screen(to), modifiers);
        ManualClock::RunFor(0.6);
    }
    void Move(CGPoint image)
    {
        InputDriver::MouseMove(Screen({ image.x - 1, image.y }));
        InputDriver::MouseMove(Screen(image));
        ManualClock::RunFor(0.05);
    }
    void Escape()
    {
        InputDriver::Key(53, 0x1B);
        ManualClock::RunFor(0.1);
    }
    void Choose(TWTool tool)
    {
        mDocument.SetTool(tool);
        ManualClock::RunFor(0.05);
    }

    // A point of the visible part of the map, from its top-left corner.
    CGPoint At(double x, double y) const
    {
        CGRect const visible = mView->GetVisibleContent();
        return { std::floor(visible.origin.x) + x, std::floor(visible.origin.y) + y };
    }

    template <typename Object> std::vector<Object*> ObjectsOf(MapObjectType type) const
    {
        std::vector<Object*> found;
        for (CMapObject* object : mDocument.mObjects)
            if (object->IsType(type))
                found.push_back(static_cast<Object*>(object));
        return found;
    }
    std::vector<CMapObject*> Selected() const
    {
        std::vector<CMapObject*> found;
        for (CMapObject* object : mDocument.mObjects)
            if (object->IsSelected())
                found.push_back(object);
        return found;
    }
    CMapWaypoint* AddWaypoint(CGPoint image, char const* name, UInt32 attributes = 0)
    {
        auto* waypoint = new CMapWaypoint;
        waypoint->SetName(CString(name));
        waypoint->SetPosition(mView->Unproject(image));
        waypoint->SetAttributes(attributes, 0);
        mDocument.AddObject(waypoint);
        return waypoint;
    }
    // Draws the view once, so that every twin has its places.
    void Draw()
    {
        mView->SetNeedsDisplay(true, nullptr);
        mWindow->Update();
    }
    // With a press queued: runs the look from a timer while the button is still down, then
    // releases at the image point (the tracking loop returns only on the release).
    void ReleaseLater(CGPoint image, std::function<void()> look, UInt32 modifiers = 0)
    {
        sLook = std::move(look);
        sRelease = Screen(image);
        sModifiers = modifiers;
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.05, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                if (sLook)
                    sLook();
                sLook = nullptr;
                InputDriver::MouseUp(sRelease, sModifiers);
            },
            nullptr, &timer);
        ManualClock::RunFor(0.6);
    }
    CTool* Current() const { return dynamic_cast<CTool*>(mView->GetTool()); }

    CToolBox mTools;
    static inline std::function<void()> sLook;
    static inline CGPoint sRelease {};
    static inline UInt32 sModifiers = 0;
};

inline std::string Name(CMapObject const* object) { return object->GetName().GetStdString(); }

} // namespace tw::test
