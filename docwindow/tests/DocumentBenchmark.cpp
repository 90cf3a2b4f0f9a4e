// Saving and opening a document that holds one track of 100,000 samples, as the
// document window does it on the main thread: the objects into a dictionary and the
// dictionary to a property list file, and back. The window, the map and the lists are
// left out: what is measured is the file's part of a save or an open.
// Then the whole document window of the application with the 100,000-point track of the
// import benchmarks' generator: opening its file into a window until the map is drawn,
// and pan steps of its map. Their counters give the longest time the main thread was
// held at once ("longest_ms"), which is how long the window would not answer.
// Last, large documents in that window: thousands of waypoints opened, imported from GPX
// and saved, and a million-point track opened. "peak_growth_MiB" is how far the process's
// resident memory rose during the step above what it held before, and "document_MiB" the
// memory in use that opening the document added.
#include "app/CTWApplication.h"
#include "corefoundation/CFBundle.h"
#include "docwindow/CWindowDocument.h"
#include "foundation/CFPropertyList.h"
#include "docwindow/CViewMap.h"
#include "framework/CMacWindow.h"
#include "model/CGPXReader.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "toolbox/Window.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kSamples = 100000;

// A walk of 100,000 one-second samples around Göteborg.
CMapTrack* MakeTrack()
{
    auto* track = new CMapTrack();
    track->SetName("Long walk");
    std::vector<CCoordinatePVT> samples;
    samples.reserve(kSamples);
    for (int i = 0; i < kSamples; ++i)
        samples.emplace_back(CCoordinate(57.7 + 1e-5 * i, 11.97 + 0.01 * std::sin(i * 1e-3), 20 + i % 50),
            CDateTime(7.0e8 + i), CCoordinatePVT::Velocity { 1.2, 0.8, 0 }, 5);
    track->SetSamples(std::move(samples));
    return track;
}

CFile TrackFile()
{
    static std::filesystem::path const path
        = std::filesystem::temp_directory_path() / ("tarnwick-track-" + std::to_string(getpid()) + ".twk");
    return CFile(CString(path.c_str()));
}

void SaveTrackDocument(benchmark::State& state)
{
    tw::cf::SetMainBundlePath(TW_BUNDLE_DIR);
    CWindowDocument document;
    document.AddObject(MakeTrack());
    for (auto _ : state) {
        CFDictionary properties;
        if (document.EncodeProperties(properties) != noErr)
            state.SkipWithError("the document could not be encoded");
        CFPropertyList file;
        file.SetPropertyList(properties);
        if (file.Save(TrackFile()) != noErr)
            state.SkipWithError("the file could not be written");
    }
    state.counters["bytes"] = double(TrackFile().GetForkSize());
}

void OpenTrackDocument(benchmark::State& state)
{
    for (auto _ : state) {
        CFPropertyList file;
        if (file.Load(TrackFile()) != noErr || !file.GetDictionary()) {
            state.SkipWithError("run SaveTrackDocument first");
            break;
        }
        auto document = std::make_unique<CWindowDocument>();
        document->DecodeProperties(CFDictionary(file.GetDictionary()));
        if (document->GetObjects().size() != 1)
            state.SkipWithError("the track did not load");
        state.PauseTiming(); // closing is not part of opening
        document.reset();
        state.ResumeTiming();
    }
}

using BenchClock = std::chrono::steady_clock;

double MillisecondsSince(BenchClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(BenchClock::now() - start).count();
}

// The application without its splash, its global document or receivers, in folders of
// its own; one for the whole run.
struct BenchApplication {
    BenchApplication()
        : home(std::filesystem::temp_directory_path() / ("tarnwick-bench-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(home / "config");
        std::filesystem::create_directories(home / "data");
        setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        tw::cf::SetMainBundlePath(TW_BUNDLE_DIR);
        app = std::make_unique<CTWApplication>(CDeviceManager::Setup {});
        if (app->InitialiseBegin() != noErr || app->InitialisePreferences() != noErr
            || app->InitialiseMenuBar() != noErr || app->InitialiseSelf() != noErr)
            error = "the application did not start";
    }
    ~BenchApplication()
    {
        app.reset();
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored); // hundreds of megabytes of generated files
    }

    std::filesystem::path home;
    std::unique_ptr<CTWApplication> app;
    std::string error;
};

BenchApplication& Application()
{
    static BenchApplication application;
    return application;
}

// Turns the event loop until nothing is left to draw; the longest single turn, in ms.
// When drawn is given, it is set to the end of the first turn after which nothing was left.
double Settle(WindowRef window, CViewMap* map, BenchClock::time_point* drawn = nullptr)
{
    auto const deadline = BenchClock::now() + std::chrono::seconds(60);
    double longest = 0;
    int quiet = 0;
    while (quiet < 40 && BenchClock::now() < deadline) {
        auto const start = BenchClock::now();
        RunCurrentEventLoop(0);
        window->Update();
        longest = std::max(longest, MillisecondsSince(start));
        std::this_thread::sleep_for(std::chrono::milliseconds(10)); // the workers' turn, not the window's
        quiet = map->GetRenderer()->IsRendering() || window->NeedsUpdate() ? 0 : quiet + 1;
        if (quiet == 1 && drawn)
            *drawn = BenchClock::now();
    }
    return longest;
}

CWindowDocument* OpenWindow(CFile const* file)
{
    CDocument* document = nullptr;
    if (Application().app->CommandCreate(file, &document) != noErr)
        return nullptr;
    return static_cast<CWindowDocument*>(document);
}

double SettleWindow(CWindowDocument* window, BenchClock::time_point* drawn = nullptr)
{
    return Settle(window->GetWindow()->GetWindowRef(), window->GetMapView(), drawn);
}

// Opening a document into a window until it is drawn, over the runs of a benchmark.
struct OpeningTimes {
    double longest = 0; // [ms] the longest turn
    double drawnTotal = 0; // [ms]

    // The window drawn; null, with the benchmark skipped, when the document did not open (or,
    // when objects is given, opened with another number of objects).
    CWindowDocument* OpenAndDraw(benchmark::State& state, CFile const& file, std::size_t objects = 0)
    {
        auto const start = BenchClock::now();
        CWindowDocument* window = OpenWindow(&file);
        if (!window || (objects && window->GetObjects().size() != objects)) {
            state.SkipWithError("the document did not open");
            delete window;
            return nullptr;
        }
        longest = std::max(longest, MillisecondsSince(start));
        BenchClock::time_point drawn = start;
        longest = std::max(longest, SettleWindow(window, &drawn));
        drawnTotal += std::chrono::duration<double, std::milli>(drawn - start).count();
        return window;
    }

    void Report(benchmark::State& state) const
    {
        state.counters["longest_ms"] = longest;
        state.counters["drawn_ms"] = drawnTotal / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    }
};

// The generated track saved once as a document file.
struct GeneratedTrackWindow {
    explicit GeneratedTrackWindow(int count)
        : app(Application().app)
        , error(Application().error)
    {
        if (!error.empty())
            return;
        std::filesystem::path const& home = Application().home;
        std::filesystem::path const gpx = home / ("large-" + std::to_string(count) + ".gpx");
        std::string const command = "python3 '" + std::string(TW_SOURCE_DIR) + "/tools/model/make-large-gpx.py' "
            + std::to_string(count) + " '" + gpx.string() + "'";
        CGPXReader reader;
        if (std::system(command.c_str()) != 0 || reader.ReadFile(CFile(CString(gpx.c_str()))) != noErr) {
            error = "the generated track could not be read";
            return;
        }
        auto* track = new CMapTrack();
        for (CGPXReader::Record& record : reader.mRecords)
            if (auto* read = std::get_if<CGPXReader::Track>(&record); read && read->samples.size() >= std::size_t(count)) {
                track->SetName(read->texts.name.c_str());
                track->SetSamples(std::move(read->samples));
            }
        file = CFile(CString((home / ("Long walk " + std::to_string(count) + ".twk")).c_str()));
        CDocument* document = nullptr;
        if (track->GetSamples().size() < std::size_t(count) || app->CommandCreate(nullptr, &document) != noErr) {
            delete track;
            error = "no document for the track";
            return;
        }
        auto* window = static_cast<CWindowDocument*>(document);
        window->AddObject(track);
        window->ShowObject(track);
        window->SetFile(file);
        if (window->SaveDocument() != noErr)
            error = "the document could not be saved";
        delete window;
    }

    std::unique_ptr<CTWApplication>& app;
    CFile file;
    std::string error;
};

GeneratedTrackWindow& TrackWindow()
{
    static GeneratedTrackWindow window(kSamples);
    return window;
}

GeneratedTrackWindow& MillionTrackWindow()
{
    static GeneratedTrackWindow window(1000000);
    return window;
}

