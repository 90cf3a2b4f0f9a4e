// The renderer's speed: a whole world view from cold on four workers, one dense road
// tile on one thread, and the memory tile images hold after a long pan.
#include "mapdata/CMapManager.h"
#include "render/CGeometryCache.h"
#include "render/CLayerTile.h"
#include "render/CMapSnapshot.h"
#include "render/CTilePainter.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <sys/resource.h>

namespace {

std::unique_ptr<CMapManager> Maps()
{
    auto manager = std::make_unique<CMapManager>();
    manager->LoadMapsFrom({ CFile(CString(TW_SOURCE_DIR "/resources/Resources/Maps")) });
    return manager;
}

// Until every tile of the view has its image (names committed or not).
bool AllTilesDrawn(CMapSnapshot& view)
{
    for (CLayerTile* tile : view.GetTilesInRect(view.GetVisibleRect(), false))
        if (!tile->HasImage())
            return false;
    return true;
}

// Every tile of a 1280 × 800 view of the world at level 3, drawn from cold (an empty geometry
// cache, layers opened once before) by four workers (Arg 4), or by one (Arg 1) to compare.
void WorldViewLevel3FromCold(benchmark::State& state)
{
    auto manager = Maps();
    {
        CMapSnapshot warmUp(*manager, 4);
        warmUp.SetView(CCoordinate(30, 0), 3, CGSizeMake(1280, 800));
        warmUp.Render();
    }
    double tiles = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CGeometryCache::GetShared().RemoveAll();
        CMapSnapshot view(*manager, UInt32(state.range(0)));
        view.SetView(CCoordinate(30, 0), 3, CGSizeMake(1280, 800));
        CGContextRef bitmap = view.GetBitmap();
        state.ResumeTiming();
        for (CLayerTile* tile : view.GetTilesInRect(view.GetVisibleRect(), true))
            tile->Draw(bitmap);
        while (!AllTilesDrawn(view))
            RunCurrentEventLoop(0.0005);
        state.PauseTiming();
        tiles = double(view.GetTilesInRect(view.GetVisibleRect(), false).size());
        view.DestroyTiles();
        state.ResumeTiming();
    }
    state.counters["tiles"] = tiles;
}
BENCHMARK(WorldViewLevel3FromCold)->Arg(4)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// The same view until the picture is complete: names handed to the main thread, tiles
// collected by the 0.06 s timer, names placed.
void WorldViewLevel3Complete(benchmark::State& state)
{
    auto manager = Maps();
    for (auto _ : state) {
        state.PauseTiming();
        CGeometryCache::GetShared().RemoveAll();
        CMapSnapshot view(*manager, 4);
        view.SetView(CCoordinate(30, 0), 3, CGSizeMake(1280, 800));
        state.ResumeTiming();
        view.Render();
    }
}
BENCHMARK(WorldViewLevel3Complete)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The same 24 tiles painted one after another on one thread: the work the workers share.
// Cache warm (Arg 1) or cold (Arg 0).
void WorldLevel3TilesOnOneThread(benchmark::State& state)
{
    auto manager = Maps();
    CTilePainter painter(*manager, CGeometryCache::GetShared());
    CMapGeometry const geometry(*manager);
    CGPoint const centre = geometry.Project(CCoordinate(30, 0), 3);
    CGRect const view = CGRectMake(std::floor(centre.x - 640), std::floor(centre.y - 400), 1280, 800);
    CGContextRef context = CGBitmapContextCreate(
        nullptr, 256, 256, 8, 0, nullptr, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
    CMapGeometry::TileRange const range = CMapGeometry::GetTileRange(view, 3);
    std::vector<CMapLabel> labels;
    auto paintAll = [&] {
        for (UInt32 row = range.top; row <= range.bottom; ++row)
            for (UInt32 column = range.left; column <= range.right; ++column) {
                CGRect const rect = CMapGeometry::GetTileRect(column, row);
                CGContextSaveGState(context);
                CGContextTranslateCTM(context, 0, 256);
                CGContextScaleCTM(context, 1, -1);
                CGContextTranslateCTM(context, -rect.origin.x, -rect.origin.y);
                labels.clear();
                painter.Paint(context, rect, 3, labels);
                for (CMapLabel& label : labels)
                    label.RenderImage();
                CGContextRestoreGState(context);
            }
    };
    paintAll();
    for (auto _ : state) {
        if (state.range(0) == 0) {
            state.PauseTiming();
            CGeometryCache::GetShared().RemoveAll();
            state.ResumeTiming();
        }
        paintAll();
    }
    CGContextRelease(context);
}
BENCHMARK(WorldLevel3TilesOnOneThread)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The densest Göteborg road tile at level 14, map and names, on one thread; cache warm (Arg 1)
// or cold (Arg 0).
void GoteborgRoadTileLevel14(benchmark::State& state)
{
    auto manager = Maps();
    CTilePainter painter(*manager, CGeometryCache::GetShared());
    CMapGeometry const geometry(*manager);
    CGPoint const centre = geometry.Project(CCoordinate(57.7045, 11.9668), 14);
    CGRect const rect = CGRectMake(std::floor(centre.x / 256) * 256, std::floor(centre.y / 256) * 256, 256, 256);
    CGContextRef context = CGBitmapContextCreate(
        nullptr, 256, 256, 8, 0, nullptr, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
    CGContextTranslateCTM(context, 0, 256);
    CGContextScaleCTM(context, 1, -1);
    CGContextTranslateCTM(context, -rect.origin.x, -rect.origin.y);
    std::vector<CMapLabel> labels;
    painter.Paint(context, rect, 14, labels); // opens the layers
    for (auto _ : state) {
        if (state.range(0) == 0) {
            state.PauseTiming();
            CGeometryCache::GetShared().RemoveAll();
            state.ResumeTiming();
        }
        labels.clear();
        painter.Paint(context, rect, 14, labels);
        for (CMapLabel& label : labels)
            label.RenderImage();
        CGImageRelease(CGBitmapContextCreateImage(context));
    }
    state.counters["names"] = double(labels.size());
    CGContextRelease(context);
}
BENCHMARK(GoteborgRoadTileLevel14)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// Memory held by tile images after panning over 400 tiles at level 12: the least recently
// drawn lose their images past the limit.
void TileImagesAfterALongPan(benchmark::State& state)
{
    auto manager = Maps();
    std::size_t images = 0;
    for (auto _ : state) {
        CMapSnapshot view(*manager, 4);
        for (int step = 0; step < 20; ++step) {
            view.SetView(CCoordinate(57.70 - step * 0.06, 11.97 + step * 0.12), 12, CGSizeMake(1280, 800));
            view.Render();
        }
        images = view.GetRenderer()->GetImageCount();
    }
    state.counters["images"] = double(images);
    state.counters["MB"] = double(images) * 256 * 256 * 4 / 1e6;
    state.counters["limit"] = double(CLayerRenderer::kImageLimit);
}
BENCHMARK(TileImagesAfterALongPan)->Unit(benchmark::kMillisecond)->Iterations(1);

// Processor time the whole process uses while a finished map sits idle for two seconds.
void IdleAfterRendering(benchmark::State& state)
{
    auto manager = Maps();
    CMapSnapshot view(*manager, 4);
    view.SetView(CCoordinate(50, 10), 5, CGSizeMake(1280, 800));
    view.Render();
    double used = 0;
    for (auto _ : state) {
        auto cpu = [] {
            rusage usage {};
            getrusage(RUSAGE_SELF, &usage);
            return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        };
        double const before = cpu();
        RunCurrentEventLoop(2.0);
        used = cpu() - before;
    }
    state.counters["cpu_ms_per_s"] = used * 1000 / 2;
    state.counters["renderer_timer"] = view.GetRenderer()->IsInstalled();
}
BENCHMARK(IdleAfterRendering)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace
