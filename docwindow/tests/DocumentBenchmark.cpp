// Saving and opening a document that holds one track of 100,000 samples, as the
// document window does it on the main thread: the objects into a dictionary and the
// dictionary to a property list file, and back. The window, the map and the lists are
// left out: what is measured is the file's part of a save or an open.
#include "corefoundation/CFBundle.h"
#include "docwindow/CWindowDocument.h"
#include "foundation/CFPropertyList.h"
#include "model/CMapTrack.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <memory>
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

} // namespace

BENCHMARK(SaveTrackDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenTrackDocument)->Unit(benchmark::kMillisecond);
