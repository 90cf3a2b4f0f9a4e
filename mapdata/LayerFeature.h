#pragma once

// The layer categories of a region bundle ("TWLayerCategory") and the feature
// classes of shapes (LayerFeature), with the bundle-string key and waypoint
// symbol of each feature class. Both numbers are stored in map packs: never
// renumber. A layer's shapes take the feature class from the numeric attribute
// "TWFEATURE" of their dBase record when it has one, else the category's
// default (GetCategoryDefaultFeature).

#include "platform/Platform.h"

#include <array>

using GPSWaypointSymbol = OSType;
using LayerCategory = UInt32;

enum : LayerCategory {
    kLayerCategoryNone = 0,
    kLayerCategoryLand = 1, // land areas bounded by the shoreline
    kLayerCategoryLandUse = 2,
    kLayerCategoryWaterArea = 3, // lakes, reservoirs, wide rivers
    kLayerCategoryRiver = 4, // rivers and streams as lines
    kLayerCategoryRailway = 5,
    kLayerCategoryRoad = 6,
    kLayerCategorySettlement = 7, // populated places as points
    kLayerCategoryPointOfInterest = 8,
    // 9 to 14 are free.
    kLayerCategoryAdminLevel0 = 15, // countries
    kLayerCategoryAdminLevel1 = 16, // states, provinces
    kLayerCategoryAdminLevel9 = 24, // the finest administrative level
    kLayerCategoryCount = 25,
};

constexpr bool IsAdminCategory(LayerCategory category)
{
    return category >= kLayerCategoryAdminLevel0 && category <= kLayerCategoryAdminLevel9;
}

// Areas 1-99, lines 100-199, points of interest 200 and up.
enum LayerFeature : UInt32 {
    kLayerFeatureNone = 0,
    kLayerFeatureLand = 1,
    kLayerFeatureWater = 2,
    kLayerFeatureAdminArea = 3,
    kLayerFeatureLandUse = 4,
    // Land of a pack that has it at two scales: the generalised outline for the world and
    // continents, and the detailed one from the scale of a country on.
    kLayerFeatureLandOverview = 5,
    kLayerFeatureLandDetail = 6,
    kLayerFeatureRiver = 100,
    kLayerFeatureRailway = 101,
    kLayerFeatureMotorway = 102,
    kLayerFeatureTrunkRoad = 103,
    kLayerFeaturePrimaryRoad = 104,
    kLayerFeatureSecondaryRoad = 105,
    kLayerFeatureTertiaryRoad = 106,
    kLayerFeatureMinorRoad = 107, // residential, unclassified, living streets
    // Rivers of a pack that has them at two scales, as with land.
    kLayerFeatureRiverOverview = 108,
    kLayerFeatureRiverDetail = 109,
    kLayerFeatureCityLarge = 200, // a million people or more, or a capital
    kLayerFeatureCityMedium = 201, // 100,000 or more
    kLayerFeatureCitySmall = 202,
    kLayerFeatureAirport = 203,
    kLayerFeatureFuel = 204,
    kLayerFeatureParking = 205,
    kLayerFeatureHotel = 206,
    kLayerFeatureRestaurant = 207,
    kLayerFeatureFastFood = 208,
    kLayerFeatureBar = 209,
    kLayerFeatureHospital = 210,
    kLayerFeatureSchool = 211,
    kLayerFeaturePlaceOfWorship = 212,
    kLayerFeatureCampground = 213,
    kLayerFeatureSummit = 214,
    kLayerFeatureInformation = 215,
    kLayerFeatureShop = 216,
    kLayerFeatureTransitStop = 217, // bus, tram and train stops
    kLayerFeatureSupermarket = 218,
    kLayerFeatureMall = 219,
};

constexpr bool IsPointOfInterest(LayerFeature feature) { return feature >= kLayerFeatureCityLarge; }

struct LayerFeatureInfo {
    LayerFeature feature;
    char const* nameKey; // bundle string of the feature's name
    GPSWaypointSymbol symbol;
};

