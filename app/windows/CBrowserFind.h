#pragma once

#include "mapdata/LayerFeature.h"
#include "widgets/CDataBrowserSource.h"

#include "foundation/CIconRef.h"

#include <map>

class CWindowFind;
struct SearchResult;

// The find window's result list: the window's own copy of the search results that pass
// the browser's filter, with the feature's symbol and name and the kind of place. Item ids
// are the results' addresses in the window's vector, valid until the window replaces it
// (it then attaches this source again). A double-click asks the window for "addw".
// Main thread only.
class CBrowserFind : public CDataBrowserSource {
public:
    static constexpr DataBrowserPropertyID kPropertyName = 'name';
    static constexpr DataBrowserPropertyID kPropertyKind = 'kind';
    static constexpr UInt32 kCommandAddWaypoint = 'addw';

    CBrowserFind();
    ~CBrowserFind() override;

    void SetWindow(CWindowFind* window) { mWindow = window; }
    // Ids are addresses, so they are pointer-sized.
    SearchResult const* GetResult(DataBrowserItemID item) const { return reinterpret_cast<SearchResult const*>(item); }
    // An empty filter passes everything; else the name or the kind of place must contain it.
    bool FilterItem(CString const& filter, SearchResult const& result) const;

    std::vector<DBHeader> GetListHeaders() override;
    void PopulateBrowser() override;
    OSStatus GetItemData(DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property) override;
    long CompareItems(DataBrowserItemID item1, DataBrowserItemID item2, DataBrowserPropertyID property) override;
    void ItemOpened(DataBrowserItemID item) override;
    bool OpensItems() const override { return true; }

private:
    CString GetKind(SearchResult const& result) const;
    CIconRef const& GetSymbolIcon(GPSWaypointSymbol symbol);

    CWindowFind* mWindow = nullptr; // weak: the window owns this source
    std::map<GPSWaypointSymbol, CIconRef> mIcons; // the 16-pixel symbol icons used so far
};
