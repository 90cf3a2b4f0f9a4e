#include "docwindow/CToolRoute.h"

#include "docwindow/CViewMap.h"
#include "foundation/CTextUtilities.h"
#include "model/CMapWaypoint.h"

#include <algorithm>
#include <limits>

CToolRoute::CToolRoute()
    : CTool(kToolRoute, false)
{
    mRouteTwin.SetObject(&mRoute);
    mRoute.SetStyle(GetStyle(kMapObjectRoute));
    mRoute.AddListener(this);
    SetCanvasCursors(kThemeArrowCursor, kThemeArrowCursor);
    SetObjectCursors(kThemeArrowCursor, kThemeArrowCursor);
}

// The document may already be gone with its objects: nothing of it is touched here.
CToolRoute::~CToolRoute() = default;

void CToolRoute::ToolSelected()
{
    mSuspended = false;
    CTool::ToolSelected();
    UpdatePreview();
}

void CToolRoute::ToolDeselected()
{
    if (!mFinishing && !mSuspended)
        ResetRoute(true);
    mSuspended = false;
    CTool::ToolDeselected();
}

CMapWaypoint* CToolRoute::FindWaypoint(CGPoint const& point) const
{
    IMapDocument* document = GetDocument();
    CViewMap* view = GetMapView();
    if (!document || !view)
        return nullptr;
    CMapWaypoint* nearest = nullptr;
    double best = std::numeric_limits<double>::max();
    for (CMapObject* object : document->GetObjects()) {
        if (!object->IsType(kMapObjectWaypoint) || object == mFloatingEnd)
            continue;
        auto* waypoint = static_cast<CMapWaypoint*>(object);
        CGPoint const p = view->Project(waypoint->GetPosition());
        double const d = (p.x - point.x) * (p.x - point.x) + (p.y - point.y) * (p.y - point.y);
        if (d < best) {
            best = d;
            nearest = waypoint;
        }
    }
    return best <= kPickDistanceSquared ? nearest : nullptr;
}

// The second press of a double click adds nothing: its release finishes the route.
void CToolRoute::DoMouseDown(CCarbonEvent const& event)
{
    CViewMap* view = GetMapView();
    if (event.GetMouseClickCount() == 2 || !view || !GetDocument())
        return;
    CGPoint const p = event.GetMouseLocation();
    CCoordinate const c = view->Unproject(p);
    CMapWaypoint* waypoint = FindWaypoint(p);
    if (!waypoint)
        waypoint = MakeWaypoint(event, c);
    if (waypoint)
        mRoute.AddWaypoint(-1, waypoint, true);
    if (!mFloatingEnd)
        AddFloatingEnd(event, c);
    if (mFloatingEnd) {
        mRoute.EraseWaypoint(mFloatingEnd);
        mRoute.AddWaypoint(-1, mFloatingEnd, true);
    }
    UpdatePreview();
}

// The first waypoint of a route begins it; later ones are dots along the way.
CMapWaypoint* CToolRoute::MakeWaypoint(CCarbonEvent const& event, CCoordinate const& position)
{
    bool const first = mRoute.IsEmpty();
    CString const base = first ? CTextUtilities::GetBundleString("ObjectRouteBegin") : CString();
    auto* waypoint = new CMapWaypoint;
    waypoint->SetName(GetDocument()->GetUniqueObjectName(kMapObjectWaypoint, base));
    waypoint->SetPosition(position);
    waypoint->SetSymbol(first ? kWaypointSymbolDefault : kWaypointSymbolDot);
    Follow(waypoint);
    if (!CreateObject(event, waypoint, false, false))
        return nullptr;
    mMade.push_back(waypoint);
    return waypoint;
}

void CToolRoute::AddFloatingEnd(CCarbonEvent const& event, CCoordinate const& position)
{
    auto* end = new CMapWaypoint;
    end->SetPosition(position);
    end->SetAttributes(kMapObjectAttrTemporary, 0);
    Follow(end);
    if (CreateObject(event, end, false, false))
        mFloatingEnd = end;
}

