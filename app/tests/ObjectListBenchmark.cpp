// The waypoint list beside the map with 10,000 waypoints: filling the list, sorting it by
// each of its columns and narrowing it by a search text typed a letter at a time, each
// step drawn into the document window as the user would see it.
#include "app/CTWApplication.h"
#include "corefoundation/CFBundle.h"
#include "display/WindowServer.h"
#include "framework/CCarbonEvent.h"
#include "docwindow/CWindowDocument.h"
#include "framework/CMacWindow.h"
#include "widgets/CDataBrowserSource.h"
#include "model/CMapWaypoint.h"
#include "toolbox/Window.h"
#include "toolbox/databrowser/DataBrowserCalls.h"
#include "widgets/CDataBrowser.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

constexpr int kWaypoints = 10000;

class ListBenchmarkApplication : public CTWApplication {
public:
    ListBenchmarkApplication()
        : CTWApplication(CDeviceManager::Setup {})
    {
    }
    CString GetPropertyString(unsigned long id) const override
    {
        return id == 'spla' ? CString() : CTWApplication::GetPropertyString(id);
    }
};

// A document window with 10,000 waypoints and its list beside the map showing them,
// made once for every case.
struct WaypointList {
    WaypointList()
    {
        tw::cf::SetMainBundlePath(TW_BUNDLE_DIR);
        application.InitialiseBegin();
        application.InitialisePreferences();
        application.InitialiseMenuBar();
        document = new CWindowDocument();
        if (document->Initialise(nullptr) != noErr)
            return;
        std::vector<CMapObject*> objects;
        for (int i = 0; i < kWaypoints; ++i) {
            auto* waypoint = new CMapWaypoint();
            waypoint->SetName(("Waypoint " + std::to_string((i * 7919) % kWaypoints)).c_str());
            waypoint->SetDescription(("Cache " + std::to_string(i % 97)).c_str());
            waypoint->SetPosition(CCoordinate((i % 179) - 89 + 0.5, (i % 359) - 179 + 0.25));
            objects.push_back(waypoint);
        }
        document->AddObjects(objects);
        CCarbonEvent show = CCarbonEvent::CreateWithHICommandID('sway');
        document->DispatchEvent(show, nullptr);
        list = document->GetListSource(CWindowDocument::kListWaypoints);
        browser = list ? document->GetList() : nullptr;
        Draw();
    }

    void Draw() { document->GetWindow()->GetWindowRef()->Update(); }

    ListBenchmarkApplication application;
    CWindowDocument* document = nullptr; // lives to the end of the process, as the application does
    CDataBrowser* browser = nullptr; // the document's list
    CDataBrowserSource* list = nullptr; // the document's waypoints
};

WaypointList& Shared()
{
    static WaypointList* list = new WaypointList; // lives to the end of the process
    return *list;
}

// The list filled from the document and drawn.
void BM_FillWaypointList(benchmark::State& state)
{
    WaypointList& fixture = Shared();
    if (!fixture.browser) {
        state.SkipWithError("no list window");
        return;
    }
    fixture.browser->SetFilter(CString());
    for (auto _ : state) {
        fixture.browser->SetSource(nullptr);
        fixture.browser->SetSource(fixture.list);
        fixture.Draw();
    }
    state.counters["rows"] = kWaypoints;
}
BENCHMARK(BM_FillWaypointList)->Unit(benchmark::kMillisecond);

// A click on a column's header: the list sorted by that column after another one, or
// turned the other way round when it already was.
void BM_SortWaypointList(benchmark::State& state)
{
    constexpr DataBrowserPropertyID kColumns[] = { 'name', 'desc', 'wlat', 'wlon' };
    WaypointList& fixture = Shared();
    if (!fixture.browser) {
        state.SkipWithError("no list window");
        return;
    }
    fixture.browser->SetFilter(CString());
    fixture.browser->SetSource(fixture.list);
    ControlRef const control = fixture.browser->GetControlRef();
    DataBrowserPropertyID const column = kColumns[state.range(0) % 4];
    DataBrowserPropertyID const before = kColumns[(state.range(0) + 1) % 4];
    bool const reverse = state.range(1) != 0;
    bool ascending = true;
    for (auto _ : state) {
        if (!reverse) {
            state.PauseTiming();
            SetDataBrowserSortProperty(control, before);
            fixture.Draw();
            state.ResumeTiming();
            SetDataBrowserSortProperty(control, column);
        } else {
            SetDataBrowserSortProperty(control, column);
            ascending = !ascending;
            SetDataBrowserSortOrder(control, ascending ? kDataBrowserOrderIncreasing : kDataBrowserOrderDecreasing);
        }
        fixture.Draw();
    }
    char const label[] = { char(column >> 24), char(column >> 16), char(column >> 8), char(column), 0 };
    state.SetLabel(std::string(label) + (reverse ? ", reversed" : ""));
}
BENCHMARK(BM_SortWaypointList)
    ->ArgsProduct({ { 0, 1, 2, 3 }, { 0, 1 } })
    ->ArgNames({ "column", "reverse" })
    ->Unit(benchmark::kMillisecond);

// The search text typed a letter at a time and then cleared: each step refilters the
// 10,000 waypoints and draws what is left.
void BM_FilterWaypointList(benchmark::State& state)
{
    std::string const typed = "point 12";
    WaypointList& fixture = Shared();
    if (!fixture.browser) {
        state.SkipWithError("no list window");
        return;
    }
    fixture.browser->SetFilter(CString());
    fixture.browser->SetSource(fixture.list);
    std::size_t length = 0;
    for (auto _ : state) {
        length = length == typed.size() ? 0 : length + 1;
        fixture.browser->SetFilter(CString(typed.substr(0, length).c_str()));
        fixture.Draw();
    }
    fixture.browser->SetFilter(CString());
}
BENCHMARK(BM_FilterWaypointList)->Unit(benchmark::kMillisecond);

} // namespace
