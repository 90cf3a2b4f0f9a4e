#pragma once

// The go-to-location sheet of a document window. It marks the place with a
// temporary target waypoint and moves the map there as the user types a
// latitude and longitude (checked every two seconds), moves the zoom slider or
// pastes a map link from the clipboard. OK keeps the new view, Cancel returns
// to the view the sheet found, "Add Waypoint" leaves a waypoint at the place.
// A field whose text does not read keeps the target's value; OK is refused
// while one does not read.

#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "bindings/Source/Core/CBKeyValueObserver.h"
#include "docwindow/IDeviceSheets.h"
#include "docwindow/IDocumentSheet.h"
#include "foundation/CCoordinate.h"
#include "foundation/CTimerTask.h"
#include "framework/CWindowController.h"
#include "model/MapObjectTypes.h"

class CEditText;
class CMapWaypoint;
class CPushButton;
class CSlider;
class CViewMap;

class CSheetViewLocation : public CWindowController,
                           public CBKeyValueObserver,
                           public CTimerTask,
                           public IDocumentSheet,
                           public CTWWindow,
                           public IViewLocationSheet {
public:
    static constexpr char const* kNibWindow = "View Location";
    static constexpr double kFieldCheckInterval = 2.0; // [s]
    // Not listed, not saved, drawn with a halo and the large symbol.
    static constexpr UInt32 kTargetAttributes = kMapObjectAttrTemporary | kMapObjectAttrHalo | kMapObjectAttrLarge;

    CSheetViewLocation() = default;
    // A sheet that never completed (it could not be shown) takes its target away.
    ~CSheetViewLocation() override;

    OSStatus DoEventWindowActivated(CCarbonEvent& event) override;
    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    OSStatus InitialiseSelf() override;
    void ValueChanged(CBKeyValueStore const* store, CBString const& keyPath) override;

    // Once, before the sheet shows: the map it moves and where to start.
    void SetMapView(CViewMap* view, CCoordinate const& coordinate, unsigned long zoom);
    // Moves the place shown, the target and the map there (a link dropped on the map).
    void ShowLocation(CCoordinate const& coordinate, unsigned long zoom) override;
    // When the sheet completes: true keeps the typed place and zoom, false the saved view.
    void UpdateMapView(bool commit);
    void AcceptSheet() override { UpdateMapView(true); }
    void CancelSheet() override { UpdateMapView(false); }
    // The clipboard's text as a map link; false when it is none.
    bool ParseClipboard(CCoordinate& coordinate, unsigned long& zoom);

    CMapWaypoint* GetTarget() const { return mTarget; }

protected:
    void DoTimer() override;

private:
    OSStatus CommandPasteURL();
    OSStatus CommandUpdate();
    OSStatus CommandWaypoint();

    void CreateTarget(CCoordinate const& coordinate);
    // Shows the place in the fields (all text rewritten, or only fields that read otherwise)
    // and the zoom on the slider, moves the target there and the map to it.
    void UpdateTarget(CCoordinate const& coordinate, unsigned long zoom, bool rewrite);
    // The fields read over the target's position: a part that does not read keeps its value.
    CCoordinate ReadFields() const;

    CViewMap* mMapView = nullptr; // weak: the document window's, which outlives the sheet
    CMapWaypoint* mTarget = nullptr; // weak: the document owns it until the sheet removes it
    CMapWaypoint* mNewWaypoint = nullptr; // weak: made by "Add Waypoint", selected once the target is gone
    CCoordinate mSavedCentre;
    UInt32 mSavedZoom = 0;
    bool mSavedModified = false; // the document's, for a cancel that leaves everything as it was
    CEditText* mLatitude = nullptr; // weak: the window's controls
    CEditText* mLongitude = nullptr;
    CSlider* mZoom = nullptr;
    CPushButton* mPaste = nullptr;
    CPushButton* mAddWaypoint = nullptr;
};
