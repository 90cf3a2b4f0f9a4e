// Road graphs of the test regions, legs routed once their graph is cached, and place
// searches over the world pack.
#include "model/CPlaceSearch.h"
#include "model/CRouteManager.h"
#include "model/tests/MapPackTestSupport.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tw::test;

std::atomic<bool> const kGoOn { false };

bool IsRoad(CRegionLayer const* layer, void*) { return layer->GetCategory() == kLayerCategoryRoad; }

// The region's road layers, opened (files mapped, shape index built) before timing.
std::vector<CRegionLayer*> OpenRoads(CCoordinateRect const& region)
{
    std::vector<CRegionLayer*> roads = BundledMaps().GetRegionLayers(region, &IsRoad, nullptr);
    for (CRegionLayer* layer : roads)
        layer->Open();
    return roads;
}

CCoordinateRect const kGoteborg(CCoordinate(57.75, 11.9), CCoordinate(57.65, 12.05));
CCoordinateRect const kOttawaMontreal(CCoordinate(46, -76), CCoordinate(45, -73.5));

void BuildGraph(benchmark::State& state, CCoordinateRect const& region)
{
    std::vector<CRegionLayer*> roads = OpenRoads(region);
    std::size_t edges = 0;
    for (auto _ : state) {
        CRoadGraph graph;
        graph.Build(roads, kGoOn);
        edges = graph.GetEdgeCount();
    }
    state.counters["edges"] = double(edges);
}
BENCHMARK_CAPTURE(BuildGraph, Goteborg, kGoteborg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildGraph, OttawaMontreal, kOttawaMontreal)->Unit(benchmark::kMillisecond);

void RouteLegOnCachedGraph(benchmark::State& state, CCoordinate from, CCoordinate to)
{
    CRouteManager router(&BundledMaps());
    RoadLegResult result;
    router.RouteLeg(from, to, kGoOn, result); // builds and caches the graph
    if (result.status != kRouteStatusRouted)
        state.SkipWithError("the leg does not route");
    for (auto _ : state) {
        router.RouteLeg(from, to, kGoOn, result);
        benchmark::DoNotOptimize(result.path.data());
    }
    state.counters["points"] = double(result.path.size());
    state.counters["km"] = result.length / 1000;
}
BENCHMARK_CAPTURE(
    RouteLegOnCachedGraph, GoteborgAcrossTown, CCoordinate(57.6850, 11.9420), CCoordinate(57.7060, 11.9870))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(
    RouteLegOnCachedGraph, GoteborgCornerToCorner, CCoordinate(57.6550, 11.8750), CCoordinate(57.7500, 12.0900))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(
    RouteLegOnCachedGraph, OttawaToMontreal, CCoordinate(45.4215, -75.6972), CCoordinate(45.5017, -73.5673))
    ->Unit(benchmark::kMillisecond);

// The first leg in a region: the graph is built, then the leg routed on it.
void RouteFirstLegOfRegion(benchmark::State& state)
{
    OpenRoads(kGoteborg);
    for (auto _ : state) {
        CRouteManager router(&BundledMaps());
        RoadLegResult result;
        router.RouteLeg(CCoordinate(57.6850, 11.9420), CCoordinate(57.7060, 11.9870), kGoOn, result);
        benchmark::DoNotOptimize(result.path.data());
    }
}
BENCHMARK(RouteFirstLegOfRegion)->Unit(benchmark::kMillisecond);

void SearchWorldWithin50Kilometres(benchmark::State& state, CCoordinate centre)
{
    SearchQuery query;
    query.centre = centre;
    query.radius = 50000;
    CCoordinateRect world(CCoordinate(90, -180), CCoordinate(-90, 180));
    for (CRegionLayer* layer : BundledMaps().GetRegionLayers(world, nullptr, nullptr))
        layer->Open();
    std::size_t found = 0;
    for (auto _ : state) {
        found = 0;
        CPlaceSearch search(BundledMaps(), query);
        for (std::vector<SearchResult> ring; !search.IsFinished();) {
            search.NextRing(ring);
            found += ring.size();
        }
        benchmark::DoNotOptimize(found);
    }
    state.counters["results"] = double(found);
}
BENCHMARK_CAPTURE(SearchWorldWithin50Kilometres, London, CCoordinate(51.5074, -0.1278))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchWorldWithin50Kilometres, Tokyo, CCoordinate(35.6762, 139.6503))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchWorldWithin50Kilometres, Goteborg, CCoordinate(57.7089, 11.9746))
    ->Unit(benchmark::kMillisecond);

} // namespace
