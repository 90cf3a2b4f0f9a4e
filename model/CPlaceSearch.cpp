#include "model/CPlaceSearch.h"

#include "mapdata/CMapManager.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kMinMetresPerDegreeLatitude = 110574; // [m] at the equator, the shortest
constexpr double kMetresPerDegreeLongitude = 111319.49; // [m] at the equator, on the sphere of the major axis
constexpr double kBoxMargin = 1.01; // boxes a little wider than the circle, so rounding loses nobody

bool IsPointLayer(CRegionLayer const* layer, void*)
{
    return layer->GetShapeType() == kSGShapePoint || layer->GetShapeType() == kSGShapeMultiPoint;
}

bool IsValidQuery(SearchQuery const& query)
{
    double latitude = query.centre.GetLatitude(), longitude = query.centre.GetLongitude();
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90
        && std::fabs(longitude) <= 180 && std::isfinite(query.radius) && query.radius > 0
        && query.category < kSearchCategoryCount;
}
} // namespace

CPlaceSearch::CPlaceSearch(CMapManager& mapManager, SearchQuery const& query)
    : mMapManager(mapManager)
    , mQuery(query)
{
    if (!IsValidQuery(query))
        return;
    mQuery.radius = std::min(query.radius, kMaxRadius);
    for (SGBounds const& box : GetBoxes(mQuery.radius))
        for (CRegionLayer* layer : mMapManager.GetRegionLayers(CCoordinateRect(box), &IsPointLayer, nullptr))
            if (std::find(mLayers.begin(), mLayers.end(), layer) == mLayers.end())
                mLayers.push_back(layer);
    // Halving down to the smallest ring, then innermost first.
    for (double radius = mQuery.radius; mRadii.size() < kMaxRings; radius /= 2) {
        mRadii.push_back(radius);
        if (radius / 2 < kMinRingRadius)
            break;
    }
    std::reverse(mRadii.begin(), mRadii.end());
}

std::vector<SGBounds> CPlaceSearch::GetBoxes(double radius) const
{
    double latitude = mQuery.centre.GetLatitude(), longitude = mQuery.centre.GetLongitude();
    double latitudeReach = kBoxMargin * radius / kMinMetresPerDegreeLatitude;
    double north = latitude + latitudeReach, south = latitude - latitudeReach;
    // Longitudes reach furthest on the circle's side nearer the pole; around a pole, all of them.
    double longitudeReach = 180;
    if (north < 90 && south > -90) {
        double cosine = std::cos(std::max(std::fabs(north), std::fabs(south)) * M_PI / 180);
        longitudeReach = std::min(180.0, kBoxMargin * radius / (kMetresPerDegreeLongitude * cosine));
    }
    north = std::min(north, 90.0);
    south = std::max(south, -90.0);
    double west = longitude - longitudeReach, east = longitude + longitudeReach;
    if (longitudeReach >= 180)
        return { SGBounds { -180, south, 180, north } };
    if (west < -180)
        return { SGBounds { west + 360, south, 180, north }, SGBounds { -180, south, east, north } };
    if (east > 180)
        return { SGBounds { west, south, 180, north }, SGBounds { -180, south, east - 360, north } };
    return { SGBounds { west, south, east, north } };
}

void CPlaceSearch::NextRing(std::vector<SearchResult>& results)
{
    results.clear();
    if (IsFinished())
        return;
    double outer = mRadii[mNextRing];
    double inner = mNextRing == 0 ? -1 : mRadii[mNextRing - 1];
    ++mNextRing;
    std::vector<Candidate> found;
    for (CRegionLayer* layer : mLayers)
        ReadLayer(layer, inner, outer, found);
    std::stable_sort(
        found.begin(), found.end(), [](Candidate const& a, Candidate const& b) { return a.distance < b.distance; });
    results.reserve(found.size());
    for (Candidate& candidate : found)
        results.push_back(std::move(candidate.result));
}

// The layer's places further than inner and at most outer from the centre; a shape of
// several points counts at its nearest.
void CPlaceSearch::ReadLayer(CRegionLayer* layer, double inner, double outer, std::vector<Candidate>& found) const
{
    std::vector<UInt32> ids;
    for (SGBounds const& box : GetBoxes(outer)) {
        std::vector<UInt32> inBox = layer->GetShapes(box);
        ids.insert(ids.end(), inBox.begin(), inBox.end());
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    SGShape shape;
    for (UInt32 id : ids) {
        LayerFeature feature = layer->GetFeature(id);
        if (!IsInCategory(feature, mQuery.category) || layer->GetAttributes().IsDeleted(id)
            || layer->GetShapeFile().GetShape(id, shape) != noErr)
            continue;
        double nearest = -1;
        SGPoint position;
        for (SGPoint const& point : shape.points) {
            CCoordinate coordinate(point.y, point.x);
            double distance = mMapManager.GetDistance(mQuery.centre, coordinate);
            if (std::isfinite(distance) && (nearest < 0 || distance < nearest)) {
                nearest = distance;
                position = point;
            }
        }
        if (nearest < 0 || nearest <= inner || nearest > outer)
            continue;
        found.push_back(Candidate { nearest,
            SearchResult { CCoordinate(position.y, position.x), feature, layer->GetAttributeString(id, 0, true) } });
    }
}

SearchCategory CPlaceSearch::GetFeatureCategory(LayerFeature feature)
{
    switch (feature) {
    case kLayerFeatureCityLarge:
    case kLayerFeatureCityMedium:
    case kLayerFeatureCitySmall:
        return kSearchCategoryPlaces;
    case kLayerFeatureAirport:
    case kLayerFeatureParking:
    case kLayerFeatureTransitStop:
        return kSearchCategoryTransport;
    case kLayerFeatureShop:
    case kLayerFeatureSupermarket:
    case kLayerFeatureMall:
        return kSearchCategoryShopping;
    case kLayerFeatureFuel:
    case kLayerFeatureHospital:
        return kSearchCategoryServices;
    case kLayerFeatureHotel:
    case kLayerFeatureCampground:
        return kSearchCategoryLodging;
    case kLayerFeatureRestaurant:
    case kLayerFeatureFastFood:
    case kLayerFeatureBar:
        return kSearchCategoryFood;
    case kLayerFeatureSchool:
        return kSearchCategoryGovernment;
    case kLayerFeaturePlaceOfWorship:
    case kLayerFeatureInformation:
        return kSearchCategoryAttractions;
    case kLayerFeatureSummit:
        return kSearchCategoryRecreation;
    default:
        return kSearchCategoryAll;
    }
}

bool CPlaceSearch::IsInCategory(LayerFeature feature, SearchCategory category)
{
    return category == kSearchCategoryAll || GetFeatureCategory(feature) == category;
}
