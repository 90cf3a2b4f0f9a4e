#include "app/CBrowserTrack.h"

#include "app/MapObjectListSupport.h"
#include "foundation/CTextUtilities.h"
#include "mapdata/CMapManager.h"
#include "model/CMapTrack.h"
#include "widgets/CDataBrowser.h"

using namespace MapObjectListSupport;

CBrowserTrack::CBrowserTrack()
    : mMapManager(&CMapObject::GetMapManager())
{
}

void CBrowserTrack::SetTrack(CMapTrack const* track)
{
    mTrack = track;
    ObservePreferences(this, { kPrefMapUnits, kPrefMapCoordinates });
}

std::vector<DBHeader> CBrowserTrack::GetListHeaders()
{
    return {
        MakeColumn('time', "BrowserTime", 150, 150, 0),
        MakeColumn('plat', "BrowserLatitude", 150, 150, kColumnSortableTruncated),
        MakeColumn('plon', "BrowserLongitude", 150, 150, kColumnSortableTruncated),
        MakeColumn('vel ', "BrowserVelocity", 149, 149, 0),
    };
}

void CBrowserTrack::PopulateBrowser()
{
    CDataBrowser* browser = GetBrowser();
    if (!browser)
        return;
    browser->SetScrollBars(false, true);
    if (!mTrack)
        return;
    std::vector<CCoordinatePVT> const& samples = mTrack->GetSamples();
    std::vector<DataBrowserItemID> items;
    items.reserve(samples.size());
    for (CCoordinatePVT const& sample : samples)
        items.push_back(reinterpret_cast<DataBrowserItemID>(&sample));
    browser->AddItems(items);
}

OSStatus CBrowserTrack::GetItemData(DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property)
{
    if (!mTrack || item == kDataBrowserNoItem)
        return errDataBrowserPropertyNotSupported;
    // Only ids of the track's own samples are read as samples.
    std::vector<CCoordinatePVT> const& samples = mTrack->GetSamples();
    auto const first = reinterpret_cast<DataBrowserItemID>(samples.data());
    std::size_t const offset = item - first;
    if (samples.empty() || item < first || offset % sizeof(CCoordinatePVT) != 0
        || offset / sizeof(CCoordinatePVT) >= samples.size())
        return errDataBrowserPropertyNotSupported;
    CCoordinatePVT const* sample = &samples[offset / sizeof(CCoordinatePVT)];
    switch (property) {
    case 'time':
        return SetCellText(data,
            mMapManager->GetTimeString(mTrack->IsTimeKnown() ? sample->GetTime() : CDateTime(), kDateFormatDateTime));
    case 'plat':
        return SetCellText(data, sample->GetLatitudeString());
    case 'plon':
        return SetCellText(data, sample->GetLongitudeString());
    case 'vel ': {
        if (!mTrack->IsVelocityKnown())
            return SetCellText(data, CTextUtilities::GetBundleString("UnknownVelocity"));
        double speed = 0;
        sample->GetVelocity(&speed);
        return SetCellText(data, mMapManager->GetVelocityString(speed, kMapUnitsUser));
    }
    default:
        return errDataBrowserPropertyNotSupported;
    }
}

void CBrowserTrack::ValueChanged(CBKeyValueStore const*, CBString const& keyPath)
{
    if (CDataBrowser* browser = GetBrowser(); browser && IsDisplayPreference(keyPath))
        browser->RefreshItems(nullptr);
}
