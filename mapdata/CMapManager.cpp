#include "mapdata/CMapManager.h"

#include "foundation/CDebugLog.h"
#include "foundation/CFileUtilities.h"
#include "foundation/CPreferences.h"
#include "foundation/CTextUtilities.h"
#include "foundation/StMutexLock.h"
#include "mapdata/CCoordinateText.h"
#include "mapdata/CMapUnitText.h"

#include <GeographicLib/Geodesic.hpp>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr double kDegreesToRadians = M_PI / 180;

bool Contains(std::vector<CString> const& list, CString const& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

LayerFeatureInfo const* FindFeature(LayerFeature feature)
{
    for (auto const& info : kLayerFeatureTable)
        if (info.nameKey != nullptr && info.feature == feature)
            return &info;
    return nullptr;
}
} // namespace

CMapManager::CMapManager() = default;

CMapManager::~CMapManager() { CCoordinate::SetTextHooks(nullptr, nullptr); }

OSStatus CMapManager::LoadMaps()
{
    std::vector<CFile> folders, shared;
    for (short domain : { kUserDomain, kLocalDomain, kSystemDomain }) {
        CFile support = CFileUtilities::FindFolder(domain, kApplicationSupportFolderType, false, CString());
        if (!support.IsSpecified())
            continue;
        folders.push_back(support.GetChild("Tarnwick").GetChild("Maps"));
        if (domain != kUserDomain)
            shared.push_back(folders.back());
    }
    // The default packs travel in the bundle, so a fresh installation shows the world.
    if (CFile bundled = CFileUtilities::GetBundleResource("Maps", CString(), CString()); bundled.IsSpecified())
        folders.push_back(bundled);
    return LoadMapsFrom(folders, shared);
}

OSStatus CMapManager::LoadMapsFrom(std::vector<CFile> const& folders, std::vector<CFile> const& sharedFolders)
{
    {
        StMutexLock lock(mLock);
        mRegions.clear();
    }
    mPacks.clear();
    mUnreadablePacks.clear();
    for (CFile const& folder : folders)
        LoadPacks(folder, std::find(sharedFolders.begin(), sharedFolders.end(), folder) != sharedFolders.end());
    RebuildRegions();
    mSymbols.Load();
    CCoordinate::SetTextHooks(&FormatCoordinate, &ParseCoordinate);
    return noErr;
}

bool CMapManager::IsReadableByEveryone(CFile const& pack)
{
    auto readable = [](std::filesystem::path const& path, struct stat const& info) {
        if (access(path.c_str(), R_OK) != 0)
            return false;
        if (S_ISDIR(info.st_mode))
            return (info.st_mode & (S_IROTH | S_IXOTH)) == (S_IROTH | S_IXOTH) && access(path.c_str(), X_OK) == 0;
        return (info.st_mode & S_IROTH) != 0;
    };
    // What the repair leaves is not checked either, or its alert would come back at every
    // start: links (and a pack that is one), special files, other file systems, files with
    // more than one name.
    std::filesystem::path const root(pack.GetPath());
    struct stat rootInfo;
    if (lstat(root.c_str(), &rootInfo) != 0)
        return false;
    if (S_ISLNK(rootInfo.st_mode))
        return true;
    if (!readable(root, rootInfo))
        return false;
    std::error_code error;
    std::filesystem::recursive_directory_iterator items(root, error), end;
    for (; !error && items != end; items.increment(error)) {
        struct stat info;
        if (lstat(items->path().c_str(), &info) != 0)
            return false;
        if (info.st_dev != rootInfo.st_dev) {
            items.disable_recursion_pending();
            continue;
        }
        if (S_ISDIR(info.st_mode) || (S_ISREG(info.st_mode) && info.st_nlink == 1))
            if (!readable(items->path(), info))
                return false;
    }
    return !error;
}

void CMapManager::LoadPacks(CFile const& folder, bool shared)
{
    std::vector<std::filesystem::path> bundles;
    std::error_code error;
    for (auto const& item : std::filesystem::directory_iterator(folder.GetPath(), error))
        if (item.path().extension() == ".twmap")
            bundles.push_back(item.path());
    std::sort(bundles.begin(), bundles.end());
    for (auto const& path : bundles) {
        if (shared && !IsReadableByEveryone(CFile(CString(path.c_str())))) {
            CDebugLog::GetDebugLog()->Log(
                CDebugLog::kPriorityWarning, "MapData", "Map pack %s is not readable by every user", path.c_str());
            mUnreadablePacks.emplace_back(CString(path.c_str()));
        }
        auto pack = std::make_unique<CMapPack>();
        OSStatus status = pack->Initialise(CFile(CString(path.c_str())));
        bool duplicate = std::any_of(mPacks.begin(), mPacks.end(), [&](auto const& other) {
            return pack->GetIdentifier().IsNotEmpty() && other->GetIdentifier() == pack->GetIdentifier();
        });
        if (status != noErr || duplicate) {
            CDebugLog::GetDebugLog()->Log(CDebugLog::kPriorityWarning, "MapData", "Map pack %s %s (%d)", path.c_str(),
                duplicate ? "already loaded from another folder" : "refused", int(status));
            continue;
        }
        mPacks.push_back(std::move(pack));
    }
}

