#pragma once

// The registry of map packs and their regions, and the map services around them:
// geodesic distances, Mercator projection, unit and coordinate texts, feature
// classes and waypoint symbol images. A member of the application object.
// LoadMaps runs once on the main thread; the region list is guarded by the
// manager's lock, which only GetRegionLayers takes, so workers may call it.

#include "foundation/CCoordinateRect.h"
#include "foundation/CDateTime.h"
#include "foundation/CMutex.h"
#include "mapdata/CMapPack.h"
#include "mapdata/CSymbolImages.h"

class CMapManager {
public:
    using LayerFilter = bool (*)(CRegionLayer const* layer, void* context);

    CMapManager();
    CMapManager(CMapManager const&) = delete;
    CMapManager& operator=(CMapManager const&) = delete;
    ~CMapManager();

    // Every "twmap" pack in the "Tarnwick/Maps" folder of the user, local and system
    // Application Support domains, then the ones in the bundle's "Maps" folder; then the
    // region list, the symbol images, and the coordinate text hooks of CCoordinate.
    OSStatus LoadMaps();
    // The same from the given folders only, in that order (a pack whose identifier was
    // found before is left out). Packs of the shared folders (among the folders) that not
    // every user can read are noted for a repair; those the user cannot read are left out.
    OSStatus LoadMapsFrom(std::vector<CFile> const& folders, std::vector<CFile> const& sharedFolders = {});
    // The packs of the shared folders the last load found not readable by every user.
    std::vector<CFile> const& GetUnreadablePacks() const { return mUnreadablePacks; }
    // False when a file or folder of the pack is not readable by every user, or by this one.
    static bool IsReadableByEveryone(CFile const& pack);

    std::vector<CMapPack const*> GetMapPacks() const;
    // Layers of the regions in use that meet the rectangle and pass the filter (null: all).
    std::vector<CRegionLayer*> GetRegionLayers(CCoordinateRect const& rect, LayerFilter filter, void* context);

    double GetDistance(CCoordinate const& from, CCoordinate const& to) const; // [m] on WGS84
    CString GetDistanceString(double metres, MapUnits units) const;
    CString GetVelocityString(double metresPerSecond, MapUnits units) const;
    CString GetTimeString(CDateTime const& date, DateFormat format) const;
    SInt32 GetUserUnits() const; // "MapUnits", 0 when absent

    CGPoint Project(MapProjection projection, CCoordinate const& coordinate) const;
    CCoordinate Unproject(MapProjection projection, CGPoint const& point) const;

    CString GetFeatureName(LayerFeature feature) const;
    GPSWaypointSymbol GetFeatureSymbol(LayerFeature feature) const;
    CGImageRef GetSymbolImage(GPSWaypointSymbol symbol, UInt32 size) const; // borrowed

    // Latitude or longitude text in the format of "MapCoordinates" (any other value: degrees).
    static CString FormatCoordinate(double degrees, bool isLatitude);
    static bool ParseCoordinate(CString const& text, bool isLatitude, double& degrees);

private:
    void LoadPacks(CFile const& folder, bool shared);
    void RebuildRegions();

    std::vector<std::unique_ptr<CMapPack>> mPacks; // main thread only
    std::vector<CFile> mUnreadablePacks; // main thread only
    CMutex mLock; // guards mRegions
    std::vector<CMapRegion*> mRegions; // in use: not replaced by another loaded region
    CSymbolImages mSymbols;
};
