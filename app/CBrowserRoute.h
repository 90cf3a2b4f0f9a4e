#pragma once

// The waypoints of a route being edited, in route order, for the route sheet's
// list. Items are 1-based positions in the sheet's working list of legs: item n
// is leg n - 1. One row can be chosen; the delete keys ask the sheet to remove
// it ("delw" to the focus). Cells follow "MapCoordinates". Main thread only.

#include "bindings/Source/Core/CBKeyValueObserver.h"
#include "model/RouteSegment.h"
#include "widgets/CDataBrowserSource.h"

#include <vector>

class CMapWaypoint;

class CBrowserRoute : public CDataBrowserSource, public CBKeyValueObserver {
public:
    static constexpr UInt32 kCommandRemove = 'delw';

    CBrowserRoute() = default;

    // The legs listed (borrowed: the sheet owns them and outlives this list); observes the
    // coordinate format from then on.
    void SetSegments(std::vector<RouteSegment> const* segments);

    // item - 1; item 0 has no index (the answer is then past any leg).
    static std::size_t GetIndex(DataBrowserItemID item) { return item - 1; }
    static DataBrowserItemID GetItem(std::size_t index) { return index + 1; }
    // The waypoint of the item's leg; null for item 0 or one past the legs.
    CMapWaypoint* GetWaypoint(DataBrowserItemID item) const;

    std::vector<DBHeader> GetListHeaders() override;
    void PopulateBrowser() override;
    OSStatus GetItemData(DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property) override;
    // The sheet removes the chosen leg: the list itself changes nothing.
    void RemoveSelection() override;
    void ValueChanged(CBKeyValueStore const* store, CBString const& keyPath) override;

private:
    std::vector<RouteSegment> const* mSegments = nullptr; // weak: the route sheet's working list
};
