// Import speed and memory on large generated GPX files (tools/model/make-large-gpx.py).
// The peak memory growth is the process's: run the million-point case alone for a clean
// figure (--benchmark_filter=Million); its first repetition starts from a fresh process.

#include "model/CMapObject.h"
#include "model/CMapTrack.h"
#include "model/CParserGPX.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

std::filesystem::path GeneratedFile(int points)
{
    auto folder = std::filesystem::temp_directory_path() / ("tw-import-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    auto path = folder / ("track-" + std::to_string(points) + ".gpx");
    if (!std::filesystem::exists(path)) {
        std::string command = std::string("python3 '") + TW_SOURCE_DIR + "/tools/model/make-large-gpx.py' "
            + std::to_string(points) + " '" + path.string() + "'";
        if (std::system(command.c_str()) != 0)
            return {};
    }
    return path;
}

long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long PeakKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::size_t CountSamples(std::vector<CMapObject*> const& objects)
{
    std::size_t samples = 0;
    for (CMapObject* object : objects)
        if (auto* track = dynamic_cast<CMapTrack*>(object))
            samples += track->GetSamples().size();
    return samples;
}

void ParseGeneratedFile(benchmark::State& state, int points, bool measureMemory)
{
    auto path = GeneratedFile(points);
    if (path.empty()) {
        state.SkipWithError("the generator failed");
        return;
    }
    CFile file(CString(path.c_str()));
    std::size_t samples = 0;
    double growth = 0; // [MiB]
    bool exceeded = false;
    for (auto _ : state) {
        long residentBefore = ResidentKiB();
        long peakBefore = PeakKiB();
        std::vector<CMapObject*> objects;
        CParserGPX parser;
        if (parser.ParseFile(file, objects) != noErr) {
            state.SkipWithError("the file did not parse");
            return;
        }
        long peakAfter = PeakKiB();
        // When the peak did not rise, the parse stayed below the earlier peak: an upper bound.
        exceeded = peakAfter > peakBefore;
        growth = std::max(growth, double((exceeded ? peakAfter : peakBefore) - residentBefore) / 1024);
        samples = CountSamples(objects);
        state.PauseTiming();
        for (auto object = objects.rbegin(); object != objects.rend(); ++object)
            delete *object; // routes before their waypoints
        state.ResumeTiming();
    }
    state.counters["points"] = double(samples);
    state.counters["file_MiB"] = double(std::filesystem::file_size(path)) / (1024 * 1024);
    if (measureMemory)
        state.counters["peak_growth_MiB"] = growth;
}

void BM_ParseGPXMillionPoints(benchmark::State& state) { ParseGeneratedFile(state, 1000000, true); }
void BM_ParseGPXHundredThousandPoints(benchmark::State& state) { ParseGeneratedFile(state, 100000, false); }

} // namespace

BENCHMARK(BM_ParseGPXMillionPoints)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ParseGPXHundredThousandPoints)->Unit(benchmark::kMillisecond);
