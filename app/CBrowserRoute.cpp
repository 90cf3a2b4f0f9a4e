#include "app/CBrowserRoute.h"

#include "app/MapObjectListSupport.h"
#include "framework/CCarbonEvent.h"
#include "model/CMapWaypoint.h"
#include "widgets/CDataBrowser.h"

using namespace MapObjectListSupport;

void CBrowserRoute::SetSegments(std::vector<RouteSegment> const* segments)
{
    mSegments = segments;
    ObservePreferences(this, { kPrefMapCoordinates });
}

CMapWaypoint* CBrowserRoute::GetWaypoint(DataBrowserItemID item) const
{
    if (!mSegments || item == kDataBrowserNoItem || GetIndex(item) >= mSegments->size())
        return nullptr;
    return (*mSegments)[GetIndex(item)].waypoint;
}

std::vector<DBHeader> CBrowserRoute::GetListHeaders()
{
    return {
        MakeColumn('name', "BrowserName", 150, 150, kColumnSortable),
        MakeColumn('desc', "BrowserDescription", 160, 160, kColumnSortable),
        MakeColumn('wlat', "BrowserLatitude", 120, 150, kColumnSortableTruncated),
        MakeColumn('wlon', "BrowserLongitude", 120, 150, kColumnSortableTruncated),
    };
}

void CBrowserRoute::PopulateBrowser()
{
    CDataBrowser* browser = GetBrowser();
    if (!browser)
        return;
    browser->SetSelectionFlags(kDataBrowserSelectOnlyOne);
    if (!mSegments || mSegments->empty())
        return;
    std::vector<DataBrowserItemID> items(mSegments->size());
    for (std::size_t i = 0; i < items.size(); ++i)
        items[i] = GetItem(i);
    browser->AddItems(items);
}

OSStatus CBrowserRoute::GetItemData(DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property)
{
    CMapWaypoint const* waypoint = GetWaypoint(item);
    if (!waypoint)
        return errDataBrowserPropertyNotSupported;
    return SetWaypointCell(data, *waypoint, property);
}

void CBrowserRoute::RemoveSelection() { CCarbonEvent::CreateWithHICommandID(kCommandRemove).SendToFocus(); }

void CBrowserRoute::ValueChanged(CBKeyValueStore const*, CBString const& keyPath)
{
    if (CDataBrowser* browser = GetBrowser(); browser && IsDisplayPreference(keyPath))
        browser->RefreshItems(nullptr);
}
