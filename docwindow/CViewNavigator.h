#pragma once

// A picture of the whole world with a red frame around the part a map view
// shows; clicking or dragging in it moves that map view there. The navigator
// palette attaches it to the current document's map view. Made by the
// HIObject registry; owned by its window's view tree. Main thread only.

#include "docwindow/CViewMap.h"
#include "foundation/CMsgListener.h"
#include "foundation/StCFRef.h"
#include "foundation/ColourRGBA.h"
#include "widgets/CHIView.h"

class CMacWindow;
class CWindowController;

class CViewNavigator : public CHIView, public CMsgListener {
public:
    static constexpr char const* kClassID = "com.tarnwick.hiview.navigator";
    static constexpr CGSize kDetachedSize { 1024, 1024 }; // [px] the world's shape with no map view
    static constexpr double kMarkerMinimum = 10; // [pt] the smallest marker side
    static constexpr ColourRGBA kColourNavigatorFrame { 0, 0, 0, 1 };
    static constexpr ColourRGBA kColourNavigatorMarker { 1, 0, 0, 1 };

    explicit CViewNavigator(HIObjectRef object);

    static OSStatus Register();
    static OSStatus Create(HIObjectRef object, CHIObject** outObject);
    static CViewNavigator* Find(CMacWindow* window, OSType signature, SInt32 id);
    static CViewNavigator* Find(CWindowController* controller, OSType signature, SInt32 id);

    // Follows the map view (null: none), redrawn as it scrolls or changes size.
    void SetMapView(CViewMap* mapView);
    // Null when none is attached or it has gone.
    CViewMap* GetMapView() const;
    bool HasWorldPicture() const { return mWorld.Get() != nullptr; }

    // Where the last draw put the world, and the marker within it (view coordinates).
    CGRect GetMapRect() const { return mMapRect; }
    CGRect GetMarkerRect() const { return mMarkerRect; }
    // A point of the view as a point of the map view's image.
    CGPoint ViewToMap(CGPoint const& point) const;

    OSStatus DoEventControlDraw(CCarbonEvent& event) override;
    OSStatus DoEventControlTrackingAreaEntered(CCarbonEvent& event) override;
    OSStatus DoEventControlTrackingAreaWithin(CCarbonEvent& event) override;
    OSStatus DoEventControlTrackingAreaExited(CCarbonEvent& event) override;
    bool TrackMouse(CCarbonEvent& event, CGPoint const& point, MouseTrackingResult phase) override;

    void DoMessage(UInt32 message, void* parameter) override;

private:
    void InitialiseSelf();
    // The map rectangle and the scales for the view's bounds and the map's image size.
    void LayOut();
    CGRect MarkerRect() const;
    void UpdateCursor(CGPoint const& point, bool pressed);

    CViewMap* mMapView = nullptr; // weak: only used while we still listen to it
    StCFRef<CGImageRef> mWorld;
    CGRect mMapRect {}; // [view pt]
    CGRect mMarkerRect {}; // [view pt] empty without a map view
    double mScaleH = 1; // map rectangle per image pixel
    double mScaleV = 1;
};
