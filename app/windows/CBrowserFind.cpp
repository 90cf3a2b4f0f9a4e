#include "app/windows/CBrowserFind.h"

#include "app/windows/CWindowFind.h"
#include "foundation/CFileUtilities.h"
#include "foundation/CIconRef.h"
#include "foundation/CTextUtilities.h"
#include "framework/CCarbonEvent.h"
#include "mapdata/CMapManager.h"
#include "mapdata/CSymbolImages.h"
#include "model/CMapObject.h"
#include "model/SearchResult.h"
#include "widgets/CDataBrowser.h"

namespace {

constexpr UInt32 kMovableSortableColumn = 0x60000;

// The symbol's image file at 16 pixels; an unknown symbol has the plain waypoint's.
CFile SymbolIconFile(GPSWaypointSymbol symbol)
{
    char const* name = nullptr;
    char const* plain = nullptr;
    for (CSymbolImages::Symbol const& entry : CSymbolImages::kSymbols) {
        if (entry.code == symbol)
            name = entry.name;
        if (entry.code == 'wayp')
            plain = entry.name;
    }
    if (!name)
        name = plain;
    return name ? CFileUtilities::GetBundleResource(CString(name) + ".png", CString(), CString("Symbols/16")) : CFile();
}

} // namespace

CBrowserFind::CBrowserFind() = default;

CBrowserFind::~CBrowserFind() = default;

CString CBrowserFind::GetKind(SearchResult const& result) const
{
    return CMapObject::GetMapManager().GetFeatureName(result.feature);
}

bool CBrowserFind::FilterItem(CString const& filter, SearchResult const& result) const
{
    return filter.IsEmpty() || result.name.Contains(filter) || GetKind(result).Contains(filter);
}

std::vector<DBHeader> CBrowserFind::GetListHeaders()
{
    return {
        MakeListHeader(kPropertyName, kDataBrowserIconAndTextType, CTextUtilities::GetBundleString("BrowserName"), 250,
            350, kMovableSortableColumn),
        MakeListHeader(kPropertyKind, kDataBrowserTextType, CTextUtilities::GetBundleString("BrowserKind"), 202, 350,
            kMovableSortableColumn),
    };
}

void CBrowserFind::PopulateBrowser()
{
    CDataBrowser* browser = GetBrowser();
    if (!browser || !mWindow)
        return;
    CString const filter = browser->GetFilter();
    std::vector<DataBrowserItemID> items;
    for (SearchResult const& result : mWindow->GetResults())
        if (FilterItem(filter, result))
            items.push_back(reinterpret_cast<DataBrowserItemID>(&result));
    browser->SetSelectionFlags(kDataBrowserSelectOnlyOne);
    if (!items.empty())
        browser->AddItems(items);
}

CIconRef const& CBrowserFind::GetSymbolIcon(GPSWaypointSymbol symbol)
{
    auto found = mIcons.find(symbol);
    if (found == mIcons.end()) {
        CFile const file = SymbolIconFile(symbol);
        found = mIcons.emplace(symbol, file.IsSpecified() ? CIconRef(file, true, 0, 0) : CIconRef()).first;
    }
    return found->second;
}

OSStatus CBrowserFind::GetItemData(DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property)
{
    if (item == kDataBrowserNoItem)
        return errDataBrowserPropertyNotSupported;
    SearchResult const& result = *GetResult(item);
    switch (property) {
    case kPropertyKind:
        return SetDataBrowserItemDataText(data, GetKind(result).GetCFString());
    case kPropertyName: {
        CIconRef const& icon = GetSymbolIcon(CMapObject::GetMapManager().GetFeatureSymbol(result.feature));
        if (icon.IsValid())
            SetDataBrowserItemDataIcon(data, icon.GetIconRef());
        return SetDataBrowserItemDataText(data, result.name.GetCFString());
    }
    default:
        return errDataBrowserPropertyNotSupported;
    }
}

long CBrowserFind::CompareItems(DataBrowserItemID item1, DataBrowserItemID item2, DataBrowserPropertyID property)
{
    switch (property) {
    case kPropertyKind:
        return GetKind(*GetResult(item1)).Compare(GetKind(*GetResult(item2)));
    case kPropertyName:
        return GetResult(item1)->name.Compare(GetResult(item2)->name);
    default:
        return 0;
    }
}

void CBrowserFind::ItemOpened(DataBrowserItemID)
{
    CDataBrowser* browser = GetBrowser();
    if (WindowRef window = browser ? browser->GetWindowRef() : nullptr)
        CCarbonEvent::CreateWithHICommandID(kCommandAddWaypoint).SendToWindow(window);
}
