#include "mapdata/CSpatialIndex.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr std::size_t kNodeSize = 16;

double CentreX(SGBounds const& b) { return (b.xmin + b.xmax) / 2; }
double CentreY(SGBounds const& b) { return (b.ymin + b.ymax) / 2; }

void Grow(SGBounds& into, SGBounds const& b)
{
    into.xmin = std::min(into.xmin, b.xmin);
    into.ymin = std::min(into.ymin, b.ymin);
    into.xmax = std::max(into.xmax, b.xmax);
    into.ymax = std::max(into.ymax, b.ymax);
}
} // namespace

// Sort-tile-recursive order: vertical slices by x, each slice by y, so that runs of
// kNodeSize neighbours become nodes with small bounds.
template <typename T> void CSpatialIndex::SortTiles(std::vector<T>& items)
{
    auto byX = [](T const& a, T const& b) { return CentreX(a.bounds) < CentreX(b.bounds); };
    auto byY = [](T const& a, T const& b) { return CentreY(a.bounds) < CentreY(b.bounds); };
    std::sort(items.begin(), items.end(), byX);
    std::size_t nodes = (items.size() + kNodeSize - 1) / kNodeSize;
    std::size_t slices = std::size_t(std::ceil(std::sqrt(double(nodes))));
    std::size_t sliceSize = std::max<std::size_t>(1, slices) * kNodeSize;
    for (std::size_t start = 0; start < items.size(); start += sliceSize) {
        auto end = items.begin() + std::min(items.size(), start + sliceSize);
        std::sort(items.begin() + start, end, byY);
    }
}

template <typename T> std::vector<CSpatialIndex::Node> CSpatialIndex::Group(std::vector<T> const& items)
{
    std::vector<Node> nodes;
    nodes.reserve((items.size() + kNodeSize - 1) / kNodeSize);
    for (std::size_t start = 0; start < items.size(); start += kNodeSize) {
        Node node { items[start].bounds, UInt32(start), UInt32(std::min(kNodeSize, items.size() - start)) };
        for (std::size_t i = start + 1; i < start + node.count; ++i)
            Grow(node.bounds, items[i].bounds);
        nodes.push_back(node);
    }
    return nodes;
}

void CSpatialIndex::Build(std::vector<Entry> entries)
{
    mEntries = std::move(entries);
    mLevels.clear();
    if (mEntries.empty())
        return;
    SortTiles(mEntries);
    mLevels.push_back(Group(mEntries));
    while (mLevels.back().size() > 1) {
        SortTiles(mLevels.back());
        mLevels.push_back(Group(mLevels.back()));
    }
}

void CSpatialIndex::Query(SGBounds const& bounds, std::vector<UInt32>& ids) const
{
    if (mLevels.empty())
        return;
    std::size_t firstNew = ids.size();
    struct Item {
        std::size_t level;
        UInt32 node;
    };
    std::vector<Item> stack { { mLevels.size() - 1, 0 } };
    while (!stack.empty()) {
        Item item = stack.back();
        stack.pop_back();
        Node const& node = mLevels[item.level][item.node];
        if (!Intersects(node.bounds, bounds))
            continue;
        for (UInt32 i = node.first; i < node.first + node.count; ++i) {
            if (item.level > 0)
                stack.push_back({ item.level - 1, i });
            else if (Intersects(mEntries[i].bounds, bounds))
                ids.push_back(mEntries[i].id);
        }
    }
    std::sort(ids.begin() + firstNew, ids.end());
}
