#pragma once

// The samples of a track, in sample order, for the track sheet's list: the fix
// time, the position and the speed of each. Items are the addresses of the
// track's samples. Cells follow "MapUnits" and "MapCoordinates". Main thread only.

#include "bindings/Source/Core/CBKeyValueObserver.h"
#include "widgets/CDataBrowserSource.h"

class CMapManager;
class CMapTrack;

class CBrowserTrack : public CDataBrowserSource, public CBKeyValueObserver {
public:
    CBrowserTrack();

    // The track listed (borrowed: its sheet outlives this list); observes the units and the
    // coordinate format from then on.
    void SetTrack(CMapTrack const* track);

    std::vector<DBHeader> GetListHeaders() override;
    void PopulateBrowser() override;
    OSStatus GetItemData(DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property) override;
    void ValueChanged(CBKeyValueStore const* store, CBString const& keyPath) override;

private:
    CMapTrack const* mTrack = nullptr; // weak
    CMapManager const* mMapManager; // borrowed: the application's
};