void CToolRoute::DoMouseMoved(CCarbonEvent const& event)
{
    CViewMap* view = GetMapView();
    if (!mFloatingEnd || !view)
        return;
    mFloatingEnd->SetPosition(view->Unproject(event.GetMouseLocation()));
    UpdatePreview();
}

void CToolRoute::DoMouseDragged(CCarbonEvent const&) { }

// Escape with the button down abandons the route as Escape does with it up; the hand held
// with Space keeps it.
void CToolRoute::DoCancelTrack(CCarbonEvent const&)
{
    if (!mSuspended)
        ResetRoute(true);
}

// Only a double click finishes, and only while a route is being built.
void CToolRoute::DoMouseUp(CCarbonEvent const& event)
{
    IMapDocument* document = GetDocument();
    if (event.GetMouseClickCount() != 2 || !mFloatingEnd || !document)
        return;
    auto* route = new CMapRoute;
    route->SetName(document->GetUniqueObjectName(kMapObjectRoute, CString()));
    for (RouteSegment const& leg : mRoute.GetSegments())
        if (leg.waypoint)
            route->AddWaypoint(-1, leg.waypoint, true);
    route->EraseWaypoint(mFloatingEnd);
    std::vector<RouteSegment> const legs = route->GetSegments();
    if (!legs.empty() && legs.back().waypoint && legs.back().waypoint->GetSymbol() == kWaypointSymbolDot) {
        CMapWaypoint* last = legs.back().waypoint;
        last->SetName(document->GetUniqueObjectName(
            kMapObjectWaypoint, CTextUtilities::GetBundleString("ObjectRouteEnd")));
        last->SetSymbol(kWaypointSymbolDefault);
    }
    mFinishing = true;
    CreateObject(event, route, true, true);
    mFinishing = false;
    ResetRoute(false);
}

OSStatus CToolRoute::DoKeyDown(CCarbonEvent const& event)
{
    if (event.GetKeyCode() != kKeyEscape)
        return eventNotHandledErr;
    ResetRoute(true);
    return noErr;
}

// The removals are the document's: each waypoint is let go of before it is removed, so its
// going finds no stale pointer here.
void CToolRoute::ResetRoute(bool removeMade)
{
    while (!mRoute.IsEmpty())
        mRoute.RemoveWaypoint(0);
    IMapDocument* document = GetDocument();
    std::vector<CMapWaypoint*> doomed;
    if (mFloatingEnd)
        doomed.push_back(mFloatingEnd);
    if (removeMade)
        doomed.insert(doomed.end(), mMade.begin(), mMade.end());
    for (CMapWaypoint* waypoint : mMade)
        Forget(waypoint);
    if (mFloatingEnd)
        Forget(mFloatingEnd);
    mFloatingEnd = nullptr;
    mMade.clear();
    if (document)
        for (CMapWaypoint* waypoint : doomed)
            document->RemoveObject(waypoint);
    UpdatePreview();
}

void CToolRoute::Draw(CGContextRef context)
{
    if (mFloatingEnd && mRouteTwin.GetCanvas())
        mRouteTwin.Draw(context);
}

// The route's changes (routed legs arriving) redo the preview; a waypoint that goes is
// forgotten at once, whoever removed it.
void CToolRoute::DoMessage(UInt32 message, void* parameter)
{
    if (parameter == &mRoute) {
        if (message == kMsgMapObjectModified || message == kMsgMapObjectNeedsDisplay)
            UpdatePreview();
        return;
    }
    if (message != kMsgWaypointRemoved && message != CMsgBroadcaster::kMsgBroadcasterDied)
        return;
    auto* waypoint = static_cast<CMapWaypoint*>(parameter);
    if (waypoint == mFloatingEnd)
        mFloatingEnd = nullptr;
    std::erase(mMade, waypoint);
}

void CToolRoute::Follow(CMapWaypoint* waypoint) { waypoint->AddListener(this); }

void CToolRoute::Forget(CMapWaypoint* waypoint)
{
    if (IsListeningTo(waypoint))
        waypoint->RemoveListener(this);
}

void CToolRoute::UpdatePreview()
{
    if (mRouteTwin.GetCanvas() != GetCanvas())
        mRouteTwin.SetCanvas(GetCanvas());
    mRouteTwin.ObjectModified();
}
