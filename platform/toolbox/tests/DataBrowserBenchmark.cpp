// A list of 10,000 rows: filling it (items added and the visible rows drawn) and sorting it by a text column.

#include "corefoundation/CFString.h"
#include "toolbox/Window.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/databrowser/DataBrowserCalls.h"

#include <benchmark/benchmark.h>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr DataBrowserPropertyID kName = 'name';
constexpr std::size_t kRows = 10000;

std::vector<CFStringRef>& Names()
{
    static std::vector<CFStringRef> names = [] {
        std::vector<CFStringRef> made;
        for (std::size_t i = 0; i < kRows; ++i)
            made.push_back(tw::cf::CreateString("Waypoint " + std::to_string((i * 7919) % kRows)));
        return made;
    }();
    return names;
}

OSStatus Data(ControlRef, DataBrowserItemID item, DataBrowserPropertyID, DataBrowserItemDataRef data, Boolean)
{
    return SetDataBrowserItemDataText(data, Names()[item - 1]);
}

Boolean Compare(ControlRef, DataBrowserItemID one, DataBrowserItemID two, DataBrowserPropertyID)
{
    return CFStringCompare(Names()[one - 1], Names()[two - 1], 0) == kCFCompareLessThan;
}

struct List {
    List()
    {
        Rect const bounds { 60, 40, 660, 840 };
        CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &bounds, &window);
        Rect const frame { 0, 0, 600, 800 };
        CreateDataBrowserControl(window, &frame, kDataBrowserListView, &browser);
        DataBrowserListViewColumnDesc column;
        column.propertyDesc = { kName, kDataBrowserTextType, kDataBrowserListViewSortableColumn };
        column.headerBtnDesc.minimumWidth = 200;
        column.headerBtnDesc.maximumWidth = 600;
        column.headerBtnDesc.titleString = CFSTR("Name");
        AddDataBrowserListViewColumn(browser, &column, kDataBrowserListViewAppendColumn);
        DataBrowserCallbacks callbacks;
        InitDataBrowserCallbacks(&callbacks);
        callbacks.u.itemDataCallback = Data;
        callbacks.u.itemCompareCallback = Compare;
        SetDataBrowserCallbacks(browser, &callbacks);
        ShowWindow(window);
        ids.resize(kRows);
        std::iota(ids.begin(), ids.end(), DataBrowserItemID { 1 });
    }
    ~List() { DisposeWindow(window); }
    void Fill() { AddDataBrowserItems(browser, kDataBrowserNoItem, UInt32(ids.size()), ids.data(), 0); }

    WindowRef window = nullptr;
    ControlRef browser = nullptr;
    std::vector<DataBrowserItemID> ids;
};

void FillTenThousandRows(benchmark::State& state)
{
    List list;
    for (auto _ : state) {
        list.Fill();
        list.window->Update();
        state.PauseTiming();
        RemoveDataBrowserItems(list.browser, kDataBrowserNoItem, 0, nullptr, 0);
        state.ResumeTiming();
    }
}
BENCHMARK(FillTenThousandRows)->Unit(benchmark::kMillisecond);

void SortTenThousandRows(benchmark::State& state)
{
    List list;
    DataBrowserSortOrder order = kDataBrowserOrderIncreasing;
    for (auto _ : state) {
        // From insertion order, as the first header click does, alternating the direction.
        state.PauseTiming();
        SetDataBrowserSortProperty(list.browser, kDataBrowserItemNoProperty);
        RemoveDataBrowserItems(list.browser, kDataBrowserNoItem, 0, nullptr, 0);
        list.Fill();
        order = order == kDataBrowserOrderIncreasing ? kDataBrowserOrderDecreasing : kDataBrowserOrderIncreasing;
        SetDataBrowserSortOrder(list.browser, order);
        state.ResumeTiming();
        SetDataBrowserSortProperty(list.browser, kName);
        list.window->Update();
    }
}
BENCHMARK(SortTenThousandRows)->Unit(benchmark::kMillisecond);

} // namespace
