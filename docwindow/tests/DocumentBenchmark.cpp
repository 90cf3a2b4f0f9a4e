// Saving and opening a document that holds one track of 100,000 samples, as the
// document window does it on the main thread: the objects into a dictionary and the
// dictionary to a property list file, and back. The window, the map and the lists are
// left out: what is measured is the file's part of a save or an open.
// Then the whole document window of the application with the 100,000-point track of the
// import benchmarks' generator: opening its file into a window until the map is drawn,
// and pan steps of its map. Their counters give the longest time the main thread was
// held at once ("longest_ms"), which is how long the window would not answer.
#include "app/CTWApplication.h"
#include "corefoundation/CFBundle.h"
#include "docwindow/CWindowDocument.h"
#include "foundation/CFPropertyList.h"
#include "docwindow/CViewMap.h"
#include "framework/CMacWindow.h"
#include "model/CGPXReader.h"
#include "model/CMapTrack.h"
#include "toolbox/Window.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
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
// its own, with the generated track saved once as a document file.
struct GeneratedTrackWindow {
    GeneratedTrackWindow()
    {
        std::filesystem::path const home
            = std::filesystem::temp_directory_path() / ("tarnwick-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(home / "config");
        std::filesystem::create_directories(home / "data");
        setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        tw::cf::SetMainBundlePath(TW_BUNDLE_DIR);
        app = std::make_unique<CTWApplication>(CDeviceManager::Setup {});
        if (app->InitialiseBegin() != noErr || app->InitialisePreferences() != noErr
            || app->InitialiseMenuBar() != noErr || app->InitialiseSelf() != noErr) {
            error = "the application did not start";
            return;
        }
        std::filesystem::path const gpx = home / "large.gpx";
        std::string const command = "python3 '" + std::string(TW_SOURCE_DIR) + "/tools/model/make-large-gpx.py' "
            + std::to_string(kSamples) + " '" + gpx.string() + "'";
        CGPXReader reader;
        if (std::system(command.c_str()) != 0 || reader.ReadFile(CFile(CString(gpx.c_str()))) != noErr) {
            error = "the generated track could not be read";
            return;
        }
        auto* track = new CMapTrack();
        for (CGPXReader::Record& record : reader.mRecords)
            if (auto* read = std::get_if<CGPXReader::Track>(&record); read && read->samples.size() >= kSamples) {
                track->SetName(read->texts.name.c_str());
                track->SetSamples(std::move(read->samples));
            }
        file = CFile(CString((home / "Long walk.twk").c_str()));
        CDocument* document = nullptr;
        if (track->GetSamples().size() < std::size_t(kSamples) || app->CommandCreate(nullptr, &document) != noErr) {
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

    // Turns the event loop until nothing is left to draw; the longest single turn, in ms.
    double Settle(WindowRef window, CViewMap* map)
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
        }
        return longest;
    }

    std::unique_ptr<CTWApplication> app;
    CFile file;
    std::string error;
};

GeneratedTrackWindow& TrackWindow()
{
    static GeneratedTrackWindow window;
    return window;
}

void OpenGeneratedTrackWindow(benchmark::State& state)
{
    GeneratedTrackWindow& fixture = TrackWindow();
    if (!fixture.error.empty()) {
        state.SkipWithError(fixture.error.c_str());
        return;
    }
    double longest = 0;
    for (auto _ : state) {
        auto const start = BenchClock::now();
        CDocument* document = nullptr;
        if (fixture.app->CommandCreate(&fixture.file, &document) != noErr || !document) {
            state.SkipWithError("the document did not open");
            break;
        }
        longest = std::max(longest, MillisecondsSince(start));
        auto* window = static_cast<CWindowDocument*>(document);
        longest = std::max(longest, fixture.Settle(window->GetWindow()->GetWindowRef(), window->GetMapView()));
        state.PauseTiming(); // closing is not part of opening
        delete window;
        state.ResumeTiming();
    }
    state.counters["longest_ms"] = longest;
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
    fixture.Settle(ref, map);
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

} // namespace

BENCHMARK(SaveTrackDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenTrackDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenGeneratedTrackWindow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PanGeneratedTrackWindow)->Unit(benchmark::kMillisecond);
