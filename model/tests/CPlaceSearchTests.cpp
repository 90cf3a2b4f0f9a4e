#include "model/CPlaceSearch.h"
#include "model/tests/MapPackTestSupport.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace tw::test;

namespace {

struct Found {
    double distance;
    CCoordinate position;
    LayerFeature feature;
    std::string name;
};

bool IsPoints(CRegionLayer const* layer, void*)
{
    return layer->GetShapeType() == kSGShapePoint || layer->GetShapeType() == kSGShapeMultiPoint;
}

// Every point shape of every pack, measured one by one.
std::vector<Found> BruteForce(CMapManager& maps, SearchQuery const& query)
{
    std::vector<Found> found;
    CCoordinateRect world(CCoordinate(90, -180), CCoordinate(-90, 180));
    for (CRegionLayer* layer : maps.GetRegionLayers(world, &IsPoints, nullptr)) {
        SGShape shape;
        for (UInt32 id = 0; id < layer->GetShapeFile().GetShapeCount(); ++id) {
            LayerFeature feature = layer->GetFeature(id);
            if (!CPlaceSearch::IsInCategory(feature, query.category)
                || layer->GetShapeFile().GetShape(id, shape) != noErr || shape.points.empty())
                continue;
            CCoordinate position(shape.points[0].y, shape.points[0].x);
            double distance = maps.GetDistance(query.centre, position);
            if (distance <= query.radius)
                found.push_back({ distance, position, feature, layer->GetAttributeString(id, 0, true).GetStdString() });
        }
    }
    std::stable_sort(
        found.begin(), found.end(), [](Found const& a, Found const& b) { return a.distance < b.distance; });
    return found;
}

std::vector<SearchResult> SearchAll(CMapManager& maps, SearchQuery const& query, std::size_t* rings = nullptr)
{
    CPlaceSearch search(maps, query);
    std::vector<SearchResult> all, ring;
    std::size_t count = 0;
    while (!search.IsFinished()) {
        search.NextRing(ring);
        all.insert(all.end(), ring.begin(), ring.end());
        ++count;
    }
    if (rings)
        *rings = count;
    return all;
}

SearchQuery Query(double latitude, double longitude, double radius, SearchCategory category = kSearchCategoryAll)
{
    SearchQuery query;
    query.category = category;
    query.centre = CCoordinate(latitude, longitude);
    query.radius = radius;
    return query;
}

TEST(CPlaceSearch, TheNearestPlacesMatchABruteForceScan)
{
    SearchQuery const queries[] = {
        Query(57.7089, 11.9746, 50000), // Göteborg
        Query(51.5074, -0.1278, 30000), // London, dense with places and airports
        Query(-18.1416, 178.4419, 800000), // Suva: the circle crosses the date line
        Query(78.2232, 15.6267, 1500000), // Longyearbyen: the circle reaches past the pole
        Query(45.4215, -75.6972, 200000, kSearchCategoryTransport), // only airports around Ottawa
    };
    for (SearchQuery const& query : queries) {
        SCOPED_TRACE(query.centre.GetString().GetUTF8());
        std::vector<Found> expected = BruteForce(BundledMaps(), query);
        std::vector<SearchResult> results = SearchAll(BundledMaps(), query);
        ASSERT_GE(expected.size(), 10u);
        ASSERT_EQ(results.size(), expected.size());
        for (std::size_t i = 0; i < 10; ++i) {
            EXPECT_EQ(results[i].name.GetStdString(), expected[i].name) << i;
            EXPECT_EQ(results[i].position, expected[i].position) << i;
            EXPECT_EQ(results[i].feature, expected[i].feature) << i;
        }
        // Nearest first across the rings, too.
        for (std::size_t i = 1; i < results.size(); ++i)
            ASSERT_LE(BundledMaps().GetDistance(query.centre, results[i - 1].position),
                BundledMaps().GetDistance(query.centre, results[i].position) + 1e-6)
                << i;
    }
}

TEST(CPlaceSearch, CategoriesHoldTheirFeatureClassesOnly)
{
    SearchQuery london = Query(51.5074, -0.1278, 50000);
    std::vector<SearchResult> everything = SearchAll(BundledMaps(), london);
    london.category = kSearchCategoryTransport;
    std::vector<SearchResult> transport = SearchAll(BundledMaps(), london);
    london.category = kSearchCategoryPlaces;
    std::vector<SearchResult> places = SearchAll(BundledMaps(), london);
    london.category = kSearchCategoryShopping;
    std::vector<SearchResult> shopping = SearchAll(BundledMaps(), london);

    ASSERT_FALSE(transport.empty());
    ASSERT_FALSE(places.empty());
    EXPECT_TRUE(shopping.empty()); // the packs hold no shops
    EXPECT_TRUE(std::all_of(transport.begin(), transport.end(),
        [](SearchResult const& result) { return result.feature == kLayerFeatureAirport; }));
    EXPECT_TRUE(std::all_of(places.begin(), places.end(), [](SearchResult const& result) {
        return IsPointOfInterest(result.feature) && result.feature <= kLayerFeatureCitySmall;
    }));
    EXPECT_TRUE(std::any_of(transport.begin(), transport.end(),
        [](SearchResult const& result) { return result.name.Contains("Heathrow"); }));
    EXPECT_EQ(everything.size(), transport.size() + places.size());
}

TEST(CPlaceSearch, EachShippedRoadRegionFindsItsCategoriesNearestFirst)
{
    struct Covered {
        SearchCategory category;
        std::vector<LayerFeature> features; // each found at least once
    };
    struct Region {
        char const* name;
        SearchQuery query;
        std::vector<Covered> covered;
    };
    std::vector<Region> const regions {
        { "Göteborg", Query(57.7089, 11.9746, 15000),
            { { kSearchCategoryPlaces, { kLayerFeatureCityMedium, kLayerFeatureCitySmall } },
                { kSearchCategoryTransport, { kLayerFeatureParking, kLayerFeatureTransitStop } } } },
        { "Ottawa", Query(45.4215, -75.6972, 15000),
            { { kSearchCategoryPlaces, { kLayerFeatureCityLarge, kLayerFeatureCitySmall } },
                { kSearchCategoryTransport, { kLayerFeatureAirport } } } },
    };
    for (Region const& region : regions) {
        for (Covered const& covered : region.covered) {
            SCOPED_TRACE(std::string(region.name) + " category " + std::to_string(covered.category));
            SearchQuery query = region.query;
            query.category = covered.category;
            std::vector<SearchResult> const results = SearchAll(BundledMaps(), query);
            ASSERT_FALSE(results.empty());
            for (std::size_t i = 0; i < results.size(); ++i) {
                EXPECT_TRUE(CPlaceSearch::IsInCategory(results[i].feature, covered.category)) << i;
                if (i > 0) {
                    ASSERT_LE(BundledMaps().GetDistance(query.centre, results[i - 1].position),
                        BundledMaps().GetDistance(query.centre, results[i].position) + 1e-6)
                        << i;
                }
            }
            for (LayerFeature feature : covered.features)
                EXPECT_TRUE(std::any_of(results.begin(), results.end(),
                    [&](SearchResult const& result) { return result.feature == feature; }))
                    << "feature " << feature;
        }
    }
    for (LayerFeature shop : { kLayerFeatureShop, kLayerFeatureSupermarket, kLayerFeatureMall })
        EXPECT_TRUE(CPlaceSearch::IsInCategory(shop, kSearchCategoryShopping)) << shop;
    // Göteborg's streets hold no food place: its drive-through lanes are ferry check-in, toll and bus
    // lanes, never restaurants.
    EXPECT_TRUE(SearchAll(BundledMaps(), Query(57.7089, 11.9746, 15000, kSearchCategoryFood)).empty());
}

TEST(CPlaceSearch, RingsDoubleOutwardFromAKilometre)
{
    std::size_t rings = 0;
    SearchAll(BundledMaps(), Query(57.7, 12, 5000), &rings);
    EXPECT_EQ(rings, 3u); // 1.25, 2.5 and 5 km
    SearchAll(BundledMaps(), Query(57.7, 12, 500), &rings);
    EXPECT_EQ(rings, 1u);
    SearchAll(BundledMaps(), Query(57.7, 12, 1e12), &rings);
    EXPECT_EQ(rings, CPlaceSearch::kMaxRings);
}

TEST(CPlaceSearch, QueriesThatAreNoPlaceOrNoCircleFindNothing)
{
    SearchQuery const bad[] = {
        Query(57.7, 12, 0),
        Query(57.7, 12, -5000),
        Query(57.7, 12, NAN),
        Query(NAN, 12, 5000),
        Query(57.7, 200, 5000),
        Query(57.7, 12, 5000, SearchCategory(12)),
    };
    for (SearchQuery const& query : bad) {
        CPlaceSearch search(BundledMaps(), query);
        EXPECT_TRUE(search.IsFinished());
        std::vector<SearchResult> ring { SearchResult() };
        search.NextRing(ring);
        EXPECT_TRUE(ring.empty());
    }
}

TEST(CPlaceSearch, FindsPlacesOfEveryPackInTheCircle)
{
    // The test regions' own places layer (Ottawa–Montréal) is searched like the world's.
    std::vector<SearchResult> results = SearchAll(BundledMaps(), Query(45.4215, -75.6972, 20000));
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(results.size(), BruteForce(BundledMaps(), Query(45.4215, -75.6972, 20000)).size());
    EXPECT_TRUE(std::any_of(
        results.begin(), results.end(), [](SearchResult const& result) { return result.name.Contains("Ottawa"); }));
}

} // namespace
