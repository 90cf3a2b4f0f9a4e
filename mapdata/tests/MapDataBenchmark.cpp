// Loading the bundled packs (the world and the road regions), and the layers and shapes of a
// view over Europe.
#include "corefoundation/CFBundle.h"
#include "mapdata/CMapManager.h"

#include <benchmark/benchmark.h>

namespace {
// The symbol images come from the build tree's bundle, as in the application.
CFile WorldFolder()
{
    static bool const sBundleSet = (tw::cf::SetMainBundlePath(TW_BUNDLE_DIR), true);
    (void)sBundleSet;
    return CFile(CString(TW_WORLD_MAPS_DIR));
}

void LoadBundledPacks(benchmark::State& state)
{
    for (auto _ : state) {
        CMapManager manager;
        manager.LoadMapsFrom({ WorldFolder() });
        if (manager.GetSymbolImage('airp', 32) == nullptr)
            state.SkipWithError("symbol images missing");
        benchmark::DoNotOptimize(manager.GetMapPacks().size());
    }
}
BENCHMARK(LoadBundledPacks)->Unit(benchmark::kMillisecond);

void LayersAndShapesOverEurope(benchmark::State& state)
{
    CMapManager manager;
    manager.LoadMapsFrom({ WorldFolder() });
    CCoordinateRect europe(CCoordinate(60, -10), CCoordinate(40, 25));
    for (CRegionLayer* layer : manager.GetRegionLayers(europe, nullptr, nullptr))
        layer->Open(); // the first use builds the index; views after it are measured
    std::size_t shapes = 0;
    for (auto _ : state) {
        shapes = 0;
        for (CRegionLayer* layer : manager.GetRegionLayers(europe, nullptr, nullptr))
            shapes += layer->GetShapes(europe.GetSGBounds()).size();
        benchmark::DoNotOptimize(shapes);
    }
    state.counters["shapes"] = double(shapes);
}
BENCHMARK(LayersAndShapesOverEurope)->Unit(benchmark::kMicrosecond);

void FirstUseOfEveryLayer(benchmark::State& state)
{
    for (auto _ : state) {
        CMapManager manager;
        manager.LoadMapsFrom({ WorldFolder() });
        for (CRegionLayer* layer :
            manager.GetRegionLayers(CCoordinateRect(CCoordinate(90, -180), CCoordinate(-90, 180)), nullptr, nullptr))
            layer->Open();
    }
}
BENCHMARK(FirstUseOfEveryLayer)->Unit(benchmark::kMillisecond);
} // namespace
