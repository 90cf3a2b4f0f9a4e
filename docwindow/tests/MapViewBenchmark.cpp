// The map view's pan step: a 1280 x 800 view of Göteborg at level 12 moved by a few
// pixels where every tile it needs has its image already, drawn into its window (the
// moved pixels kept, the uncovered strip and the names redrawn) and, in the second
// case, composed onto the screen as well. Then the same view holding a document's
// objects (1,000 waypoints and a track of 100,000 points over the view): a pan step,
// a whole redraw, and a track of 1,000,000 points projected again after a new level.
#include "corefoundation/CFBundle.h"
#include "display/WindowServer.h"
#include "docwindow/CCanvasTrack.h"
#include "docwindow/CViewMap.h"
#include "docwindow/DocWindowClasses.h"
#include "framework/CCarbonEvent.h"
#include "mapdata/CMapManager.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/Window.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "widgets/CHIViewUtilities.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <vector>

namespace {

constexpr double kWidth = 1280, kHeight = 800; // [px] of the map
constexpr double kScrollBar = 15; // [px]
constexpr double kStep = 12; // [px] of one pan step
constexpr int kSteps = 8; // steps one way before turning back

struct PanningView {
    PanningView()
    {
        tw::cf::SetMainBundlePath(TW_BUNDLE_DIR);
        tw::display::WindowServer::Get().Resize(CGSizeMake(1600, 1000));
        std::filesystem::path const source(TW_SOURCE_DIR);
        manager.LoadMapsFrom({ CFile(CString((source / "resources/Resources/Maps").c_str())) });
        CViewMap::SetMapManager(&manager);
        RegisterDocWindowClasses();
        Rect const bounds { 40, 20, short(40 + kHeight + kScrollBar), short(20 + kWidth + kScrollBar) };
        CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &bounds, &window);
        ControlRef root = nullptr;
        GetRootControl(window, &root);
        HIRect const frame { {}, { kWidth + kScrollBar, kHeight + kScrollBar } };
        CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
        init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
        HIObjectRef object = nullptr;
        HIObjectCreate(CFSTR("com.tarnwick.hiview.map"), init.GetEvent(), &object);
        HIViewAddSubview(root, reinterpret_cast<HIViewRef>(object));
        CFRelease(object);
        view = dynamic_cast<CViewMap*>(CHIObject::GetHIObject(object));
        CHIViewUtilities::EmbedInScrollView(view, kHIScrollViewOptionsVertScroll | kHIScrollViewOptionsHorizScroll);
        ShowWindow(window);
        view->SetMapZoom(CHIView::kZoomFactor, nullptr, 12);
        view->SetMapCentre(CCoordinate(57.705, 11.965));
        // Every tile of the way there and back is drawn before the clock starts.
        start = view->GetImageOrigin();
        for (double dx : { 0.0, kStep * kSteps, 0.0 }) {
            view->SetImageOrigin(CGPointMake(start.x + dx, start.y + dx / 2), true);
            Finish();
        }
    }
    ~PanningView() { DisposeWindow(window); }

    void Finish()
    {
        auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        int quiet = 0;
        while (quiet < 40 && std::chrono::steady_clock::now() < deadline) {
            RunCurrentEventLoop(0.01);
            window->Update();
            quiet = view->GetRenderer()->IsRendering() || window->NeedsUpdate() ? 0 : quiet + 1;
        }
    }
    // One step along the way, turning back at either end. The redraw the last step asked
    // for once drawn (the names that came in whole at an edge) is part of this one.
    void Step()
    {
        RunCurrentEventLoop(0);
        window->Update();
        position += direction;
        if (position == kSteps || position == 0)
            direction = -direction;
        view->SetImageOrigin(CGPointMake(start.x + position * kStep, start.y + position * kStep / 2), true);
        window->Update();
    }

    CMapManager manager;
    WindowRef window = nullptr;
    CViewMap* view = nullptr;
    CGPoint start {};
    int position = 0;
    int direction = 1;
};

PanningView& View()
{
    static PanningView view;
    return view;
}

void BM_PanStepDrawsTheView(benchmark::State& state)
{
    PanningView& panning = View();
    std::size_t const tiles = panning.view->GetTileCount();
    for (auto _ : state)
        panning.Step();
    if (panning.view->GetTileCount() != tiles || panning.view->GetRenderer()->IsRendering())
        state.SkipWithError("a step needed a new tile");
}
BENCHMARK(BM_PanStepDrawsTheView)->Unit(benchmark::kMillisecond);