void OpenGeneratedTrackWindow(benchmark::State& state)
{
    GeneratedTrackWindow& fixture = TrackWindow();
    if (!fixture.error.empty()) {
        state.SkipWithError(fixture.error.c_str());
        return;
    }
    OpeningTimes times;
    for (auto _ : state) {
        CWindowDocument* window = times.OpenAndDraw(state, fixture.file);
        if (!window)
            break;
        state.PauseTiming(); // closing is not part of opening
        delete window;
        state.ResumeTiming();
    }
    times.Report(state);
}

void PanGeneratedTrackWindow(benchmark::State& state)
{
    GeneratedTrackWindow& fixture = TrackWindow();
    CDocument* document = nullptr;
    if (!fixture.error.empty() || fixture.app->CommandCreate(&fixture.file, &document) != noErr || !document) {
        state.SkipWithError(fixture.error.empty() ? "the document did not open" : fixture.error.c_str());
        return;
    }
    auto* window = static_cast<CWindowDocument*>(document);
    WindowRef const ref = window->GetWindow()->GetWindowRef();
    CViewMap* map = window->GetMapView();
    Settle(ref, map);
    CGPoint const origin = map->GetImageOrigin();
    double longest = 0;
    int position = 0, direction = 1;
    for (auto _ : state) {
        // Steps of 24 px over the track and back, each drawn, tiles rendered as they come.
        position += direction;
        if (position == 10 || position == 0)
            direction = -direction;
        auto const start = BenchClock::now();
        map->SetImageOrigin(CGPointMake(origin.x + 24 * position, origin.y + 12 * position), true);
        ref->Update();
        longest = std::max(longest, MillisecondsSince(start));
        RunCurrentEventLoop(0);
    }
    state.counters["longest_ms"] = longest;
    delete window;
}

double RawResidentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

// The process's resident memory now, from /proc, once the allocator has handed back
// what it holds free: what is left is what is in use.
double ResidentMiB()
{
    malloc_trim(0);
    return RawResidentMiB();
}

// What the allocator has handed out and not had back: the memory in use, whatever
// pieces freed memory leaves behind.
double HeapInUseMiB()
{
    struct mallinfo2 const info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1 << 20);
}

