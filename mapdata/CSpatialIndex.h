#pragma once

// An in-memory spatial index of one layer's shape bounds: a packed R-tree built
// once, sorted tile-recursively, 16 entries a node. Immutable after Build, so
// readers on any thread need no lock; its CRegionLayer builds it under its own.

#include "foundation/SGBounds.h"
#include "platform/Platform.h"

#include <vector>

class CSpatialIndex {
public:
    struct Entry {
        SGBounds bounds;
        UInt32 id = 0;
    };

    void Build(std::vector<Entry> entries);
    // Appends the ids whose bounds meet the rectangle (edges touching count), ascending.
    void Query(SGBounds const& bounds, std::vector<UInt32>& ids) const;
    std::size_t GetCount() const { return mEntries.size(); }

    static bool Intersects(SGBounds const& a, SGBounds const& b)
    {
        return a.xmin <= b.xmax && b.xmin <= a.xmax && a.ymin <= b.ymax && b.ymin <= a.ymax;
    }

private:
    struct Node {
        SGBounds bounds;
        UInt32 first = 0; // in the level below, or in mEntries for the leaves
        UInt32 count = 0;
    };
    template <typename T> static void SortTiles(std::vector<T>& items);
    template <typename T> static std::vector<Node> Group(std::vector<T> const& items);

    std::vector<Entry> mEntries;
    std::vector<std::vector<Node>> mLevels; // [0] leaves over mEntries; the last holds the root
};
