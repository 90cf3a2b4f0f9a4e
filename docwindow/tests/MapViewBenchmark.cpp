// The map view's pan step: a 1280 x 800 view of Göteborg at level 12 moved by a few
// pixels where every tile it needs has its image already, drawn into its window (the
// moved pixels kept, the uncovered strip and the names redrawn) and, in the second
// case, composed onto the screen as well.
#include "corefoundation/CFBundle.h"
#include "display/WindowServer.h"
#include "docwindow/CViewMap.h"
#include "docwindow/DocWindowClasses.h"
#include "framework/CCarbonEvent.h"
#include "mapdata/CMapManager.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/Window.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "widgets/CHIViewUtilities.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>

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
        manager.LoadMapsFrom({ CFile(CString((source / "resources/Resources/Maps").c_str())),
            CFile(CString((source / "mapdata/tests/data/packs").c_str())) });
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
    // One step along the way, turning back at either end.
    void Step()
    {
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

} // namespace
