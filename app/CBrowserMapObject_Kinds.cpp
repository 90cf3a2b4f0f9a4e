#include "app/CBrowserMapObject.h"
#include "app/MapObjectListSupport.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"

using namespace MapObjectListSupport;

namespace {

long CompareTexts(CString const& one, CString const& two) { return one.Compare(two); }

long CompareNumbers(double one, double two) { return one < two ? -1 : one > two ? 1 : 0; }

} // namespace

// Routes: name and description.

CBrowserRoutes::CBrowserRoutes()
    : CBrowserMapObject(kMapObjectRoute)
{
}

CMapRoute* CBrowserRoutes::GetRoute(DataBrowserItemID item) { return dynamic_cast<CMapRoute*>(GetObject(item)); }

std::vector<DBHeader> CBrowserRoutes::GetListHeaders()
{
    return {
        MakeColumn('name', "BrowserName", 100, 150, kColumnSortable),
        MakeColumn('desc', "BrowserDescription", 100, 150, kColumnSortable),
    };
}

OSStatus CBrowserRoutes::GetItemData(
    DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property)
{
    CMapRoute const* route = item != kDataBrowserNoItem ? GetRoute(item) : nullptr;
    if (!route)
        return errDataBrowserPropertyNotSupported;
    switch (property) {
    case 'name':
        return SetCellText(data, route->GetName());
    case 'desc':
        return SetCellText(data, route->GetDescription());
    default:
        return errDataBrowserPropertyNotSupported;
    }
}

long CBrowserRoutes::CompareItems(DataBrowserItemID item1, DataBrowserItemID item2, DataBrowserPropertyID property)
{
    CMapObject const* one = GetObject(item1);
    CMapObject const* two = GetObject(item2);
    switch (property) {
    case 'name':
        return CompareTexts(one->GetName(), two->GetName());
    case 'desc':
        return CompareTexts(one->GetDescription(), two->GetDescription());
    default:
        return 0;
    }
}

// Tracks: name, duration and length, the last two as shown.

CBrowserTracks::CBrowserTracks()
    : CBrowserMapObject(kMapObjectTrack)
{
}

CMapTrack* CBrowserTracks::GetTrack(DataBrowserItemID item) { return dynamic_cast<CMapTrack*>(GetObject(item)); }

std::vector<DBHeader> CBrowserTracks::GetListHeaders()
{
    return {
        MakeColumn('name', "BrowserName", 130, 180, kColumnSortable),
        MakeColumn('time', "BrowserTime", 100, 100, kColumnSortable),
        MakeColumn('dist', "BrowserDistance", 90, 90, kColumnSortable),
    };
}

OSStatus CBrowserTracks::GetItemData(
    DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property)
{
    CMapTrack const* track = item != kDataBrowserNoItem ? GetTrack(item) : nullptr;
    if (!track)
        return errDataBrowserPropertyNotSupported;
    switch (property) {
    case 'name':
        return SetCellText(data, track->GetName());
    case 'time':
        return SetCellText(data, track->GetTime());
    case 'dist':
        return SetCellText(data, track->GetDistance());
    default:
        return errDataBrowserPropertyNotSupported;
    }
}

long CBrowserTracks::CompareItems(DataBrowserItemID item1, DataBrowserItemID item2, DataBrowserPropertyID property)
{
    CMapTrack const* one = GetTrack(item1);
    CMapTrack const* two = GetTrack(item2);
    if (!one || !two)
        return 0;
    switch (property) {
    case 'name':
        return CompareTexts(one->GetName(), two->GetName());
    case 'time':
        return CompareTexts(one->GetTime(), two->GetTime());
    case 'dist':
        return CompareTexts(one->GetDistance(), two->GetDistance());
    default:
        return 0;
    }
}

// Waypoints: name, description and position, the position ordered by its numbers.

CBrowserWaypoints::CBrowserWaypoints()
    : CBrowserMapObject(kMapObjectWaypoint)
{
}

CMapWaypoint* CBrowserWaypoints::GetWaypoint(DataBrowserItemID item)
{
    return dynamic_cast<CMapWaypoint*>(GetObject(item));
}

std::vector<DBHeader> CBrowserWaypoints::GetListHeaders()
{
    return {
        MakeColumn('name', "BrowserName", 100, 150, kColumnSortable),
        MakeColumn('desc', "BrowserDescription", 100, 150, kColumnSortable),
        MakeColumn('wlat', "BrowserLatitude", 120, 150, kColumnSortableTruncated),
        MakeColumn('wlon', "BrowserLongitude", 120, 150, kColumnSortableTruncated),
    };
}

OSStatus CBrowserWaypoints::GetItemData(
    DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property)
{
    CMapWaypoint const* waypoint = item != kDataBrowserNoItem ? GetWaypoint(item) : nullptr;
    if (!waypoint)
        return errDataBrowserPropertyNotSupported;
    return SetWaypointCell(data, *waypoint, property);
}

long CBrowserWaypoints::CompareItems(DataBrowserItemID item1, DataBrowserItemID item2, DataBrowserPropertyID property)
{
    CMapWaypoint const* one = GetWaypoint(item1);
    CMapWaypoint const* two = GetWaypoint(item2);
    if (!one || !two)
        return 0;
    switch (property) {
    case 'name':
        return CompareTexts(one->GetName(), two->GetName());
    case 'desc':
        return CompareTexts(one->GetDescription(), two->GetDescription());
    case 'wlat':
        return CompareNumbers(one->GetPosition().GetLatitude(), two->GetPosition().GetLatitude());
    case 'wlon':
        return CompareNumbers(one->GetPosition().GetLongitude(), two->GetPosition().GetLongitude());
    default:
        return 0;
    }
}
