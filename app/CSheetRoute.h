#pragma once

// The sheet that edits a route: its name, description and the waypoints its
// legs start at, on a working copy of the legs. Waypoints are added from the
// document (a picker dialog), added new (placed beside the last one, and made
// in the document at once), removed and moved up or down. OK gives the route
// the working copy, which routes every leg again; Cancel removes from the
// document the waypoints this sheet made and leaves the route as it was.

#include "app/CBrowserRoute.h"
#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "docwindow/IDocumentSheet.h"
#include "foundation/CMsgListener.h"
#include "framework/CWindowController.h"

#include <optional>

class CDataBrowser;
class CEditText;
class CMapObject;
class CMapRoute;
class CMapWaypoint;
class CPushButton;
class CStaticText;
class CWindowDocument;

class CSheetRoute : public CWindowController, public CMsgListener, public IDocumentSheet, public CTWWindow {
public:
    static constexpr char const* kNibWindow = "Route Editor";
    static constexpr char const* kPickerWindow = "Route Waypoints";
    static constexpr UInt32 kCommandAddExisting = 'adds';
    static constexpr UInt32 kCommandAddNew = 'addw';
    static constexpr UInt32 kCommandRemove = 'delw';
    static constexpr UInt32 kCommandUp = 'up  ';
    static constexpr UInt32 kCommandDown = 'down';
    static constexpr double kNewWaypointOffset = 50; // [px] right of and above the last waypoint

    CSheetRoute() = default;
    ~CSheetRoute() override;

    OSStatus InitialiseSelf() override;
    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    void DoMessage(UInt32 message, void* parameter) override;

    void SetDocument(CWindowDocument* document);
    // An object of another kind edits nothing.
    void SetObject(CMapObject* object);
    void UpdateObject();
    void CancelEdit();
    void AcceptSheet() override { UpdateObject(); }
    void CancelSheet() override { CancelEdit(); }

    std::vector<RouteSegment> const& GetWorkingList() const { return mSegments; }
    // Which of the route's legs are straight lines though they lie among roads, and why; empty
    // when none is.
    static CString DescribeStraightLegs(std::vector<RouteSegment> const& legs);

private:
    OSStatus CommandAddExisting();
    OSStatus CommandAddNew();
    OSStatus CommandRemove();
    OSStatus CommandMove(int step);

    void Append(CMapWaypoint* waypoint);
    // The list shows the working copy again, the given leg chosen (when there is one).
    void Refresh(std::optional<std::size_t> select = std::nullopt);
    void UpdateButtons();
    std::optional<std::size_t> GetSelection() const;
    bool IsCreated(CMapWaypoint const* waypoint) const;
    bool IsUsed(CMapWaypoint const* waypoint) const;

    CMapRoute* mRoute = nullptr; // weak: the document owns it and outlives the sheet
    CWindowDocument* mDocument = nullptr; // weak
    std::vector<RouteSegment> mSegments; // the working copy, unrouted
    std::vector<CMapWaypoint*> mCreated; // weak: waypoints this sheet made in the document
    CBrowserRoute mList;
    CEditText* mName = nullptr; // weak: the window's controls
    CEditText* mDescription = nullptr;
    CPushButton* mRemove = nullptr;
    CPushButton* mUp = nullptr;
    CPushButton* mDown = nullptr;
    CDataBrowser* mBrowser = nullptr;
    CStaticText* mLegs = nullptr;
};