inline constexpr std::array<LayerFeatureInfo, 38> kLayerFeatureTable = { {
    { kLayerFeatureNone, "FeatureNone", 'wayp' }, { kLayerFeatureLand, "FeatureLand", 'wayp' },
    { kLayerFeatureWater, "FeatureWater", 'wayp' }, { kLayerFeatureAdminArea, "FeatureAdminArea", 'arac' },
    { kLayerFeatureLandUse, "FeatureLandUse", 'wayp' }, { kLayerFeatureLandOverview, "FeatureLand", 'wayp' },
    { kLayerFeatureLandDetail, "FeatureLand", 'wayp' }, { kLayerFeatureRiver, "FeatureRiver", 'wayp' },
    { kLayerFeatureRailway, "FeatureRailway", 'rlxi' }, { kLayerFeatureMotorway, "FeatureMotorway", 'acar' },
    { kLayerFeatureTrunkRoad, "FeatureTrunkRoad", 'acar' }, { kLayerFeaturePrimaryRoad, "FeaturePrimaryRoad", 'acar' },
    { kLayerFeatureSecondaryRoad, "FeatureSecondaryRoad", 'acar' },
    { kLayerFeatureTertiaryRoad, "FeatureTertiaryRoad", 'acar' },
    { kLayerFeatureMinorRoad, "FeatureMinorRoad", 'acar' }, { kLayerFeatureRiverOverview, "FeatureRiver", 'wayp' },
    { kLayerFeatureRiverDetail, "FeatureRiver", 'wayp' }, { kLayerFeatureCityLarge, "FeatureCityLarge", 'clrg' },
    { kLayerFeatureCityMedium, "FeatureCityMedium", 'cmed' }, { kLayerFeatureCitySmall, "FeatureCitySmall", 'csml' },
    { kLayerFeatureAirport, "FeatureAirport", 'airp' }, { kLayerFeatureFuel, "FeatureFuel", 'fuel' },
    { kLayerFeatureParking, "FeatureParking", 'pkng' }, { kLayerFeatureHotel, "FeatureHotel", 'hotl' },
    { kLayerFeatureRestaurant, "FeatureRestaurant", 'rstr' }, { kLayerFeatureFastFood, "FeatureFastFood", 'food' },
    { kLayerFeatureBar, "FeatureBar", 'abar' }, { kLayerFeatureHospital, "FeatureHospital", 'faid' },
    { kLayerFeatureSchool, "FeatureSchool", 'skoo' }, { kLayerFeaturePlaceOfWorship, "FeaturePlaceOfWorship", 'chur' },
    { kLayerFeatureCampground, "FeatureCampground", 'camp' }, { kLayerFeatureSummit, "FeatureSummit", 'summ' },
    { kLayerFeatureInformation, "FeatureInformation", 'info' }, { kLayerFeatureShop, "FeatureShop", 'wayp' },
    { kLayerFeatureTransitStop, "FeatureTransitStop", 'wayp' },
    { kLayerFeatureSupermarket, "FeatureSupermarket", 'wayp' }, { kLayerFeatureMall, "FeatureMall", 'wayp' },
    { kLayerFeatureNone, nullptr, 0 }, // end
} };

// The feature class a layer's shapes have when their record names none.
constexpr LayerFeature GetCategoryDefaultFeature(LayerCategory category)
{
    switch (category) {
    case kLayerCategoryLand:
        return kLayerFeatureLand;
    case kLayerCategoryLandUse:
        return kLayerFeatureLandUse;
    case kLayerCategoryWaterArea:
        return kLayerFeatureWater;
    case kLayerCategoryRiver:
        return kLayerFeatureRiver;
    case kLayerCategoryRailway:
        return kLayerFeatureRailway;
    case kLayerCategoryRoad:
        return kLayerFeatureMinorRoad;
    case kLayerCategorySettlement:
        return kLayerFeatureCitySmall;
    default:
        return IsAdminCategory(category) ? kLayerFeatureAdminArea : kLayerFeatureNone;
    }
}