// A region drops out when another loaded region replaces it, or it names one that does.
void CMapManager::RebuildRegions()
{
    std::vector<CMapRegion*> all;
    for (auto const& pack : mPacks)
        for (std::size_t i = 0; i < pack->GetRegionCount(); ++i)
            all.push_back(pack->GetRegion(i));
    std::vector<CMapRegion*> inUse;
    for (CMapRegion* region : all) {
        bool replaced = std::any_of(all.begin(), all.end(), [&](CMapRegion const* other) {
            return other != region
                && (Contains(other->GetReplaces(), region->GetIdentifier())
                    || Contains(region->GetReplacedBy(), other->GetIdentifier()));
        });
        if (!replaced)
            inUse.push_back(region);
    }
    StMutexLock lock(mLock);
    mRegions = std::move(inUse);
}

std::vector<CMapPack const*> CMapManager::GetMapPacks() const
{
    std::vector<CMapPack const*> packs;
    for (auto const& pack : mPacks)
        packs.push_back(pack.get());
    return packs;
}

std::vector<CRegionLayer*> CMapManager::GetRegionLayers(CCoordinateRect const& rect, LayerFilter filter, void* context)
{
    std::vector<CRegionLayer*> layers;
    if (rect.IsEmpty())
        return layers;
    SGBounds bounds = rect.GetSGBounds();
    StMutexLock lock(mLock);
    for (CMapRegion const* region : mRegions) {
        if (!CSpatialIndex::Intersects(region->GetBounds(), bounds))
            continue;
        for (std::size_t i = 0; i < region->GetLayerCount(); ++i) {
            CRegionLayer* layer = region->GetLayer(i);
            if (CSpatialIndex::Intersects(layer->GetBounds(), bounds) && (filter == nullptr || filter(layer, context)))
                layers.push_back(layer);
        }
    }
    return layers;
}

double CMapManager::GetDistance(CCoordinate const& from, CCoordinate const& to) const
{
    double metres = 0;
    GeographicLib::Geodesic::WGS84().Inverse(
        from.GetLatitude(), from.GetLongitude(), to.GetLatitude(), to.GetLongitude(), metres);
    return metres;
}

SInt32 CMapManager::GetUserUnits() const { return CPreferences().GetInteger("MapUnits", 0); }

CString CMapManager::GetDistanceString(double metres, MapUnits units) const
{
    if (units == kMapUnitsUser)
        units = CMapUnitText::ResolveStoredUnits(GetUserUnits());
    return CMapUnitText::GetDistanceString(metres, units);
}

CString CMapManager::GetVelocityString(double metresPerSecond, MapUnits units) const
{
    if (units == kMapUnitsUser)
        units = CMapUnitText::ResolveStoredUnits(GetUserUnits());
    return CMapUnitText::GetVelocityString(metresPerSecond, units);
}

CString CMapManager::GetTimeString(CDateTime const& date, DateFormat format) const
{
    return CMapUnitText::GetTimeString(date, format);
}

CGPoint CMapManager::Project(MapProjection projection, CCoordinate const& coordinate) const
{
    if (projection != kMapProjectionMercator)
        return CGPoint { 0, 0 };
    double latitude = coordinate.GetLatitude() * kDegreesToRadians;
    return CGPoint { coordinate.GetLongitude() * kDegreesToRadians, std::asinh(std::tan(latitude)) };
}

CCoordinate CMapManager::Unproject(MapProjection projection, CGPoint const& point) const
{
    if (projection != kMapProjectionMercator)
        return CCoordinate();
    return CCoordinate(std::atan(std::sinh(point.y)) / kDegreesToRadians, point.x / kDegreesToRadians);
}

CString CMapManager::GetFeatureName(LayerFeature feature) const
{
    LayerFeatureInfo const* info = FindFeature(feature);
    return CTextUtilities::GetBundleString(info ? info->nameKey : "FeatureNone");
}

GPSWaypointSymbol CMapManager::GetFeatureSymbol(LayerFeature feature) const
{
    LayerFeatureInfo const* info = FindFeature(feature);
    return info ? info->symbol : GPSWaypointSymbol('wayp');
}

CGImageRef CMapManager::GetSymbolImage(GPSWaypointSymbol symbol, UInt32 size) const
{
    return mSymbols.GetImage(symbol, size);
}

CString CMapManager::FormatCoordinate(double degrees, bool isLatitude)
{
    SInt32 format = CPreferences().GetInteger("MapCoordinates", kMapCoordinatesDegrees);
    if (format < kMapCoordinatesDegrees || format > kMapCoordinatesDegreesMinutesSeconds)
        format = kMapCoordinatesDegrees;
    return CCoordinateText::Format(degrees, isLatitude, MapCoordinates(format));
}

bool CMapManager::ParseCoordinate(CString const& text, bool isLatitude, double& degrees)
{
    auto value = CCoordinateText::Parse(text, isLatitude);
    if (value)
        degrees = *value;
    return value.has_value();
}
