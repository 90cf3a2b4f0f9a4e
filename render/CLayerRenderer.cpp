#include "render/CLayerRenderer.h"

#include "render/CGeometryCache.h"
#include "render/CLayerTile.h"
#include "render/CMapGeometry.h"
#include "render/CThreadRenderer.h"
#include "render/IMapView.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <unordered_set>

namespace {

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

constexpr CGFloat kSameNameDistance = 320; // [px] nearer than this, one name of two alike is left out

} // namespace

CLayerRenderer::CLayerRenderer(IMapView* view, UInt32 workers)
    : mView(view)
    , mWorkerCount(workers)
{
    if (mWorkerCount == 0)
        mWorkerCount = std::clamp<UInt32>(std::thread::hardware_concurrency(), 1, kMaxWorkers);
    StartWorkers();
}

CLayerRenderer::~CLayerRenderer() { StopRendering(); }

void CLayerRenderer::StartWorkers()
{
    CMapManager* manager = mView ? mView->GetMapManager() : nullptr;
    if (!manager || !mWorkers.empty())
        return;
    for (UInt32 i = 0; i < mWorkerCount; ++i)
        mWorkers.push_back(std::make_unique<CThreadRenderer>(*this, *manager));
}

void CLayerRenderer::EndWorkers()
{
    mStopping = true;
    // Message 1 to every worker first, then the joins, so that they wind down together.
    for (auto& worker : mWorkers)
        worker->PostMessage(CThreadTask::kMsgEndTask);
    for (auto& worker : mWorkers)
        worker->EndTask();
    mWorkers.clear();
    mStopping = false;
}

void CLayerRenderer::UpdateTile(CLayerTile* tile)
{
    if (!tile || tile->IsQueued() || tile->HasImage())
        return;
    StartWorkers();
    if (mWorkers.empty())
        return;
    tile->SetQueued(true);
    mPending.PushBack(tile);
    for (auto& worker : mWorkers)
        worker->PostMessage(CThreadTask::kMsgRunTask);
    if (!IsInstalled())
        InstallTimer(kCollectInterval, kCollectInterval);
}

void CLayerRenderer::StopRendering()
{
    while (CLayerTile* tile = mPending.PopFront())
        tile->SetQueued(false);
    EndWorkers();
    // What the workers finished is kept: those tiles have their images, and now their names.
    CommitRendered();
    while (CLayerTile* tile = mProcessed.PopFront())
        if (mView)
            mView->InvalidateRect(tile->GetRect());
    {
        std::lock_guard lock(mLock);
        for (auto& [worker, tile] : mCurrent)
            tile->SetQueued(false);
        mCurrent.clear();
        mHandOffBooked = false;
    }
    RemoveTimer();
}

void CLayerRenderer::ForgetTile(CLayerTile* tile)
{
    bool held = false;
    {
        std::lock_guard lock(mLock);
        for (auto const& [worker, current] : mCurrent)
            held = held || current == tile;
        std::erase_if(mReady, [&](Ready const& ready) { return ready.tile == tile; });
    }
    if (held) {
        // Stopping is the only safe way to take a tile from under a worker; the tiles still
        // waiting are asked for again.
        std::vector<CLayerTile*> waiting;
        while (CLayerTile* other = mPending.PopFront())
            if (other != tile)
                waiting.push_back(other);
        StopRendering();
        for (CLayerTile* other : waiting)
            UpdateTile(other);
    }
    mPending.Remove(tile);
    mProcessed.Remove(tile);
    if (auto slot = mImageSlots.find(tile); slot != mImageSlots.end()) {
        mImages.erase(slot->second);
        mImageSlots.erase(slot);
    }
}

CLayerTile* CLayerRenderer::PopPending(CThreadRenderer* worker)
{
    std::lock_guard lock(mLock);
    CLayerTile* tile = mStopping ? nullptr : mPending.PopFront();
    if (tile)
        mCurrent[worker] = tile;
    return tile;
}

void CLayerRenderer::Rendered(CThreadRenderer* worker, CLayerTile* tile, CGImageRef image, std::vector<CMapLabel> labels)
{
    std::lock_guard lock(mLock);
    mCurrent.erase(worker);
    tile->SetImage(image);
    mReady.push_back({ tile, std::move(labels), Now() });
}

void CLayerRenderer::Abandoned(CThreadRenderer* worker)
{
    std::lock_guard lock(mLock);
    mCurrent.erase(worker);
}

bool CLayerRenderer::ShouldHandOff()
{
    std::lock_guard lock(mLock);
    // The main thread serves one worker per tick: a second worker waiting would only stand idle.
    if (mReady.empty() || mHandOffBooked)
        return false;
    if (!mPending.IsEmpty() && Now() - mReady.front().time < kHandOffDelay)
        return false;
    mHandOffBooked = true;
    return true;
}

void CLayerRenderer::HandedOff()
{
    std::lock_guard lock(mLock);
    mHandOffBooked = false;
}

void CLayerRenderer::CommitRendered()
{
    std::vector<Ready> ready;
    {
        std::lock_guard lock(mLock);
        ready.swap(mReady);
    }
    for (Ready& item : ready) {
        item.tile->SetLabels(std::move(item.labels));
        item.tile->SetHasLabels(true);
        item.tile->SetQueued(false);
        KeepImage(item.tile);
        mProcessed.PushBack(item.tile);
    }
}