void BM_PanStepComposesTheScreen(benchmark::State& state)
{
    PanningView& panning = View();
    std::size_t const tiles = panning.view->GetTileCount();
    for (auto _ : state) {
        panning.Step();
        tw::display::WindowServer::Get().Compose();
    }
    if (panning.view->GetTileCount() != tiles || panning.view->GetRenderer()->IsRendering())
        state.SkipWithError("a step needed a new tile");
}
BENCHMARK(BM_PanStepComposesTheScreen)->Unit(benchmark::kMillisecond);

// What the view asks of a document, for a view that shows objects: it owns them and says
// when one arrives.
class BenchDocument : public CMsgBroadcaster, public IMapDocument {
public:
    ~BenchDocument() override
    {
        for (CMapObject* object : mObjects)
            delete object;
    }
    std::vector<CMapObject*> const& GetObjects() const override { return mObjects; }
    CViewOverlay* GetOverlayView() const override { return nullptr; }
    TWTool GetTool() const override { return kToolHand; }
    void SetTool(TWTool) override { }
    CDevice* GetTrackDevice() const override { return nullptr; }
    CMapCrop* GetCrop() const override { return nullptr; }
    void EditObject(CMapObject*) override { }
    void RemoveObject(CMapObject*) override { }
    bool AddObject(CMapObject* object) override
    {
        mObjects.push_back(object);
        BroadcastMessage(CViewMap::kMsgObjectAdded, object);
        return true;
    }
    void SelectObject(CMapObject*, bool) override { }
    CString GetUniqueObjectName(MapObjectType, CString const& base) const override { return base; }
    CViewMap* GetMapView() const override { return mView; }

    std::vector<CMapObject*> mObjects; // owns
    CViewMap* mView = nullptr; // borrowed
};

// A track winding over the view and beyond, as a day's walk recorded every second would.
CMapTrack* MakeBenchTrack(CViewMap* view, CGPoint start, int count)
{
    std::vector<CCoordinatePVT> samples;
    samples.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        double const t = double(i) / count;
        CGPoint const p { start.x - 400 + 2400 * t + 60 * std::sin(t * 400), start.y + 200 + 300 * std::sin(t * 25) };
        samples.emplace_back(view->Unproject(p), CDateTime());
    }
    auto* track = new CMapTrack;
    track->SetSamples(std::move(samples));
    return track;
}

// The panning view with 1,000 waypoints spread over it and a 100,000-point track across it.
struct ObjectsOnView {
    ObjectsOnView()
        : panning(View())
    {
        document.mView = panning.view;
        panning.view->SetDocument(&document);
        CGPoint const origin = panning.start;
        for (int i = 0; i < 1000; ++i) {
            auto* waypoint = new CMapWaypoint;
            waypoint->SetName(CString(("Waypoint " + std::to_string(i)).c_str()));
            waypoint->SetPosition(panning.view->Unproject(
                CGPointMake(origin.x + (i % 40) * 34 + 5, origin.y + (i / 40) * 34 + 5)));
            document.AddObject(waypoint);
        }
        document.AddObject(MakeBenchTrack(panning.view, origin, 100000));
        panning.Finish();
    }

    PanningView& panning;
    BenchDocument document;
};

ObjectsOnView& Objects()
{
    static ObjectsOnView objects;
    return objects;
}

void BM_PanStepWithObjects(benchmark::State& state)
{
    PanningView& panning = Objects().panning;
    for (auto _ : state)
        panning.Step();
    state.counters["objects"] = double(Objects().document.mObjects.size());
}
BENCHMARK(BM_PanStepWithObjects)->Unit(benchmark::kMillisecond);

// The worst frame of a pan: everything drawn again, every footprint reserved anew.
void BM_WholeRedrawWithObjects(benchmark::State& state)
{
    PanningView& panning = Objects().panning;
    for (auto _ : state) {
        panning.view->SetNeedsDisplay(true, nullptr);
        panning.window->Update();
    }
}
BENCHMARK(BM_WholeRedrawWithObjects)->Unit(benchmark::kMillisecond);

// A 1,000,000-point track after a change of level: projected and reduced once, then drawn
// where the view shows it.
void BM_MillionPointTrackAfterANewLevel(benchmark::State& state)
{
    PanningView& panning = View();
    CMapTrack* track = MakeBenchTrack(panning.view, panning.start, 1000000);
    BenchDocument document;
    document.mView = panning.view;
    panning.view->SetDocument(&document);
    document.AddObject(track);
    auto* twin = static_cast<CCanvasTrack*>(panning.view->FindCanvasObject(track));
    for (auto _ : state) {
        twin->ObjectModified(); // as a new level does
        panning.view->SetNeedsDisplay(true, nullptr);
        panning.window->Update();
    }
    state.counters["points"] = double(twin->GetPoints().size());
    panning.view->SetDocument(nullptr);
}
BENCHMARK(BM_MillionPointTrackAfterANewLevel)->Unit(benchmark::kMillisecond);

} // namespace
