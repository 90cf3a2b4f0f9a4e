#pragma once

// The tile renderer of one map view, held by value in the view. Tiles that
// lack their image are queued (pending list) for min(processors, 4) workers;
// a worker draws a tile's image, gives it to the tile and hands the tile's
// names to the main thread, which commits them and queues the tile for
// collection (processed list). A main-loop timer every 0.06 s collects the
// processed tiles, marks their rectangles for redisplay, and removes itself
// when nothing is left to do. The names of all visible tiles are placed over
// the tiles in one pass at draw time, through the view's footprints.
// Images are kept for kImageLimit tiles, or twice what the view shows if more;
// the least recently drawn lose theirs first, and visible tiles never do. Main thread, except the calls marked for workers.

#include "foundation/CThreadSafeList.h"
#include "foundation/CTimerTask.h"
#include "render/CMapLabel.h"

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

class CLayerTile;
class CThreadRenderer;
class IMapView;

class CLayerRenderer : public CTimerTask {
public:
    static constexpr double kCollectInterval = 0.06; // [s]
    static constexpr std::size_t kImageLimit = 192; // tiles: 48 MB of 256 × 256 × 4-byte images
    static constexpr double kHandOffDelay = 0.1; // [s] a worker keeps finished tiles before handing them over
    static constexpr UInt32 kMaxWorkers = 4;

    // workers 0: min(processors, 4).
    explicit CLayerRenderer(IMapView* view, UInt32 workers = 0);
    ~CLayerRenderer() override;
    CLayerRenderer(CLayerRenderer const&) = delete;
    CLayerRenderer& operator=(CLayerRenderer const&) = delete;

    // Queues the tile for its image (once), wakes the workers and starts collecting.
    void UpdateTile(CLayerTile* tile);
    // Drops the pending tiles, ends the workers (stop flag, message 1, join) and the
    // collection timer. Tiles already drawn keep their images; workers are made anew when
    // another tile is queued.
    void StopRendering();
    // The tile is going: the renderer forgets it, stopping the workers if one holds it.
    void ForgetTile(CLayerTile* tile);
    // The tile's image was drawn: it becomes the most recently used.
    void TouchTile(CLayerTile* tile);
    // The label pass: names of the tiles in the visible rectangle, greatest first, each where
    // the view's footprints leave room. Names that appeared, moved or went since the last
    // pass have their rectangles marked for redisplay.
    void DrawLabels(CGContextRef context, CGRect const& visible);
    // What the screen's pass and a printed page share: the names greatest first (ties by
    // identity, so that each pass decides alike), each drawn where it lies wholly within the
    // area and the view's footprints leave room, a name given twice near itself once. What
    // was drawn, in that order.
    static std::vector<ShownMapLabel> PlaceLabels(IMapView& view, std::vector<CMapLabel const*> candidates,
        CGRect const& within, CGContextRef context, bool vectors);

    bool IsRendering() const; // tiles pending, being drawn or waiting for collection
    UInt32 GetWorkerCount() const { return UInt32(mWorkers.size()); }
    std::size_t GetImageCount() const { return mImages.size(); }
    // Test only: fewer images kept.
    void SetImageLimit(std::size_t limit) { mImageLimit = limit; }
    std::size_t GetShownLabelCount() const { return mShown.size(); }
    using ShownLabel = ShownMapLabel;
    std::vector<ShownLabel> const& GetShownLabels() const { return mShownLabels; }

    // Workers.
    CLayerTile* PopPending(CThreadRenderer* worker);
    void Rendered(CThreadRenderer* worker, CLayerTile* tile, CGImageRef image, std::vector<CMapLabel> labels);
    void Abandoned(CThreadRenderer* worker); // its tile was not finished
    // Whether this worker should hand the finished names over now: when none is on its way
    // already, and the queue has run dry or the oldest has waited kHandOffDelay. A true answer
    // books the hand-off for the caller, which must then hand off.
    bool ShouldHandOff();
    void HandedOff(); // the worker is back from its hand-off
    std::atomic<bool> const& GetStopFlag() const { return mStopping; }
    // Main thread, from a worker's hand-off: commits finished tiles' names and queues the
    // tiles for collection.
    void CommitRendered();

protected:
    void DoTimer() override;

private:
    struct Ready {
        CLayerTile* tile;
        std::vector<CMapLabel> labels;
        double time; // [s] finished
    };

    void StartWorkers();
    void EndWorkers();
    void KeepImage(CLayerTile* tile);
    // The images kept: the set limit, or twice the tiles the visible rectangle shows if more.
    std::size_t GetImageLimit(CGRect const& visible) const;

    IMapView* mView; // weak: the view holds the renderer
    UInt32 mWorkerCount;
    std::size_t mImageLimit = kImageLimit;
    std::vector<std::unique_ptr<CThreadRenderer>> mWorkers; // main thread
    CThreadSafeList<CLayerTile> mPending;
    CThreadSafeList<CLayerTile> mProcessed;
    mutable std::mutex mLock; // guards mReady and mCurrent
    std::vector<Ready> mReady; // finished, names not yet committed
    std::unordered_map<CThreadRenderer*, CLayerTile*> mCurrent; // tile each worker draws
    std::atomic<bool> mStopping { false };
    bool mHandOffBooked = false; // guarded by mLock: one worker at a time waits for the main thread
    std::list<CLayerTile*> mImages; // main thread: tiles with images, most recently drawn first
    std::unordered_map<CLayerTile*, std::list<CLayerTile*>::iterator> mImageSlots;
    std::unordered_map<UInt64, CGRect> mShown; // main thread: names drawn by the last pass
    std::vector<ShownLabel> mShownLabels; // main thread: the same, in the order drawn
};