std::size_t CLayerRenderer::GetImageLimit(CGRect const& visible) const
{
    if (!mView || CGRectIsNull(visible) || CGRectIsEmpty(visible))
        return mImageLimit;
    CMapGeometry::TileRange const range = CMapGeometry::GetTileRange(visible, UInt32(mView->GetMapZoom()));
    if (range.empty)
        return mImageLimit;
    std::size_t const shown = std::size_t(range.right - range.left + 1) * (range.bottom - range.top + 1);
    // Room for as much again around it, for a pan or a scroll back.
    return std::max(mImageLimit, 2 * shown);
}

// A visible tile keeps its image whatever the limit: one dropped would be asked for again
// at the next draw, and a view showing more than the limit would never finish.
void CLayerRenderer::KeepImage(CLayerTile* tile)
{
    TouchTile(tile);
    if (mImages.size() <= mImageLimit)
        return;
    CGRect const visible = mView ? mView->GetVisibleImageRect() : CGRectNull;
    std::size_t const limit = GetImageLimit(visible);
    auto slot = mImages.end();
    while (mImages.size() > limit && slot != mImages.begin()) {
        --slot;
        CLayerTile* oldest = *slot;
        if (!CGRectIsNull(visible) && CGRectIntersectsRect(oldest->GetRect(), visible))
            continue;
        slot = mImages.erase(slot);
        mImageSlots.erase(oldest);
        oldest->DropImage();
    }
}

void CLayerRenderer::TouchTile(CLayerTile* tile)
{
    if (auto slot = mImageSlots.find(tile); slot != mImageSlots.end()) {
        mImages.splice(mImages.begin(), mImages, slot->second);
        return;
    }
    if (!tile->HasImage())
        return;
    mImages.push_front(tile);
    mImageSlots[tile] = mImages.begin();
}

bool CLayerRenderer::IsRendering() const
{
    std::lock_guard lock(mLock);
    return !mPending.IsEmpty() || !mCurrent.empty() || !mReady.empty() || !mProcessed.IsEmpty();
}

void CLayerRenderer::DoTimer()
{
    // Names a worker left behind while another's hand-off was on its way (it commits only what
    // was there when the main thread served it) are committed here.
    {
        std::unique_lock lock(mLock);
        bool const stranded = !mReady.empty() && !mHandOffBooked && mPending.IsEmpty() && mCurrent.empty();
        lock.unlock();
        if (stranded)
            CommitRendered();
    }
    while (CLayerTile* tile = mProcessed.PopFront())
        if (mView)
            mView->InvalidateRect(tile->GetRect());
    CGeometryCache::GetShared().SchedulePurge();
    if (!IsRendering())
        RemoveTimer();
}

std::vector<ShownMapLabel> CLayerRenderer::PlaceLabels(IMapView& view, std::vector<CMapLabel const*> candidates,
    CGRect const& within, CGContextRef context, bool vectors)
{
    std::sort(candidates.begin(), candidates.end(), [](CMapLabel const* a, CMapLabel const* b) {
        return a->GetPriority() != b->GetPriority() ? a->GetPriority() > b->GetPriority() : a->GetID() < b->GetID();
    });
    std::vector<ShownMapLabel> drawn;
    std::unordered_map<std::string, std::vector<CGPoint>> names; // where each text went
    for (CMapLabel const* label : candidates) {
        // A place that two packs both name is named once.
        std::string const text = label->GetText().GetStdString();
        CGPoint const anchor = label->GetPlacements().front().centre;
        auto& seen = names[text];
        if (std::any_of(seen.begin(), seen.end(), [&](CGPoint p) {
                return std::hypot(p.x - anchor.x, p.y - anchor.y) < kSameNameDistance;
            }))
            continue;
        // A name the area's edge would cut is left out (for when it shows whole, on screen).
        int const placement = label->Place(view, within);
        if (placement < 0)
            continue;
        seen.push_back(anchor);
        label->Draw(context, placement, vectors);
        drawn.push_back({ label->GetText(), label->GetBounds(placement), label->GetPriority(), label->GetID() });
    }
    return drawn;
}

void CLayerRenderer::DrawLabels(CGContextRef context, CGRect const& visible)
{
    if (!mView || !context)
        return;
    // 1. Every name of the visible tiles, each where there is room.
    std::vector<CMapLabel const*> candidates;
    for (CLayerTile* tile : mView->GetTilesInRect(visible, false))
        if (tile->HasImage())
            for (CMapLabel const& label : tile->GetLabels())
                candidates.push_back(&label);
    mShownLabels = PlaceLabels(*mView, std::move(candidates), visible, context, false);
    // 2. Names drawn only in part by this pass are drawn whole by the next.
    std::unordered_map<UInt64, CGRect> shown;
    std::vector<CGRect> redraw;
    for (ShownLabel const& label : mShownLabels) {
        shown[label.id] = label.bounds;
        auto before = mShown.find(label.id);
        bool const same = before != mShown.end() && CGRectEqualToRect(before->second, label.bounds);
        // Whole only where the clip's own rectangles cover it: its bounding box may span gaps.
        if (!same && !tw::quartz::ClipCoversRect(context, label.bounds))
            redraw.push_back(label.bounds);
    }
    // 3. Names that went or moved leave their old place to be redrawn.
    for (auto const& [id, bounds] : mShown) {
        auto now = shown.find(id);
        if (now == shown.end() || !CGRectEqualToRect(now->second, bounds))
            redraw.push_back(bounds);
    }
    mShown = std::move(shown);
    for (CGRect const& rect : redraw)
        mView->InvalidateRect(rect);
}
