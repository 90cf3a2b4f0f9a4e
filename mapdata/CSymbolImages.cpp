#include "mapdata/CSymbolImages.h"

#include "foundation/CDebugLog.h"
#include "foundation/CFileUtilities.h"
#include "foundation/StCFRef.h"

CSymbolImages::Symbol const CSymbolImages::kSymbols[66] = {
    { 'wayp', "Waypoint" },
    { 'fblu', "FlagBlue" },
    { 'fgre', "FlagGreen" },
    { 'fred', "FlagRed" },
    { 'pblu', "PinBlue" },
    { 'pgre', "PinGreen" },
    { 'pred', "PinRed" },
    { 'bblk', "BlockBlue" },
    { 'gblk', "BlockGreen" },
    { 'rblk', "BlockRed" },
    { 'wdot', "WhiteDot" },
    { 'csml', "CitySmall" },
    { 'cmed', "CityMedium" },
    { 'clrg', "CityLarge" },
    { 'arac', "AreaControlled" },
    { 'arad', "AreaDanger" },
    { 'arar', "AreaRestricted" },
    { 'byam', "BuoyAmber" },
    { 'bybk', "BuoyBlack" },
    { 'bybl', "BuoyBlue" },
    { 'byge', "BuoyGreen" },
    { 'byor', "BuoyOrange" },
    { 'anch', "Anchor" },
    { 'bech', "Beach" },
    { 'bram', "BoatRamp" },
    { 'dock', "Dock" },
    { 'mob!', "ManOverBoard" },
    { 'wrek', "Wreck" },
    { 'airp', "Airport" },
    { 'brge', "Bridge" },
    { 'acar', "Car" },
    { 'ford', "Ford" },
    { 'fuel', "Fuel" },
    { 'pkng', "Parking" },
    { 'parv', "ParkRV" },
    { 'rlxi', "RailCrossing" },
    { 'tboo', "TollBooth" },
    { 'tstp', "TruckStop" },
    { 'bike', "BikeTrail" },
    { 'camp', "Campground" },
    { 'dwtr', "DrinkingWater" },
    { 'fish', "Fish" },
    { 'geoc', "GeoCache" },
    { 'geof', "GeoCacheFound" },
    { 'golf', "Golf" },
    { 'lodg', "Lodging" },
    { 'skul', "Skull" },
    { 'summ', "Summit" },
    { 'thed', "TrailHead" },
    { 'abar', "Bar" },
    { 'food', "FastFood" },
    { 'faid', "FirstAid" },
    { 'flas', "FlashMob" },
    { 'home', "Home" },
    { 'hotl', "Hotel" },
    { 'hous', "House" },
    { 'info', "Info" },
    { 'resi', "Residence" },
    { 'rstr', "Restaurant" },
    { 'rest', "Restrooms" },
    { 'skoo', "School" },
    { 'wifi', "WiFiOpen" },
    { 'wwep', "WiFiWEP" },
    { 'chur', "Church" },
    { 'mosq', "Mosque" },
    { 'syna', "Synagogue" },
};

namespace {
CGImageRef LoadImage(char const* name, UInt32 size)
{
    CString folder;
    folder.Format("Symbols/%u", unsigned(size));
    CFile file = CFileUtilities::GetBundleResource(CString(name) + ".png", CString(), folder);
    StCFRef<CFURLRef> url(file.IsSpecified() ? file.CopyURL() : nullptr);
    StCFRef<CGDataProviderRef> provider(url.Get() ? CGDataProviderCreateWithURL(url.Get()) : nullptr);
    CGImageRef image = provider.Get()
        ? CGImageCreateWithPNGDataProvider(provider.Get(), nullptr, true, kCGRenderingIntentDefault)
        : nullptr;
    // A symbol of the wrong size would break the menus and the map's footprints.
    if (image && (CGImageGetWidth(image) != size || CGImageGetHeight(image) != size)) {
        CGImageRelease(image);
        image = nullptr;
    }
    if (image == nullptr)
        CDebugLog::GetDebugLog()->Log(
            CDebugLog::kPriorityWarning, "MapData", "Symbol image %s at %u px missing", name, unsigned(size));
    return image;
}
} // namespace

CSymbolImages::~CSymbolImages() { Clear(); }

void CSymbolImages::Clear()
{
    for (auto& [code, pair] : mImages) {
        if (pair.small)
            CGImageRelease(pair.small);
        if (pair.large)
            CGImageRelease(pair.large);
    }
    mImages.clear();
}

std::size_t CSymbolImages::Load()
{
    Clear();
    std::size_t count = 0;
    for (Symbol const& symbol : kSymbols) {
        Pair pair { LoadImage(symbol.name, kSymbolSizeSmall), LoadImage(symbol.name, kSymbolSizeLarge) };
        count += (pair.small != nullptr) + (pair.large != nullptr);
        mImages[symbol.code] = pair;
    }
    return count;
}

CGImageRef CSymbolImages::GetImage(GPSWaypointSymbol symbol, UInt32 size) const
{
    if (size != kSymbolSizeSmall && size != kSymbolSizeLarge)
        return nullptr;
    auto found = mImages.find(symbol);
    if (found == mImages.end() || (size == kSymbolSizeSmall ? found->second.small : found->second.large) == nullptr)
        found = mImages.find('wayp');
    if (found == mImages.end())
        return nullptr;
    return size == kSymbolSizeSmall ? found->second.small : found->second.large;
}