// The highest resident memory while it lives, looked at every millisecond (the process's
// own peak cannot be reset where the benchmarks run).
class PeakMemory {
public:
    PeakMemory()
        : mPeak(ResidentMiB())
        , mWatcher([this] {
            while (!mDone.load()) {
                double const now = RawResidentMiB();
                double seen = mPeak.load();
                while (now > seen && !mPeak.compare_exchange_weak(seen, now)) { }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        })
    {
    }
    ~PeakMemory() { Stop(); }
    double Stop()
    {
        mDone = true;
        if (mWatcher.joinable())
            mWatcher.join();
        return std::max(mPeak.load(), RawResidentMiB());
    }

private:
    std::atomic<double> mPeak;
    std::atomic<bool> mDone { false };
    std::thread mWatcher;
};

// A document of that many named waypoints with symbols over Göteborg, saved once.
CFile WaypointDocument(int count)
{
    CFile const file(CString((Application().home / ("waypoints-" + std::to_string(count) + ".twk")).c_str()));
    if (file.Exists())
        return file;
    CWindowDocument document;
    std::vector<CMapObject*> waypoints;
    for (int i = 0; i < count; ++i) {
        auto* waypoint = new CMapWaypoint();
        waypoint->SetName(CString(("Waypoint " + std::to_string(i + 1)).c_str()));
        waypoint->SetPosition(CCoordinate(57.5 + 0.5 * (i % 997) / 997.0, 11.7 + 0.5 * (i % 991) / 991.0, i % 300));
        waypoint->SetSymbol(i % 2 ? 'flag' : 'camp');
        waypoints.push_back(waypoint);
    }
    document.AddObjects(waypoints);
    document.SetFile(file);
    return document.SaveDocument() == noErr ? file : CFile();
}

// A GPX file of that many waypoints, as another program writes them.
CFile WaypointGPX(int count)
{
    std::filesystem::path const path = Application().home / ("waypoints-" + std::to_string(count) + ".gpx");
    if (!std::filesystem::exists(path)) {
        std::ofstream out(path);
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"bench\" "
               "xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
        for (int i = 0; i < count; ++i)
            out << " <wpt lat=\"" << 57.5 + 0.5 * (i % 997) / 997.0 << "\" lon=\"" << 11.7 + 0.5 * (i % 991) / 991.0
                << "\"><ele>" << i % 300 << "</ele><name>Point " << i + 1 << "</name><sym>Flag, Blue</sym></wpt>\n";
        out << "</gpx>\n";
    }
    return CFile(CString(path.c_str()));
}

// From the file to its window drawn with every waypoint.
void OpenWaypointWindow(benchmark::State& state)
{
    if (!Application().error.empty()) {
        state.SkipWithError(Application().error.c_str());
        return;
    }
    CFile const file = WaypointDocument(int(state.range(0)));
    OpeningTimes times;
    for (auto _ : state) {
        CWindowDocument* window = times.OpenAndDraw(state, file, std::size_t(state.range(0)));
        if (!window)
            break;
        state.PauseTiming();
        delete window;
        state.ResumeTiming();
    }
    times.Report(state);
}

// Into an open window through the Import command's path, until the window is drawn again.
void ImportWaypointsIntoWindow(benchmark::State& state)
{
    CWindowDocument* window = Application().error.empty() ? OpenWindow(nullptr) : nullptr;
    if (!window) {
        state.SkipWithError("no window");
        return;
    }
    CFile const file = WaypointGPX(int(state.range(0)));
    for (auto _ : state) {
        // The command's own path: read on a thread, with the progress sheet once it takes a while.
        window->ImportData(file);
        if (window->GetObjects().size() != std::size_t(state.range(0))) {
            state.SkipWithError("the file did not import");
            break;
        }
        SettleWindow(window);
        state.PauseTiming(); // a fresh window for the next import
        delete window;
        window = OpenWindow(nullptr);
        state.ResumeTiming();
    }
    delete window;
}

// Saving the document open in a window.
void SaveWaypointWindow(benchmark::State& state)
{
    CFile const file = Application().error.empty() ? WaypointDocument(int(state.range(0))) : CFile();
    double const before = HeapInUseMiB();
    CWindowDocument* window = file.IsSpecified() ? OpenWindow(&file) : nullptr;
    if (!window) {
        state.SkipWithError("the document did not open");
        return;
    }
    SettleWindow(window);
    double const document = HeapInUseMiB() - before;
    CFile const copy(CString((Application().home / "saved.twk").c_str()));
    window->SetFile(copy);
    double growth = 0;
    for (auto _ : state) {
        double const resident = ResidentMiB();
        PeakMemory peak;
        // As the Save command saves, with its progress sheet once it takes a while.
        window->SetModified(true);
        if (window->CommandSave() != noErr) {
            state.SkipWithError("the document was not saved");
            break;
        }
        growth = std::max(growth, peak.Stop() - resident);
    }
    state.counters["document_MiB"] = document;
    state.counters["peak_growth_MiB"] = growth;
    state.counters["file_MiB"] = double(copy.GetForkSize()) / (1 << 20);
    delete window;
}

// A document holding the generator's track of a million samples, imported and saved:
// opened into a window and drawn.
void OpenMillionPointTrackWindow(benchmark::State& state)
{
    GeneratedTrackWindow& fixture = MillionTrackWindow();
    if (!fixture.error.empty()) {
        state.SkipWithError(fixture.error.c_str());
        return;
    }
    CFile const file = fixture.file;
    OpeningTimes times;
    double growth = 0;
    for (auto _ : state) {
        double const resident = ResidentMiB();
        PeakMemory peak;
        CWindowDocument* window = times.OpenAndDraw(state, file, 1);
        if (!window)
            break;
        state.PauseTiming();
        growth = std::max(growth, peak.Stop() - resident);
        delete window;
        state.ResumeTiming();
    }
    times.Report(state);
    state.counters["peak_growth_MiB"] = growth;
    state.counters["file_MiB"] = double(file.GetForkSize()) / (1 << 20);
}

} // namespace

BENCHMARK(SaveTrackDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenTrackDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenGeneratedTrackWindow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PanGeneratedTrackWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenWaypointWindow)->Unit(benchmark::kMillisecond)->Arg(5000)->Arg(10000)->Arg(20000)->Arg(40000)->Arg(200000)->Iterations(3);
BENCHMARK(ImportWaypointsIntoWindow)->Unit(benchmark::kMillisecond)->Arg(200000)->Iterations(3);
BENCHMARK(SaveWaypointWindow)->Unit(benchmark::kMillisecond)->Arg(200000)->Iterations(3);
BENCHMARK(OpenMillionPointTrackWindow)->Unit(benchmark::kMillisecond)->Iterations(3);
