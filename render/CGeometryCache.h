#pragma once

// Projected geometry shared by every renderer of the process: each shape read
// once from its layer, projected to unit world coordinates (0 to 1 across the
// world image, whatever the zoom level) with its name and ranking, and kept
// while tiles use it. Entries unused for two minutes are purged by a main-loop
// timer that runs only while the cache holds something. The cache's one lock,
// mLock, guards its maps; entries are immutable once made, so readers hold
// them without the lock. Any thread; purging on the main thread.

#include "foundation/CTimerTask.h"
#include "mapdata/LayerFeature.h"
#include "mapdata/SGShape.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class CMapGeometry;
class CRegionLayer;

struct CachedShape {
    SGShapeType type = kSGShapeNull;
    LayerFeature feature = kLayerFeatureNone;
    std::vector<UInt32> parts; // index of each part's first point
    std::vector<CGPoint> points; // unit world coordinates; each part's longitudes unwrapped
    std::vector<CGRect> partBounds; // unit
    CGRect bounds = CGRectNull; // unit
    // Set for the layers whose style draws only shared borders: per point, whether the
    // segment from it to the next point of its part is a border with another shape.
    std::vector<UInt8> shared;
    std::string name; // UTF-8
    double population = 0; // settlements: people, estimated from the class when the pack gives none
    bool capital = false;
    CGPoint labelPoint {}; // areas: unit position for the name, inside the largest part
    double labelWidth = 0; // areas: unit width of the largest part through the label point

    UInt32 GetPartEnd(UInt32 part) const
    {
        return part + 1 < parts.size() ? parts[part + 1] : UInt32(points.size());
    }
};

class CGeometryCache {
public:
    using ShapeRef = std::shared_ptr<CachedShape const>;

    static constexpr double kPurgeAge = 120; // [s] unused before an entry goes

    CGeometryCache();
    ~CGeometryCache();
    CGeometryCache(CGeometryCache const&) = delete;
    CGeometryCache& operator=(CGeometryCache const&) = delete;

    // The process-wide cache.
    static CGeometryCache& GetShared();

    // The shapes of the layer with these ids, in that order (null for one that cannot be
    // read); missing ones are read and projected. With sharedBorders, every shape carries
    // its shared-border flags, found against its neighbours in the layer.
    void GetShapes(CRegionLayer* layer, std::vector<UInt32> const& ids, bool sharedBorders,
        CMapGeometry const& geometry, std::vector<ShapeRef>& shapes);

    // The rankings of a settlement layer's places, read as they are first asked for, so that
    // places too small for a zoom level are passed over before their shapes are read. Workers
    // fill it side by side: each entry is set once, whole, by whoever reads it first.
    class Ranks {
    public:
        explicit Ranks(UInt32 count);
        // People (estimated from the class when the pack gives none) and capital status.
        std::pair<double, bool> Get(CRegionLayer* layer, UInt32 shape);

    private:
        std::unique_ptr<std::atomic<float>[]> mRanks; // NaN: not read yet; below 0: a capital of -(rank + 1)
        UInt32 mCount;
    };
    std::shared_ptr<Ranks> GetRanks(CRegionLayer* layer);

    // Main thread: drops entries unused for kPurgeAge, then keeps the purge timer installed
    // while anything is left (and removes it when nothing is).
    void Purge();
    // Main thread: makes sure the purge timer runs while the cache holds entries.
    void SchedulePurge();
    bool IsPurgeScheduled() const;
    std::size_t GetCount() const;
    void RemoveAll();
    // Test only: the clock the entries' ages are read from ([s], monotonic).
    static void SetClockForTesting(double (*clock)());

private:
    struct Key {
        CRegionLayer const* layer;
        UInt32 shape;
        bool operator==(Key const&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(Key const& key) const;
    };
    struct Entry {
        ShapeRef shape;
        double lastUsed; // [s]
    };
    class PurgeTimer : public CTimerTask {
    public:
        explicit PurgeTimer(CGeometryCache& cache)
            : mCache(cache)
        {
        }

    protected:
        void DoTimer() override { mCache.Purge(); }

    private:
        CGeometryCache& mCache;
    };

    // Under the lock: forgets what was kept for another layer that lived at this address.
    void CheckLayer(CRegionLayer* layer);
    static double Now();

    mutable std::mutex mLock; // the cache's one lock: guards every map below
    std::unordered_map<Key, Entry, KeyHash> mShapes;
    std::unordered_map<CRegionLayer const*, std::pair<std::shared_ptr<Ranks>, double>> mRanks;
    std::unordered_map<CRegionLayer const*, std::string> mLayers; // what each layer was when its shapes came
    PurgeTimer mTimer { *this }; // main thread
};

// Reading and projecting one shape, and finding shared borders: the cache's work, apart
// so that tests can run it on their own.
namespace GeometryBuilder {
// Null when the shape cannot be read. With sharedBorders, the shape's borders with its
// neighbours in the layer are found too.
std::shared_ptr<CachedShape> Build(CRegionLayer* layer, UInt32 shape, CMapGeometry const& geometry, bool sharedBorders);
// Per point of the shape: whether its segment to the next point runs along (within tolerance
// degrees) a segment of one of the others. A border two shapes share is drawn by the one with
// the lower id: the other's flags stay clear.
std::vector<UInt8> FindSharedBorders(
    SGShape const& shape, UInt32 id, std::vector<std::pair<UInt32, SGShape>> const& others, double tolerance);
// A settlement's population (estimated from its class when the pack gives none) and capital status.
std::pair<double, bool> GetPlaceRank(CRegionLayer* layer, UInt32 shape, LayerFeature feature);
} // namespace GeometryBuilder
